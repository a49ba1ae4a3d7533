// The file system, not the phases, is the authority on where a run may change the disk: links
// in the program folder, and folders swapped for links while a prompt is open, never lead a
// change outside the game and program folders. What was refused is said in the log.

#include <map>
#include <string>

#include "tests/removal/run_fixture.hpp"

namespace zelvane::testing {
namespace {

const std::string kSaves = "D:\\Saves";
const std::string kOutsideRefused = R"(\cf10 Refused (outside the game and program folders): \cf1 )";
const std::string kRefusedText = "Error: 75  Refused (outside the game and program folders)";

class Confinement : public RemovalRunTest {
protected:
    Confinement() {
        fs.AddFile(kSaves + "\\sub\\x.tga", "the player's x");
        fs.AddFile(kSaves + "\\sub\\q.tga", "the player's q");
        fs.AddFile(kSaves + "\\sub\\r.tga", "the player's r");
        fs.AddFile(kSaves + "\\sub\\r.tga.original", "the player's r.original");
        fs.AddFile(kSaves + "\\sub\\appearance.2da", "the player's table");
        fs.AddFile(kSaves + "\\profile", "the player's start-up file", Attributes{.readOnly = true});
    }
    // Everything outside the game and program folders.
    std::map<std::string, std::string> Outside() const {
        std::map<std::string, std::string> files;
        for (const auto& [path, bytes] : fs.Snapshot()) {
            if (path.rfind(kGame + "\\", 0) != 0 && path.rfind(kProgram + "\\", 0) != 0) files.emplace(path, bytes);
        }
        return files;
    }
    // While the prompt with this title is open, override\sub becomes a link to D:\Saves\sub.
    void SwapSubfolderWhilePromptOpen(const std::string& title) {
        ui.whilePromptOpen = [this, title](const PromptRequest& request) {
            if (request.msgTitle == title) fs.ReplaceWithLink(kOverride + "\\sub", kSaves + "\\sub");
        };
    }
    void CheckOutsideUnchanged(const std::map<std::string, std::string>& before) {
        EXPECT_EQ(Outside(), before);
        EXPECT_TRUE(fs.AttributesOf(kSaves + "\\profile")->readOnly);
    }
};

TEST_F(Confinement, TheRunConfinesChangesToTheGameAndProgramFolders) {
    RunConfirmed();
    EXPECT_EQ(fs.Roots(), (std::vector<std::string>{kGame, kProgram}));
}

// --- a folder on the way swapped for a link while the prompt is open ---

TEST_F(Confinement, SubfolderDeleteAfterASwapIsRefused) {
    fs.AddFile(kOverride + "\\sub\\x.tga", "the mod's x");
    SetFileList({"override\\x.tga"});
    SwapSubfolderWhilePromptOpen("Confirm Delete in Subfolder");
    const auto before = Outside();
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kOutsideRefused + R"(Override\\Sub\\x.tga\cf1\par)" + CRLF + kNoBanner +
                              ExpectedTotals(1, 0));
    EXPECT_EQ(result.failureCount, 1);
    CheckOutsideUnchanged(before);
}

TEST_F(Confinement, QueuedDeleteAfterASwapIsRefused) {
    fs.AddFile(kOverride + "\\sub\\q.tga", "the mod's q");
    d.QueuedDeletes = {{"override\\sub\\q.tga", "Delete q?", 0}};
    SwapSubfolderWhilePromptOpen("Confirm Delete");
    const auto before = Outside();
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + R"(\cf1 QDeleteFile: )" + kOutsideRefused +
                              R"(Override\\Sub\\q.tga\par)" + CRLF + ExpectedTotals(1, 0));
    EXPECT_EQ(result.failureCount, 1);
    CheckOutsideUnchanged(before);
}

TEST_F(Confinement, QueuedRestoreAfterASwapIsRefused) {
    fs.AddFile(kOverride + "\\sub\\r.tga", "the mod's r");
    fs.AddFile(kOverride + "\\sub\\r.tga.original", "the game's r");
    d.QueuedRestores = {{"override\\sub\\r.tga", "Restore r?", 0}};
    SwapSubfolderWhilePromptOpen("Confirm Restore");
    const auto before = Outside();
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + R"(\cf1 QRestoreFile: )" + kOutsideRefused +
                              R"(Override\\Sub\\r.tga\par)" + CRLF +
                              R"(\cf1 QRestoreFile: \cf10 Failure Renaming \cf1 Override\\Sub\\r.tga.original)"
                              R"(\cf10  to \cf1Override\\Sub\\r.tga - \cf7 )" +
                              kRefusedText + R"(\par)" + CRLF + ExpectedTotals(2, 0));
    EXPECT_EQ(result.failureCount, 2);
    CheckOutsideUnchanged(before);
}

