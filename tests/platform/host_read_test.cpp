// How the program reads the host: one way to read a host file (only regular files, never waiting,
// within a limit), a line at a time, and host names as the Windows side sees them.

#include "platform/posix/host_read.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platform/posix/host_names.hpp"
#include "platform/posix/text_lines.hpp"
#include "tests/platform/host_folder_fixture.hpp"

namespace zelvane::posix {
namespace {

// Unix and Windows line ends alike; only one "\r" right before the "\n" (or the end) is part of it.
TEST(TextLines, SplitsUnixAndWindowsLinesAndKeepsTheRest) {
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(TextLines("a\nb\r\nc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(TextLines("a\r\n\r\n\nb\n"), (Lines{"a", "", "", "b"}));
    EXPECT_EQ(TextLines("a\r\r\nb\rc\r"), (Lines{"a\r", "b\rc"}));
    EXPECT_EQ(TextLines(std::string_view("a\0b\n", 4)), (Lines{std::string_view("a\0b", 3)}));
    EXPECT_EQ(TextLines(""), Lines{});
    EXPECT_EQ(TextLines("\r"), (Lines{""}));
}

// 1252 where the name can be; else its own bytes, or "?" (a name no path can name) for what would
// read as another name: a backslash, bytes that are no UTF-8.
TEST(HostNames, AHostNameIs1252WhereItCanBeAndNeverAnotherName) {
    EXPECT_EQ(WindowsNameOf("Sp\xC3\xAFl"), "Sp\xEFl");
    EXPECT_EQ(WindowsNameOf("\xE2\x82\xAC \xC2\x81"), "\x80 \x81");  // the euro sign; a C1 control
    EXPECT_EQ(WindowsNameOf("\xD0\x94\xD0\xBC"), "\xD0\x94\xD0\xBC");
    EXPECT_EQ(WindowsNameOf("\xC3\xA9\xE6\x97\xA5"), "\xC3\xA9\xE6\x97\xA5");  // one letter too many
    EXPECT_EQ(WindowsNameOf("na\xEFve"), "na?ve");
    EXPECT_EQ(WindowsNameOf("\xC3\xA9\\b.tga"), "\xE9?b.tga");
    EXPECT_EQ(Cp1252NameOf("a\\b.tga"), "a?b.tga");
}

using HostRead = HostFolderTest;

// A pipe, and a regular file of size 0 that reads on past its size (/proc/self/pagemap
// would not end at all): none is read until memory runs out or waited on. What a line reader is
// asked for later is read later: the file grows meanwhile.
TEST_F(HostRead, OnlyRegularFilesAreReadAndLinesOneAtATimeUpToALineTooLong) {
    std::string bytes = "untouched";
    EXPECT_EQ(ReadHostFile("/proc/self/maps", 100, bytes), FsStatus::TooLarge);
    EXPECT_EQ(bytes, "untouched");
    HostLineReader endless("/proc/self/maps", 100, 1 << 20);
    while (endless.Next()) {
    }
    EXPECT_EQ(endless.Status(), FsStatus::TooLarge);
    ASSERT_EQ(::mkfifo(HostOf("pipe").c_str(), 0600), 0);
    HostLineReader pipe(HostOf("pipe"), 1 << 20, 64);
    EXPECT_EQ(pipe.Status(), FsStatus::NotRegularFile);
    EXPECT_EQ(pipe.Next(), std::nullopt);

    Put("answers.txt", "0\r\n\nlast without a line end");
    HostLineReader lines(HostOf("answers.txt"), 1 << 20, 64);
    EXPECT_EQ(lines.Next(), "0");
    std::ofstream(HostOf("answers.txt"), std::ios::app) << "\n" << std::string(100, 'x') << "\nafter";
    EXPECT_EQ(lines.Next(), "");
    EXPECT_EQ(lines.Next(), "last without a line end");
    EXPECT_EQ(lines.Status(), FsStatus::Ok);
    EXPECT_EQ(lines.Next(), std::nullopt);
    EXPECT_EQ(lines.Status(), FsStatus::TooLarge);
}

}  // namespace
}  // namespace zelvane::posix
