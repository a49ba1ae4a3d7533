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
const std::string kNotPlain = R"(\cf10 Refused (not a plain file name): \cf1 )";
const std::string kOutsideRefused = R"(\cf10 Refused (outside the game and program folders): \cf1 )";

class PathSafety : public RemovalRunTest {
protected:
    PathSafety() {
        fs.AddFile("C:\\Games\\precious.sav", "mine");
        fs.AddFile(kSaves + "\\save.sav", "hours of play");
        fs.AddLink(kOverride + "\\{Linked}", kSaves);
        fs.AddLink(kOverride + "\\evil.tga", kSaves + "\\save.sav");
    }
};

// Each phase refuses, before it asks, an entry that leads out by name or through a link, or that
// is no plain file name; a restore also when only the .original leads out (it would delete the
// mod's file and move the player's save into the game).
TEST_F(PathSafety, EveryPhaseRefusesEntriesThatLeadOutWithoutAPrompt) {
    fs.AddFile(kOverride + "\\evil.tga.original", "game");
    fs.AddFile(kOverride + "\\mod.tga", "mod");
    fs.AddLink(kOverride + "\\mod.tga.original", kSaves + "\\save.sav");
    SetFileList({"override\\..\\..\\precious.sav", "override\\{Linked}\\save.sav", "override\\evil.tga"});
    d.QueuedDeletes = {{"override\\evil.tga", "Delete?", 0}, {"override\\CON", "Delete?", 0}};
    d.QueuedRestores = {{"override\\evil.tga", "Restore?", 0}, {"override\\mod.tga", "Restore?", 0}};
    const auto before = GameFiles();
    const RunResult result = RunConfirmed();
    const std::string qd = R"(\cf1 QDeleteFile: )";
    const std::string qr = R"(\cf1 QRestoreFile: )";
    EXPECT_TRUE(Logged(kRefused + R"(Override\\..\\..\\precious.sav\cf1\par)" + CRLF + kRefused +
                       R"(Override\\\{linked\}\\save.sav\cf1\par)" + CRLF + kRefused + R"(Override\\evil.tga\cf1\par)" +
                       CRLF + kNoBanner + qd + kRefused + R"(Override\\evil.tga\cf1\par)" + CRLF + qd + kNotPlain +
                       R"(Override\\CON\cf1\par)" + CRLF + qr + kRefused + R"(Override\\evil.tga\cf1\par)" + CRLF + qr +
                       kRefused + R"(Override\\mod.tga\cf1\par)"));
    EXPECT_EQ(result.failureCount, 7);
    EXPECT_EQ(GameFiles(), before);
    EXPECT_EQ(ui.prompts.size(), 1u) << "only the confirmation was asked";
}

// The subfolder search does not follow folder links: what lies behind one is not the game's, and
// one back up the tree would make the search go round for ever. Links that stay inside are followed.
TEST_F(PathSafety, TheSubfolderSearchAndFolderLinks) {
    fs.AddLink(kOverride + "\\loop", kOverride);
    fs.AddLink(kOverride + "\\up", kGame);
    fs.AddFile(kGame + "\\textures\\a.tga", "a");
    fs.AddLink(kOverride + "\\textures", kGame + "\\textures");
    SetFileList({"override\\save.sav", "override\\nowhere.tga", "override\\textures\\a.tga"});
    const RunResult result = RunConfirmed();
    EXPECT_EQ(result.failureCount, 0);
    EXPECT_EQ(result.notFoundCount, 2);
    EXPECT_EQ(ui.prompts.size(), 1u);
    EXPECT_TRUE(Logged(Deleted(R"(Override\\Textures\\a.tga)")));
    EXPECT_FALSE(fs.Exists(kGame + "\\textures\\a.tga"));
    EXPECT_EQ(fs.Contents(kSaves + "\\save.sav"), "hours of play");
}

