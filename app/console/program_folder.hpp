#pragma once
// Which folder holds the mod's uninstall/ folder: the one named on the command line
// (--program-folder, or the MODDIR argument), else the folder the player stands in when it holds
// uninstall/ (cd MyMod && zelvane-console), else the executable's own folder, where zelvane.exe
// lies beside the mod on Windows.

#include <functional>
#include <optional>
#include <string>

#include "platform/posix/posix_file_system.hpp"

namespace zelvane::console {

struct ProgramFolder {
    std::string host;      // absolute host path, links followed
    std::string given;     // as the player named it; the executable's folder when found there
    bool current = false;  // found by standing in it: the player names it as "."
};

struct ProgramFolderChoice {
    std::optional<ProgramFolder> folder;
    std::string error;  // when the folder named on the command line is no folder
};

// named: --program-folder or MODDIR as typed ("" = neither). canonical: a host path made absolute
// with its links followed.
ProgramFolderChoice ChooseProgramFolder(const std::string& named, const PosixFileSystem& fs,
                                        const std::string& executableFolder,
                                        const std::function<std::string(const std::string&)>& canonical);

// The description's path as the player would name it from where they stand, with the names as
// they lie on disk: "MyMod/uninstall/uninstall_data.ini", "uninstall/uninstall_data.ini".
std::string ShownDescriptionPath(const ProgramFolder& folder, const PosixFileSystem& fs);

// The folder as an argument of a command the player can type ("" for the current folder), quoted
// for the shell when it needs to be.
std::string FolderArgument(const ProgramFolder& folder);

}  // namespace zelvane::console
