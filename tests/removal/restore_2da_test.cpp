// The 2da restore: the three ways to find the current table, the locate loop and the sequence
// that moves the current table aside and the backup into its place.

#include "platform/seams/read_limits.hpp"
#include "tests/removal/restore_2da_texts.hpp"
#include "tests/removal/run_fixture.hpp"

namespace zelvane::testing {
namespace {

const std::string kBackup = kProgram + "\\backup\\appearance.2da";
const std::string kBu = kProgram + "\\Backup Uninstall";
const std::string kInOverride = kOverride + "\\appearance.2da";
const std::string kInSub = kOverride + "\\sub\\appearance.2da";
const std::string kQ = R"(\cf1 QRestore2da: )";
const std::string kInvalidText =
    R"(Invalid file - Would you like to abort this \cf5 appearance.2da\cf1  replacement operation?)";

// The lines of a sequence, as the log shows them.
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

class Restore2da : public RemovalRunTest {
protected:
    Restore2da() {
        d.Restore2da = true;
        d.Backup2daAvailable = true;
        d.Backup2daFiles = {kBackup};
        fs.AddFile(kBackup, "backup table");
    }
    void CheckYesNo(std::size_t index, const std::string& text, const std::string& title = kTitle) {
        ASSERT_GT(ui.prompts.size(), index);
        const PromptRequest& p = ui.prompts[index];
        EXPECT_EQ(p.msgText, text);
        EXPECT_EQ(p.msgTitle, title);
        EXPECT_EQ(p.iconType, 2);
        EXPECT_EQ(p.buttonCount, 2);
        EXPECT_EQ(p.captions, (std::array<std::string, 4>{"&Yes", "&No", "", ""}));
        EXPECT_EQ(p.focusIndex, 1);
        EXPECT_FALSE(p.playSound);
        EXPECT_EQ(p.buttonWidth, 1300);
        EXPECT_EQ(p.buttonHeight, 380);
        EXPECT_EQ(p.formatWidth, -1);
        EXPECT_TRUE(p.onTop);
    }
    void CheckFound(std::size_t index, const std::string& doubled) {
        ASSERT_GT(ui.prompts.size(), index);
        const PromptRequest& p = ui.prompts[index];
        EXPECT_EQ(p.msgText, FoundText(doubled));
        EXPECT_EQ(p.msgTitle, kTitle);
        EXPECT_EQ(p.iconType, 2);
        EXPECT_EQ(p.buttonCount, 3);
        EXPECT_EQ(p.captions, (std::array<std::string, 4>{"&Yes", "&No", "&Cancel", ""}));
        EXPECT_EQ(p.focusIndex, 2);
        EXPECT_FALSE(p.playSound);
        EXPECT_EQ(p.formatWidth, 7500);
    }
    std::string Log(const std::string& phase, int errors = 0) {
        return ExpectedHeader(d.Game) + kBanner + phase + ExpectedTotals(errors, 0);
    }
    std::map<std::string, std::string> Files(std::map<std::string, std::string> extra) {
        extra.emplace(kGame + "\\dialog.tlk", "TLK V3.0 strings");
        return extra;
    }
};

TEST_F(Restore2da, InOverrideYesFirstRun) {
    fs.AddFile(kInOverride, "current table");
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(result.tablesRestoredCount, 1);
    EXPECT_EQ(result.deletedCount, 0);  // the table in use goes as part of the restore
    CheckYesNo(1, kReplaceText);
    EXPECT_EQ(SavedLog(), Log(CopiedAside(R"(Override\\appearance.2da)") + DeletedLine(R"(Override\\appearance.2da)") +
                              kSafetyCopied + Moved(R"(Override\\appearance.2da)")));
    EXPECT_EQ(GameFiles(), Files({{kInOverride, "backup table"},
                                  {kBu + "\\appearance.2da", "current table"},
                                  {kBu + "\\original install backup.appearance.2da", "backup table"}}));
}

TEST_F(Restore2da, InOverrideYesSecondRunReplacesTheEarlierCopies) {
    Attributes readOnly;
    readOnly.readOnly = true;
    fs.AddFile(kInOverride, "current table");
    fs.AddFile(kBu + "\\appearance.2da", "earlier displaced", readOnly);
    fs.AddFile(kBu + "\\original install backup.appearance.2da", "earlier safety");
    RunConfirmed({0});
    EXPECT_EQ(SavedLog(), Log(DeletedLine(R"(Backup Uninstall\\appearance.2da)") +
                              CopiedAside(R"(Override\\appearance.2da)") + DeletedLine(R"(Override\\appearance.2da)") +
                              DeletedLine(R"(Backup Uninstall\\original install backup.appearance.2da)") +
                              kSafetyCopied + Moved(R"(Override\\appearance.2da)")));
    EXPECT_EQ(GameFiles(), Files({{kInOverride, "backup table"},
                                  {kBu + "\\appearance.2da", "current table"},
                                  {kBu + "\\original install backup.appearance.2da", "backup table"}}));
}

TEST_F(Restore2da, InOverrideNoAndClose) {
    fs.AddFile(kInOverride, "current table");
    d.Backup2daFiles = {kBackup, kBackup};
    const auto before = fs.Snapshot();
    RunConfirmed({1, -1});
    EXPECT_EQ(SavedLog(), Log(kQ + R"(\cf5 User declined \cf1 appearance.2da\cf5  replacement.\par)" + CRLF));
    std::map<std::string, std::string> after = fs.Snapshot();
    after.erase(kResultsPath);
    EXPECT_EQ(after, before);
}

TEST_F(Restore2da, K1MissingYesRestoresIntoOverride) {
    d.Game = 1;
    fs.AddFile(kOverride + "\\sub\\appearance.2da", "not looked at by K1");
    RunConfirmed({0});
    CheckYesNo(1, kAnywayText);
    EXPECT_EQ(SavedLog(), Log(kSafetyCopied + Moved(R"(Override\\appearance.2da)")));
    EXPECT_EQ(GameFiles(), Files({{kInOverride, "backup table"},
                                  {kOverride + "\\sub\\appearance.2da", "not looked at by K1"},
                                  {kBu + "\\original install backup.appearance.2da", "backup table"}}));
}

TEST_F(Restore2da, K1MissingNo) {
    d.Game = 1;
    RunConfirmed({1});
    EXPECT_EQ(SavedLog(),
              Log(kQ + R"(\cf4 No 2das found in override. \cf1 appearance.2da\cf4  not restored.\par)" + CRLF));
    EXPECT_FALSE(fs.Exists(kBu));
    EXPECT_TRUE(fs.Exists(kBackup));
}

TEST_F(Restore2da, K2FoundInASubfolderYes) {
    fs.AddFile(kInSub, "current table");
    RunConfirmed({0});
    CheckFound(1, R"(C:\\Games\\Kotor\\override\\sub\\appearance.2da)");
    EXPECT_EQ(SavedLog(),
              Log(CopiedAside(R"(Override\\Sub\\appearance.2da)") + DeletedLine(R"(Override\\Sub\\appearance.2da)") +
                  kSafetyCopied + Moved(R"(Override\\Sub\\appearance.2da)")));
    EXPECT_EQ(GameFiles(), Files({{kInSub, "backup table"},
                                  {kBu + "\\appearance.2da", "current table"},
                                  {kBu + "\\original install backup.appearance.2da", "backup table"}}));
}

TEST_F(Restore2da, K2CancelAbortsTheReplacement) {
    fs.AddFile(kInSub, "current table");
    RunConfirmed({2});
    EXPECT_EQ(SavedLog(), Log(kQ + R"(appearance.2da\cf4  replacement aborted.\par)" + CRLF));
    EXPECT_TRUE(fs.Exists(kBackup));
    EXPECT_EQ(fs.Contents(kInSub), "current table");
}

TEST_F(Restore2da, K2ClosedFoundPromptDoesNothing) {
    fs.AddFile(kInSub, "current table");
    RunConfirmed({-1});
    EXPECT_EQ(SavedLog(), Log(""));
    EXPECT_TRUE(fs.Exists(kBackup));
}

TEST_F(Restore2da, K2LocatedFileInOtherCaseIsAccepted) {
    const std::string chosen = kOverride + "\\other\\APPEARANCE.2DA";
    fs.AddFile(kInSub, "first found");
    fs.AddFile(chosen, "current table");
    ui.openFileAnswers = {chosen};
    RunConfirmed({1});
    ASSERT_EQ(ui.openFileRequests.size(), 1u);
    const OpenFileRequest& r = ui.openFileRequests[0];
    EXPECT_EQ(r.initialFolder, kOverride + "\\");
    EXPECT_EQ(r.filter, std::string("2da Files (*.2da)") + '\0' + "*.2da");
    EXPECT_EQ(r.title, "Locate appearance.2da");
    EXPECT_EQ(r.fileName, "appearance.2da");
    EXPECT_EQ(SavedLog(), Log(CopiedAside(R"(Override\\Other\\APPEARANCE.2DA)", "APPEARANCE.2DA") +
                              DeletedLine(R"(Override\\Other\\APPEARANCE.2DA)") + kSafetyCopied +
                              Moved(R"(Override\\Other\\APPEARANCE.2DA)")));
    EXPECT_EQ(GameFiles(), Files({{kInSub, "first found"},
                                  {kOverride + "\\other\\APPEARANCE.2DA", "backup table"},
                                  {kBu + "\\APPEARANCE.2DA", "current table"},
                                  {kBu + "\\original install backup.appearance.2da", "backup table"}}));
}

TEST_F(Restore2da, K2InvalidFileThenNoThenYesAborts) {
    fs.AddFile(kInSub, "current table");
    fs.AddFile(kOverride + "\\wrong.2da", "w");
    ui.openFileAnswers = {kOverride + "\\wrong.2da", ""};
    RunConfirmed({1, 1, 0});
    EXPECT_EQ(ui.openFileRequests.size(), 2u);
    CheckYesNo(2, kInvalidText, "Hmm");
    CheckYesNo(3, kInvalidText, "Hmm");
    EXPECT_EQ(SavedLog(), Log(kQ + R"(\cf5 User aborted 2da replacement for \cf1 appearance.2da\par)" + CRLF));
    EXPECT_TRUE(fs.Exists(kBackup));
    EXPECT_FALSE(fs.Exists(kBu));
}

TEST_F(Restore2da, K2ClosedInvalidFilePromptLeavesWithoutALine) {
    fs.AddFile(kInSub, "current table");
    ui.openFileAnswers = {""};
    RunConfirmed({1, -1});
    EXPECT_EQ(SavedLog(), Log(""));
    EXPECT_TRUE(fs.Exists(kBackup));
}

TEST_F(Restore2da, K2ChoosingTheBackupItselfIsInvalid) {
    fs.AddFile(kInSub, "current table");
    fs.AddFile(kBu + "\\appearance.2da", "earlier displaced");
    ui.openFileAnswers = {kBackup, kBu + "\\appearance.2da"};
    RunConfirmed({1, 1, 0});
    EXPECT_EQ(SavedLog(), Log(kQ + R"(\cf5 User aborted 2da replacement for \cf1 appearance.2da\par)" + CRLF));
    EXPECT_EQ(fs.Contents(kBackup), "backup table");
    EXPECT_EQ(fs.Contents(kBu + "\\appearance.2da"), "earlier displaced");
}

TEST_F(Restore2da, K2NothingFoundAsksToRestoreAnyway) {
    RunConfirmed({0});
    CheckYesNo(1, kAnywayText);
    EXPECT_EQ(SavedLog(), Log(kSafetyCopied + Moved(R"(Override\\appearance.2da)")));
    EXPECT_EQ(GameFiles(), Files({{kInOverride, "backup table"},
                                  {kBu + "\\original install backup.appearance.2da", "backup table"}}));
}

TEST_F(Restore2da, K2NothingFoundNo) {
    RunConfirmed({1});
    EXPECT_EQ(SavedLog(),
              Log(kQ + R"(\cf4 No 2das found in override. \cf1 appearance.2da\cf4  not restored.\par)" + CRLF));
    EXPECT_TRUE(fs.Exists(kBackup));
}

TEST_F(Restore2da, MissingBackupReportComesFirst) {
    d.Missing2daReport = R"(\cf10 2da backup not available \cf1 spells.2da\cf1\par)" + CRLF;
    fs.AddFile(kInOverride, "current table");
    RunConfirmed({1});
    EXPECT_EQ(SavedLog(), Log(R"(\cf10 2da backup not available \cf1 spells.2da\cf1\par)" + CRLF + R"(\par)" + CRLF +
                              kQ + R"(\cf5 User declined \cf1 appearance.2da\cf5  replacement.\par)" + CRLF));
    EXPECT_EQ(d.Missing2daReport, "");
}

TEST_F(Restore2da, FailedCopyAsideKeepsTheCurrentFileAndTheBackup) {
    fs.AddFile(kInOverride, "current table");
    fs.FailOperation(FsOp::Copy, "override\\appearance.2da", FsStatus::IoError);
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(SavedLog(),
              Log(kQ +
                      R"(\cf10 Failure FileCopy \cf1 Override\\appearance.2da\cf10  to \cf1 Backup Uninstall\\)"
                      R"(appearance.2da - \cf7 Error: 57  Device I/O error\par)" +
                      CRLF + kQ +
                      R"(\cf10 Backup not restored: \cf1 Backup\\appearance.2da\cf10  (the current file could not be )"
                      R"(copied aside and was left in place)\cf1\par)" +
                      CRLF,
                  1));
    EXPECT_EQ(result.failureCount, 1);
    EXPECT_EQ(GameFiles(), Files({{kInOverride, "current table"}, {kBackup, "backup table"}}));
}

TEST_F(Restore2da, FailedSafetyCopyKeepsTheBackupInItsFolder) {
    fs.AddFile(kInOverride, "current table");
    fs.FailOperation(FsOp::Copy, "backup\\appearance.2da", FsStatus::DiskFull);
    RunConfirmed({0});
    EXPECT_EQ(SavedLog(),
              Log(CopiedAside(R"(Override\\appearance.2da)") + DeletedLine(R"(Override\\appearance.2da)") + kQ +
                      R"(\cf10 Failure Copying \cf1 Backup\\appearance.2da\cf10  to \cf1 Backup Uninstall\\)"
                      R"(original install backup.appearance.2da - \cf7 Error: 61  Disk full\par)" +
                      CRLF + kQ +
                      R"(\cf10 Backup not restored: \cf1 Backup\\appearance.2da\cf10  (no safety copy could be made, )"
                      R"(so the backup stays in the backup folder)\cf1\par)" +
                      CRLF,
                  1));
    EXPECT_EQ(GameFiles(), Files({{kBackup, "backup table"}, {kBu + "\\appearance.2da", "current table"}}));
}

TEST_F(Restore2da, LockedCurrentFileLeavesTheBackupInPlace) {
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
                                  {kBu + "\\original install backup.appearance.2da", "backup table"}}));
}

