#include "app/console/posix/host_path_form.hpp"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/posix/host_names.hpp"

namespace zelvane::console {
namespace {

std::string CurrentFolder() {
    std::vector<char> buffer(4096);
    for (int tries = 0; tries < 8; ++tries) {
        if (getcwd(buffer.data(), buffer.size()) != nullptr) return std::string(buffer.data());
        buffer.resize(buffer.size() * 2);
    }
    return "/";
}

// Every name between the separators as posix::WindowsNameOf gives it; the separators become "\".
std::string WindowsNames(std::string_view path) {
    std::string out;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find_first_of("/\\", start), path.size());
        out += posix::WindowsNameOf(path.substr(start, end - start));
        if (end == path.size()) break;
        out += '\\';
        start = end + 1;
    }
    return out;
}

}  // namespace

std::string AbsoluteHostPath(std::string_view path) {
    std::string joined =
        (!path.empty() && path.front() == '/') ? std::string(path) : CurrentFolder() + "/" + std::string(path);
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i <= joined.size()) {
        const std::size_t slash = joined.find('/', i);
        const std::size_t end = slash == std::string::npos ? joined.size() : slash;
        const std::string part = joined.substr(i, end - i);
        if (part.empty() || part == ".") {
            // nothing
        } else if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else {
            parts.push_back(part);
        }
        if (slash == std::string::npos) break;
        i = slash + 1;
    }
    std::string out;
    for (const std::string& part : parts) out += "/" + part;
    return out.empty() ? "/" : out;
}

std::string HostToWindowsPath(std::string_view hostPath) { return "Z:" + WindowsNames(AbsoluteHostPath(hostPath)); }

bool IsWindowsForm(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

std::string UserPathToWindows(std::string_view path) {
    if (IsWindowsForm(path)) return WindowsNames(path);
    return HostToWindowsPath(path);
}

std::string ExpandHome(std::string_view path) {
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0' || !path.starts_with('~')) return std::string(path);
    if (path.size() > 1 && path[1] != '/') return std::string(path);
    return std::string(home) + std::string(path.substr(1));
}

std::string HostFolderOf(std::string_view hostFile) {
    const std::size_t slash = hostFile.find_last_of('/');
    if (slash == std::string_view::npos) return ".";
    if (slash == 0) return "/";
    return std::string(hostFile.substr(0, slash));
}

}  // namespace zelvane::console
