#include "platform/posix/instance_lock.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>

#include "tests/platform/host_folder_fixture.hpp"

namespace zelvane {
namespace {

using Check = PosixInstanceCheck;

// A run in a child process (as another user, when one is given) that holds the folder's lock, when
// it can, until it is killed. What its run found: 'y' the folder held by another, 'n' free (it
// holds it now), 'u' no lock to be had.
class HoldingProcess {
public:
    explicit HoldingProcess(const std::string& path, uid_t user = static_cast<uid_t>(-1)) {
        int ready[2];
        if (::pipe(ready) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            if (user != static_cast<uid_t>(-1) && (::setgid(user) != 0 || ::setuid(user) != 0)) ::_exit(2);
            Check check(path);
            const char seen = check.AnotherInstanceRunning() ? 'y' : (check.Unavailable().empty() ? 'n' : 'u');
            if (::write(ready[1], &seen, 1) != 1) ::_exit(1);
            ::pause();
        }
        ::close(ready[1]);
        if (::read(ready[0], &seen, 1) != 1) seen = '?';
        ::close(ready[0]);
    }
    ~HoldingProcess() { Kill(); }
    void Kill() {
        if (pid_ > 0 && ::kill(pid_, SIGKILL) == 0) ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    char seen = '?';

private:
    pid_t pid_ = -1;
};

class InstanceLock : public HostFolderTest {
protected:
    InstanceLock() { Folder("mod"); }
    const std::string folder = root + "/mod";
};

// A run excludes a second run and probes of the same folder, by whatever path it is named; probes
// share it.
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
    Check missing(root + "/missing");
    EXPECT_FALSE(missing.AnotherInstanceRunning());
    EXPECT_EQ(missing.Unavailable(), "No such file or directory");
}

// Nothing is written for the lock, and the system drops it with a process that is killed: the
// next run goes ahead.
TEST_F(InstanceLock, AKilledHolderLeavesNothingBehind) {
    HoldingProcess holder(folder);
    ASSERT_EQ(holder.seen, 'n');
    EXPECT_TRUE(Check(folder).AnotherInstanceRunning());
    holder.Kill();
    EXPECT_FALSE(Check(folder).AnotherInstanceRunning());
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

// A run as root and the player's own run of the player's folder exclude each other, both ways.
TEST_F(InstanceLock, RootAndAnotherUserExcludeEachOther) {
    if (::geteuid() != 0) GTEST_SKIP() << "not root: no other user to run as";
    ASSERT_EQ(::chmod(root.c_str(), 0755), 0);
    ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    {
        Check rootRun(folder);
        EXPECT_EQ(HoldingProcess(folder, 65534).seen, 'y');
    }
    HoldingProcess player(folder, 65534);
    ASSERT_EQ(player.seen, 'n');
    EXPECT_TRUE(Check(folder).AnotherInstanceRunning());
}

}  // namespace
}  // namespace zelvane
