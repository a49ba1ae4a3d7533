#include "app/console/posix/read_only_stop.hpp"

#include "app/console/terminal_text.hpp"
#include "platform/posix/read_only_media.hpp"

namespace zelvane::console {

std::string ReadOnlyMediaMessage(std::string_view role, std::string_view hostFolder) {
    return "zelvane-console: the " + std::string(role) + " " + HostTerminalLine(hostFolder) +
           " is on read-only media; nothing was changed.\n"
           "zelvane-console: a Windows partition is mounted read-only when Windows was hibernated or shut "
           "down with Fast Startup: start Windows and shut it down fully (hold Shift while choosing Shut down), "
           "then mount the partition again. Otherwise remount it read-write (mount -o remount,rw).\n";
}

bool StopForReadOnlyMedia(std::string_view role, const std::string& hostFolder, std::ostream& err) {
    if (hostFolder.empty() || !posix::OnReadOnlyMedia(hostFolder)) return false;
    err << ReadOnlyMediaMessage(role, hostFolder) << std::flush;
    return true;
}

}  // namespace zelvane::console
