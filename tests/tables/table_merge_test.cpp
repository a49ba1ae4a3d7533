#include "tables/table_merge.hpp"

#include <gtest/gtest.h>

#include "tests/tables/table_maker.hpp"

namespace zelvane {
namespace {

using testing::MakeTable;
using Conflicts = std::vector<MergeConflict>;

// The table before the mod: three rows of appearance data.
const Table kBase =
    MakeTable({"label", "race", "modela"},
              {{"0", "Bastila", "P_BASTILA", "a"}, {"1", "Carth", "P_CARTH", "b"}, {"2", "HK", "P_HK47", "c"}});

// The mod's own version: a cell and a label changed, a column and two rows added, a DEFAULT.
const Table kMine = MakeTable({"label", "race", "ModSound", "modela"},
                              {{"0", "Bastila", "P_BASTILA_NEW", "m0", "a"},
                               {"1", "Carth", "P_CARTH", "", "b"},
                               {"two", "HK", "P_HK47", "", "c"},
                               {"3", "Robe", "P_ROBE", "m3", ""},
                               {"4", "Hood", "P_HOOD", "m4", ""}},
                              TableFormat::Binary, LineEnd::CrLf, "****");

TEST(TableMerge, ATableOnlyThisModChangedBecomesTheBackup) {
    const MergeResult result = MergeOutMod(kBase, kMine, kMine);
    EXPECT_TRUE(result.conflicts.empty());
    EXPECT_EQ(result.merged, kBase);
    EXPECT_TRUE(result.changed);
    EXPECT_EQ(result.takenOut.rowsRemoved, (std::vector<RowEntry>{{3, "3", "Robe"}, {4, "4", "Hood"}}));
    EXPECT_EQ(result.takenOut.columnsRemoved, std::vector<std::string>{"ModSound"});
    EXPECT_EQ(result.takenOut.cellsSetBack,
              (std::vector<RowChange>{{0, "0", std::nullopt, {{"race", "P_BASTILA_NEW", "P_BASTILA"}}},
                                      {2, "2", "two", {}}}));
    EXPECT_EQ(result.takenOut.defaultSetBack, (ValueChange{"****", std::nullopt}));
}

TEST(TableMerge, KeepsWhatLaterModsDidAndTheNumbersOfTheirRows) {
    // Later mods: a row after this mod's rows, a column, a cell this mod did not touch; the table
    // in use is now a text file with LF line ends.
    const Table current = MakeTable({"label", "race", "ModSound", "modela", "LaterSound"},
                                    {{"0", "Bastila", "P_BASTILA_NEW", "m0", "a", "l0"},
                                     {"1", "Carth", "P_CARTH", "", "B", ""},
                                     {"two", "HK", "P_HK47", "", "c", ""},
                                     {"3", "Robe", "P_ROBE", "m3", "", ""},
                                     {"4", "Hood", "P_HOOD", "m4", "", ""},
                                     {"5", "Later", "P_LATER", "", "l", "l5"}},
                                    TableFormat::Text, LineEnd::Lf, "****");
    const MergeResult result = MergeOutMod(kBase, kMine, current);
    EXPECT_EQ(result.merged, MakeTable({"label", "race", "modela", "LaterSound"},
                                       {{"0", "Bastila", "P_BASTILA", "a", "l0"},
                                        {"1", "Carth", "P_CARTH", "B", ""},
                                        {"2", "HK", "P_HK47", "c", ""},
                                        {"3", "", "", "", ""},
                                        {"4", "", "", "", ""},
                                        {"5", "Later", "P_LATER", "l", "l5"}},
                                       TableFormat::Text, LineEnd::Lf));
    EXPECT_EQ(result.takenOut.rowsEmptied, (std::vector<RowEntry>{{3, "3", "Robe"}, {4, "4", "Hood"}}));
    EXPECT_TRUE(result.takenOut.rowsRemoved.empty());
}

TEST(TableMerge, WhatALaterModChangedAfterThisModIsAConflict) {
    Table sameCell = kMine;
    sameCell.rows[0].cells[1] = "P_BASTILA_LATER";
    const MergeResult result = MergeOutMod(kBase, kMine, sameCell);
    EXPECT_FALSE(result.merged);
    EXPECT_FALSE(result.changed);
    EXPECT_EQ(result.conflicts,
              (Conflicts{{ConflictKind::Cell, 0, "0", "race", "P_BASTILA", "P_BASTILA_NEW", "P_BASTILA_LATER"}}));

    Table addedRow = kMine;
    addedRow.rows[3].cells[3] = "later";
    addedRow.rows[4].label = "four";
    addedRow.rows[4].cells[2] = "m4 later";  // in the column this mod added too: listed once
    EXPECT_EQ(MergeOutMod(kBase, kMine, addedRow).conflicts,
              (Conflicts{{ConflictKind::Cell, 4, "four", "ModSound", std::nullopt, "m4", "m4 later"},
                         {ConflictKind::Cell, 3, "3", "modela", std::nullopt, "", "later"},
                         {ConflictKind::Cell, 4, "four", "", std::nullopt, "4", "four"}}));

    Table addedColumn = kMine;
    addedColumn.rows[1].cells[2] = "later";
    addedColumn.rows.push_back(TableRow{"5", {"x", "", "l5", ""}});
    EXPECT_EQ(MergeOutMod(kBase, kMine, addedColumn).conflicts,
              (Conflicts{{ConflictKind::Cell, 1, "1", "ModSound", std::nullopt, "", "later"},
                         {ConflictKind::Cell, 5, "5", "ModSound", std::nullopt, std::nullopt, "l5"}}));

    Table otherDefault = kMine;
    otherDefault.defaultValue = "0";
    EXPECT_EQ(MergeOutMod(kBase, kMine, otherDefault).conflicts,
              (Conflicts{{ConflictKind::Default, 0, "", "", std::nullopt, "****", "0"}}));
}

TEST(TableMerge, PutsBackRowsAndColumnsThisModRemoved) {
    const Table mine = MakeTable({"label", "modela"}, {{"0", "Bastila", "a"}, {"1", "Carth", "b"}});
    Table current = MakeTable({"label", "modela", "later"}, {{"0", "Bastila", "a", "x"}, {"1", "Carth", "b", "y"}});
    MergeResult result = MergeOutMod(kBase, mine, current);
    EXPECT_EQ(result.merged, MakeTable({"label", "race", "modela", "later"}, {{"0", "Bastila", "P_BASTILA", "a", "x"},
                                                                              {"1", "Carth", "P_CARTH", "b", "y"},
                                                                              {"2", "HK", "P_HK47", "c", ""}}));
    EXPECT_EQ(result.takenOut.rowsPutBack, (std::vector<RowEntry>{{2, "2", "HK"}}));
    EXPECT_EQ(result.takenOut.columnsPutBack, std::vector<std::string>{"race"});

    current.rows.push_back(TableRow{"2", {"Later", "l", ""}});
    current.columns[2] = "RACE";
    EXPECT_EQ(MergeOutMod(kBase, mine, current).conflicts,
              (Conflicts{{ConflictKind::RemovedColumn, 0, "", "race", std::nullopt, std::nullopt, std::nullopt},
                         {ConflictKind::RemovedRow, 2, "2", "", "HK", std::nullopt, "Later"}}));
}

TEST(TableMerge, NothingOfThisModLeftChangesNothing) {
    const Table current = MakeTable({"label", "race", "modela", "later"}, {{"0", "B", "P", "a", "x"}});
    const MergeResult same = MergeOutMod(kBase, kBase, current);
    EXPECT_FALSE(same.changed);
    EXPECT_EQ(same.merged, current);

    Table undoneCell = kMine;  // a change a later mod undid is no conflict
    undoneCell.rows[0].cells[1] = "P_BASTILA";
    EXPECT_EQ(MergeOutMod(kBase, kMine, undoneCell).merged, kBase);
    const MergeResult undone = MergeOutMod(kBase, kMine, kBase);
    EXPECT_TRUE(undone.conflicts.empty());
    EXPECT_FALSE(undone.changed);
    EXPECT_EQ(undone.merged, kBase);
}

}  // namespace
}  // namespace zelvane