class Confinement2da : public Confinement {
protected:
    Confinement2da() {
        d.Restore2da = true;
        d.Backup2daAvailable = true;
        d.Backup2daFiles = {kBackup};
        fs.AddFile(kBackup, "backup table");
    }
    // No table is lost: the backup and the table in use are each still somewhere.
    void CheckNoTableLost() {
        bool backup = false;
        for (const auto& [path, bytes] : fs.Snapshot()) backup = backup || bytes == "backup table";
        EXPECT_TRUE(backup);
    }
    const std::string kBackup = kProgram + "\\backup\\appearance.2da";
};

TEST_F(Confinement2da, AReplacementInASubfolderSwappedWhileThePromptIsOpenChangesNothingOutside) {
    fs.AddFile(kOverride + "\\sub\\appearance.2da", "the table in use");
    SwapSubfolderWhilePromptOpen("Confirm appearance.2da replacement");
    const auto before = Outside();
    const RunResult result = RunConfirmed({0});
    CheckOutsideUnchanged(before);
    CheckNoTableLost();
    // Found out before anything of the sequence is made: nothing is copied aside either.
    EXPECT_NE(SavedLog().find(R"(\cf1 QRestore2da: \cf10 Backup not restored: \cf1 Backup\\appearance.2da\cf10  )"
                              R"((Override\\Sub\\ cannot take the backup: Refused (outside the game and program )"
                              R"(folders), so nothing was changed)\cf1\par)"),
              std::string::npos)
        << SavedLog();
    EXPECT_EQ(result.failureCount, 1);
}

TEST_F(Confinement2da, AnOverrideSwappedWhileThePromptIsOpenReceivesNothingOutside) {
    fs.AddFile(kOverride + "\\appearance.2da", "the table in use");
    ui.whilePromptOpen = [this](const PromptRequest& request) {
        if (request.msgTitle == "Confirm appearance.2da replacement") fs.ReplaceWithLink(kOverride, kSaves + "\\sub");
    };
    const auto before = Outside();
    const RunResult result = RunConfirmed({0});
    CheckOutsideUnchanged(before);
    CheckNoTableLost();
    // The table in use is not deleted there, and the backup, which now crosses into another
    // volume, is not copied onto the player's file of that name.
    EXPECT_NE(SavedLog().find(R"(\cf1 QRestore2da: \cf10 Backup not restored: \cf1 Backup\\appearance.2da\cf10  )"
                              R"((Override\\ cannot take the backup: Refused (outside the game and program folders), )"
                              R"(so nothing was changed)\cf1\par)"),
              std::string::npos)
        << SavedLog();
    EXPECT_EQ(result.failureCount, 1);
}

TEST_F(Confinement2da, ALocatedTableSwappedWhileTheDialogIsOpenChangesNothingOutside) {
    fs.AddFile(kOverride + "\\sub\\appearance.2da", "first found");
    fs.AddFile(kOverride + "\\chosen\\appearance.2da", "chosen");
    ui.openFileAnswers = {kOverride + "\\chosen\\appearance.2da"};
    ui.whileOpenFileDialogOpen = [this](const OpenFileRequest&) {
        fs.ReplaceWithLink(kOverride + "\\chosen", kSaves + "\\sub");
    };
    const auto before = Outside();
    RunConfirmed({1});  // "No": locate it
    CheckOutsideUnchanged(before);
    CheckNoTableLost();
}

// Not only prompts: a folder swapped between two changes of the sequence (after the copy aside,
// before the delete of R4) is caught at the delete.
TEST_F(Confinement2da, AFolderSwappedBetweenTwoChangesIsCaughtAtTheSecond) {
    fs.AddFile(kOverride + "\\sub\\appearance.2da", "the table in use");
    bool swapped = false;
    fs.OnMutation([&](std::uint64_t, FsOp op, std::string_view path) {
        if (!swapped && op == FsOp::SetAttributes && path.find("sub\\appearance.2da") != std::string_view::npos) {
            swapped = true;
            fs.ReplaceWithLink(kOverride + "\\sub", kSaves + "\\sub");
        }
    });
    const auto before = Outside();
    const RunResult result = RunConfirmed({0});
    EXPECT_TRUE(swapped);
    CheckOutsideUnchanged(before);
    CheckNoTableLost();
    EXPECT_NE(SavedLog().find(R"(\cf1 QRestore2da: )" + kOutsideRefused + R"(Override\\Sub\\appearance.2da\par)"),
              std::string::npos)
        << SavedLog();
    EXPECT_GE(result.failureCount, 1);
}

