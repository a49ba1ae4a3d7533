// One run at a time per program folder, on real disk: the lock belongs to the folder, whatever
// path names it; a run that finds it held says so and ends with 4; the lock goes with a run however
// it ends, leaving nothing that blocks the next one, a player's run after root's included; and a
// user who cannot change the folder cannot block it.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/wait.h>
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
    const ConsoleRun first = RunConsoleFeeding(
        WaitingArguments(), "Prompt: Confirm Remove Mod",
        [&] {
            // the folder through a link, and through a bind mount with XDG_RUNTIME_DIR set this time
            others.emplace_back(mod, RunConsole(Arguments(link)));
            mounted = ::mount(mod.c_str(), bound.c_str(), nullptr, MS_BIND, nullptr) == 0;
            if (mounted) {
                others.emplace_back(bound,
                                    RunConsoleWithEnvironment(Arguments(bound), {"XDG_RUNTIME_DIR=" + temp.Path()}));
            }
        },
        "1\n");
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

// Another user holds a lock on the folder, in a process of their own, until the object goes.
class LockHeldBy {
public:
    LockHeldBy(unsigned user, const std::string& folder) {
        int ready[2];
        if (::pipe2(ready, O_CLOEXEC) != 0 || ::pipe2(release_, O_CLOEXEC) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(release_[1]);  // its end comes when the test closes its own
            char byte = 0;
            const int fd =
                ::setgid(user) == 0 && ::setuid(user) == 0 ? ::open(folder.c_str(), O_RDONLY | O_DIRECTORY) : -1;
            if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) byte = 1;
            (void)!::write(ready[1], &byte, 1);
            (void)!::read(release_[0], &byte, 1);
            ::_exit(0);
        }
        char byte = 0;
        held_ = ::read(ready[0], &byte, 1) == 1 && byte == 1;
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~LockHeldBy() {
        ::close(release_[1]);
        ::close(release_[0]);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    LockHeldBy(const LockHeldBy&) = delete;
    LockHeldBy& operator=(const LockHeldBy&) = delete;
    bool Held() const { return held_; }

private:
    int release_[2] = {-1, -1};
    pid_t pid_ = -1;
    bool held_ = false;
};

// A user who may read the player's program folder but not change it can take its lock; that
// lock is no run's and blocks nothing. A user who could change the folder is obeyed.
TEST_F(ConsoleInstanceTest, ALockOfAUserWhoCannotChangeTheFolderBlocksNothing) {
    if (::geteuid() != 0) GTEST_SKIP() << "not root: another user's lock cannot be made";
    SetMode(temp.Path(), 0755);
    SetMode(mod, 0755);
    {
        const LockHeldBy squatter(kNobody, mod);
        ASSERT_TRUE(squatter.Held());
        const ConsoleRun run = RunConsole(Arguments(mod));
        EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
        EXPECT_EQ(run.err, "zelvane-console: the program folder " + mod +
                               " cannot be locked (held by user 65534, who cannot change it); make sure no other run "
                               "uses it.\n");
        EXPECT_FALSE(Exists(game + "/override/x.uti"));
    }
    SetMode(mod, 0777);
    Game("override/x.uti", "x");
    const LockHeldBy writer(kNobody, mod);
    ASSERT_TRUE(writer.Held());
    const ConsoleRun run = RunConsole(Arguments(mod));
    EXPECT_EQ(run.exitCode, 4) << run.out << run.err;
    EXPECT_TRUE(Exists(game + "/override/x.uti"));
}

}  // namespace
}  // namespace zelvane::e2e
