#include "removal/entry_safety.hpp"

#include <gtest/gtest.h>

namespace zelvane {
namespace {

TEST(EntrySafety, PathsBelowTheGameFolderPass) {
    for (const char* entry : {"override\\x.tga", "x.tga", "Movies\\a.bik", "override\\sub dir\\x.2da",
                              "override\\.hidden", "override\\a.b.c", "\tlead.tga", "override\\\\x.tga",
                              "CONSOLE.txt", "com10.txt", "lpt.txt", "nul1.tga", "override\\x..tga"}) {
        EXPECT_TRUE(IsEntryInsideGameFolder(entry)) << entry;
    }
}

TEST(EntrySafety, EscapesAndRootedPathsAreRefused) {
    for (const char* entry : {"..\\x.tga", "override\\..\\..\\x", "..", "override/../../x", "override\\..",
                              "\\x.tga", "/x.tga", "\\\\server\\share\\x", "\\\\?\\C:\\x", "C:\\x.tga", "C:x.tga",
                              "d:\\games\\x"}) {
        EXPECT_FALSE(IsEntryInsideGameFolder(entry)) << entry;
    }
}

TEST(EntrySafety, StreamsWildcardsAndDevicesAreRefused) {
    for (const char* entry : {"x.tga:stream", "override\\x.tga::$DATA", "override\\*.tga", "override\\x?.tga",
                              "CON", "con.txt", "override\\nul", "override\\NUL.tga", "PRN", "aux.2da", "COM1",
                              "com9.txt", "LPT1", "lpt9.tga", "override\\Con .txt", "CONIN$", "conout$.x",
                              "COM\xB9", "lpt\xB2.txt"}) {
        EXPECT_FALSE(IsEntryInsideGameFolder(entry)) << entry;
    }
}

TEST(EntrySafety, TrailingDotsAndSpacesAreRefused) {
    for (const char* entry : {"x.tga.", "x.tga ", "override.\\x.tga", "override \\x.tga", ".", "override\\.",
                              "...", "override\\...\\x"}) {
        EXPECT_FALSE(IsEntryInsideGameFolder(entry)) << entry;
    }
}

}  // namespace
}  // namespace zelvane
