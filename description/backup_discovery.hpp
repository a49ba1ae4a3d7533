#pragma once
// Which 2da backups of the installer tool exist beside the program, and which listed 2da files
// have none. Runs while the description is loaded, when "#qrestore_2da=" is true.

#include <optional>
#include <string>
#include <string_view>

#include "description/reader.hpp"
#include "description/uninstall_description.hpp"
#include "platform/seams/file_system.hpp"

namespace zelvane {

inline constexpr std::string_view kNo2daListMessage =
    "Restore 2da files is enabled but no 2da file list was found in the ini.";

// Takes the names of the "#qrestore_2da_files=" lines of the whole file, lists
// programFolder\backup\*.2da and sets Backup2daFiles, Backup2daAvailable and Missing2daReport.
// Returns the abort message when the description has no list line.
std::optional<std::string> Discover2daBackups(UninstallDescription& description, const FileSystem& fs,
                                              std::string_view programFolder, const DescriptionText& text);

// One line of the report: "\cf10 2da backup not available \cf1 " + name + "\par" CR LF.
std::string Missing2daLine(std::string_view name);

}  // namespace zelvane
