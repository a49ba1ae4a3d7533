// Which mod the console works on when it is installed apart from it: the folder named on the
// command line, else the folder the player stands in when it holds uninstall/, else the
// executable's own folder; and --check names the description by the path the player reaches it by.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.hpp"
#include "tests/e2e/mod_install_test.hpp"

namespace zelvane::e2e {
namespace {

class ConsoleProgramFolder : public ModInstallTest {
protected:
    // A K2 mod that installed one file; Yes to the confirmation.
    void OneFileMod() {
        Description({"#game=2", "#file_list", "override\\mod_robe.uti"});
        Game("dialog.tlk", kTlk);
        Game("override/mod_robe.uti", "robe");
        Registry(2);
        Answers({"0"});
    }
    std::vector<std::string> RunArguments() const {
        return {"--no-open", "--answers", answersFile, "--registry", registryFile};
    }
};

TEST_F(ConsoleProgramFolder, StandingInTheModFolderRemovesThatMod) {
    OneFileMod();
    const ConsoleRun run = RunConsoleIn(mod, RunArguments());
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_FALSE(Exists(game + "/override/mod_robe.uti"));
    EXPECT_TRUE(Exists(logPath));
}

TEST_F(ConsoleProgramFolder, AModFolderArgumentNamesTheMod) {
    OneFileMod();
    std::vector<std::string> arguments = RunArguments();
    arguments.push_back("mod");
    const ConsoleRun run = RunConsoleIn(temp.Path(), arguments);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_FALSE(Exists(game + "/override/mod_robe.uti"));
    EXPECT_TRUE(Exists(logPath));
}

TEST_F(ConsoleProgramFolder, AModFolderThatDoesNotExistIsABadCommandLine) {
    // The name is shown without the terminal's controls it may carry.
    const ConsoleRun run = RunConsoleIn(temp.Path(), {"--check", "My\x1b]0;x\x07Mod"});
    EXPECT_EQ(run.exitCode, 64);
    EXPECT_EQ(run.err,
              "zelvane-console: the folder \"My]0;xMod\" does not exist; name the mod's folder, the one that holds "
              "uninstall/\n");
    EXPECT_EQ(run.out, "");
}

TEST_F(ConsoleProgramFolder, ElsewhereTheExecutablesFolderHoldsTheMod) {
    // zelvane-console beside the mod, as zelvane.exe is, run from a folder without uninstall/.
    const std::string program = mod + "/zelvane-console";
    MakeFolders(mod);
    std::filesystem::copy_file(ZELVANE_CONSOLE, program);
    Mod("uninstall/uninstall_data.ini", CrLfLines({"#game=2", "#file_list", "robe.uti"}));
    MakeFolders(temp.Path() + "/elsewhere");
    const ConsoleRun run = RunConsoleIn(temp.Path() + "/elsewhere", {"--check"}, program);
    EXPECT_EQ(run.out, mod +
                           "/uninstall/uninstall_data.ini:3: warning: file-list entry \"robe.uti\" has no folder: "
                           "the run looks for it in the game's main folder, not in override\n"
                           "0 errors, 1 warning, 0 notes\n");
    EXPECT_EQ(run.exitCode, 2);
}

// The names as they lie on disk, after the path the player gave: what an editor opens.
TEST_F(ConsoleProgramFolder, CheckNamesTheDescriptionByThePathThePlayerGave) {
    Mod("Uninstall/UNINSTALL_DATA.ini", CrLfLines({"#game=2", "#file_list", "robe.uti"}));
    const std::string diagnostic = "/UNINSTALL_DATA.ini:3: warning: file-list entry \"robe.uti\" has no folder";
    const ConsoleRun standing = RunConsoleIn(mod, {"--check"});
    EXPECT_EQ(standing.out.rfind("Uninstall" + diagnostic, 0), 0u) << standing.out;
    const ConsoleRun named = RunConsoleIn(temp.Path(), {"--check", "mod/"});
    EXPECT_EQ(named.out.rfind("mod/Uninstall" + diagnostic, 0), 0u) << named.out;
}

}  // namespace
}  // namespace zelvane::e2e
