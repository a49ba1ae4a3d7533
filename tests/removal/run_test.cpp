// The run as a whole: confirmation, stale start, game choice and game folder, the guard against a
// second run, explicit instructions, saving and opening the log.

#include "tests/removal/run_fixture.hpp"

namespace zelvane::testing {
namespace {

using RunDriver = RemovalRunTest;

TEST_F(RunDriver, NoToTheConfirmationChangesNothing) {
    SetFileList({"dialog.tlk"});
    const auto before = fs.Snapshot();
    EXPECT_EQ(RunConfirmed({1}, false).outcome, RunOutcome::Declined);
    EXPECT_EQ(fs.Snapshot(), before);
    EXPECT_TRUE(ui.shellOpened.empty());
    EXPECT_TRUE(registry.queries.empty());
    EXPECT_EQ(ui.prompts.at(0).msgText, "Remove the mod?");
    EXPECT_EQ(Shape(ui.prompts[0]),
              "Remove Mod: icon 2 [&Yes|&No|||] 2 focus 1 top font 12 buttons 1000x380 width 5000");
    EXPECT_EQ(ui.prompts[0].autoWidth, 170);  // 15 characters of 120 twips: 1800 twips, 120 pixels, + 50

    d.ConfirmFormatWidth = 0;  // the default width; the measured copy gets paragraph marks
    d.ConfirmBeep = true;
    d.ConfirmMessage = "Line one" + CRLF + "Line two";
    RunConfirmed({1}, false);
    EXPECT_EQ(Shape(ui.prompts[1]),
              "Remove Mod: icon 2 [&Yes|&No|||] 2 focus 1 sound top font 12 buttons 1000x380 width 6000");
    EXPECT_EQ(ui.prompts[1].msgText, Paras({"Line one", "Line two"}));
    EXPECT_EQ(d.ConfirmMessage, "Line one" + CRLF + "Line two");
    EXPECT_EQ(d.ConfirmFormatWidth, 6000);
    EXPECT_EQ(RunConfirmed({-1}, false).outcome, RunOutcome::Completed);  // closed: the run goes ahead
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
              Paras(
                  {R"(This program appears to have been started \b before\b0  the Quarrow was run \i\ul OR\ulnone\i0  )"
                   R"(some files were manually moved in this apps folder.)",
                   "", "Whatever the case, the internal variables are not up to date.", "",
                   R"(\cf10 This program must be closed and restarted before it can remove the mod.)"}));
    EXPECT_EQ(Shape(ui.prompts[1]),
              "Shutting Down: icon 1 [&OK||||] 1 focus 0 sound top font 12 buttons 1300x380 width 7500");
}

// The game comes from the description or the player's choice; each way the run stops before its
// log begins says why in one message, and saves nothing.
TEST_F(RunDriver, TheGameChoiceAndTheBrowsedFolder) {
    const std::string noGame = "Aborting 0x1030: Error selecting game to uninstall from.";
    const std::string noFolder = "Aborting 0x1040: Invalid game folder - shutting down.";
    const std::string noTlk = "Aborting 0x1030: Invalid dialog.tlk file." + CRLF + CRLF +
                              "If you've made a testing folder copy the real dialog.tlk to it.";
    fs.AddFile("D:\\Hidden\\dialog.tlk", "TLK V3.0", Attributes{.hidden = true});
    fs.AddFolder("D:\\Folder\\dialog.tlk");
    fs.AddFile("D:\\Short\\dialog.tlk", "TLK V3.");
    fs.AddFile("D:\\Lower\\dialog.tlk", "tlk v3.0");
    // Only the header is read, however large the file; the name's case does not matter.
    fs.AddFile("D:\\Big\\DIALOG.TLK", std::string("TLK V3.0") + std::string(3, '\0'));
    fs.FailOperation(FsOp::ReadAll, "dialog.tlk", FsStatus::TooLarge);
    const struct {
        bool select;
        int game;
        std::vector<int> answers;
        std::string browsed;  // "-": the registry names the folder
        std::string result;   // the game logged, or the one message shown
    } cases[] = {
        {true, 2, {0}, "-", "K1"},
        {true, 1, {1}, "-", "K2"},
        {true, 1, {-1}, "-", "K1"},  // closed: the description's game
        {true, 2, {2}, "-", "Aborting 0x1030: Uninstall Aborted"},
        {true, 0, {-1}, "-", noGame},
        {false, 0, {}, "-", noGame},
        {false, 2, {0}, "", noFolder},
        {false, 2, {0}, "D:\\Gone", noFolder},
        {false, 2, {0}, "D:\\Hidden", noFolder},
        {false, 2, {0}, "D:\\Folder", noFolder},
        {false, 2, {0}, "D:\\Short", noTlk},
        {false, 2, {0}, "D:\\Lower", noTlk},
        {false, 2, {0}, "D:\\Big", "K2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.browsed + c.result);
        ui = {};
        fs.Delete(kResultsPath);
        registry.queries.clear();
        d.GameSelect = c.select;
        d.Game = c.game;
        if (c.browsed != "-") registry.Remove(kK2Key);
        ui.browseAnswers = {c.browsed};
        const RunResult result = RunConfirmed(c.answers);
        if (c.result.size() == 2) {
            EXPECT_EQ(registry.queries.at(0), c.result == "K1" ? kK1Key : kK2Key);
            EXPECT_TRUE(Logged(R"(\cf6\b Game is )" + c.result));
            continue;
        }
        EXPECT_EQ(result.outcome, RunOutcome::Stopped);
        EXPECT_EQ(Messages(), std::vector{c.result});
        EXPECT_TRUE(c.browsed != "-" || registry.queries.empty());
        EXPECT_FALSE(fs.Exists(kResultsPath));
    }
    d.GameSelect = true;
    registry.SetString(kK2Key, kGame);
    ui = {};
    RunConfirmed({-1});
    EXPECT_EQ(ui.prompts.at(1).msgText, Paras({R"(This mod was installable for \b K1\b0  \i or\i0  \b K2.\b0)", "",
                                               "Choose the game to uninstall from..."}));
    EXPECT_EQ(Shape(ui.prompts[1]),
              "Choose Game: icon 2 [Kotor &1|Kotor &2 TSL|&Abort||] 3 focus 2 top font 12 buttons 1300x380 width -1");
}

TEST_F(RunDriver, ASecondRunWhileOneIsInProgressIsIgnored) {
    SetFileList({"x.tga"});
    fs.AddFile(kGame + "\\x.tga", "mod");
    RunContext context{fs, registry, ui, browser, kProgram};
    std::vector<RunOutcome> inner;  // "Remove Mod" pressed again whenever the run processes messages
    ui.onDoEvents = [&] { inner.push_back(RunRemoval(d, context).outcome); };
    EXPECT_EQ(RunConfirmed().outcome, RunOutcome::Completed);
    ASSERT_FALSE(inner.empty());
    EXPECT_EQ(inner, std::vector<RunOutcome>(inner.size(), RunOutcome::Ignored));
    EXPECT_FALSE(fs.Exists(kGame + "\\x.tga"));
    ui.onDoEvents = nullptr;  // once the run is over a new one starts normally
    EXPECT_EQ(RunConfirmed({1}, false).outcome, RunOutcome::Declined);
}

TEST_F(RunDriver, ExplicitInstructionsAreShownWithTheDescriptionsOwnText) {
    d.HasExplicitInstructions = true;
    d.ExplicitInstructions = "Now remove the \\b patch\\b0 ." + CRLF + "Thanks.";
    d.ExplicitTitle = "Read me";
    d.ExplicitIcon = 3;
    d.ExplicitBeep = true;
    RunConfirmed({-1});
    EXPECT_EQ(ui.prompts.at(1).msgText, Paras({"Now remove the \\b patch\\b0 .", "Thanks."}));
    EXPECT_EQ(d.ExplicitInstructions, ui.prompts[1].msgText);
    EXPECT_EQ(Shape(ui.prompts[1]),
              "Read me: icon 3 [&Ok||||] 1 focus 0 sound top font 12 buttons 1300x380 width 6000");
    d.ExplicitFormatWidth = 3000;
    RunConfirmed({0});
    EXPECT_EQ(ui.prompts.at(3).formatWidth, 3000);
}

TEST_F(RunDriver, TheGameFolderFromTheRegistryOrTheFolderDialog) {
    registry.SetString(kK2Key, "C:\\PROGRA~1\\Kotor\\");  // used as it is, logged in its long form
    fs.AddFile("C:\\Program Files\\Kotor\\x.tga", "mod");
    fs.AddFile("C:\\Program Files\\Kotor\\dialog.tlk", "no TLK header, and not checked");
    fs.SetShortName("C:\\Program Files", "PROGRA~1");
    SetFileList({"x.tga"});
    RunConfirmed();
    EXPECT_TRUE(Logged(R"(\cf6\b Game Directory Is: C:\\Program Files\\Kotor\\\cf1\b0\par)" + CRLF +
                       R"(\cf6\b App Directory Is: C:\\Mods\\Tool\\\cf1\b0\par)" + CRLF + Blank(2) + Deleted("x.tga")));

    registry.SetString(kK2Key, "C:\\Nowhere");
    fs.AddFile("D:\\Test\\Kotor2\\dialog.tlk", "TLK V3.0");
    ui = {};
    ui.browseAnswers = {"D:\\Test\\Kotor2"};
    EXPECT_EQ(RunConfirmed({0}).outcome, RunOutcome::Completed);
    EXPECT_EQ(ui.prompts.at(1).msgText,
              Paras({"Unable to locate Kotor folder via registry.", "", "Please browse for the folder"}));
    EXPECT_EQ(Shape(ui.prompts[1]), "Error: icon 4 [&Ok||||] 1 focus 0 top font 12 buttons 1300x380 width -1");
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

// The log is written under a temporary name, then put in place of earlier logs and left-overs,
// read-only or not; the uninstall folder is made again when it is gone. A save that fails keeps
// the earlier log and leaves nothing half-written; once the earlier log is gone, the new one stays
// under the temporary name. What is not a file at a name (a folder, a link to nothing; on disk also
// a pipe or a socket) is neither waited on nor taken away: the log goes to the first name beside it
// that is free or a file. A link to a file outside is not written through.
const std::string kOther = "C:\\Other\\Tool\\uninstall\\";

TEST_F(RunDriver, SavingTheLog) {
    const struct {
        bool earlier;  // a read-only earlier log
        std::function<void(MemoryFileSystem&)> setup;
        Files after;        // the program's uninstall folder and D:\ afterwards ("new" = this run's log)
        std::string shown;  // the log opened, or the one message of a run that failed
    } cases[] = {
        {true,
         [](auto& f) { f.AddFile(kOther + "removal_results.rtf.saving", "cut short", {.readOnly = true}); },
         {{"removal_results.rtf", "new"}},
         "removal_results.rtf"},
        {true,
         [](auto& f) { f.Lock(kOther + "removal_results.rtf"); },
         {{"removal_results.rtf", "earlier"}},
         Oops(58, "File already exists")},
        {true,
         [](auto& f) { f.FailOperation(FsOp::Rename, ".rtf.saving", FsStatus::IoError); },
         {{"removal_results.rtf.saving", "new"}},
         Oops(57, "Device I/O error")},
        {false,
         [](auto& f) { f.FailOperation(FsOp::CreateFolder, "uninstall", FsStatus::IoError); },
         {},
         Oops(57, "Device I/O error")},
        {false,
         [](auto& f) {
             for (const char* name : {"removal_results.rtf", "removal_results.rtf.saving", "removal_results-2.rtf"})
                 f.AddFolder(kOther + name);
             f.AddFile(kOther + "removal_results-3.rtf", "an earlier log, longer than the new one", {.readOnly = true});
         },
         {{"removal_results-3.rtf", "new"}},
         "removal_results-3.rtf"},
        {false,
         [](auto& f) {
             f.AddFile("D:\\profile", "the player's");
             f.AddLink(kOther + "removal_results.rtf", "D:\\profile");
         },
         {{"D:\\profile", "the player's"}},
         Oops(75, "Refused (outside the game and program folders)")},
        {false,
         [](auto& f) { f.AddLink(kOther + "removal_results.rtf", "D:\\gone.rtf"); },
         {{"removal_results-2.rtf", "new"}},
         "removal_results-2.rtf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        World w;
        w.programFolder = "C:\\Other\\Tool";
        w.fs.AddFolder(w.programFolder);
        if (c.earlier) w.fs.AddFile(kOther + "removal_results.rtf", "earlier", {.readOnly = true});
        c.setup(w.fs);
        const RunResult result = w.RunConfirmed();
        Files after;
        for (const auto& [path, bytes] : w.fs.Snapshot()) {
            if (path.starts_with(kOther)) after[path.substr(kOther.size())] = bytes == result.log ? "new" : bytes;
            if (path.starts_with("D:")) after[path] = bytes;
        }
        EXPECT_EQ(after, c.after);
        const bool saved = c.shown.starts_with("removal_results");
        EXPECT_EQ(result.outcome, saved ? RunOutcome::Completed : RunOutcome::Failed);
        EXPECT_EQ(w.ui.shellOpened, saved ? std::vector{kOther + c.shown} : std::vector<std::string>{});
        EXPECT_EQ(w.Messages(), saved ? std::vector<std::string>{} : std::vector{c.shown});
    }
}

}  // namespace
}  // namespace zelvane::testing
