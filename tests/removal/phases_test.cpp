// The file-list phase (direct hits, the subfolder search of K2 and its prompt, missing files, which
// lines are entries), the queued deletes and restores with the author's prompts, and where a run
// may change the disk: what leads out of the game folder by name or through links is refused, also
// when a folder is swapped for a link while a prompt is open.

#include "tests/removal/run_fixture.hpp"

namespace zelvane::testing {
namespace {

const std::string kRefused = R"(\cf10 Refused (outside the game folder): \cf1 )";
const std::string qd = R"(\cf1 QDeleteFile: )";
const std::string qr = R"(\cf1 QRestoreFile: )";
const std::string kEnd = R"(\cf1\par)" + CRLF;

std::string DeletedLine(const std::string& name) { return Deleted(name) + kEnd; }
std::string NotFoundLine(const std::string& name) { return R"(\cf10 File Not Found: \cf1 )" + name + kEnd; }
std::string DeclinedLine(const std::string& name) {
    return R"(\cf5 Not deleted in subfolder per user request: )" + name + kEnd;
}

using FileList = RemovalRunTest;

// Every kind of line the file list logs, and the banner withheld.
TEST_F(FileList, HitsMissesFailuresAndRefusals) {
    fs.AddFile(kOverride + "\\a.tga", "a");
    fs.AddFile(kOverride + "\\B.TGA", "b", Attributes{.readOnly = true});
    fs.AddFile(kGame + "\\Movies\\intro.bik", "m");
    fs.AddFile(kOverride + "\\sub\\gone.bik", "m");  // K2 searches subfolders only for entries in override
    fs.AddFile(kOverride + "\\x.tga", "x");
    fs.AddFile(kOverride + "\\y.tga", "y");
    fs.AddFile(kGame + "\\locked.tga", "l");
    fs.AddFile(kOverride + "\\keep.tga", "k");
    fs.AddFile("C:\\Games\\precious.sav", "mine");
    fs.FailOperation(FsOp::Delete, "locked.tga", FsStatus::SharingViolation);
    fs.AddFile(kGame + "\\vanishing.tga", "v");  // gone between the test and the delete
    fs.FailOperation(FsOp::SetAttributes, "vanishing.tga", FsStatus::FileNotFound);
    // "\Windows\win.ini" joined to the game folder only doubles a separator: it names a file of
    // the game folder, which is not there. "y.tga." is y.tga, as Windows reads it. A line of prose
    // with a colon names a stream of a file that is not there: nothing to delete.
    SetFileList({"override\\a.tga", "Override\\b.tga", "movies\\intro.bik", "movies\\gone.bik", "locked.tga",
                 "vanishing.tga", "..\\precious.sav", "override\\x.tga:stream", "\\Windows\\win.ini",
                 "override\\y.tga.", "Note: read me first"});
    EXPECT_EQ(RunConfirmed().deletedCount, 4);
    for (const std::string& line :
         {DeletedLine(R"(Override\\a.tga)") + DeletedLine(R"(Override\\b.tga)") + DeletedLine(R"(Movies\\intro.bik)") +
              NotFoundLine(R"(Movies\\gone.bik)"),
          R"(\cf10 Delete Failure - \cf1 locked.tga\cf7  - Error: 70  Permission denied\cf1\par)" + CRLF,
          R"(\cf10 Delete Failure - \cf1 vanishing.tga\cf7  - Error: 53  File not found\cf1\par)" + CRLF,
          R"(\cf10 Refused (outside the game folder): \cf1 ..\\precious.sav\cf1\par)" + CRLF,
          R"(\cf10 Refused (not a plain file name): \cf1 Override\\x.tga:stream\cf1\par)" + CRLF,
          NotFoundLine(R"(\\Windows\\win.ini)") + DeletedLine(R"(Override\\y.tga.)") +
              NotFoundLine("Note: read me first") + Blank(3) + ExpectedTotals(4, 3)})
        EXPECT_TRUE(Logged(line));
    EXPECT_EQ(GameFiles(), (Files{{kOverride + "\\keep.tga", "k"},
                                  {kOverride + "\\sub\\gone.bik", "m"},
                                  {kGame + "\\vanishing.tga", "v"},
                                  {kOverride + "\\x.tga", "x"},
                                  {kGame + "\\locked.tga", "l"},
                                  {"C:\\Games\\precious.sav", "mine"}}));
}

// Yes confirms every later subfolder deletion; No refuses the file asked about, and after a No
// and then a Yes later files are refused without a prompt; a closed prompt confirms nothing.
TEST_F(FileList, TheSubfolderAnswers) {
    const std::string kSubfolderText =
        Paras({"The file ", R"(\cf5 override\\a.tga\cf1)", "was found in a subfolder",
               R"(\cf5 C:\\Games\\Kotor\\override\\sub\\\cf1)", "", "Would you like to proceed with deletion?", "", "",
               R"(\cf10 Selecting yes will \ul not\ulnone  limit searches to this folder)",
               "If more than one copy of this file exists in the override",
               R"(it will delete the \i first\i0  occurance it finds.\cf1 )"});
    const struct {
        std::vector<int> answers;
        std::string lines;
    } cases[] = {
        {{0},
         DeletedLine(R"(Override\\Sub\\a.tga)") + DeletedLine(R"(Override\\Deep\\Er\\b.tga)") +
             DeletedLine(R"(Override\\Sub\\c.tga)")},
        {{1, 0},
         DeclinedLine(R"(Override\\a.tga)") + DeletedLine(R"(Override\\Deep\\Er\\b.tga)") +
             DeclinedLine(R"(Override\\c.tga)")},
        {{-1, 1, 0}, DeclinedLine(R"(Override\\b.tga)") + DeletedLine(R"(Override\\Sub\\c.tga)")},
    };
    for (const auto& c : cases) {
        World w;
        w.fs.AddFile(kOverride + "\\sub\\a.tga", "a");
        w.fs.AddFile(kOverride + "\\deep\\er\\b.tga", "b");
        w.fs.AddFile(kOverride + "\\sub\\c.tga", "c");
        w.SetFileList({"override\\a.tga", "override\\b.tga", "override\\c.tga"});
        w.RunConfirmed(c.answers);
        EXPECT_EQ(w.ui.prompts.at(1).msgText, kSubfolderText);
        EXPECT_EQ(Shape(w.ui.prompts[1]), YesNo("Confirm Delete in Subfolder"));
        EXPECT_TRUE(w.Logged(Blank(2) + c.lines + kBanner));
    }
}

TEST_F(FileList, WhichLinesAreEntries) {
    const std::pair<std::string, std::string> cases[] = {
        {"before.tga\r\n#confirm_title=x\r\n#FILE_LIST\r\n; a comment\r\n after.tga\r\n\r\n"
         "#qdelete_file_1=after.tga\r\nafter.tga\r\n\tTab.tga\r\nnot a file\r\n",
         DeletedLine("after.tga") + NotFoundLine("\tTab.tga") + NotFoundLine("not a file")},
        {"#file_list\ra.tga\rb.tga", DeletedLine("a.tga") + DeletedLine("b.tga")},  // the line ends of text input
        {"#game=2\r\na.tga\r\n", ""},                                               // no #file_list: no entries
    };
    for (const auto& [description, lines] : cases) {
        for (const char* name : {"\\before.tga", "\\after.tga", "\\a.tga", "\\b.tga"}) fs.AddFile(kGame + name, "x");
        fs.AddFile(kIniPath, description);
        RunConfirmed();
        EXPECT_TRUE(Logged(Blank(2) + lines + Blank(3)));
        EXPECT_TRUE(fs.Exists(kGame + "\\before.tga"));
    }
}

// A table that the 2da restore is about to offer to put back is not deleted by the file list, so
// that "No" to the replacement keeps it. Only tables in override, and only with a backup to
// restore, are left.
TEST_F(FileList, ATableTheRestoreOffersIsLeftToIt) {
    d.Backup2daFiles = {kProgram + "\\backup\\Appearance.2da"};
    fs.AddFile(kInOverride, "table changed by another mod");
    SetFileList({"override\\APPEARANCE.2da"});
    RunConfirmed();  // found, but the description restores no table
    EXPECT_TRUE(Logged(DeletedLine(R"(Override\\APPEARANCE.2da)")));

    d.Restore2da = d.Backup2daAvailable = true;
    fs.AddFile(kProgram + "\\backup\\Appearance.2da", "backup table");
    fs.AddFile(kInOverride, "table changed by another mod");
    fs.AddFile(kOverride + "\\spells.2da", "no backup");
    fs.AddFile(kGame + "\\appearance.2da", "not in override");
    SetFileList({"override\\APPEARANCE.2da", "override\\spells.2da", "appearance.2da"});
    EXPECT_EQ(RunConfirmed({1}).notFoundCount, 0);  // No to the replacement
    EXPECT_TRUE(Logged(R"(\cf4 Left to the 2da restore: \cf1 Override\\APPEARANCE.2da\cf1\par)" + CRLF +
                       DeletedLine(R"(Override\\spells.2da)") + DeletedLine("appearance.2da") + kBanner + kQ +
                       R"(\cf5 User declined \cf1 Appearance.2da\cf5  replacement.\par)"));
    EXPECT_EQ(fs.Contents(kInOverride), "table changed by another mod");
}

// --- the queued deletes and restores ---

using Queued = RemovalRunTest;

// Every kind of line the queued phases log, after the banner, and the note on prompt failures once.
TEST_F(Queued, GoldenDeletesAndRestores) {
    fs.AddFile(kOverride + "\\q.tga", "q");
    fs.AddFile(kGame + "\\Movies\\m.bik", "m");
    fs.AddFile("C:\\Games\\save.sav", "mine");
    for (const char* name : {"\\a.tga", "\\b.tga", "\\l.tga", "\\c.tga"}) fs.AddFile(kOverride + name, "mod");
    for (const char* name : {"\\a.tga", "\\b.tga", "\\l.tga", "\\gone.tga"})
        fs.AddFile(kOverride + name + ".original", "game");
    fs.FailOperation(FsOp::Delete, "l.tga", FsStatus::SharingViolation);
    d.QueuedDeletes = {{"override\\q.tga", "Q?", 0},
                       {"override\\Q.TGA", "Again?", 0},
                       {"Movies\\m.bik", "M?", 0},
                       {"..\\save.sav", "Your save?", 0}};
    d.QueuedRestores = {{"override\\a.tga", "A?", 0},
                        {"override\\b.tga", "B?", 0},
                        {"override\\gone.tga", "Gone?", 0},
                        {"override\\c.tga", "C?", 0},
                        {"override\\l.tga", "L?", 0}};
    const RunResult result = RunConfirmed({0, 1, 0, 1, 0});
    EXPECT_EQ(
        SavedLog(),
        ExpectedHeader(2) + kBanner + qd + Deleted(R"(Override\\q.tga)") + R"(\par)" + CRLF +
            R"(\cf1\b QDeleteFile: \cf10 Prompt Failure \cf6 (File Not Found): \cf1 Override\\Q.TGA\cf1\b0\par)" +
            CRLF + qd + R"(\cf5 User chose not to delete Movies\\m.bik\par)" + CRLF + qd +
            R"(\cf10 Refused (outside the game folder): \cf1 ..\\save.sav\cf1\par)" + CRLF + qr +
            Deleted(R"(Override\\a.tga)") + R"(\par)" + CRLF + qr +
            R"(\cf3 Renamed \cf1 Override\\a.tga.original\cf3  to \cf1 Override\\a.tga\par)" + CRLF + qr +
            R"(\cf5 User chose not to restore \cf1 Override\\b.tga\cf1\par)" + CRLF +
            R"(\cf1\b QRestoreFile: \cf10 Prompt Failure \cf6 (File Not Found) \cf1 Override\\gone.tga\cf1\b0\par)" +
            CRLF +
            R"(\cf1\b QRestoreFile: \cf10 Prompt Failure \cf6 (.original File Not Found) \cf1 )"
            R"(Override\\c.tga.original\cf1\b0\par)" +
            CRLF + qr + R"(\cf10 Delete Failure - \cf1 Override\\l.tga\cf7  - Error: 70  Permission denied\par)" +
            CRLF + qr +
            R"(\cf10 Failure Renaming \cf1 Override\\l.tga.original\cf10  to \cf1Override\\l.tga - )"
            R"(\cf7 Error: 58  File already exists\par)" +
            CRLF + kFyi + ExpectedTotals(3, 0));
    EXPECT_EQ(result.deletedCount, 1);
    EXPECT_EQ(result.restoredCount, 1);
    EXPECT_EQ(GameFiles(), (Files{{kGame + "\\Movies\\m.bik", "m"},
                                  {"C:\\Games\\save.sav", "mine"},
                                  {kOverride + "\\a.tga", "game"},
                                  {kOverride + "\\b.tga", "mod"},
                                  {kOverride + "\\b.tga.original", "game"},
                                  {kOverride + "\\c.tga", "mod"},
                                  {kOverride + "\\gone.tga.original", "game"},
                                  {kOverride + "\\l.tga", "mod"},
                                  {kOverride + "\\l.tga.original", "game"}}));
}

TEST_F(Queued, TheAuthorsPromptsAreShownAsMeasured) {
    fs.AddFile(kOverride + "\\q.tga", "q", Attributes{.readOnly = true});
    fs.AddFile(kOverride + "\\e.tga", "e");
    fs.AddFile(kOverride + "\\a.tga", "mod", Attributes{.readOnly = true});
    fs.AddFile(kOverride + "\\a.tga.original", "game", Attributes{.readOnly = true});
    d.QueuedDeletes = {{"override\\q.tga", "Delete \\b q\\b0 ?" + CRLF + "Really?", 4321}, {"override\\e.tga", "", 0}};
    d.QueuedRestores = {{"override\\a.tga", "Restore" + CRLF + "a?", 0}};
    RunConfirmed({0, -1, 0});
    EXPECT_EQ(ui.prompts.at(1).msgText, Paras({"Delete \\b q\\b0 ?", "Really?"}));
    EXPECT_EQ(d.QueuedDeletes[0].prompt, ui.prompts[1].msgText);  // rewritten in the description itself
    EXPECT_EQ(Shape(ui.prompts[1]), YesNo("Confirm Delete", 4321));
    EXPECT_EQ(ui.prompts[2].msgText, "");  // an empty prompt block is still shown
    EXPECT_EQ(ui.prompts[2].formatWidth, 6000);
    EXPECT_EQ(d.QueuedDeletes[1].width, 6000);  // no width: the default, in the description too
    EXPECT_EQ(ui.prompts[3].msgText, Paras({"Restore", "a?"}));
    EXPECT_EQ(d.QueuedRestores[0].prompt, ui.prompts[3].msgText);
    EXPECT_EQ(Shape(ui.prompts[3]), YesNo("Confirm Restore", 6000));
    EXPECT_EQ(d.QueuedRestores[0].width, 6000);
    // Read-only files are deleted and replaced all the same; closing a prompt keeps the file.
    EXPECT_EQ(GameFiles(), (Files{{kOverride + "\\e.tga", "e"}, {kOverride + "\\a.tga", "game"}}));
    EXPECT_TRUE(Logged(R"(\cf1 QDeleteFile: \cf5 User chose not to delete Override\\e.tga\par)"));
}

// --- confinement ---

using Confinement = RemovalRunTest;

// A restore is refused also when only the .original leads out.
TEST_F(Confinement, EveryPhaseRefusesEntriesThatLeadOutWithoutAPrompt) {
    fs.AddFile("C:\\Games\\precious.sav", "mine");
    fs.AddFile(kSaves + "\\save.sav", "hours of play");
    fs.AddLink(kOverride + "\\{Linked}", kSaves);
    fs.AddLink(kOverride + "\\evil.tga", kSaves + "\\save.sav");
    fs.AddFile(kOverride + "\\evil.tga.original", "game");
    fs.AddFile(kOverride + "\\mod.tga", "mod");
    fs.AddLink(kOverride + "\\mod.tga.original", kSaves + "\\save.sav");
    SetFileList({"override\\..\\..\\precious.sav", "override\\{Linked}\\save.sav", "override\\evil.tga"});
    d.QueuedDeletes = {{"override\\evil.tga", "Delete?", 0}, {"override\\CON", "Delete?", 0}};
    d.QueuedRestores = {{"override\\evil.tga", "Restore?", 0}, {"override\\mod.tga", "Restore?", 0}};
    const Files before = GameFiles();
    const RunResult result = RunConfirmed();
    EXPECT_TRUE(Logged(kRefused + R"(Override\\..\\..\\precious.sav)" + kEnd + kRefused +
                       R"(Override\\\{linked\}\\save.sav)" + kEnd + kRefused + R"(Override\\evil.tga)" + kEnd +
                       Blank(3) + qd + kRefused + R"(Override\\evil.tga)" + kEnd + qd +
                       R"(\cf10 Refused (not a plain file name): \cf1 Override\\CON)" + kEnd + qr + kRefused +
                       R"(Override\\evil.tga)" + kEnd + qr + kRefused + R"(Override\\mod.tga)" + kEnd));
    EXPECT_EQ(result.failureCount, 7);
    EXPECT_EQ(GameFiles(), before);
    EXPECT_EQ(ui.prompts.size(), 1u) << "only the confirmation was asked";
}

Files Outside(const MemoryFileSystem& disk) {
    Files files;
    for (const auto& [path, bytes] : disk.Snapshot()) {
        if (!path.starts_with(kGame + "\\") && !path.starts_with(kProgram + "\\")) files.emplace(path, bytes);
    }
    return files;
}
// The player's files outside the game and program folders, and a backup to restore.
Files AddOutsideAndBackup(World& w) {
    w.fs.AddFile(kSaves + "\\sub\\appearance.2da", "the player's");
    w.fs.AddFile(kSaves + "\\profile", "the player's start-up file", Attributes{.readOnly = true});
    w.fs.AddFolder(kSaves + "\\folder");
    w.WithBackup();
    return Outside(w.fs);
}
// Nothing outside changed, and the backup is still somewhere.
void CheckOutsideUnchanged(const World& w, const Files& before) {
    EXPECT_EQ(w.fs.Roots(), (std::vector<std::string>{kGame, kProgram}));
    EXPECT_EQ(Outside(w.fs), before);
    EXPECT_TRUE(w.fs.AttributesOf(kSaves + "\\profile")->readOnly);
    bool backup = false;
    for (const auto& [path, bytes] : w.fs.Snapshot()) backup = backup || bytes == "backup table";
    EXPECT_TRUE(backup);
}

// What leads out of the game folder through a link is refused before anything is asked or changed,
// and the K2 search does not look behind folder links; override\sub, swapped for a link to D:\Saves
// while the prompt (or dialog) with this title is open, is refused at the change.
TEST_F(Confinement, TablesBehindLinksAndFoldersSwappedWhileAPromptIsOpen) {
    const struct {
        std::string title;
        std::function<void(World&)> setup;
        std::vector<int> answers;
        std::string line;
        int failures;
    } cases[] = {
        {"",
         [](World& w) { w.fs.AddLink(kInOverride, kSaves + "\\sub\\appearance.2da"); },
         {},
         kQ + kRefused + R"(Override\\appearance.2da\cf1\par)",
         1},
        {"",
         [](World& w) { w.fs.AddLink(kOverride + "\\tables", kSaves + "\\sub"); },
         {1},
         kQ + R"(\cf4 No 2das found in override. \cf1 appearance.2da\cf4  not restored.)",
         0},
        {kTitle,
         [](World& w) { w.fs.AddFile(kInSub, "the table in use"); },
         {0},
         NotRestored(R"(Override\\Sub\\ cannot take the backup: Refused (outside the game and program folders), so )"
                     R"(nothing was changed)"),
         1},
        {"Locate appearance.2da",
         [](World& w) {
             w.fs.AddFile(kOverride + "\\first\\appearance.2da", "first found");
             w.fs.AddFile(kInSub, "chosen");
             w.ui.openFileAnswers = {kInSub};
         },
         {1},
         kQ + kRefused + R"(Override\\Sub\\appearance.2da\cf1\par)",
         1},  // "No": locate it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        World w;
        const Files before = AddOutsideAndBackup(w);
        c.setup(w);
        const auto swap = [&w](const std::string& title, const std::string& shown) {
            if (title == shown) w.fs.ReplaceWithLink(kOverride + "\\sub", kSaves + "\\sub");
        };
        w.ui.whilePromptOpen = [&](const PromptRequest& p) { swap(c.title, p.msgTitle); };
        w.ui.whileOpenFileDialogOpen = [&](const OpenFileRequest& r) { swap(c.title, r.title); };
        const RunResult result = w.RunConfirmed(c.answers);
        EXPECT_TRUE(w.Logged(c.line));
        EXPECT_EQ(result.failureCount, c.failures);
        CheckOutsideUnchanged(w, before);
    }
}

// Backup Uninstall, or files in it, linked outside, to the backup folder or to override.
TEST_F(Confinement, LinksInBackupUninstallLoseNoTableAndWriteNothingOutside) {
    const std::vector<std::pair<std::string, std::string>> cases[] = {
        {{kBu, kProgram + "\\backup"}},
        {{kBu, kOverride}},
        {{kBu, kSaves + "\\folder"}},
        {{kBu + "\\appearance.2da", kSaves + "\\sub\\appearance.2da"}, {kSafety, kSaves + "\\profile"}},
    };
    for (const auto& links : cases) {
        World w;
        const Files before = AddOutsideAndBackup(w);
        w.fs.AddFile(kInOverride, "the table in use");
        for (const auto& [link, target] : links) w.fs.AddLink(link, target);
        EXPECT_GE(w.RunConfirmed({0}).failureCount, 1);
        EXPECT_EQ(w.fs.Contents(kBackup), "backup table") << links[0].second;
        EXPECT_EQ(w.fs.Contents(kInOverride), "the table in use") << links[0].second;
        CheckOutsideUnchanged(w, before);
    }
}

}  // namespace
}  // namespace zelvane::testing
