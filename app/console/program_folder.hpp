#pragma once
// Which folder holds the mod's uninstall/ folder: the one named on the command line
// (--program-folder, or the MODDIR argument), else the folder the player stands in when it holds
// uninstall/ (cd MyMod && zelvane-console), else the executable's own folder, where zelvane.exe
// lies beside the mod on Windows.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/seams/file_system.hpp"

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

// named: --program-folder or MODDIR as typed ("" = neither); executableFolder: a host path.
ProgramFolderChoice ChooseProgramFolder(const std::string& named, const FileSystem& fs,
                                        const std::string& executableFolder);

// The description's path as the player would name it from where they stand, with the names as
// they lie on disk: "MyMod/uninstall/uninstall_data.ini", "uninstall/uninstall_data.ini".
// hostPathOf: the host path of a Windows path, with the names as they lie on disk.
std::string ShownDescriptionPath(const ProgramFolder& folder,
                                 const std::function<std::string(std::string_view)>& hostPathOf);

// The folder as an argument of a command the player can type ("" for the current folder), quoted
// when it needs to be.
std::string FolderArgument(const ProgramFolder& folder);

}  // namespace zelvane::console
