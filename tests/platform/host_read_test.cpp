// The one way the program reads a host file: only regular files, never waiting, within a limit;
// and the line reader that holds one line at a time.

#include "platform/posix/host_read.hpp"

#include <gtest/gtest.h>

#include <string>

#include "tests/platform/host_folder_fixture.hpp"

namespace zelvane {
namespace {

using HostRead = HostFolderTest;

// A device, and a regular file of size 0 that reads on past its size (/proc/self/pagemap would
// not end at all): neither is read until memory runs out.
TEST_F(HostRead, DevicesAndFilesThatReadOnAreRefused) {
    std::string bytes = "untouched";
    EXPECT_EQ(posix::ReadHostFile("/dev/zero", 1024, bytes), FsStatus::NotRegularFile);
    EXPECT_EQ(posix::ReadHostFile("/proc/self/maps", 100, bytes), FsStatus::TooLarge);
    EXPECT_EQ(bytes, "untouched");
    posix::HostLineReader endless("/proc/self/maps", 100, 1 << 20);
    while (endless.Next()) {
    }
    EXPECT_EQ(endless.Status(), FsStatus::TooLarge);
}

TEST_F(HostRead, LinesAreReadOneAtATimeUpToALineTooLong) {
    Put("answers.txt", "0\r\n\nlast without a line end");
    posix::HostLineReader lines(HostOf("answers.txt"), 1 << 20, 64);
    EXPECT_EQ(lines.Next(), "0");
    // What is asked for later is read later: the file grows meanwhile.
    std::ofstream(HostOf("answers.txt"), std::ios::app) << "\n" << std::string(100, 'x') << "\nafter";
    EXPECT_EQ(lines.Next(), "");
    EXPECT_EQ(lines.Next(), "last without a line end");
    EXPECT_EQ(lines.Status(), FsStatus::Ok);
    EXPECT_EQ(lines.Next(), std::nullopt);
    EXPECT_EQ(lines.Status(), FsStatus::TooLarge);
    ASSERT_EQ(::mkfifo(HostOf("pipe").c_str(), 0600), 0);
    posix::HostLineReader pipe(HostOf("pipe"), 1 << 20, 64);
    EXPECT_EQ(pipe.Status(), FsStatus::NotRegularFile);
    EXPECT_EQ(pipe.Next(), std::nullopt);
}

}  // namespace
}  // namespace zelvane
