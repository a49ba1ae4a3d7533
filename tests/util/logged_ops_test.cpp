// The file operations of the phases: what they clear, what they never replace, how they fail.

#include "util/logged_ops.hpp"

#include <gtest/gtest.h>

#include <set>

#include "platform/memory/memory_file_system.hpp"
#include "util/common.hpp"

namespace zelvane {
namespace {

TEST(LoggedOps, DeleteClearsAttributesAndDeletesOnlyWhatIsNamed) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\g\\x.tga", "x", Attributes{.readOnly = true, .hidden = true});
    fs.AddFile("C:\\g\\a.tga", "a");
    EXPECT_EQ(LoggedDelete(fs, "C:\\g\\x.tga").status, FsStatus::Ok);
    EXPECT_FALSE(fs.Exists("C:\\g\\x.tga"));
    EXPECT_EQ(LoggedDelete(fs, "C:\\g\\gone.tga").status, FsStatus::FileNotFound);
    const auto before = fs.MutationCount();
    EXPECT_EQ(LoggedDelete(fs, "C:\\g\\?.tga").status, FsStatus::BadName);  // never a pattern
    EXPECT_EQ(LoggedDelete(fs, "C:\\g\\*.tga").Failures(), 1);
    EXPECT_EQ(fs.MutationCount(), before);
    EXPECT_TRUE(fs.Exists("C:\\g\\a.tga"));

    // The attributes stay cleared when the delete itself fails.
    fs.AddFile("C:\\g\\y.tga", "y", Attributes{.readOnly = true, .hidden = true});
    fs.FailOperation(FsOp::Delete, "y.tga", FsStatus::IoError);
    EXPECT_EQ(LoggedDelete(fs, "C:\\g\\y.tga").Failures(), 1);
    EXPECT_FALSE(fs.AttributesOf("C:\\g\\y.tga")->readOnly);
    EXPECT_FALSE(fs.AttributesOf("C:\\g\\y.tga")->hidden);
    fs.Lock("C:\\g\\a.tga");
    EXPECT_EQ(LoggedDelete(fs, "C:\\g\\a.tga").status, FsStatus::SharingViolation);
    fs.AddFile("D:\\cd\\x.tga", "x");
    fs.SetReadOnlyMedium("D:\\");
    EXPECT_EQ(LoggedDelete(fs, "D:\\cd\\x.tga").status, FsStatus::WriteProtected);
}

TEST(LoggedOps, RenameClearsTheSourcesAttributesAndNeverReplaces) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\g\\x.tga.original", "original", Attributes{.readOnly = true});
    fs.AddFile("C:\\g\\x.tga", "mod");
    EXPECT_EQ(LoggedRename(fs, "C:\\g\\x.tga.original", "C:\\g\\x.tga").status, FsStatus::AlreadyExists);
    EXPECT_EQ(fs.Contents("C:\\g\\x.tga"), "mod");
    EXPECT_FALSE(fs.AttributesOf("C:\\g\\x.tga.original")->readOnly);
    fs.AddFile("C:\\g\\backup\\a.2da", "backup", Attributes{.readOnly = true});
    fs.AddFolder("C:\\g\\override");
    EXPECT_EQ(LoggedRename(fs, "C:\\g\\backup\\a.2da", "C:\\g\\override\\a.2da").status, FsStatus::Ok);
    EXPECT_EQ(fs.Contents("C:\\g\\override\\a.2da"), "backup");
    EXPECT_FALSE(fs.AttributesOf("C:\\g\\override\\a.2da")->readOnly);
    EXPECT_EQ(LoggedRename(fs, "C:\\g\\none", "C:\\g\\other").Failures(), 1);
}

TEST(LoggedOps, CopyReplacesWritableTargetsOnly) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\g\\a.2da", "new");
    fs.AddFile("C:\\g\\b.2da", "old");
    fs.AddFile("C:\\g\\c.2da", "keep", Attributes{.readOnly = true});
    EXPECT_EQ(LoggedCopy(fs, "C:\\g\\a.2da", "C:\\g\\b.2da").status, FsStatus::Ok);
    EXPECT_EQ(fs.Contents("C:\\g\\b.2da"), "new");
    EXPECT_EQ(LoggedCopy(fs, "C:\\g\\a.2da", "C:\\g\\c.2da").Failures(), 1);
    EXPECT_EQ(fs.Contents("C:\\g\\c.2da"), "keep");
    EXPECT_EQ(LoggedCopy(fs, "C:\\g\\none.2da", "C:\\g\\d.2da").Failures(), 1);
    EXPECT_FALSE(fs.Exists("C:\\g\\d.2da"));
}

// A change the file system refuses because it would land outside the game and program folders
// says so, and is a failure like any other.
TEST(LoggedOps, AChangeOutsideTheRootsIsReportedAsRefused) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\g\\x.tga", "x");
    fs.AddFile("D:\\Saves\\save.sav", "mine", Attributes{.readOnly = true});
    fs.AddLink("C:\\g\\evil.tga", "D:\\Saves\\save.sav");
    fs.SetRoots({"C:\\g"});
    EXPECT_EQ(LoggedDelete(fs, "C:\\g\\evil.tga").status, FsStatus::OutsideRoots);
    EXPECT_EQ(LoggedRename(fs, "C:\\g\\x.tga", "C:\\g\\evil.tga").status, FsStatus::OutsideRoots);
    EXPECT_EQ(LoggedCopy(fs, "C:\\g\\x.tga", "D:\\Saves\\copy.tga").status, FsStatus::OutsideRoots);
    EXPECT_EQ(fs.Contents("D:\\Saves\\save.sav"), "mine");
    EXPECT_TRUE(fs.AttributesOf("D:\\Saves\\save.sav")->readOnly);
    EXPECT_FALSE(fs.Exists("D:\\Saves\\copy.tga"));
}

TEST(LoggedOps, EveryKindOfFailureHasItsOwnNumber) {
    const FsStatus kinds[] = {FsStatus::FileNotFound,  FsStatus::PathNotFound,     FsStatus::AccessDenied,
                              FsStatus::AlreadyExists, FsStatus::SharingViolation, FsStatus::WriteProtected,
                              FsStatus::DiskFull,      FsStatus::NotSameDevice,    FsStatus::BadName,
                              FsStatus::IoError};
    std::set<int> numbers;
    for (FsStatus kind : kinds) numbers.insert(FileSystemError(kind).Number());
    EXPECT_EQ(numbers.size(), std::size(kinds));
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

}  // namespace
}  // namespace zelvane
