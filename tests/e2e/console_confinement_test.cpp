// End-to-end: zelvane-console changes nothing outside the game and program folders, whatever
// links a mod archive put into the program folder, and whatever folder on the way is swapped for
// a link while a prompt is open (after every check, before the answer).
//
// These runs rely on the host file system refusing, at the moment of each change, what leads out
// of the roots. Where the host file system of this build does not confine changes at all, they
// are skipped with that reason rather than run against it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/posix/posix_file_system.hpp"
#include "tests/e2e/e2e_support.hpp"
#include "tests/e2e/mod_install_test.hpp"

namespace zelvane::e2e {
namespace {

bool HostFileSystemConfines() {
    TempFolder temp;
    MakeFolders(temp.Path() + "/root");
    PosixFileSystem fs;
    fs.SetRoots({WindowsForm(temp.Path() + "/root")});
    return fs.WriteAll(WindowsForm(temp.Path() + "/outside.txt"), "x") == FsStatus::OutsideRoots;
}

class ConsoleConfinement : public ModInstallTest {
protected:
    void SetUp() override {
        if (!HostFileSystemConfines()) {
            GTEST_SKIP() << "the host file system of this build does not confine changes to the roots";
        }
        WriteFile(outside + "/profile", "the player's start-up file");
        SetMode(outside + "/profile", 0444);
        WriteFile(outside + "/sub/x.tga", "the player's x");
        WriteFile(outside + "/sub/q.tga", "the player's q");
        WriteFile(outside + "/sub/r.tga", "the player's r");
        WriteFile(outside + "/sub/r.tga.original", "the player's r.original");
        WriteFile(outside + "/sub/appearance.2da", "2DA V2.0 the player's own");
        Game("dialog.tlk", kTlk);
        MakeFolders(game + "/override");
        Registry(2);
    }
    void TearDown() override {
        if (Exists(outside + "/profile")) SetMode(outside + "/profile", 0644);
    }

    void Link(const std::string& target, const std::string& link) {
        MakeFolders(link.substr(0, link.rfind('/')));
        ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0) << link;
    }
    // override/sub becomes a link to the folder outside, as a player or another program may do.
    void SwapSubfolder() {
        ASSERT_EQ(std::rename((game + "/override/sub").c_str(), (game + "/override/sub.real").c_str()), 0);
        ASSERT_EQ(::symlink((outside + "/sub").c_str(), (game + "/override/sub").c_str()), 0);
    }
    std::vector<std::string> Arguments() const {
        return {"--no-open", "--program-folder", mod, "--registry", registryFile};
    }
    ConsoleRun RunAnswering(const std::vector<std::string>& answers) {
        Answers(answers);
        std::vector<std::string> args = Arguments();
        args.insert(args.end(), {"--answers", answersFile});
        return RunConsole(args);
    }
    // The confirmation, then the swap while the prompt with this title is open, then its answer.
    ConsoleRun RunSwappingDuring(const std::string& title, const std::string& answer = "0") {
        return RunConsoleFeedingSteps(Arguments(),
                                      {FeedStep{"Prompt: Confirm Remove Mod", {}, "0\n"},
                                       FeedStep{"Prompt: " + title, [this] { SwapSubfolder(); }, answer + "\n"}});
    }