TEST_F(Restore2da, BackupUninstallThatCannotBeCreatedIsAnUnexpectedError) {
    fs.AddFile(kInOverride, "current table");
    fs.FailOperation(FsOp::CreateFolder, "Backup Uninstall", FsStatus::WriteProtected);
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Oops!");
    EXPECT_EQ(ui.messages[0].text,
              "Error: 71" + CRLF + "Disk is write-protected" + CRLF + CRLF + "LOCATION:" + CRLF + "cmdRemoveMod_Click");
    EXPECT_FALSE(fs.Exists(kResultsPath));
    EXPECT_EQ(fs.Contents(kInOverride), "current table");
}

TEST_F(Restore2da, NamesInPromptsAndLinesAreEscaped) {
    const std::string backup = kProgram + "\\backup\\sp{e}lls.2da";
    fs.AddFile(backup, "b");
    d.Backup2daFiles = {backup};
    RunConfirmed({1});
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(ui.prompts[1].msgTitle, "Confirm sp{e}lls.2da replacement");
    EXPECT_NE(ui.prompts[1].msgText.find(R"(However, no \cf5 sp\{e\}lls.2da\cf1  was found)"), std::string::npos);
    EXPECT_EQ(SavedLog(),
              Log(kQ + R"(\cf4 No 2das found in override. \cf1 sp\{e\}lls.2da\cf4  not restored.\par)" + CRLF));
}

