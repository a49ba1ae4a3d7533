// The run as a whole: confirmation, stale start, game choice, the guard against a second run,
// unexpected errors.

#include "tests/removal/run_fixture.hpp"

namespace zelvane::testing {
namespace {

const std::string kStaleText =
    R"(This program appears to have been started \b before\b0  the Quarrow was run \i\ul OR\ulnone\i0  some files )"
    R"(were manually moved in this apps folder.\par )" +
    CRLF + R"(\par )" + CRLF + R"(Whatever the case, the internal variables are not up to date.\par )" + CRLF +
    R"(\par )" + CRLF + R"(\cf10 This program must be closed and restarted before it can remove the mod.)";

const std::string kChooseText = R"(This mod was installable for \b K1\b0  \i or\i0  \b K2.\b0\par )" + CRLF +
                                R"(\par )" + CRLF + "Choose the game to uninstall from...";

using RunDriver = RemovalRunTest;

TEST_F(RunDriver, NoToTheConfirmationChangesNothing) {
    fs.AddFile(kOverride + "\\x.tga", "mod");
    SetFileList({"override\\x.tga"});
    const auto before = fs.Snapshot();
    const RunResult result = Run({1});
    EXPECT_EQ(result.outcome, RunOutcome::Declined);
    EXPECT_EQ(fs.Snapshot(), before);
    EXPECT_TRUE(ui.shellOpened.empty());
    EXPECT_TRUE(registry.queries.empty());

    ASSERT_EQ(ui.prompts.size(), 1u);
    const PromptRequest& p = ui.prompts[0];
    EXPECT_EQ(p.msgText, "Remove the mod?");
    EXPECT_EQ(p.msgTitle, "Remove Mod");
    EXPECT_EQ(p.iconType, 2);
    EXPECT_EQ(p.buttonCount, 2);
    EXPECT_TRUE(p.onTop);
    EXPECT_EQ(p.fontSize, 12);
    EXPECT_EQ(p.captions, (std::array<std::string, 4>{"&Yes", "&No", "", ""}));
    EXPECT_EQ(p.focusIndex, 1);
    EXPECT_FALSE(p.playSound);
    EXPECT_EQ(p.buttonWidth, 1000);
    EXPECT_EQ(p.buttonHeight, 380);
    EXPECT_EQ(p.formatWidth, 5000);
    // "Remove the mod?" is 15 characters of 120 twips: 1800 twips, 120 pixels, + 50.
    EXPECT_EQ(p.autoWidth, 170);
}

TEST_F(RunDriver, ConfirmationWithoutWidthUsesTheDefaultAndSounds) {
    d.ConfirmFormatWidth = 0;
    d.ConfirmBeep = true;
    d.ConfirmMessage = "Line one" + CRLF + "Line two";
    Run({1});
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].formatWidth, 6000);
    EXPECT_EQ(d.ConfirmFormatWidth, 6000);
    EXPECT_TRUE(ui.prompts[0].playSound);
    // The measured copy gets paragraph marks; the description keeps its own text.
    EXPECT_EQ(ui.prompts[0].msgText, "Line one\\par " + CRLF + "Line two");
    EXPECT_EQ(d.ConfirmMessage, "Line one" + CRLF + "Line two");
}

TEST_F(RunDriver, ClosingTheConfirmationStartsTheRun) {
    const RunResult result = Run({-1});
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(result.logPath, kResultsPath);
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + ExpectedTotals(0, 0));
    EXPECT_EQ(result.log, SavedLog());
    ASSERT_EQ(ui.shellOpened.size(), 1u);
    EXPECT_EQ(ui.shellOpened[0], kResultsPath);
}

TEST_F(RunDriver, NothingToDoStillWritesTheWholeLog) {
    const RunResult result = RunConfirmed();
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + ExpectedTotals(0, 0));
    EXPECT_EQ(result.failureCount, 0);
    EXPECT_EQ(result.notFoundCount, 0);
}

