// The one way the program reads a host file: only regular files, never waiting, within a limit;
// and the line reader that holds one line at a time.

#include "platform/posix/host_read.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "tests/platform/host_folder_fixture.hpp"

namespace zelvane {
namespace {

using HostRead = HostFolderTest;

TEST_F(HostRead, OnlyRegularFilesAreReadAndNothingIsWaitedFor) {
    std::string bytes = "untouched";
    Folder("folder");
    ASSERT_EQ(::mkfifo(HostOf("pipe").c_str(), 0600), 0);
    // A pipe without a writer would block an open for reading until one came.
    EXPECT_EQ(posix::ReadHostFile(HostOf("pipe"), 1024, bytes), FsStatus::NotRegularFile);
    EXPECT_EQ(posix::ReadHostFile("/dev/zero", 1024, bytes), FsStatus::NotRegularFile);
    EXPECT_EQ(posix::ReadHostFile(HostOf("folder"), 1024, bytes), FsStatus::AccessDenied);
    EXPECT_EQ(posix::ReadHostFile(HostOf("missing"), 1024, bytes), FsStatus::FileNotFound);
    Link("pipe link", HostOf("pipe"));
    EXPECT_EQ(posix::ReadHostFile(HostOf("pipe link"), 1024, bytes), FsStatus::NotRegularFile);
    EXPECT_EQ(bytes, "untouched");
}

TEST_F(HostRead, AFileLargerThanTheLimitIsRefusedAndOneThatReadsOnIsNotFollowed) {
    std::string bytes;
    Put("table.2da", std::string(1000, 't'));
    EXPECT_EQ(posix::ReadHostFile(HostOf("table.2da"), 1000, bytes), FsStatus::Ok);
    EXPECT_EQ(bytes, std::string(1000, 't'));
    bytes = "untouched";
    EXPECT_EQ(posix::ReadHostFile(HostOf("table.2da"), 999, bytes), FsStatus::TooLarge);
    EXPECT_EQ(bytes, "untouched");
    // A regular file of size 0 that reads on past its size (so would /proc/self/pagemap, without end).
    EXPECT_EQ(posix::ReadHostFile("/proc/self/maps", 100, bytes), FsStatus::TooLarge);
}

TEST_F(HostRead, LinesAreReadOneAtATimeAsTheyAreAsked) {
    Put("answers.txt", "0\r\n\nclose\nlast without a line end");
    posix::HostLineReader lines(HostOf("answers.txt"), 1 << 20, 64);
    EXPECT_EQ(lines.Next(), "0");
    // What is asked for later is read later: the file grows meanwhile.
    std::ofstream(HostOf("answers.txt"), std::ios::app) << "\nappended";
    EXPECT_EQ(lines.Next(), "");
    EXPECT_EQ(lines.Next(), "close");
    EXPECT_EQ(lines.Next(), "last without a line end");
    EXPECT_EQ(lines.Next(), "appended");
    EXPECT_EQ(lines.Next(), std::nullopt);
    EXPECT_EQ(lines.Status(), FsStatus::Ok);
}

TEST_F(HostRead, ALineLongerThanItsLimitEndsTheLines) {
    Put("answers.txt", "0\n" + std::string(100, 'x') + "\n1\n");
    posix::HostLineReader lines(HostOf("answers.txt"), 1 << 20, 64);
    EXPECT_EQ(lines.Next(), "0");
    EXPECT_EQ(lines.Next(), std::nullopt);
    EXPECT_EQ(lines.Status(), FsStatus::TooLarge);
    EXPECT_EQ(lines.Next(), std::nullopt);

    ASSERT_EQ(::mkfifo(HostOf("pipe").c_str(), 0600), 0);
    posix::HostLineReader pipe(HostOf("pipe"), 1 << 20, 64);
    EXPECT_EQ(pipe.Status(), FsStatus::NotRegularFile);
    EXPECT_EQ(pipe.Next(), std::nullopt);
    posix::HostLineReader endless("/proc/self/maps", 100, 1 << 20);
    while (endless.Next()) {
    }
    EXPECT_EQ(endless.Status(), FsStatus::TooLarge);
}

}  // namespace
}  // namespace zelvane
