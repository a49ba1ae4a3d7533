// The registry's string values, the folder dialog's start and memory, and opening a document.

#include <gtest/gtest.h>

#include <map>

#include "tests/support/scripted_ui.hpp"
#include "util/browse_folders.hpp"
#include "util/registry_lookup.hpp"
#include "util/shell_execute.hpp"

namespace zelvane {
namespace {

class FakeRegistry : public Registry {
public:
    std::map<std::string, RegistryValue> values;
    std::optional<RegistryValue> Query(std::uint32_t, std::string_view key, std::string_view name) const override {
        auto it = values.find(std::string(key) + "|" + std::string(name));
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
};

TEST(Registry, StringValuesOnly) {
    FakeRegistry r;
    r.values["K|Path"] = {kRegSz, std::string("C:\\Games\\Kotor\0junk", 19)};
    r.values["K|Expand"] = {kRegExpandSz, std::string("C:\\x\0", 5)};
    r.values["K|NoNul"] = {kRegSz, "C:\\whole"};
    EXPECT_EQ(ReadRegistryString(r, kHkeyLocalMachine, "K", "Path"), "C:\\Games\\Kotor");
    EXPECT_EQ(ReadRegistryString(r, kHkeyLocalMachine, "K", "Expand"), "");
    EXPECT_EQ(ReadRegistryString(r, kHkeyLocalMachine, "K", "NoNul"), "C:\\whole");
    EXPECT_EQ(ReadRegistryString(r, kHkeyLocalMachine, "K", "Missing"), "");
}

TEST(BrowseForFolder, StartModesAndMemory) {
    testing::ScriptedUi ui;
    FolderBrowser browser;
    ui.browseAnswers = {"C:\\Games\\Kotor", "", "C:\\B", "C:\\C"};
    EXPECT_EQ(browser.BrowseForFolder(ui, "", "Find Kotor main folder", 0), "C:\\Games\\Kotor");
    EXPECT_EQ(browser.LastBrowsedFolder(), "C:\\Games\\Kotor");
    EXPECT_EQ(browser.BrowseForFolder(ui, "C:\\Start", "t", -1), "");
    EXPECT_EQ(browser.LastBrowsedFolder(), "");  // a cancel clears it
    browser.BrowseForFolder(ui, "C:\\Start", "t", -1);
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
    EXPECT_TRUE(ui.messages.empty());
    ui.shellResult = 31;
    EXPECT_EQ(ShellExecuteFile(ui, "C:\\u\\Zelvane Usage.rtf", "", "", show, false),
              "There is no application associated with the given filename extension.");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Error running C:\\u\\Zelvane Usage.rtf");
    EXPECT_EQ(ui.messages[0].text,
              "Public Function ShellExecuteFile - Mod Tarrel\r\nThere is no application associated with the given "
              "filename extension.");
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