    const std::string outside = temp.Path() + "/outside";
};

// --- links in the program folder ---

TEST_F(ConsoleConfinement, AWorkingCopyLinkedOutsideIsNeitherWrittenNorDeleted) {
    Description({"#game=2", "#file_list"});
    Link(outside + "/profile", mod + "/uninstall/uninstall_data20A.ini");
    const auto before = Snapshot(outside);
    const ConsoleRun run = RunAnswering({"1"});
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;  // the INI-error state
    EXPECT_NE(run.out.find("uninstall_data20A.ini was not written: the uninstall folder or that file leads outside "
                           "the program folder through a link."),
              std::string::npos)
        << run.out;
    EXPECT_EQ(Snapshot(outside), before);
}

TEST_F(ConsoleConfinement, AUsageDocumentLinkedOutsideIsNotWritten) {
    Description({"#game=2", "#file_list"});
    Link(outside + "/profile", mod + "/uninstall/Zelvane Usage.rtf");
    const auto before = Snapshot(outside);
    std::vector<std::string> args = Arguments();
    args.push_back("--usage");
    const ConsoleRun run = RunConsole(args);
    EXPECT_NE(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Zelvane Usage.rtf was not written"), std::string::npos) << run.out;
    EXPECT_EQ(Snapshot(outside), before);
}

TEST_F(ConsoleConfinement, AResultsDocumentLinkedOutsideIsNotWrittenThrough) {
    for (const std::string& target : {outside + "/profile", outside + "/gone.rtf"}) {  // read-only, and dangling
        Description({"#game=2", "#file_list"});
        ::unlink(logPath.c_str());
        Link(target, logPath);
        const auto before = Snapshot(outside);
        const ConsoleRun run = RunAnswering({"0"});
        EXPECT_EQ(Snapshot(outside), before) << target << run.out;
        EXPECT_FALSE(Exists(outside + "/gone.rtf"));
    }
}

TEST_F(ConsoleConfinement, FilesInBackupUninstallLinkedOutsideAreNeverWrittenThrough) {
    Description({"#game=2", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da", "#file_list"});
    WriteFile(mod + "/backup/appearance.2da", "2DA V2.0 backup");
    WriteFile(game + "/override/appearance.2da", "2DA V2.0 in use");
    Link(outside + "/sub/appearance.2da", mod + "/Backup Uninstall/appearance.2da");
    Link(outside + "/profile", mod + "/Backup Uninstall/original install backup.appearance.2da");
    const auto before = Snapshot(outside);
    const ConsoleRun run = RunAnswering({"0", "0"});
    EXPECT_EQ(Snapshot(outside), before) << run.out;
    // No table lost: the one in use and the backup are each still somewhere inside.
    const auto inside = Snapshot(temp.Path());
    bool inUse = false;
    bool backup = false;
    for (const auto& [path, bytes] : inside) {
        if (path.rfind("outside/", 0) == 0) continue;
        inUse = inUse || bytes == "2DA V2.0 in use";
        backup = backup || bytes == "2DA V2.0 backup";
    }
    EXPECT_TRUE(inUse);
    EXPECT_TRUE(backup);
}

// --- a folder on the way swapped for a link while the prompt is open ---

TEST_F(ConsoleConfinement, TheSubfolderDeleteAfterASwapChangesNothingOutside) {
    Description({"#game=2", "#file_list", "override\\x.tga"});
    WriteFile(game + "/override/sub/x.tga", "the mod's x");
    const auto before = Snapshot(outside);
    const ConsoleRun run = RunSwappingDuring("Confirm Delete in Subfolder");
    EXPECT_EQ(run.exitCode, 5) << run.out << run.err;  // refusals are counted errors
    EXPECT_EQ(Snapshot(outside), before);
    EXPECT_NE(ReadFile(logPath).find("Refused (outside the game and program folders)"), std::string::npos);
}

TEST_F(ConsoleConfinement, TheQueuedDeleteAfterASwapChangesNothingOutside) {
    Description({"#game=2", "#qdelete_file_0=override\\sub\\q.tga", "#qdelete_file_begin_0#", "Delete q?",
                 "#qdelete_file_end_0#", "#file_list"});
    WriteFile(game + "/override/sub/q.tga", "the mod's q");
    const auto before = Snapshot(outside);
    const ConsoleRun run = RunSwappingDuring("Confirm Delete");
    EXPECT_EQ(run.exitCode, 5) << run.out << run.err;  // refusals are counted errors
    EXPECT_EQ(Snapshot(outside), before);
}

TEST_F(ConsoleConfinement, TheQueuedRestoreAfterASwapChangesNothingOutside) {
    Description({"#game=2", "#qrestore_file_0=override\\sub\\r.tga", "#qrestore_file_begin_0#", "Restore r?",
                 "#qrestore_file_end_0#", "#file_list"});
    WriteFile(game + "/override/sub/r.tga", "the mod's r");
    WriteFile(game + "/override/sub/r.tga.original", "the game's r");
    const auto before = Snapshot(outside);
    const ConsoleRun run = RunSwappingDuring("Confirm Restore");
    EXPECT_EQ(run.exitCode, 5) << run.out << run.err;  // refusals are counted errors
    EXPECT_EQ(Snapshot(outside), before);
}

TEST_F(ConsoleConfinement, The2daReplacementAfterASwapChangesNothingOutside) {
    Description({"#game=2", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da", "#file_list"});
    WriteFile(mod + "/backup/appearance.2da", "2DA V2.0 backup");
    WriteFile(game + "/override/sub/appearance.2da", "2DA V2.0 in use");
    const auto before = Snapshot(outside);
    const ConsoleRun run = RunSwappingDuring("Confirm appearance.2da replacement");
    EXPECT_EQ(run.exitCode, 5) << run.out << run.err;  // refusals are counted errors
    EXPECT_EQ(Snapshot(outside), before);
}

}  // namespace
}  // namespace zelvane::e2e
