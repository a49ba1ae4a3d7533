// The console as a Linux player runs it against a shared Windows partition: NTFS through ntfs-3g
// and exFAT through exfat-fuse, mounted by root with umask=000, the run made as an unprivileged
// user. There nobody may change a file's mode, so a copy that insists on one fails; and a
// partition that Windows left hibernated is mounted read-only.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/posix/instance_lock.hpp"
#include "tests/e2e/e2e_support.hpp"
#include "tests/e2e/real_mounts.hpp"

namespace zelvane::e2e {
namespace {

class ConsoleOnMountsTest : public RealMountTest, public ::testing::WithParamInterface<MountKind> {
protected:
    void SetUp() override {
        RealMountTest::SetUp();
        if (!IsSkipped() && !HasFatalFailure()) GiveToUser(elsewhere.Path(), kNobody);
    }
    // A K2 mod that installed a file and replaced appearance.2da; the installer's backup of the
    // table lies beside the program.
    void MakeMod(const std::string& game, const std::string& mod, bool selectable = false) {
        WriteFile(mod + "/uninstall/uninstall_data.ini",
                  CrLf(std::string(selectable ? "#game_select=1" : "#game=2") +
                       "\n#qrestore_2da=1\n#qrestore_2da_files=appearance.2da\n#file_list\noverride\\k2_item.uti\n"));
        WriteFile(mod + "/backup/appearance.2da", "2DA V2.0 original");
        WriteTree(game, {{"dialog.tlk", kTlk},
                         {"override/k2_item.uti", "item"},
                         {"override/appearance.2da", "2DA V2.0 modded"}});
    }
    // The run as the player, answering Yes twice (or Yes and K2), the registry naming the game.
    ConsoleRun RunAsPlayer(const std::string& game, const std::string& mod, const std::string& answers = "0\n0\n") {
        const std::string registry = elsewhere.Path() + "/registry.txt";
        WriteFile(registry, "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|" + WindowsForm(game) + "\n");
        WriteFile(elsewhere.Path() + "/answers.txt", answers);
        GiveToUser(elsewhere.Path(), kNobody);
        return RunConsole({.arguments = {"--no-open", "--program-folder", mod, "--answers",
                                         elsewhere.Path() + "/answers.txt", "--registry", registry},
                           .user = kNobody});
    }
    // Both folders as the complete run leaves them.
    static void ExpectRemovedAndRestored(const std::string& game, const std::string& mod, const ConsoleRun& run) {
        ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
        EXPECT_EQ(run.out.find("Oops!"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("INI Errors Encountered"), std::string::npos) << run.out;
        EXPECT_EQ(Snapshot(game), (Files{{"dialog.tlk", kTlk}, {"override/appearance.2da", "2DA V2.0 original"}}));
        const Files modFiles = Snapshot(mod);
        EXPECT_EQ(modFiles.count("backup/appearance.2da"), 0u);
        EXPECT_EQ(modFiles.count("uninstall/uninstall_data20A.ini"), 0u);
        EXPECT_EQ(ReadFile(mod + "/Backup Uninstall/appearance.2da"), "2DA V2.0 modded");
        EXPECT_TRUE(ReadFile(mod + "/uninstall/removal_results.rtf").ends_with(Totals(0, 0)));
        EXPECT_NE(run.out.find("Saved: " + mod + "/uninstall/removal_results.rtf\n"), std::string::npos);
    }
    TempFolder elsewhere;  // the other folder, on the machine's own disk
};

TEST_P(ConsoleOnMountsTest, AProgramOrAGameFolderThereRunsA2daRestoreToTheEnd) {
    const std::string mod = FolderOn(GetParam(), "mod");
    MakeMod(elsewhere.Path() + "/game", mod);
    ExpectRemovedAndRestored(elsewhere.Path() + "/game", mod, RunAsPlayer(elsewhere.Path() + "/game", mod));
    const std::string game = FolderOn(GetParam(), "game");
    MakeMod(game, elsewhere.Path() + "/mod");
    ExpectRemovedAndRestored(game, elsewhere.Path() + "/mod", RunAsPlayer(game, elsewhere.Path() + "/mod"));
}

// The lock of a program folder is a flock on the folder; on these FUSE mounts the kernel keeps it.
TEST_P(ConsoleOnMountsTest, AProgramFolderThereIsLockedAgainstASecondRun) {
    const std::string game = elsewhere.Path() + "/game";
    const std::string mod = FolderOn(GetParam(), "mod");
    MakeMod(game, mod);
    const PosixInstanceCheck running(mod);
    const ConsoleRun run = RunAsPlayer(game, mod);
    EXPECT_EQ(run.exitCode, 4) << run.out << run.err;
    EXPECT_EQ(run.err, "zelvane-console: another run is using the program folder " + mod +
                           "; wait for it to finish, then start again.\n");
    EXPECT_TRUE(Exists(game + "/override/k2_item.uti"));
}

// A game folder on read-only media stops the run before anything is changed: before the first
// prompt, or as soon as the game is chosen at one; a program folder there, before start-up.
TEST_P(ConsoleOnMountsTest, ReadOnlyMediaStopTheRunBeforeAnythingIsChanged) {
    const auto told = [](const std::string& role, const std::string& folder) {
        return "zelvane-console: the " + role + " " + folder +
               " is on read-only media; nothing was changed.\n"
               "zelvane-console: a Windows partition is mounted read-only when Windows was hibernated or shut down "
               "with Fast Startup: start Windows and shut it down fully (hold Shift while choosing Shut down), then "
               "mount the partition again. Otherwise remount it read-write (mount -o remount,rw).\n";
    };
    const std::string mod = elsewhere.Path() + "/mod";
    const std::string written = FolderOn(GetParam(), "game");
    MakeMod(written, mod);
    const std::string game = ReadOnlyView(written);
    const Files before = Snapshot(game);
    for (const bool selectable : {false, true}) {
        MakeMod(elsewhere.Path() + "/unused", mod, selectable);
        const ConsoleRun run = RunAsPlayer(game, mod, selectable ? "0\n1\n" : "0\n0\n");
        EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
        EXPECT_EQ(run.err, told("game folder", game));
        EXPECT_EQ(run.out.find("Prompt:") != std::string::npos, selectable) << run.out;
        EXPECT_EQ(Snapshot(game), before);
        EXPECT_EQ(ReadFile(mod + "/backup/appearance.2da"), "2DA V2.0 original");
        EXPECT_FALSE(Exists(mod + "/uninstall/removal_results.rtf"));
    }

    const std::string program = FolderOn(GetParam(), "mod");
    MakeMod(elsewhere.Path() + "/game", program);
    const Files programBefore = Snapshot(program);
    const ConsoleRun run = RunAsPlayer(elsewhere.Path() + "/game", ReadOnlyView(program));
    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
    EXPECT_EQ(run.err, told("program folder", program + ".read-only"));
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Snapshot(program), programBefore);
    EXPECT_TRUE(Exists(elsewhere.Path() + "/game/override/k2_item.uti"));
}

INSTANTIATE_TEST_SUITE_P(SharedPartitions, ConsoleOnMountsTest, ::testing::Values(MountKind::Ntfs, MountKind::Exfat),
                         [](const ::testing::TestParamInfo<MountKind>& info) {
                             return std::string(info.param == MountKind::Ntfs ? "Ntfs" : "Exfat");
                         });

}  // namespace
}  // namespace zelvane::e2e
