// Where a run may change the disk. The phases refuse paths that lead out of the game folder by name
// or through links; the file system, at the moment of each change, refuses whatever would land
// outside the game and program folders, also when a folder is swapped for a link while a prompt
// is open. What was refused is said in the log, counted as a failure, and never touched.

#include <map>
#include <string>
#include <vector>

#include "tests/removal/run_fixture.hpp"

namespace zelvane::testing {
namespace {

const std::string kRefused = R"(\cf10 Refused (outside the game folder): \cf1 )";
const std::string kOutsideRefused = R"(\cf10 Refused (outside the game and program folders): \cf1 )";
const std::string qd = R"(\cf1 QDeleteFile: )";
const std::string qr = R"(\cf1 QRestoreFile: )";

using PathSafety = RemovalRunTest;

// Each phase refuses, before it asks, an entry that leads out by name or through a link, or that
// is no plain file name; a restore also when only the .original leads out (it would delete the
// mod's file and move the player's save into the game).
TEST_F(PathSafety, EveryPhaseRefusesEntriesThatLeadOutWithoutAPrompt) {
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
    const std::string end = R"(\cf1\par)" + CRLF;
    EXPECT_TRUE(Logged(kRefused + R"(Override\\..\\..\\precious.sav)" + end + kRefused +
                       R"(Override\\\{linked\}\\save.sav)" + end + kRefused + R"(Override\\evil.tga)" + end + Blank(3) +
                       qd + kRefused + R"(Override\\evil.tga)" + end + qd +
                       R"(\cf10 Refused (not a plain file name): \cf1 Override\\CON)" + end + qr + kRefused +
                       R"(Override\\evil.tga)" + end + qr + kRefused + R"(Override\\mod.tga)" + end));
    EXPECT_EQ(result.failureCount, 7);
    EXPECT_EQ(GameFiles(), before);
    EXPECT_EQ(ui.prompts.size(), 1u) << "only the confirmation was asked";
}

// The 2da restore: a table in use, an override or a located table that leads out is refused
// before anything is asked or changed; the K2 search does not look behind folder links.
TEST_F(PathSafety, TheTableInUseMustLieInTheGameFolder) {
    const std::string tables = "E:\\Tables\\appearance.2da";
    const struct {
        Files present;
        std::string link;
        std::vector<int> answers;
        std::string shown;  // the refused table, "" = none found
    } cases[] = {
        {{}, kInOverride, {}, R"(Override\\appearance.2da)"},
        {{{kInSub, "first found"}}, kOverride + "\\chosen\\appearance.2da", {1}, R"(Override\\Chosen\\appearance.2da)"},
        {{}, kOverride + "\\tables", {1}, ""},  // the search does not go there
    };
    for (const auto& c : cases) {
        World w;
        w.WithBackup();
        w.fs.AddFile(tables, "the player's own table");
        for (const auto& [path, bytes] : c.present) w.fs.AddFile(path, bytes);
        w.fs.AddLink(c.link, c.shown.empty() ? "E:\\Tables" : tables);
        w.ui.openFileAnswers = {kOverride + "\\chosen\\appearance.2da"};
        const Files before = w.GameFiles();
        const RunResult result = w.RunConfirmed(c.answers);
        EXPECT_EQ(w.ui.prompts.size(), 1 + c.answers.size()) << c.shown;
        EXPECT_EQ(w.GameFiles(), before) << c.shown;
        EXPECT_EQ(result.failureCount, c.shown.empty() ? 0 : 1);
        EXPECT_TRUE(c.shown.empty() || w.SavedLog().find(kQ + kRefused + c.shown + R"(\cf1\par)") != std::string::npos);
    }
}

// --- the file system's own check at the moment of each change ---

// The player's files outside the game and program folders, to be left as they are.
void AddOutside(MemoryFileSystem& disk) {
    for (const char* name : {"\\x.tga", "\\q.tga", "\\r.tga", "\\r.tga.original", "\\appearance.2da"})
        disk.AddFile(kSaves + "\\sub" + name, "the player's");
    disk.AddFile(kSaves + "\\profile", "the player's start-up file", Attributes{.readOnly = true});
}
// Everything outside the game and program folders.
Files Outside(const MemoryFileSystem& disk) {
    Files files;
    for (const auto& [path, bytes] : disk.Snapshot()) {
        if (!path.starts_with(kGame + "\\") && !path.starts_with(kProgram + "\\")) files.emplace(path, bytes);
    }
    return files;
}
// Nothing outside changed, and no table is lost: the backup is still somewhere.
void CheckOutsideUnchanged(const World& w, const Files& before) {
    EXPECT_EQ(w.fs.Roots(), (std::vector<std::string>{kGame, kProgram}));
    EXPECT_EQ(Outside(w.fs), before);
    EXPECT_TRUE(w.fs.AttributesOf(kSaves + "\\profile")->readOnly);
    bool backup = !w.d.Restore2da;
    for (const auto& [path, bytes] : w.fs.Snapshot()) backup = backup || bytes == "backup table";
    EXPECT_TRUE(backup);
}

using Confinement = RemovalRunTest;

// override\sub becomes a link to D:\Saves\sub while the prompt (or dialog) with this title is open.
TEST_F(Confinement, AFolderSwappedWhileAPromptIsOpenIsRefusedAtTheChange) {
    const struct {
        std::string title;
        std::function<void(World&)> setup;
        std::string line;
        int failures, answer = 0;
    } cases[] = {
        {"Confirm Delete in Subfolder",
         [](World& w) {
             w.fs.AddFile(kOverride + "\\sub\\x.tga", "the mod's x");
             w.SetFileList({"override\\x.tga"});
         },
         kOutsideRefused + R"(Override\\Sub\\x.tga\cf1\par)", 1},
        {"Confirm Delete",
         [](World& w) {
             w.fs.AddFile(kOverride + "\\sub\\q.tga", "the mod's q");
             w.d.QueuedDeletes = {{"override\\sub\\q.tga", "Delete q?", 0}};
         },
         qd + kOutsideRefused + R"(Override\\Sub\\q.tga\par)", 1},
        {"Confirm Restore",
         [](World& w) {
             w.fs.AddFile(kOverride + "\\sub\\r.tga", "the mod's r");
             w.fs.AddFile(kOverride + "\\sub\\r.tga.original", "the game's r");
             w.d.QueuedRestores = {{"override\\sub\\r.tga", "Restore r?", 0}};
         },
         qr + kOutsideRefused + R"(Override\\Sub\\r.tga\par)" + CRLF +
             R"(\cf1 QRestoreFile: \cf10 Failure Renaming \cf1 Override\\Sub\\r.tga.original\cf10  to \cf1Override\\Sub\\r.tga - )"
             R"(\cf7 Error: 75  Refused (outside the game and program folders)\par)",
         2},
        // Found out before anything of the sequence is made: nothing is copied aside either.
        {kTitle,
         [](World& w) {
             w.WithBackup();
             w.fs.AddFile(kInSub, "the table in use");
         },
         kQ + R"(\cf10 Backup not restored: \cf1 Backup\\appearance.2da\cf10  (Override\\Sub\\ cannot )"
              R"(take the backup: Refused (outside the game and program folders), so nothing was changed))",
         1},
        {"Locate appearance.2da",
         [](World& w) {
             w.WithBackup();
             w.fs.AddFile(kOverride + "\\first\\appearance.2da", "first found");
             w.fs.AddFile(kInSub, "chosen");
             w.ui.openFileAnswers = {kInSub};
         },
         kQ + kRefused + R"(Override\\Sub\\appearance.2da\cf1\par)", 1, 1},  // "No": locate it
    };
    for (const auto& c : cases) {
        World w;
        AddOutside(w.fs);
        const Files before = Outside(w.fs);
        c.setup(w);
        const auto swap = [&w](const std::string& title, const std::string& shown) {
            if (title == shown) w.fs.ReplaceWithLink(kOverride + "\\sub", kSaves + "\\sub");
        };
        w.ui.whilePromptOpen = [&](const PromptRequest& p) { swap(c.title, p.msgTitle); };
        w.ui.whileOpenFileDialogOpen = [&](const OpenFileRequest& r) { swap(c.title, r.title); };
        const RunResult result = w.RunConfirmed({c.answer});
        EXPECT_TRUE(w.Logged(c.line));
        EXPECT_EQ(result.failureCount, c.failures) << c.title;
        CheckOutsideUnchanged(w, before);
    }
}

// Not only prompts: a folder swapped between two changes of the sequence (after the copy aside,
// before the delete of the table in use) is caught at the delete.
TEST_F(Confinement, AFolderSwappedBetweenTwoChangesIsCaughtAtTheSecond) {
    AddOutside(fs);
    const Files before = Outside(fs);
    WithBackup();
    fs.AddFile(kInSub, "the table in use");
    bool swapped = false;
    fs.OnMutation([&](std::uint64_t, FsOp op, std::string_view path) {
        if (!swapped && op == FsOp::SetAttributes && path.find("sub\\appearance.2da") != std::string_view::npos) {
            swapped = true;
            fs.ReplaceWithLink(kOverride + "\\sub", kSaves + "\\sub");
        }
    });
    EXPECT_GE(RunConfirmed({0}).failureCount, 1);
    EXPECT_TRUE(swapped);
    CheckOutsideUnchanged(*this, before);
    EXPECT_TRUE(Logged(kQ + kOutsideRefused + R"(Override\\Sub\\appearance.2da\par)"));
}

// Links in the program folder: Backup Uninstall, or files in it, linked outside, to the backup
// folder or to override (replacing a file there would delete the very table it is meant to keep).
TEST_F(Confinement, LinksInBackupUninstallLoseNoTableAndWriteNothingOutside) {
    const std::vector<std::pair<std::string, std::string>> cases[] = {
        {{kBu, kProgram + "\\backup"}},
        {{kBu, kOverride}},
        {{kBu, kSaves + "\\folder"}},
        {{kBu + "\\appearance.2da", kSaves + "\\sub\\appearance.2da"}, {kSafety, kSaves + "\\profile"}},
    };
    for (const auto& links : cases) {
        World w;
        AddOutside(w.fs);
        w.fs.AddFolder(kSaves + "\\folder");
        const Files before = Outside(w.fs);
        w.WithBackup();
        w.fs.AddFile(kInOverride, "the table in use");
        for (const auto& [link, target] : links) w.fs.AddLink(link, target);
        EXPECT_GE(w.RunConfirmed({0}).failureCount, 1);
        EXPECT_EQ(w.fs.Contents(kBackup), "backup table") << links[0].second;
        EXPECT_EQ(w.fs.Contents(kInOverride), "the table in use") << links[0].second;
        CheckOutsideUnchanged(w, before);
    }
}

// A link to a file outside is not written through: the run fails. A link that leads nowhere holds
// the name as any other thing that is not a file does: the log goes beside it, nothing outside.
TEST_F(Confinement, AResultsDocumentLinkedOutsideIsNotWrittenThrough) {
    AddOutside(fs);
    const Files before = Outside(fs);
    fs.AddLink(kResultsPath, kSaves + "\\profile");
    RunResult result = RunConfirmed();
    CheckOutsideUnchanged(*this, before);
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("Refused (outside the game and program folders)"), std::string::npos);
    EXPECT_TRUE(ui.shellOpened.empty());

