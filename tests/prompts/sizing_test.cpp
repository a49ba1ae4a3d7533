#include "prompts/sizing.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
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
        if (fixedWidth >= 0) return fixedWidth;
        return ScriptedUi::TextWidthTwips(text, face, points, bold);
    }
};

struct Measured {
    int width = 0;
    std::string text;  // the caller's text afterwards
    MeasuringUi::Measure measure;
    std::size_t measureCount = 0;
};

Measured Measure(std::string text, int fixedWidth = -1) {
    MeasuringUi ui;
    ui.fixedWidth = fixedWidth;
    Measured result;
    result.width = AutoDetermineWidth(text, 12, "Times New Roman", ui);
    result.text = text;
    result.measureCount = ui.measures.size();
    if (!ui.measures.empty()) result.measure = ui.measures.back();
    return result;
}

TEST(StripRtfCodes, EachControlWordGoesWithTheSpaceThatEndsIt) {
    EXPECT_EQ(StripRtfCodes("\\cf2 Delete \\b file\\b0 ?"), "Delete file?");
    EXPECT_EQ(StripRtfCodes("plain text"), "plain text");
    EXPECT_EQ(StripRtfCodes("end\\par "), "end");
    EXPECT_EQ(StripRtfCodes(""), "");
}

TEST(StripRtfCodes, OfTwoWordsSeparatedByOneSpaceOnlyTheFirstGoes) {
    EXPECT_EQ(StripRtfCodes("\\b \\i text"), "\\i text");
    EXPECT_EQ(StripRtfCodes("a\\b \\i b\\ul c"), "a\\i bc");
}

TEST(StripRtfCodes, BackslashWithoutASpaceAfterItStays) {
    EXPECT_EQ(StripRtfCodes("a \\b"), "a \\b");
    EXPECT_EQ(StripRtfCodes("\\cf1 x\\par"), "x\\par");
    EXPECT_EQ(StripRtfCodes("\\"), "\\");
}

TEST(StripRtfCodes, DoubledBackslashesBecomeSingleFirst) {
    // "x\\\\y" holds four backslashes: they become two, and no space ends them.
    EXPECT_EQ(StripRtfCodes("x\\\\\\\\y"), "x\\\\y");
    // A doubled path separator is then taken for a control word up to the next space.
    EXPECT_EQ(StripRtfCodes("C:\\\\Games\\\\x.2da found"), "C:found");
}

TEST(DetermineFonts, NamesOfTheFontTableInOrder) {
    const std::string header =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fswiss\\fcharset0 Verdana;}}\r\n"
        "{\\colortbl ;\\red0\\green0\\blue0;}\r\n\\viewkind4\\uc1\\pard";
    std::vector<std::string> fonts = {"left over"};
    DetermineFonts(header, fonts);
    EXPECT_EQ(fonts, (std::vector<std::string>{"Arial", "Verdana"}));
}

TEST(DetermineFonts, EntryWithoutSemicolonIsTimesNewRoman) {
    std::vector<std::string> fonts;
    DetermineFonts("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial}}", fonts);
    EXPECT_EQ(fonts, (std::vector<std::string>{"Times New Roman"}));
    DetermineFonts("no table here", fonts);
    EXPECT_TRUE(fonts.empty());
    DetermineFonts("\\fcharset;\\fcharset0 ;", fonts);  // names too short to hold anything
    EXPECT_EQ(fonts, (std::vector<std::string>{"", ""}));
}

TEST(FontNumeric, SmallestFontNumberWithinTheLimit) {
    EXPECT_EQ(FontNumeric("\\pard\\f2\\fs24 text", 100), 2);
    EXPECT_EQ(FontNumeric("\\pard\\fs24 \\b text", 100), -1);
    EXPECT_EQ(FontNumeric("", 100), -1);
    EXPECT_EQ(FontNumeric("\\f3 a \\f1 b", 100), 1);
    EXPECT_EQ(FontNumeric("\\F4", 100), 4);  // compared lower-cased
    EXPECT_EQ(FontNumeric("\\f0", 100), 0);
    EXPECT_EQ(FontNumeric("\\f5", 3), -1);
    EXPECT_EQ(FontNumeric("\\f5", -1), -1);
}