// --- no table is ever lost ---

std::string KeptLine(const std::string& kept, const std::string& free) {
    return kQ + R"(\cf4 Kept \cf1 Backup Uninstall\\)" + kept +
           R"(\cf4  (put there earlier in this run); the new copy is named \cf1 Backup Uninstall\\)" + free +
           R"(\par)" + CRLF;
}

// Two backups of one name (on a case-sensitive disk "Appearance.2da" and "appearance.2da"): the
// second replacement must not delete the table that the first put into Backup Uninstall, the only
// copy of the table that was in use before the run.
TEST_F(Restore2da, ASecondBackupOfTheSameNameGetsFreeNamesInBackupUninstall) {
    const std::string second = kProgram + "\\backup\\again\\appearance.2da";
    fs.AddFile(second, "second backup");
    fs.AddFile(kInOverride, "current table");
    fs.AddFile(kBu + "\\appearance (2).2da", "left by someone");  // taken: the next free name is (3)
    d.Backup2daFiles = {kBackup, second};
    const RunResult result = RunConfirmed({0, 0});
    EXPECT_EQ(
        SavedLog(),
        Log(CopiedAside(R"(Override\\appearance.2da)") + DeletedLine(R"(Override\\appearance.2da)") + kSafetyCopied +
            Moved(R"(Override\\appearance.2da)") + KeptLine("appearance.2da", "appearance (3).2da") +
            CopiedAside(R"(Override\\appearance.2da)", "appearance (3).2da") +
            DeletedLine(R"(Override\\appearance.2da)") +
            KeptLine("original install backup.appearance.2da", "original install backup.appearance (2).2da") + kQ +
            R"(\cf3 FileCopy \cf1 Backup\\Again\\appearance.2da\cf3  to \cf1 Backup Uninstall\\)"
            R"(original install backup.appearance (2).2da\par)" +
            CRLF + kQ + R"(\cf3 Renamed \cf1 Backup\\Again\\appearance.2da\cf3  to \cf1 Override\\appearance.2da\par)" +
            CRLF));
    EXPECT_EQ(result.failureCount, 0);
    EXPECT_EQ(GameFiles(), Files({{kInOverride, "second backup"},
                                  {kBu + "\\appearance.2da", "current table"},
                                  {kBu + "\\appearance (2).2da", "left by someone"},
                                  {kBu + "\\appearance (3).2da", "backup table"},
                                  {kBu + "\\original install backup.appearance.2da", "backup table"},
                                  {kBu + "\\original install backup.appearance (2).2da", "second backup"}}));
}

