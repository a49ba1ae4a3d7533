#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "platform/memory/memory_file_system.hpp"
#include "platform/seams/forwarding_file_system.hpp"
#include "tests/support/scripted_ui.hpp"
#include "util/browse_folders.hpp"
#include "util/common.hpp"
#include "util/display_paths.hpp"
#include "util/registry_lookup.hpp"
#include "util/shell_execute.hpp"

namespace zelvane {
namespace {

using Cases = std::vector<std::pair<std::string, std::string>>;

void ExpectConverts(const std::function<std::string(std::string_view)>& convert, const Cases& cases) {
    for (const auto& [in, out] : cases) EXPECT_EQ(convert(in), out) << in;
}

TEST(Paths, TextOnlyFunctions) {
    ExpectConverts(AddBackslash, {{"", "\\"}, {"C:\\", "C:\\"}, {"C:\\Games", "C:\\Games\\"}});
    ExpectConverts(StripQuotes, {{"  \"C:\\x\\file.txt\\\"  ", "C:\\x\\file.txt\\"}, {"\"", "\""}, {"\"\"", ""}});
    ExpectConverts(GetFileName, {{"\\name", "\\name"}, {"dir\\name", "name"}});
    ExpectConverts(GetBaseName, {{"C:\\x\\a.b.txt", "a.b"}, {"C:\\x\\.profile", ".profile"}});
    ExpectConverts(ParentFolder, {{"C:\\", "C:\\"}, {"C:\\Games", "C:\\"}, {"C:\\Games\\Kotor\\", "C:\\Games"}});
    ExpectConverts(LastFolder, {{"C:\\Games\\Kotor\\", "Kotor"}});
    ExpectConverts(DoubleSlash, {{"a\\b\\c", "a\\\\b\\\\c"}});
    // Three or more backslashes (a source path that held a doubled one) lose nothing; words of code
    // page 1252 text ("Ãœnã¯" came only from UTF-8 bytes taken as 1252).
    ExpectConverts(ProperCasePath, {{"a\\\\b", "A\\\\b"},
                                    {"override\\\\my mods\\\\Tex.TGA", "Override\\\\My Mods\\\\Tex.TGA"},
                                    {"LUCASARTS\\\\x", "Lucasarts\\\\x"},
                                    {"a\\\\\\b\\\\c", "A\\\\\\b\\\\c"},
                                    {"games\\\\\\\\kotor\\\\x.TGA", "Games\\\\\\\\Kotor\\\\x.TGA"},
                                    {"\x9Akoda \xE4rger\\\\f.TGA", "\x8Akoda \xC4rger\\\\f.TGA"},
                                    {"\xfcN\xcf\\\\x.tga", "\xdcn\xef\\\\x.tga"}});
    ExpectConverts(Display,
                   {{"override\\sub\\X.tga", "Override\\\\Sub\\\\X.tga"}, {"C:\\\\x\\y.tga", "C:\\\\\\\\X\\\\y.tga"}});
}

// A file system whose short-name service hands out a name that does not exist.
class LyingShortNames : public ForwardingFileSystem {
public:
    using ForwardingFileSystem::ForwardingFileSystem;
    std::string ShortPath(std::string_view) const override { return "C:\\LONGNA~9\\X"; }
};

TEST(Paths, LongAndShortFormsUseStoredNamesThroughHiddenAndSystemFolders) {
    MemoryFileSystem fs;
    fs.AddFolder("C:\\Program Files", Attributes{.directory = true, .system = true});
    fs.AddFolder("C:\\Program Files\\Hidden Stuff", Attributes{.directory = true, .hidden = true});
    fs.AddFile("C:\\Program Files\\Hidden Stuff\\Dialog.TLK", "TLK V3.0");
    fs.SetShortName("C:\\Program Files", "PROGRA~1");
    fs.SetShortName("C:\\Program Files\\Hidden Stuff", "HIDDEN~1");
    EXPECT_EQ(GetLongPath(fs, "c:\\progra~1\\hidden~1\\dialog.tlk"), "c:\\Program Files\\Hidden Stuff\\Dialog.TLK");
    EXPECT_EQ(GetLongPath(fs, "C:\\PROGRA~1\\HIDDEN~1\\missing.tlk"), "C:\\PROGRA~1\\HIDDEN~1\\missing.tlk");
    EXPECT_EQ(GetLongPath(fs, "C:\\PROGRA~1\\HIDDEN~1"), "C:\\PROGRA~1\\HIDDEN~1");  // a folder is no file
    EXPECT_EQ(GetShortPath(fs, "C:\\Program Files\\Hidden Stuff\\Dialog.TLK"), "C:\\PROGRA~1\\HIDDEN~1\\Dialog.TLK");
    EXPECT_EQ(GetShortPath(fs, "C:\\Program Files\\missing.tlk"), "");
    EXPECT_EQ(GetShortPath(fs, ""), "");
    EXPECT_EQ(GetShortPath(LyingShortNames(fs), "C:\\Program Files\\Hidden Stuff\\Dialog.TLK"), "");
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
    EXPECT_FALSE(KillFile(fs, ui, "C:\\u\\b.ini", true));
    ASSERT_EQ(ui.messages.size(), 1u);  // one message, of the second call
    const auto& m = ui.messages[0];
    EXPECT_EQ(std::tie(m.title, m.text, m.style),
              std::tuple("Oops!", "Error: 75\r\nPath/File access error\r\n\r\nLOCATION:\r\nPublic Function KillFile",
                         kMbIconExclamation));
}

TEST(PathRelative, Needles) {
    const FolderContext folders{"C:\\Mods\\Tool", "C:\\Games\\Kotor"};
    ExpectConverts([&](std::string_view path) { return PathRelative(path, "", folders); },
                   {{"C:\\Games\\Kotor\\Override\\sub\\x.tga", "Override\\sub\\x.tga"},
                    {"C:\\Games\\Kotor\\Movies\\a.bik", "Movies\\a.bik"},
                    {"C:\\Games\\Kotor", "Kotor"},
                    {"C:\\Mods\\Tool\\backup\\appearance.2da", "backup\\appearance.2da"},
                    {"C:\\Mods\\Tool\\Backup Uninstall\\a.2da", "Backup Uninstall\\a.2da"},
                    {"C:\\Mods\\Tool\\other\\a.2da", "Tool\\other\\a.2da"},
                    {"D:\\Elsewhere\\a.2da", "D:\\Elsewhere\\a.2da"}});
    EXPECT_EQ(PathRelative("C:\\Games\\Kotor\\Movies\\a.bik", "movies", folders), "Movies\\a.bik");
}

class FakeRegistry : public Registry {
public:
    std::map<std::string, RegistryValue> values;
    std::optional<RegistryValue> Query(std::uint32_t, std::string_view key, std::string_view name) const override {
        const auto it = values.find(std::string(key) + "|" + std::string(name));
        return it == values.end() ? std::nullopt : std::optional(it->second);
    }
};

TEST(Registry, StringValuesOnly) {
    FakeRegistry r;
    r.values["K|Path"] = {kRegSz, std::string("C:\\Games\\Kotor\0junk", 19)};
    r.values["K|Expand"] = {kRegExpandSz, std::string("C:\\x\0", 5)};
    r.values["K|NoNul"] = {kRegSz, "C:\\whole"};
    const auto read = [&](const char* name) { return ReadRegistryString(r, kHkeyLocalMachine, "K", name); };
    EXPECT_EQ((std::vector{read("Path"), read("Expand"), read("NoNul"), read("Missing")}),
              (std::vector<std::string>{"C:\\Games\\Kotor", "", "C:\\whole", ""}));
}

TEST(BrowseForFolder, StartModesAndMemory) {
    testing::ScriptedUi ui;
    FolderBrowser browser;
    ui.browseAnswers = {"C:\\Games\\Kotor", "", "C:\\B", "C:\\C"};
    EXPECT_EQ(browser.BrowseForFolder(ui, "", "Find Kotor main folder", 0), "C:\\Games\\Kotor");
    EXPECT_EQ(browser.BrowseForFolder(ui, "C:\\Start", "t", -1), "");
    browser.BrowseForFolder(ui, "C:\\Start", "t", -1);  // a cancel cleared the last folder
    browser.BrowseForFolder(ui, "C:\\Start", "t", 5);
    EXPECT_EQ(ui.browseStarts, (std::vector<std::string>{"", "C:\\Games\\Kotor", "C:\\Start", "C:\\B"}));
}

TEST(ShellExecuteFile, ReturnsTheCodeAndShowsErrorsLetterForLetter) {
    testing::ScriptedUi ui;
    int show = 0;  // becomes "show"
    EXPECT_EQ(ShellExecuteFile(ui, "C:\\u\\removal_results.rtf", "", "", show, false), "42");
    EXPECT_EQ(show, 5);
    ui.shellResult = 1;  // not in the table: no message either
    EXPECT_EQ(ShellExecuteFile(ui, "f", "", "", show, false), "1");
    ui.shellResult = 31;
    EXPECT_EQ(ShellExecuteFile(ui, "C:\\u\\Zelvane Usage.rtf", "", "", show, false),
              "There is no application associated with the given filename extension.");
    ASSERT_EQ(ui.messages.size(), 1u);  // its title and text are shown by the app and console tests
    EXPECT_EQ(ui.messages[0].style, kMbOk);
    ShellExecuteFile(ui, "x", "", "", show, true);  // quiet about a missing association
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST(ShellExecuteFile, TheWholeTable) {
    const std::map<int, std::string> table = {
        {0, "The operating system is out of memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied access to the specified file. "},
        {6, "Seperate data segments are required For Each task."},
        {8, "There was not enough memory to complete the operation."},
        {10, "Incorrect Windows version."},
        {11, "Invalid program file."},
        {12, "Program file requires a different operating system."},
        {13, "Program requires MS-DOS 4.0."},
        {14, "Unknown program file type."},
        {15, "Windows program does Not support protected memory mode."},
        {16, "Invalid use of data segments when loading a second instance of a program."},
        {19, "Attempt To run a compressed program file."},
        {20, "Invalid dynamic link library."},
        {21, "Program requires Windows 32-bit extensions."},
        {26, "A sharing violation occurred."},
        {27, "The filename association is incomplete or invalid."},
        {28, "The DDE transaction could not be completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not be completed because other DDE transactions were being processed."},
        {31, "There is no application associated with the given filename extension."},
        {32, "The specified dynamic-link library was not found. "},
    };
    for (int code = 0; code <= 40; ++code) {
        auto it = table.find(code);
        EXPECT_EQ(std::string(ShellExecuteMessage(code)), it == table.end() ? "" : it->second) << code;
    }
}

}  // namespace
}  // namespace zelvane
