#include "app/console/check_mode.hpp"

#include "app/console/console_host.hpp"
#include "app/console/terminal_text.hpp"
#include "description/description_check.hpp"

namespace zelvane::console {
namespace {

std::string FolderOption(const std::string& typed) { return typed.empty() ? std::string() : TypedPathToWindows(typed); }

}  // namespace

int RunCheck(const ConsoleOptions& options, const FileSystem& fs, const std::string& programFolder,
             std::ostream& out) {
    CheckOptions check;
    check.programFolder = programFolder;
    check.modFolder = FolderOption(options.modFolder);
    check.gameFolder = FolderOption(options.gameFolder);
    const std::vector<Diagnostic> diagnostics = CheckDescription(fs, check);
    for (const Diagnostic& diagnostic : diagnostics) out << TerminalLine(FormatDiagnostic(diagnostic)) << '\n';
    out << CheckSummary(diagnostics) << std::endl;
    return CheckStatus(diagnostics);
}

}  // namespace zelvane::console
