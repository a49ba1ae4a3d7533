#include "prompts/sizing.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "prompts/rtf_envelope.hpp"
#include "tests/support/scripted_ui.hpp"

namespace zelvane {
namespace {

// A measure of a prompt body: its width, the caller's text afterwards, and the last text measured with
// its face, size and weight.
struct Measured : zelvane::testing::ScriptedUi {
    int width = 0, fixedWidth = -1;  // the width every measure answers, when set
    std::string text, last;
    int TextWidthTwips(std::string_view line, std::string_view face, int points, bool bold) override {
        last = std::string(line) + " " + std::string(face) + " " + std::to_string(points) + (bold ? " bold" : "");
        return fixedWidth >= 0 ? fixedWidth : ScriptedUi::TextWidthTwips(line, face, points, bold);
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

// Of two words separated by one space only the first goes; a backslash with no space after it stays.
// Doubled backslashes become single first; a doubled path separator then starts a word.
TEST(StripRtfCodes, EachControlWordGoesWithTheSpaceThatEndsIt) {
    std::string stripped;
    for (const char* text : {"\\cf2 Delete \\b file\\b0 ?", "end\\par ", "", "\\b \\i text", "a\\b \\i b\\ul c",
                             "a \\b", "\\cf1 x\\par", "\\", "x\\\\\\\\y", "C:\\\\Games\\\\x.2da found"})
        stripped += StripRtfCodes(text) + "|";
    EXPECT_EQ(stripped, "Delete file?|end||\\i text|a\\i bc|a \\b|x\\par|\\|x\\\\y|C:found|");
}

TEST(DetermineFonts, NamesOfTheFontTableCutTo31Characters) {
    const std::string name31(31, 'n');
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fswiss\\fcharset0 Verdana;}}",
         {"Arial", "Verdana"}},
        {"{\\fonttbl{\\f0\\fnil\\fcharset0 Arial}}", {"Times New Roman"}},  // no ";"
        {"no table here", {}},
        {"{\\f0\\fnil\\fcharset0 " + name31 + ";}{\\f1\\fnil\\fcharset0 " + name31 + "x;}", {name31, name31}}};
    std::vector<std::string> fonts = {"left over"};
    for (const auto& [header, names] : cases) {
        DetermineFonts(header, fonts);
        EXPECT_EQ(fonts, names) << header;
    }
    // Thousands of "\fcharset" before one ";" made every entry hold the rest of the header.
    std::string header = "{\\rtf1";
    for (int i = 0; i < 7000; ++i) header += "\\fcharset";
    DetermineFonts(header + ";\\par\\viewkind", fonts);
    ASSERT_EQ(fonts.size(), 7000u);
    EXPECT_EQ(fonts.front() + "|" + fonts.back(), "charset\\fcharset\\fcharset\\fchar|");  // the last begins after ";"
}

TEST(FontNumeric, SmallestFontNumberWithinTheLimit) {
    EXPECT_EQ((std::vector{FontNumeric("\\pard\\f2\\fs24 text", 100), FontNumeric("\\pard\\fs24 \\b text", 100),
                           FontNumeric("\\f3 a \\f1 b", 100), FontNumeric("\\F4", 100), FontNumeric("\\f0", 100),
                           FontNumeric("\\f5", 3), FontNumeric("\\f12 text", 100), FontNumeric("\\f12 text", 0)}),
              (std::vector{2, -1, 1, 4, 0, -1, 1 /* 1 also matches a number beginning with 1 */, -1}));
}

TEST(AutoDetermineWidth, BareLineEndsGetAParagraphMark) {
    std::string marked;
    for (const char* text : {"Line one\r\nLine two", "One\\par Two", "A\r\n\r\nB", "First\\par \r\nSecond\\par \r\n"})
        marked += Measure(text).text + "|";
    EXPECT_EQ(marked,
              "Line one\\par \r\nLine two|One\\par \r\nTwo|A\\par \r\n\\par \r\nB|First\\par \r\nSecond\\par \r\n|");
}

