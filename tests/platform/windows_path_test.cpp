#include "platform/paths/windows_path.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/overlay/overlay_file_system.hpp"
#include "platform/pattern_match.hpp"

namespace zelvane {
namespace {

using Names = std::vector<std::string>;

// The text shows the root ("1:" is no drive letter); names keep their trailing dots and spaces
// (".. " is a name, not ".."), and a ".." above the root stays at the root.
TEST(WindowsPath, RootsDotsAndSeparatorsAreReadAsWindowsReadsThem) {
    std::string texts;
    for (const char* path : {"c:/Games//Kotor\\.\\override\\..\\x.tga", "\\\\server\\share\\x", "/home/me", "1:x",
                             "a\\*\\..\\..\\x", "a. \\.. \\b", "C:\\..\\x"}) {
        texts += WindowsPath::Read(path).Text() + "|";
    }
    EXPECT_EQ(texts, "C:\\Games\\Kotor\\x.tga|\\\\server\\share\\x|\\home\\me|1:x|x|a. \\.. \\b|C:\\x|");
    EXPECT_TRUE(WindowsPath::Read("C:\\..\\x").aboveRoot);
    EXPECT_FALSE(WindowsPath::Read("a\\..\\x").aboveRoot);
    EXPECT_TRUE(WindowsPath::Read("C:\\Games\\").trailingSeparator);
    EXPECT_FALSE(WindowsPath::Read("C:\\").trailingSeparator);
    EXPECT_EQ(SplitPathNames("\\a//b\\.\\..\\"), (std::vector<std::string_view>{"a", "b", ".", ".."}));
    EXPECT_EQ(WindowsPath::Read("C:\\Games\\Kotor").Text(1), "C:\\Games");
    EXPECT_EQ(WindowsPath::Read("C:\\Games").Text(0), "C:\\");
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

// A drive letter alone names its root; a pattern has wildcards in its last name only, and keeps its dots.
TEST(WindowsPath, AFileSystemTakesDrivePathsOfNamesAFileCanHave) {
    const auto read = [](std::string_view text, bool pattern) {
        WindowsPath path;
        const FsStatus status = ReadDrivePath(text, pattern, path);
        return status == FsStatus::Ok ? path.Text() : "<" + std::string(FsStatusName(status)) + ">";
    };
    EXPECT_EQ(read("c:\\Games\\.\\Kotor\\..\\x.tga. ", false), "C:\\Games\\x.tga");
    EXPECT_EQ(read("C:x", false) + "|" + read("C:", false), "C:\\x|C:\\");
    for (const char* missing : {"", "\\\\server\\share\\x", "override\\x"}) {
        EXPECT_EQ(read(missing, false), "<path not found>") << missing;
    }
    for (const std::string& bad :
         std::vector<std::string>{"1:\\x", "C:\\a|b", "C:\\x:s", "C:\\...\\x", "C:\\CON", "C:\\games\\conin$.txt\\x",
                                  "C:\\*.tga", "C:\\a\\x?\\b", "C:\\" + std::string(256, 'a')}) {
        EXPECT_EQ(read(bad, false), "<bad name>") << bad;
    }
    EXPECT_EQ(read("C:\\L\\*.", true), "C:\\L\\*.");
    for (const char* bad : {"C:\\*\\x.tga", "C:\\L\\*|", "C:\\L\\*:s", "C:\\L\\nul.*"}) {
        EXPECT_EQ(read(bad, true), "<bad name>") << bad;
    }
}

// Wildcards as Windows matches them: without letter case, "*.*" and "name.*" also where there is
// no dot, a trailing dot for "no extension", "?" exactly one character.
TEST(WildcardMatch, MatchesAsWindowsDoes) {
    const struct {
        const char* pattern;
        std::vector<const char*> matching, others;
    } cases[] = {
        {"*.*", {"appearance.2da", "README", ".hidden"}, {}},
        {"*.2da", {"SPELLS.2DA"}, {"spells.2da.bak", "spells2da"}},
        {"*.2DA", {"a.b.2da"}, {}},
        {"x?.tga", {"x1.tga"}, {"x.tga", "x12.tga"}},
        {"dialog.*", {"dialog"}, {"dialogs"}},
        {"*.", {"override"}, {"x.tga"}},
        {"dialog.tlk", {}, {"dialog.tlk2"}},
        {"", {}, {"x"}},
        {"*", {}, {""}},
        {"*a*b*c", {"xxaxxbxxbxc"}, {"xxaxxcxxb"}},
        {"\xC9*", {"\xE9t\xE9.txt"}, {}},
    };
    for (const auto& c : cases) {
        for (const char* name : c.matching) EXPECT_TRUE(WildcardMatch(c.pattern, name)) << c.pattern << " " << name;
        for (const char* name : c.others) EXPECT_FALSE(WildcardMatch(c.pattern, name)) << c.pattern << " " << name;
    }
}

TEST(NameComparison, FoldsCodePage1252AndOrdersWithoutLetterCase) {
    EXPECT_TRUE(NamesEqual("\xC4rger.txt", "\xE4RGER.TXT"));  // Ä / ä
    EXPECT_FALSE(NamesEqual("ab", "abc"));
    EXPECT_TRUE(NameLess("alpha", "Beta"));
    EXPECT_TRUE(NameLess("Alpha", "beta"));
    EXPECT_FALSE(NameLess("beta", "Alpha"));
    EXPECT_TRUE(NameLess("a", "ab"));
}

}  // namespace
}  // namespace zelvane
