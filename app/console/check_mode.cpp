#include "app/console/check_mode.hpp"

#include "app/console/host_path_form.hpp"
#include "app/console/terminal_text.hpp"
#include "description/description_check.hpp"
#include "platform/posix/posix_file_system.hpp"

namespace zelvane::console {
namespace {

std::string FolderOption(const std::string& hostFolder) {
    return hostFolder.empty() ? std::string() : HostToWindowsPath(AbsoluteHostPath(hostFolder));
}

}  // namespace

int RunCheck(const ConsoleOptions& options, const std::string& hostProgramFolder, std::ostream& out) {
    // Only read through, as a const seam: the check cannot change a file.
    const PosixFileSystem fs;
    CheckOptions check;
    check.programFolder = HostToWindowsPath(hostProgramFolder);
    check.modFolder = FolderOption(options.modFolder);
    check.gameFolder = FolderOption(options.gameFolder);
    const std::vector<Diagnostic> diagnostics = CheckDescription(fs, check);
    for (const Diagnostic& diagnostic : diagnostics) out << TerminalLine(FormatDiagnostic(diagnostic)) << '\n';
    out << CheckSummary(diagnostics) << std::endl;
    return CheckStatus(diagnostics);
}

}  // namespace zelvane::console