// The longest line without its control words, in the largest font size of the body plus one
// point, bold as the last line is; of two equally long lines the earlier.
TEST(AutoDetermineWidth, MeasuresTheLongestLineInTheLargestFont) {
    std::string measured;
    for (const char* text :
         {"\\cf10\\b0 AB\r\nABCD", "ABC\r\nXYZ", "small\r\n\\fs40 big\\fs24 back", "\\fs25 odd", "\\fs27 odd",
          "\\fs32\\b bold", "\\fs16 tiny", "a long plain line\r\n\\b x", "\\b a long bold line\r\nx"})
        measured += Measure(text).last + "|";
    EXPECT_EQ(measured,
              "ABCD Times New Roman 12|ABC Times New Roman 12|bigback Times New Roman 21|odd Times New Roman 13|"
              "odd Times New Roman 15|bold Times New Roman 17 bold|tiny Times New Roman 12|"
              "a long plain line Times New Roman 12 bold|a long bold line Times New Roman 12|");
}

TEST(AutoDetermineWidth, WholePixelsPlusFiftyNeverBelowFifty) {
    EXPECT_EQ((std::vector<int>{Measure("x", 1807).width, Measure("x", 1808).width, Measure("x", 30, 12).width,
                                Measure("x", 42, 12).width, Measure("x", 0).width, Measure("").width}),
              (std::vector<int>{170, 171, 52 /* 2.5 pixels: to the even 2 */, 54 /* 3.5 pixels: to the even 4 */, 50,
                                50}));
}

TEST(AutoDetermineWidth, AWholeDocumentUsesItsFontTableAndStaysUnchanged) {
    const std::string header =
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset0 Verdana;}}\r\n"
        "\\viewkind4\\uc1\\pard\\fs20 ";
    const std::string bare = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n\\f0 Text\\par\r\n}";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {header + "Hello\\par\r\n\\f1 Longer line here\\par\r\n}", "Longer line here\\par Verdana 11"},
        {header + "\\f1 Hi\\par\r\nThe longest line\\par\r\n}", "The longest line\\par Verdana 11"},  // looks back
        {header + "Plain\\par\r\n}", "Plain\\par Times New Roman 11"},
        {header + "\\f7 Plain\\par\r\n}", "Plain\\par Times New Roman 11"},  // beyond the table
        {bare, "{Arial;}} Times New Roman 12"},                              // without "\\fs" the given font and size
    };
    for (const auto& [document, last] : cases) {
        const Measured m = Measure(document);
        EXPECT_EQ(m.text + " | " + m.last, document + " | " + last);
    }
}

// The header and colour table are the removal log's, whose bytes the console runs compare.
TEST(RtfEnvelope, AFragmentIsWrappedAWholeDocumentShownUnchanged) {
    EXPECT_EQ(BuildPromptRtf("Remove?\\par \r\n\\cf10 Sure?", 12),
              std::string(kRtfFontHeader) + "\r\n" + std::string(kRtfColorTable) +
                  "\r\n\\viewkind4\\uc1\\pard\\cf1\\f0\\fs24 Remove?\\par \r\n\\cf10 Sure?\r\n}");
    EXPECT_TRUE(BuildPromptRtf("x", 9).ends_with("\\f0\\fs18 x\r\n}"));  // the size in half points
    EXPECT_EQ(BuildPromptRtf("{\\rtf1\\ansi Hello\\par }", 12), "{\\rtf1\\ansi Hello\\par }");
    EXPECT_NE(BuildPromptRtf("{\\rtf", 12), "{\\rtf");  // five characters are no document
    EXPECT_NE(BuildPromptRtf("{\\RTF1 x}", 12), "{\\RTF1 x}");
}

}  // namespace
}  // namespace zelvane
