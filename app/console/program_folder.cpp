#include "app/console/program_folder.hpp"

#include "app/console/host_path_form.hpp"
#include "util/common.hpp"

namespace zelvane::console {
namespace {

constexpr std::string_view kDescription = "uninstall/uninstall_data.ini";

bool IsFolder(const PosixFileSystem& fs, const std::string& host) { return FolderExists(fs, HostToWindowsPath(host)); }

bool ShellSafe(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("/._-+,:@%").find(c) != std::string_view::npos;
}

}  // namespace

ProgramFolderChoice ChooseProgramFolder(const std::string& named, const PosixFileSystem& fs,
                                        const std::string& executableFolder,
                                        const std::function<std::string(const std::string&)>& canonical) {
    ProgramFolderChoice choice;
    if (!named.empty()) {
        const std::string host = canonical(named);
        if (!IsFolder(fs, host)) {
            choice.error = "the folder \"" + named + "\" does not exist; name the mod's folder, the one that holds uninstall/";
            return choice;
        }
        choice.folder = ProgramFolder{host, named, false};
        return choice;
    }
    // uninstall/ is found in any letter case, as every name is.
    const std::string current = canonical(".");
    if (FolderExists(fs, HostToWindowsPath(current) + "\\uninstall")) {
        choice.folder = ProgramFolder{current, ".", true};
        return choice;
    }
    choice.folder = ProgramFolder{canonical(executableFolder), executableFolder, false};
    return choice;
}

std::string ShownDescriptionPath(const ProgramFolder& folder, const PosixFileSystem& fs) {
    std::string tail(kDescription);
    const std::string onDisk = fs.HostPathOf(HostToWindowsPath(folder.host) + "\\uninstall\\uninstall_data.ini");
    const std::string root = folder.host == "/" ? "/" : folder.host + "/";
    if (onDisk.starts_with(root)) tail = onDisk.substr(root.size());
    if (folder.current) return tail;
    return folder.given.ends_with('/') ? folder.given + tail : folder.given + "/" + tail;
}

std::string FolderArgument(const ProgramFolder& folder) {
    if (folder.current) return {};
    bool safe = !folder.given.empty();
    for (const char c : folder.given) safe = safe && ShellSafe(c);
    if (safe) return folder.given;
    std::string quoted = "'";
    for (const char c : folder.given) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

}  // namespace zelvane::console
