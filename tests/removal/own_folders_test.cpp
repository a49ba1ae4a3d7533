// The guard every change of a run passes keeps the program's own folders out of the game phases.

#include "removal/own_folders.hpp"

#include <gtest/gtest.h>

#include "platform/memory/memory_file_system.hpp"

namespace zelvane {
namespace {

const std::string kProgram = "C:\\Mods\\Tool";
const std::string kGame = "C:\\Games\\Kotor";
const std::string kOverride = kGame + "\\override";

class OwnFoldersTest : public ::testing::Test {
protected:
    OwnFoldersTest() {
        disk.AddFile(kProgram + "\\uninstall\\uninstall_data.ini", "description");
        disk.AddFile(kProgram + "\\backup\\appearance.2da", "backup");
        disk.AddFile(kProgram + "\\Backup Uninstall\\appearance.2da", "kept");
        disk.AddFile(kOverride + "\\x.tga", "game file");
    }
    MemoryFileSystem disk;
    OwnFolders folders{kProgram};
    OwnFoldersGuard guard{disk, folders};
};

TEST_F(OwnFoldersTest, NoGamePhaseChangesAnythingInThem) {
    EXPECT_EQ(guard.Delete(kProgram + "\\backup\\appearance.2da"), FsStatus::Ok);  // not protected yet
    disk.AddFile(kProgram + "\\backup\\appearance.2da", "backup");
    folders.Protect(guard, kGame);
    const auto before = disk.Snapshot();
    const std::string backup = kProgram + "\\BACKUP\\appearance.2da";
    const std::string kept = kProgram + "\\backup uninstall\\appearance.2da";
    EXPECT_EQ(guard.Delete(backup), FsStatus::ProgramOwnFile);
    EXPECT_EQ(guard.SetAttributes(backup, Attributes{}), FsStatus::ProgramOwnFile);
    EXPECT_EQ(guard.Rename(backup, kOverride + "\\appearance.2da"), FsStatus::ProgramOwnFile);
    EXPECT_EQ(guard.Rename(kOverride + "\\x.tga", kept), FsStatus::ProgramOwnFile);
    EXPECT_EQ(guard.Copy(kOverride + "\\x.tga", kept), FsStatus::ProgramOwnFile);
    EXPECT_EQ(guard.WriteAll(kProgram + "\\uninstall\\removal_results.rtf", "log"), FsStatus::ProgramOwnFile);
    EXPECT_EQ(guard.CreateFolder(kProgram + "\\uninstall\\sub"), FsStatus::ProgramOwnFile);
    EXPECT_EQ(guard.CanCreateFileIn(kProgram + "\\Backup Uninstall"), FsStatus::ProgramOwnFile);
    EXPECT_EQ(disk.Snapshot(), before);
    // The rest of the program folder (it lies outside override) and the game are the phases' own.
    EXPECT_EQ(guard.CanCreateFileIn(kProgram), FsStatus::Ok);
    EXPECT_EQ(guard.Delete(kOverride + "\\x.tga"), FsStatus::Ok);
}

TEST_F(OwnFoldersTest, WhereLinksLeadDecidesAtTheMomentOfTheChange) {
    folders.Protect(guard, kGame);
    disk.AddLink(kOverride + "\\to backup.2da", kProgram + "\\backup\\appearance.2da");
    disk.AddLink(kOverride + "\\linked", kProgram + "\\backup");
    // Some file systems change what a link leads to even when deleting it: kept out either way.
    EXPECT_EQ(guard.WriteAll(kOverride + "\\to backup.2da", "x"), FsStatus::ProgramOwnFile);
    EXPECT_EQ(guard.Delete(kOverride + "\\to backup.2da"), FsStatus::ProgramOwnFile);
    EXPECT_EQ(guard.Delete(kOverride + "\\linked\\appearance.2da"), FsStatus::ProgramOwnFile);
    EXPECT_EQ(disk.Contents(kProgram + "\\backup\\appearance.2da"), "backup");
    // A folder of override swapped for a link into them later is caught then.
    disk.AddFile(kOverride + "\\sub\\y.tga", "y");
    disk.ReplaceWithLink(kOverride + "\\sub", kProgram + "\\Backup Uninstall");
    EXPECT_EQ(guard.Delete(kOverride + "\\sub\\appearance.2da"), FsStatus::ProgramOwnFile);
}

TEST_F(OwnFoldersTest, AGuardThatOpensOneFolderOpensThatOneOnly) {
    folders.Protect(disk, kGame);
    OwnFoldersGuard kept{disk, folders, OwnFolder::BackupUninstall};
    EXPECT_EQ(kept.Copy(kOverride + "\\x.tga", kProgram + "\\Backup Uninstall\\x.tga"), FsStatus::Ok);
    EXPECT_EQ(kept.Delete(kProgram + "\\Backup Uninstall\\appearance.2da"), FsStatus::Ok);
    EXPECT_EQ(kept.Delete(kProgram + "\\backup\\appearance.2da"), FsStatus::ProgramOwnFile);
    OwnFoldersGuard backup{disk, folders, OwnFolder::Backup};
    // The backup may leave its folder, but not into another of the program's own.
    EXPECT_EQ(backup.Rename(kProgram + "\\backup\\appearance.2da", kProgram + "\\uninstall\\appearance.2da"),
              FsStatus::ProgramOwnFile);
    EXPECT_EQ(backup.Rename(kProgram + "\\backup\\appearance.2da", kOverride + "\\appearance.2da"), FsStatus::Ok);
}

}  // namespace
}  // namespace zelvane
