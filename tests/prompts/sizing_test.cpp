// Measuring a prompt body (the longest line of its text without control words, in its largest font)
// and the envelope it is shown in.

#include "prompts/sizing.hpp"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "prompts/rtf_envelope.hpp"
#include "tests/support/scripted_ui.hpp"

namespace zelvane {
namespace {

// What a measurement of a prompt body asked for last, and its result.
struct Measured : public zelvane::testing::ScriptedUi {
    int width = 0;
    std::string text;  // the caller's text afterwards
    std::string measuredText, face;
    int points = 0;
    bool bold = false;
    std::size_t count = 0;
    int fixedWidth = -1;  // the width every measure answers, when set

    int TextWidthTwips(std::string_view text, std::string_view face, int points, bool bold) override {
        std::tie(measuredText, this->face, this->points, this->bold) = std::tuple(text, face, points, bold);
        ++count;
        return fixedWidth >= 0 ? fixedWidth : ScriptedUi::TextWidthTwips(text, face, points, bold);
    }
};

Measured Measure(std::string text, int fixedWidth = -1, int twipsPerPixel = 15) {
    Measured m;
    m.fixedWidth = fixedWidth;
    m.twipsPerPixel = twipsPerPixel;
    m.width = AutoDetermineWidth(text, 12, "Times New Roman", m);
    m.text = std::move(text);
    return m;
}

TEST(StripRtfCodes, EachControlWordGoesWithTheSpaceThatEndsIt) {
    // clang-format off
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\\cf2 Delete \\b file\\b0 ?", "Delete file?"}, {"end\\par ", "end"}, {"", ""},
        // Of two words separated by one space only the first goes; a backslash with no space after it stays.
        {"\\b \\i text", "\\i text"}, {"a\\b \\i b\\ul c", "a\\i bc"}, {"a \\b", "a \\b"},
        {"\\cf1 x\\par", "x\\par"}, {"\\", "\\"},
        // Doubled backslashes become single first; a doubled path separator then starts a word.
        {"x\\\\\\\\y", "x\\\\y"}, {"C:\\\\Games\\\\x.2da found", "C:found"}};
    // clang-format on
    for (const auto& [text, stripped] : cases) EXPECT_EQ(StripRtfCodes(text), stripped) << text;
}

TEST(DetermineFonts, NamesOfTheFontTableCutTo31Characters) {
    std::vector<std::string> fonts = {"left over"};
    DetermineFonts("{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fswiss\\fcharset0 Verdana;}}", fonts);
    EXPECT_EQ(fonts, (std::vector<std::string>{"Arial", "Verdana"}));
    DetermineFonts("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial}}", fonts);  // no ";": Times New Roman
    EXPECT_EQ(fonts, (std::vector<std::string>{"Times New Roman"}));
    DetermineFonts("no table here", fonts);
    EXPECT_TRUE(fonts.empty());
    const std::string name31(31, 'n');
    DetermineFonts("{\\f0\\fnil\\fcharset0 " + name31 + ";}{\\f1\\fnil\\fcharset0 " + name31 + "x;}", fonts);
    EXPECT_EQ(fonts, (std::vector<std::string>{name31, name31}));
    // Thousands of "\fcharset" before one ";" made every entry hold the rest of the header.
    std::string header = "{\\rtf1";
    for (int i = 0; i < 7000; ++i) header += "\\fcharset";
    DetermineFonts(header + ";\\par\\viewkind", fonts);
    ASSERT_EQ(fonts.size(), 7000u);
    EXPECT_EQ(fonts.front(), "charset\\fcharset\\fcharset\\fchar");
    EXPECT_EQ(fonts.back(), "");  // the last one's name would begin after the ";"
}

TEST(FontNumeric, SmallestFontNumberWithinTheLimit) {
    // clang-format off
    const std::vector<std::tuple<std::string, int, int>> cases = {{"\\pard\\f2\\fs24 text", 100, 2},
        {"\\pard\\fs24 \\b text", 100, -1}, {"\\f3 a \\f1 b", 100, 1}, {"\\F4", 100, 4}, {"\\f0", 100, 0},
        {"\\f5", 3, -1}, {"\\f12 text", 100, 1} /* 1 also matches a number beginning with 1 */, {"\\f12 text", 0, -1}};
    // clang-format on
    for (const auto& [text, limit, number] : cases) EXPECT_EQ(FontNumeric(text, limit), number) << text;
}

TEST(AutoDetermineWidth, BareLineEndsGetAParagraphMark) {
    EXPECT_EQ(Measure("Line one\r\nLine two").text, "Line one\\par \r\nLine two");
    EXPECT_EQ(Measure("One\\par Two").text, "One\\par \r\nTwo");
    EXPECT_EQ(Measure("A\r\n\r\nB").text, "A\\par \r\n\\par \r\nB");
    EXPECT_EQ(Measure("First\\par \r\nSecond\\par \r\n").text, "First\\par \r\nSecond\\par \r\n");
}

// The longest line without its control words, in the largest font size of the body plus one
// point, bold as the last line is.
TEST(AutoDetermineWidth, MeasuresTheLongestLineInTheLargestFont) {
    // clang-format off
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\\cf10\\b0 AB\r\nABCD", "ABCD 12"}, {"ABC\r\nXYZ", "ABC 12"} /* a tie keeps the earlier line */,
        {"small\r\n\\fs40 big\\fs24 back", "bigback 21"}, {"\\fs25 odd", "odd 13"} /* 12.5 to the even 12 */,
        {"\\fs27 odd", "odd 15"}, {"\\fs32\\b bold", "bold 17 bold"}, {"\\fs16 tiny", "tiny 12"},
        {"a long plain line\r\n\\b x", "a long plain line 12 bold"},
        {"\\b a long bold line\r\nx", "a long bold line 12"}};
    // clang-format on
    for (const auto& [text, expected] : cases) {
        const Measured m = Measure(text);
        EXPECT_EQ(m.measuredText + " " + std::to_string(m.points) + (m.bold ? " bold" : ""), expected) << text;
        EXPECT_EQ(m.face, "Times New Roman");
    }
}

