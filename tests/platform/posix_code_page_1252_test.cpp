// Names between code page 1252 and UTF-8, as Wine maps them.

#include "platform/posix/code_page_1252.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace zelvane::posix {
namespace {

std::string Utf8Of(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// What Windows shows for each byte from 0x80 to 0x9F; the five it leaves undefined keep their number.
constexpr std::array<char32_t, 32> kExpected = {
    U'\u20AC', 0x81,     U'\u201A', U'\u0192', U'\u201E', U'\u2026', U'\u2020', U'\u2021',
    U'\u02C6', U'\u2030', U'\u0160', U'\u2039', U'\u0152', 0x8D,     U'\u017D', 0x8F,
    0x90,     U'\u2018', U'\u2019', U'\u201C', U'\u201D', U'\u2022', U'\u2013', U'\u2014',
    U'\u02DC', U'\u2122', U'\u0161', U'\u203A', U'\u0153', 0x9D,     U'\u017E', U'\u0178',
};

TEST(CodePage1252, TheBytes80To9FAreTheirWindowsCharacters) {
    for (int byte = 0x80; byte <= 0x9F; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        const std::string utf8 = Utf8Of(kExpected[static_cast<std::size_t>(byte - 0x80)]);
        EXPECT_EQ(Cp1252ToUtf8(one), utf8) << std::hex << byte;
        EXPECT_EQ(Utf8ToCp1252(utf8), one) << std::hex << byte;
    }
    // the five undefined bytes, one by one
    EXPECT_EQ(Cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
}

TEST(CodePage1252, EveryByteGoesThereAndBack) {
    for (int byte = 1; byte <= 0xFF; ++byte) {
        if (byte == '\\') continue;  // a separator on the Windows side (below)
        const std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(one)), one) << std::hex << byte;
    }
    EXPECT_EQ(Cp1252ToUtf8("na\xEFve.tga"), "na\xC3\xAFve.tga");
    EXPECT_EQ(Cp1252ToUtf8("\xC9t\xE9 \x80"), "\xC3\x89t\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(Cp1252ToUtf8("plain.2da"), "plain.2da");
}

// Linux lets a name hold a backslash; read as Windows reads it, "a\b.tga" would be the file b.tga
// in a folder a. It is a name no Windows path can name, and names nothing else either.
TEST(CodePage1252, ABackslashInAHostNameIsNoSeparator) {
    EXPECT_EQ(Utf8ToCp1252("a\\b.tga"), "a?b.tga");
    EXPECT_EQ(WindowsNameOf("a\\b.tga"), "a?b.tga");
    EXPECT_EQ(WindowsNameOf("\xC3\xA9\\b.tga"), "\xE9?b.tga");  // not handed over as it stands either
}

TEST(CodePage1252, WhatItCannotHoldBecomesAQuestionMark) {
    EXPECT_EQ(Utf8ToCp1252("\xE6\x97\xA5\xE6\x9C\xAC.tga"), "??.tga");            // Japanese
    EXPECT_EQ(Utf8ToCp1252("nai\xCC\x88ve.tga"), "nai?ve.tga");                    // a combining mark
    EXPECT_EQ(Utf8ToCp1252("\xC2\x80"), "?");                                       // U+0080: 0x80 is the euro sign
    EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80"), "?");                               // beyond the plane
    // bytes that are no UTF-8: one mark each
    EXPECT_EQ(Utf8ToCp1252("na\xEFve"), "na?ve");                                   // Latin-1 bytes
    EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "??");                                      // an overlong '/'
    EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???");                                 // a surrogate
    EXPECT_EQ(Utf8ToCp1252("\xF4\x90\x80\x80"), "????");                            // past U+10FFFF
    EXPECT_EQ(Utf8ToCp1252("a\xE2\x82"), "a??");                                    // cut short
}

TEST(CodePage1252, AHostNameInAPathIs1252WhereItCanBeAndItsOwnBytesElse) {
    EXPECT_EQ(WindowsNameOf("Sp\xC3\xAF" "ele"), "Sp\xEF" "ele");
    EXPECT_EQ(WindowsNameOf("\xE2\x82\xAC \xC2\x81"), "\x80 \x81");  // the euro sign; a C1 control
    EXPECT_EQ(WindowsNameOf("plain"), "plain");
    // No '?' (a wildcard): the name as it stands, which the seam finds as it stands.
    EXPECT_EQ(WindowsNameOf("\xD0\x94\xD0\xBC"), "\xD0\x94\xD0\xBC");
    EXPECT_EQ(WindowsNameOf("\xC3\xA9\xE6\x97\xA5"), "\xC3\xA9\xE6\x97\xA5");  // one letter too many
    // Bytes that are no UTF-8 read as 1252 would name another entry ("na\xEFve" is "naïve").
    EXPECT_EQ(WindowsNameOf("na\xEFve"), "na?ve");
}

}  // namespace
}  // namespace zelvane::posix
