#include "app/console/check_mode.hpp"

#include <algorithm>

#include "app/console/check_tables.hpp"
#include "app/console/console_host.hpp"
#include "app/console/terminal_text.hpp"

namespace zelvane::console {
namespace {

std::string FolderOption(const std::string& typed) { return typed.empty() ? std::string() : TypedPathToWindows(typed); }

// A host path (UTF-8) on one terminal line.
std::string WithoutControls(std::string text) {
    std::erase_if(text, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
    return text;
}

// "path/uninstall/uninstall_data.ini:12: error: text", the path as the player names it.
std::string DiagnosticLine(const std::string& shownPath, const Diagnostic& diagnostic) {
    return WithoutControls(shownPath) + TerminalLine(FormatDiagnostic(diagnostic, ""));
}

}  // namespace

int RunCheck(const ConsoleOptions& options, const FileSystem& fs, const HostPathOf& hostPathOf,
             const ProgramFolder& folder, std::ostream& out) {
    CheckOptions check;
    check.programFolder = HostToWindows(folder.host);
    check.modFolder = FolderOption(options.modFolder);
    check.gameFolder = FolderOption(options.gameFolder);
    std::vector<Diagnostic> diagnostics = CheckDescription(fs, check);
    for (Diagnostic& note : CheckTableRestores(fs, check)) diagnostics.push_back(std::move(note));
    std::stable_sort(diagnostics.begin(), diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
    const std::string shown = ShownDescriptionPath(folder, hostPathOf);
    for (const Diagnostic& diagnostic : diagnostics) out << DiagnosticLine(shown, diagnostic) << '\n';
    out << CheckSummary(diagnostics) << std::endl;
    return CheckStatus(diagnostics);
}

void PrintFirstCheckError(const FileSystem& fs, const HostPathOf& hostPathOf, const ProgramFolder& folder,
                          std::ostream& out) {
    CheckOptions check;
    check.programFolder = HostToWindows(folder.host);
    const std::vector<Diagnostic> diagnostics = CheckDescription(fs, check);
    const auto first = std::find_if(diagnostics.begin(), diagnostics.end(),
                                    [](const Diagnostic& d) { return d.severity == Severity::Error; });
    if (first != diagnostics.end()) out << DiagnosticLine(ShownDescriptionPath(folder, hostPathOf), *first) << '\n';
    const std::string argument = FolderArgument(folder);
    out << "Run \"zelvane-console --check" << (argument.empty() ? "" : " ") << WithoutControls(argument)
        << "\" to see every problem.\n"
        << std::flush;
}

}  // namespace zelvane::console
