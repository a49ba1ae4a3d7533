// What the player sees at the end: after a run, a short summary and, where no viewer opens the
// log, the log itself rendered for the terminal; after a start-up error, the first problem the
// check finds and how to see them all.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/e2e_support.hpp"
#include "tests/e2e/mod_install_test.hpp"

namespace zelvane::e2e {
namespace {

class ConsoleSummary : public ModInstallTest {};

TEST_F(ConsoleSummary, AStartUpErrorIsFollowedByTheChecksFirstErrorAndAHint) {
    Description({"#game=2", "#game_select=yes", "#confirm_message_begin#", "#file_list"});
    const ConsoleRun run = RunConsoleIn(temp.Path(), {"--no-open", "mod"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("INI Errors Encountered - Mod Removal Disabled until INI is fixed.\n"
                           "mod/uninstall/uninstall_data.ini:2: error: #game_select= value \"yes\" is not true, false "
                           "or a number; start-up would fail\n"
                           "Run \"zelvane-console --check mod\" to see every problem.\n"),
              std::string::npos)
        << run.out;
}

}  // namespace
}  // namespace zelvane::e2e
