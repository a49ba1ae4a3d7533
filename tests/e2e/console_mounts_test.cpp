// The console as a Linux player runs it against a shared Windows partition: NTFS through ntfs-3g
// and exFAT through exfat-fuse, mounted by root with umask=000, the run made as an unprivileged
// user. There nobody may change a file's mode, so a copy that insists on one fails; and a
// partition that Windows left hibernated is mounted read-only.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/posix/instance_lock.hpp"
#include "tests/e2e/e2e_support.hpp"
#include "tests/e2e/real_mounts.hpp"
#include "tests/e2e/removal_log_text.hpp"

namespace zelvane::e2e {
namespace {

// A K2 mod that installed a file and replaced appearance.2da; the installer's backup of the table
// lies beside the program.
class ModOnDisks {
public:
    enum Files { kWritten, kAsTheyAre };
    ModOnDisks(std::string gameFolder, std::string programFolder, Files files = kWritten)
        : game(std::move(gameFolder)), mod(std::move(programFolder)) {
        if (files == kAsTheyAre) return;
        WriteFile(mod + "/uninstall/uninstall_data.ini",
                  CrLfLines({"#game=2", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da", "#file_list",
                             "override\\k2_item.uti"}));
        WriteFile(mod + "/backup/appearance.2da", "2DA V2.0 original");
        WriteFile(game + "/dialog.tlk", kTlk);
        WriteFile(game + "/override/k2_item.uti", "item");
        WriteFile(game + "/override/appearance.2da", "2DA V2.0 modded");
    }

    // The run as the player, with the answers given, the registry naming the game folder.
    ConsoleRun Run(const std::vector<std::string>& answers, const std::string& filesFolder) const {
        const std::string registry = filesFolder + "/registry.txt";
        const std::string answersFile = filesFolder + "/answers.txt";
        WriteFile(registry, "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|" + WindowsForm(game) + "\n");
        std::string text;
        for (const std::string& answer : answers) text += answer + "\n";
        WriteFile(answersFile, text);
        GiveToUser(filesFolder, kNobody);
        return RunConsoleAsUser(kNobody, {"--no-open", "--program-folder", mod, "--answers", answersFile, "--registry",
                                          registry});
    }

    const std::string game;
    const std::string mod;
};

class ConsoleOnMountsTest : public RealMountTest, public ::testing::WithParamInterface<RealMount::Kind> {
protected:
    void SetUp() override {
        RealMountTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        GiveToUser(elsewhere.Path(), kNobody);
    }
    // Both folders as the complete run leaves them.
    static void ExpectRemovedAndRestored(const ModOnDisks& disks, const ConsoleRun& run) {
        ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
        EXPECT_EQ(run.out.find("Oops!"), std::string::npos) << run.out;
        EXPECT_EQ(Snapshot(disks.game),
                  (std::map<std::string, std::string>{{"dialog.tlk", kTlk},
                                                      {"override/appearance.2da", "2DA V2.0 original"}}));
        const auto modFiles = Snapshot(disks.mod);
        EXPECT_EQ(modFiles.count("backup/appearance.2da"), 0u);
        EXPECT_EQ(modFiles.count("uninstall/uninstall_data20A.ini"), 0u);
        ASSERT_EQ(modFiles.count("Backup Uninstall/appearance.2da"), 1u);
        EXPECT_EQ(modFiles.at("Backup Uninstall/appearance.2da"), "2DA V2.0 modded");
        ASSERT_EQ(modFiles.count("uninstall/removal_results.rtf"), 1u);
        EXPECT_TRUE(modFiles.at("uninstall/removal_results.rtf").ends_with(Totals(0, 0)));
        EXPECT_NE(run.out.find("Saved: " + disks.mod + "/uninstall/removal_results.rtf\n"), std::string::npos);
    }

