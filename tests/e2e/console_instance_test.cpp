// One run at a time per program folder, on real disk: the lock belongs to the folder, whatever
// path names it; a run that finds it held says so and ends with 4; and the lock goes with a run
// however it ends, leaving nothing that blocks the next one, a player's run after root's included.

#include <sys/mount.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.hpp"
#include "tests/e2e/mod_install_test.hpp"

namespace zelvane::e2e {
namespace {

class ConsoleInstanceTest : public ModInstallTest {
protected:
    void SetUp() override {
        Description({"#game=2", "#file_list", "override\\x.uti"});
        Game("dialog.tlk", kTlk);
        Game("override/x.uti", "x");
        Registry(2);
        Answers({"0"});
    }
    std::vector<std::string> Arguments(const std::string& programFolder) const {
        return {"--no-open", "--program-folder", programFolder, "--answers", answersFile, "--registry", registryFile};
    }
    // Answered from standard input, which the test feeds or leaves waiting.
    std::vector<std::string> WaitingArguments() const {
        return {"--no-open", "--program-folder", mod, "--registry", registryFile};
    }
};

TEST_F(ConsoleInstanceTest, ARunThroughAnotherPathOfTheFolderIsToldItIsHeldAndEndsWithFour) {
    const std::string link = temp.Path() + "/link";
    ASSERT_EQ(symlink(mod.c_str(), link.c_str()), 0);
    const std::string bound = temp.Path() + "/bound";
    MakeFolders(bound);
    bool mounted = false;
    std::vector<std::pair<std::string, ConsoleRun>> others;
    const ConsoleRun first = RunConsoleFeeding(WaitingArguments(), "Prompt: Confirm Remove Mod", [&] {
        // the folder through a link, and through a bind mount with XDG_RUNTIME_DIR set this time
        others.emplace_back(mod, RunConsole(Arguments(link)));
        mounted = ::mount(mod.c_str(), bound.c_str(), nullptr, MS_BIND, nullptr) == 0;
        if (mounted) {
            others.emplace_back(bound, RunConsoleWithEnvironment(Arguments(bound), {"XDG_RUNTIME_DIR=" + temp.Path()}));
        }
    }, "1\n");
    if (mounted) ::umount2(bound.c_str(), MNT_DETACH);
    EXPECT_EQ(first.exitCode, 0) << first.out << first.err;  // it declined, at its leisure
    if (::geteuid() == 0) {
        EXPECT_TRUE(mounted) << "the bind mount failed";
    }
    for (const auto& [shown, other] : others) {
        EXPECT_EQ(other.exitCode, 4) << other.out << other.err;
        EXPECT_EQ(other.err, "zelvane-console: another run is using the program folder " + shown +
                                 "; wait for it to finish, then start again.\n");
        EXPECT_EQ(other.out.find("Prompt:"), std::string::npos) << other.out;
    }
    EXPECT_TRUE(Exists(game + "/override/x.uti"));
    EXPECT_FALSE(Exists(logPath));
}

TEST_F(ConsoleInstanceTest, ARootRunThatRunsOutOfAnswersOrIsKilledLeavesNothingThatBlocksThePlayer) {
    if (::geteuid() != 0) GTEST_SKIP() << "not root: the root run and the player's cannot both be made";
    // Root's runtime folder is the test's own, so that anything left for a lock would be seen there.
    const std::string runtime = temp.Path() + "/runtime";
    MakeFolders(runtime);
    SetMode(runtime, 0700);
    const std::vector<std::string> environment{"XDG_RUNTIME_DIR=" + runtime, "TMPDIR=" + runtime};
    const auto modBefore = Snapshot(mod);
    Answers({});
    const ConsoleRun exhausted = RunConsoleWithEnvironment(Arguments(mod), environment);
    EXPECT_EQ(exhausted.exitCode, 3) << exhausted.out << exhausted.err;
    const ConsoleRun killed = RunConsoleKilledAt(WaitingArguments(), "Prompt: Confirm Remove Mod", environment);
    EXPECT_EQ(killed.exitCode, 128 + SIGKILL) << killed.out << killed.err;
    EXPECT_EQ(Snapshot(mod), modBefore);
    EXPECT_TRUE(std::filesystem::is_empty(runtime));

    Answers({"0"});
    GiveToUser(temp.Path(), kNobody);
    const ConsoleRun player = RunConsoleAsUser(kNobody, Arguments(mod));
    EXPECT_EQ(player.exitCode, 0) << player.out << player.err;
    EXPECT_FALSE(Exists(game + "/override/x.uti"));
    EXPECT_TRUE(Exists(logPath));
}

// Where no lock can be had (here: the player may pass through the program folder but not read it,
// so it cannot be opened), the run says so and goes on.
TEST_F(ConsoleInstanceTest, AProgramFolderThatCannotBeLockedIsSaidSo) {
    GiveToUser(temp.Path(), kNobody);
    SetMode(mod, 0311);
    const ConsoleRun run = RunConsoleAsUser(kNobody, Arguments(mod));
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(run.err, "zelvane-console: the program folder " + mod +
                           " cannot be locked (Permission denied); make sure no other run uses it.\n");
}

}  // namespace
}  // namespace zelvane::e2e
