// The pieces every log line is made of: the recurring line shapes, file results, the shown form
// of names, RTF escapes and the document header.

#include <gtest/gtest.h>

#include "removal/log_line.hpp"
#include "removal/removal_log.hpp"

namespace zelvane {
namespace {

TEST(LogLine, RecurringShapes) {
    EXPECT_EQ(NamedLine(Colour::Failure, "File Not Found: ", "Override\\\\x.tga"),
              "\\cf10 File Not Found: \\cf1 Override\\\\x.tga\\cf1\\par");
    EXPECT_EQ(RefusedLine("QDeleteFile", "Refused (not a plain file name)", "a:b"),
              "\\cf1 QDeleteFile: \\cf10 Refused (not a plain file name): \\cf1 a:b\\cf1\\par");
    EXPECT_EQ(PromptFailureLine("QRestoreFile", "(File Not Found)", "x.tga"),
              "\\cf1\\b QRestoreFile: \\cf10 Prompt Failure \\cf6 (File Not Found) \\cf1 x.tga\\cf1\\b0\\par");
    EXPECT_EQ(LogLine::Of("QRestore2da").FromTo(Colour::Success, "Renamed", "a", "b").End(),
              "\\cf1 QRestore2da: \\cf3 Renamed \\cf1 a\\cf3  to \\cf1 b\\par");
}

TEST(LogLine, FileResultsAsTheLogShowsThem) {
    EXPECT_EQ(ErrorText({FsStatus::DiskFull}), "Error: 61  Disk full");
    EXPECT_EQ(DeletionText({FsStatus::Ok}, "override\\\\x.tga").Text(),
              "\\cf3 Delete Successful - \\cf1 Override\\\\x.tga");
    EXPECT_EQ(DeletionText({FsStatus::SharingViolation}, "locked.tga").Text(),
              "\\cf10 Delete Failure - \\cf1 locked.tga\\cf7  - Error: 70  Permission denied");
    EXPECT_EQ(DeletionText({FsStatus::OutsideRoots}, "Override\\\\evil.tga").Text(),
              "\\cf10 Refused (outside the game and program folders): \\cf1 Override\\\\evil.tga");
    EXPECT_EQ(DeletionText({FsStatus::ProgramOwnFile}, "backup\\\\a.2da").Text(),
              "\\cf10 Refused (one of this program's own files): \\cf1 Backup\\\\a.2da");
}

TEST(RemovalLogText, EscapesAndTheShownFormOfNames) {
    EXPECT_EQ(EscapeRtfText("a{b}c"), "a\\{b\\}c");
    EXPECT_EQ(EscapeRtfText("caf\xE9\xFF\x80.tga"), "caf\\'e9\\'ff\\'80.tga");
    EXPECT_EQ(EscapeRtfText("Override\\\\x.tga"), "Override\\\\x.tga");  // doubled backslashes stay as they are
    EXPECT_EQ(LogDisplay("override\\my mods\\Tex.TGA"), "Override\\\\My Mods\\\\Tex.TGA");
    EXPECT_EQ(LogDisplay("override\\{x}.tga"), "Override\\\\\\{x\\}.tga");
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