    TempFolder elsewhere;  // the other folder, on the machine's own disk
};

TEST_P(ConsoleOnMountsTest, AProgramFolderThereStartsAndRunsA2daRestoreToTheEnd) {
    const ModOnDisks disks(elsewhere.Path() + "/game", FolderOn(GetParam(), "mod"));
    GiveToUser(disks.game, kNobody);
    const ConsoleRun run = disks.Run({"0", "0"}, elsewhere.Path());  // the confirmation, the 2da replacement
    EXPECT_EQ(run.out.find("INI Errors Encountered"), std::string::npos) << run.out;
    ExpectRemovedAndRestored(disks, run);
}

TEST_P(ConsoleOnMountsTest, AGameFolderThereGetsItsTableBackAndLosesTheModsFile) {
    const ModOnDisks disks(FolderOn(GetParam(), "game"), elsewhere.Path() + "/mod");
    GiveToUser(disks.mod, kNobody);
    const ConsoleRun run = disks.Run({"0", "0"}, elsewhere.Path());
    ExpectRemovedAndRestored(disks, run);
}

// The lock of a program folder is a flock on the folder; on these FUSE mounts the kernel keeps it.
TEST_P(ConsoleOnMountsTest, AProgramFolderThereIsLockedAgainstASecondRun) {
    const ModOnDisks disks(elsewhere.Path() + "/game", FolderOn(GetParam(), "mod"));
    GiveToUser(disks.game, kNobody);
    const PosixInstanceCheck running(disks.mod);
    const ConsoleRun run = disks.Run({"0", "0"}, elsewhere.Path());
    EXPECT_EQ(run.exitCode, 4) << run.out << run.err;
    EXPECT_EQ(run.err, "zelvane-console: another run is using the program folder " + disks.mod +
                           "; wait for it to finish, then start again.\n");
    EXPECT_TRUE(Exists(disks.game + "/override/k2_item.uti"));
}

INSTANTIATE_TEST_SUITE_P(SharedPartitions, ConsoleOnMountsTest,
                         ::testing::Values(RealMount::Kind::Ntfs, RealMount::Kind::Exfat),
                         [](const ::testing::TestParamInfo<RealMount::Kind>& info) {
                             return std::string(info.param == RealMount::Kind::Ntfs ? "Ntfs" : "Exfat");
                         });

// --- read-only media ---

std::string ReadOnlyMessage(const std::string& role, const std::string& folder) {
    return "zelvane-console: the " + role + " " + folder +
           " is on read-only media; nothing was changed.\n"
           "zelvane-console: a Windows partition is mounted read-only when Windows was hibernated or shut down "
           "with Fast Startup: start Windows and shut it down fully (hold Shift while choosing Shut down), then "
           "mount the partition again. Otherwise remount it read-write (mount -o remount,rw).\n";
}

class ConsoleReadOnlyMediaTest : public RealMountTest {
protected:
    void SetUp() override {
        RealMountTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        GiveToUser(elsewhere.Path(), kNobody);
    }
    TempFolder elsewhere;
};

TEST_F(ConsoleReadOnlyMediaTest, AGameFolderThereStopsTheRunBeforeTheFirstPrompt) {
    const ModOnDisks written(FolderOn(RealMount::Kind::Ntfs, "game"), elsewhere.Path() + "/mod");
    const ModOnDisks disks(ReadOnlyView(written.game), written.mod, ModOnDisks::kAsTheyAre);
    GiveToUser(disks.mod, kNobody);
    const auto before = Snapshot(disks.game);
    const ConsoleRun run = disks.Run({"0", "0"}, elsewhere.Path());
    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
    EXPECT_EQ(run.err, ReadOnlyMessage("game folder", disks.game));
    EXPECT_EQ(run.out.find("Prompt:"), std::string::npos) << run.out;
    EXPECT_EQ(Snapshot(disks.game), before);
    EXPECT_EQ(ReadFile(disks.mod + "/backup/appearance.2da"), "2DA V2.0 original");
    EXPECT_FALSE(Exists(disks.mod + "/uninstall/removal_results.rtf"));
}

// When the player chooses the game at a prompt, the folder is looked at as soon as it is settled,
// before anything is changed.
TEST_F(ConsoleReadOnlyMediaTest, AGameFolderChosenAtAPromptIsLookedAtOnceItIsChosen) {
    const ModOnDisks written(FolderOn(RealMount::Kind::Ntfs, "game"), elsewhere.Path() + "/mod");
    const ModOnDisks disks(ReadOnlyView(written.game), written.mod, ModOnDisks::kAsTheyAre);
    WriteFile(disks.mod + "/uninstall/uninstall_data.ini",
              CrLfLines({"#game_select=1", "#file_list", "override\\k2_item.uti"}));
    GiveToUser(disks.mod, kNobody);
    const auto before = Snapshot(disks.game);
    const ConsoleRun run = disks.Run({"0", "1"}, elsewhere.Path());  // yes, and K2
    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
    EXPECT_EQ(run.err, ReadOnlyMessage("game folder", disks.game));
    EXPECT_NE(run.out.find("Prompt: Choose Game"), std::string::npos) << run.out;
    EXPECT_EQ(Snapshot(disks.game), before);
    EXPECT_FALSE(Exists(disks.mod + "/uninstall/removal_results.rtf"));
}

TEST_F(ConsoleReadOnlyMediaTest, AProgramFolderThereStopsTheRunBeforeStartUp) {
    const ModOnDisks written(elsewhere.Path() + "/game", FolderOn(RealMount::Kind::Ntfs, "mod"));
    const ModOnDisks disks(written.game, ReadOnlyView(written.mod), ModOnDisks::kAsTheyAre);
    GiveToUser(disks.game, kNobody);
    const auto before = Snapshot(written.mod);
    const ConsoleRun run = disks.Run({"0", "0"}, elsewhere.Path());
    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
    EXPECT_EQ(run.err, ReadOnlyMessage("program folder", disks.mod));
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Snapshot(written.mod), before);
    EXPECT_TRUE(Exists(disks.game + "/override/k2_item.uti"));
}

}  // namespace
}  // namespace zelvane::e2e
