#include "prompts/rtf_envelope.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace zelvane {
namespace {

constexpr const char* kExpectedColorTable =
    "{\\colortbl ;\\red0\\green0\\blue0;\\red128\\green0\\blue0;\\red0\\green128\\blue0;\\red128\\green128\\blue0;"
    "\\red0\\green0\\blue128;\\red128\\green0\\blue128;\\red0\\green128\\blue128;\\red128\\green128\\blue128;"
    "\\red192\\green192\\blue192;\\red255\\green0\\blue0;\\red0\\green255\\blue0;\\red255\\green255\\blue0;"
    "\\red0\\green0\\blue255;\\red255\\green0\\blue255;\\red0\\green255\\blue255;\\red255\\green255\\blue255;}";

TEST(RtfEnvelope, HeaderAndColourTableAreTheSharedOnes) {
    EXPECT_STREQ(kRtfFontHeader,
                 "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Times New Roman;}}");
    EXPECT_STREQ(kRtfColorTable, kExpectedColorTable);
}

TEST(RtfEnvelope, ColourTableHasSixteenEntriesAfterTheAutomaticOne) {
    const std::string table = kRtfColorTable;
    EXPECT_EQ(std::count(table.begin(), table.end(), ';'), 17);
    // \cf10 is red, \cf2 dark red.
    EXPECT_NE(table.find(";\\red255\\green0\\blue0;"), std::string::npos);
}

TEST(RtfEnvelope, FragmentIsWrappedInFourLines) {
    const std::string rtf = BuildPromptRtf("Remove the mod?\\par \r\n\\cf10 Sure?", 12);
    const std::string expected = std::string(kRtfFontHeader) + "\r\n" + kExpectedColorTable + "\r\n" +
                                 "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs24 " + "Remove the mod?\\par \r\n\\cf10 Sure?" +
                                 "\r\n}";
    EXPECT_EQ(rtf, expected);
}

TEST(RtfEnvelope, FontSizeIsGivenInHalfPoints) {
    EXPECT_NE(BuildPromptRtf("x", 9).find("\\f0\\fs18 x\r\n}"), std::string::npos);
    EXPECT_NE(BuildPromptRtf("", 12).find("\\fs24 \r\n}"), std::string::npos);
}

TEST(RtfEnvelope, WholeDocumentIsShownUnchanged) {
    const std::string document = "{\\rtf1\\ansi Hello\\par }";
    EXPECT_EQ(BuildPromptRtf(document, 12), document);
    // Five characters are not enough to be a document.
    EXPECT_NE(BuildPromptRtf("{\\rtf", 12), "{\\rtf");
    EXPECT_NE(BuildPromptRtf("{\\RTF1 x}", 12), "{\\RTF1 x}");
}

}  // namespace
}  // namespace zelvane
