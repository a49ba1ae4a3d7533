// The end of a run: explicit instructions, the note on prompt failures, totals, saving, opening.

#include "tests/removal/run_fixture.hpp"

namespace zelvane::testing {
namespace {

using Completion = RemovalRunTest;

TEST_F(Completion, ExplicitInstructionsAreShownWithTheDescriptionsOwnText) {
    d.HasExplicitInstructions = true;
    d.ExplicitInstructions = "Now remove the \\b patch\\b0 ." + CRLF + "Thanks.";
    d.ExplicitTitle = "Read me";
    d.ExplicitIcon = 3;
    d.ExplicitBeep = true;
    d.ExplicitFormatWidth = 0;
    RunConfirmed({-1});
    ASSERT_EQ(ui.prompts.size(), 2u);
    const PromptRequest& p = ui.prompts[1];
    EXPECT_EQ(p.msgText, "Now remove the \\b patch\\b0 .\\par " + CRLF + "Thanks.");
    EXPECT_EQ(d.ExplicitInstructions, p.msgText);
    EXPECT_EQ(p.msgTitle, "Read me");
    EXPECT_EQ(p.iconType, 3);
    EXPECT_EQ(p.buttonCount, 1);
    EXPECT_EQ(p.captions, (std::array<std::string, 4>{"&Ok", "", "", ""}));
    EXPECT_EQ(p.focusIndex, 0);
    EXPECT_TRUE(p.playSound);
    EXPECT_EQ(p.buttonWidth, 1300);
    EXPECT_EQ(p.buttonHeight, 380);
    EXPECT_EQ(p.formatWidth, 6000);
    EXPECT_EQ(d.ExplicitFormatWidth, 6000);
    EXPECT_TRUE(p.onTop);
    EXPECT_EQ(p.fontSize, 12);
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + ExpectedTotals(0, 0));
}

TEST_F(Completion, ExplicitWidthIsKept) {
    d.HasExplicitInstructions = true;
    d.ExplicitInstructions = "x";
    d.ExplicitFormatWidth = 3000;
    RunConfirmed({0});
    EXPECT_EQ(ui.prompts[1].formatWidth, 3000);
}

TEST_F(Completion, NoInstructionsNoPrompt) {
    RunConfirmed();
    EXPECT_EQ(ui.prompts.size(), 1u);
}

TEST_F(Completion, FyiNoteAppearsOnceForSeveralPromptFailures) {
    d.QueuedDeletes = {{"a.tga", "", 0}, {"b.tga", "", 0}};
    RunConfirmed();
    const std::string failure = R"(\cf1\b QDeleteFile: \cf10 Prompt Failure \cf6 (File Not Found): \cf1 )";
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + failure + R"(a.tga\cf1\b0\par)" + CRLF + failure +
                              R"(b.tga\cf1\b0\par)" + CRLF + kFyi + ExpectedTotals(0, 0));
}

TEST_F(Completion, TotalsCountErrorsAndMissingFiles) {
    fs.AddFile(kGame + "\\a.tga", "a");
    fs.FailOperation(FsOp::Delete, "a.tga", FsStatus::AccessDenied);
    SetFileList({"a.tga", "b.tga", "c.tga"});
    const RunResult result = RunConfirmed();
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) +
                              R"(\cf10 Delete Failure - \cf1 a.tga\cf7  - Error: 75  Path/File access error\cf1\par)" +
                              CRLF + R"(\cf10 File Not Found: \cf1 b.tga\cf1\par)" + CRLF +
                              R"(\cf10 File Not Found: \cf1 c.tga\cf1\par)" + CRLF + kNoBanner + ExpectedTotals(1, 2));
    EXPECT_EQ(result.failureCount, 1);
    EXPECT_EQ(result.notFoundCount, 2);
}

TEST_F(Completion, ReadOnlyEarlierResultIsReplaced) {
    Attributes readOnly;
    readOnly.readOnly = true;
    fs.AddFile(kResultsPath, "an earlier, longer result that must not survive in any part", readOnly);
    const RunResult result = RunConfirmed();
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + ExpectedTotals(0, 0));
}

TEST_F(Completion, MissingUninstallFolderIsCreatedAgain) {
    // The program folder has lost its uninstall folder since start-up.
    programFolder = "C:\\Other\\Tool";
    fs.AddFolder(programFolder);
    const RunResult result = RunConfirmed();
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    const std::string saved = "C:\\Other\\Tool\\uninstall\\removal_results.rtf";
    EXPECT_EQ(result.logPath, saved);
    EXPECT_EQ(fs.Contents(saved),
              ExpectedHeader(2, R"(C:\\Games\\Kotor\\)", R"(C:\\Other\\Tool\\)") + kBanner + ExpectedTotals(0, 0));
    EXPECT_EQ(ui.shellOpened, (std::vector<std::string>{saved}));
}

TEST_F(Completion, ResultsFileThatCannotBeWrittenIsAnUnexpectedError) {
    fs.FailOperation(FsOp::WriteAll, "removal_results.rtf", FsStatus::DiskFull);
    const RunResult result = RunConfirmed();
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_EQ(result.logPath, "");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Oops!");
    EXPECT_EQ(ui.messages[0].text,
              "Error: 61" + CRLF + "Disk full" + CRLF + CRLF + "LOCATION:" + CRLF + "cmdRemoveMod_Click");
    EXPECT_TRUE(ui.shellOpened.empty());
}

