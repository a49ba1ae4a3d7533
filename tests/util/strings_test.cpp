#include <gtest/gtest.h>

#include <array>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "util/legacy_number.hpp"
#include "util/program_error.hpp"
#include "util/strings.hpp"
#include "util/text/case_folding.hpp"
#include "util/text/code_page_1252.hpp"
#include "util/text/utf8.hpp"

namespace zelvane {
namespace {

using Pieces = std::vector<std::string>;

constexpr CompareMode kExact = CompareMode::Exact;

// FindLast never examines position one, and a start of zero is an invalid argument.
TEST(Search, FindLastBackwardsInStrForwardsAndKeysAtTheStart) {
    const std::string path = "C:\\Games\\OVERRIDE\\x";
    EXPECT_EQ((std::vector{InStr(1, "a\\b\\c", "\\"), InStr(3, "a\\b\\c", "\\"), InStr(5, "a\\b\\c", "\\"),
                           InStr(1, path, "override"), InStr(1, path, "override", CompareMode::CaseInsensitive)}),
              (std::vector{2, 4, 0, 0, 10}));
    EXPECT_EQ((std::vector{FindLast("\\a", "\\", -1, kExact), FindLast("a\\b\\c", "\\", -1, kExact),
                           FindLast("abc", "abcd", -1, kExact), FindLast("abc", "c", 10, kExact),
                           FindLast("a.B.b", "b", -1, CompareMode::CaseInsensitive),
                           FindLast("a.B.b", "B", 4, kExact)}),
              (std::vector{0, 4, 0, 0, 5, 3}));
    EXPECT_THROW(FindLast("abc", "b", 0, kExact), ProgramError);
    // A key matches the first characters, lower-cased.
    EXPECT_EQ((std::vector{StartsWithKey("#GAME=2", "#game="), StartsWithKey(" #game=2", "#game="),
                           StartsWithKey("#gam", "#game="), StartsWithKey("\xC4NDERUNG=1", "\xE4nderung=")}),
              (std::vector{true, false, false, true}));  // code page 1252 capitals too
}

TEST(SplitText, PiecesAroundEveryMatchAndInputLines) {
    EXPECT_EQ(SplitText("a,b,,c", ","), (Pieces{"a", "b", "", "c"}));
    EXPECT_EQ(SplitText("abc", ","), (Pieces{"abc"}));
    EXPECT_EQ(SplitText("", ","), (Pieces{""}));
    EXPECT_EQ(SplitText("abc", ""), (Pieces{"abc"}));
    EXPECT_EQ(SplitText(",a,", ","), (Pieces{"", "a", ""}));
    EXPECT_EQ(SplitText("a\\\\\\b", "\\\\"), (Pieces{"a", "\\b"}));  // overlapping matches lose nothing
    // Input lines: CR or CR LF end a line, LF alone does not.
    EXPECT_EQ(SplitInputLines("a\r\nb\rc\nd"), (Pieces{"a", "b", "c\nd"}));
    EXPECT_EQ(SplitInputLines("a\r\n\r\n"), (Pieces{"a", ""}));
    EXPECT_EQ(SplitInputLines(""), (Pieces{}));
    EXPECT_EQ(SplitInputLines("#game=2\n#game_select=1\n"), (Pieces{"#game=2\n#game_select=1\n"}));
    std::vector<std::size_t> offsets;
    for (const InputLine& line : InputLines("a\r\nbc\rd\ne")) offsets.push_back(line.offset);
    EXPECT_EQ(offsets, (std::vector<std::size_t>{0, 3, 6}));
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

TEST(ProgramError, UnexpectedFailuresAreNumberedAsTheHandlersReportThem) {
    std::string shown;
    for (const ProgramError& e :
         {FailureOf(std::bad_alloc()), FailureOf(std::length_error("vector")), InvalidArgumentError()})
        shown += std::to_string(e.Number()) + " " + e.Description() + "|";
    EXPECT_EQ(shown, "7 Out of memory|51 Internal error|5 Invalid procedure call or argument|");
}

// Numbers as the legacy language's Val reads them (the font sizes of a prompt body): decimal
// numbers up to the first other character, blanks, tabs and line feeds skipped throughout (a
// carriage return is no blank), exponents with E or D; no digits read as zero; &H and &O are 16- or
// 32-bit integers; overflow is no number.
TEST(LegacyNumber, AsValReadsThemAndAsADescriptionReadsThem) {
    const std::optional<double> none;
    const std::pair<std::string, std::optional<double>> cases[] = {
        {"42", 42},         {"+7", 7},          {"-2.5", -2.5},   {".5", 0.5},
        {"5.", 5},          {"1.5.3", 1.5},     {"12,5", 12},     {"24\\b", 24},
        {"  \t\n 42", 42},  {"1 2 3", 123},     {"- 7", -7},      {"1 .\t5", 1.5},
        {"1 e\n+ 2", 100},  {"& h 1\tF", 31},   {"1E+2", 100},    {"25e-1", 2.5},
        {"1D2", 100},       {"1e", 1},          {"1e+x", 1},      {"1f2", 1},
        {"&hff", 255},      {"&o17", 15},       {"&H1G", 1},      {"&O78", 7},
        {"&H7FFF", 32767},  {"&H8000", -32768}, {"&O177777", -1}, {"&H10000", 65536},
        {"&HFFFFFFFF", -1}, {"+-5", 0},         {"", 0},          {"-", 0},
        {"e5", 0},          {"&X5", 0},         {"&H", 0},        {"-&H10", 0},
        {"\r5", 0},         {"1e-400", 0},      {"1e400", none},  {"-1D400", none}};
    for (const auto& [text, value] : cases) EXPECT_EQ(ReadLegacyNumber(text), value) << '"' << text << '"';
    EXPECT_EQ(ReadLegacyNumber("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(ReadLegacyNumber("0000000000000000000000000000012"), 12);
    EXPECT_EQ(ReadLegacyNumber("&H0000000000FFFF"), -1);
    EXPECT_EQ(ReadLegacyNumber("&H7FFFFFFF"), 2147483647);
    EXPECT_EQ(ReadLegacyNumber("&H80000000"), -2147483648.0);
    for (const std::string& text : {std::string("&H100000000"), std::string("&O40000000000"), std::string(400, '9'),
                                    "1" + std::string(400, '0') + "e-10"})
        EXPECT_EQ(ReadLegacyNumber(text), none) << text;
    // A description's numbers: &H and &O digits for their plain value, the exponent with E only.
    const auto read = [](std::string_view text) { return ReadLegacyNumber(text, NumberSyntax::Description); };
    EXPECT_EQ((std::vector{read("&O177777"), read("&HFFFFFFFF"), read("&H100000000"), read("1D2"), read("1e2")}),
              (std::vector<std::optional<double>>{65535, 4294967295.0, none, 1, 100}));
}

const std::string kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// What Windows makes of each byte from 0x80 to 0x9F; the five it leaves undefined keep their number.
constexpr std::array<char32_t, 32> kHighBytes = {
    U'\u20AC', 0x81,      U'\u201A', U'\u0192', U'\u201E', U'\u2026', U'\u2020', U'\u2021',
    U'\u02C6', U'\u2030', U'\u0160', U'\u2039', U'\u0152', 0x8D,      U'\u017D', 0x8F,
    0x90,      U'\u2018', U'\u2019', U'\u201C', U'\u201D', U'\u2022', U'\u2013', U'\u2014',
    U'\u02DC', U'\u2122', U'\u0161', U'\u203A', U'\u0153', 0x9D,      U'\u017E', U'\u0178',
};

TEST(CodePage1252, EveryByteIsItsWindowsCharacterAndBack) {
    for (int byte = 0; byte <= 0xFF; ++byte) {
        const bool high = byte >= 0x80 && byte <= 0x9F;
        const char32_t expected = high ? kHighBytes[static_cast<std::size_t>(byte - 0x80)] : char32_t(byte);
        EXPECT_EQ(UnicodeOf(static_cast<unsigned char>(byte)), expected) << std::hex << byte;
        EXPECT_EQ(Cp1252Of(expected), static_cast<char>(byte)) << std::hex << byte;
        const std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(one)), one) << std::hex << byte;
    }
    // The five undefined bytes are the C1 controls of their number, as Windows converts them.
    EXPECT_EQ(Cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
    EXPECT_EQ(Cp1252ToUtf8("\xC9t\xE9 \x80 a\\b"), "\xC3\x89t\xC3\xA9 \xE2\x82\xAC a\\b");
    // What 1252 cannot hold becomes a question mark.
    EXPECT_EQ(Cp1252Of(U'\u0080'), '?');                                // 0x80 is the euro sign
    EXPECT_EQ(Utf8ToCp1252("\xE6\x97\xA5\xE6\x9C\xAC.tga"), "??.tga");  // Japanese
    EXPECT_EQ(Utf8ToCp1252("nai\xCC\x88ve.tga"), "nai?ve.tga");         // a combining mark
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80"), "?");                   // beyond the plane
    // bytes that are no UTF-8: one mark each
    EXPECT_EQ(Utf8ToCp1252("na\xEFve"), "na?ve");  // Latin-1 bytes
    EXPECT_EQ(Utf8ToCp1252("a\xE2\x82"), "a??");   // cut short
}

TEST(Utf8, EncodesOneToFourBytesAndOnlyCharacters) {
    std::string out;
    for (char32_t c : {0x41U, 0x7FU, 0x80U, 0x7FFU, 0x800U, 0xFFFFU, 0x10000U, 0x10FFFFU}) AppendUtf8(out, c);
    EXPECT_EQ(out, "A\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF");
    out.clear();  // surrogates and values past U+10FFFF are no characters
    for (char32_t c : {0xD800U, 0xDFFFU, 0x110000U}) AppendUtf8(out, c);
    EXPECT_EQ(out, kReplacement + kReplacement + kReplacement);
}

TEST(Utf8, DecodesOnlyWellFormedCharacters) {
    const auto decoded = [](std::string_view text) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf8(text, 0, c);
        return length == 0 ? std::u32string() : std::u32string(1, c) + std::u32string(length, U'.');
    };
    EXPECT_EQ(decoded("a"), U"a.");
    EXPECT_EQ(decoded("\xC3\xA9z"), U"\u00E9..");
    EXPECT_EQ(decoded("\xE2\x82\xAC"), U"\u20AC...");
    EXPECT_EQ(decoded("\xF4\x8F\xBF\xBF"), U"\U0010FFFF....");
    for (const std::string_view bad : {"\x80", "\xC3", "\xC3z", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                                       "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xFF"}) {
        EXPECT_EQ(decoded(bad), U"") << testing::PrintToString(std::string(bad));
    }
}

// The capitals 1252 gives a small letter, and those small letters.
constexpr std::string_view kCapitals =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ\x8A\x8C\x8E\x9F"
    "\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF"
    "\xD0\xD1\xD2\xD3\xD4\xD5\xD6\xD8\xD9\xDA\xDB\xDC\xDD\xDE";
constexpr std::string_view kSmall =
    "abcdefghijklmnopqrstuvwxyz\x9A\x9C\x9E\xFF"
    "\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF"
    "\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF8\xF9\xFA\xFB\xFC\xFD\xFE";

TEST(CaseFolding, EveryByteAsWindowsFoldsIt) {
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        const std::size_t capital = kCapitals.find(c), small = kSmall.find(c);
        EXPECT_EQ(LowerCase(c), capital == std::string_view::npos ? c : kSmall[capital]) << std::hex << byte;
        EXPECT_EQ(UpperCase(c), small == std::string_view::npos ? c : kCapitals[small]) << std::hex << byte;
    }
    // No letters: the multiplication and division signs, the sharp s, the other signs of 0x80-0x9F.
    EXPECT_EQ(LowerCase("\xD7\xF7\xDF\x8B\x9B"), "\xD7\xF7\xDF\x8B\x9B");
}

}  // namespace
}  // namespace zelvane