    fs.ReplaceWithLink(kResultsPath, kSaves + "\\gone.rtf");
    result = RunConfirmed();
    CheckOutsideUnchanged(*this, before);
    EXPECT_EQ(result.logPath, kProgram + "\\uninstall\\removal_results-2.rtf");
}

// What the player does while a prompt is open is seen afterwards.
TEST_F(Confinement, AFileMovedIntoASubfolderWhileAPromptIsOpenIsFound) {
    WithBackup();
    fs.AddFile(kOverride + "\\sub\\a.tga", "the mod's a");
    fs.AddFile(kGame + "\\b.tga", "the mod's b, moved out of the way by the player");
    fs.AddFile(kGame + "\\appearance.2da", "the table in use, not yet in override");
    fs.AddFolder(kOverride + "\\later");
    SetFileList({"override\\a.tga", "override\\b.tga"});
    ui.whilePromptOpen = [this](const PromptRequest& request) {
        if (request.msgTitle != "Confirm Delete in Subfolder") return;
        ASSERT_EQ(fs.Rename(kGame + "\\b.tga", kOverride + "\\later\\b.tga"), FsStatus::Ok);
        ASSERT_EQ(fs.Rename(kGame + "\\appearance.2da", kInSub), FsStatus::Ok);
    };
    EXPECT_EQ(RunConfirmed({0, 2}).notFoundCount, 0);  // subfolder: Yes; the found table: Cancel
    EXPECT_TRUE(Logged(Deleted(R"(Override\\Later\\b.tga)")));
    EXPECT_FALSE(fs.Exists(kOverride + "\\later\\b.tga"));
    EXPECT_EQ(ui.prompts.at(2).msgText, FoundText(kInSubShown));
}

}  // namespace
}  // namespace zelvane::testing
