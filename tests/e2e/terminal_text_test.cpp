// Names on their way to the terminal: no control character of any kind reaches it, whether the
// name comes from the disk (UTF-8) or from the core (code page 1252).

#include <gtest/gtest.h>

#include <string>

#include "app/console/terminal_text.hpp"
#include "util/text/code_page_1252.hpp"

namespace zelvane::console {
namespace {

const std::string kReplacement = "\xef\xbf\xbd";  // U+FFFD

TEST(TerminalText, AHostNameLosesEscBelAndC1ControlsAndKeepsItsLetters) {
    // ESC [ 31 m, BEL, U+009B (the one-character CSI) as UTF-8, a lone byte 0x9B, DEL, a tab, a line end
    EXPECT_EQ(HostTerminalLine("a\x1b[31mb\x07"
                               "c\xc2\x9b"
                               "2Jd\x9b"
                               "e\x7f\tf\ng"),
              "a[31mbc2Jd" + kReplacement + "efg");
    EXPECT_EQ(HostTerminalLine("Spi\xc3\xa9le \xe2\x80\xba \xf0\x9f\x8e\xae"),
              "Spi\xc3\xa9le \xe2\x80\xba \xf0\x9f\x8e\xae");
    EXPECT_EQ(HostTerminalLine("cut \xe2\x80"), "cut " + kReplacement + kReplacement);
}

TEST(TerminalText, NoByteOrCharacterOfTheC1RangeGetsThrough) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string shown = HostTerminalLine(std::string(1, static_cast<char>(byte)));
        if (byte >= 0x20 && byte < 0x7F) {
            EXPECT_EQ(shown, std::string(1, static_cast<char>(byte)));
        } else if (byte < 0x80) {
            EXPECT_EQ(shown, "") << byte;
        } else {
            EXPECT_EQ(shown, kReplacement) << byte;  // alone, no byte above 0x7F is UTF-8
        }
    }
    for (int c = 0x80; c <= 0x9F; ++c) {
        const std::string utf8{static_cast<char>(0xC2), static_cast<char>(c)};
        EXPECT_EQ(HostTerminalLine(utf8), "") << c;
    }
    EXPECT_EQ(HostTerminalLine("\xc2\xa0"), "\xc2\xa0");  // U+00A0, the first character past them
}

TEST(TerminalText, TheBytesCodePage1252LeavesUndefinedShowAsReplacements) {
    for (int byte = 0; byte < 256; ++byte) {
        const bool undefined = byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
        const char32_t shown = TerminalCharacterOf(static_cast<unsigned char>(byte));
        EXPECT_EQ(shown, undefined ? U'\uFFFD' : UnicodeOf(static_cast<unsigned char>(byte))) << byte;
    }
    EXPECT_EQ(TerminalUtf8("\x1b\x81\x80\xe9"), "\x1b" + kReplacement + "\xe2\x82\xac\xc3\xa9");  // controls stay
}

TEST(TerminalText, ACoreTextComesOutAsUtf8WithoutControls) {
    // In 1252, 0x9B is a letter (U+203A) and 0x81 none; ESC and BEL are controls there too.
    EXPECT_EQ(TerminalLine("Z:\\a\x1b\x07\x9b\x81z\xe9"), "Z:\\a\xe2\x80\xba" + kReplacement + "z\xc3\xa9");
}

}  // namespace
}  // namespace zelvane::console
