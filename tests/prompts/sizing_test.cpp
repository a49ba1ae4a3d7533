// Measuring a prompt body: the longest line of its text without control words, in its largest font.
#include "prompts/sizing.hpp"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/support/scripted_ui.hpp"

namespace zelvane {
namespace {

// Records every measurement; answers with a fixed width when one is set.
class MeasuringUi : public zelvane::testing::ScriptedUi {
public:
    struct Measure {
        std::string text;
        std::string face;
        int points = 0;
        bool bold = false;
    };
    std::vector<Measure> measures;
    int fixedWidth = -1;

    int TextWidthTwips(std::string_view text, std::string_view face, int points, bool bold) override {
        measures.push_back({std::string(text), std::string(face), points, bold});
        return fixedWidth >= 0 ? fixedWidth : ScriptedUi::TextWidthTwips(text, face, points, bold);
    }
};

struct Measured {
    int width = 0;
    std::string text;  // the caller's text afterwards
    MeasuringUi::Measure measure;
    std::size_t count = 0;
};

Measured Measure(std::string text, int fixedWidth = -1, int twipsPerPixel = 15) {
    MeasuringUi ui;
    ui.fixedWidth = fixedWidth;
    ui.twipsPerPixel = twipsPerPixel;
    Measured result;
    result.width = AutoDetermineWidth(text, 12, "Times New Roman", ui);
    result.text = text;
    result.count = ui.measures.size();
    if (!ui.measures.empty()) result.measure = ui.measures.back();
    return result;
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
        const MeasuringUi::Measure m = Measure(text).measure;
        EXPECT_EQ(m.text + " " + std::to_string(m.points) + (m.bold ? " bold" : ""), expected) << text;
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
    EXPECT_EQ(m.measure.face, "Verdana");
    EXPECT_EQ(m.measure.points, 11);
    EXPECT_EQ(m.measure.text, "Longer line here\\par");
    EXPECT_EQ(Measure(header + "\\f1 Hi\\par\r\nThe longest line\\par\r\n}").measure.face, "Verdana");  // looks back
    EXPECT_EQ(Measure(header + "Plain\\par\r\n}").measure.face, "Times New Roman");
    EXPECT_EQ(Measure(header + "\\f7 Plain\\par\r\n}").measure.face, "Times New Roman");  // beyond the table
    // Without "\fs" the given font and size, line ends untouched.
    const std::string bare = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n\\f0 Text\\par\r\n}";
    EXPECT_EQ(Measure(bare).measure.points, 12);
    EXPECT_EQ(Measure(bare).text, bare);
    // A long face name is measured with the 31 characters a font is made from.
    EXPECT_EQ(Measure("{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 " + std::string(40, 'F') +
                      ";}}\\viewkind4\\uc1\\f0\\pard\\fs24 Hello\\par\r\n}")
                  .measure.face,
              std::string(31, 'F'));
}

TEST(AutoDetermineWidth, LongRunsOfControlWordsStayLinear) {
    // Each of these would take minutes if every control word rescanned the rest of the text.
    std::string noSpaces;
    for (int i = 0; i < 200000; ++i) noSpaces += "\\fs";
    EXPECT_GE(Measure(noSpaces + " end").width, 50);
    std::string words;
    for (int i = 0; i < 200000; ++i) words += "\\b ";
    EXPECT_EQ(StripRtfCodes(words).size(), 300000u);  // every other word survives as "\b "
    std::string charsets = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < 200000; ++i) charsets += "\\fcharset";
    std::vector<std::string> fonts;
    DetermineFonts(charsets, fonts);
    EXPECT_EQ(fonts.size(), 200000u);
    EXPECT_EQ(FontNumeric(charsets, 1000000), -1);
}

}  // namespace
}  // namespace zelvane
