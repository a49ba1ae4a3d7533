// The check at the edges of its rules: the first and last value a rule accepts, and the value just
// beyond it.
#include <gtest/gtest.h>

#include <string>

#include "description/description_check.hpp"
#include "description/values.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "util/program_error.hpp"

namespace zelvane {
namespace {

std::string Check(const std::string& lines) {
    MemoryFileSystem memory;
    memory.AddFile("C:\\Mods\\Robes\\uninstall\\uninstall_data.ini", "#game=2\r\n" + lines);
    std::string printed;
    for (const Diagnostic& d : CheckDescription(memory, CheckOptions{"C:\\Mods\\Robes", "", "", 15})) {
        printed += FormatDiagnostic(d) + "\n";
    }
    return printed;
}

TEST(CheckBoundaries, IconsRunFromOneToFour) {
    const std::string warning = " is not an icon from 1 to 4, so icon 4 is shown\n";
    EXPECT_EQ(Check("#explicit_instructions_icon=0\r\n"),
              "uninstall_data.ini:2: warning: #explicit_instructions_icon= value \"0\"" + warning);
    EXPECT_EQ(Check("#explicit_instructions_icon=1\r\n"), "");
    EXPECT_EQ(Check("#explicit_instructions_icon=4\r\n"), "");
    EXPECT_EQ(Check("#explicit_instructions_icon=5\r\n"),
              "uninstall_data.ini:2: warning: #explicit_instructions_icon= value \"5\"" + warning);
}

// Three edits away, only a long key is still a likely meaning.
TEST(CheckBoundaries, AKeyThreeEditsAwayIsSuggestedOnlyWhenItIsLong) {
    EXPECT_EQ(Check("#confirm_mssage_tle=Remove\r\n"),
              "uninstall_data.ini:2: warning: #confirm_mssage_tle= is no key, so the line is ignored; did you mean "
              "#confirm_message_title=?\n");
    EXPECT_EQ(Check("#gxyz=2\r\n"),
              "uninstall_data.ini:2: warning: #gxyz= is no key, so the line is ignored (comment lines begin with ;)\n");
}

// An entry with a blank reads as prose from its third word, or when it ends as a sentence does.
TEST(CheckBoundaries, AFileListEntryWithABlankIsProseFromThreeWordsOrAClosingMark) {
    EXPECT_EQ(
        Check("#file_list\r\nmy old robe.uti\r\n"),
        "uninstall_data.ini:3: warning: file-list entry \"my old robe.uti\" looks like prose, but every line after "
        "#file_list that does not begin with ;, # or a space names a file to delete\n");
    for (const char* entry : {"Version 1.2:", "Enjoy v1.2!", "Got v1.2?", "Files v1.2,"}) {
        EXPECT_NE(Check("#file_list\r\n" + std::string(entry) + "\r\n").find("looks like prose"), std::string::npos)
            << entry;
    }
    EXPECT_EQ(Check("#file_list\r\nmy robe.uti\r\n").find("looks like prose"), std::string::npos);
}

// A flag's exponent needs its digits: "1e" is no number, so start-up fails on it.
TEST(ValueBoundaries, AFlagsExponentNeedsDigits) {
    EXPECT_TRUE(ToFlag("1e+5"));
    for (const char* text : {"1e", "1e+"}) {
        try {
            ToFlag(text);
            ADD_FAILURE() << text;
        } catch (const ProgramError& error) {
            EXPECT_EQ(error.Number(), 13) << text;
        }
    }
}

}  // namespace
}  // namespace zelvane