TEST_F(RunDriver, BackupThatAppearedAfterStartUpShutsDown) {
    d.Restore2da = true;
    d.Backup2daAvailable = false;
    fs.AddFile(kOverride + "\\x.tga", "mod");
    fs.AddFile(kProgram + "\\backup\\appearance.2da", "2DA");
    SetFileList({"override\\x.tga"});
    const auto before = fs.Snapshot();
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(result.outcome, RunOutcome::Stopped);
    EXPECT_EQ(fs.Snapshot(), before);
    EXPECT_TRUE(ui.shellOpened.empty());
    ASSERT_EQ(ui.prompts.size(), 2u);
    const PromptRequest& p = ui.prompts[1];
    EXPECT_EQ(p.msgText, kStaleText);
    EXPECT_EQ(p.msgTitle, "Shutting Down");
    EXPECT_EQ(p.iconType, 1);
    EXPECT_EQ(p.buttonCount, 1);
    EXPECT_EQ(p.captions, (std::array<std::string, 4>{"&OK", "", "", ""}));
    EXPECT_EQ(p.focusIndex, 0);
    EXPECT_TRUE(p.playSound);
    EXPECT_EQ(p.buttonWidth, 1300);
    EXPECT_EQ(p.buttonHeight, 380);
    EXPECT_EQ(p.formatWidth, 7500);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RunDriver, NoBackupBeforeOrAfterStartUpLogsOnePromptFailure) {
    d.Restore2da = true;
    fs.AddFile(kProgram + "\\backup\\readme.txt", "not a table");
    const RunResult result = RunConfirmed();
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(SavedLog(),
              ExpectedHeader(2) + kBanner +
                  R"(\cf1\b QRestore2da: \cf10 Prompt Failure \cf6 (No 2da backups found to restore.)\cf1\b0\par)" +
                  CRLF + kFyi + ExpectedTotals(0, 0));
}

TEST_F(RunDriver, GameChoicePromptAndTheFirstGame) {
    d.GameSelect = true;
    registry.Remove(kK2Key);  // only the first game's entry exists
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    ASSERT_EQ(ui.prompts.size(), 2u);
    const PromptRequest& p = ui.prompts[1];
    EXPECT_EQ(p.msgText, kChooseText);
    EXPECT_EQ(p.msgTitle, "Choose Game");
    EXPECT_EQ(p.iconType, 2);
    EXPECT_EQ(p.buttonCount, 3);
    EXPECT_EQ(p.captions, (std::array<std::string, 4>{"Kotor &1", "Kotor &2 TSL", "&Abort", ""}));
    EXPECT_EQ(p.focusIndex, 2);
    EXPECT_FALSE(p.playSound);
    EXPECT_EQ(p.buttonWidth, 1300);
    EXPECT_EQ(p.formatWidth, -1);
    EXPECT_EQ(registry.queries, (std::vector<std::string>{kK1Key}));
    EXPECT_EQ(SavedLog(), ExpectedHeader(1) + kBanner + ExpectedTotals(0, 0));
}

TEST_F(RunDriver, GameChoiceSecondGame) {
    d.GameSelect = true;
    d.Game = 1;
    RunConfirmed({1});
    EXPECT_EQ(registry.queries, (std::vector<std::string>{kK2Key}));
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + ExpectedTotals(0, 0));
}

TEST_F(RunDriver, AbortInTheGameChoiceStops) {
    d.GameSelect = true;
    const RunResult result = RunConfirmed({2});
    EXPECT_EQ(result.outcome, RunOutcome::Stopped);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Uninstall Aborted");
    EXPECT_EQ(ui.messages[0].title, "Aborting");
    EXPECT_EQ(ui.messages[0].style, 0x1030u);
    EXPECT_FALSE(fs.Exists(kResultsPath));
}

TEST_F(RunDriver, ClosedGameChoiceKeepsTheDescriptionsGame) {
    d.GameSelect = true;
    d.Game = 1;
    RunConfirmed({-1});
    EXPECT_EQ(SavedLog(), ExpectedHeader(1) + kBanner + ExpectedTotals(0, 0));
}

