#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/memory/memory_file_system.hpp"
#include "platform/posix/posix_file_system.hpp"
#include "util/recurse.hpp"

namespace zelvane {
namespace {

SearchState Find(const FileSystem& fs, const std::string& pattern, const std::string& name, bool recurse = true) {
    SearchState state;
    RecurseFiles_FindFile(fs, pattern, name, recurse, state);
    return state;
}

TEST(RecursiveSearch, FirstMatchInDepthFirstListingOrder) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\K\\override\\sub\\deeper\\x.tga", "deep");  // listed first
    fs.AddFile("C:\\K\\override\\x.tga", "top");
    SearchState s = Find(fs, "C:\\K\\override\\*.*", "X.TGA");
    EXPECT_TRUE(s.found);
    EXPECT_EQ(s.result, "C:\\K\\override\\sub\\deeper\\x.tga");
    EXPECT_EQ(fs.OpenListings(), 0u);
}

TEST(RecursiveSearch, TopFolderWinsWhenListedFirst) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\K\\override\\X.Tga", "top");
    fs.AddFile("C:\\K\\override\\sub\\x.tga", "deep");
    EXPECT_EQ(Find(fs, "C:\\K\\override\\*.*", "x.tga").result, "C:\\K\\override\\X.Tga");
}

TEST(RecursiveSearch, SystemFoldersSkippedHiddenEntered) {
    MemoryFileSystem fs;
    fs.AddFolder("C:\\K\\override\\sys", Attributes{.directory = true, .system = true});
    fs.AddFile("C:\\K\\override\\sys\\x.tga", "sys");
    fs.AddFolder("C:\\K\\override\\hid", Attributes{.directory = true, .hidden = true});
    fs.AddFile("C:\\K\\override\\hid\\x.tga", "hid");
    EXPECT_EQ(Find(fs, "C:\\K\\override\\*.*", "x.tga").result, "C:\\K\\override\\hid\\x.tga");
}

TEST(RecursiveSearch, WithoutRecursionOnlyTheTopFolder) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\K\\override\\sub\\x.tga", "deep");
    SearchState s = Find(fs, "C:\\K\\override\\*.*", "x.tga", false);
    EXPECT_FALSE(s.found);
    EXPECT_EQ(s.result, "");
}

TEST(RecursiveSearch, MissingFolderAndWholeNamesOnly) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\K\\override\\xx.tga", "x");
    EXPECT_FALSE(Find(fs, "C:\\K\\missing\\*.*", "x.tga").found);
    EXPECT_FALSE(Find(fs, "C:\\K\\override\\*.*", "x.tga").found);
    EXPECT_FALSE(Find(fs, "C:\\K\\override\\*.*", "*.tga").found);
    EXPECT_EQ(fs.OpenListings(), 0u);
}

TEST(RecursiveSearch, YieldsAfterEntriesAndHit) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\K\\o\\a", "");
    fs.AddFile("C:\\K\\o\\b", "");
    fs.AddFile("C:\\K\\o\\c", "");
    int yields = 0;
    SearchState state;
    RecurseFiles_FindFile(fs, "C:\\K\\o\\*.*", "c", true, state, [&] { ++yields; });
    EXPECT_EQ(yields, 3);  // after fetching b, after fetching c, after the hit
}

TEST(RecursiveSearch, OnTheHostFileSystem) {
    std::string templ = (std::filesystem::temp_directory_path() / "zelvane-find-XXXXXX").string();
    const std::string host = mkdtemp(templ.data());
    std::filesystem::create_directories(host + "/override/a sub");
    std::ofstream(host + "/override/a sub/Tex.TGA") << "deep";
    std::ofstream(host + "/override/tex.tga") << "top";
    std::string folder = "Z:" + host + "\\override";
    for (char& c : folder)
        if (c == '/') c = '\\';
    PosixFileSystem fs;
    SearchState deep = Find(fs, folder + "\\*.*", "TEX.tga");
    EXPECT_TRUE(deep.found);
    EXPECT_EQ(deep.result, folder + "\\a sub\\Tex.TGA");  // name order lists "a sub" first
    EXPECT_EQ(Find(fs, folder + "\\*.*", "tex.tga", false).result, folder + "\\tex.tga");
    EXPECT_FALSE(Find(fs, folder + "\\none\\*.*", "tex.tga").found);
    std::filesystem::remove_all(host);
}

// Folder links are listed but not entered: one pointing back up the tree would otherwise keep the
// search going round until the path grew too long, and one leading out is not the game's.
TEST(RecursiveSearch, FolderLinksAreNotEntered) {
    std::string templ = (std::filesystem::temp_directory_path() / "zelvane-links-XXXXXX").string();
    const std::string host = mkdtemp(templ.data());
    std::filesystem::create_directories(host + "/override/real");
    std::filesystem::create_directories(host + "/outside");
    std::ofstream(host + "/outside/save.sav") << "mine";
    std::ofstream(host + "/override/real/deep.tga") << "deep";
    std::filesystem::create_directory_symlink("..", host + "/override/loop");
    std::filesystem::create_directory_symlink(host + "/override", host + "/override/real/back");
    std::filesystem::create_directory_symlink(host + "/outside", host + "/override/out");
    std::string folder = "Z:" + host + "\\override";
    for (char& c : folder)
        if (c == '/') c = '\\';
    PosixFileSystem fs;
    EXPECT_FALSE(Find(fs, folder + "\\*.*", "missing.tga").found);
    EXPECT_FALSE(Find(fs, folder + "\\*.*", "save.sav").found);
    EXPECT_EQ(Find(fs, folder + "\\*.*", "deep.tga").result, folder + "\\real\\deep.tga");

    MemoryFileSystem memory;
    memory.AddFile("C:\\K\\o\\real\\deep.tga", "deep");
    memory.AddLink("C:\\K\\o\\loop", "C:\\K");
    memory.AddFile("C:\\Out\\save.sav", "mine");
    memory.AddLink("C:\\K\\o\\out", "C:\\Out");
    EXPECT_FALSE(Find(memory, "C:\\K\\o\\*.*", "save.sav").found);
    EXPECT_EQ(Find(memory, "C:\\K\\o\\*.*", "deep.tga").result, "C:\\K\\o\\real\\deep.tga");
    std::filesystem::remove_all(host);
}

}  // namespace
}  // namespace zelvane
