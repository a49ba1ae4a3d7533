#include "platform/posix/text_lines.hpp"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace zelvane::posix {
namespace {

// Unix and Windows line ends alike; only one "\r" right before the "\n" (or the end) is part of it.
TEST(TextLines, SplitsUnixAndWindowsLinesAndKeepsTheRest) {
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(TextLines("a\nb\r\nc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(TextLines("a\r\n\r\n\nb\n"), (Lines{"a", "", "", "b"}));
    EXPECT_EQ(TextLines("a\r\r\nb\rc\r"), (Lines{"a\r", "b\rc"}));
    EXPECT_EQ(TextLines(std::string_view("a\0b\n", 4)), (Lines{std::string_view("a\0b", 3)}));
    EXPECT_TRUE(TextLines("").empty());
    EXPECT_EQ(TextLines("\r"), (Lines{""}));
}

}  // namespace
}  // namespace zelvane::posix