TEST(AutoDetermineWidth, WholePixelsPlusFiftyNeverBelowFifty) {
    EXPECT_EQ(Measure("x", 1807).width, 170);
    EXPECT_EQ(Measure("x", 1808).width, 171);
    EXPECT_EQ(Measure("x", 30, 12).width, 52);  // 2.5 pixels: to the even 2
    EXPECT_EQ(Measure("x", 42, 12).width, 54);  // 3.5 pixels: to the even 4
    EXPECT_EQ(Measure("x", 0).width, 50);
    const Measured empty = Measure("");
    EXPECT_EQ(empty.width, 50);
    EXPECT_EQ(empty.count, 0u);
}

TEST(AutoDetermineWidth, AWholeDocumentUsesItsFontTableAndStaysUnchanged) {
    const std::string header =
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset0 Verdana;}}\r\n"
        "\\viewkind4\\uc1\\pard\\fs20 ";
    const std::string document = header + "Hello\\par\r\n\\f1 Longer line here\\par\r\n}";
    const Measured m = Measure(document);
    EXPECT_EQ(m.text, document);
    EXPECT_EQ(m.face, "Verdana");
    EXPECT_EQ(m.points, 11);
    EXPECT_EQ(m.measuredText, "Longer line here\\par");
    EXPECT_EQ(Measure(header + "\\f1 Hi\\par\r\nThe longest line\\par\r\n}").face, "Verdana");  // looks back
    EXPECT_EQ(Measure(header + "Plain\\par\r\n}").face, "Times New Roman");
    EXPECT_EQ(Measure(header + "\\f7 Plain\\par\r\n}").face, "Times New Roman");  // beyond the table
    // Without "\fs" the given font and size, line ends untouched.
    const std::string bare = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n\\f0 Text\\par\r\n}";
    EXPECT_EQ(Measure(bare).points, 12);
    EXPECT_EQ(Measure(bare).text, bare);
    // A long face name is measured with the 31 characters a font is made from.
    EXPECT_EQ(Measure("{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 " + std::string(40, 'F') +
                      ";}}\\viewkind4\\uc1\\f0\\pard\\fs24 Hello\\par\r\n}")
                  .face,
              std::string(31, 'F'));
}

TEST(RtfEnvelope, AFragmentIsWrappedInTheSharedHeaderAndColourTable) {
    const std::string header =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Times New Roman;}}";
    const std::string colours =
        "{\\colortbl ;\\red0\\green0\\blue0;\\red128\\green0\\blue0;\\red0\\green128\\blue0;\\red128\\green128\\blue0;"
        "\\red0\\green0\\blue128;\\red128\\green0\\blue128;\\red0\\green128\\blue128;\\red128\\green128\\blue128;"
        "\\red192\\green192\\blue192;\\red255\\green0\\blue0;\\red0\\green255\\blue0;\\red255\\green255\\blue0;"
        "\\red0\\green0\\blue255;\\red255\\green0\\blue255;\\red0\\green255\\blue255;\\red255\\green255\\blue255;}";
    EXPECT_EQ(kRtfFontHeader, header);
    EXPECT_EQ(kRtfColorTable, colours);
    EXPECT_EQ(BuildPromptRtf("Remove?\\par \r\n\\cf10 Sure?", 12),
              header + "\r\n" + colours +
                  "\r\n\\viewkind4\\uc1\\pard\\cf1\\f0\\fs24 Remove?\\par \r\n\\cf10 Sure?\r\n}");
    EXPECT_TRUE(BuildPromptRtf("x", 9).ends_with("\\f0\\fs18 x\r\n}"));  // the size in half points
}

TEST(RtfEnvelope, AWholeDocumentIsShownUnchanged) {
    EXPECT_EQ(BuildPromptRtf("{\\rtf1\\ansi Hello\\par }", 12), "{\\rtf1\\ansi Hello\\par }");
    EXPECT_NE(BuildPromptRtf("{\\rtf", 12), "{\\rtf");  // five characters are no document
    EXPECT_NE(BuildPromptRtf("{\\RTF1 x}", 12), "{\\RTF1 x}");
}

}  // namespace
}  // namespace zelvane