// A program folder unpacked into override (K2): the backup beside the program is never offered as
// the table in use; the search goes on past the program folder to the table the game uses.
class ProgramInOverride : public Restore2da {
protected:
    ProgramInOverride() {
        programFolder = kOverride + "\\ModTool";
        tool = programFolder + "\\backup\\appearance.2da";
        fs.AddFile(tool, "backup table");  // listed before anything else in override
        fs.AddFile(programFolder + "\\appearance.2da", "the mod's own copy");
        d.Backup2daFiles = {tool};
    }
    std::string SavedHere() const {
        return fs.Contents(programFolder + "\\uninstall\\removal_results.rtf").value_or("<no log saved>");
    }
    std::string tool;
};

TEST_F(ProgramInOverride, TheSearchFindsTheTableBeyondTheProgramFolder) {
    fs.AddFile(kInSub, "current table");
    RunConfirmed({0});
    CheckFound(1, R"(C:\\Games\\Kotor\\override\\sub\\appearance.2da)");
    const std::string log = SavedHere();
    EXPECT_NE(log.find(kQ + R"(\cf3 Renamed \cf1 Override\\Modtool\\Backup\\appearance.2da\cf3  to \cf1 )"
                            R"(Override\\Sub\\appearance.2da\par)"),
              std::string::npos)
        << log;
    EXPECT_EQ(fs.Contents(kInSub), "backup table");
    EXPECT_EQ(fs.Contents(programFolder + "\\Backup Uninstall\\appearance.2da"), "current table");
    EXPECT_EQ(fs.Contents(programFolder + "\\appearance.2da"), "the mod's own copy");
}

