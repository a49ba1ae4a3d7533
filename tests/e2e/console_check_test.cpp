// zelvane-console --check on copies of the bundled example and of the blank template: the
// diagnostics named by the path the check was given, the exit status, and not a byte changed on
// disk. (tests/description runs the gallery of broken descriptions through the same check.)

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/e2e/e2e_support.hpp"

namespace zelvane::e2e {
namespace {

TEST(ConsoleCheck, TheBundledExampleAndTheTemplatePassAndAMissingDescriptionIsAnError) {
    TempFolder temp;
    std::filesystem::copy(ZELVANE_EXAMPLES, temp.Path(), std::filesystem::copy_options::recursive);
    const Files before = Snapshot(temp.Path());
    const std::string mod = temp.Path() + "/mod";
    const ConsoleRun plain = RunConsole({"--check", "--program-folder", mod});
    EXPECT_EQ(plain.out, "0 errors, 0 warnings, 0 notes\n");
    EXPECT_EQ(plain.exitCode, 0);
    const ConsoleRun withGame =
        RunConsole({"--check", "--program-folder", mod, "--game-folder", temp.Path() + "/game"});
    const std::string at = mod + "/uninstall/uninstall_data.ini:";
    EXPECT_EQ(withGame.out,
              at + "11: note: #qdelete_file_0= path \"override\\ex_robe_notes.txt\" is in the game folder\n" + at +
                  "17: note: #qrestore_file_0= path \"override\\ex_robe_icon.tga\" is in the game folder, and "
                  "\"override\\ex_robe_icon.tga.original\" is there to restore\n" +
                  at +
                  "23: note: 2da table \"override\\appearance.2da\": The table in use differs from the backup: 1 row "
                  "added.\n" +
                  at + "23: note: 2da table \"override\\appearance.2da\": row 2 (label 2) added: 'Ex_Robe'\n" + at +
                  "31: note: file-list entry \"override\\ex_robe01.uti\" is in the game folder\n" + at +
                  "32: note: file-list entry \"override\\ex_robe01.tga\" is only in a subfolder of override, at "
                  "\"override\\robes\\ex_robe01.tga\"; for K2 the run asks before deleting it there\n"
                  "0 errors, 0 warnings, 6 notes\n");
    EXPECT_EQ(withGame.exitCode, 0);
    EXPECT_EQ(Snapshot(temp.Path()), before);

    const std::string blank = temp.Path() + "/blank";
    WriteFile(blank + "/uninstall/uninstall_data.ini", ReadFile(ZELVANE_EXAMPLES "/uninstall_data.template.ini"));
    EXPECT_EQ(RunConsole({"--check", blank}).out, "0 errors, 0 warnings, 0 notes\n");
    WriteFile(temp.Path() + "/answers.txt", "1\n");  // No to the confirmation
    const ConsoleRun run = RunConsole({"--no-open", "--answers", temp.Path() + "/answers.txt", blank});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Prompt: Confirm Remove Mod"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Message:"), std::string::npos);

    std::filesystem::remove(blank + "/uninstall/uninstall_data.ini");
    const ConsoleRun missing = RunConsole({"--check", "--program-folder", blank});
    EXPECT_EQ(missing.out, blank + "/uninstall/uninstall_data.ini: error: the file \"" + WindowsForm(blank) +
                               "\\uninstall\\uninstall_data.ini\" was not found; start-up would stop with \"The "
                               "uninstall_data.ini file was not found.\"\n1 error, 0 warnings, 0 notes\n");
    EXPECT_EQ(missing.exitCode, 1);
}

}  // namespace
}  // namespace zelvane::e2e
