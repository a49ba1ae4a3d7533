#include "tables/table_diff.hpp"

#include <gtest/gtest.h>

#include "tables/column_match.hpp"
#include "tests/tables/table_maker.hpp"

namespace zelvane {
namespace {

using testing::MakeTable;

TEST(ColumnMatch, MatchesLabelsWithoutRegardToCaseAndRepeatsInOrder) {
    EXPECT_EQ(MatchColumns({"Zap", "x", "gone", "X", "x"}, {"X", "zAP", "x"}),
              (std::vector<std::size_t>{1, 0, kNoColumn, 2, kNoColumn}));
    EXPECT_EQ(FindColumn(MakeTable({"label", "ModelA"}, {}), "MODELA"), 1u);
}

TEST(TableDiff, FindsRowsColumnsAndCellsTheTableInUseHasBesidesTheBackup) {
    // clang-format off
    const Table backup = MakeTable({"label", "race", "modela"},
        {{"0", "Bastila", "P_BASTILA", "a"}, {"1", "Carth", "P_CARTH", "b"}, {"2", "HK", "P_HK47", "c"}});
    Table current = MakeTable({"label", "Race", "NewSound", "modela"}, {{"0", "Bastila", "P_BASTILA", "s0", "A"},
        {"one", "Carth", "P_CARTH_NEW", "s1", "b"}, {"2", "HK", "P_HK47", "s2", "C"}, {"3", "Robe", "", "", ""},
        {"4", "", "", "", ""}}, TableFormat::Text);
    // clang-format on
    current.defaultValue = "0";

    const TableDiff diff = CompareTables(backup, current);
    EXPECT_EQ(diff.rowsAdded, (std::vector<RowEntry>{{3, "3", "Robe"}, {4, "4", ""}}));
    EXPECT_EQ(diff.columnsAdded, std::vector<std::string>{"NewSound"});
    EXPECT_EQ(diff.changedRows, (std::vector<RowChange>{{0, "0", std::nullopt, {{"modela", "a", "A"}}},
                                                        {1, "one", "1", {{"Race", "P_CARTH", "P_CARTH_NEW"}}},
                                                        {2, "2", std::nullopt, {{"modela", "c", "C"}}}}));
    EXPECT_EQ(CountCells(diff.changedRows), 4u);
    EXPECT_EQ(diff.defaultChange, (ValueChange{std::nullopt, "0"}));
    EXPECT_TRUE(diff.rowsRemoved.empty() && diff.columnsRemoved.empty());
    EXPECT_FALSE(diff.Empty());
}

TEST(TableDiff, FindsRowsAndColumnsOnlyTheBackupHas) {
    const Table backup = MakeTable({"label", "old"}, {{"0", "a", "x"}, {"1", "b", "y"}});
    const Table current = MakeTable({"label"}, {{"0", "a"}});
    const TableDiff diff = CompareTables(backup, current);
    EXPECT_EQ(diff.rowsRemoved, (std::vector<RowEntry>{{1, "1", "b"}}));
    EXPECT_EQ(diff.columnsRemoved, std::vector<std::string>{"old"});
    EXPECT_TRUE(diff.rowsAdded.empty() && diff.columnsAdded.empty() && diff.changedRows.empty());

    EXPECT_TRUE(CompareTables(backup, backup).Empty());
}

}  // namespace
}  // namespace zelvane
