// Where a run may change the disk: what leads out of the game folder by name or through links is
// refused, also when a folder is swapped for a link while a prompt is open.

#include "tests/removal/run_fixture.hpp"

namespace zelvane::testing {
namespace {

const std::string kRefused = R"(\cf10 Refused (outside the game folder): \cf1 )";
const std::string kOutsideRefused = R"(\cf10 Refused (outside the game and program folders): \cf1 )";
const std::string qd = R"(\cf1 QDeleteFile: )";
const std::string qr = R"(\cf1 QRestoreFile: )";

using PathSafety = RemovalRunTest;

// A restore is refused also when only the .original leads out.
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

// The player's files outside the game and program folders.
void AddOutside(MemoryFileSystem& disk) {
    for (const char* name : {"\\x.tga", "\\q.tga", "\\r.tga", "\\r.tga.original", "\\appearance.2da"})
        disk.AddFile(kSaves + "\\sub" + name, "the player's");
    disk.AddFile(kSaves + "\\profile", "the player's start-up file", Attributes{.readOnly = true});
}
Files Outside(const MemoryFileSystem& disk) {
    Files files;
    for (const auto& [path, bytes] : disk.Snapshot()) {
        if (!path.starts_with(kGame + "\\") && !path.starts_with(kProgram + "\\")) files.emplace(path, bytes);
    }
    return files;
}
// Nothing outside changed, and the backup is still somewhere.
void CheckOutsideUnchanged(const World& w, const Files& before) {
    EXPECT_EQ(w.fs.Roots(), (std::vector<std::string>{kGame, kProgram}));
    EXPECT_EQ(Outside(w.fs), before);
    EXPECT_TRUE(w.fs.AttributesOf(kSaves + "\\profile")->readOnly);
    bool backup = !w.d.Restore2da;
    for (const auto& [path, bytes] : w.fs.Snapshot()) backup = backup || bytes == "backup table";
    EXPECT_TRUE(backup);
}

using Confinement = RemovalRunTest;

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
        {"Confirm Delete in Subfolder",
         [](World& w) {
             w.fs.AddFile(kOverride + "\\sub\\x.tga", "the mod's x");
             w.SetFileList({"override\\x.tga"});
         },
         {0, 1},
         kOutsideRefused + R"(Override\\Sub\\x.tga\cf1\par)",
         1},
        {"Confirm Restore",
         [](World& w) {
             w.fs.AddFile(kOverride + "\\sub\\r.tga", "the mod's r");
             w.fs.AddFile(kOverride + "\\sub\\r.tga.original", "the game's r");
             w.d.QueuedRestores = {{"override\\sub\\r.tga", "Restore r?", 0}};
         },
         {0, 1},
         qr + kOutsideRefused + R"(Override\\Sub\\r.tga\par)" + CRLF +
             R"(\cf1 QRestoreFile: \cf10 Failure Renaming \cf1 Override\\Sub\\r.tga.original\cf10  to \cf1Override\\Sub\\r.tga - )"
             R"(\cf7 Error: 75  Refused (outside the game and program folders)\par)",
         2},
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
        AddOutside(w.fs);
        const Files before = Outside(w.fs);
        w.WithBackup();
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

}  // namespace
}  // namespace zelvane::testing
