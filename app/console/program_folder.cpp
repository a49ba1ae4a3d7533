#include "app/console/program_folder.hpp"

#include "app/console/console_host.hpp"
#include "app/console/terminal_text.hpp"
#include "util/common.hpp"

namespace zelvane::console {
namespace {

bool IsFolder(const FileSystem& fs, const std::string& host) { return FolderExists(fs, HostToWindows(host)); }

}  // namespace

ProgramFolderChoice ChooseProgramFolder(const std::string& named, const FileSystem& fs,
                                        const std::string& executableFolder) {
    ProgramFolderChoice choice;
    if (!named.empty()) {
        const std::string host = CanonicalFolder(named);
        if (!IsFolder(fs, host)) {
            choice.error = "the folder \"" + HostTerminalLine(named) +
                           "\" does not exist; name the mod's folder, the one that holds uninstall/";
            return choice;
        }
        choice.folder = ProgramFolder{host, named, false};
        return choice;
    }
    // uninstall/ is found in any letter case, as every name is.
    const std::string current = CanonicalFolder(".");
    if (FolderExists(fs, HostToWindows(current) + "\\uninstall")) {
        choice.folder = ProgramFolder{current, ".", true};
        return choice;
    }
    choice.folder = ProgramFolder{CanonicalFolder(executableFolder), executableFolder, false};
    return choice;
}

std::string ShownDescriptionPath(const ProgramFolder& folder,
                                 const std::function<std::string(std::string_view)>& hostPathOf) {
    const char separator = HostSeparator();
    std::string tail = std::string("uninstall") + separator + "uninstall_data.ini";
    const std::string onDisk = hostPathOf(HostToWindows(folder.host) + "\\uninstall\\uninstall_data.ini");
    const std::string root = folder.host.ends_with(separator) ? folder.host : folder.host + separator;
    if (onDisk.starts_with(root)) tail = onDisk.substr(root.size());
    if (folder.current) return tail;
    return folder.given.ends_with('/') || folder.given.ends_with(separator) ? folder.given + tail
                                                                            : folder.given + separator + tail;
}

std::string FolderArgument(const ProgramFolder& folder) {
    if (folder.current) return {};
    return QuotedArgument(folder.given);
}

}  // namespace zelvane::console
