// The terminal rendering of prompt RTF, the parsing of typed answers and the Windows form of
// host paths, in the same program as the runs of the console.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/console/answer_source.hpp"
#include "app/console/posix/host_path_form.hpp"
#include "app/console/rtf_terminal.hpp"
#include "app/console/terminal_ui.hpp"

namespace zelvane::console {
namespace {

std::string Plain(std::string_view rtf) { return RenderRtfForTerminal(rtf, RtfTerminalOptions{false}); }
std::string Colored(std::string_view rtf) { return RenderRtfForTerminal(rtf, RtfTerminalOptions{true}); }

TEST(RtfTerminal, APromptFragmentBecomesLinesOfPlainText) {
    const std::string fragment =
        "\\cf1 This will remove some mod that\\par \r\n\\cf10\\ul the author did not bother to "
        "name.\\ulnone\\cf1\\par \r\n\\par \r\nI \\i hope\\i0  that \\b you\\b0  at least know what it is.";
    EXPECT_EQ(Plain(fragment),
              "This will remove some mod that\nthe author did not bother to name.\n\nI hope that you at least know "
              "what it is.");
}

TEST(RtfTerminal, AWholeDocumentSkipsItsFontAndColourTables) {
    const std::string doc =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Times New Roman;}}\r\n"
        "{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green0\\blue0;}\r\n"
        "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs24 Hello\\fs32  big\\par\r\n{\\*\\generator Riched20;}world}";
    EXPECT_EQ(Plain(doc), "Hello big\nworld");
}

TEST(RtfTerminal, ColoursAndStylesBecomeAnsiAttributes) {
    // Colour 1 is the terminal's own foreground, colour 10 bright red, 3 green.
    EXPECT_EQ(Colored("\\cf1 a\\cf10 b\\cf1 c"), "a\x1b[0;91mb\x1b[0mc");
    EXPECT_EQ(Colored("\\b x\\b0 y"), "\x1b[0;1mx\x1b[0my");
    EXPECT_EQ(Colored("\\i\\ul z\\ulnone\\i0"), "\x1b[0;3;4mz\x1b[0m");
    EXPECT_EQ(Colored("{\\cf3 g}h"), "\x1b[0;32mg\x1b[0mh");
    // A line end resets the attributes, so colour does not run into the next line.
    EXPECT_EQ(Colored("\\cf5 n\\par m"), "\x1b[0;34mn\x1b[0m\n\x1b[0;34mm\x1b[0m");
    // Nothing of this without colours.
    EXPECT_EQ(Plain("\\cf10\\b\\ul x\\cf1\\b0\\ulnone y"), "xy");
}

TEST(RtfTerminal, TheColourTableMapsToAnsiColours) {
    EXPECT_EQ(AnsiColorOf(1), 39);
    EXPECT_EQ(AnsiColorOf(2), 31);
    EXPECT_EQ(AnsiColorOf(3), 32);
    EXPECT_EQ(AnsiColorOf(5), 34);
    EXPECT_EQ(AnsiColorOf(6), 35);
    EXPECT_EQ(AnsiColorOf(7), 36);
    EXPECT_EQ(AnsiColorOf(10), 91);
    EXPECT_EQ(AnsiColorOf(16), 97);
    EXPECT_EQ(AnsiColorOf(0), 39);
    EXPECT_EQ(AnsiColorOf(17), 39);
    EXPECT_EQ(AnsiColorOf(-3), 39);
}

TEST(RtfTerminal, CodePage1252LettersComeOutAsUtf8) {
    EXPECT_EQ(Plain("caf\\'e9 \\'93quoted\\'94 \\'80"), "caf\xc3\xa9 \xe2\x80\x9cquoted\xe2\x80\x9d \xe2\x82\xac");
    EXPECT_EQ(Plain("raw \xe9"), "raw \xc3\xa9");
    EXPECT_EQ(Plain("\\'81 \x81"), "\xef\xbf\xbd \xef\xbf\xbd");  // no letter there
    EXPECT_EQ(Plain("\\u233?x"), "\xc3\xa9x");                    // a Unicode letter skips its stand-in
}

