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

// --mod-folder gives the 2da question its third button, which M answers: the merge takes only
// this mod's changes out, the backup leaves the backup folder and its safety copy is kept.
TEST_F(ConsoleTables, MergeIsOfferedWithTheModsFilesAndAnsweredByM) {
    Game("override/appearance.2da", Bytes(WithALaterRow()));
    Answers({"0", "M"});
    const ConsoleRun run = RunAfterDryRun(Launch{Arguments({"--mod-folder", files})}, {game, mod}, logPath);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("  [0] Yes  (Y)\n  [1] No  (N)  <- focus\n  [2] Merge  (M)\nAnswer: 2 (Merge)"),
              std::string::npos)
        << run.out;
    Table merged = WithALaterRow();
    merged.rows[1].cells[1] = "P_CAR";
    merged.rows[2].cells = {"", ""};
    EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), Bytes(merged));
    EXPECT_FALSE(Exists(mod + "/backup/appearance.2da"));
    EXPECT_EQ(ReadFile(mod + "/Backup Uninstall/original install backup.appearance.2da"), Bytes(Backup()));
}

// A later mod changed the cell this mod changed: the check lists the conflict and offers no merge.
TEST_F(ConsoleTables, TheCheckListsAConflict) {
    Table inUse = WithALaterRow();
    inUse.rows[1].cells[1] = "P_CAR_LATER";
    Game("override/appearance.2da", Bytes(inUse));
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
