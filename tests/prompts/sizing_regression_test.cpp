// Inputs found while fuzzing the measuring of prompt bodies, kept so that they stay fixed.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "prompts/sizing.hpp"
#include "tests/support/scripted_ui.hpp"

namespace zelvane {
namespace {

class FaceRecordingUi : public zelvane::testing::ScriptedUi {
public:
    std::vector<std::string> faces;
    int TextWidthTwips(std::string_view text, std::string_view face, int points, bool bold) override {
        faces.emplace_back(face);
        return ScriptedUi::TextWidthTwips(text, face, points, bold);
    }
};

// Thousands of "\fcharset" before one ";" made every entry hold the rest of the header: memory
// and time grew with the square of the header (a 64 KB header held 200 MB of names).
TEST(DetermineFontsRegression, EntriesSharingAFarSemicolonHoldOnlyAFaceName) {
    std::string header = "{\\rtf1";
    for (int i = 0; i < 7000; ++i) header += "\\fcharset";
    header += ";\\par\\viewkind";
    std::vector<std::string> fonts;
    DetermineFonts(header, fonts);
    ASSERT_EQ(fonts.size(), 7000u);
    EXPECT_EQ(fonts.front(), "charset\\fcharset\\fcharset\\fchar");  // 31 characters
    for (const std::string& font : fonts) EXPECT_LE(font.size(), 31u);
    EXPECT_EQ(fonts.back(), "");  // the last one's name would begin after the ";"
}

TEST(DetermineFontsRegression, NamesUpToThirtyOneCharactersStayWhole) {
    std::vector<std::string> fonts;
    const std::string name31(31, 'n');
    DetermineFonts("{\\fonttbl{\\f0\\fnil\\fcharset0 " + name31 + ";}{\\f1\\fnil\\fcharset0 " + name31 + "x;}}", fonts);
    EXPECT_EQ(fonts, (std::vector<std::string>{name31, name31}));
}

// A long face name of a whole document is measured with the 31 characters a font is made from.
TEST(DetermineFontsRegression, AWholeDocumentMeasuresWithTheCutFaceName) {
    std::string text = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 " + std::string(40, 'F') +
                       ";}}\\viewkind4\\uc1\\f0\\pard\\fs24 Hello\\par\r\n}";
    FaceRecordingUi ui;
    EXPECT_GE(AutoDetermineWidth(text, 12, "Times New Roman", ui), 50);
    EXPECT_EQ(ui.faces, (std::vector<std::string>{std::string(31, 'F')}));
}

}  // namespace
}  // namespace zelvane
