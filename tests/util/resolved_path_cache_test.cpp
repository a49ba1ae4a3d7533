// Where paths resolve is asked of the file system once, and asked again once the run changed the
// path or control went to the player, so that a link swapped in meanwhile is seen.

#include "util/resolved_path_cache.hpp"

#include <gtest/gtest.h>

#include "bench/counting_file_system.hpp"
#include "platform/memory/memory_file_system.hpp"

namespace zelvane {
namespace {

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
    const std::string a = "C:\\Games\\Kotor2\\override\\a.tga";
    const std::string folder = "C:\\Games\\Kotor2\\override\\New";
    cache.ResolvedPath(a);
    cache.ResolvedPath(folder + "\\b.2da");
    ASSERT_EQ(cache.Delete(a), FsStatus::Ok);
    cache.ResolvedPath(a);
    EXPECT_EQ(counted.Calls(SeamCall::ResolvedPath), 3u);
    ASSERT_EQ(cache.CreateFolder(folder), FsStatus::Ok);
    cache.ResolvedPath(folder + "\\b.2da");
    EXPECT_EQ(counted.Calls(SeamCall::ResolvedPath), 4u);
    ASSERT_EQ(cache.Rename("C:\\Mods\\Tool\\backup\\b.2da", folder + "\\b.2da"), FsStatus::Ok);
    cache.ResolvedPath(folder + "\\b.2da");
    EXPECT_EQ(counted.Calls(SeamCall::ResolvedPath), 5u);
    EXPECT_EQ(cache.Remembered(), 1u);  // a rename forgets everything
}

}  // namespace
}  // namespace zelvane
