#pragma once
// A fresh host folder for the tests of the POSIX file system, removed afterwards, with helpers to
// lay out files and links in it and to read them back.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/overlay/overlay_file_system.hpp"
#include "platform/posix/posix_file_system.hpp"

namespace zelvane {

class HostFolderTest : public ::testing::Test {
protected:
    ~HostFolderTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    // The Windows (Z:) form of a path below the folder.
    std::string Win(const std::string& relative = "") const {
        std::string path = "Z:" + root + (relative.empty() ? "" : "/" + relative);
        std::replace(path.begin(), path.end(), '/', '\\');
        return path;
    }
    std::string HostOf(const std::string& relative) const { return root + "/" + relative; }
    void Put(const std::string& relative, const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(HostOf(relative)).parent_path());
        std::ofstream(HostOf(relative), std::ios::binary) << bytes;
    }
    void Folder(const std::string& relative) { std::filesystem::create_directories(HostOf(relative)); }
    void Link(const std::string& relative, const std::string& target) {
        std::filesystem::create_directories(std::filesystem::path(HostOf(relative)).parent_path());
        ASSERT_EQ(::symlink(target.c_str(), HostOf(relative).c_str()), 0) << relative;
    }
    // The bytes of a host file, "<missing>" when it cannot be read.
    std::string Host(const std::string& relative) const {
        std::ifstream in(HostOf(relative), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return in ? text.str() : "<missing>";
    }
    // The bytes the file system reads at a Windows path, or why it reads none.
    std::string Read(const std::string& windows) const {
        std::string bytes;
        const FsStatus status = fs->ReadAll(windows, bytes, 1 << 20);
        return status == FsStatus::Ok ? bytes : "<" + std::string(FsStatusName(status)) + ">";
    }
    mode_t Mode(const std::string& relative) const {
        struct stat st {};
        return ::stat(HostOf(relative).c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    std::vector<std::string> Names(const std::string& pattern) const {
        auto listing = fs->List(pattern);
        if (!listing) return {"<null>"};
        std::vector<std::string> names;
        while (auto entry = listing->Next()) names.push_back(entry->name);
        return names;
    }

    std::string pattern = (std::filesystem::temp_directory_path() / "zelvane-host-XXXXXX").string();
    const std::string root = std::filesystem::canonical(::mkdtemp(pattern.data())).string();
    const std::unique_ptr<PosixFileSystem> fs = std::make_unique<PosixFileSystem>(root + "/wine");
};

}  // namespace zelvane
