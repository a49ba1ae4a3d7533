#include "platform/paths/windows_path.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelvane {
namespace {

using Names = std::vector<std::string>;

TEST(WindowsPath, RootsDotsAndSeparatorsAreReadAsWindowsReadsThem) {
    const WindowsPath drive = WindowsPath::Read("c:/Games//Kotor\\.\\override\\..\\x.tga");
    EXPECT_EQ(drive.root, WindowsPath::Root::Drive);
    EXPECT_EQ(drive.drive, "C:");
    EXPECT_EQ(drive.names, (Names{"Games", "Kotor", "x.tga"}));
    EXPECT_EQ(WindowsPath::Read("\\\\server\\share\\x").root, WindowsPath::Root::Unc);
    EXPECT_EQ(WindowsPath::Read("/home/me").root, WindowsPath::Root::Rooted);
    EXPECT_EQ(WindowsPath::Read("1:\\x").root, WindowsPath::Root::Relative);  // no drive letter
    EXPECT_EQ(WindowsPath::Read("a\\*\\..\\..\\x").names, Names{"x"});
    // names keep their trailing dots and spaces as written; ".. " is a name, not ".."
    EXPECT_EQ(WindowsPath::Read("a. \\.. \\b").names, (Names{"a. ", ".. ", "b"}));
    const WindowsPath above = WindowsPath::Read("C:\\..\\x");
    EXPECT_TRUE(above.aboveRoot);
    EXPECT_EQ(above.names, Names{"x"});  // stays at the root
    EXPECT_FALSE(WindowsPath::Read("a\\..\\x").aboveRoot);
    EXPECT_TRUE(WindowsPath::Read("C:\\Games\\").trailingSeparator);
    EXPECT_FALSE(WindowsPath::Read("C:\\").trailingSeparator);
    EXPECT_EQ(SplitPathNames("\\a//b\\.\\..\\"), (std::vector<std::string_view>{"a", "b", ".", ".."}));
    EXPECT_EQ(WindowsPath::Read("C:\\Games\\Kotor").Text(1), "C:\\Games");
    EXPECT_EQ(WindowsPath::Read("C:\\Games").Text(0), "C:\\");
    EXPECT_EQ(WindowsPath::Read("\\\\server\\share").Text(), "\\\\server\\share");
    EXPECT_EQ(WindowsPath::Read("a/b").Text(), "a\\b");
}

TEST(WindowsPath, NamesAreSortedByWhatTheyCanStandFor) {
    EXPECT_EQ(StoredName("c.uti. . "), "c.uti");
    EXPECT_EQ(StoredName(" lead"), " lead");
    EXPECT_EQ(StoredName("x..tga"), "x..tga");
    for (const char* name : {"CON", "PRN", "AUX", "NUL", "COM1", "COM9", "LPT1", "LPT9", "COM\xB9", "COM\xB2",
                             "LPT\xB3", "CONIN$", "CONOUT$", "Nul", "nul.txt", "aux.2da.bak", "con .txt", "prn  "}) {
        EXPECT_TRUE(IsDeviceName(name)) << name;
    }
    for (const char* name :
         {"COM0", "COM10", "LPT", "CONSOLE.txt", "nul1.tga", "xcon", " con", "COM\xB4", "conin", "conin$$", ""}) {
        EXPECT_FALSE(IsDeviceName(name)) << name;
    }
    const std::vector<std::pair<NameKind, std::vector<std::string>>> kinds{
        {NameKind::Plain, {"x.tga. ", std::string(255, 'a') + ". "}},
        {NameKind::Unstorable, {"a<b", "say \"hi\"", "a|b", "\tx"}},
        {NameKind::Wildcard, {"*.uti", "x?.tga", "x*:s"}},
        {NameKind::Stream, {"x.tga:s"}},
        {NameKind::Empty, {"...", " "}},
        {NameKind::Device, {"nul."}},
        {NameKind::TooLong, {std::string(256, 'a')}}};
    for (const auto& [kind, names] : kinds) {
        for (const std::string& name : names) EXPECT_EQ(KindOfName(name), kind) << name;
    }
}

TEST(WindowsPath, BelowComparesWholeNamesWithoutLetterCaseUnderOneRoot) {
    const struct {
        std::string folder;
        bool below;
        std::vector<std::string> paths;
    } cases[] = {
        {"C:\\Games\\Kotor",
         true,
         {"C:/Games/Kotor//override/x.tga", "C:\\Games\\Kotor.\\x", "C:\\Games\\Kotor\\a\\..\\x"}},
        {"C:\\Games\\Kotor\\", true, {"c:\\GAMES\\kotor\\x.tga"}},
        {"C:\\Games\\Kotor\\caf\xE9", true, {"C:\\Games\\Kotor\\Caf\xC9\\x"}},
        {"C:\\", true, {"C:\\x"}},
        {"\\\\SERVER\\share\\Kotor", true, {"\\\\server\\share\\Kotor\\x"}},
        {"C:\\Games\\Kotor",
         false,
         {"C:\\Games\\Kotor2\\x.tga", "C:\\Games\\Kotor", "C:\\Games\\Kotor\\", "",
          "C:\\Games\\Kotor\\override\\..\\..\\x", "D:\\Games\\Kotor\\x", "\\\\C:\\Games\\Kotor\\x"}},
        {"\\server", false, {"\\\\server\\x"}},
        {"", false, {"x"}},
    };
    for (const auto& c : cases) {
        for (const std::string& path : c.paths) EXPECT_EQ(IsPathBelow(path, c.folder), c.below) << path;
    }
    EXPECT_TRUE(IsPathAtOrBelow("C:\\Games\\Kotor\\", "c:\\games\\kotor"));
    EXPECT_FALSE(IsPathAtOrBelow("C:\\Games", "C:\\Games\\Kotor"));
}

TEST(WindowsPath, AFileSystemTakesDrivePathsOfNamesAFileCanHave) {
    WindowsPath path;
    ASSERT_EQ(ReadDrivePath("c:\\Games\\.\\Kotor\\..\\x.tga. ", false, path), FsStatus::Ok);
    EXPECT_EQ(path.Text(), "C:\\Games\\x.tga");
    ASSERT_EQ(ReadDrivePath("C:x", false, path), FsStatus::Ok);
    EXPECT_EQ(path.Text(), "C:\\x");
    ASSERT_EQ(ReadDrivePath("C:", false, path), FsStatus::Ok);  // a drive letter alone: its root
    EXPECT_EQ(path.Text(), "C:\\");
    for (const char* missing : {"", "\\\\server\\share\\x", "override\\x"}) {
        EXPECT_EQ(ReadDrivePath(missing, false, path), FsStatus::PathNotFound) << missing;
    }
    for (const char* bad : {"1:\\x", "C:\\a|b", "C:\\x:s", "C:\\...\\x", "C:\\CON", "C:\\games\\conin$.txt\\x",
                            "C:\\*.tga", "C:\\a\\x?\\b"}) {
        EXPECT_EQ(ReadDrivePath(bad, false, path), FsStatus::BadName) << bad;
    }
    EXPECT_EQ(ReadDrivePath("C:\\" + std::string(256, 'a'), false, path), FsStatus::BadName);
    // a pattern: wildcards in its last name only, and its dots kept
    ASSERT_EQ(ReadDrivePath("C:\\L\\*.", true, path), FsStatus::Ok);
    EXPECT_EQ(path.names.back(), "*.");
    EXPECT_EQ(ReadDrivePath("C:\\*\\x.tga", true, path), FsStatus::BadName);
    for (const char* bad : {"C:\\L\\*|", "C:\\L\\*:s", "C:\\L\\nul.*"}) {
        EXPECT_EQ(ReadDrivePath(bad, true, path), FsStatus::BadName) << bad;
    }
}

}  // namespace
}  // namespace zelvane
