#include "removal/log_line.hpp"

#include <gtest/gtest.h>

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
    EXPECT_EQ(ErrorText({FsStatus::FileNotFound}), "Error: 53  File not found");
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

}  // namespace
}  // namespace zelvane