TEST(FontNumeric, OneAlsoMatchesANumberBeginningWithOne) {
    EXPECT_EQ(FontNumeric("\\f12 text", 100), 1);
    EXPECT_EQ(FontNumeric("\\f12 text", 0), -1);
}

TEST(AutoDetermineWidth, BareLineEndsGetAParagraphMark) {
    EXPECT_EQ(Measure("Line one\r\nLine two").text, "Line one\\par \r\nLine two");
    EXPECT_EQ(Measure("One\\par Two").text, "One\\par \r\nTwo");
    EXPECT_EQ(Measure("A\r\n\r\nB").text, "A\\par \r\n\\par \r\nB");
}

TEST(AutoDetermineWidth, UniformLineEndsStayAsTheyAre) {
    const std::string text = "First line\\par \r\nSecond line\\par \r\n";
    EXPECT_EQ(Measure(text).text, text);
}

TEST(AutoDetermineWidth, WithoutFontSizeMeasuresInTheGivenFont) {
    const Measured m = Measure("Remove the mod now?");
    EXPECT_EQ(m.measure.face, "Times New Roman");
    EXPECT_EQ(m.measure.points, 12);
    EXPECT_FALSE(m.measure.bold);
    EXPECT_EQ(m.measure.text, "Remove the mod now?");
}

TEST(AutoDetermineWidth, LargestFontSizeOfTheBodyPlusOne) {
    EXPECT_EQ(Measure("\\fs36 Big words").measure.points, 19);
    EXPECT_EQ(Measure("small\r\n\\fs40 big\\fs24 back").measure.points, 21);
    // 12.5 goes to the even 12, 13.5 to 14; the measuring font is one point more.
    EXPECT_EQ(Measure("\\fs25 odd").measure.points, 13);
    EXPECT_EQ(Measure("\\fs27 odd").measure.points, 15);
    // Val reads the leading number only.
    EXPECT_EQ(Measure("\\fs32\\b bold").measure.points, 17);
    // Smaller sizes than the given font do not shrink the measure.
    EXPECT_EQ(Measure("\\fs16 tiny").measure.points, 12);
}

TEST(AutoDetermineWidth, LongestLineByItsTextWithoutControlWords) {
    const Measured m = Measure("\\cf10\\b0 AB\r\nABCD");
    EXPECT_EQ(m.measure.text, "ABCD");
    EXPECT_EQ(Measure("ABC\r\nXYZ").measure.text, "ABC");  // a tie keeps the earlier line
}

TEST(AutoDetermineWidth, BoldIsTheLastLinesFlag) {
    EXPECT_TRUE(Measure("a long plain line\r\n\\b x").measure.bold);
    EXPECT_FALSE(Measure("\\b a long bold line\r\nx").measure.bold);
}

TEST(AutoDetermineWidth, ResultIsWholePixelsPlusFifty) {
    EXPECT_EQ(Measure("x", 1800).width, 170);
    EXPECT_EQ(Measure("x", 1807).width, 170);
    EXPECT_EQ(Measure("x", 1808).width, 171);
    MeasuringUi ui;
    ui.twipsPerPixel = 12;
    ui.fixedWidth = 30;  // 2.5 pixels: to the even 2
    std::string text = "x";
    EXPECT_EQ(AutoDetermineWidth(text, 12, "Times New Roman", ui), 52);
    ui.fixedWidth = 42;  // 3.5 pixels: to the even 4
    EXPECT_EQ(AutoDetermineWidth(text, 12, "Times New Roman", ui), 54);
}

TEST(AutoDetermineWidth, NeverBelowFifty) {
    const Measured empty = Measure("");
    EXPECT_EQ(empty.width, 50);
    EXPECT_EQ(empty.measureCount, 0u);
    EXPECT_EQ(Measure("x", 0).width, 50);
}

