#pragma once
// A fresh folder in the host's temporary folder, removed afterwards, seen through the host's own
// file system (POSIX, or Win32 in the Windows build). Paths are relative to it, with either slash.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/overlay/overlay_file_system.hpp"
#ifdef _WIN32
#include <process.h>
#include <windows.h>

#include "platform/win32/win32_file_system.hpp"
#else
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/posix_file_system.hpp"
#endif

namespace zelvane {

inline void PrintTo(FsStatus status, std::ostream* out) { *out << FsStatusName(status); }

// What a pattern lists, in the listing's order, folders marked with "\"; "<null>" for no listing.
inline std::vector<std::string> ListedNames(const FileSystem& fs, const std::string& pattern) {
    auto listing = fs.List(pattern);
    if (!listing) return {"<null>"};
    std::vector<std::string> names;
    while (auto entry = listing->Next()) names.push_back(entry->name + (entry->attributes.directory ? "\\" : ""));
    return names;
}

class HostFolder {
public:
    HostFolder() {
#ifdef _WIN32
        static int made = 0;
        const auto name = "zelvane-host-" + std::to_string(_getpid()) + "-" + std::to_string(++made);
        root = (std::filesystem::temp_directory_path() / name).string();
        std::filesystem::create_directories(root);
        host_ = std::make_unique<Win32FileSystem>();
#else
        std::string pattern = (std::filesystem::temp_directory_path() / "zelvane-host-XXXXXX").string();
        root = std::filesystem::canonical(::mkdtemp(pattern.data())).string();
        host_ = std::make_unique<PosixFileSystem>(root + "/wine");
#endif
    }
    ~HostFolder() {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root, ignored)) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,  // Windows removes
                                         std::filesystem::perm_options::add, ignored);       // no read-only file
        }
        std::filesystem::remove_all(root, ignored);
    }

    FileSystem& fs() { return *host_; }
    static bool UnderWine() {
#ifdef _WIN32
        return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
#else
        return false;
#endif
    }
    // The Windows form of a path below the folder (a Z: path under Wine's POSIX side).
    std::string Win(const std::string& relative = "") const {
#ifdef _WIN32
        std::string path = root + (relative.empty() ? "" : "\\" + relative);
#else
        std::string path = "Z:" + root + (relative.empty() ? "" : "\\" + relative);
#endif
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }
    std::string HostOf(std::string relative) const {
        std::replace(relative.begin(), relative.end(), '\\', '/');
        return (std::filesystem::path(root) / relative).string();
    }
    void Put(const std::string& relative, const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(HostOf(relative)).parent_path());
        std::ofstream(HostOf(relative), std::ios::binary) << bytes;
    }
    void Folder(const std::string& relative) { std::filesystem::create_directories(HostOf(relative)); }
    // A link to another path below the folder; false where none can be made (Wine answers yes and
    // makes none).
    bool Link(const std::string& relative, const std::string& target) {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(HostOf(relative)).parent_path(), error);
        if (std::filesystem::is_directory(HostOf(target))) {
            std::filesystem::create_directory_symlink(HostOf(target), HostOf(relative), error);
        } else {
            std::filesystem::create_symlink(HostOf(target), HostOf(relative), error);
        }
        return !error && std::filesystem::is_symlink(HostOf(relative), error);
    }
    // The bytes of a host file, "<missing>" when it cannot be read.
    std::string Bytes(const std::string& relative) const {
        std::ifstream in(HostOf(relative), std::ios::binary);
        return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
    }

    std::string root;

private:
    std::unique_ptr<FileSystem> host_;
};

}  // namespace zelvane