// The 2da restore: a table in use, an override or a located table that leads out is refused
// before anything is asked or changed; the K2 search does not look behind folder links.
TEST_F(PathSafety, TheTableInUseMustLieInTheGameFolder) {
    const std::string tables = "E:\\Tables";
    const struct {
        int game;
        std::function<void(MemoryFileSystem&)> setup;
        std::vector<int> answers;
        std::string shown;  // the refused table, "" = none found
    } cases[] = {
        {2,
         [&](MemoryFileSystem& disk) { disk.AddLink(kInOverride, tables + "\\appearance.2da"); },
         {},
         R"(Override\\appearance.2da)"},
        {2,
         [&](MemoryFileSystem& disk) {
             disk.AddFile(kInSub, "first found");
             disk.AddLink(kOverride + "\\chosen\\appearance.2da", tables + "\\appearance.2da");
         },
         {1},
         R"(Override\\Chosen\\appearance.2da)"},  // "No": locate it
        {2, [&](MemoryFileSystem& disk) { disk.AddLink(kOverride + "\\tables", tables); }, {1}, ""},
    };
    for (const auto& c : cases) {
        MemoryFileSystem disk;
        disk.AddFile(kIniPath, "#file_list\r\n");
        disk.AddFile(kGame + "\\dialog.tlk", "TLK V3.0");
        disk.AddFolder(kOverride);
        disk.AddFile(kBackup, "backup table");
        disk.AddFile(tables + "\\appearance.2da", "the player's own table");
        c.setup(disk);
        const auto before = disk.Snapshot();
        ScriptedUi seen;
        seen.promptAnswers = {0};
        seen.promptAnswers.insert(seen.promptAnswers.end(), c.answers.begin(), c.answers.end());
        seen.openFileAnswers = {kOverride + "\\chosen\\appearance.2da"};
        UninstallDescription description = d;
        description.Restore2da = true;
        description.Backup2daAvailable = true;
        description.Backup2daFiles = {kBackup};
        description.Game = c.game;
        RunContext context{disk, registry, seen, browser, kProgram};
        const RunResult result = RunRemoval(description, context);
        EXPECT_EQ(seen.prompts.size(), 1 + c.answers.size()) << c.shown;
        EXPECT_EQ(disk.Contents(tables + "\\appearance.2da"), "the player's own table");
        auto after = disk.Snapshot();
        after.erase(kResultsPath);
        EXPECT_EQ(after, before) << c.shown;
        if (c.shown.empty()) continue;
        EXPECT_NE(result.log.find(kQ + kRefused + c.shown + R"(\cf1\par)"), std::string::npos) << result.log;
        EXPECT_EQ(result.failureCount, 1);
    }
}

// --- the file system's own check at the moment of each change ---

class Confinement : public RemovalRunTest {
protected:
    Confinement() {
        for (const char* name : {"\\x.tga", "\\q.tga", "\\r.tga", "\\r.tga.original", "\\appearance.2da"})
            fs.AddFile(kSaves + "\\sub" + name, "the player's");
        fs.AddFile(kSaves + "\\profile", "the player's start-up file", Attributes{.readOnly = true});
        before = Outside();
    }
    // Everything outside the game and program folders.
    std::map<std::string, std::string> Outside() const {
        std::map<std::string, std::string> files;
        for (const auto& [path, bytes] : fs.Snapshot()) {
            if (!path.starts_with(kGame + "\\") && !path.starts_with(kProgram + "\\")) files.emplace(path, bytes);
        }
        return files;
    }
    // While the prompt with this title is open, the folder becomes a link to D:\Saves\sub.
    void SwapWhilePromptOpen(const std::string& title, const std::string& folder = kOverride + "\\sub") {
        ui.whilePromptOpen = [this, title, folder](const PromptRequest& request) {
            if (request.msgTitle == title) fs.ReplaceWithLink(folder, kSaves + "\\sub");
        };
    }
    void CheckOutsideUnchanged() {
        EXPECT_EQ(fs.Roots(), (std::vector<std::string>{kGame, kProgram}));
        EXPECT_EQ(Outside(), before);
        EXPECT_TRUE(fs.AttributesOf(kSaves + "\\profile")->readOnly);
        bool backup = !d.Restore2da;  // no table is lost: the backup is still somewhere
        for (const auto& [path, bytes] : fs.Snapshot()) backup = backup || bytes == "backup table";
        EXPECT_TRUE(backup);
    }
    std::map<std::string, std::string> before;
};

