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

class ConsoleSummary : public ModInstallTest {
protected:
    // A K2 mod with one file of each kind: one listed file deleted and one missing, a queued
    // delete, a queued restore and a 2da restore, every prompt answered Yes.
    void ModOfEveryKind() {
        Description({"#game=2", "#qdelete_file_0=override\\notes.txt", "#qdelete_file_begin_0#", "Delete?",
                     "#qdelete_file_end_0#", "#qrestore_file_0=override\\icon.tga", "#qrestore_file_begin_0#",
                     "Restore?", "#qrestore_file_end_0#", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da",
                     "#file_list", "override\\robe.uti", "override\\gone.uti"});
        Mod("backup/appearance.2da", "2DA V2.0 original");
        Game("dialog.tlk", kTlk);
        Game("override/robe.uti", "robe");
        Game("override/notes.txt", "notes");
        Game("override/icon.tga", "mod icon");
        Game("override/icon.tga.original", "game icon");
        Game("override/appearance.2da", "2DA V2.0 modded");
        Registry(2);
        Answers({"0", "0", "0", "0"});
    }
    ConsoleRun RunWith(const std::vector<std::string>& options, const std::vector<std::string>& environment = {}) {
        std::vector<std::string> arguments{"--program-folder", mod,          "--answers",
                                           answersFile,        "--registry", registryFile};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return RunConsoleWithEnvironment(arguments, environment);
    }
    std::string Summary() const {
        return "Game folder: " + game +
               "\nDeleted: 2 files; not found: 1; restored: 1 (.original) and 1 table; "
               "errors: 0\nLog: " +
               logPath + "\n";
    }
    // An xdg-open that ends with the status given.
    std::vector<std::string> XdgOpenEnding(int status) {
        const std::string bin = temp.Path() + "/bin";
        WriteFile(bin + "/xdg-open", "#!/bin/sh\nexit " + std::to_string(status) + "\n");
        SetMode(bin + "/xdg-open", 0755);
        return {"PATH=" + bin + ":/usr/bin:/bin"};
    }
};

// Where no viewer opens the log, the log itself is shown, rendered, never as RTF.
TEST_F(ConsoleSummary, WithoutAViewerTheLogIsShownRenderedAndTheSummaryFollows) {
    ModOfEveryKind();
    const ConsoleRun run = RunWith({"--no-open"});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::string rule(60, '-');
    const std::size_t log = run.out.find(rule + "\nRemoval log\n" + rule + "\nGame is K2\n");
    ASSERT_NE(log, std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Delete Successful - Override\\robe.uti\nFile Not Found: Override\\gone.uti\n", log),
              std::string::npos);
    EXPECT_EQ(run.out.find("\\cf"), std::string::npos);
    EXPECT_TRUE(run.out.ends_with("1 files not found.\n\n" + Summary())) << run.out;
}

TEST_F(ConsoleSummary, AViewerThatOpensTheLogLeavesOnlyTheSummary) {
    ModOfEveryKind();
    const ConsoleRun run = RunWith({}, XdgOpenEnding(0));
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_TRUE(run.out.ends_with("Opening: " + logPath + "\n\n" + Summary())) << run.out;
    EXPECT_EQ(run.out.find("Removal log\n"), std::string::npos);
}

TEST_F(ConsoleSummary, AViewerThatFailsIsReportedAndTheLogIsShown) {
    ModOfEveryKind();
    const ConsoleRun run = RunWith({}, XdgOpenEnding(3));
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("There is no application associated with the given filename extension.\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("\nRemoval log\n"), std::string::npos) << run.out;
    EXPECT_TRUE(run.out.ends_with(Summary())) << run.out;
}

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
