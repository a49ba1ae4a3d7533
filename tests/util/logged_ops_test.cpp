// The file operations of the phases: what they clear, what they never replace, how they fail.

#include "util/logged_ops.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform/memory/memory_file_system.hpp"
#include "util/common.hpp"

namespace zelvane {
namespace {

// The refusals themselves are the file system's; these operations take no pattern and clear the
// attributes of what they delete or move first, and leave them cleared when the change fails.
TEST(LoggedOps, NeverAPatternAndTheAttributesClearedFirst) {
    MemoryFileSystem fs;
    for (const char* name : {"x.tga", "y.tga", "o.tga.original"})
        fs.AddFile(std::string("C:\\g\\") + name, name, Attributes{.readOnly = true, .hidden = true});
    fs.AddFile("C:\\g\\a.tga", "a");
    fs.AddFile("C:\\g\\b.tga", "b", Attributes{.readOnly = true});
    fs.FailOperation(FsOp::Delete, "y.tga", FsStatus::IoError);
    const std::vector<FsStatus> statuses = {LoggedDelete(fs, "C:\\g\\x.tga").status,
                                            LoggedDelete(fs, "C:\\g\\y.tga").status,
                                            LoggedRename(fs, "C:\\g\\b.tga", "C:\\g\\a.tga").status,
                                            LoggedRename(fs, "C:\\g\\o.tga.original", "C:\\g\\o.tga").status,
                                            LoggedCopy(fs, "C:\\g\\a.tga", "C:\\g\\c.tga").status,
                                            LoggedDelete(fs, "C:\\g\\?.tga").status,
                                            LoggedRename(fs, "C:\\g\\*.tga", "C:\\g\\d.tga").status,
                                            LoggedRename(fs, "C:\\g\\a.tga", "C:\\g\\*.tga").status,
                                            LoggedCopy(fs, "C:\\g\\*.tga", "C:\\g\\e.tga").status,
                                            LoggedCopy(fs, "C:\\g\\a.tga", "C:\\g\\?.tga").status};
    using enum FsStatus;
    EXPECT_EQ(statuses, (std::vector{Ok, IoError, AlreadyExists, Ok, Ok, BadName, BadName, BadName, BadName, BadName}));
    EXPECT_EQ(fs.Snapshot(), (std::map<std::string, std::string>{{"C:\\g\\a.tga", "a"},
                                                                 {"C:\\g\\b.tga", "b"},
                                                                 {"C:\\g\\c.tga", "a"},
                                                                 {"C:\\g\\o.tga", "o.tga.original"},
                                                                 {"C:\\g\\y.tga", "y.tga"}}));
    for (const char* name : {"y.tga", "b.tga", "o.tga"}) {
        const Attributes a = *fs.AttributesOf(std::string("C:\\g\\") + name);
        EXPECT_FALSE(a.readOnly || a.hidden) << name;
    }
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