struct Swapped {
    std::string name;
    std::string title;  // of the prompt during which override\sub becomes a link outside
    std::function<void(MemoryFileSystem&, UninstallDescription&)> setup;
    std::string line;
    int failures;
};

class SwappedWhileAsked : public Confinement, public ::testing::WithParamInterface<Swapped> {};

TEST_P(SwappedWhileAsked, ChangesThereAreRefused) {
    GetParam().setup(fs, d);
    SwapWhilePromptOpen(GetParam().title);
    const RunResult result = RunConfirmed({0});
    EXPECT_TRUE(Logged(GetParam().line));
    EXPECT_EQ(result.failureCount, GetParam().failures);
    CheckOutsideUnchanged();
}

INSTANTIATE_TEST_SUITE_P(
    Phases, SwappedWhileAsked,
    ::testing::Values(
        Swapped{"FileList", "Confirm Delete in Subfolder",
                [](MemoryFileSystem& disk, UninstallDescription&) {
                    disk.AddFile(kOverride + "\\sub\\x.tga", "the mod's x");
                    disk.AddFile(kIniPath, "#file_list\r\noverride\\x.tga\r\n");
                },
                kOutsideRefused + R"(Override\\Sub\\x.tga\cf1\par)", 1},
        Swapped{"QueuedDelete", "Confirm Delete",
                [](MemoryFileSystem& disk, UninstallDescription& d) {
                    disk.AddFile(kOverride + "\\sub\\q.tga", "the mod's q");
                    d.QueuedDeletes = {{"override\\sub\\q.tga", "Delete q?", 0}};
                },
                R"(\cf1 QDeleteFile: )" + kOutsideRefused + R"(Override\\Sub\\q.tga\par)", 1},
        Swapped{"QueuedRestore", "Confirm Restore",
                [](MemoryFileSystem& disk, UninstallDescription& d) {
                    disk.AddFile(kOverride + "\\sub\\r.tga", "the mod's r");
                    disk.AddFile(kOverride + "\\sub\\r.tga.original", "the game's r");
                    d.QueuedRestores = {{"override\\sub\\r.tga", "Restore r?", 0}};
                },
                R"(\cf1 QRestoreFile: )" + kOutsideRefused + R"(Override\\Sub\\r.tga\par)" + CRLF +
                    R"(\cf1 QRestoreFile: \cf10 Failure Renaming \cf1 Override\\Sub\\r.tga.original\cf10  to )"
                    R"(\cf1Override\\Sub\\r.tga - \cf7 Error: 75  Refused (outside the game and program folders)\par)",
                2},
        // Found out before anything of the sequence is made: nothing is copied aside either.
        Swapped{"Restore2da", kTitle,
                [](MemoryFileSystem& disk, UninstallDescription& d) {
                    d.Restore2da = true;
                    d.Backup2daAvailable = true;
                    d.Backup2daFiles = {kBackup};
                    disk.AddFile(kBackup, "backup table");
                    disk.AddFile(kInSub, "the table in use");
                },
                kQ + R"(\cf10 Backup not restored: \cf1 Backup\\appearance.2da\cf10  (Override\\Sub\\ cannot )"
                     R"(take the backup: Refused (outside the game and program folders), so nothing was changed))",
                1}),
    [](const auto& info) { return info.param.name; });

TEST_F(Confinement, ALocatedTableSwappedWhileTheDialogIsOpenChangesNothingOutside) {
    WithBackup();
    fs.AddFile(kInSub, "first found");
    fs.AddFile(kOverride + "\\chosen\\appearance.2da", "chosen");
    ui.openFileAnswers = {kOverride + "\\chosen\\appearance.2da"};
    ui.whileOpenFileDialogOpen = [this](const OpenFileRequest&) {
        fs.ReplaceWithLink(kOverride + "\\chosen", kSaves + "\\sub");
    };
    RunConfirmed({1});  // "No": locate it
    CheckOutsideUnchanged();
}

