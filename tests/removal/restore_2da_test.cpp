// The 2da restore: the three ways to find the current table, the locate loop and the sequence
// that moves the current table aside and the backup into its place.

#include <deque>

#include "platform/seams/read_limits.hpp"
#include "tests/removal/run_fixture.hpp"

namespace zelvane::testing {
namespace {

const std::string kInvalidText =
    R"(Invalid file - Would you like to abort this \cf5 appearance.2da\cf1  replacement operation?)";
const std::string kFoundShape = "icon 2 [&Yes|&No|&Cancel||] 3 focus 2 top font 12 buttons 1300x380 width 7500";
const std::string kDeclined = kQ + R"(\cf5 User declined \cf1 appearance.2da\cf5  replacement.\par)";
const std::string kNotRestored = kQ + R"(\cf4 No 2das found in override. \cf1 appearance.2da\cf4  not restored.\par)";
const std::string kAborted = kQ + R"(\cf5 User aborted 2da replacement for \cf1 appearance.2da\par)";

std::string CopiedAside(const std::string& current, const std::string& file = "appearance.2da") {
    return kQ + R"(\cf3 FileCopy \cf1 )" + current + R"(\cf3  to \cf1 Backup Uninstall\\)" + file + R"(\par)" + CRLF;
}
std::string DeletedLine(const std::string& name) { return kQ + Deleted(name) + R"(\par)" + CRLF; }
const std::string kSafetyCopied = kQ +
                                  R"(\cf3 FileCopy \cf1 Backup\\appearance.2da\cf3  to \cf1 Backup Uninstall\\)"
                                  R"(original install backup.appearance.2da\par)" +
                                  CRLF;
std::string Moved(const std::string& target) {
    return kQ + R"(\cf3 Renamed \cf1 Backup\\appearance.2da\cf3  to \cf1 )" + target + R"(\par)" + CRLF;
}
std::string NotRestored(const std::string& reason) {
    return kQ + R"(\cf10 Backup not restored: \cf1 Backup\\appearance.2da\cf10  ()" + reason + R"()\cf1\par)";
}

class Restore2da : public RemovalRunTest {
protected:
    Restore2da() { WithBackup(); }
    std::string Log(const std::string& phase, int errors = 0) {
        return ExpectedHeader(d.Game) + kBanner + phase + ExpectedTotals(errors, 0);
    }
};

// One question and the player's answers to it and to the questions that follow.
struct Answered {
    std::string name;
    int game;
    std::map<std::string, std::string> present;  // besides the backup
    std::vector<int> answers;                    // after the confirmation
    std::deque<std::string> located;             // the open-file dialog's answers
    std::string question;                        // the first question of the restore
    std::string line;                            // the restore's line in the log; "" = none
    std::string target;                          // where the backup went; "" = nothing changed
};

class Restore2daAnswers : public Restore2da, public ::testing::WithParamInterface<Answered> {};

TEST_P(Restore2daAnswers, AskLogAndMoveTheBackup) {
    const Answered& c = GetParam();
    d.Game = c.game;
    for (const auto& [path, bytes] : c.present) fs.AddFile(path, bytes);
    ui.openFileAnswers = c.located;
    const auto before = GameFiles();
    ui.promptAnswers = {0};  // the confirmation
    ui.promptAnswers.insert(ui.promptAnswers.end(), c.answers.begin(), c.answers.end());
    const RunResult result = Run();
    ASSERT_GE(ui.prompts.size(), 2u);
    EXPECT_EQ(ui.prompts[1].msgText, c.question);
    EXPECT_EQ(ui.prompts[1].msgTitle, kTitle);
    EXPECT_EQ(Shape(ui.prompts[1]), c.question.find("located at") != std::string::npos ? kFoundShape : kYesNoShape);
    for (std::size_t i = 2; i < ui.prompts.size(); ++i) {
        EXPECT_EQ(ui.prompts[i].msgText, kInvalidText);
        EXPECT_EQ(ui.prompts[i].msgTitle, "Hmm");
        EXPECT_EQ(Shape(ui.prompts[i]), kYesNoShape);
    }
    EXPECT_EQ(ui.openFileRequests.size(), c.located.size());
    if (!c.line.empty()) {
        EXPECT_TRUE(Logged(c.line));
    } else if (c.target.empty()) {
        EXPECT_EQ(SavedLog().find(kQ), std::string::npos) << SavedLog();
    }
    EXPECT_EQ(result.deletedCount, 0);  // the table in use goes as part of the restore
    EXPECT_EQ(result.failureCount, 0);
    if (c.target.empty()) {
        EXPECT_EQ(GameFiles(), before);
        EXPECT_EQ(result.tablesRestoredCount, 0);
        return;
    }
    std::map<std::string, std::string> expected = before;
    expected.erase(kBackup);
    if (c.present.contains(c.target)) {
        expected[kBu + "\\" + c.target.substr(c.target.rfind('\\') + 1)] = c.present.at(c.target);
    }
    expected[c.target] = "backup table";
    expected[kSafety] = "backup table";
    EXPECT_EQ(GameFiles(), expected);
    EXPECT_EQ(result.tablesRestoredCount, 1);
}

const std::string kOther = kOverride + "\\yours\\APPEARANCE.2DA";  // found after sub
const std::string kMovedToSub = Moved(R"(Override\\Sub\\appearance.2da)");
const std::string kFound = FoundText(kInSubShown);

INSTANTIATE_TEST_SUITE_P(
    Matrix, Restore2daAnswers,
    ::testing::Values(
        Answered{"InOverrideYes", 2, {{kInOverride, "now"}}, {0}, {}, kReplaceText, "", kInOverride},
        Answered{"InOverrideNo", 2, {{kInOverride, "now"}}, {1}, {}, kReplaceText, kDeclined, ""},
        Answered{"InOverrideClosed", 2, {{kInOverride, "now"}}, {-1}, {}, kReplaceText, "", ""},
        Answered{"K1MissingYes", 1, {{kInSub, "K1 looks not here"}}, {0}, {}, kAnywayText, "", kInOverride},
        Answered{"K1MissingNo", 1, {}, {1}, {}, kAnywayText, kNotRestored, ""},
        Answered{"K2FoundYes", 2, {{kInSub, "now"}}, {0}, {}, kFound, kMovedToSub, kInSub},
        Answered{"K2FoundCancel",
                 2,
                 {{kInSub, "now"}},
                 {2},
                 {},
                 kFound,
                 kQ + R"(appearance.2da\cf4  replacement aborted.\par)",
                 ""},
        Answered{"K2FoundClosed", 2, {{kInSub, "now"}}, {-1}, {}, kFound, "", ""},
        Answered{"K2LocatedInOtherCase",
                 2,
                 {{kInSub, "first"}, {kOther, "now"}},
                 {1},
                 {kOther},
                 kFound,
                 CopiedAside(R"(Override\\Yours\\APPEARANCE.2DA)", "APPEARANCE.2DA") +
                     DeletedLine(R"(Override\\Yours\\APPEARANCE.2DA)") + kSafetyCopied +
                     Moved(R"(Override\\Yours\\APPEARANCE.2DA)"),
                 kOther},
        Answered{"K2InvalidThenNoThenYes",
                 2,
                 {{kInSub, "now"}, {kOverride + "\\w.2da", "w"}},
                 {1, 1, 0},
                 {kOverride + "\\w.2da", ""},
                 kFound,
                 kAborted,
                 ""},
        Answered{"K2InvalidClosed", 2, {{kInSub, "now"}}, {1, -1}, {""}, kFound, "", ""},
        Answered{"K2BackupItselfIsInvalid",
                 2,
                 {{kInSub, "now"}, {kBu + "\\appearance.2da", "earlier"}},
                 {1, 1, 0},
                 {kBackup, kBu + "\\appearance.2da"},
                 kFound,
                 kAborted,
                 ""},
        Answered{"K2NothingFoundYes",
                 2,
                 {},
                 {0},
                 {},
                 kAnywayText,
                 kSafetyCopied + Moved(R"(Override\\appearance.2da)"),
                 kInOverride},
        Answered{"K2NothingFoundNo", 2, {}, {1}, {}, kAnywayText, kNotRestored, ""},
        // Only the program's own folders are left out of the search, not folders named like them.
        Answered{"K2OverrideFolderNamedBackup",
                 2,
                 {{kOverride + "\\backup\\appearance.2da", "now"}},
                 {0},
                 {},
                 FoundText(R"(C:\\Games\\Kotor\\override\\backup\\appearance.2da)"),
                 "",
                 kOverride + "\\backup\\appearance.2da"}),
    [](const auto& info) { return info.param.name; });

TEST_F(Restore2da, TheLocateDialogAsksForTheTableByName) {
    fs.AddFile(kInSub, "now");
    ui.openFileAnswers = {""};
    RunConfirmed({1, -1});
    ASSERT_EQ(ui.openFileRequests.size(), 1u);
    const OpenFileRequest& r = ui.openFileRequests[0];
    EXPECT_EQ(r.initialFolder, kOverride + "\\");
    EXPECT_EQ(r.filter, std::string("2da Files (*.2da)") + '\0' + "*.2da");
    EXPECT_EQ(r.title, "Locate appearance.2da");
    EXPECT_EQ(r.fileName, "appearance.2da");
}

// The whole sequence, a second time: the earlier copies in Backup Uninstall are replaced.
TEST_F(Restore2da, GoldenSecondRunReplacesTheEarlierCopies) {
    fs.AddFile(kInOverride, "current table");
    fs.AddFile(kBu + "\\appearance.2da", "earlier displaced", Attributes{.readOnly = true});
    fs.AddFile(kSafety, "earlier safety");
    RunConfirmed({0});
    EXPECT_EQ(SavedLog(), Log(DeletedLine(R"(Backup Uninstall\\appearance.2da)") +
                              CopiedAside(R"(Override\\appearance.2da)") + DeletedLine(R"(Override\\appearance.2da)") +
                              DeletedLine(R"(Backup Uninstall\\original install backup.appearance.2da)") +
                              kSafetyCopied + Moved(R"(Override\\appearance.2da)")));
    EXPECT_EQ(GameFiles(), Files({{kInOverride, "backup table"},
                                  {kBu + "\\appearance.2da", "current table"},
                                  {kSafety, "backup table"}}));
}

// A table in use that cannot be deleted: two failures, and every table is still somewhere.
TEST_F(Restore2da, GoldenLockedCurrentFileLeavesTheBackupInPlace) {
    fs.AddFile(kInOverride, "current table");
    fs.FailOperation(FsOp::Delete, "override\\appearance.2da", FsStatus::SharingViolation);
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(
        SavedLog(),
        Log(CopiedAside(R"(Override\\appearance.2da)") + kQ +
                R"(\cf10 Delete Failure - \cf1 Override\\appearance.2da\cf7  - Error: 70  Permission denied\par)" +
                CRLF + kSafetyCopied + kQ +
                R"(\cf10 Failure Renaming \cf1 Backup\\appearance.2da\cf10  to \cf1 Override\\appearance.2da - )"
                R"(\cf7 Error: 58  File already exists\par)" +
                CRLF,
            2));
    EXPECT_EQ(result.failureCount, 2);
    EXPECT_EQ(result.tablesRestoredCount, 0);
    EXPECT_EQ(GameFiles(), Files({{kInOverride, "current table"},
                                  {kBackup, "backup table"},
                                  {kBu + "\\appearance.2da", "current table"},
                                  {kSafety, "backup table"}}));
}

// A step of the sequence that fails, or a backup folder on another volume.
struct Step {
    std::string name;
    std::function<void(MemoryFileSystem&)> setup;
    std::string line;
    int failures;
    std::map<std::string, std::string> after;  // besides dialog.tlk
};

class Restore2daSteps : public Restore2da, public ::testing::WithParamInterface<Step> {};

TEST_P(Restore2daSteps, EveryTableIsKept) {
    fs.AddFile(kInOverride, "current table");
    GetParam().setup(fs);
    const RunResult result = RunConfirmed({0});
    EXPECT_TRUE(Logged(GetParam().line));
    EXPECT_EQ(result.failureCount, GetParam().failures);
    EXPECT_EQ(GameFiles(), Files(GetParam().after));
}

const std::map<std::string, std::string> kRestored = {{kInOverride, "backup table"},
                                                      {kBu + "\\appearance.2da", "current table"},
                                                      {kSafety, "backup table"}};
const std::string kMovedAcross = kQ +
                                 R"(\cf3 Moved \cf1 Backup\\appearance.2da\cf3  to \cf1 Override\\appearance.2da\cf3 )"
                                 R"( (another volume: copied, compared, then deleted from the backup folder)\par)";

INSTANTIATE_TEST_SUITE_P(
    Sequence, Restore2daSteps,
    ::testing::Values(
        Step{"CopyAsideFails",
             [](MemoryFileSystem& fs) { fs.FailOperation(FsOp::Copy, "override\\appearance.2da", FsStatus::IoError); },
             kQ +
                 R"(\cf10 Failure FileCopy \cf1 Override\\appearance.2da\cf10  to \cf1 Backup Uninstall\\)"
                 R"(appearance.2da - \cf7 Error: 57  Device I/O error\par)" +
                 CRLF + NotRestored("the current file could not be copied aside and was left in place"),
             1,
             {{kInOverride, "current table"}, {kBackup, "backup table"}}},
        Step{"SafetyCopyFails",
             [](MemoryFileSystem& fs) { fs.FailOperation(FsOp::Copy, "backup\\appearance.2da", FsStatus::DiskFull); },
             kQ +
                 R"(\cf10 Failure Copying \cf1 Backup\\appearance.2da\cf10  to \cf1 Backup Uninstall\\)"
                 R"(original install backup.appearance.2da - \cf7 Error: 61  Disk full\par)" +
                 CRLF + NotRestored("no safety copy could be made, so the backup stays in the backup folder"),
             1,
             {{kBackup, "backup table"}, {kBu + "\\appearance.2da", "current table"}}},
        // The move across volumes is a copy, compared before the backup is deleted.
        Step{"AnotherVolume", [](MemoryFileSystem& fs) { fs.PutOnOwnVolume(kProgram); }, kMovedAcross, 0, kRestored},
        Step{"RenameRefusedAcrossDevices",
             [](MemoryFileSystem& fs) {
                 fs.FailOperation(FsOp::Rename, "backup\\appearance.2da", FsStatus::NotSameDevice);
             },
             kMovedAcross, 0, kRestored},
        Step{"ACopyThatCannotBeChecked",
             [](MemoryFileSystem& fs) {
                 fs.PutOnOwnVolume(kProgram);
                 fs.FailOperation(FsOp::ReadAll, "override\\appearance.2da", FsStatus::IoError);
             },
             kQ + R"(\cf10 Failure Moving \cf1 Backup\\appearance.2da\cf10  to \cf1 Override\\appearance.2da - )"
                  R"(\cf7 Error: 57  Device I/O error\par)",
             1,
             {{kBackup, "backup table"}, {kBu + "\\appearance.2da", "current table"}, {kSafety, "backup table"}}}),
    [](const auto& info) { return info.param.name; });

// Every step of the sequence is proved possible before the first of them is made: whatever stands
// in the way, nothing is copied, deleted or moved, and one counted line says why.
struct Proof {
    std::string name;
    std::function<void(MemoryFileSystem&)> setup;
    std::string reason;
};

class Restore2daProof : public Restore2da, public ::testing::WithParamInterface<Proof> {};

TEST_P(Restore2daProof, NothingChanges) {
    fs.AddFile(kInOverride, "current table");
    GetParam().setup(fs);
    const auto before = GameFiles();
    const RunResult result = RunConfirmed({0});
    EXPECT_TRUE(Logged(NotRestored(GetParam().reason + ", so nothing was changed")));
    EXPECT_EQ(result.failureCount, 1);
    EXPECT_EQ(GameFiles(), before);
    EXPECT_EQ(fs.MutationCount(), 2u);  // the log alone, written and renamed into place
}

INSTANTIATE_TEST_SUITE_P(
    Sequence, Restore2daProof,
    ::testing::Values(
        Proof{"BackupIsALink", [](MemoryFileSystem& fs) { fs.ReplaceWithLink(kBackup, kInOverride); },
              "the backup is a link"},
        Proof{"BackupFolderLinkedOutside",
              [](MemoryFileSystem& fs) {
                  fs.AddFile("D:\\Elsewhere\\appearance.2da", "someone's table");
                  fs.ReplaceWithLink(kProgram + "\\backup", "D:\\Elsewhere");
              },
              "the backup leads outside the program folder"},
        Proof{"BackupIsNoRegularFile", [](MemoryFileSystem& fs) { fs.AddSpecialFile(kBackup); },
              "the backup is not a regular file"},
        Proof{"BackupLargerThanAnyTable",
              [](MemoryFileSystem& fs) { fs.AddSparseFile(kBackup, "2DA V2.0", kTableLimit + 1); },
              "the backup is larger than 64 MiB"},
        Proof{"BackupUnreadable", [](MemoryFileSystem& fs) { fs.Lock(kBackup); }, "the backup cannot be read"},
        Proof{"BackupUninstallTakesNoFile",
              [](MemoryFileSystem& fs) {
                  fs.AddFolder(kBu);
                  fs.FailOperation(FsOp::CanCreateFileIn, "Backup Uninstall", FsStatus::AccessDenied);
              },
              "Backup Uninstall cannot take a new file: Path/File access error"},
        Proof{"ProgramFolderTakesNoFolder",
              [](MemoryFileSystem& fs) { fs.FailOperation(FsOp::CanCreateFileIn, kProgram, FsStatus::WriteProtected); },
              "Backup Uninstall cannot be made: Disk is write-protected"},
        Proof{"BackupCannotLeave",
              [](MemoryFileSystem& fs) { fs.FailOperation(FsOp::CanCreateFileIn, "\\backup", FsStatus::AccessDenied); },
              "the backup cannot leave the backup folder: Path/File access error"},
        Proof{"TargetTakesNoFile",
              [](MemoryFileSystem& fs) { fs.FailOperation(FsOp::CanCreateFileIn, "override", FsStatus::AccessDenied); },
              R"(Override\\ cannot take the backup: Path/File access error)"}),
    [](const auto& info) { return info.param.name; });

TEST_F(Restore2da, BackupUninstallThatCannotBeCreatedIsAnUnexpectedError) {
    fs.AddFile(kInOverride, "current table");
    fs.FailOperation(FsOp::CreateFolder, "Backup Uninstall", FsStatus::WriteProtected);
    EXPECT_EQ(RunConfirmed({0}).outcome, RunOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Oops!");
    EXPECT_EQ(ui.messages[0].text,
              "Error: 71" + CRLF + "Disk is write-protected" + CRLF + CRLF + "LOCATION:" + CRLF + "cmdRemoveMod_Click");
    EXPECT_FALSE(fs.Exists(kResultsPath));
    EXPECT_EQ(fs.Contents(kInOverride), "current table");
}

TEST_F(Restore2da, AMissingBackupReportComesFirstAndNamesAreEscaped) {
    d.Missing2daReport = R"(\cf10 2da backup not available \cf1 spells.2da\cf1\par)" + CRLF;
    const std::string backup = kProgram + "\\backup\\sp{e}lls.2da";
    fs.AddFile(backup, "b");
    d.Backup2daFiles = {backup};
    RunConfirmed({1});
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(ui.prompts[1].msgTitle, "Confirm sp{e}lls.2da replacement");
    EXPECT_NE(ui.prompts[1].msgText.find(R"(no \cf5 sp\{e\}lls.2da\cf1  was found)"), std::string::npos);
    EXPECT_EQ(SavedLog(),
              Log(R"(\cf10 2da backup not available \cf1 spells.2da\cf1\par)" + CRLF + R"(\par)" + CRLF + kQ +
                  R"(\cf4 No 2das found in override. \cf1 sp\{e\}lls.2da\cf4  not restored.\par)" + CRLF));
    EXPECT_EQ(d.Missing2daReport, "");
}

// Two backups of one name (on a case-sensitive disk "Appearance.2da" and "appearance.2da"): the
// second replacement must not delete the table that the first put into Backup Uninstall.
TEST_F(Restore2da, ASecondBackupOfTheSameNameGetsFreeNamesInBackupUninstall) {
    const std::string second = kProgram + "\\backup\\again\\appearance.2da";
    fs.AddFile(second, "second backup");
    fs.AddFile(kInOverride, "current table");
    fs.AddFile(kBu + "\\appearance (2).2da", "left by someone");  // taken: the next free name is (3)
    d.Backup2daFiles = {kBackup, second};
    EXPECT_EQ(RunConfirmed({0, 0}).failureCount, 0);
    EXPECT_TRUE(Logged(kQ + R"(\cf4 Kept \cf1 Backup Uninstall\\appearance.2da\cf4  (put there earlier in this run); )"
                            R"(the new copy is named \cf1 Backup Uninstall\\appearance (3).2da\par)"));
    EXPECT_EQ(GameFiles(), Files({{kInOverride, "second backup"},
                                  {kBu + "\\appearance.2da", "current table"},
                                  {kBu + "\\appearance (2).2da", "left by someone"},
                                  {kBu + "\\appearance (3).2da", "backup table"},
                                  {kSafety, "backup table"},
                                  {kBu + "\\original install backup.appearance (2).2da", "second backup"}}));
}

// A program folder unpacked into override (K2): the backup beside the program is never offered as
// the table in use, nor deleted by the file list; the search goes on past the program folder.
class ProgramInOverride : public Restore2da {
protected:
    ProgramInOverride() {
        programFolder = kOverride + "\\ModTool";
        fs.AddFile(tool, "backup table");  // listed before anything else in override
        fs.AddFile(programFolder + "\\appearance.2da", "the mod's own copy");
        d.Backup2daFiles = {tool};
    }
    std::string SavedHere() const {
        return fs.Contents(programFolder + "\\uninstall\\removal_results.rtf").value_or("<no log saved>");
    }
    const std::string tool = kOverride + "\\ModTool\\backup\\appearance.2da";
};

TEST_F(ProgramInOverride, TheSearchAndTheDialogLeaveTheProgramFolderOut) {
    RunConfirmed({1});
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(ui.prompts[1].msgText, kAnywayText);

    fs.AddFile(kInSub, "current table");
    ui = {};
    ui.openFileAnswers = {programFolder + "\\appearance.2da", tool};
    RunConfirmed({1, 1, 0});
    ASSERT_EQ(ui.prompts.size(), 4u);
    EXPECT_EQ(ui.prompts[1].msgText, kFound);
    EXPECT_EQ(ui.prompts[2].msgText, kInvalidText);
    EXPECT_EQ(ui.prompts[3].msgText, kInvalidText);

    ui = {};
    RunConfirmed({0});
    EXPECT_NE(SavedHere().find(kQ + R"(\cf3 Renamed \cf1 Override\\Modtool\\Backup\\appearance.2da\cf3  to \cf1 )"
                                    R"(Override\\Sub\\appearance.2da\par)"),
              std::string::npos)
        << SavedHere();
    EXPECT_EQ(fs.Contents(kInSub), "backup table");
    EXPECT_EQ(fs.Contents(programFolder + "\\Backup Uninstall\\appearance.2da"), "current table");
    EXPECT_EQ(fs.Contents(programFolder + "\\appearance.2da"), "the mod's own copy");
}

// A table in override that is a link to the backup itself is not replaced by that backup.
TEST_F(ProgramInOverride, ATableThatLeadsIntoTheProgramFolderIsNotReplaced) {
    fs.AddLink(kInOverride, tool);
    EXPECT_EQ(RunConfirmed({0}).failureCount, 1);
    EXPECT_NE(SavedHere().find(kQ + R"(\cf10 Backup not restored: \cf1 Override\\Modtool\\Backup\\appearance.2da)"
                                    R"(\cf10  (the file in use leads into the program's own folders, so nothing was )"
                                    R"(changed)\cf1\par)"),
              std::string::npos);
    EXPECT_EQ(fs.Contents(tool), "backup table");
}

}  // namespace
}  // namespace zelvane::testing
