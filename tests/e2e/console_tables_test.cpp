// The real zelvane-console before it puts a 2da table back: with --mod-folder it offers Merge,
// answered by M, which takes only this mod's changes out; --check says what putting each table
// back would undo. The tables are binary tables made by the tables writer. And --check on copies
// of the bundled example and of the blank template: the diagnostics named by the path the check
// was given, the exit status, and not a byte changed on disk.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tables/table_bytes.hpp"
#include "tests/e2e/e2e_support.hpp"
#include "tests/tables/table_maker.hpp"

namespace zelvane::e2e {
namespace {

using zelvane::testing::MakeTable;

std::string Bytes(const Table& table) { return WriteTable(table).value(); }

// The table before the mod, the mod's own version (a cell changed, a row added), and the table
// in use after a later mod added a row of its own.
const Table kBackup = MakeTable({"label", "race"}, {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR"}});
const Table kModsOwn =
    MakeTable({"label", "race"}, {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR_NEW"}, {"2", "Robe", "P_ROBE"}});
const Table kWithALaterRow = MakeTable({"label", "race"}, {{"0", "Bastila", "P_BAS"},
                                                           {"1", "Carth", "P_CAR_NEW"},
                                                           {"2", "Robe", "P_ROBE"},
                                                           {"3", "Later", "P_LATER"}});
const Table kMerged =
    MakeTable({"label", "race"},
              {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR"}, {"2", "", ""}, {"3", "Later", "P_LATER"}});

class ConsoleTables : public ModInstallTest {
protected:
    std::string files = temp.Path() + "/files";
    ConsoleTables() { WriteFile(files + "/override/appearance.2da", Bytes(kModsOwn)); }
};

// --mod-folder gives the 2da question its third button, which M answers: the merge takes only
// this mod's changes out, the backup leaves the backup folder and its safety copy is kept. --check
// with a game folder makes the same comparison, as notes on the list line.
TEST_F(ConsoleTables, MergeIsOfferedWithTheModsFilesAndTheCheckSaysWhatPuttingBackWouldUndo) {
    Run({.name = "merge",
         .description = "#game=1\n#qrestore_2da=1\n#qrestore_2da_files=appearance.2da\n#file_list\n",
         .override = {{"appearance.2da", Bytes(kWithALaterRow)}},
         .mod = {{"backup/appearance.2da", Bytes(kBackup)}},
         .answers = {"0", "M"},
         .arguments = {"--mod-folder", files},
         .overrideAfter = Files{{"appearance.2da", Bytes(kMerged)}},
         .after = {{"mod/backup/appearance.2da", kGone},
                   {"mod/Backup Uninstall/original install backup.appearance.2da", Bytes(kBackup)}},
         .shown = {"  [0] Yes  (Y)\n  [1] No  (N)  <- focus\n  [2] Merge  (M)\nAnswer: 2 (Merge)"}});

    const std::string note = "mod/uninstall/uninstall_data.ini:3: note: 2da table \"override\\appearance.2da\": ";
    const std::string conflicting = Bytes(MakeTable({"label", "race"}, {{"0", "Bastila", "P_BAS"},
                                                                        {"1", "Carth", "P_CAR_LATER"},
                                                                        {"2", "Robe", "P_ROBE"},
                                                                        {"3", "Later", "P_LATER"}}));
    const struct {
        std::string tables;
        Files override;
        std::string expected;
    } kChecks[] = {
        {"appearance.2da",
         {{"appearance.2da", Bytes(kWithALaterRow)}},
         note + "The table in use differs from the backup: 2 rows added and 1 cell changed in 1 row.\n" + note +
             "row 2 (label 2) added: 'Robe'\n" + note + "row 3 (label 3) added: 'Later'\n" + note +
             "row 1 (label 1): race 'P_CAR' -> 'P_CAR_NEW'\n" + note +
             "a merge is possible. Merging takes out this mod's changes: 1 row emptied and 1 cell set back in 1 "
             "row.\n" +
             note + "Row 2 is emptied, not removed: later mods added rows after it, whose numbers must stay.\n" + note +
             "row 2 (label 2) emptied: 'Robe'\n" + note +
             "row 1 (label 1): race 'P_CAR_NEW' -> 'P_CAR'\n0 errors, 0 warnings, 8 notes\n"},
        // A later mod changed the cell this mod changed: the conflict is listed and no merge offered.
        {"appearance.2da",
         {{"appearance.2da", conflicting}},
         note + "Merge is not offered: later mods changed what this mod changed\n" + note +
             "No merge: 1 conflict with later mods.\n" + note +
             "row 1 (label 1), race: backup 'P_CAR', this mod 'P_CAR_NEW', in use 'P_CAR_LATER'\n"},
        // A table not in use, or that does not read, says so.
        {"appearance.2da,feat.2da",
         {{"feat.2da", "2DA V2.b not a table the readers take"}},
         "mod/uninstall/uninstall_data.ini:3: note: 2da table appearance.2da: none is in use in the game folder's "
         "override, so the run would offer to put the backup there\n"
         "mod/uninstall/uninstall_data.ini:3: note: 2da table \"override\\feat.2da\": it and its backup cannot "
         "be compared, one of them does not read as a 2da table; the run asks without saying what replacing it "
         "would change\n0 errors, 0 warnings, 2 notes\n"},
    };
    Mod("backup/appearance.2da", Bytes(kBackup));
    for (const auto& c : kChecks) {
        std::filesystem::remove_all(game);
        if (c.tables.ends_with("feat.2da")) Mod("backup/feat.2da", Bytes(kBackup));
        GameFolder(c.override, 1);
        Description("#game=1\n#qrestore_2da=1\n#qrestore_2da_files=" + c.tables + "\n#file_list\n");
        const ConsoleRun run =
            RunConsole({.arguments = {"--check", "--game-folder", game, "mod", "--mod-folder", files},
                        .workingFolder = temp.Path()});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(run.out.find(c.expected), std::string::npos) << run.out;
    }
}

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
