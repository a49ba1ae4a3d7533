// The run as a whole: confirmation, stale start, game choice and game folder, the guard against a
// second run, explicit instructions, saving and opening the log.

#include "tests/removal/run_fixture.hpp"

namespace zelvane::testing {
namespace {

using RunDriver = RemovalRunTest;

TEST_F(RunDriver, NoToTheConfirmationChangesNothing) {
    SetFileList({"dialog.tlk"});
    const auto before = fs.Snapshot();
    EXPECT_EQ(RunAnswering({1}).outcome, RunOutcome::Declined);
    EXPECT_EQ(fs.Snapshot(), before);
    EXPECT_TRUE(ui.shellOpened.empty());
    EXPECT_TRUE(registry.queries.empty());
    EXPECT_EQ(ui.prompts.at(0).msgText, "Remove the mod?");
    EXPECT_EQ(ui.prompts[0].msgTitle, "Remove Mod");
    EXPECT_EQ(Shape(ui.prompts[0]), "icon 2 [&Yes|&No|||] 2 focus 1 top font 12 buttons 1000x380 width 5000");
    EXPECT_EQ(ui.prompts[0].autoWidth, 170);  // 15 characters of 120 twips: 1800 twips, 120 pixels, + 50

    d.ConfirmFormatWidth = 0;  // the default width; the measured copy gets paragraph marks
    d.ConfirmBeep = true;
    d.ConfirmMessage = "Line one" + CRLF + "Line two";
    RunAnswering({1});
    EXPECT_EQ(Shape(ui.prompts[1]), "icon 2 [&Yes|&No|||] 2 focus 1 sound top font 12 buttons 1000x380 width 6000");
    EXPECT_EQ(ui.prompts[1].msgText, "Line one\\par " + CRLF + "Line two");
    EXPECT_EQ(d.ConfirmMessage, "Line one" + CRLF + "Line two");
    EXPECT_EQ(d.ConfirmFormatWidth, 6000);
    EXPECT_EQ(RunAnswering({-1}).outcome, RunOutcome::Completed);  // closed: the run goes ahead
    EXPECT_EQ(ui.shellOpened, std::vector<std::string>{kResultsPath});
}

TEST_F(RunDriver, ABackupThatAppearedAfterStartUpShutsDownAndNoneIsAPromptFailure) {
    d.Restore2da = true;
    fs.AddFile(kProgram + "\\backup\\readme.txt", "not a table");
    EXPECT_EQ(RunConfirmed().outcome, RunOutcome::Completed);
    EXPECT_TRUE(Logged(R"(\cf1\b QRestore2da: \cf10 Prompt Failure \cf6 (No 2da backups found to restore.))"
                       R"(\cf1\b0\par)" +
                       CRLF + kFyi));

    fs.AddFile(kBackup, "2DA");
    const auto before = fs.Snapshot();
    ui = {};
    EXPECT_EQ(RunConfirmed({0}).outcome, RunOutcome::Stopped);
    EXPECT_EQ(fs.Snapshot(), before);
    EXPECT_TRUE(ui.shellOpened.empty());
    EXPECT_EQ(ui.prompts.at(1).msgText,
              R"(This program appears to have been started \b before\b0  the Quarrow was run \i\ul OR\ulnone\i0  )"
              R"(some files were manually moved in this apps folder.\par )" +
                  CRLF + R"(\par )" + CRLF + R"(Whatever the case, the internal variables are not up to date.\par )" +
                  CRLF + R"(\par )" + CRLF +
                  R"(\cf10 This program must be closed and restarted before it can remove the mod.)");
    EXPECT_EQ(ui.prompts[1].msgTitle, "Shutting Down");
    EXPECT_EQ(Shape(ui.prompts[1]), "icon 1 [&OK||||] 1 focus 0 sound top font 12 buttons 1300x380 width 7500");
}

TEST_F(RunDriver, TheGameChoice) {
    const struct {
        bool select;
        int game, answer;
        std::string queried;  // "" = the run stopped with this message
        std::string message;
    } cases[] = {
        {true, 2, 0, kK1Key, ""},
        {true, 1, 1, kK2Key, ""},
        {true, 1, -1, kK1Key, ""},  // closed: the description's game
        {true, 2, 2, "", "Uninstall Aborted"},
        {true, 0, -1, "", "Error selecting game to uninstall from."},
        {false, 0, 0, "", "Error selecting game to uninstall from."},
    };
    for (const auto& c : cases) {
        World w;
        w.d.GameSelect = c.select;
        w.d.Game = c.game;
        const RunResult result = c.select ? w.RunConfirmed({c.answer}) : w.RunConfirmed();
        EXPECT_EQ(w.registry.queries, c.queried.empty() ? std::vector<std::string>{} : std::vector{c.queried});
        if (!c.queried.empty()) {
            EXPECT_TRUE(w.Logged(R"(\cf6\b Game is K)" + std::string(c.queried == kK1Key ? "1" : "2")));
            continue;
        }
        EXPECT_EQ(result.outcome, RunOutcome::Stopped);
        ASSERT_EQ(w.ui.messages.size(), 1u);
        EXPECT_EQ(w.ui.messages[0].text, c.message);
        EXPECT_EQ(w.ui.messages[0].title, "Aborting");
        EXPECT_EQ(w.ui.messages[0].style, 0x1030u);
        EXPECT_FALSE(w.fs.Exists(kResultsPath));
    }
    d.GameSelect = true;
    RunConfirmed({-1});
    EXPECT_EQ(ui.prompts.at(1).msgText, R"(This mod was installable for \b K1\b0  \i or\i0  \b K2.\b0\par )" + CRLF +
                                            R"(\par )" + CRLF + "Choose the game to uninstall from...");
    EXPECT_EQ(ui.prompts[1].msgTitle, "Choose Game");
    EXPECT_EQ(Shape(ui.prompts[1]),
              "icon 2 [Kotor &1|Kotor &2 TSL|&Abort||] 3 focus 2 top font 12 buttons 1300x380 width -1");
}

// The front end may refuse the game folder once it is settled (the console refuses one on
// read-only media); the run stops there, before its log begins and before anything is changed.
TEST_F(RunDriver, AGameFolderTheFrontEndRefusesStopsTheRunBeforeAnythingChanges) {
    SetFileList({"dialog.tlk"});
    std::vector<std::string> asked;
    acceptGameFolder = [&](const std::string& folder) {
        asked.push_back(folder);
        return false;
    };
    const RunResult result = RunConfirmed();
    EXPECT_EQ(result.outcome, RunOutcome::Stopped);
    EXPECT_EQ(asked, (std::vector<std::string>{kGame}));
    EXPECT_TRUE(fs.Exists(kGame + "\\dialog.tlk"));
    EXPECT_FALSE(fs.Exists(kResultsPath));
}

// A user interface that presses "Remove Mod" again whenever the run lets the window process messages.
class ReenteringUi : public ScriptedUi {
public:
    std::function<void()> onDoEvents;
    void DoEvents() override {
        if (onDoEvents) onDoEvents();
    }
};

TEST_F(RunDriver, ASecondRunWhileOneIsInProgressIsIgnored) {
    SetFileList({"x.tga"});
    fs.AddFile(kGame + "\\x.tga", "mod");
    ReenteringUi reentering;
    RunContext context{fs, registry, reentering, browser, kProgram};
    std::vector<RunOutcome> inner;
    reentering.onDoEvents = [&] { inner.push_back(RunRemoval(d, context).outcome); };
    reentering.promptAnswers = {0};
    EXPECT_EQ(RunRemoval(d, context).outcome, RunOutcome::Completed);
    ASSERT_FALSE(inner.empty());
    EXPECT_EQ(inner, std::vector<RunOutcome>(inner.size(), RunOutcome::Ignored));
    EXPECT_EQ(reentering.prompts.size(), 1u);  // the ignored runs asked nothing
    EXPECT_FALSE(fs.Exists(kGame + "\\x.tga"));
    reentering.onDoEvents = nullptr;  // once the run is over a new one starts normally
    reentering.promptAnswers = {1};
    EXPECT_EQ(RunRemoval(d, context).outcome, RunOutcome::Declined);
}

TEST_F(RunDriver, ExplicitInstructionsAreShownWithTheDescriptionsOwnText) {
    d.HasExplicitInstructions = true;
    d.ExplicitInstructions = "Now remove the \\b patch\\b0 ." + CRLF + "Thanks.";
    d.ExplicitTitle = "Read me";
    d.ExplicitIcon = 3;
    d.ExplicitBeep = true;
    RunConfirmed({-1});
    EXPECT_EQ(ui.prompts.at(1).msgText, "Now remove the \\b patch\\b0 .\\par " + CRLF + "Thanks.");
    EXPECT_EQ(d.ExplicitInstructions, ui.prompts[1].msgText);
    EXPECT_EQ(ui.prompts[1].msgTitle, "Read me");
    EXPECT_EQ(Shape(ui.prompts[1]), "icon 3 [&Ok||||] 1 focus 0 sound top font 12 buttons 1300x380 width 6000");
    d.ExplicitFormatWidth = 3000;
    RunConfirmed({0});
    EXPECT_EQ(ui.prompts.at(3).formatWidth, 3000);
}

// --- the game folder: registry, browsing, the dialog.tlk check ---

TEST_F(RunDriver, TheGameFolderFromTheRegistryOrTheFolderDialog) {
    registry.SetString(kK2Key, "C:\\PROGRA~1\\Kotor\\");  // used as it is, logged in its long form
    fs.AddFile("C:\\Program Files\\Kotor\\x.tga", "mod");
    fs.AddFile("C:\\Program Files\\Kotor\\dialog.tlk", "no TLK header, and not checked");
    fs.SetShortName("C:\\Program Files", "PROGRA~1");
    SetFileList({"x.tga"});
    RunConfirmed();
    EXPECT_TRUE(ui.browseTitles.empty());
    EXPECT_TRUE(Logged(R"(\cf6\b Game Directory Is: C:\\Program Files\\Kotor\\\cf1\b0\par)" + CRLF +
                       R"(\cf6\b App Directory Is: C:\\Mods\\Tool\\\cf1\b0\par)" + CRLF + Blank(2) + Deleted("x.tga")));

    registry.SetString(kK2Key, "C:\\Nowhere");
    fs.AddFile("D:\\Test\\Kotor2\\dialog.tlk", "TLK V3.0");
    ui = {};
    ui.browseAnswers = {"D:\\Test\\Kotor2"};
    EXPECT_EQ(RunConfirmed({0}).outcome, RunOutcome::Completed);
    EXPECT_EQ(ui.prompts.at(1).msgText, R"(Unable to locate Kotor folder via registry.\par )" + CRLF + R"(\par )" +
                                            CRLF + "Please browse for the folder");
    EXPECT_EQ(ui.prompts[1].msgTitle, "Error");
    EXPECT_EQ(Shape(ui.prompts[1]), "icon 4 [&Ok||||] 1 focus 0 top font 12 buttons 1300x380 width -1");
    EXPECT_EQ(ui.browseTitles, std::vector<std::string>{"Find Kotor main folder"});
    EXPECT_EQ(ui.browseStarts, std::vector<std::string>{""});
    EXPECT_TRUE(Logged(R"(\cf6\b Game Directory Is: D:\\Test\\Kotor2\\\cf1\b0\par)"));
    EXPECT_EQ(browser.LastBrowsedFolder(), "D:\\Test\\Kotor2");
}

// Steam's and GOG's entries of the chosen game, in either view of the registry, only place the
// folder dialog, at the first that holds a dialog.tlk that is a normal file.
TEST_F(RunDriver, RegisteredFoldersWithADialogTlkAreTheDialogsStart) {
    const std::string steam = "E:\\Steam\\steamapps\\common\\Knights of the Old Republic II";
    const std::string steamKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Steam App 208580";
    const std::string gog = "E:\\GOG Games\\Star Wars KotOR2";
    registry.Remove(kK2Key);
    fs.AddFolder(gog + "\\dialog.tlk");
    fs.AddFile(steam + "\\dialog.tlk", "TLK V3.0", Attributes{.hidden = true});
    fs.AddFile(kGame + "\\K1\\dialog.tlk", "TLK V3.0");
    registry.SetString(steamKey, steam, "InstallLocation");
    registry.SetString("Software\\GOG.com\\Games\\1421404581", gog, "path");
    registry.SetString("Software\\GOG.com\\Games\\1207666283", kGame + "\\K1", "path");  // the other game's
    const auto start = [&] {
        ui = {};
        ui.browseAnswers = {""};
        RunConfirmed({0});
        return ui.browseStarts.at(0);
    };
    EXPECT_EQ(start(), "");
    fs.SetAttributes(steam + "\\dialog.tlk", Attributes{});
    EXPECT_EQ(start(), steam);
    registry.Remove(steamKey, "InstallLocation");
    registry.SetString("Software\\Wow6432Node\\GOG.com\\Games\\1421404581", steam, "path");
    EXPECT_EQ(start(), steam);
}

TEST_F(RunDriver, ABrowsedFolderNeedsADialogTlkWithItsHeader) {
    const std::string kInvalidFolder = "Invalid game folder - shutting down.";
    const std::string kInvalidTlk =
        "Invalid dialog.tlk file." + CRLF + CRLF + "If you've made a testing folder copy the real dialog.tlk to it.";
    registry.Remove(kK2Key);
    fs.AddFile("D:\\Hidden\\dialog.tlk", "TLK V3.0", Attributes{.hidden = true});
    fs.AddFolder("D:\\Folder\\dialog.tlk");
    fs.AddFile("D:\\Short\\dialog.tlk", "TLK V3.");
    fs.AddFile("D:\\Lower\\dialog.tlk", "tlk v3.0");
    const std::pair<std::string, std::string> cases[] = {{"", kInvalidFolder},           {"D:\\Gone", kInvalidFolder},
                                                         {"D:\\Hidden", kInvalidFolder}, {"D:\\Folder", kInvalidFolder},
                                                         {"D:\\Short", kInvalidTlk},     {"D:\\Lower", kInvalidTlk}};
    for (const auto& [browsed, message] : cases) {
        ui = {};
        ui.browseAnswers = {browsed};
        EXPECT_EQ(RunConfirmed({0}).outcome, RunOutcome::Stopped) << browsed;
        ASSERT_EQ(ui.messages.size(), 1u) << browsed;
        EXPECT_EQ(ui.messages[0].text, message) << browsed;
        EXPECT_EQ(ui.messages[0].title, "Aborting");
        EXPECT_EQ(ui.messages[0].style, message == kInvalidTlk ? 0x1030u : 0x1040u);
        EXPECT_FALSE(fs.Exists(kResultsPath));
    }
    // Only the header is read, however large the file; the name's case does not matter.
    fs.AddFile("D:\\Big\\DIALOG.TLK", std::string("TLK V3.0") + std::string(3, '\0'));
    fs.FailOperation(FsOp::ReadAll, "dialog.tlk", FsStatus::TooLarge);
    ui = {};
    ui.browseAnswers = {"D:\\Big"};
    EXPECT_EQ(RunConfirmed({0}).outcome, RunOutcome::Completed);
}

// --- saving and opening the log ---

// Earlier logs and left-overs of the temporary name are replaced, read-only or not; a program
// folder that lost its uninstall folder since start-up gets it again.
TEST_F(RunDriver, WhatIsInTheWayOfTheLogIsReplaced) {
    fs.AddFile(kResultsPath, "an earlier, longer result that must not survive in any part", {.readOnly = true});
    fs.AddFile(kResultsPath + ".saving", "cut short", Attributes{.readOnly = true});
    RunResult result = RunConfirmed();
    EXPECT_EQ(SavedLog(), result.log);
    EXPECT_FALSE(fs.Exists(kResultsPath + ".saving"));

    programFolder = "C:\\Other\\Tool";
    fs.AddFolder(programFolder);
    result = RunConfirmed();
    EXPECT_EQ(result.logPath, programFolder + "\\uninstall\\removal_results.rtf");
    EXPECT_EQ(fs.Contents(result.logPath), result.log);
    EXPECT_EQ(ui.shellOpened, (std::vector<std::string>{kResultsPath, result.logPath}));
}

// The new log is written under a temporary name first: a save that fails keeps the earlier log and
// leaves nothing half-written; once the earlier log is gone, the new one stays under that name.
TEST_F(RunDriver, AFailedSaveKeepsTheEarlierLog) {
    const struct {
        std::function<void(MemoryFileSystem&)> fault;
        bool earlier, kept, leftSaving;  // an earlier log; still there after; the new one left at ".saving"
    } cases[] = {
        {[](MemoryFileSystem& disk) { disk.FailOperation(FsOp::WriteAll, "removal_results", FsStatus::DiskFull); },
         true, true, false},
        {[](MemoryFileSystem& disk) { disk.Lock("C:\\Other\\Tool\\uninstall\\removal_results.rtf"); }, true, true,
         false},
        {[](MemoryFileSystem& disk) { disk.FailOperation(FsOp::Rename, ".rtf.saving", FsStatus::IoError); }, true,
         false, true},
        {[](MemoryFileSystem& disk) { disk.FailOperation(FsOp::CreateFolder, "uninstall", FsStatus::IoError); }, false,
         false, false},
    };
    for (const auto& c : cases) {
        World w;
        w.programFolder = "C:\\Other\\Tool";  // no uninstall folder: it is made again
        w.fs.AddFolder(w.programFolder);
        if (c.earlier) w.fs.AddFile(w.programFolder + "\\uninstall\\removal_results.rtf", "the earlier result");
        c.fault(w.fs);
        EXPECT_EQ(w.RunConfirmed().outcome, RunOutcome::Failed);
        ASSERT_EQ(w.ui.messages.size(), 1u);
        EXPECT_EQ(w.ui.messages[0].title, "Oops!");
        EXPECT_TRUE(w.ui.shellOpened.empty());
        const std::string log = w.programFolder + "\\uninstall\\removal_results.rtf";
        EXPECT_EQ(w.fs.Contents(log).value_or(""), c.kept ? "the earlier result" : "");
        EXPECT_EQ(w.fs.Contents(log + ".saving").value_or("").starts_with("{\\rtf1"), c.leftSaving);
    }
}

// Something that is not a file at the log's name or its temporary name (a folder; on disk also a
// pipe or a socket) is neither waited on nor taken away: the log goes to the first name beside it
// that is free or a file, and is opened from there.
TEST_F(RunDriver, FoldersAtTheLogsNamesSendTheLogToAnotherName) {
    const std::string third = kProgram + "\\uninstall\\removal_results-3.rtf";
    for (const std::string& folder :
         {kResultsPath, kResultsPath + ".saving", kProgram + "\\uninstall\\removal_results-2.rtf"})
        fs.AddFolder(folder);
    fs.AddFile(third, "an earlier log saved beside the folders, longer than the new one", {.readOnly = true});
    const RunResult result = RunConfirmed();
    EXPECT_EQ(result.logPath, third);
    EXPECT_EQ(fs.Contents(third), result.log);
    EXPECT_EQ(ui.shellOpened, std::vector<std::string>{third});
}

}  // namespace
}  // namespace zelvane::testing