TEST(RtfTerminal, EscapedCharactersAndBackslashPaths) {
    EXPECT_EQ(Plain("Override\\\\Sub\\\\x.tga \\{braces\\}"), "Override\\Sub\\x.tga {braces}");
    EXPECT_EQ(Plain("Backup Uninstall\\cf1\\ located"), "Backup Uninstall located");
    EXPECT_EQ(Plain("a\\tab b\\line c"), "a\tb\nc");
}

TEST(RtfTerminal, UnknownWordsAndDestinationsShowNothing) {
    EXPECT_EQ(Plain("\\qc\\pard\\fs48\\f0\\lang1033\\nosuchword12 text"), "text");
    EXPECT_EQ(Plain("{\\*\\unknowndestination hidden}shown"), "shown");
    EXPECT_EQ(Plain("{\\stylesheet{\\s0 Normal;}}x"), "x");
}

TEST(RtfTerminal, GarbageNeverBreaksTheRenderer) {
    EXPECT_EQ(Plain(""), "");
    EXPECT_EQ(Plain("\\"), "");
    EXPECT_EQ(Plain("}}}a{{{b"), "ab");
    EXPECT_EQ(Plain("\\'zz\\'4"), "zz4");
    EXPECT_EQ(Plain("\\cf99999999999999999999 x"), "x");
    EXPECT_EQ(Plain("\\u-4000000000000"), "\xef\xbf\xbd");  // no such letter
    EXPECT_EQ(Plain(std::string("a\0b\x01"
                                "c",
                                5)),
              "abc");
    std::string deep(100000, '{');
    deep += "deep";
    deep += std::string(100000, '}');
    EXPECT_EQ(Plain(deep), "deep");
    std::string noise;
    unsigned state = 12345;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1103515245u + 12345u;
        const char pool[] = "\\{}'abcdefu0123456789- \r\n*";
        noise.push_back(pool[(state >> 16) % (sizeof pool - 1)]);
    }
    EXPECT_NO_THROW(Colored(noise));
    EXPECT_NO_THROW(Plain(noise));
}

TEST(PromptAnswers, IndexCloseLetterOrCaption) {
    PromptRequest game;
    game.buttonCount = 3;
    game.captions = {"Kotor &1", "Kotor &2 TSL", "&Abort", ""};
    EXPECT_EQ(ParsePromptAnswer("0", game), 0);
    EXPECT_EQ(ParsePromptAnswer(" 2 ", game), 2);
    EXPECT_EQ(ParsePromptAnswer("3", game), std::nullopt);
    EXPECT_EQ(ParsePromptAnswer("close", game), -1);
    EXPECT_EQ(ParsePromptAnswer("CLOSE", game), -1);
    EXPECT_EQ(ParsePromptAnswer("a", game), 2);
    EXPECT_EQ(ParsePromptAnswer("kotor 2 tsl", game), 1);
    EXPECT_EQ(ParsePromptAnswer("x", game), std::nullopt);
    EXPECT_EQ(ParsePromptAnswer("", game), std::nullopt);

    PromptRequest single;
    single.buttonCount = 0;  // one button all the same
    single.captions = {"&Ok", "", "", ""};
    EXPECT_EQ(VisibleButtonCount(single), 1);
    EXPECT_EQ(ParsePromptAnswer("0", single), 0);
    EXPECT_EQ(ParsePromptAnswer("1", single), std::nullopt);
    EXPECT_EQ(ParsePromptAnswer("o", single), 0);
}

TEST(PromptAnswers, EnterAnswersTheFocusedButtonWhenItIsShown) {
    PromptRequest game;
    game.buttonCount = 3;
    game.captions = {"Kotor &1", "Kotor &2 TSL", "&Abort", ""};
    game.focusIndex = 2;
    EXPECT_EQ(FocusButton(game), 2);
    game.focusIndex = 3;
    EXPECT_EQ(FocusButton(game), std::nullopt);
    game.focusIndex = -1;
    EXPECT_EQ(FocusButton(game), std::nullopt);
    PromptRequest single;
    single.buttonCount = 0;
    single.focusIndex = 0;
    EXPECT_EQ(FocusButton(single), 0);
}