TEST_F(ProgramInOverride, WithNoTableElsewhereTheBackupIsNotFound) {
    RunConfirmed({1});
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(ui.prompts[1].msgText, kAnywayText);
    EXPECT_NE(SavedHere().find(kQ + R"(\cf4 No 2das found in override. \cf1 appearance.2da\cf4  not restored.\par)"),
              std::string::npos);
    EXPECT_EQ(fs.Contents(tool), "backup table");
}

TEST_F(ProgramInOverride, FilesOfTheProgramFolderAreNoValidChoiceInTheDialog) {
    fs.AddFile(kInSub, "current table");
    ui.openFileAnswers = {programFolder + "\\appearance.2da", tool};
    RunConfirmed({1, 1, 0});
    ASSERT_EQ(ui.prompts.size(), 4u);
    EXPECT_EQ(ui.prompts[2].msgText, kInvalidText);
    EXPECT_EQ(ui.prompts[3].msgText, kInvalidText);
    EXPECT_EQ(fs.Contents(tool), "backup table");
    EXPECT_EQ(fs.Contents(kInSub), "current table");
}

// A table in override that is a link to the backup itself is not replaced by that backup.
TEST_F(ProgramInOverride, ATableThatLeadsIntoTheProgramFolderIsNotReplaced) {
    fs.AddLink(kInOverride, tool);
    const RunResult result = RunConfirmed({0});
    EXPECT_NE(SavedHere().find(kQ + R"(\cf10 Backup not restored: \cf1 Override\\Modtool\\Backup\\appearance.2da)"
                                    R"(\cf10  (the file in use leads into the program's own folders, so nothing was )"
                                    R"(changed)\cf1\par)"),
              std::string::npos)
        << SavedHere();
    EXPECT_EQ(result.failureCount, 1);
    EXPECT_EQ(fs.Contents(tool), "backup table");
    EXPECT_FALSE(fs.Exists(programFolder + "\\Backup Uninstall"));
}

