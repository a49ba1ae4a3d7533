// Windows' rules as the program models them: paths and names; what only the in-memory file system
// does (locks, read-only media, short names, drives, links as it models them, and its faults); and
// what only the dry-run overlay over it does: the plan, and the questions a run asks the disk first.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/memory/memory_file_system.hpp"
#include "platform/overlay/overlay_file_system.hpp"
#include "platform/paths/windows_path.hpp"
#include "platform/pattern_match.hpp"
#include "tests/platform/host_folder_fixture.hpp"

namespace zelvane {
namespace {

using enum FsStatus;
using Statuses = std::vector<FsStatus>;
using Names = std::vector<std::string>;

// The text shows the root ("1:" is no drive letter); names keep their trailing dots and spaces
// (".. " is a name, not ".."), and a ".." above the root stays at the root.
TEST(WindowsPath, RootsDotsAndSeparatorsAreReadAsWindowsReadsThem) {
    std::string texts;  // "^" above the root, "/" with a trailing separator
    for (const char* path : {"c:/Games//Kotor\\.\\override\\..\\x.tga", "\\\\server\\share\\x", "/home/me", "1:x",
                             "a\\*\\..\\..\\x", "a. \\.. \\b", "C:\\..\\x", "C:\\Games\\", "C:\\"}) {
        const WindowsPath read = WindowsPath::Read(path);
        texts += read.Text() + (read.aboveRoot ? "^" : "") + (read.trailingSeparator ? "/" : "") + "|";
    }
    EXPECT_EQ(texts,
              "C:\\Games\\Kotor\\x.tga|\\\\server\\share\\x|\\home\\me|1:x|x|a. \\.. \\b|C:\\x^|C:\\Games/|C:\\|");
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
    EXPECT_TRUE(NameLess("alpha", "Beta"));
    EXPECT_FALSE(NameLess("beta", "Alpha"));
}

class MemoryFs : public ::testing::Test {
protected:
    MemoryFs() {
        fs.AddFile(R"(C:\Games\Kotor\dialog.tlk)", "TLK V3.0");
        fs.AddFile(R"(C:\Games\Kotor\Override\x.tga)", "tga");
        fs.AddFile(R"(D:\Saves\save.sav)", "mine");
    }
    MemoryFileSystem fs;
};

// Listings come in creation order (or name order, as NTFS lists), with hidden and system entries,
// and keep what they held when the folder changes.
TEST_F(MemoryFs, ListingsKeepTheirOrderAndOutliveChanges) {
    fs.AddFile(R"(C:\L\b.txt)", "", Attributes{.hidden = true});
    fs.AddFolder(R"(C:\L\A)", Attributes{.system = true});
    fs.AddFile(R"(C:\L\c.2da)", "");
    EXPECT_EQ(ListedNames(fs, R"(C:\L\*.*)"), (Names{"b.txt", "A\\", "c.2da"}));
    auto listing = fs.List(R"(C:\L\*)");
    EXPECT_TRUE(listing->Next()->attributes.hidden);
    EXPECT_TRUE(listing->Next()->attributes.system);
    ASSERT_EQ(fs.Delete(R"(C:\L\c.2da)"), Ok);
    EXPECT_EQ(listing->Next()->name, "c.2da");
    fs.ListInNameOrder();
    EXPECT_EQ(ListedNames(fs, R"(C:\L\*.*)"), (Names{"A\\", "b.txt"}));
}

TEST_F(MemoryFs, LocksReadOnlyFilesAndMediaRefuseAsWindowsDoes) {
    const std::string tlk = R"(C:\Games\Kotor\dialog.tlk)", x = R"(C:\Games\Kotor\Override\x.tga)";
    fs.Lock(tlk);
    std::string bytes = "untouched";
    EXPECT_EQ((Statuses{fs.OpenForRead(tlk), fs.ReadAll(tlk, bytes, 100), fs.Delete(tlk),
                        fs.Rename(tlk, R"(C:\Games\d.tlk)"), fs.Copy(tlk, R"(C:\Games\d.tlk)"),
                        fs.SetAttributes(tlk, {.readOnly = true})}),  // allowed on a locked file
              (Statuses{SharingViolation, SharingViolation, SharingViolation, SharingViolation, SharingViolation, Ok}));
    fs.Lock(tlk, false);
    EXPECT_EQ(fs.Delete(tlk), AccessDenied);
    EXPECT_EQ(bytes, "untouched");

    fs.SetReadOnlyMedium(R"(C:\Games)");
    EXPECT_EQ((Statuses{fs.Delete(x), fs.WriteAll(R"(C:\Games\new.txt)", "new"), fs.SetAttributes(x, {}),
                        fs.Rename(x, R"(C:\Games\y.tga)"), fs.CreateFolder(R"(C:\Games\New)"),
                        fs.Copy(R"(D:\Saves\save.sav)", R"(C:\Games\s.sav)"), fs.CanCreateFileIn(R"(C:\Games\Kotor)"),
                        fs.Copy(x, R"(C:\x.tga)")}),  // reading is fine
              (Statuses{WriteProtected, WriteProtected, WriteProtected, WriteProtected, WriteProtected, WriteProtected,
                        WriteProtected, Ok}));
}

TEST_F(MemoryFs, ShortNamesStandForTheirEntriesAndRootsUntilRenamed) {
    fs.AddFile(R"(C:\Program Files\Star Wars\dialog.tlk)", "");
    fs.SetShortName(R"(C:\Program Files)", "PROGRA~1");
    fs.SetShortName(R"(C:\Program Files\Star Wars)", "STARWA~1");
    fs.SetRoots({R"(C:\Program Files\Star Wars)"});
    EXPECT_EQ(fs.WriteAll(R"(C:\PROGRA~1\STARWA~1\new.txt)", "in"), Ok);
    fs.SetRoots({});
    ASSERT_EQ(fs.Rename(R"(C:\PROGRA~1\STARWA~1)", R"(C:\Program Files\Star Wars 2)"), Ok);
    EXPECT_FALSE(fs.Exists(R"(C:\Program Files\STARWA~1)"));
}

// Each drive is a volume, and so is a folder put on one of its own; links count where they lead. A
// file on the way to a path is no folder, and the model refuses to be built into nonsense.
TEST_F(MemoryFs, RenamesStayOnTheirVolume) {
    const std::string backup = R"(C:\mods\tool\backup\a.2da)";
    fs.AddFile(backup, "backup");
    fs.PutOnOwnVolume(R"(C:\mods\tool)");
    fs.AddLink(R"(C:\Games\Kotor\Saves)", R"(D:\Saves)");
    EXPECT_FALSE(fs.SameVolume(backup, R"(C:\Games\Kotor\a.2da)"));
    EXPECT_TRUE(fs.SameVolume(backup, R"(C:\mods\tool\a.2da)"));
    EXPECT_FALSE(fs.SameVolume(R"(C:\Games\Kotor\x.tga)", R"(C:\Games\Kotor\Saves\x.tga)"));
    Attributes a;
    EXPECT_EQ((Statuses{fs.Rename(backup, R"(C:\Games\Kotor\a.2da)"),
                        fs.Rename(R"(C:\Games\Kotor\dialog.tlk)", R"(D:\dialog.tlk)"),
                        fs.Copy(backup, R"(C:\Games\Kotor\a.2da)"), fs.GetAttributes(R"(C:\)", a),
                        fs.GetAttributes(R"(Q:\x)", a), fs.GetAttributes(R"(C:\Games\Kotor\dialog.tlk\x)", a)}),
              (Statuses{NotSameDevice, NotSameDevice, Ok, Ok, PathNotFound, PathNotFound}));
    EXPECT_THROW(fs.AddFile(R"(C:\Games\Kotor\dialog.tlk\x)", ""), std::invalid_argument);
    EXPECT_THROW(fs.Lock(R"(C:\none)"), std::invalid_argument);
}

// Links are followed by every operation, removal included, also link to link; a circle names nothing.
TEST_F(MemoryFs, LinksAreFollowedByEveryOperation) {
    fs.AddLink(R"(C:\Games\Kotor\Override\Linked)", R"(D:\Saves)");
    fs.AddLink(R"(C:\Hop)", R"(C:\Games\Kotor\Override\Linked)");
    fs.AddLink(R"(C:\Loop\a)", R"(C:\Loop\b)");
    fs.AddLink(R"(C:\Loop\b)", R"(C:\Loop\a)");
    EXPECT_EQ(fs.ResolvedPath(R"(c:\HOP\new\b.tga)"), R"(D:\Saves\new\b.tga)");
    EXPECT_EQ(fs.ResolvedPath(R"(C:\Loop\a\x)"), "");
    Attributes a;
    EXPECT_EQ((Statuses{fs.GetAttributes(R"(C:\Loop\a)", a), fs.Delete(R"(C:\Hop\save.sav)")}),
              (Statuses{BadName, Ok}));
    EXPECT_FALSE(fs.Exists(R"(D:\Saves\save.sav)"));
}

TEST_F(MemoryFs, InjectedFaultsHitEveryCallUntilCleared) {
    const std::string x = R"(C:\Games\Kotor\Override\x.tga)";
    fs.FailOperation(FsOp::Delete, "OVERRIDE\\x", IoError);
    fs.FailOperation(FsOp::List, "", IoError);
    EXPECT_EQ((Statuses{fs.Delete(x), fs.Delete(x)}), (Statuses{IoError, IoError}));
    EXPECT_EQ(fs.List(R"(C:\Games\*.*)"), nullptr);
    fs.ClearFaults();
    EXPECT_EQ(fs.Delete(x), Ok);
}

TEST_F(MemoryFs, TheOverlaysPlanListsEveryChangeInOrderWithItsOutcome) {
    fs.AddFile(R"(C:\Games\Kotor\locked.tga)", "ro", Attributes{.readOnly = true});  // after Override: no name order
    OverlayFileSystem view(fs);
    view.Delete(R"(C:\Games\Kotor\locked.tga)");
    view.Rename(R"(C:\Games\Kotor\dialog.tlk)", R"(C:\Games\Kotor\Override\x.tga)");
    view.CreateFolder(R"(C:\Games\Kotor\Override)");
    view.WriteAll(R"(C:\Games\Kotor\z)", "");
    view.WriteAll(R"(C:\Games\Kotor\a)", "{\\rtf1}");
    // what the view made follows what was there, in the order it was made
    EXPECT_EQ(ListedNames(view, R"(C:\Games\Kotor\*)"), (Names{"dialog.tlk", "Override\\", "locked.tga", "z", "a"}));
    std::string plan;
    for (const PlannedChange& change : view.Plan()) {
        plan += std::string(PlannedKindName(change.kind)) + " " + change.path + " " + change.target + ": " +
                std::string(FsStatusName(change.outcome)) + "\n";
    }
    EXPECT_EQ(plan,
              "delete C:\\Games\\Kotor\\locked.tga : access denied\n"
              "rename C:\\Games\\Kotor\\dialog.tlk C:\\Games\\Kotor\\Override\\x.tga: already exists\n"
              "create folder C:\\Games\\Kotor\\Override : already exists\n"
              "write C:\\Games\\Kotor\\z : done\n"
              "write C:\\Games\\Kotor\\a : done\n");
}

// What a run asks before it changes anything is answered by the disk below (a folder made in the
// view by the folder below that would hold it), so that a dry run refuses what the real run would.
TEST_F(MemoryFs, TheOverlaysQuestionsBeforeAChangeAreAnsweredByTheDisk) {
    fs.AddFolder(R"(C:\Games\Backup)");
    fs.PutOnOwnVolume(R"(C:\Games\Backup)");
    fs.FailOperation(FsOp::CanCreateFileIn, R"(C:\Games\Kotor\Override)", AccessDenied);
    OverlayFileSystem view(fs);
    std::string bytes;
    std::uint64_t size = 0;
    EXPECT_EQ(
        (Statuses{view.CreateFolder(R"(C:\Games\Kotor\Override\Made)"), view.CreateFolder(R"(C:\Games\Backup\Made)"),
                  view.WriteAll(R"(C:\Games\Backup\new.2da)", "new"),
                  view.CanCreateFileIn(R"(C:\Games\Kotor\Override\Made)"),
                  view.CanCreateFileIn(R"(C:\Games\Backup\Made)"), view.ReadAll(R"(C:\Games\Backup\new.2da)", bytes, 2),
                  view.FileSize(R"(C:\Games\Backup\new.2da)", size)}),
        (Statuses{Ok, Ok, Ok, AccessDenied, Ok, TooLarge, Ok}));
    EXPECT_EQ(size, 3u);
    EXPECT_FALSE(view.SameVolume(R"(C:\Games\Backup\Made\x)", R"(C:\Games\Kotor\Override\x)"));
    EXPECT_TRUE(view.SameVolume(R"(C:\Games\Backup\Made\x)", R"(C:\Games\Backup\x)"));
    view.SetRoots({R"(C:\Games\Backup)"});
    EXPECT_EQ(fs.Roots(), std::vector<std::string>{R"(C:\Games\Backup)"});
    EXPECT_EQ(view.CanCreateFileIn(R"(C:\Games)"), OutsideRoots);
    EXPECT_EQ(fs.MutationCount(), 0u);
}

}  // namespace
}  // namespace zelvane