// --- links in the program folder ---

// A link that stays inside the program folder can still make Backup Uninstall the backup folder,
// or override: replacing a file there would delete the very table it is meant to keep.
TEST_F(Confinement2da, ABackupUninstallThatIsTheBackupFolderOrOverrideLosesNoTable) {
    for (const std::string& target : {kProgram + "\\backup", kOverride}) {
        MemoryFileSystem disk;
        disk.AddFile(kIniPath, "#game=2\r\n#file_list\r\n");
        disk.AddFile(kGame + "\\dialog.tlk", "TLK V3.0");
        disk.AddFile(kBackup, "backup table");
        disk.AddFile(kOverride + "\\appearance.2da", "the table in use");
        disk.AddLink(kProgram + "\\Backup Uninstall", target);
        ScriptedUi seen;
        seen.promptAnswers = {0, 0};
        RunContext context{disk, registry, seen, browser, programFolder};
        UninstallDescription copy = d;
        const RunResult result = RunRemoval(copy, context);
        EXPECT_EQ(disk.Contents(kBackup), "backup table") << target;
        EXPECT_EQ(disk.Contents(kOverride + "\\appearance.2da"), "the table in use") << target;
        // Linked to the backup folder, Backup Uninstall would be the backup itself; linked to
        // override, the table in use lies in the program's own folders. Either way nothing moves.
        const bool aliased =
            result.log.find(R"(\cf1 QRestore2da: \cf10 Backup not restored: \cf1 Backup\\appearance.2da)"
                            R"(\cf10  (Backup Uninstall leads to the backup or the table in use)\cf1\par)") !=
            std::string::npos;
        const bool inProgram =
            result.log.find(R"(\cf1 QRestore2da: \cf10 Backup not restored: \cf1 Backup\\appearance.2da)"
                            R"(\cf10  (the file in use leads into the program's own folders, so nothing )"
                            R"(was changed)\cf1\par)") != std::string::npos;
        EXPECT_TRUE(aliased || inProgram) << result.log;
        EXPECT_EQ(result.failureCount, 1);
    }
}

TEST_F(Confinement2da, FilesInBackupUninstallLinkedOutsideAreNeverWrittenThrough) {
    fs.AddFile(kOverride + "\\appearance.2da", "the table in use");
    fs.AddLink(kProgram + "\\Backup Uninstall\\appearance.2da", kSaves + "\\sub\\appearance.2da");
    fs.AddLink(kProgram + "\\Backup Uninstall\\original install backup.appearance.2da", kSaves + "\\profile");
    const auto before = Outside();
    const RunResult result = RunConfirmed({0});
    CheckOutsideUnchanged(before);
    CheckNoTableLost();
    EXPECT_EQ(fs.Contents(kOverride + "\\appearance.2da"), "the table in use") << SavedLog();
    EXPECT_NE(SavedLog().find(kOutsideRefused + R"(Backup Uninstall\\appearance.2da)"), std::string::npos)
        << SavedLog();
    EXPECT_GE(result.failureCount, 1);
}

TEST_F(Confinement2da, ABackupUninstallFolderLinkedOutsideReceivesNothing) {
    fs.AddFile(kOverride + "\\appearance.2da", "the table in use");
    fs.AddFolder(kSaves + "\\folder");
    fs.AddLink(kProgram + "\\Backup Uninstall", kSaves + "\\folder");
    const auto before = Outside();
    RunConfirmed({0});
    CheckOutsideUnchanged(before);
    CheckNoTableLost();
    EXPECT_EQ(fs.Contents(kOverride + "\\appearance.2da"), "the table in use") << SavedLog();
}

