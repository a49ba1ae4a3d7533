#include "platform/posix/instance_lock.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

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

}  // namespace
}  // namespace zelvane