// The new log is written under a temporary name first: a save that fails keeps the earlier log
// and leaves nothing half-written.
TEST_F(Completion, AFailedSaveKeepsTheEarlierLog) {
    fs.AddFile(kResultsPath, "the earlier result");
    fs.FailOperation(FsOp::WriteAll, "removal_results", FsStatus::DiskFull);
    EXPECT_EQ(RunConfirmed().outcome, RunOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Oops!");
    EXPECT_EQ(fs.Contents(kResultsPath), "the earlier result");
    EXPECT_EQ(GameFiles(), (std::map<std::string, std::string>{{kGame + "\\dialog.tlk", "TLK V3.0 strings"}}));
}

TEST_F(Completion, AnEarlierLogThatCannotBeDeletedStaysAndNoTemporaryFileIsLeft) {
    fs.AddFile(kResultsPath, "the earlier result");
    fs.Lock(kResultsPath);  // another program has it open
    EXPECT_EQ(RunConfirmed().outcome, RunOutcome::Failed);
    EXPECT_EQ(fs.Contents(kResultsPath), "the earlier result");
    EXPECT_FALSE(fs.Exists(kResultsPath + ".saving"));
}

// The earlier log is gone when the rename fails: the new one stays under its temporary name.
TEST_F(Completion, ANewLogThatCannotTakeItsNameIsKeptUnderTheTemporaryName) {
    fs.AddFile(kResultsPath, "the earlier result");
    fs.FailOperation(FsOp::Rename, "removal_results.rtf.saving", FsStatus::IoError);
    EXPECT_EQ(RunConfirmed().outcome, RunOutcome::Failed);
    ASSERT_TRUE(fs.Contents(kResultsPath + ".saving").has_value());
    EXPECT_TRUE(fs.Contents(kResultsPath + ".saving")->starts_with("{\\rtf1"));
}

TEST_F(Completion, ALeftOverTemporaryFileIsReplaced) {
    Attributes readOnly;
    readOnly.readOnly = true;
    fs.AddFile(kResultsPath + ".saving", "cut short", readOnly);
    EXPECT_EQ(RunConfirmed().outcome, RunOutcome::Completed);
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + ExpectedTotals(0, 0));
    EXPECT_FALSE(fs.Exists(kResultsPath + ".saving"));
}

// Something that is not a file at the log's name (here a folder; on disk also a pipe or a socket)
// is neither waited on nor taken away: the log goes beside it under another name, opened from there.
TEST_F(Completion, AFolderAtTheLogsNameSendsTheLogToAnotherName) {
    fs.AddFolder(kResultsPath);
    const RunResult result = RunConfirmed();
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    const std::string other = kProgram + "\\uninstall\\removal_results-2.rtf";
    EXPECT_EQ(result.logPath, other);
    EXPECT_EQ(fs.Contents(other), ExpectedHeader(2) + kBanner + ExpectedTotals(0, 0));
    EXPECT_EQ(ui.shellOpened, (std::vector<std::string>{other}));
    EXPECT_TRUE(fs.Exists(kResultsPath));
}

// The same for the temporary name; a name held so is passed over, and an earlier log under the
// next name is replaced, read-only or not.
TEST_F(Completion, AFolderAtTheTemporaryNameSendsTheLogToTheFirstNameThatIsFreeOrAFile) {
    fs.AddFolder(kResultsPath + ".saving");
    fs.AddFile(kResultsPath, "the earlier result");
    fs.AddFolder(kProgram + "\\uninstall\\removal_results-2.rtf");
    Attributes readOnly;
    readOnly.readOnly = true;
    const std::string third = kProgram + "\\uninstall\\removal_results-3.rtf";
    fs.AddFile(third, "an earlier log saved beside the folders, longer than the new one will be", readOnly);
    const RunResult result = RunConfirmed();
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(result.logPath, third);
    EXPECT_EQ(fs.Contents(third), ExpectedHeader(2) + kBanner + ExpectedTotals(0, 0));
    EXPECT_EQ(fs.Contents(kResultsPath), "the earlier result");
}

TEST_F(Completion, UninstallFolderThatCannotBeCreatedIsAnUnexpectedError) {
    programFolder = "C:\\Other\\Tool";
    fs.AddFolder(programFolder);
    fs.FailOperation(FsOp::CreateFolder, "uninstall", FsStatus::WriteProtected);
    EXPECT_EQ(RunConfirmed().outcome, RunOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Oops!");
    EXPECT_TRUE(ui.shellOpened.empty());
}

TEST_F(Completion, ShellFailureIsReportedAndTheRunStillCompletes) {
    ui.shellResult = 31;  // no association
    const RunResult result = RunConfirmed();
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(ui.shellOpened, (std::vector<std::string>{kResultsPath}));
    EXPECT_EQ(ui.messages.size(), 1u);  // ShellExecuteFile's own message box
}

}  // namespace
}  // namespace zelvane::testing
