// The depth-first search of a folder tree for a file name.

#include "util/recurse.hpp"

#include <gtest/gtest.h>

#include "platform/memory/memory_file_system.hpp"

namespace zelvane {
namespace {

std::string Find(const FileSystem& fs, const std::string& name, bool recurse = true) {
    SearchState state;
    RecurseFiles_FindFile(fs, "C:\\K\\o\\*.*", name, recurse, state);
    EXPECT_EQ(state.found, !state.result.empty());
    return state.result;
}

// The first match in listing order, depth first: a subfolder listed before the file wins. System
// folders are skipped, hidden ones entered; folder links are listed but not entered (one back up
// the tree would keep the search going round, one leading out is not the game's).
TEST(RecursiveSearch, FirstMatchInDepthFirstListingOrder) {
    MemoryFileSystem fs;
    fs.AddFolder("C:\\K\\o\\sys", Attributes{.directory = true, .system = true});
    fs.AddFile("C:\\K\\o\\sys\\x.tga", "sys");
    fs.AddLink("C:\\K\\o\\loop", "C:\\K");
    fs.AddFile("C:\\Out\\y.tga", "outside");
    fs.AddLink("C:\\K\\o\\out", "C:\\Out");
    fs.AddFolder("C:\\K\\o\\hid", Attributes{.directory = true, .hidden = true});
    fs.AddFile("C:\\K\\o\\hid\\deeper\\x.tga", "hid");
    fs.AddFile("C:\\K\\o\\X.Tga", "top");
    fs.AddFile("C:\\K\\o\\xx.tga", "x");
    EXPECT_EQ(Find(fs, "X.TGA"), "C:\\K\\o\\hid\\deeper\\x.tga");
    EXPECT_EQ(Find(fs, "x.tga", false), "C:\\K\\o\\X.Tga");
    EXPECT_EQ(Find(fs, "y.tga"), "");
    EXPECT_EQ(Find(fs, "*.tga"), "");  // whole names only
    EXPECT_EQ(Find(fs, "none.tga"), "");
    SearchState missing;
    RecurseFiles_FindFile(fs, "C:\\K\\missing\\*.*", "x.tga", true, missing);
    EXPECT_FALSE(missing.found);
    EXPECT_EQ(fs.OpenListings(), 0u);
}

TEST(RecursiveSearch, YieldsAfterEntriesAndHit) {
    MemoryFileSystem fs;
    for (const char* name : {"a", "b", "c"}) fs.AddFile(std::string("C:\\K\\o\\") + name, "");
    int yields = 0;
    SearchState state;
    RecurseFiles_FindFile(fs, "C:\\K\\o\\*.*", "c", true, state, [&] { ++yields; });
    EXPECT_EQ(yields, 3);  // after fetching b, after fetching c, after the hit
}

}  // namespace
}  // namespace zelvane
