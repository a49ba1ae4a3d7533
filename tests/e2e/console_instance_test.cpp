// One run at a time per program folder, on real disk: the lock belongs to the folder, whatever
// path names it; a run that finds it held says so and ends with 4; and a user who cannot change
// the folder cannot block it. (That the lock goes with a run however it ends, root's before a
// player's included, tests/platform/posix_test.cpp shows.)

#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.hpp"

namespace zelvane::e2e {
namespace {

class ConsoleInstanceTest : public ModInstallTest {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "not root: no bind mount and no other user's run";
        Description("#game=2\n#file_list\noverride\\x.uti\n");
        GameFolder({{"x.uti", "x"}});
        Answers({"0"});
    }
    std::string Held(const std::string& folder) const {
        return "zelvane-console: another run is using the program folder " + folder +
               "; wait for it to finish, then start again.\n";
    }
};

// The folder through a bind mount, with XDG_RUNTIME_DIR set this time.
TEST_F(ConsoleInstanceTest, ARunThroughAnotherPathOfTheFolderIsToldItIsHeldAndEndsWithFour) {
    const std::string bound = temp.Path() + "/bound";
    MakeFolders(bound);
    ASSERT_EQ(::mount(mod.c_str(), bound.c_str(), nullptr, MS_BIND, nullptr), 0);
    std::vector<std::string> arguments = Arguments();
    arguments[2] = bound;
    ConsoleRun other;
    const Launch waiting{{"--no-open", "--program-folder", mod, "--registry", registryFile}};  // answered below
    const ConsoleRun first =
        RunFed(waiting, {"Prompt: Confirm Remove Mod",
                         [&] { other = RunConsole(arguments, {"XDG_RUNTIME_DIR=" + temp.Path()}); }, "1\n"});
    ::umount2(bound.c_str(), MNT_DETACH);
    EXPECT_EQ(first.exitCode, 0) << first.out << first.err;  // it declined, at its leisure
    EXPECT_EQ(other.exitCode, 4) << other.out << other.err;
    EXPECT_EQ(other.err, Held(bound));
}

// Where no lock can be had (here: the player may pass through the program folder but not read it,
// so it cannot be opened), the run says so and goes on. A user who may read the player's program
// folder but not change it can take its lock; that lock is no run's and blocks nothing. A user
// who could change the folder is obeyed.
TEST_F(ConsoleInstanceTest, ALockThatCannotBeHadOrIsHeldByWhoCannotChangeTheFolderBlocksNothing) {
    GiveToUser(temp.Path(), kNobody);
    SetMode(mod, 0311);
    ConsoleRun run = RunConsole({.arguments = Arguments(), .user = kNobody});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(run.err, "zelvane-console: the program folder " + mod +
                           " cannot be locked (Permission denied); make sure no other run uses it.\n");

    GiveToUser(temp.Path(), 0);
    SetMode(temp.Path(), 0755);
    for (const unsigned mode : {0755u, 0777u}) {
        SetMode(mod, mode);
        Game("override/x.uti", "x");
        std::filesystem::remove(logPath);
        // nobody holds a lock on the folder, with flock(1), while the console runs
        const Launch holder{{"-n", mod, "-c", "echo held; read line"}, {}, "", "/usr/bin/flock", kNobody};
        EXPECT_EQ(RunFed(holder, {"held", [&] { run = RunConsole(Arguments()); }, "\n"}).exitCode, 0);
        const bool obeyed = mode == 0777u;
        EXPECT_EQ(run.exitCode, obeyed ? 4 : 0) << run.out << run.err;
        EXPECT_EQ(run.err, obeyed ? Held(mod)
                                  : "zelvane-console: the program folder " + mod +
                                        " cannot be locked (held by user 65534, who cannot change it); make sure no "
                                        "other run uses it.\n");
        EXPECT_EQ(Exists(game + "/override/x.uti"), obeyed);
    }
}

}  // namespace
}  // namespace zelvane::e2e
