// The console at a terminal, as a player uses it: Enter answers the focused button, and NO_COLOR
// turns the colours off.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/e2e_support.hpp"
#include "tests/e2e/mod_install_test.hpp"

namespace zelvane::e2e {
namespace {

class ConsoleTerminal : public ModInstallTest {};

TEST_F(ConsoleTerminal, EnterAnswersTheFocusedButton) {
    Description({"#game=2", "#qdelete_file_0=override\\notes.txt", "#qdelete_file_begin_0#", "Delete the notes?",
                 "#qdelete_file_end_0#"});
    Game("dialog.tlk", kTlk);
    Game("override/notes.txt", "notes");
    Registry(2);
    // Yes to the confirmation by its letter, then Enter at "Confirm Delete", whose focus is No.
    const ConsoleRun run = RunConsoleInTerminal({"--no-open", "--program-folder", mod, "--registry", registryFile},
                                                {"NO_COLOR=1"}, "y\n\n");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("Answer (number, letter or close; Enter for No): Answer: 1 (No)\n"), std::string::npos)
        << run.out;
    EXPECT_EQ(ReadFile(game + "/override/notes.txt"), "notes");
    EXPECT_NE(ReadFile(logPath).find("\\cf1 QDeleteFile: \\cf5 User chose not to delete Override\\\\notes.txt\\par"),
              std::string::npos);
}

TEST_F(ConsoleTerminal, NoColorTurnsTheColoursOff) {
    Description({"#game=2", "#game_select=yes"});  // start-up ends at once, with a red notice
    const std::vector<std::string> arguments{"--no-open", "--program-folder", mod};
    const ConsoleRun coloured = RunConsoleInTerminal(arguments, {"NO_COLOR="}, "");
    EXPECT_NE(coloured.out.find("\x1b["), std::string::npos) << coloured.out;
    const ConsoleRun plain = RunConsoleInTerminal(arguments, {"NO_COLOR=1"}, "");
    EXPECT_EQ(plain.out.find("\x1b["), std::string::npos) << plain.out;
    EXPECT_NE(plain.out.find("INI Errors Encountered - Mod Removal Disabled until INI is fixed."), std::string::npos);
}

}  // namespace
}  // namespace zelvane::e2e