// A link to a file outside is not written through: the run fails. A link that leads nowhere holds
// the name as any other thing that is not a file does: the log goes beside it, nothing outside.
TEST_F(Confinement, AResultsDocumentLinkedOutsideIsNotWrittenThrough) {
    for (const std::string& target : {kSaves + "\\profile", kSaves + "\\gone.rtf"}) {  // read-only, and dangling
        MemoryFileSystem disk;
        disk.AddFile(kIniPath, "#game=2\r\n#file_list\r\n");
        disk.AddFile(kGame + "\\dialog.tlk", "TLK V3.0");
        disk.AddFile(kSaves + "\\profile", "the player's start-up file", Attributes{.readOnly = true});
        disk.AddLink(kResultsPath, target);
        auto expected = disk.Snapshot();
        ScriptedUi seen;
        seen.promptAnswers = {0};
        RunContext context{disk, registry, seen, browser, programFolder};
        UninstallDescription copy = d;
        const RunResult result = RunRemoval(copy, context);
        EXPECT_TRUE(disk.AttributesOf(kSaves + "\\profile")->readOnly);
        EXPECT_FALSE(disk.Exists(kSaves + "\\gone.rtf"));
        if (target.ends_with("gone.rtf")) {
            const std::string beside = kProgram + "\\uninstall\\removal_results-2.rtf";
            EXPECT_EQ(result.outcome, RunOutcome::Completed);
            EXPECT_EQ(result.logPath, beside);
            expected[beside] = result.log;
            EXPECT_EQ(disk.Snapshot(), expected);
            continue;
        }
        EXPECT_NE(result.outcome, RunOutcome::Completed) << target;
        EXPECT_EQ(disk.Snapshot(), expected) << target;
        ASSERT_FALSE(seen.messages.empty());
        EXPECT_EQ(seen.messages.back().title, "Oops!");
        EXPECT_NE(seen.messages.back().text.find("Refused (outside the game and program folders)"), std::string::npos);
        EXPECT_TRUE(seen.shellOpened.empty());
    }
}

// --- what the player does while a prompt is open is seen afterwards ---

TEST_F(Confinement, AFileMovedIntoASubfolderWhileAPromptIsOpenIsFound) {
    fs.AddFile(kOverride + "\\sub\\a.tga", "the mod's a");
    fs.AddFile(kGame + "\\b.tga", "the mod's b, moved out of the way by the player");
    fs.AddFolder(kOverride + "\\later");
    SetFileList({"override\\a.tga", "override\\b.tga"});
    ui.whilePromptOpen = [this](const PromptRequest& request) {
        if (request.msgTitle == "Confirm Delete in Subfolder") {
            ASSERT_EQ(fs.Rename(kGame + "\\b.tga", kOverride + "\\later\\b.tga"), FsStatus::Ok);
        }
    };
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + Deleted(R"(Override\\Sub\\a.tga)") + R"(\cf1\par)" + CRLF +
                              Deleted(R"(Override\\Later\\b.tga)") + R"(\cf1\par)" + CRLF + kBanner +
                              ExpectedTotals(0, 0));
    EXPECT_EQ(result.notFoundCount, 0);
    EXPECT_FALSE(fs.Exists(kOverride + "\\later\\b.tga"));
}

TEST_F(Confinement, AFileMovedIntoASubfolderWhileAQueuedDeletePromptIsOpenIsFoundByThe2daSearch) {
    d.Restore2da = true;
    d.Backup2daAvailable = true;
    d.Backup2daFiles = {kProgram + "\\backup\\appearance.2da"};
    fs.AddFile(kProgram + "\\backup\\appearance.2da", "backup table");
    fs.AddFile(kOverride + "\\q.tga", "q");
    fs.AddFile(kOverride + "\\sub\\x.tga", "x");  // the first search builds the index
    fs.AddFile(kGame + "\\appearance.2da", "the table in use, not yet in override");
    SetFileList({"override\\x.tga"});
    d.QueuedDeletes = {{"override\\q.tga", "Delete q?", 0}};
    ui.whilePromptOpen = [this](const PromptRequest& request) {
        if (request.msgTitle == "Confirm Delete") {
            ASSERT_EQ(fs.Rename(kGame + "\\appearance.2da", kOverride + "\\sub\\appearance.2da"), FsStatus::Ok);
        }
    };
    RunConfirmed({0, 0, 2});  // subfolder: Yes; q: Yes; the found table: Cancel
    ASSERT_EQ(ui.prompts.size(), 4u);
    EXPECT_NE(ui.prompts[3].msgText.find(R"(C:\\Games\\Kotor\\override\\sub\\appearance.2da)"), std::string::npos)
        << ui.prompts[3].msgText;
}

}  // namespace
}  // namespace zelvane::testing
