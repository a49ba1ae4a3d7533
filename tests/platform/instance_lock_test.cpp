#include "platform/posix/instance_lock.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace zelvane {
namespace {

std::string TestFolder(const char* name) {
    return std::string("/zelvane-instance-test/") + name + "/" + std::to_string(::getpid());
}

TEST(PosixInstanceCheck, ASecondCheckForTheSameFolderSeesTheFirst) {
    const std::string folder = TestFolder("same");
    PosixInstanceCheck first(folder);
    EXPECT_FALSE(first.AnotherInstanceRunning());
    {
        PosixInstanceCheck second(folder);
        EXPECT_TRUE(second.AnotherInstanceRunning());
    }
    EXPECT_FALSE(first.AnotherInstanceRunning());
}

TEST(PosixInstanceCheck, TheLockEndsWithItsObject) {
    const std::string folder = TestFolder("released");
    { PosixInstanceCheck first(folder); }
    PosixInstanceCheck again(folder);
    EXPECT_FALSE(again.AnotherInstanceRunning());
}

TEST(PosixInstanceCheck, OtherFoldersAreIndependent) {
    PosixInstanceCheck a(TestFolder("a"));
    PosixInstanceCheck b(TestFolder("b"));
    EXPECT_FALSE(a.AnotherInstanceRunning());
    EXPECT_FALSE(b.AnotherInstanceRunning());
    EXPECT_NE(PosixInstanceCheck::LockFilePath(TestFolder("a")), PosixInstanceCheck::LockFilePath(TestFolder("b")));
}

TEST(PosixInstanceCheck, AProbeMakesNoLockFileAndSeesAHeldLock) {
    const std::string folder = TestFolder("probe");
    const std::string lock = PosixInstanceCheck::LockFilePath(folder);
    {
        PosixInstanceCheck probe = PosixInstanceCheck::Probe(folder);
        EXPECT_FALSE(probe.AnotherInstanceRunning());
        EXPECT_NE(::access(lock.c_str(), F_OK), 0);
    }
    {
        PosixInstanceCheck running(folder);
        EXPECT_TRUE(PosixInstanceCheck::Probe(folder).AnotherInstanceRunning());
    }
    EXPECT_FALSE(PosixInstanceCheck::Probe(folder).AnotherInstanceRunning());
    ::unlink(lock.c_str());
}

TEST(PosixInstanceCheck, TheLockFileGoesAwayWithItsHolder) {
    const std::string folder = TestFolder("cleaned");
    const std::string lockFile = PosixInstanceCheck::LockFilePath(folder);
    {
        PosixInstanceCheck first(folder);
        EXPECT_EQ(::access(lockFile.c_str(), F_OK), 0);
        PosixInstanceCheck second(folder);  // a second start leaves the first one's file alone
    }
    EXPECT_NE(::access(lockFile.c_str(), F_OK), 0);
}

// A holder that is killed cannot remove its file; the system drops its lock, so the next start
// runs, and removes the file when it ends.
TEST(PosixInstanceCheck, AFileLeftByAKilledHolderDoesNotBlock) {
    const std::string folder = TestFolder("killed");
    const std::string lockFile = PosixInstanceCheck::LockFilePath(folder);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        PosixInstanceCheck holder(folder);
        const char byte = holder.AnotherInstanceRunning() ? 'n' : 'y';
        if (::write(ready[1], &byte, 1) != 1) ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_EQ(byte, 'y');
    {
        PosixInstanceCheck whileHeld(folder);
        EXPECT_TRUE(whileHeld.AnotherInstanceRunning());
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(::access(lockFile.c_str(), F_OK), 0) << "the killed holder's file stays";
    {
        PosixInstanceCheck next(folder);
        EXPECT_FALSE(next.AnotherInstanceRunning());
    }
    EXPECT_NE(::access(lockFile.c_str(), F_OK), 0);
}

}  // namespace
}  // namespace zelvane
