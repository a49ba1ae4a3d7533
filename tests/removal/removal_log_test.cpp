#include "removal/removal_log.hpp"

#include <gtest/gtest.h>

namespace zelvane {
namespace {

TEST(RemovalLogText, BracesAndHighBytesAreEscaped) {
    EXPECT_EQ(EscapeRtfText("a{b}c"), "a\\{b\\}c");
    EXPECT_EQ(EscapeRtfText("caf\xE9.tga"), "caf\\'e9.tga");
    EXPECT_EQ(EscapeRtfText("\xFF\x80"), "\\'ff\\'80");
    EXPECT_EQ(EscapeRtfText("Override\\\\x.tga"), "Override\\\\x.tga");  // doubled backslashes stay as they are
    EXPECT_EQ(EscapeRtfText(""), "");
}

TEST(RemovalLogText, DisplayDoublesBackslashesProperCasesFoldersAndEscapes) {
    EXPECT_EQ(LogDisplay("override\\my mods\\Tex.TGA"), "Override\\\\My Mods\\\\Tex.TGA");
    EXPECT_EQ(LogDisplay("override\\{x}.tga"), "Override\\\\\\{x\\}.tga");
    EXPECT_EQ(LogDisplay("plain.tga"), "plain.tga");
}

TEST(RemovalLogText, HeaderIsTheSharedFontAndColourTable) {
    EXPECT_EQ(LogDocumentHeader(),
              "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Times New Roman;}}\r\n"
              "{\\colortbl ;\\red0\\green0\\blue0;\\red128\\green0\\blue0;\\red0\\green128\\blue0;"
              "\\red128\\green128\\blue0;\\red0\\green0\\blue128;\\red128\\green0\\blue128;\\red0\\green128\\blue128;"
              "\\red128\\green128\\blue128;\\red192\\green192\\blue192;\\red255\\green0\\blue0;\\red0\\green255\\blue0;"
              "\\red255\\green255\\blue0;\\red0\\green0\\blue255;\\red255\\green0\\blue255;\\red0\\green255\\blue255;"
              "\\red255\\green255\\blue255;}\r\n"
              "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs24 ");
}

}  // namespace
}  // namespace zelvane
