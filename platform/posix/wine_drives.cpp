#include "platform/posix/wine_drives.hpp"

#include <dirent.h>

#include <cstdlib>
#include <memory>

#include "platform/posix/host_names.hpp"
#include "util/text/code_page_1252.hpp"

namespace zelvane::posix {
namespace {

// Whether a host folder holds a path (or is it).
bool HoldsHostPath(std::string_view folder, std::string_view path) {
    if (folder == "/") return true;
    return path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == '/');
}

// The host's own reading of a path: every link followed; nullopt when it leads nowhere.
std::optional<std::string> RealPath(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (!real) return std::nullopt;
    return std::string(real.get());
}

}  // namespace

std::string DefaultWinePrefix() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0') return prefix;
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.wine";
}

std::string WineDrives::RootOf(std::string_view drive) const {
    if (drive == "Z:") return "/";
    return prefix_ + "/dosdevices/" + static_cast<char>(drive[0] | 0x20) + ":";
}

const std::vector<std::pair<std::string, std::string>>& WineDrives::Folders() const {
    if (folders_) return *folders_;
    folders_.emplace();
    const std::string devices = prefix_ + "/dosdevices";
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(devices.c_str()), ::closedir);
    while (dir) {
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) break;
        const std::string_view name = entry->d_name;
        const char letter = name.empty() ? '\0' : static_cast<char>(name[0] | 0x20);
        if (name.size() != 2 || name[1] != ':' || letter < 'a' || letter >= 'z') continue;
        const std::optional<std::string> folder = RealPath(devices + "/" + std::string(name));
        if (!folder || *folder == "/") continue;
        folders_->emplace_back(std::string{static_cast<char>(letter - 'a' + 'A'), ':'}, *folder);
    }
    return *folders_;
}

std::string WineDrives::WindowsPathOf(std::string_view host) const {
    std::string drive = "Z:";
    std::string_view root = "/";
    for (const auto& [letter, folder] : Folders()) {
        if (!HoldsHostPath(folder, host)) continue;
        if (root == "/" || folder.size() > root.size()) {
            root = folder;
            drive = letter;
        }
    }
    std::string windows = drive;
    std::string_view rest = host.substr(root == "/" ? 0 : root.size());
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view name = rest.substr(0, slash);
        if (!name.empty()) {
            windows += '\\';
            windows += WindowsNameOf(name);
        }
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
    return windows.size() == 2 ? windows + '\\' : windows;
}

}  // namespace zelvane::posix
