// Code page 1252 and UTF-8, both ways (the one table and the one UTF-8 coder), and the letter case
// of 1252 text: the one folding that keys, names and paths share.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "util/text/case_folding.hpp"
#include "util/text/code_page_1252.hpp"
#include "util/text/utf8.hpp"

namespace zelvane {
namespace {

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
}

TEST(CodePage1252, WhatItCannotHoldBecomesAQuestionMark) {
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

TEST(Utf8, WholeTexts) {
    const std::string utf8 = std::string("Sp\xC3\xAF") + "ele", latin1 = std::string("Sp\xEF") + "ele";
    EXPECT_EQ((std::vector<bool>{IsUtf8(""), IsUtf8(utf8), IsUtf8(latin1), IsNonAsciiUtf8("plain"),
                                 IsNonAsciiUtf8(utf8), IsNonAsciiUtf8("\xC3\xA9\xEF")}),
              (std::vector<bool>{true, true, false, false, true, false}));
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
        const std::size_t capital = kCapitals.find(c);
        const std::size_t small = kSmall.find(c);
        const char lower = capital == std::string_view::npos ? c : kSmall[capital];
        const char upper = small == std::string_view::npos ? c : kCapitals[small];
        EXPECT_EQ(LowerCase(c), lower) << std::hex << byte;
        EXPECT_EQ(UpperCase(c), upper) << std::hex << byte;
    }
    // No letters: the multiplication and division signs, the sharp s, the other signs of 0x80-0x9F.
    EXPECT_EQ(LowerCase("\xD7\xF7\xDF\x8B\x9B"), "\xD7\xF7\xDF\x8B\x9B");
}

TEST(CaseFolding, WholeTexts) {
    EXPECT_EQ(LowerCase(std::string_view("Override\\\xC4rger.TGA")), "override\\\xE4rger.tga");
    std::string out(2, '\0');
    LowerCaseInto("A\x8A", out.data());
    EXPECT_EQ(out, "a\x9A");
}

}  // namespace
}  // namespace zelvane
