// Inputs the fuzzing of the terminal RTF rendering found, kept so that they stay fixed.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/console/rtf_terminal.hpp"
#include "app/console/terminal_ui.hpp"

namespace zelvane::console {
namespace {

std::string Plain(std::string_view rtf) { return RenderRtfForTerminal(rtf, RtfTerminalOptions{false}); }
std::string Colored(std::string_view rtf) { return RenderRtfForTerminal(rtf, RtfTerminalOptions{true}); }

// A document must not drive the terminal: no control character but line ends and tabs is
// written, whether it stands in the text, comes as \'hh or as \uN.
TEST(RtfTerminalRegression, ControlCharactersNeverReachTheTerminal) {
    EXPECT_EQ(Plain(std::string("\xff%\x7f\x87", 4)), "\xc3\xbf%\xe2\x80\xa1");  // DEL dropped
    EXPECT_EQ(Plain("a\\'7fb\\'1bc"), "abc");
    EXPECT_EQ(Plain("a\\u27?[2Jb"), "a[2Jb");   // ESC, its stand-in skipped as usual
    EXPECT_EQ(Plain("a\\u155?31mb"), "a31mb");  // U+009B, the one-character CSI
    EXPECT_EQ(Plain("a\\u127?\\u0?\\u7?\\u13?b"), "ab");
    EXPECT_EQ(Plain("a\\u9?b\\u160?c"),
              "a\tb\xc2\xa0"
              "c");  // a tab and a no-break space stay
    EXPECT_EQ(Colored("\\cf10 x\\u27?y"), "\x1b[0;91mxy\x1b[0m");
}

// Titles, captions and message texts are plain text from the description: the same holds for them.
TEST(RtfTerminalRegression, PlainTitlesAndCaptionsCarryNoControlCharacters) {
    AnswerSource answers = AnswerSource::FromLines({"0"});
    std::ostringstream out;
    TerminalUi ui(
        TerminalOptions{false, false}, answers, [](std::string_view) { return std::string(); }, out);
    PromptRequest request;
    request.msgText = "{\\rtf1 body}";
    request.msgTitle = "Ti\x1b[2Jtle\x7f";
    request.buttonCount = 1;
    request.captions = {"&O\x1bk"};
    EXPECT_EQ(ui.MsgBoxEx(request), 0);
    ui.ShowMessage("line\x07 one\r\nline\ttwo\x1b]0;x\x07", "Bo\x1bx", 0);
    const std::string shown = out.str();
    EXPECT_EQ(shown.find('\x1b'), std::string::npos) << shown;
    EXPECT_EQ(shown.find('\x7f'), std::string::npos) << shown;
    EXPECT_EQ(shown.find('\x07'), std::string::npos) << shown;
    EXPECT_NE(shown.find("Ti[2Jtle"), std::string::npos) << shown;
    EXPECT_NE(shown.find("line one\nline\ttwo]0;x"), std::string::npos) << shown;
}

}  // namespace
}  // namespace zelvane::console