// Entries that name the program's own files are never deleted: a table of the restore's name is
// left to the 2da restore, anything else is refused by the layer every change passes; the backup
// is still there for the 2da restore that follows.
TEST_F(ProgramInOverride, FileListEntriesNamingTheProgramsOwnFilesAreRefused) {
    fs.AddFile(kInOverride, "current table");
    fs.AddFile(programFolder + "\\uninstall\\uninstall_data.ini", "#game=2");
    SetFileList({"override\\ModTool\\backup\\appearance.2da", "override\\ModTool\\uninstall\\uninstall_data.ini",
                 "override\\ModTool\\appearance.2da"});
    const RunResult result = RunConfirmed({0});
    const std::string log = SavedHere();
    EXPECT_NE(log.find(R"(\cf4 Left to the 2da restore: \cf1 Override\\Modtool\\Backup\\appearance.2da\cf1\par)" +
                       CRLF +
                       R"(\cf10 Refused (one of this program's own files): )"
                       R"(\cf1 Override\\Modtool\\Uninstall\\uninstall_data.ini\cf1\par)" +
                       CRLF + R"(\cf4 Left to the 2da restore: \cf1 Override\\Modtool\\appearance.2da\cf1\par)"),
              std::string::npos)
        << log;
    EXPECT_EQ(result.failureCount, 1);
    EXPECT_EQ(fs.Contents(programFolder + "\\uninstall\\uninstall_data.ini"), "#game=2");
    EXPECT_EQ(fs.Contents(programFolder + "\\appearance.2da"), "the mod's own copy");
    EXPECT_EQ(fs.Contents(kInOverride), "backup table");  // restored all the same
}