TEST(TerminalColors, OffWithTheOptionWithNoColorAndOffATerminal) {
    EXPECT_TRUE(UseColors(false, nullptr, true));
    EXPECT_TRUE(UseColors(false, "", true));  // NO_COLOR set to nothing asks for nothing
    EXPECT_FALSE(UseColors(false, "1", true));
    EXPECT_FALSE(UseColors(true, nullptr, true));
    EXPECT_FALSE(UseColors(false, nullptr, false));
}

TEST(AnswerFile, BlankLinesAndCommentsAreNoAnswers) {
    AnswerSource source = AnswerSource::FromLines({"# the confirmation", "0\r", "", "  close  ", "/tmp/game"});
    EXPECT_EQ(source.Next(""), "0");
    EXPECT_EQ(source.Next(""), "close");
    EXPECT_EQ(source.Next(""), "/tmp/game");
    EXPECT_EQ(source.Next(""), std::nullopt);
    EXPECT_EQ(source.Used(), 3u);
}

TEST(HostPathForm, HostPathsMapOntoDriveZ) {
    EXPECT_EQ(HostToWindowsPath("/home/me/mod"), "Z:\\home\\me\\mod");
    EXPECT_EQ(HostToWindowsPath("/home/me/mod/"), "Z:\\home\\me\\mod");
    EXPECT_EQ(HostToWindowsPath("//home///me/./x/../mod"), "Z:\\home\\me\\mod");
    EXPECT_EQ(HostToWindowsPath("/"), "Z:\\");
    EXPECT_EQ(UserPathToWindows("C:/Games/Kotor"), "C:\\Games\\Kotor");
    EXPECT_EQ(UserPathToWindows("Z:\\tmp\\game"), "Z:\\tmp\\game");
    EXPECT_EQ(UserPathToWindows("/tmp/game"), "Z:\\tmp\\game");
    EXPECT_EQ(HostFolderOf("/a/b/c"), "/a/b");
    EXPECT_EQ(HostFolderOf("/c"), "/");
    EXPECT_EQ(AbsoluteHostPath("rel").front(), '/');
}

TEST(HostPathForm, ATildeAtTheStartIsTheHomeFolder) {
    const char* saved = std::getenv("HOME");
    const std::string home = saved != nullptr ? saved : "";
    setenv("HOME", "/home/me", 1);
    EXPECT_EQ(ExpandHome("~"), "/home/me");
    EXPECT_EQ(ExpandHome("~/Games/kotor"), "/home/me/Games/kotor");
    EXPECT_EQ(ExpandHome("~other/Games"), "~other/Games");
    EXPECT_EQ(ExpandHome("/games/~/x"), "/games/~/x");
    unsetenv("HOME");
    EXPECT_EQ(ExpandHome("~/Games"), "~/Games");
    if (saved != nullptr) setenv("HOME", home.c_str(), 1);
}

TEST(HostPathForm, HostNamesGoOverInCodePage1252WhereItHoldsThem) {
    // "/tmp/Spïele/Ünï" in UTF-8; typed in either form.
    EXPECT_EQ(HostToWindowsPath("/tmp/Sp\xc3\xaf"
                                "ele/\xc3\x9cn\xc3\xaf"),
              "Z:\\tmp\\Sp\xef"
              "ele\\\xdcn\xef");
    EXPECT_EQ(UserPathToWindows("C:/Sp\xc3\xaf"
                                "ele"),
              "C:\\Sp\xef"
              "ele");
    EXPECT_EQ(UserPathToWindows("/tmp/\xe2\x82\xac"), "Z:\\tmp\\\x80");  // the euro sign
    // A name 1252 cannot hold keeps its UTF-8 bytes, the others around it are still converted.
    EXPECT_EQ(HostToWindowsPath("/home/\xd0\x94/M\xc3\xb6"
                                "d"),
              "Z:\\home\\\xd0\x94\\M\xf6"
              "d");
    // Bytes that are no UTF-8 show with '?', which no Windows name holds.
    EXPECT_EQ(HostToWindowsPath("/tmp/na\xefve"), "Z:\\tmp\\na?ve");
}

}  // namespace
}  // namespace zelvane::console