// Not only prompts: a folder swapped between two changes of the sequence (after the copy aside,
// before the delete of the table in use) is caught at the delete.
TEST_F(Confinement, AFolderSwappedBetweenTwoChangesIsCaughtAtTheSecond) {
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
    CheckOutsideUnchanged();
    EXPECT_TRUE(Logged(kQ + kOutsideRefused + R"(Override\\Sub\\appearance.2da\par)"));
}

// Links in the program folder: Backup Uninstall, or files in it, linked outside, to the backup
// folder or to override (replacing a file there would delete the very table it is meant to keep).
TEST_F(Confinement, LinksInBackupUninstallLoseNoTableAndWriteNothingOutside) {
    const std::string bu = kProgram + "\\Backup Uninstall";
    const std::vector<std::pair<std::string, std::string>> cases[] = {
        {{bu, kProgram + "\\backup"}},
        {{bu, kOverride}},
        {{bu, kSaves + "\\folder"}},
        {{bu + "\\appearance.2da", kSaves + "\\sub\\appearance.2da"},
         {bu + "\\original install backup.appearance.2da", kSaves + "\\profile"}},
    };
    for (const auto& links : cases) {
        MemoryFileSystem disk;
        disk.AddFile(kIniPath, "#game=2\r\n#file_list\r\n");
        disk.AddFile(kGame + "\\dialog.tlk", "TLK V3.0");
        disk.AddFile(kBackup, "backup table");
        disk.AddFile(kInOverride, "the table in use");
        disk.AddFile(kSaves + "\\profile", "the player's", Attributes{.readOnly = true});
        disk.AddFile(kSaves + "\\sub\\appearance.2da", "the player's");
        disk.AddFolder(kSaves + "\\folder");
        for (const auto& [link, target] : links) disk.AddLink(link, target);
        ScriptedUi seen;
        seen.promptAnswers = {0, 0};
        RunContext context{disk, registry, seen, browser, kProgram};
        UninstallDescription description = d;
        description.Restore2da = true;
        description.Backup2daAvailable = true;
        description.Backup2daFiles = {kBackup};
        const RunResult result = RunRemoval(description, context);
        EXPECT_EQ(disk.Contents(kBackup), "backup table") << links[0].second;
        EXPECT_EQ(disk.Contents(kInOverride), "the table in use") << links[0].second;
        EXPECT_EQ(disk.Contents(kSaves + "\\profile"), "the player's");
        EXPECT_EQ(disk.Contents(kSaves + "\\sub\\appearance.2da"), "the player's");
        EXPECT_TRUE(disk.AttributesOf(kSaves + "\\profile")->readOnly);
        EXPECT_FALSE(disk.Exists(kSaves + "\\folder\\appearance.2da"));
        EXPECT_GE(result.failureCount, 1);
    }
}

// A link to a file outside is not written through: the run fails. A link that leads nowhere holds
// the name as any other thing that is not a file does: the log goes beside it, nothing outside.
TEST_F(Confinement, AResultsDocumentLinkedOutsideIsNotWrittenThrough) {
    fs.AddLink(kResultsPath, kSaves + "\\profile");
    RunResult result = RunConfirmed();
    CheckOutsideUnchanged();
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Oops!");
    EXPECT_NE(ui.messages[0].text.find("Refused (outside the game and program folders)"), std::string::npos);
    EXPECT_TRUE(ui.shellOpened.empty());

    fs.ReplaceWithLink(kResultsPath, kSaves + "\\gone.rtf");
    result = RunConfirmed();
    CheckOutsideUnchanged();
    EXPECT_FALSE(fs.Exists(kSaves + "\\gone.rtf"));
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(result.logPath, kProgram + "\\uninstall\\removal_results-2.rtf");
}

// --- what the player does while a prompt is open is seen afterwards ---

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
    ASSERT_EQ(ui.prompts.size(), 3u);
    EXPECT_EQ(ui.prompts[2].msgText, FoundText(kInSubShown));
}

}  // namespace
}  // namespace zelvane::testing
