#include "prompts/rtf_envelope.hpp"

#include <gtest/gtest.h>

#include <string>

namespace zelvane {
namespace {

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
