// The pieces of log lines that no whole log shows.

#include <gtest/gtest.h>

#include "removal/log_line.hpp"
#include "removal/removal_log.hpp"

namespace zelvane {
namespace {

TEST(LogText, RefusalsEscapesAndTheShownFormOfNames) {
    EXPECT_EQ(DeletionText({FsStatus::ProgramOwnFile}, "backup\\\\a.2da").Text(),
              "\\cf10 Refused (one of this program's own files): \\cf1 Backup\\\\a.2da");
    EXPECT_EQ(EscapeRtfText("caf\xE9\xFF\x80{b}.tga"), "caf\\'e9\\'ff\\'80\\{b\\}.tga");
    EXPECT_EQ(EscapeRtfText("Override\\\\x.tga"), "Override\\\\x.tga");  // doubled backslashes stay as they are
    EXPECT_EQ(LogDisplay("override\\my mods\\Tex.TGA"), "Override\\\\My Mods\\\\Tex.TGA");
    EXPECT_EQ(LogDisplay("override\\{x}.tga"), "Override\\\\\\{x\\}.tga");
}

}  // namespace
}  // namespace zelvane
