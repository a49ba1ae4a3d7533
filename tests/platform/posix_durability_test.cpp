// Copies and renames of the POSIX file system: flushed, never partial, and volumes told apart.

#include <gtest/gtest.h>

#include "platform/seams/read_limits.hpp"
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
    // a read-only target is not replaced, and the file system knows it at once
    ASSERT_EQ(::chmod(HostOf("backup/appearance.2da").c_str(), 0444), 0);
    fs->ForgetCachedState();
    EXPECT_EQ(fs->Copy(Win("override/appearance.2da"), Win("backup/appearance.2da")), FsStatus::AccessDenied);
    EXPECT_EQ(HostNames("backup"), std::vector<std::string>{"appearance.2da"});
    EXPECT_EQ(fs->Copy(Win("override"), Win("backup/x")), FsStatus::AccessDenied);  // a folder is no source
}

// A copy is a new file with the mode a new file gets here (the umask decides): no mode is copied
// from the source or set afterwards, so a volume that refuses every change of mode (a shared NTFS
// or exFAT partition, a FUSE driver without chmod) takes copies all the same, and a FUSE volume's
// 0777 does not travel.
TEST_F(PosixDurability, ACopyGetsTheOrdinaryModeOfANewFile) {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    Folder("backup");
    for (const mode_t source : {mode_t{0777}, mode_t{0444}, mode_t{0600}}) {
        Put("override/appearance.2da", "table");
        ASSERT_EQ(::chmod(HostOf("override/appearance.2da").c_str(), source), 0);
        std::filesystem::remove(HostOf("backup/appearance.2da"));
        fs->ForgetCachedState();
        ASSERT_EQ(fs->Copy(Win("override/appearance.2da"), Win("backup/appearance.2da")), FsStatus::Ok);
        EXPECT_EQ(Mode("backup/appearance.2da"), 0666 & ~mask) << std::oct << source;
    }
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
    EXPECT_EQ(fs->ReadAll(other, bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(bytes, "in use");
    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
}

}  // namespace
}  // namespace zelvane
