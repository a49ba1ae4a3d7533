#include <gtest/gtest.h>

#include "platform/memory/memory_file_system.hpp"
#include "platform/seams/forwarding_file_system.hpp"
#include "tests/support/scripted_ui.hpp"
#include "util/common.hpp"
#include "util/display_paths.hpp"

namespace zelvane {
namespace {

TEST(Paths, AddBackslashAndStripQuotes) {
    EXPECT_EQ(AddBackslash(""), "\\");
    EXPECT_EQ(AddBackslash("C:\\"), "C:\\");
    EXPECT_EQ(AddBackslash("C:\\Games"), "C:\\Games\\");
    EXPECT_EQ(StripQuotes("  \"C:\\x\\file.txt\\\"  "), "C:\\x\\file.txt\\");
    EXPECT_EQ(StripQuotes("\""), "\"");
    EXPECT_EQ(StripQuotes("\"\""), "");
}

TEST(Paths, NamesAndFolders) {
    MemoryFileSystem fs;
    fs.AddFolder("C:\\Games");
    EXPECT_EQ(GetFileName("\\name"), "\\name");
    EXPECT_EQ(GetFileName("dir\\name"), "name");
    EXPECT_EQ(GetBaseName("C:\\x\\a.b.txt"), "a.b");
    EXPECT_EQ(GetBaseName("C:\\x\\.profile"), ".profile");
    EXPECT_EQ(GetFolderPart(fs, "C:\\Games\\file.txt"), "C:\\Games\\");
    EXPECT_EQ(GetFolderPart(fs, "C:\\Games"), "C:\\Games");
    EXPECT_EQ(ParentFolder("C:\\"), "C:\\");
    EXPECT_EQ(ParentFolder("C:\\Games"), "C:\\");
    EXPECT_EQ(ParentFolder("C:\\Games\\Kotor\\"), "C:\\Games");
    EXPECT_EQ(LastFolder("C:\\Games\\Kotor\\"), "Kotor");
}

TEST(Paths, ExistenceTests) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\x\\file.txt", "data");
    fs.AddFile("C:\\x\\locked.txt", "data");
    fs.Lock("C:\\x\\locked.txt");
    EXPECT_TRUE(FileExists(fs, "\"C:\\x\\file.txt\\\""));
    EXPECT_FALSE(FileExists(fs, "C:\\x"));
    EXPECT_FALSE(FileExists(fs, ""));
    EXPECT_FALSE(FileExists(fs, "C:\\x\\locked.txt"));
    EXPECT_TRUE(FolderExists(fs, "C:\\x"));
    EXPECT_FALSE(FolderExists(fs, "C:\\x\\file.txt"));
    EXPECT_FALSE(FolderExists(fs, ""));
}

TEST(Paths, LongAndShortForms) {
    MemoryFileSystem fs;
    fs.AddFile("C:\\Program Files\\LucasArts\\dialog.tlk", "TLK V3.0");
    fs.SetShortName("C:\\Program Files", "PROGRA~1");
    EXPECT_EQ(GetLongPath(fs, "C:\\PROGRA~1\\LucasArts\\dialog.tlk"), "C:\\Program Files\\LucasArts\\dialog.tlk");
    EXPECT_EQ(GetShortPath(fs, "C:\\Program Files\\LucasArts\\dialog.tlk"), "C:\\PROGRA~1\\LucasArts\\dialog.tlk");
    EXPECT_EQ(GetShortPath(fs, "C:\\Program Files\\missing.tlk"), "");
}

TEST(Paths, LongPathUsesStoredNamesThroughHiddenAndSystemFolders) {
    MemoryFileSystem fs;
    fs.AddFolder("C:\\Program Files", Attributes{.directory = true, .system = true});
    fs.AddFolder("C:\\Program Files\\Hidden Stuff", Attributes{.directory = true, .hidden = true});
    fs.AddFile("C:\\Program Files\\Hidden Stuff\\Dialog.TLK", "TLK V3.0");
    fs.SetShortName("C:\\Program Files", "PROGRA~1");
    fs.SetShortName("C:\\Program Files\\Hidden Stuff", "HIDDEN~1");
    EXPECT_EQ(GetLongPath(fs, "c:\\progra~1\\hidden~1\\dialog.tlk"), "c:\\Program Files\\Hidden Stuff\\Dialog.TLK");
    EXPECT_EQ(GetLongPath(fs, "C:\\PROGRA~1\\HIDDEN~1\\missing.tlk"), "C:\\PROGRA~1\\HIDDEN~1\\missing.tlk");
    // A folder is no file: the path comes back as given.
    EXPECT_EQ(GetLongPath(fs, "C:\\PROGRA~1\\HIDDEN~1"), "C:\\PROGRA~1\\HIDDEN~1");
}

// A file system whose short-name service hands out a name that does not exist.
class LyingShortNames : public ForwardingFileSystem {
public:
    using ForwardingFileSystem::ForwardingFileSystem;
    std::string ShortPath(std::string_view) const override { return "C:\\LONGNA~9\\X"; }
};

TEST(Paths, ShortPathNeverNamesAMissingFile) {
    MemoryFileSystem memory;
    memory.AddFile("C:\\ab\\x", "x");
    LyingShortNames fs(memory);
    EXPECT_EQ(GetShortPath(fs, "C:\\ab\\x"), "");
    EXPECT_EQ(GetShortPath(memory, "C:\\ab\\x"), "C:\\ab\\x");
    EXPECT_EQ(GetShortPath(memory, ""), "");
}

TEST(Paths, KillFileClearsAttributesAndReportsOnlyWhenAsked) {
    MemoryFileSystem fs;
    testing::ScriptedUi ui;
    fs.AddFile("C:\\u\\a.ini", "x", Attributes{.readOnly = true});
    EXPECT_TRUE(KillFile(fs, ui, "C:\\u\\a.ini", false));
    EXPECT_FALSE(fs.Exists("C:\\u\\a.ini"));
    EXPECT_TRUE(KillFile(fs, ui, "C:\\u\\gone.ini", true));
    fs.AddFile("C:\\u\\b.ini", "x");
    fs.FailOperation(FsOp::Delete, "b.ini", FsStatus::AccessDenied);
    EXPECT_FALSE(KillFile(fs, ui, "C:\\u\\b.ini", false));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(KillFile(fs, ui, "C:\\u\\b.ini", true));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Oops!");
    EXPECT_EQ(ui.messages[0].text, "Error: 75\r\nPath/File access error\r\n\r\nLOCATION:\r\nPublic Function KillFile");
    EXPECT_EQ(ui.messages[0].style, kMbIconExclamation);
}

TEST(Paths, VersionAndErrorReport) {
    EXPECT_EQ(AppVersion(), "1.0.151");
    testing::ScriptedUi ui;
    ShowErrorMessage(ui, ProgramError(13, "Type mismatch"), "Form Load");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error: 13\r\nType mismatch\r\n\r\nLOCATION:\r\nForm Load");
}

TEST(DisplayForm, DoubleSlashAndProperCase) {
    EXPECT_EQ(DoubleSlash("a\\b\\c"), "a\\\\b\\\\c");
    EXPECT_EQ(ProperCasePath("a\\\\b"), "A\\\\b");
    EXPECT_EQ(ProperCasePath("override\\\\my mods\\\\Tex.TGA"), "Override\\\\My Mods\\\\Tex.TGA");
    EXPECT_EQ(ProperCasePath("LUCASARTS\\\\x"), "Lucasarts\\\\x");
    EXPECT_EQ(Display("override\\sub\\X.tga"), "Override\\\\Sub\\\\X.tga");
}

TEST(DisplayForm, ThreeOrMoreBackslashesLoseNothing) {
    // A source path that already held a doubled backslash gives overlapping separators.
    EXPECT_EQ(ProperCasePath("a\\\\\\b\\\\c"), "A\\\\\\b\\\\c");
    EXPECT_EQ(ProperCasePath("games\\\\\\\\kotor\\\\x.TGA"), "Games\\\\\\\\Kotor\\\\x.TGA");
    EXPECT_EQ(Display("C:\\\\x\\y.tga"), "C:\\\\\\\\X\\\\y.tga");
}

TEST(DisplayForm, CodePage1252Words) {
    EXPECT_EQ(ProperCasePath("\x9Akoda \xE4rger\\\\f.TGA"), "\x8Akoda \xC4rger\\\\f.TGA");
    // "Ünï" in code page 1252: right on 1252 text ("Ãœnã¯" came only from UTF-8 bytes taken as 1252).
    EXPECT_EQ(ProperCasePath("\xfcN\xcf\\\\x.tga"), "\xdcn\xef\\\\x.tga");
}

TEST(PathRelative, Needles) {
    FolderContext folders{"C:\\Mods\\Tool", "C:\\Games\\Kotor"};
    EXPECT_EQ(PathRelative("C:\\Games\\Kotor\\Override\\sub\\x.tga", "", folders), "Override\\sub\\x.tga");
    EXPECT_EQ(PathRelative("C:\\Games\\Kotor\\Movies\\a.bik", "", folders), "Movies\\a.bik");
    EXPECT_EQ(PathRelative("C:\\Mods\\Tool\\backup\\appearance.2da", "", folders), "backup\\appearance.2da");
    EXPECT_EQ(PathRelative("C:\\Mods\\Tool\\Backup Uninstall\\a.2da", "", folders), "Backup Uninstall\\a.2da");
    EXPECT_EQ(PathRelative("C:\\Mods\\Tool\\other\\a.2da", "", folders), "Tool\\other\\a.2da");
    EXPECT_EQ(PathRelative("D:\\Elsewhere\\a.2da", "", folders), "D:\\Elsewhere\\a.2da");
    EXPECT_EQ(PathRelative("C:\\Games\\Kotor", "", folders), "Kotor");
    EXPECT_EQ(PathRelative("C:\\Games\\Kotor\\Movies\\a.bik", "movies", folders), "Movies\\a.bik");
}

}  // namespace
}  // namespace zelvane
