// The console's own text on its way to the terminal, in the same program as its runs: prompt RTF
// rendered as lines with ANSI attributes, typed answers, colours on or off, names and texts that
// never carry a control character to the terminal, and the longest answers line it reads.

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

#include "app/console/answer_source.hpp"
#include "app/console/console_host.hpp"
#include "app/console/posix/host_path_form.hpp"
#include "app/console/rtf_terminal.hpp"
#include "app/console/terminal_text.hpp"
#include "app/console/terminal_ui.hpp"
#include "tests/e2e/e2e_support.hpp"
#include "util/text/code_page_1252.hpp"

namespace zelvane::console {
namespace {

const std::string kReplacement = "\xef\xbf\xbd";  // U+FFFD

// A document must not drive the terminal: no control character but line ends and tabs is
// written, whether it stands in the text, comes as \'hh or as \uN. Colour 1 is the terminal's own
// foreground, 10 bright red, 3 green; a line end resets the attributes.
TEST(RtfTerminal, DocumentsBecomeLinesOfTextWithAnsiAttributesAndNoControls) {
    const struct {
        std::string rtf;
        std::string expected;
        bool colours = false;
    } kCases[] = {
        {"\\cf1 This will remove some mod that\\par \r\n\\cf10\\ul the author did not bother to name.\\ulnone\\cf1"
         "\\par \r\n\\par \r\nI \\i hope\\i0  that \\b you\\b0  at least know what it is.",
         "This will remove some mod that\nthe author did not bother to name.\n\nI hope that you at least know what "
         "it is."},
        {"{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Times New Roman;}}\r\n"
         "{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\r\n"
         "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs24 Hello\\fs32  big\\par\r\n{\\*\\generator Riched20;}world}",
         "Hello big\nworld"},
        {"caf\\'e9 \\'93quoted\\'94 \\'80", "caf\xc3\xa9 \xe2\x80\x9cquoted\xe2\x80\x9d \xe2\x82\xac"},
        {"raw \xe9", "raw \xc3\xa9"},
        {"\\'81 \x81", kReplacement + " " + kReplacement},  // no letter there
        {"\\u233?x", "\xc3\xa9x"},                          // a Unicode letter skips its stand-in
        {"Override\\\\Sub\\\\x.tga \\{braces\\}", "Override\\Sub\\x.tga {braces}"},
        {"Backup Uninstall\\cf1\\ located", "Backup Uninstall located"},
        {"a\\tab b\\line c", "a\tb\nc"},
        {"\\qc\\pard\\fs48\\f0\\lang1033\\nosuchword12 text", "text"},
        {"{\\*\\unknowndestination hidden}shown", "shown"},
        {"{\\stylesheet{\\s0 Normal;}}x", "x"},
        {"\\cf1 a\\cf10 b\\cf1 c", "a\x1b[0;91mb\x1b[0mc", true},
        {"\\b x\\b0 y", "\x1b[0;1mx\x1b[0my", true},
        {"\\i\\ul z\\ulnone\\i0", "\x1b[0;3;4mz\x1b[0m", true},
        {"{\\cf3 g}h", "\x1b[0;32mg\x1b[0mh", true},
        {"\\cf5 n\\par m", "\x1b[0;34mn\x1b[0m\n\x1b[0;34mm\x1b[0m", true},
        {"\\cf10\\b\\ul x\\cf1\\b0\\ulnone y", "xy"},
        {std::string("\xff%\x7f\x87", 4), "\xc3\xbf%\xe2\x80\xa1"},  // DEL dropped
        {"a\\'7fb\\'1bc", "abc"},
        {"a\\u27?[2Jb", "a[2Jb"},   // ESC, its stand-in skipped as usual
        {"a\\u155?31mb", "a31mb"},  // U+009B, the one-character CSI
        {"a\\u127?\\u0?\\u7?\\u13?b", "ab"},
        {"a\\u9?b\\u160?c", "a\tb\u00a0c"},  // a tab and a no-break space stay
        {"\\cf10 x\\u27?y", "\x1b[0;91mxy\x1b[0m", true},
        {"}}}a{{{b\\'zz\\'4", "abzz4"},
        {std::string("a\0b\1c", 5), "abc"},
    };
    for (const auto& c : kCases) EXPECT_EQ(RenderRtfForTerminal(c.rtf, RtfTerminalOptions{c.colours}), c.expected);
    const std::pair<int, int> kColours[] = {{1, 39},  {2, 31},  {3, 32}, {5, 34},  {6, 35}, {7, 36},
                                            {10, 91}, {16, 97}, {0, 39}, {17, 39}, {-3, 39}};
    for (const auto& [index, ansi] : kColours) EXPECT_EQ(AnsiColorOf(index), ansi) << index;
    EXPECT_TRUE(UseColors(false, nullptr, true));
    EXPECT_TRUE(UseColors(false, "", true));  // NO_COLOR set to nothing asks for nothing
    EXPECT_FALSE(UseColors(false, "1", true));
    EXPECT_FALSE(UseColors(true, nullptr, true));
    EXPECT_FALSE(UseColors(false, nullptr, false));

    // Titles, captions and message texts are plain text from the description: the same holds.
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
    EXPECT_EQ(out.str().find_first_of("\x1b\x7f\x07"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("Ti[2Jtle"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("line one\nline\ttwo]0;x"), std::string::npos) << out.str();
}

// An answers line holds at most 64 KiB; a longer one ends the answers.
TEST(PromptAnswers, IndexCloseLetterCaptionOrTheFocusedButtonFromLinesUpTo64KiB) {
    PromptRequest game;
    game.buttonCount = 3;
    game.captions = {"Kotor &1", "Kotor &2 TSL", "&Abort", ""};
    const std::pair<const char*, std::optional<int>> kAnswers[] = {
        {"0", 0}, {" 2 ", 2},         {"3", std::nullopt}, {"close", -1},     {"CLOSE", -1},
        {"a", 2}, {"kotor 2 tsl", 1}, {"x", std::nullopt}, {"", std::nullopt}};
    for (const auto& [typed, index] : kAnswers) EXPECT_EQ(ParsePromptAnswer(typed, game), index) << typed;
    for (const auto& [focus, button] :
         {std::pair<int, std::optional<int>>{2, 2}, {3, std::nullopt}, {-1, std::nullopt}}) {
        game.focusIndex = focus;
        EXPECT_EQ(FocusButton(game), button) << focus;
    }

    PromptRequest single;
    single.buttonCount = 0;  // one button all the same
    single.captions = {"&Ok", "", "", ""};
    single.focusIndex = 0;
    EXPECT_EQ(VisibleButtonCount(single), 1);
    EXPECT_EQ(ParsePromptAnswer("0", single), 0);
    EXPECT_EQ(ParsePromptAnswer("1", single), std::nullopt);
    EXPECT_EQ(ParsePromptAnswer("o", single), 0);
    EXPECT_EQ(FocusButton(single), 0);

    e2e::TempFolder t;
    const std::string full(64 * 1024, 'y');
    e2e::WriteFile(t.Path() + "/answers.txt", full + "\n" + full + "y\nYes\n");
    const OpenedAnswers lines = OpenAnswersFile(t.Path() + "/answers.txt");
    ASSERT_NE(lines.lines, nullptr);
    EXPECT_EQ(lines.lines->Next(), full);
    EXPECT_EQ(lines.lines->Next(), std::nullopt);
}

// "." and ".." are resolved, and a name keeps its UTF-8 bytes where code page 1252 cannot hold it.
TEST(HostPathForm, HostPathsMapOntoDriveZInCodePage1252WhereItHoldsThem) {
    EXPECT_EQ(HostToWindowsPath("//home///me/./x/../\u00dcn/\u0414/"), "Z:\\home\\me\\\xdcn\\\u0414");
    EXPECT_EQ(HostToWindowsPath("/tmp/na\xefve"), "Z:\\tmp\\na?ve");  // no UTF-8
    EXPECT_EQ(UserPathToWindows("C:/Games/Kotor"), "C:\\Games\\Kotor");
    EXPECT_EQ(ExpandHome("~other/Games"), "~other/Games");
}

// Names on their way to the terminal lose every control character, whether they come from the
// disk (UTF-8) or from the core (code page 1252, where 0x9B is a letter and 0x81 none).
TEST(TerminalText, NoControlCharacterOfAnyRangeGetsThrough) {
    EXPECT_EQ(HostTerminalLine("a\x1b[31mb\x07"
                               "c\xc2\x9b"
                               "2Jd\x9b"
                               "e\x7f\tf\ng"),
              "a[31mbc2Jd" + kReplacement + "efg");
    EXPECT_EQ(HostTerminalLine("Spi\xc3\xa9le \xe2\x80\xba \xf0\x9f\x8e\xae"),
              "Spi\xc3\xa9le \xe2\x80\xba \xf0\x9f\x8e\xae");
    EXPECT_EQ(HostTerminalLine("cut \xe2\x80"), "cut " + kReplacement + kReplacement);
    for (int byte = 0; byte < 256; ++byte) {
        const std::string shown = HostTerminalLine(std::string(1, static_cast<char>(byte)));
        const std::string expected = byte >= 0x20 && byte < 0x7F ? std::string(1, static_cast<char>(byte))
                                     : byte < 0x80               ? ""
                                                                 : kReplacement;  // alone, no byte above 0x7F is UTF-8
        EXPECT_EQ(shown, expected) << byte;
        if (byte >= 0x80 && byte <= 0x9F) {  // U+0080 to U+009F
            EXPECT_EQ(HostTerminalLine(std::string{static_cast<char>(0xC2), static_cast<char>(byte)}), "") << byte;
        }
        const bool undefined = byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
        EXPECT_EQ(TerminalCharacterOf(static_cast<unsigned char>(byte)),
                  undefined ? U'\uFFFD' : UnicodeOf(static_cast<unsigned char>(byte)))
            << byte;
    }
    EXPECT_EQ(HostTerminalLine("\xc2\xa0"), "\xc2\xa0");  // U+00A0, the first character past them
    EXPECT_EQ(TerminalUtf8("\x1b\x81\x80\xe9"), "\x1b" + kReplacement + "\xe2\x82\xac\xc3\xa9");  // controls stay
    EXPECT_EQ(TerminalLine("Z:\\a\x1b\x07\x9b\x81z\xe9"), "Z:\\a\xe2\x80\xba" + kReplacement + "z\xc3\xa9");
}

}  // namespace
}  // namespace zelvane::console
