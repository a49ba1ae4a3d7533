#include <gtest/gtest.h>

#include <map>
#include <set>

#include "tests/support/counting_file_system.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "util/common.hpp"
#include "util/logged_ops.hpp"
#include "util/recurse.hpp"
#include "util/resolved_path_cache.hpp"

namespace zelvane {
namespace {

// Names with a wildcard are refused, never handed to the file system as a pattern. (That the
// attributes are cleared before a change is shown by the removal's file-list phase.)
TEST(LoggedOps, NeverAPattern) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\g\\a.tga", "a");
    const std::vector<FsStatus> statuses = {LoggedDelete(fs, "C:\\g\\?.tga").status,
                                            LoggedRename(fs, "C:\\g\\*.tga", "C:\\g\\d.tga").status,
                                            LoggedRename(fs, "C:\\g\\a.tga", "C:\\g\\*.tga").status,
                                            LoggedCopy(fs, "C:\\g\\*.tga", "C:\\g\\e.tga").status,
                                            LoggedCopy(fs, "C:\\g\\a.tga", "C:\\g\\?.tga").status};
    EXPECT_EQ(statuses, std::vector<FsStatus>(5, FsStatus::BadName));
    EXPECT_EQ(fs.Snapshot(), (std::map<std::string, std::string>{{"C:\\g\\a.tga", "a"}}));
}

// From "File not found" to "Device I/O error", the kinds the host reports.
TEST(LoggedOps, EveryKindOfFailureHasItsOwnNumber) {
    std::set<int> numbers;
    for (int kind = int(FsStatus::FileNotFound); kind <= int(FsStatus::IoError); ++kind)
        numbers.insert(FileSystemError(FsStatus(kind)).Number());
    EXPECT_EQ(numbers.size(), 10u);
}

// Backups are the visible, normal 2da files in the backup folder beside the program.
TEST(Repeat2daCheck, SeesOnly2daFiles) {
    MemoryFileSystem fs;
    EXPECT_FALSE(Repeat2daCheck(fs, "C:\\Tool"));
    fs.AddFile("C:\\Tool\\backup\\notes.txt", "x");
    fs.AddFile("C:\\Tool\\backup\\a.2da.bak", "x");
    fs.AddFolder("C:\\Tool\\backup\\folder.2da");
    fs.AddFile("C:\\Tool\\backup\\h.2da", "x", Attributes{.hidden = true});
    fs.AddFile("C:\\Tool\\backup\\s.2da", "x", Attributes{.system = true});
    EXPECT_FALSE(Repeat2daCheck(fs, "C:\\Tool"));
    fs.AddFile("C:\\Tool\\backup\\Feat.2DA", "x", Attributes{.readOnly = true, .archive = true});
    EXPECT_TRUE(Repeat2daCheck(fs, "C:\\Tool\\"));
    EXPECT_EQ(fs.OpenListings(), 0u);
}

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
    SearchState missing;
    RecurseFiles_FindFile(fs, "C:\\K\\missing\\*.*", "x.tga", true, missing);
    EXPECT_FALSE(missing.found);
    EXPECT_EQ(fs.OpenListings(), 0u);
}

using bench::SeamCall;

TEST(ResolvedPathCache, ResolvesEachPathOnceUntilControlGoesToThePlayer) {
    MemoryFileSystem fs;
    fs.AddFolder("C:\\Games\\Kotor2\\override");
    fs.AddFolder("C:\\Elsewhere");
    bench::CountingFileSystem counted(fs);
    ResolvedPathCache cache(counted);
    const std::string sub = "C:\\Games\\Kotor2\\override\\Sub";
    EXPECT_EQ(cache.ResolvedPath(sub), sub);
    EXPECT_EQ(cache.ResolvedPath(sub), sub);
    EXPECT_EQ(cache.ResolvedPath("C:\\GAMES\\Kotor2\\override\\Sub"), "C:\\GAMES\\Kotor2\\override\\Sub");
    EXPECT_EQ(counted.Calls(SeamCall::ResolvedPath), 2u);  // one for each spelling
    // The player puts a link where nothing was, while a prompt is open.
    fs.AddLink(sub, "C:\\Elsewhere");
    cache.ForgetCachedState();
    EXPECT_EQ(cache.ResolvedPath(sub + "\\x.tga"), "C:\\Elsewhere\\x.tga");
    EXPECT_EQ(cache.ResolvedPath(sub), "C:\\Elsewhere");
}

TEST(ResolvedPathCache, ForgetsWhatTheRunChanges) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\Games\\Kotor2\\override\\a.tga", "a");
    fs.AddFile("C:\\Mods\\Tool\\backup\\b.2da", "b");
    bench::CountingFileSystem counted(fs);
    ResolvedPathCache cache(counted);
    const std::string a = "C:\\Games\\Kotor2\\override\\a.tga", b = "C:\\Games\\Kotor2\\override\\New\\b.2da";
    std::vector<std::uint64_t> asked;  // how often the file system was asked after each step
    const auto resolve = [&](const std::string& path) {
        cache.ResolvedPath(path);
        asked.push_back(counted.Calls(SeamCall::ResolvedPath));
    };
    resolve(a), resolve(b), resolve(a);
    ASSERT_EQ(cache.Delete(a), FsStatus::Ok);
    resolve(a);
    ASSERT_EQ(cache.CreateFolder("C:\\Games\\Kotor2\\override\\New"), FsStatus::Ok);
    resolve(b);
    ASSERT_EQ(cache.Rename("C:\\Mods\\Tool\\backup\\b.2da", b), FsStatus::Ok);
    resolve(b);
    EXPECT_EQ(asked, (std::vector<std::uint64_t>{1, 2, 2, 3, 4, 5}));
    EXPECT_EQ(cache.Remembered(), 1u);  // a rename forgets everything
}

}  // namespace
}  // namespace zelvane
