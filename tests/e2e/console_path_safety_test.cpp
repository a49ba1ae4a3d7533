// End-to-end: a game folder whose override holds a link to a folder outside it and a link to a
// file outside it. zelvane-console refuses every file reached through them, in every phase, and
// the files outside stay as they were.

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "tests/e2e/dry_run_check.hpp"
#include "tests/e2e/e2e_support.hpp"
#include "tests/e2e/removal_log_text.hpp"

namespace zelvane::e2e {
namespace {

const std::string kRefused = "\\cf10 Refused (outside the game folder): \\cf1 ";

TEST(ConsolePathSafety, FilesReachedThroughLinksOutOfTheGameFolderAreRefusedAndKept) {
    TempFolder temp;
    const std::string game = temp.Path() + "/game";
    const std::string mod = temp.Path() + "/mod";
    const std::string outside = temp.Path() + "/outside";
    const std::string registryFile = temp.Path() + "/registry.txt";
    const std::string answersFile = temp.Path() + "/answers.txt";

    WriteFile(outside + "/save.sav", "hours of play");
    WriteFile(outside + "/save.sav.original", "an older save");
    WriteFile(outside + "/moved.tga", "the player's texture");
    WriteFile(outside + "/appearance.2da", "2DA V2.0 the player's own");
    WriteFile(outside + "/precious.txt", "notes of the player");
    WriteFile(game + "/dialog.tlk", kTlk);
    WriteFile(game + "/override/k2_item.uti", "item");
    WriteFile(game + "/override/evil.tga.original", "game file");
    ASSERT_EQ(::symlink("../../outside", (game + "/override/Linked").c_str()), 0);
    ASSERT_EQ(::symlink((outside + "/precious.txt").c_str(), (game + "/override/evil.tga").c_str()), 0);
    ASSERT_EQ(::symlink("..", (game + "/override/loop").c_str()), 0);  // the search must not go round in it

    WriteFile(mod + "/uninstall/uninstall_data.ini", CrLfLines({"#game=2",
                                                                "#qdelete_file_0=override\\evil.tga",
                                                                "#qdelete_file_begin_0#",
                                                                "Delete it?",
                                                                "#qdelete_file_end_0#",
                                                                "#qrestore_file_0=override\\linked\\save.sav",
                                                                "#qrestore_file_begin_0#",
                                                                "Restore it?",
                                                                "#qrestore_file_end_0#",
                                                                "#qrestore_file_1=override\\evil.tga",
                                                                "#qrestore_file_begin_1#",
                                                                "Restore it?",
                                                                "#qrestore_file_end_1#",
                                                                "#qrestore_2da=1",
                                                                "#qrestore_2da_files=appearance.2da",
                                                                "#file_list",
                                                                "override\\linked\\save.sav",
                                                                "override\\evil.tga",
                                                                "override\\k2_item.uti",
                                                                "override\\moved.tga"}));
    WriteFile(mod + "/backup/appearance.2da", "2DA V2.0 original");
    WriteFile(registryFile, "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|" + WindowsForm(game) + "\n");
    // The confirmation, and No to restoring the 2da anyway: the search does not enter the folder link,
    // so no appearance.2da is found. Nothing else may be asked.
    WriteFile(answersFile, "0\n1\n");
    const auto outsideBefore = Snapshot(outside);

    const ConsoleRun run =
        RunAfterDryRun({"--no-open", "--program-folder", mod, "--answers", answersFile, "--registry", registryFile},
                       {game, mod, outside}, mod + "/uninstall/removal_results.rtf");
    ASSERT_EQ(run.exitCode, 5) << run.out << run.err;  // refusals are counted errors

    const std::string expected =
        LogHeader(2, DisplayFolder(WindowsForm(game)), DisplayFolder(WindowsForm(mod))) + kRefused +
        "Override\\\\Linked\\\\save.sav\\cf1\\par" + kCrLf + kRefused + "Override\\\\evil.tga\\cf1\\par" + kCrLf +
        "\\cf3 Delete Successful - \\cf1 Override\\\\k2_item.uti\\cf1\\par" + kCrLf +
        "\\cf10 File Not Found: \\cf1 Override\\\\moved.tga\\cf1\\par" + kCrLf + kPar + kPar +
        kPar +  // not behind the link
        "\\cf1 QDeleteFile: " + kRefused + "Override\\\\evil.tga\\cf1\\par" + kCrLf +
        "\\cf1 QRestoreFile: " + kRefused + "Override\\\\Linked\\\\save.sav\\cf1\\par" + kCrLf +
        "\\cf1 QRestoreFile: " + kRefused + "Override\\\\evil.tga\\cf1\\par" + kCrLf +
        "\\cf1 QRestore2da: \\cf4 No 2das found in override. \\cf1 appearance.2da\\cf4  not restored.\\par" + kCrLf +
        Totals(5, 1);
    EXPECT_EQ(ReadFile(mod + "/uninstall/removal_results.rtf"), expected);
    EXPECT_EQ(run.out.find("Prompt: Confirm Delete"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Prompt: Confirm Restore"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Prompt: Confirm appearance.2da replacement"), std::string::npos) << run.out;

    // Everything outside byte for byte, the links still in place, only the listed file gone.
    EXPECT_EQ(Snapshot(outside), outsideBefore);
    EXPECT_EQ(ReadFile(game + "/override/evil.tga"), "notes of the player");
    EXPECT_EQ(ReadFile(game + "/override/evil.tga.original"), "game file");
    EXPECT_EQ(ReadFile(game + "/override/Linked/save.sav"), "hours of play");
    EXPECT_FALSE(Exists(game + "/override/k2_item.uti"));
    EXPECT_TRUE(Exists(mod + "/backup/appearance.2da"));
}

}  // namespace
}  // namespace zelvane::e2e
