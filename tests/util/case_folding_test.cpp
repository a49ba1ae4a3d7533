// Letter case of code page 1252 text: the one folding that keys, names and paths share.

#include "util/text/case_folding.hpp"

#include <gtest/gtest.h>

#include <string>

namespace zelvane {
namespace {

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
