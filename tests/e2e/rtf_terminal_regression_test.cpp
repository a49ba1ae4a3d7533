// Inputs the fuzzing of the terminal RTF rendering found, kept so that they stay fixed.

#include <gtest/gtest.h>

#include <string>

#include "app/console/rtf_terminal.hpp"

namespace zelvane::console {
namespace {

std::string Plain(std::string_view rtf) { return RenderRtfForTerminal(rtf, RtfTerminalOptions{false}); }
std::string Colored(std::string_view rtf) { return RenderRtfForTerminal(rtf, RtfTerminalOptions{true}); }

// A document must not drive the terminal: no control character but line ends and tabs is
// written, whether it stands in the text, comes as \'hh or as \uN.
TEST(RtfTerminalRegression, ControlCharactersNeverReachTheTerminal) {
    EXPECT_EQ(Plain(std::string("\xff%\x7f\x87", 4)), "\xc3\xbf%\xe2\x80\xa1");  // DEL dropped
    EXPECT_EQ(Plain("a\\'7fb\\'1bc"), "abc");
    EXPECT_EQ(Plain("a\\u27?[2Jb"), "a[2Jb");           // ESC, its stand-in skipped as usual
    EXPECT_EQ(Plain("a\\u155?31mb"), "a31mb");          // U+009B, the one-character CSI
    EXPECT_EQ(Plain("a\\u127?\\u0?\\u7?\\u13?b"), "ab");
    EXPECT_EQ(Plain("a\\u9?b\\u160?c"), "a\tb\xc2\xa0" "c");  // a tab and a no-break space stay
    EXPECT_EQ(Colored("\\cf10 x\\u27?y"), "\x1b[0;91mxy\x1b[0m");
}

}  // namespace
}  // namespace zelvane::console
