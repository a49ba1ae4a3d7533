#pragma once
// The check of a description before it ships: every problem start-up, the removal run or a
// player would meet, found at once, each tied to its line of uninstall_data.ini. Reads only.

#include <string>
#include <string_view>
#include <vector>

#include "platform/seams/file_system.hpp"

namespace zelvane {

enum class Severity {
    Error,    // start-up would end in the INI-error state, or the removal would stop
    Warning,  // a silent mistake: a line that does not do what it seems to
    Note,     // what the mod or game folder holds; no problem in itself
};

struct Diagnostic {
    int line = 0;  // 1-based line as start-up reads the file; 0 = the file as a whole
    Severity severity = Severity::Error;
    std::string text;

    friend bool operator==(const Diagnostic&, const Diagnostic&) = default;
};

struct CheckOptions {
    std::string programFolder;  // holds uninstall\uninstall_data.ini; no trailing backslash
    std::string modFolder;      // optional: the mod's files as it installs them
    std::string gameFolder;     // optional: a game folder to compare the entries with
    int twipsPerPixelX = 15;
};

// Reads uninstall\uninstall_data.ini of the program folder, and the backup folder beside it, the
// way start-up does; changes nothing. The diagnostics come ordered by line.
std::vector<Diagnostic> CheckDescription(const FileSystem& fs, const CheckOptions& options);

// "uninstall_data.ini:12: warning: text", or "uninstall_data.ini: error: text" for line 0; the
// file is named as given ("MyMod/uninstall/uninstall_data.ini:12: ...") so that editors find it.
std::string FormatDiagnostic(const Diagnostic& diagnostic, std::string_view file = "uninstall_data.ini");

// "2 errors, 1 warning, 0 notes".
std::string CheckSummary(const std::vector<Diagnostic>& diagnostics);

// 0 clean (notes only), 1 errors, 2 warnings only.
int CheckStatus(const std::vector<Diagnostic>& diagnostics);

}  // namespace zelvane