constexpr const char* kDocumentHeader =
    "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset0 Verdana;}}\r\n"
    "\\viewkind4\\uc1\\pard\\fs20 ";

TEST(AutoDetermineWidth, WholeDocumentUsesItsFontTableAndStaysUnchanged) {
    const std::string document = std::string(kDocumentHeader) + "Hello\\par\r\n\\f1 Longer line here\\par\r\n}";
    const Measured m = Measure(document);
    EXPECT_EQ(m.text, document);
    EXPECT_EQ(m.measure.face, "Verdana");
    EXPECT_EQ(m.measure.points, 11);  // \fs20 is 10 points
    EXPECT_EQ(m.measure.text, "Longer line here\\par");
}

TEST(AutoDetermineWidth, WholeDocumentLooksBackForAFontNumber) {
    const std::string document = std::string(kDocumentHeader) + "\\f1 Hi\\par\r\nThe longest line\\par\r\n}";
    EXPECT_EQ(Measure(document).measure.face, "Verdana");
}

TEST(AutoDetermineWidth, WholeDocumentFallsBackToTheGivenFont) {
    // No font word anywhere, and "\viewkind" is followed by none in the header.
    EXPECT_EQ(Measure(std::string(kDocumentHeader) + "Plain\\par\r\n}").measure.face, "Times New Roman");
    // A font number beyond the table leaves the given font.
    EXPECT_EQ(Measure(std::string(kDocumentHeader) + "\\f7 Plain\\par\r\n}").measure.face, "Times New Roman");
    // Without "\fs" the document is measured in the given font and size, line ends untouched.
    const std::string bare = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n\\f0 Text\\par\r\n}";
    const Measured m = Measure(bare);
    EXPECT_EQ(m.measure.face, "Times New Roman");
    EXPECT_EQ(m.measure.points, 12);
    EXPECT_EQ(m.text, bare);
}

// Texts built from the pieces that the measurement looks for.
std::string RandomRtf(std::mt19937& random, std::size_t pieces) {
    static const std::vector<std::string> kPieces = {
        "\\",         "\\\\",    " ",     "f",    "s",    "\\fs",         "\\f",        "1",
        "9",          "0",       "-",     ".",    "e",    "&H",           "\r\n",       "\r",
        "\n",         "{\\rtf1", "}",     "{",    ";",    "\\fcharset0 ", "{\\fonttbl", "{\\colortbl",
        "\\viewkind", "\\par ",  "\\par", "\\b ", "word", "\t",           "**SREP1**",  "\\fs99999999999999999999 ",
        "\\fs1e400 "};
    std::uniform_int_distribution<std::size_t> pick(0, kPieces.size() - 1);
    std::string text;
    for (std::size_t i = 0; i < pieces; ++i) text += kPieces[pick(random)];
    return text;
}

TEST(AutoDetermineWidth, AnyTextMeasuresWithoutFailing) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        std::string text = RandomRtf(random, static_cast<std::size_t>(round % 60));
        if (round % 3 == 0) text = "{\\rtf1" + text;
        MeasuringUi ui;
        const int width = AutoDetermineWidth(text, 12, "Times New Roman", ui);
        EXPECT_GE(width, 50);
        std::vector<std::string> fonts;
        DetermineFonts(text, fonts);
        const int n = FontNumeric(text, 100);
        EXPECT_GE(n, -1);
        EXPECT_LE(n, 9);
        EXPECT_LE(StripRtfCodes(text).size(), text.size());
    }
}

TEST(AutoDetermineWidth, LongRunsOfControlWordsStayLinear) {
    // Each of these would take minutes if every control word rescanned the rest of the text.
    std::string noSpaces;
    for (int i = 0; i < 200000; ++i) noSpaces += "\\fs";
    noSpaces += " end";
    MeasuringUi ui;
    EXPECT_GE(AutoDetermineWidth(noSpaces, 12, "Times New Roman", ui), 50);
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