// A file-list entry is never deleted from the program folder either: what lies there is the
// mod's distribution, not what it installed.
TEST_F(ProgramInOverride, TheFileListSearchLeavesTheProgramFolderOut) {
    fs.AddFile(programFolder + "\\x.tga", "the mod's own copy");
    fs.AddFile(kOverride + "\\sub\\y.tga", "installed");
    SetFileList({"override\\x.tga", "override\\y.tga", "override\\appearance.2da"});
    d.Restore2da = false;
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(result.notFoundCount, 2);
    EXPECT_EQ(fs.Contents(programFolder + "\\x.tga"), "the mod's own copy");
    EXPECT_EQ(fs.Contents(tool), "backup table");
    EXPECT_FALSE(fs.Exists(kOverride + "\\sub\\y.tga"));
}

// Only the program's own folders are left out: a folder of override that merely has one of their
// names is searched as before.
TEST_F(Restore2da, AnOverrideFolderNamedLikeTheProgramsOwnIsSearched) {
    fs.AddFile(kOverride + "\\backup\\appearance.2da", "current table");
    RunConfirmed({0});
    CheckFound(1, R"(C:\\Games\\Kotor\\override\\backup\\appearance.2da)");
    EXPECT_EQ(fs.Contents(kOverride + "\\backup\\appearance.2da"), "backup table");
    EXPECT_EQ(fs.Contents(kBu + "\\appearance.2da"), "current table");
}

// The program folder on another volume than the game: the backup cannot be renamed into the game.
// The move is a copy that is compared before the backup is deleted, decided before anything is.
TEST_F(Restore2da, ABackupOnAnotherVolumeIsCopiedComparedAndThenDeleted) {
    fs.PutOnOwnVolume(kProgram);
    fs.AddFile(kInOverride, "current table");
    EXPECT_FALSE(fs.SameVolume(kBackup, kInOverride));
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(SavedLog(), Log(CopiedAside(R"(Override\\appearance.2da)") + DeletedLine(R"(Override\\appearance.2da)") +
                              kSafetyCopied + kQ +
                              R"(\cf3 Moved \cf1 Backup\\appearance.2da\cf3  to \cf1 )"
                              R"(Override\\appearance.2da\cf3  (another volume: copied, )"
                              R"(compared, then deleted from the backup folder)\par)" +
                              CRLF));
    EXPECT_EQ(result.failureCount, 0);
    EXPECT_EQ(result.tablesRestoredCount, 1);
    EXPECT_EQ(GameFiles(), Files({{kInOverride, "backup table"},
                                  {kBu + "\\appearance.2da", "current table"},
                                  {kBu + "\\original install backup.appearance.2da", "backup table"}}));
}

TEST_F(Restore2da, ACopyToAnotherVolumeThatCannotBeCheckedIsRemovedAndTheBackupStays) {
    fs.PutOnOwnVolume(kProgram);
    fs.AddFile(kInOverride, "current table");
    fs.FailOperation(FsOp::ReadAll, "override\\appearance.2da", FsStatus::IoError);
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(SavedLog(), Log(CopiedAside(R"(Override\\appearance.2da)") + DeletedLine(R"(Override\\appearance.2da)") +
                                  kSafetyCopied + kQ +
                                  R"(\cf10 Failure Moving \cf1 Backup\\appearance.2da\cf10  to )"
                                  R"(\cf1 Override\\appearance.2da - \cf7 Error: 57  Device I/O )"
                                  R"(error\par)" +
                                  CRLF,
                              1));
    EXPECT_EQ(result.failureCount, 1);
    EXPECT_EQ(GameFiles(), Files({{kBackup, "backup table"},
                                  {kBu + "\\appearance.2da", "current table"},
                                  {kBu + "\\original install backup.appearance.2da", "backup table"}}));
}

// A rename that answers "different drive" although the volumes looked the same is made as a copy.
TEST_F(Restore2da, ARenameRefusedAcrossDevicesFallsBackToTheCheckedCopy) {
    fs.AddFile(kInOverride, "current table");
    fs.FailOperation(FsOp::Rename, "backup\\appearance.2da", FsStatus::NotSameDevice);
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(result.failureCount, 0);
    EXPECT_NE(SavedLog().find(R"(\cf3 Moved \cf1 Backup\\appearance.2da)"), std::string::npos);
    EXPECT_EQ(fs.Contents(kInOverride), "backup table");
    EXPECT_FALSE(fs.Exists(kBackup));
}

