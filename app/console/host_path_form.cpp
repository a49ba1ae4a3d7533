#include "app/console/host_path_form.hpp"

#include <unistd.h>

#include <vector>

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

}  // namespace

std::string AbsoluteHostPath(std::string_view path) {
    std::string joined = (!path.empty() && path.front() == '/') ? std::string(path)
                                                                : CurrentFolder() + "/" + std::string(path);
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

std::string HostToWindowsPath(std::string_view hostPath) {
    const std::string absolute = AbsoluteHostPath(hostPath);
    std::string out = "Z:";
    for (char c : absolute) out.push_back(c == '/' ? '\\' : c);
    return out;
}

bool IsWindowsForm(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

std::string UserPathToWindows(std::string_view path) {
    if (IsWindowsForm(path)) {
        std::string out(path);
        for (char& c : out) {
            if (c == '/') c = '\\';
        }
        return out;
    }
    return HostToWindowsPath(path);
}

std::string HostFolderOf(std::string_view hostFile) {
    const std::size_t slash = hostFile.find_last_of('/');
    if (slash == std::string_view::npos) return ".";
    if (slash == 0) return "/";
    return std::string(hostFile.substr(0, slash));
}

}  // namespace zelvane::console
