#include "platform/paths/windows_path.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelvane {
namespace {

std::vector<std::string> Names(const WindowsPath& path) { return path.names; }

TEST(WindowsPath, RootsAreToldByTheirFirstCharacters) {
    const WindowsPath drive = WindowsPath::Read("c:\\Games\\Kotor");
    EXPECT_EQ(drive.root, WindowsPath::Root::Drive);
    EXPECT_EQ(drive.drive, "C:");
    EXPECT_EQ(Names(drive), (std::vector<std::string>{"Games", "Kotor"}));
    EXPECT_EQ(WindowsPath::Read("C:Games").root, WindowsPath::Root::Drive);
    const WindowsPath unc = WindowsPath::Read("\\\\server\\share\\x");
    EXPECT_EQ(unc.root, WindowsPath::Root::Unc);
    EXPECT_EQ(Names(unc), (std::vector<std::string>{"server", "share", "x"}));
    EXPECT_EQ(WindowsPath::Read("\\override\\x").root, WindowsPath::Root::Rooted);
    EXPECT_EQ(WindowsPath::Read("/home/me").root, WindowsPath::Root::Rooted);
    EXPECT_EQ(WindowsPath::Read("override\\x").root, WindowsPath::Root::Relative);
    EXPECT_EQ(WindowsPath::Read("1:\\x").root, WindowsPath::Root::Relative);  // no drive letter
}

TEST(WindowsPath, DotsAndSeparatorsAreAppliedBeforeAnyNameIsLookedAt) {
    EXPECT_EQ(Names(WindowsPath::Read("C:/Games//Kotor\\.\\override\\..\\x.tga")),
              (std::vector<std::string>{"Games", "Kotor", "x.tga"}));
    EXPECT_EQ(Names(WindowsPath::Read("a\\*\\..\\..\\x")), std::vector<std::string>{"x"});
    // names keep their trailing dots and spaces as written; ".. " is a name, not ".."
    EXPECT_EQ(Names(WindowsPath::Read("a. \\.. \\b")), (std::vector<std::string>{"a. ", ".. ", "b"}));
    const WindowsPath above = WindowsPath::Read("C:\\..\\x");
    EXPECT_TRUE(above.aboveRoot);
    EXPECT_EQ(Names(above), std::vector<std::string>{"x"});  // stays at the root
    EXPECT_FALSE(WindowsPath::Read("a\\..\\x").aboveRoot);
    EXPECT_TRUE(WindowsPath::Read("a\\..\\..\\x").aboveRoot);
    EXPECT_TRUE(WindowsPath::Read("C:\\Games\\").trailingSeparator);
    EXPECT_FALSE(WindowsPath::Read("C:\\").trailingSeparator);
    EXPECT_EQ(SplitPathNames("\\a//b\\.\\..\\"), (std::vector<std::string_view>{"a", "b", ".", ".."}));
}

TEST(WindowsPath, TextJoinsTheRootAndTheNames) {
    EXPECT_EQ(WindowsPath::Read("c:/Games/./Kotor/").Text(), "C:\\Games\\Kotor");
    EXPECT_EQ(WindowsPath::Read("C:\\Games\\Kotor").Text(1), "C:\\Games");
    EXPECT_EQ(WindowsPath::Read("C:\\Games").Text(0), "C:\\");
    EXPECT_EQ(WindowsPath::Read("\\\\server\\share").Text(), "\\\\server\\share");
    EXPECT_EQ(WindowsPath::Read("\\x").Text(), "\\x");
    EXPECT_EQ(WindowsPath::Read("a/b").Text(), "a\\b");
}

TEST(WindowsPath, StoredNamesLoseTheirTrailingDotsAndSpaces) {
    EXPECT_EQ(StoredName("a.uti "), "a.uti");
    EXPECT_EQ(StoredName("c.uti. . "), "c.uti");
    EXPECT_EQ(StoredName(" lead"), " lead");
    EXPECT_EQ(StoredName("..."), "");
    EXPECT_EQ(StoredName("x..tga"), "x..tga");
}

TEST(WindowsPath, DeviceNamesAreTheWholeListInAnyFormWindowsReads) {
    for (const char* name :
         {"CON",     "PRN",     "AUX",         "NUL",      "COM1",    "COM9",   "LPT1",       "LPT9", "COM\xB9",
          "COM\xB2", "COM\xB3", "LPT\xB9",     "LPT\xB2",  "LPT\xB3", "CONIN$", "CONOUT$",    "con",  "Nul",
          "conin$",  "nul.txt", "aux.2da.bak", "con .txt", "aux. ",   "prn  ",  "lpt\xB2.txt"}) {
        EXPECT_TRUE(IsDeviceName(name)) << name;
    }
    for (const char* name : {"COM0", "COM10", "LPT", "COM", "CONSOLE.txt", "nul1.tga", "xcon", " con", "COM\xB4",
                             "conin", "CONOUT", "conin$$", ""}) {
        EXPECT_FALSE(IsDeviceName(name)) << name;
    }
}

TEST(WindowsPath, NamesAreSortedByWhatTheyCanStandFor) {
    EXPECT_EQ(KindOfName("x.tga"), NameKind::Plain);
    EXPECT_EQ(KindOfName("x.tga. "), NameKind::Plain);
    for (const char* name : {"a<b", "a>b", "say \"hi\"", "a|b", "\tx", "a*|b"}) {
        EXPECT_EQ(KindOfName(name), NameKind::Unstorable) << name;
    }
    EXPECT_EQ(KindOfName("*.uti"), NameKind::Wildcard);
    EXPECT_EQ(KindOfName("x?.tga"), NameKind::Wildcard);
    EXPECT_EQ(KindOfName("x*:s"), NameKind::Wildcard);  // a wildcard is told before a stream
    EXPECT_EQ(KindOfName("x.tga:s"), NameKind::Stream);
    EXPECT_EQ(KindOfName(std::string(256, 'a')), NameKind::TooLong);
    EXPECT_EQ(KindOfName(std::string(255, 'a') + ". "), NameKind::Plain);
    EXPECT_EQ(KindOfName("..."), NameKind::Empty);
    EXPECT_EQ(KindOfName(" "), NameKind::Empty);
    EXPECT_EQ(KindOfName("nul."), NameKind::Device);
}

TEST(WindowsPath, BelowComparesWholeNamesWithoutLetterCaseUnderOneRoot) {
    EXPECT_TRUE(IsPathBelow("C:\\Games\\Kotor\\override\\x.tga", "C:\\Games\\Kotor"));
    EXPECT_TRUE(IsPathBelow("c:\\GAMES\\kotor\\x.tga", "C:\\Games\\Kotor\\"));
    EXPECT_TRUE(IsPathBelow("C:/Games/Kotor//override/x.tga", "C:\\Games\\Kotor"));
    EXPECT_TRUE(IsPathBelow("C:\\Games\\Kotor\\Caf\xC9\\x", "C:\\Games\\Kotor\\caf\xE9"));
    EXPECT_TRUE(IsPathBelow("C:\\Games\\Kotor.\\x", "C:\\Games\\Kotor"));  // stored names
    EXPECT_TRUE(IsPathBelow("C:\\Games\\Kotor\\a\\..\\x", "C:\\Games\\Kotor"));
    EXPECT_TRUE(IsPathBelow("C:\\x", "C:\\"));
    EXPECT_FALSE(IsPathBelow("C:\\Games\\Kotor2\\x.tga", "C:\\Games\\Kotor"));
    EXPECT_FALSE(IsPathBelow("C:\\Games\\Kotor", "C:\\Games\\Kotor"));
    EXPECT_FALSE(IsPathBelow("C:\\Games\\Kotor\\", "C:\\Games\\Kotor"));
    EXPECT_FALSE(IsPathBelow("C:\\Games\\Kotor\\..\\x.tga", "C:\\Games\\Kotor"));
    EXPECT_FALSE(IsPathBelow("C:\\Games\\Kotor\\override\\..\\..\\x", "C:\\Games\\Kotor"));
    EXPECT_FALSE(IsPathBelow("D:\\Games\\Kotor\\x", "C:\\Games\\Kotor"));
    EXPECT_FALSE(IsPathBelow("\\\\C:\\Games\\Kotor\\x", "C:\\Games\\Kotor"));
    EXPECT_FALSE(IsPathBelow("\\\\server\\x", "\\server"));
    EXPECT_FALSE(IsPathBelow("", "C:\\Games\\Kotor"));
    EXPECT_FALSE(IsPathBelow("x", ""));
    EXPECT_TRUE(IsPathBelow("\\\\server\\share\\Kotor\\x", "\\\\SERVER\\share\\Kotor"));
    EXPECT_TRUE(IsPathAtOrBelow("C:\\Games\\Kotor\\", "c:\\games\\kotor"));
    EXPECT_TRUE(IsPathAtOrBelow("C:\\Games\\Kotor\\x", "C:\\Games\\Kotor"));
    EXPECT_FALSE(IsPathAtOrBelow("C:\\Games", "C:\\Games\\Kotor"));
}

TEST(WindowsPath, AFileSystemTakesDrivePathsOfNamesAFileCanHave) {
    WindowsPath path;
    ASSERT_EQ(ReadDrivePath("c:\\Games\\.\\Kotor\\..\\x.tga. ", false, path), FsStatus::Ok);
    EXPECT_EQ(path.Text(), "C:\\Games\\x.tga");
    ASSERT_EQ(ReadDrivePath("C:\\..\\Games\\", false, path), FsStatus::Ok);
    EXPECT_EQ(path.Text(), "C:\\Games");
    EXPECT_TRUE(path.trailingSeparator);
    ASSERT_EQ(ReadDrivePath("C:x", false, path), FsStatus::Ok);
    EXPECT_EQ(path.Text(), "C:\\x");
    EXPECT_EQ(ReadDrivePath("", false, path), FsStatus::PathNotFound);
    EXPECT_EQ(ReadDrivePath("\\\\server\\share\\x", false, path), FsStatus::PathNotFound);
    EXPECT_EQ(ReadDrivePath("override\\x", false, path), FsStatus::PathNotFound);
    EXPECT_EQ(ReadDrivePath("1:\\x", false, path), FsStatus::BadName);
    for (const char* bad :
         {"C:\\a|b", "C:\\x:s", "C:\\...\\x", "C:\\CON", "C:\\games\\conin$.txt\\x", "C:\\*.tga", "C:\\a\\x?\\b"}) {
        EXPECT_EQ(ReadDrivePath(bad, false, path), FsStatus::BadName) << bad;
    }
    EXPECT_EQ(ReadDrivePath("C:\\" + std::string(256, 'a'), false, path), FsStatus::BadName);
}

TEST(WindowsPath, APatternHasWildcardsOnlyInItsLastNameAndKeepsItsDots) {
    WindowsPath path;
    ASSERT_EQ(ReadDrivePath("C:\\L\\*.", true, path), FsStatus::Ok);
    EXPECT_EQ(path.names.back(), "*.");
    ASSERT_EQ(ReadDrivePath("C:\\L\\x.tga.", true, path), FsStatus::Ok);
    EXPECT_EQ(path.names.back(), "x.tga");
    EXPECT_EQ(ReadDrivePath("C:\\*\\x.tga", true, path), FsStatus::BadName);
    for (const char* bad : {"C:\\L\\*|", "C:\\L\\*:s", "C:\\L\\nul.*"}) {
        EXPECT_EQ(ReadDrivePath(bad, true, path), FsStatus::BadName) << bad;
    }
}

}  // namespace
}  // namespace zelvane
