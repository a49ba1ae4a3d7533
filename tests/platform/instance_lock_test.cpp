#include "platform/posix/instance_lock.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>

#include "tests/platform/host_folder_fixture.hpp"

namespace zelvane {
namespace {

using Check = PosixInstanceCheck;

// A run as user 65534 in a child process that holds the folder's lock, when it can, until it goes;
// held: whether its run found the folder held by another.
struct OtherUsersRun {
    explicit OtherUsersRun(const std::string& path) {
        int ready[2];
        if (::pipe(ready) != 0) return;
        if ((pid = ::fork()) == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
            Check check(path);
            const char seen = check.AnotherInstanceRunning() ? 'y' : 'n';
            if (::write(ready[1], &seen, 1) == 1) ::pause();
            ::_exit(1);
        }
        ::close(ready[1]);
        char seen = '?';
        EXPECT_EQ(::read(ready[0], &seen, 1), 1);
        ::close(ready[0]);
        held = seen == 'y';
    }
    ~OtherUsersRun() {
        if (pid > 0 && ::kill(pid, SIGKILL) == 0) ::waitpid(pid, nullptr, 0);
    }
    pid_t pid = -1;
    bool held = false;
};

class InstanceLock : public HostFolderTest {
protected:
    InstanceLock() { Folder("mod"); }
    const std::string folder = root + "/mod";
};

// A run excludes a second run and probes of the same folder, by whatever path it is named; probes
// share it. Nothing is written for the lock.
TEST_F(InstanceLock, ARunExcludesOthersOfTheSameFolderUntilItEnds) {
    Link("link", "mod");
    Folder("other");
    {
        Check probe(folder, Check::Mode::Probe);
        EXPECT_FALSE(Check(folder, Check::Mode::Probe).AnotherInstanceRunning());
        EXPECT_TRUE(Check(folder).AnotherInstanceRunning());
    }
    {
        Check first(folder);
        EXPECT_FALSE(first.AnotherInstanceRunning());
        EXPECT_EQ(first.Unavailable(), "");
        for (const std::string& same : {root + "/link", root + "/other/../mod/"}) {
            EXPECT_TRUE(Check(same).AnotherInstanceRunning()) << same;
        }
        EXPECT_TRUE(Check(folder, Check::Mode::Probe).AnotherInstanceRunning());
        EXPECT_FALSE(Check(root + "/other").AnotherInstanceRunning());
    }
    EXPECT_FALSE(Check(folder).AnotherInstanceRunning());
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    Check missing(root + "/missing");
    EXPECT_FALSE(missing.AnotherInstanceRunning());
    EXPECT_EQ(missing.Unavailable(), "No such file or directory");
}

// A run as root and the player's own run of the player's folder exclude each other, both ways, and
// the system drops the lock of a run that is killed.
TEST_F(InstanceLock, RootAndAnotherUserExcludeEachOther) {
    if (::geteuid() != 0) GTEST_SKIP() << "not root: no other user to run as";
    ASSERT_EQ(::chmod(root.c_str(), 0755), 0);
    ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    {
        Check rootRun(folder);
        EXPECT_TRUE(OtherUsersRun(folder).held);
    }
    {
        const OtherUsersRun player(folder);
        ASSERT_FALSE(player.held);
        EXPECT_TRUE(Check(folder).AnotherInstanceRunning());
    }
    EXPECT_FALSE(Check(folder).AnotherInstanceRunning());  // a killed run's lock goes with it
}

}  // namespace
}  // namespace zelvane