// Every step of the sequence is proved possible before the first of them is made: whatever
// stands in the way, nothing is copied, deleted or moved, and one counted line says why.
class Restore2daProof : public Restore2da {
protected:
    Restore2daProof() { fs.AddFile(kInOverride, "current table"); }
    void ExpectNothingChanged(const std::string& reason) {
        const auto before = GameFiles();
        const RunResult result = RunConfirmed({0});
        EXPECT_EQ(SavedLog(), Log(kQ + R"(\cf10 Backup not restored: \cf1 Backup\\appearance.2da\cf10  ()" + reason +
                                      R"()\cf1\par)" + CRLF,
                                  1));
        EXPECT_EQ(result.failureCount, 1);
        EXPECT_EQ(GameFiles(), before);
        EXPECT_EQ(fs.MutationCount(), 2u);  // the log alone, written and renamed into place
    }
};

TEST_F(Restore2daProof, ABackupThatIsALinkIsNotMoved) {
    fs.ReplaceWithLink(kBackup, kInOverride);  // to the table in use
    ExpectNothingChanged("the backup is a link, so nothing was changed");
}

TEST_F(Restore2daProof, ABackupFolderLinkedOutsideTheProgramFolderIsNotUsed) {
    fs.AddFile("D:\\Elsewhere\\appearance.2da", "someone's table");
    fs.ReplaceWithLink(kProgram + "\\backup", "D:\\Elsewhere");
    ExpectNothingChanged("the backup leads outside the program folder, so nothing was changed");
}

TEST_F(Restore2daProof, ABackupThatIsNoRegularFileIsNotRead) {
    fs.AddSpecialFile(kBackup);
    ExpectNothingChanged("the backup is not a regular file, so nothing was changed");
}

TEST_F(Restore2daProof, ABackupLargerThanAnyTableIsNotRead) {
    fs.AddSparseFile(kBackup, "2DA V2.0", kTableLimit + 1);
    ExpectNothingChanged("the backup is larger than 64 MiB, so nothing was changed");
}

TEST_F(Restore2daProof, BackupUninstallMustTakeTheCopies) {
    fs.AddFolder(kBu);
    fs.FailOperation(FsOp::CanCreateFileIn, "Backup Uninstall", FsStatus::AccessDenied);
    ExpectNothingChanged("Backup Uninstall cannot take a new file: Path/File access error, so nothing was changed");
}

TEST_F(Restore2daProof, TheProgramFolderMustTakeBackupUninstall) {
    fs.FailOperation(FsOp::CanCreateFileIn, kProgram, FsStatus::WriteProtected);
    ExpectNothingChanged("Backup Uninstall cannot be made: Disk is write-protected, so nothing was changed");
}

TEST_F(Restore2daProof, TheBackupFolderMustLetTheBackupGo) {
    fs.FailOperation(FsOp::CanCreateFileIn, "\\backup", FsStatus::AccessDenied);
    ExpectNothingChanged("the backup cannot leave the backup folder: Path/File access error, so nothing was changed");
}

TEST_F(Restore2daProof, TheTargetFolderMustTakeTheBackup) {
    fs.FailOperation(FsOp::CanCreateFileIn, "override", FsStatus::AccessDenied);
    ExpectNothingChanged(R"(Override\\ cannot take the backup: Path/File access error, so nothing was changed)");
}

// A backup that cannot be read is found out before the table in use is deleted.
TEST_F(Restore2da, AnUnreadableBackupChangesNothing) {
    fs.AddFile(kInOverride, "current table");
    fs.Lock(kBackup);
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(SavedLog(), Log(kQ +
                                  R"(\cf10 Backup not restored: \cf1 Backup\\appearance.2da\cf10  (the backup )"
                                  R"(cannot be read, so nothing was changed)\cf1\par)" +
                                  CRLF,
                              1));
    EXPECT_EQ(result.failureCount, 1);
    EXPECT_EQ(GameFiles(), Files({{kInOverride, "current table"}, {kBackup, "backup table"}}));
}

}  // namespace
}  // namespace zelvane::testing