TEST_F(RunDriver, NoGameNumberStops) {
    d.Game = 0;
    const RunResult result = RunConfirmed();
    EXPECT_EQ(result.outcome, RunOutcome::Stopped);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error selecting game to uninstall from.");
    EXPECT_EQ(ui.messages[0].title, "Aborting");
    EXPECT_EQ(ui.messages[0].style, 0x1030u);
    EXPECT_TRUE(registry.queries.empty());
}

TEST_F(RunDriver, ClosedGameChoiceWithoutAGameStops) {
    d.GameSelect = true;
    d.Game = 0;
    EXPECT_EQ(RunConfirmed({-1}).outcome, RunOutcome::Stopped);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error selecting game to uninstall from.");
}

// The front end may refuse the game folder once it is settled (the console refuses one on
// read-only media); the run stops there, before its log begins and before anything is changed.
TEST_F(RunDriver, AGameFolderTheFrontEndRefusesStopsTheRunBeforeAnythingChanges) {
    fs.AddFile(kOverride + "\\mod.uti", "x");
    SetFileList({"override\\mod.uti"});
    d.GameSelect = true;
    std::vector<std::string> asked;
    acceptGameFolder = [&](const std::string& folder) {
        asked.push_back(folder);
        return false;
    };
    const RunResult result = RunConfirmed({1});
    EXPECT_EQ(result.outcome, RunOutcome::Stopped);
    EXPECT_EQ(asked, (std::vector<std::string>{kGame}));
    EXPECT_EQ(fs.Contents(kOverride + "\\mod.uti"), "x");
    EXPECT_FALSE(fs.Exists(kResultsPath));
    EXPECT_EQ(result.log, "");
}

// A user interface that presses "Remove Mod" again whenever the run lets the window process messages.
class ReenteringUi : public ScriptedUi {
public:
    std::function<void()> onDoEvents;
    void DoEvents() override {
        ScriptedUi::DoEvents();
        if (onDoEvents) onDoEvents();
    }
};

TEST(RunGuard, SecondRunWhileOneIsInProgressIsIgnored) {
    MemoryFileSystem fs;
    FakeRegistry registry;
    ReenteringUi ui;
    FolderBrowser browser;
    UninstallDescription d;
    d.DescriptionPath = kIniPath;
    d.ConfirmMessage = "Remove?";
    d.Game = 1;
    fs.AddFile(kIniPath, "#file_list" + CRLF + "x.tga" + CRLF);
    fs.AddFile(kGame + "\\x.tga", "mod");
    registry.SetString(kK1Key, kGame);
    RunContext context{fs, registry, ui, browser, kProgram};

    std::vector<RunOutcome> inner;
    ui.onDoEvents = [&] { inner.push_back(RunRemoval(d, context).outcome); };
    ui.promptAnswers = {0};
    const RunResult outer = RunRemoval(d, context);
    EXPECT_EQ(outer.outcome, RunOutcome::Completed);
    ASSERT_FALSE(inner.empty());
    for (RunOutcome o : inner) EXPECT_EQ(o, RunOutcome::Ignored);
    EXPECT_EQ(ui.prompts.size(), 1u);  // the ignored runs asked nothing
    EXPECT_FALSE(fs.Exists(kGame + "\\x.tga"));

    // Once the run is over a new one starts normally.
    ui.onDoEvents = nullptr;
    ui.promptAnswers = {1};
    EXPECT_EQ(RunRemoval(d, context).outcome, RunOutcome::Declined);
}

TEST_F(RunDriver, UnreadableDescriptionIsAnUnexpectedError) {
    fs.FailOperation(FsOp::ReadAll, "uninstall_data.ini", FsStatus::IoError);
    const RunResult result = RunConfirmed();
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Oops!");
    EXPECT_EQ(ui.messages[0].text,
              "Error: 57" + CRLF + "Device I/O error" + CRLF + CRLF + "LOCATION:" + CRLF + "cmdRemoveMod_Click");
    EXPECT_FALSE(fs.Exists(kResultsPath));
    EXPECT_TRUE(ui.shellOpened.empty());
}

}  // namespace
}  // namespace zelvane::testing
