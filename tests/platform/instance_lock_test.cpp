#include "platform/posix/instance_lock.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

namespace zelvane {
namespace {

class InstanceLockTest : public ::testing::Test {
protected:
    InstanceLockTest() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zelvane-lock-XXXXXX").string();
        root = std::filesystem::canonical(::mkdtemp(pattern.data())).string();
        folder = root + "/mod";
        std::filesystem::create_directories(folder);
    }
    ~InstanceLockTest() override {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    std::string root;
    std::string folder;
};

constexpr uid_t kSameUser = static_cast<uid_t>(-1);

// A run in a child process (as another user, when one is given) that holds the folder's lock, when
// it can, until it is killed.
class HoldingProcess {
public:
    explicit HoldingProcess(const std::string& path, uid_t user = kSameUser) {
        int ready[2];
        if (::pipe(ready) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            if (user != kSameUser && (::setgid(user) != 0 || ::setuid(user) != 0)) ::_exit(2);
            PosixInstanceCheck check(path);
            const char seen = check.AnotherInstanceRunning() ? 'y' : (check.Unavailable().empty() ? 'n' : 'u');
            if (::write(ready[1], &seen, 1) != 1) ::_exit(1);
            ::pause();
            ::_exit(0);
        }
        ::close(ready[1]);
        if (::read(ready[0], &seen_, 1) != 1) seen_ = '?';
        ::close(ready[0]);
    }
    ~HoldingProcess() { Kill(); }
    HoldingProcess(const HoldingProcess&) = delete;
    HoldingProcess& operator=(const HoldingProcess&) = delete;

    // What its run found: 'y' the folder held by another, 'n' free (it holds it now), 'u' no lock to be had.
    char Seen() const { return seen_; }
    void Kill() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    char seen_ = '?';
};

// A run excludes a second run and probes of the same folder, by whatever path it is named; probes
// share it.
TEST_F(InstanceLockTest, ARunExcludesOthersOfTheSameFolderUntilItEnds) {
    ASSERT_EQ(::symlink(folder.c_str(), (root + "/link").c_str()), 0);
    std::filesystem::create_directories(root + "/other");
    {
        PosixInstanceCheck probe(folder, PosixInstanceCheck::Mode::Probe);
        EXPECT_FALSE(PosixInstanceCheck(folder, PosixInstanceCheck::Mode::Probe).AnotherInstanceRunning());
        EXPECT_TRUE(PosixInstanceCheck(folder).AnotherInstanceRunning());
    }
    {
        PosixInstanceCheck first(folder);
        EXPECT_FALSE(first.AnotherInstanceRunning());
        EXPECT_EQ(first.Unavailable(), "");
        EXPECT_TRUE(PosixInstanceCheck(root + "/link").AnotherInstanceRunning());
        EXPECT_TRUE(PosixInstanceCheck(root + "/other/../mod/").AnotherInstanceRunning());
        EXPECT_TRUE(PosixInstanceCheck(folder, PosixInstanceCheck::Mode::Probe).AnotherInstanceRunning());
        EXPECT_FALSE(PosixInstanceCheck(root + "/other").AnotherInstanceRunning());
    }
    EXPECT_FALSE(PosixInstanceCheck(folder).AnotherInstanceRunning());
    PosixInstanceCheck missing(root + "/missing");
    EXPECT_FALSE(missing.AnotherInstanceRunning());
    EXPECT_EQ(missing.Unavailable(), "No such file or directory");
}

// Nothing is written for the lock, and the system drops it with a process that is killed: the
// next run goes ahead.
TEST_F(InstanceLockTest, AKilledHolderLeavesNothingBehind) {
    HoldingProcess holder(folder);
    ASSERT_EQ(holder.Seen(), 'n');
    EXPECT_TRUE(PosixInstanceCheck(folder).AnotherInstanceRunning());
    holder.Kill();
    EXPECT_FALSE(PosixInstanceCheck(folder).AnotherInstanceRunning());
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

// A run as root and the player's own run of the player's folder exclude each other, both ways.
TEST_F(InstanceLockTest, RootAndAnotherUserExcludeEachOther) {
    if (::geteuid() != 0) GTEST_SKIP() << "not root: no other user to run as";
    ASSERT_EQ(::chmod(root.c_str(), 0755), 0);
    ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    {
        PosixInstanceCheck rootRun(folder);
        EXPECT_EQ(HoldingProcess(folder, 65534).Seen(), 'y');
    }
    HoldingProcess player(folder, 65534);
    ASSERT_EQ(player.Seen(), 'n');
    EXPECT_TRUE(PosixInstanceCheck(folder).AnotherInstanceRunning());
}

}  // namespace
}  // namespace zelvane
