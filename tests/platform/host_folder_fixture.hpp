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

#include "platform/posix/posix_file_system.hpp"

namespace zelvane {

class HostFolderTest : public ::testing::Test {
protected:
    HostFolderTest() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zelvane-host-XXXXXX").string();
        root = std::filesystem::canonical(::mkdtemp(pattern.data())).string();
        fs = std::make_unique<PosixFileSystem>(root + "/wine");
    }
    ~HostFolderTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    // The Windows (Z:) form of a path below the folder.
    std::string Win(const std::string& relative = "") const {
        std::string path = "Z:" + root + (relative.empty() ? "" : "/" + relative);
        for (char& c : path) {
            if (c == '/') c = '\\';
        }
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
    // The bytes of a file, "<missing>" when it cannot be read.
    std::string Host(const std::string& relative) const {
        std::ifstream in(HostOf(relative), std::ios::binary);
        if (!in) return "<missing>";
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    bool Exists(const std::string& relative) const {
        struct stat st {};
        return ::lstat(HostOf(relative).c_str(), &st) == 0;
    }
    mode_t Mode(const std::string& relative) const {
        struct stat st {};
        return ::stat(HostOf(relative).c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    // The names in a host folder, sorted.
    std::vector<std::string> HostNames(const std::string& relative) const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(HostOf(relative))) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::vector<std::string> Names(const std::string& pattern) const {
        auto listing = fs->List(pattern);
        if (!listing) return {"<null>"};
        std::vector<std::string> names;
        while (auto entry = listing->Next()) names.push_back(entry->name);
        return names;
    }

    std::string root;
    std::unique_ptr<PosixFileSystem> fs;
};

}  // namespace zelvane
