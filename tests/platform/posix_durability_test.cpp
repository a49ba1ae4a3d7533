// Copies and renames of the POSIX file system: flushed, never partial, and volumes told apart.

#include <gtest/gtest.h>

#include "tests/platform/host_folder_fixture.hpp"

namespace zelvane {
namespace {

using PosixDurability = HostFolderTest;

TEST_F(PosixDurability, ACopyWhoseSourceFailsToReadLeavesNoPartialTarget) {
    Put("backup/appearance.2da", "the table in use");
    // the memory of this process reads as a regular file that fails at its first byte
    EXPECT_EQ(fs->Copy("Z:\\proc\\self\\mem", Win("backup/appearance.2da")), FsStatus::IoError);
    EXPECT_EQ(fs->Copy("Z:\\proc\\self\\mem", Win("backup/new.2da")), FsStatus::IoError);
    EXPECT_EQ(Host("backup/appearance.2da"), "the table in use");
    EXPECT_EQ(HostNames("backup"), std::vector<std::string>{"appearance.2da"});
}

TEST_F(PosixDurability, ACopyReplacesAWritableTargetWholeAndLeavesNoTemporaryName) {
    Put("override/appearance.2da", std::string(200000, 'n'));
    Put("backup/appearance.2da", "old");
    EXPECT_EQ(fs->Copy(Win("override/appearance.2da"), Win("BACKUP/Appearance.2da")), FsStatus::Ok);
    EXPECT_EQ(Host("backup/appearance.2da"), std::string(200000, 'n'));
    EXPECT_EQ(HostNames("backup"), std::vector<std::string>{"appearance.2da"});
    // the copy took the source's attributes, and the file system says so at once
    Attributes a;
    ASSERT_EQ(fs->GetAttributes(Win("backup/appearance.2da"), a), FsStatus::Ok);
    EXPECT_FALSE(a.readOnly);
    ASSERT_EQ(::chmod(HostOf("override/appearance.2da").c_str(), 0444), 0);
    fs->ForgetCachedState();
    ASSERT_EQ(fs->GetAttributes(Win("backup/appearance.2da"), a), FsStatus::Ok);
    EXPECT_EQ(fs->Copy(Win("override/appearance.2da"), Win("backup/appearance.2da")), FsStatus::Ok);
    ASSERT_EQ(fs->GetAttributes(Win("backup/appearance.2da"), a), FsStatus::Ok);
    EXPECT_TRUE(a.readOnly);
    EXPECT_EQ(fs->Copy(Win("override/appearance.2da"), Win("backup/appearance.2da")), FsStatus::AccessDenied);
    EXPECT_EQ(HostNames("backup"), std::vector<std::string>{"appearance.2da"});
    EXPECT_EQ(fs->Copy(Win("override"), Win("backup/x")), FsStatus::AccessDenied);  // a folder is no source
}

TEST_F(PosixDurability, SameVolumeComparesTheFoldersDevices) {
    Put("game/override/x.tga", "x");
    Folder("program/backup");
    EXPECT_TRUE(fs->SameVolume(Win("game/override/x.tga"), Win("program/backup/x.tga")));
    EXPECT_FALSE(fs->SameVolume(Win("game/override/x.tga"), "Z:\\proc\\self\\x"));
    EXPECT_FALSE(fs->SameVolume(Win("game/override/x.tga"), Win("missing/x.tga")));
}

TEST_F(PosixDurability, ARenameToAnotherVolumeIsRefusedAndChangesNothing) {
    std::string pattern = "/dev/shm/zelvane-volume-XXXXXX";
    struct stat here {};
    struct stat there {};
    if (::mkdtemp(pattern.data()) == nullptr || ::stat(root.c_str(), &here) != 0 ||
        ::stat(pattern.c_str(), &there) != 0 || here.st_dev == there.st_dev) {
        ::rmdir(pattern.c_str());
        GTEST_SKIP() << "no second volume at /dev/shm";
    }
    Put("game/override/appearance.2da", "in use");
    std::string other = "Z:" + pattern + "\\appearance.2da";
    EXPECT_FALSE(fs->SameVolume(Win("game/override/appearance.2da"), other));
    EXPECT_EQ(fs->Rename(Win("game/override/appearance.2da"), other), FsStatus::NotSameDevice);
    EXPECT_EQ(Host("game/override/appearance.2da"), "in use");
    EXPECT_EQ(fs->Copy(Win("game/override/appearance.2da"), other), FsStatus::Ok);
    std::string bytes;
    EXPECT_EQ(fs->ReadAll(other, bytes), FsStatus::Ok);
    EXPECT_EQ(bytes, "in use");
    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
}

}  // namespace
}  // namespace zelvane
