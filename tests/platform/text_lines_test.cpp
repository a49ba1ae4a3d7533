#include "platform/posix/text_lines.hpp"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace zelvane::posix {
namespace {

using Lines = std::vector<std::string_view>;

TEST(TextLines, SplitsUnixAndWindowsLinesAlike) {
    EXPECT_EQ(TextLines("a\nb\r\nc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(TextLines("a\r\n\r\n\nb\n"), (Lines{"a", "", "", "b"}));
}

TEST(TextLines, KeepsWhatIsNotTheLineEnd) {
    // Only one "\r" right before the "\n" (or the end) belongs to the line end.
    EXPECT_EQ(TextLines("a\r\r\nb\rc\r"), (Lines{"a\r", "b\rc"}));
    EXPECT_EQ(TextLines(std::string_view("a\0b\n", 4)), (Lines{std::string_view("a\0b", 3)}));
}

TEST(TextLines, AnEmptyTextHasNoLinesAndALoneNewlineOneEmptyLine) {
    EXPECT_TRUE(TextLines("").empty());
    EXPECT_EQ(TextLines("\n"), (Lines{""}));
    EXPECT_EQ(TextLines("\r"), (Lines{""}));
}

}  // namespace
}  // namespace zelvane::posix
