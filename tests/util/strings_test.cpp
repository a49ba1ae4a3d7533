#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "util/program_error.hpp"
#include "util/strings.hpp"

namespace zelvane {
namespace {

using Pieces = std::vector<std::string>;

constexpr CompareMode kExact = CompareMode::Exact;

TEST(FindLast, NeverExaminesPositionOneAndStartZeroIsAnInvalidArgument) {
    EXPECT_EQ(FindLast("\\a", "\\", -1, kExact), 0);
    EXPECT_EQ(FindLast("a\\b\\c", "\\", -1, kExact), 4);
    EXPECT_EQ(FindLast("abc", "abcd", -1, kExact), 0);
    EXPECT_EQ(FindLast("abc", "c", 10, kExact), 0);
    EXPECT_EQ(FindLast("a.B.b", "b", -1, CompareMode::CaseInsensitive), 5);
    EXPECT_EQ(FindLast("a.B.b", "B", 4, kExact), 3);
    try {
        FindLast("abc", "b", 0, CompareMode::Exact);
        ADD_FAILURE() << "no error";
    } catch (const ProgramError& e) {
        EXPECT_EQ(e.Number(), 5);
        EXPECT_EQ(e.Description(), "Invalid procedure call or argument");
    }
}

TEST(SplitText, PiecesAroundEveryMatch) {
    EXPECT_EQ(SplitText("a,b,,c", ","), (Pieces{"a", "b", "", "c"}));
    EXPECT_EQ(SplitText("abc", ","), (Pieces{"abc"}));
    EXPECT_EQ(SplitText("", ","), (Pieces{""}));
    EXPECT_EQ(SplitText("abc", ""), (Pieces{"abc"}));
    EXPECT_EQ(SplitText(",a,", ","), (Pieces{"", "a", ""}));
    EXPECT_EQ(SplitText("a\\\\\\b", "\\\\"), (Pieces{"a", "\\b"}));  // overlapping matches lose nothing
}

TEST(ReplaceText, ResumesAfterEachReplacement) {
    EXPECT_EQ(ReplaceText("aaa", "a", "aa", 1, -1, kExact), "aaaaaa");
    EXPECT_EQ(ReplaceText("aXbxc", "x", "-", 1, -1, CompareMode::CaseInsensitive), "a-b-c");
    EXPECT_EQ(ReplaceText("aXbxc", "x", "-", 1, -1, kExact), "aXb-c");
    EXPECT_EQ(ReplaceText("abab", "ab", "x", 1, 1, kExact), "xab");
    EXPECT_EQ(ReplaceText("abab", "ab", "x", 2, -1, kExact), "abx");
    EXPECT_EQ(ReplaceText("abc", "b", "x", 9, -1, kExact), "abc");
    EXPECT_EQ(ReplaceText("a\\\\b", "\\\\", "\\", 1, -1, kExact), "a\\b");
}

TEST(InputLines, CrOrCrLfEndALineLfAloneDoesNot) {
    EXPECT_EQ(SplitInputLines("a\r\nb\rc\nd"), (Pieces{"a", "b", "c\nd"}));
    EXPECT_EQ(SplitInputLines("a\r\n\r\n"), (Pieces{"a", ""}));
    EXPECT_EQ(SplitInputLines(""), (Pieces{}));
    EXPECT_EQ(SplitInputLines("#game=2\n#game_select=1\n"), (Pieces{"#game=2\n#game_select=1\n"}));
    std::vector<std::size_t> offsets;
    for (const InputLine& line : InputLines("a\r\nbc\rd\ne")) offsets.push_back(line.offset);
    EXPECT_EQ(offsets, (std::vector<std::size_t>{0, 3, 6}));
}

TEST(Keys, FirstCharactersLowerCased) {
    EXPECT_TRUE(StartsWithKey("#GAME=2", "#game="));
    EXPECT_FALSE(StartsWithKey(" #game=2", "#game="));
    EXPECT_FALSE(StartsWithKey("#gam", "#game="));
    EXPECT_TRUE(StartsWithKey("\xC4NDERUNG=1", "\xE4nderung="));  // code page 1252 capitals too
}

TEST(InStr, ForwardSearch) {
    EXPECT_EQ(InStr(1, "a\\b\\c", "\\"), 2);
    EXPECT_EQ(InStr(3, "a\\b\\c", "\\"), 4);
    EXPECT_EQ(InStr(5, "a\\b\\c", "\\"), 0);
    EXPECT_EQ(InStr(1, "C:\\Games\\OVERRIDE\\x", "override"), 0);
    EXPECT_EQ(InStr(1, "C:\\Games\\OVERRIDE\\x", "override", CompareMode::CaseInsensitive), 10);
}

TEST(ProgramError, UnexpectedFailuresAreNumberedAsTheHandlersReportThem) {
    const auto failure = [](const std::exception& e) {
        const ProgramError error = FailureOf(e);
        return std::to_string(error.Number()) + " " + error.Description();
    };
    EXPECT_EQ(failure(ProgramError(53, "File not found")), "53 File not found");
    EXPECT_EQ(failure(std::bad_alloc()), "7 Out of memory");
    EXPECT_EQ(failure(std::length_error("vector")), "51 Internal error");
}

}  // namespace
}  // namespace zelvane
