// End-to-end: the real zelvane-console before it puts a 2da table back. The question shows what
// replacing the table in use would undo; with --mod-folder it offers Merge, answered by M, which
// takes only this mod's changes out; --check says the same for a game folder. The tables are
// binary tables made by the tables writer.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tables/table_bytes.hpp"
#include "tests/e2e/e2e_support.hpp"
#include "tests/e2e/mod_install_test.hpp"
#include "tests/tables/table_maker.hpp"

namespace zelvane::e2e {
namespace {

using zelvane::testing::MakeTable;

std::string Bytes(const Table& table) { return WriteTable(table).value(); }

// The table before the mod, the mod's own version (a cell changed, a row added), and the table
// in use after a later mod added a row of its own.
Table Backup() { return MakeTable({"label", "race"}, {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR"}}); }
Table ModsOwn() {
    return MakeTable({"label", "race"},
                     {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR_NEW"}, {"2", "Robe", "P_ROBE"}});
}
Table WithALaterRow() {
    Table table = ModsOwn();
    table.rows.push_back(TableRow{"3", {"Later", "P_LATER"}});
    return table;
}

class ConsoleTables : public ModInstallTest {
protected:
    ConsoleTables() {
        Game("dialog.tlk", kTlk);
        Registry(1);
        Description({"#game=1", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da", "#file_list"});
        Mod("backup/appearance.2da", Bytes(Backup()));
    }
    std::string files = temp.Path() + "/files";
    void ModsOwnTable(const Table& table) { WriteFile(files + "/override/appearance.2da", Bytes(table)); }

    ConsoleRun Run(const std::vector<std::string>& more = {}) {
        std::vector<std::string> arguments = {"--no-open", "--no-color", "--program-folder", mod,
                                              "--answers", answersFile,  "--registry",       registryFile};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return RunConsole(arguments);
    }
    // The question about the table, from its body's comparison to the answer.
    static std::string Comparison(const std::string& out) {
        const std::size_t begin = out.find("What replacing it");
        const std::size_t end = out.find("Answer: ", begin);
        return begin == std::string::npos || end == std::string::npos ? "<no comparison>"
                                                                      : out.substr(begin, end - begin);
    }
};

const std::string kRowsAdded =
    "What replacing it with the backup would remove or change:\n"
    "The table in use differs from the backup: 2 rows added and 1 cell changed in 1 row.\n"
    "row 2 (label 2) added: 'Robe'\n"
    "row 3 (label 3) added: 'Later'\n"
    "row 1 (label 1): race 'P_CAR' -> 'P_CAR_NEW'\n";

TEST_F(ConsoleTables, TheQuestionNamesTheRowsALaterModAdded) {
    Game("override/appearance.2da", Bytes(WithALaterRow()));
    Answers({"0", "1"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(Comparison(run.out), kRowsAdded + "\n  [0] Yes  (Y)\n  [1] No  (N)  <- focus\n");
    EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), Bytes(WithALaterRow()));
}

// Merge on a table only this mod changed gives the backup back, byte for byte; the backup has
// done its job and leaves the backup folder, its safety copy kept with the table that was in use.
// A dry run first shows the same question and the merge's write among its changes.
TEST_F(ConsoleTables, MergeOnATableOnlyThisModChangedGivesTheBackupBack) {
    Game("override/appearance.2da", Bytes(ModsOwn()));
    ModsOwnTable(ModsOwn());
    Answers({"0", "M"});
    const auto before = StampedSnapshot(temp.Path());
    const ConsoleRun dry = Run({"--mod-folder", files, "--dry-run"});
    ASSERT_EQ(dry.exitCode, 0) << dry.out << dry.err;
    EXPECT_EQ(Comparison(dry.out),
              "What replacing it with the backup would remove or change:\n"
              "The table in use differs from the backup: 1 row added and 1 cell changed in 1 row.\n"
              "row 2 (label 2) added: 'Robe'\n"
              "row 1 (label 1): race 'P_CAR' -> 'P_CAR_NEW'\n\n"
              "What Merge would do instead (every change of later mods is kept):\n"
              "Merging takes out this mod's changes: 1 row removed and 1 cell set back in 1 row.\n"
              "row 2 (label 2) removed: 'Robe'\n"
              "row 1 (label 1): race 'P_CAR_NEW' -> 'P_CAR'\n\n"
              "  [0] Yes  (Y)\n  [1] No  (N)  <- focus\n  [2] Merge  (M)\n");
    EXPECT_NE(dry.out.find(". write " + WindowsForm(game) + "\\override\\appearance.2da: done\n"), std::string::npos)
        << dry.out;
    EXPECT_EQ(StampedSnapshot(temp.Path()), before);

    const ConsoleRun run = Run({"--mod-folder", files});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Answer: 2 (Merge)"), std::string::npos) << run.out;
    EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), Bytes(Backup()));
    EXPECT_FALSE(Exists(mod + "/backup/appearance.2da"));
    EXPECT_EQ(ReadFile(mod + "/Backup Uninstall/appearance.2da"), Bytes(ModsOwn()));
    EXPECT_EQ(ReadFile(mod + "/Backup Uninstall/original install backup.appearance.2da"), Bytes(Backup()));
    EXPECT_NE(ReadFile(logPath).find("\\cf1 QRestore2da: \\cf3 Merged \\cf1 Override\\\\appearance.2da\\cf3 : this "
                                     "mod's changes taken out, later mods' changes kept\\par"),
              std::string::npos);
    EXPECT_NE(run.out.find("restored: 0 (.original) and 1 table; errors: 0"), std::string::npos) << run.out;
}

// A later mod changed the cell this mod changed: no Merge to answer, the conflict listed.
TEST_F(ConsoleTables, AConflictListsItselfAndOffersNoMerge) {
    Table inUse = WithALaterRow();
    inUse.rows[1].cells[1] = "P_CAR_LATER";
    Game("override/appearance.2da", Bytes(inUse));
    ModsOwnTable(ModsOwn());
    Answers({"0", "m"});
    const ConsoleRun run = Run({"--mod-folder", files});
    EXPECT_EQ(run.exitCode, 3) << run.out << run.err;
    EXPECT_NE(run.out.find("Merge is not offered: later mods changed what this mod changed.\n"
                           "No merge: 1 conflict with later mods.\n"
                           "row 1 (label 1), race: backup 'P_CAR', this mod 'P_CAR_NEW', in use 'P_CAR_LATER'\n\n"
                           "  [0] Yes  (Y)\n  [1] No  (N)  <- focus\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.err,
              "zelvane-console: the answer \"m\" names no button of the prompt \"Confirm appearance.2da "
              "replacement\"; stopping here, nothing more is changed.\n");
    EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), Bytes(inUse));
    EXPECT_EQ(ReadFile(mod + "/backup/appearance.2da"), Bytes(Backup()));
}

// A table in use that does not read as a table: the question as it always was, and the answer
// Yes replaces it as it always did.
TEST_F(ConsoleTables, ATableThatDoesNotReadIsReplacedAsBefore) {
    Game("override/appearance.2da", "2DA V2.b not a table the readers take");
    ModsOwnTable(ModsOwn());
    Answers({"0", "0"});
    const ConsoleRun run = Run({"--mod-folder", files});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("advised NOT to replace it.\n\n  [0] Yes  (Y)\n  [1] No  (N)  <- focus\nAnswer: 0 (Yes)"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), Bytes(Backup()));
    EXPECT_EQ(ReadFile(mod + "/Backup Uninstall/appearance.2da"), "2DA V2.b not a table the readers take");
}

TEST_F(ConsoleTables, AModFolderThatDoesNotExistIsABadCommandLine) {
    Answers({"0"});
    const ConsoleRun run = Run({"--mod-folder", temp.Path() + "/missing"});
    EXPECT_EQ(run.exitCode, 64);
    EXPECT_EQ(run.err, "zelvane-console: the mod folder \"" + temp.Path() +
                           "/missing\" does not exist; name the folder of the mod's files, the one that holds its "
                           "override folder\n");
    EXPECT_EQ(run.out, "");
}

// --check with a game folder: the same comparison as notes on the list line, and with the mod's
// files whether a merge is possible.
TEST_F(ConsoleTables, TheCheckSaysWhatPuttingEachTableBackWouldUndo) {
    Game("override/appearance.2da", Bytes(WithALaterRow()));
    ModsOwnTable(ModsOwn());
    const ConsoleRun run = RunConsoleIn(temp.Path(), {"--check", "--game-folder", game, "--mod-folder", files, "mod"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string note = "mod/uninstall/uninstall_data.ini:3: note: 2da table \"override\\appearance.2da\": ";
    EXPECT_EQ(run.out, note + "The table in use differs from the backup: 2 rows added and 1 cell changed in 1 row.\n" +
                           note + "row 2 (label 2) added: 'Robe'\n" + note + "row 3 (label 3) added: 'Later'\n" + note +
                           "row 1 (label 1): race 'P_CAR' -> 'P_CAR_NEW'\n" + note +
                           "a merge is possible. Merging takes out this mod's changes: 1 row emptied and 1 cell set "
                           "back in 1 row.\n" +
                           note +
                           "Row 2 is emptied, not removed: later mods added rows after it, whose numbers must "
                           "stay.\n" +
                           note + "row 2 (label 2) emptied: 'Robe'\n" + note +
                           "row 1 (label 1): race 'P_CAR_NEW' -> 'P_CAR'\n0 errors, 0 warnings, 8 notes\n");
}

// A table the run would not find in use, and one that does not read: each says so.
TEST_F(ConsoleTables, TheCheckSaysWhenATableCannotBeCompared) {
    Description({"#game=1", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da,feat.2da", "#file_list"});
    Mod("backup/feat.2da", Bytes(Backup()));
    Game("override/feat.2da", "2DA V2.b not a table the readers take");
    const ConsoleRun run = RunConsoleIn(temp.Path(), {"--check", "--game-folder", game, "mod"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("mod/uninstall/uninstall_data.ini:3: note: 2da table appearance.2da: none is in use in the "
                           "game folder's override, so the run would offer to put the backup there\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("mod/uninstall/uninstall_data.ini:3: note: 2da table \"override\\feat.2da\": it and its "
                           "backup cannot be compared, one of them does not read as a 2da table; the run asks without "
                           "saying what replacing it would change\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("0 errors, 0 warnings, 2 notes\n"), std::string::npos) << run.out;
}

TEST_F(ConsoleTables, TheCheckListsTheConflictsOfAMerge) {
    Table inUse = WithALaterRow();
    inUse.rows[1].cells[1] = "P_CAR_LATER";
    Game("override/appearance.2da", Bytes(inUse));
    ModsOwnTable(ModsOwn());
    const ConsoleRun run = RunConsoleIn(temp.Path(), {"--check", "--game-folder", game, "--mod-folder", files, "mod"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string note = "mod/uninstall/uninstall_data.ini:3: note: 2da table \"override\\appearance.2da\": ";
    EXPECT_NE(run.out.find(note + "Merge is not offered: later mods changed what this mod changed\n" + note +
                           "No merge: 1 conflict with later mods.\n" + note +
                           "row 1 (label 1), race: backup 'P_CAR', this mod 'P_CAR_NEW', in use 'P_CAR_LATER'\n"),
              std::string::npos)
        << run.out;
}

}  // namespace
}  // namespace zelvane::e2e
