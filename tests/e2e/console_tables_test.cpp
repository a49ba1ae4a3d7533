// The real zelvane-console before it puts a 2da table back: the question shows what replacing the
// table in use would undo; with --mod-folder it offers Merge, answered by M, which takes only this
// mod's changes out; --check says the same for a game folder. The tables are binary tables made
// by the tables writer.

#include <gtest/gtest.h>

#include <cstdio>
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
        GameFolder({}, 1);
        Description("#game=1\n#qrestore_2da=1\n#qrestore_2da_files=appearance.2da\n#file_list\n");
        Mod("backup/appearance.2da", Bytes(Backup()));
        WriteFile(files + "/override/appearance.2da", Bytes(ModsOwn()));
    }
    std::string files = temp.Path() + "/files";
    std::string Check(bool withFiles) {
        std::vector<std::string> arguments{"--check", "--game-folder", game, "mod"};
        if (withFiles) arguments.insert(arguments.end(), {"--mod-folder", files});
        const ConsoleRun run = RunConsole({.arguments = arguments, .workingFolder = temp.Path()});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return run.out;
    }
};

const std::string kNote = "mod/uninstall/uninstall_data.ini:3: note: 2da table \"override\\appearance.2da\": ";

// Merge on a table only this mod changed gives the backup back, byte for byte; the backup has
// done its job and leaves the backup folder, its safety copy kept with the table that was in use.
// A dry run first shows the same question and the merge's write among its changes.
TEST_F(ConsoleTables, MergeOnATableOnlyThisModChangedGivesTheBackupBack) {
    Game("override/appearance.2da", Bytes(ModsOwn()));
    Answers({"0", "M"});
    const Files before = Snapshot(temp.Path(), true);
    const ConsoleRun dry = RunConsole(Arguments({"--no-color", "--mod-folder", files, "--dry-run"}));
    ASSERT_EQ(dry.exitCode, 0) << dry.out << dry.err;
    EXPECT_NE(dry.out.find("What replacing it with the backup would remove or change:\n"
                           "The table in use differs from the backup: 1 row added and 1 cell changed in 1 row.\n"
                           "row 2 (label 2) added: 'Robe'\n"
                           "row 1 (label 1): race 'P_CAR' -> 'P_CAR_NEW'\n\n"
                           "What Merge would do instead (every change of later mods is kept):\n"
                           "Merging takes out this mod's changes: 1 row removed and 1 cell set back in 1 row.\n"
                           "row 2 (label 2) removed: 'Robe'\n"
                           "row 1 (label 1): race 'P_CAR_NEW' -> 'P_CAR'\n\n"
                           "  [0] Yes  (Y)\n  [1] No  (N)  <- focus\n  [2] Merge  (M)\nAnswer: 2 (Merge)"),
              std::string::npos)
        << dry.out;
    EXPECT_NE(dry.out.find(". write " + WindowsForm(game) + "\\override\\appearance.2da: done\n"), std::string::npos);
    EXPECT_EQ(Snapshot(temp.Path(), true), before);

    const ConsoleRun run = RunConsole(Arguments({"--mod-folder", files}));
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), Bytes(Backup()));
    EXPECT_FALSE(Exists(mod + "/backup/appearance.2da"));
    EXPECT_EQ(ReadFile(mod + "/Backup Uninstall/appearance.2da"), Bytes(ModsOwn()));
    EXPECT_EQ(ReadFile(mod + "/Backup Uninstall/original install backup.appearance.2da"), Bytes(Backup()));
    EXPECT_NE(Log().find("\\cf1 QRestore2da: \\cf3 Merged \\cf1 Override\\\\appearance.2da\\cf3 : this mod's changes "
                         "taken out, later mods' changes kept\\par"),
              std::string::npos);
    EXPECT_NE(run.out.find("restored: 0 (.original) and 1 table; errors: 0"), std::string::npos) << run.out;
}

// A later mod changed the cell this mod changed: no Merge to answer, the conflict listed.
TEST_F(ConsoleTables, AConflictListsItselfAndOffersNoMerge) {
    Table inUse = WithALaterRow();
    inUse.rows[1].cells[1] = "P_CAR_LATER";
    Game("override/appearance.2da", Bytes(inUse));
    Answers({"0", "m"});
    const ConsoleRun run = RunConsole(Arguments({"--no-color", "--mod-folder", files}));
    EXPECT_EQ(run.exitCode, 3) << run.out << run.err;
    EXPECT_NE(run.out.find("row 3 (label 3) added: 'Later'\nrow 1 (label 1): race 'P_CAR' -> 'P_CAR_LATER'\n\n"
                           "Merge is not offered: later mods changed what this mod changed.\n"
                           "No merge: 1 conflict with later mods.\n"
                           "row 1 (label 1), race: backup 'P_CAR', this mod 'P_CAR_NEW', in use 'P_CAR_LATER'\n\n"
                           "  [0] Yes  (Y)\n  [1] No  (N)  <- focus\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), Bytes(inUse));
    EXPECT_EQ(ReadFile(mod + "/backup/appearance.2da"), Bytes(Backup()));

    EXPECT_NE(Check(true).find(kNote + "Merge is not offered: later mods changed what this mod changed\n" + kNote +
                               "No merge: 1 conflict with later mods.\n" + kNote +
                               "row 1 (label 1), race: backup 'P_CAR', this mod 'P_CAR_NEW', in use 'P_CAR_LATER'\n"),
              std::string::npos);
}

// --check with a game folder: the same comparison as notes on the list line, with the mod's files
// whether a merge is possible; a table not in use, or that does not read, says so.
TEST_F(ConsoleTables, TheCheckSaysWhatPuttingEachTableBackWouldUndo) {
    Game("override/appearance.2da", Bytes(WithALaterRow()));
    EXPECT_EQ(Check(true),
              kNote + "The table in use differs from the backup: 2 rows added and 1 cell changed in 1 row.\n" + kNote +
                  "row 2 (label 2) added: 'Robe'\n" + kNote + "row 3 (label 3) added: 'Later'\n" + kNote +
                  "row 1 (label 1): race 'P_CAR' -> 'P_CAR_NEW'\n" + kNote +
                  "a merge is possible. Merging takes out this mod's changes: 1 row emptied and 1 cell set back in 1 "
                  "row.\n" +
                  kNote + "Row 2 is emptied, not removed: later mods added rows after it, whose numbers must stay.\n" +
                  kNote + "row 2 (label 2) emptied: 'Robe'\n" + kNote +
                  "row 1 (label 1): race 'P_CAR_NEW' -> 'P_CAR'\n0 errors, 0 warnings, 8 notes\n");

    Description("#game=1\n#qrestore_2da=1\n#qrestore_2da_files=appearance.2da,feat.2da\n#file_list\n");
    Mod("backup/feat.2da", Bytes(Backup()));
    std::remove((game + "/override/appearance.2da").c_str());
    Game("override/feat.2da", "2DA V2.b not a table the readers take");
    EXPECT_EQ(Check(false),
              "mod/uninstall/uninstall_data.ini:3: note: 2da table appearance.2da: none is in use in the game folder's "
              "override, so the run would offer to put the backup there\n"
              "mod/uninstall/uninstall_data.ini:3: note: 2da table \"override\\feat.2da\": it and its backup cannot "
              "be compared, one of them does not read as a 2da table; the run asks without saying what replacing it "
              "would change\n0 errors, 0 warnings, 2 notes\n");
}

}  // namespace
}  // namespace zelvane::e2e
