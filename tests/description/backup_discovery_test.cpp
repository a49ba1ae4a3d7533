#include "description/backup_discovery.hpp"

#include <gtest/gtest.h>

#include "tests/description/load_fixture.hpp"

namespace zelvane::testing {
namespace {

class BackupDiscoveryTest : public LoadFixture {
protected:
    const std::string backup = program + "\\backup";
};

TEST_F(BackupDiscoveryTest, FalseOrAbsentLeavesEverythingAlone) {
    fs.AddFile(backup + "\\appearance.2da", "x");
    ASSERT_EQ(Load({"#qrestore_2da=false"}).outcome, LoadOutcome::EndOfFile);
    EXPECT_FALSE(d.Restore2da);
    EXPECT_TRUE(d.Backup2daFiles.empty());
    EXPECT_FALSE(d.Backup2daAvailable);
    EXPECT_EQ(d.Missing2daReport, "");
    EXPECT_EQ(fs.CallCount(FsOp::List), 0u);
    EXPECT_EQ(fs.CallCount(FsOp::ReadAll), 1u);
}

TEST_F(BackupDiscoveryTest, NoListLineAborts) {
    const LoadResult result = Load({"#window_caption=c", "#qrestore_2da=true", "#game=2"});
    EXPECT_EQ(result.outcome, LoadOutcome::Aborted);
    EXPECT_EQ(result.abortMessage, "Restore 2da files is enabled but no 2da file list was found in the ini.");
    EXPECT_TRUE(d.Restore2da);
    EXPECT_EQ(d.Game, 0);
}

TEST_F(BackupDiscoveryTest, ListLineMayStandAnywhereAndBeEmpty) {
    fs.AddFolder(backup);
    ASSERT_EQ(Load({"#qrestore_2da=1", "#QRESTORE_2DA_FILES="}).outcome, LoadOutcome::EndOfFile);
    EXPECT_TRUE(d.Restore2da);
    EXPECT_EQ(d.Missing2daReport, "");
    EXPECT_FALSE(d.Backup2daAvailable);
}

TEST_F(BackupDiscoveryTest, MatchesCaseInsensitivelyAndReportsTheRest) {
    fs.AddFile(backup + "\\Appearance.2DA", "a");
    ASSERT_EQ(Load({"#qrestore_2da_files=appearance.2da,feat.2da", "#qrestore_2da=true"}).outcome,
              LoadOutcome::EndOfFile);
    EXPECT_EQ(d.Backup2daFiles, std::vector<std::string>{"C:\\Mods\\Robes\\backup\\Appearance.2DA"});
    EXPECT_TRUE(d.Backup2daAvailable);
    EXPECT_EQ(d.Missing2daReport, "\\cf10 2da backup not available \\cf1 feat.2da\\par\r\n");
}

TEST_F(BackupDiscoveryTest, NamesAreNotTrimmed) {
    fs.AddFile(backup + "\\appearance.2da", "a");
    fs.AddFile(backup + "\\feat.2da", "f");
    ASSERT_EQ(Load({"#qrestore_2da=true", "#qrestore_2da_files=appearance.2da, feat.2da,,"}).outcome,
              LoadOutcome::EndOfFile);
    EXPECT_EQ(d.Backup2daFiles.size(), 2u);
    EXPECT_EQ(d.Missing2daReport,
              "\\cf10 2da backup not available \\cf1  feat.2da\\par\r\n"
              "\\cf10 2da backup not available \\cf1 \\par\r\n"
              "\\cf10 2da backup not available \\cf1 \\par\r\n");
}

TEST_F(BackupDiscoveryTest, NoBackupFolderGivesNoReport) {
    ASSERT_EQ(Load({"#qrestore_2da=true", "#qrestore_2da_files=appearance.2da,feat.2da"}).outcome,
              LoadOutcome::EndOfFile);
    EXPECT_FALSE(d.Backup2daAvailable);
    EXPECT_TRUE(d.Backup2daFiles.empty());
    EXPECT_EQ(d.Missing2daReport, "");
}

TEST_F(BackupDiscoveryTest, EmptyBackupFolderReportsEveryName) {
    fs.AddFolder(backup);
    ASSERT_EQ(Load({"#qrestore_2da=true", "#qrestore_2da_files=a.2da,b.2da"}).outcome, LoadOutcome::EndOfFile);
    EXPECT_FALSE(d.Backup2daAvailable);
    EXPECT_EQ(d.Missing2daReport, Missing2daLine("a.2da") + Missing2daLine("b.2da"));
}

TEST_F(BackupDiscoveryTest, EveryNormal2daFileIsListedInListingOrder) {
    fs.AddFile(backup + "\\spells.2da", "s");
    fs.AddFile(backup + "\\readme.txt", "r");
    fs.AddFile(backup + "\\hidden.2da", "h", Attributes{.hidden = true});
    fs.AddFile(backup + "\\system.2da", "y", Attributes{.system = true});
    fs.AddFile(backup + "\\locked.2da", "l", Attributes{.readOnly = true});
    fs.AddFolder(backup + "\\folder.2da");
    fs.AddFile(backup + "\\feat.2da", "f");
    fs.AddFile(program + "\\uninstall\\backup\\wrong.2da", "w");
    ASSERT_EQ(Load({"#qrestore_2da=true", "#qrestore_2da_files=feat.2da"}).outcome, LoadOutcome::EndOfFile);
    EXPECT_EQ(d.Backup2daFiles,
              (std::vector<std::string>{backup + "\\spells.2da", backup + "\\locked.2da", backup + "\\feat.2da"}));
    EXPECT_EQ(d.Missing2daReport, "");
    EXPECT_EQ(fs.OpenListings(), 0u);
}

TEST_F(BackupDiscoveryTest, ANameIsMatchedOnceAndSeveralListLinesAdd) {
    fs.AddFile(backup + "\\feat.2da", "f");
    ASSERT_EQ(
        Load({"#qrestore_2da_files=feat.2da,FEAT.2DA", "#qrestore_2da_files=x.2da", "#qrestore_2da=true"}).outcome,
        LoadOutcome::EndOfFile);
    EXPECT_EQ(d.Missing2daReport, Missing2daLine("FEAT.2DA") + Missing2daLine("x.2da"));
}

TEST_F(BackupDiscoveryTest, ARepeatedTrueLineKeepsTheFirstResult) {
    fs.AddFile(backup + "\\feat.2da", "f");
    ASSERT_EQ(Load({"#qrestore_2da=true", "#qrestore_2da_files=feat.2da,x.2da", "#qrestore_2da=false",
                    "#qrestore_2da=true"})
                  .outcome,
              LoadOutcome::EndOfFile);
    EXPECT_TRUE(d.Restore2da);
    EXPECT_EQ(d.Backup2daFiles, std::vector<std::string>{backup + "\\feat.2da"});
    EXPECT_EQ(d.Missing2daReport, Missing2daLine("x.2da"));
}

TEST_F(BackupDiscoveryTest, AnUnlistableFolderFindsNothing) {
    fs.AddFile(backup + "\\feat.2da", "f");
    fs.FailOperation(FsOp::List, "backup", FsStatus::AccessDenied);
    ASSERT_EQ(Load({"#qrestore_2da=true", "#qrestore_2da_files=feat.2da"}).outcome, LoadOutcome::EndOfFile);
    EXPECT_FALSE(d.Backup2daAvailable);
    EXPECT_EQ(d.Missing2daReport, Missing2daLine("feat.2da"));
}

}  // namespace
}  // namespace zelvane::testing
