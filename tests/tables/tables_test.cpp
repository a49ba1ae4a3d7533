#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tables/binary_2da.hpp"
#include "tables/column_match.hpp"
#include "tables/table_bytes.hpp"
#include "tables/table_diff.hpp"
#include "tables/table_merge.hpp"
#include "tables/table_report.hpp"
#include "tables/text_2da.hpp"
#include "tests/tables/table_maker.hpp"

namespace zelvane {
namespace {

using testing::MakeTable;
constexpr TableFormat kText = TableFormat::Text;

std::string LittleEndian(std::uint32_t value, int width) {
    std::string bytes;
    for (int i = 0; i < width; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

// A binary table put together by hand, piece by piece as the format lays it out.
struct BinaryParts {
    std::string columnLabels = "race\tmodela\t";  // the NUL after them is added
    std::uint32_t rowCount = 2;
    std::string rowLabels = "0\t1\t";
    std::vector<std::uint16_t> offsets = {0, 10, 12, 10};
    std::string data = std::string("P_BASTILA\0x\0", 12) + std::string("\0", 1);
    std::uint32_t dataSize = 13;

    std::string Bytes() const {
        std::string bytes = "2DA V2.b\n" + columnLabels + '\0' + LittleEndian(rowCount, 4) + rowLabels;
        for (const std::uint16_t offset : offsets) bytes += LittleEndian(offset, 2);
        return bytes + LittleEndian(dataSize, 2) + data;
    }
};

TEST(Binary2da, ReadsTheFormatAsLaidOutAndRefusesWhatDoesNotFollowIt) {
    // Row 1 shares the string "x" with row 0; offset 12 is the empty string.
    const std::optional<Table> table = ReadBinary2da(BinaryParts{}.Bytes());
    ASSERT_EQ(table, MakeTable({"race", "modela"}, {{"0", "P_BASTILA", "x"}, {"1", "", "x"}}));
    EXPECT_EQ(WriteBinary2da(*table), BinaryParts{}.Bytes());  // equal strings written once
    EXPECT_EQ(ReadBinary2da(BinaryParts{"", 2, "0\t1\t", {}, "", 0}.Bytes()), MakeTable({}, {{"0"}, {"1"}}));

    const std::string good = BinaryParts{}.Bytes();
    for (std::size_t size = 0; size < good.size(); ++size)
        EXPECT_FALSE(ReadBinary2da(good.substr(0, size))) << "cut to " << size << " bytes";
    EXPECT_FALSE(ReadBinary2da(good + '\0')) << "a byte past the data block";

    // The last label without its tab, read as one column or two.
    EXPECT_FALSE(ReadBinary2da(BinaryParts{.columnLabels = "race\tmodela"}.Bytes()));
    EXPECT_FALSE(ReadBinary2da(BinaryParts{.columnLabels = "race\tmodela", .offsets = {0, 10}}.Bytes()));
    EXPECT_FALSE(ReadBinary2da(BinaryParts{.offsets = {0, 10, 12, 13}}.Bytes())) << "an offset past the block";
    // "x" and then nothing: the last string has no NUL.
    EXPECT_FALSE(ReadBinary2da(
        BinaryParts{.offsets = {0, 10, 11, 10}, .data = std::string("P_BASTILA\0xy", 12), .dataSize = 12}.Bytes()));
    EXPECT_FALSE(ReadBinary2da(BinaryParts{.rowCount = 0xFFFFFFFF}.Bytes())) << "4 billion rows, two labels";

    for (std::uint32_t rows : {65535u, 65536u})  // rows only: no columns, so no offsets and no data
        EXPECT_EQ(ReadBinary2da(BinaryParts{"", rows, std::string(rows, '\t'), {}, "", 0}.Bytes()).has_value(),
                  rows == 65535);
    // Every cell sharing one string of 60,000 bytes: 600 cells would hold 36 MB.
    for (std::uint32_t rows : {500u, 600u}) {
        const BinaryParts shared{
            "a\t", rows, std::string(rows, '\t'), std::vector<std::uint16_t>(rows, 0), std::string(60000, 'x') + '\0',
            60001};
        EXPECT_EQ(ReadBinary2da(shared.Bytes()).has_value(), rows == 500) << rows << " rows";
    }
}

TEST(Text2da, ReadsTheShapeOfRealFilesAndWritesAlignedColumns) {
    const std::string crlf =
        "2DA V2.0\r\n\r\n       label     race        modela\r\n0      Bastila   P_BASTILA   ****\r\n"
        "1      \"Big Guy\" ****\t\"\"\r\n\r\n";
    EXPECT_EQ(ReadText2da(crlf), MakeTable({"label", "race", "modela"},
                                           {{"0", "Bastila", "P_BASTILA", ""}, {"1", "Big Guy", "", ""}}, kText));
    EXPECT_EQ(ReadTable("2DA V2.0 \nDEFAULT: \"a b\"\nlabel\n0 x\n1 y"),
              MakeTable({"label"}, {{"0", "x"}, {"1", "y"}}, kText, LineEnd::Lf, "a b"));

    const std::string header = "2DA V2.0\r\n\r\n a b\r\n";
    EXPECT_TRUE(ReadText2da(header + "0 x y\r\n"));
    for (const std::string& refused :
         std::vector<std::string>{"2DA V2.b\r\n\r\n a b\r\n0 x y\r\n", "2DA V2.0x\r\n\r\n a b\r\n0 x y\r\n",
                                  header + "0 x\r\n", header + "0 x y z\r\n", header + "0 \"x y\r\n",
                                  header + "0 \"x\"y\r\n", header + "0 x\"y z\r\n"})
        EXPECT_FALSE(ReadText2da(refused)) << refused;
    // Written with aligned columns and the table's line ends.
    Table table = MakeTable({"label", "race"}, {{"0", "Bastila", ""}, {"10", "Big Guy", "P_X"}}, kText);
    EXPECT_EQ(WriteText2da(table), "2DA V2.0\r\n\r\n   label     race\r\n0  Bastila   ****\r\n10 \"Big Guy\" P_X\r\n");
    table.lineEnd = LineEnd::Lf;
    table.defaultValue = "";
    EXPECT_EQ(WriteText2da(table),
              "2DA V2.0\nDEFAULT: ****\n   label     race\n0  Bastila   ****\n10 \"Big Guy\" P_X\n");
    // A column up to 32 bytes wide is aligned; a wider one is followed by one space.
    for (const std::size_t width : {32, 33}) {
        const std::string cell(width, 'w');
        EXPECT_TRUE(WriteText2da(MakeTable({"a", "b"}, {{"0", cell, "x"}, {"1", "y", "z"}}, kText))
                        ->ends_with("\r\n1 y" + std::string(width == 32 ? 32 : 1, ' ') + "z\r\n"))
            << width;
    }
}

// The binary data block holds 65,535 bytes with the NUL. Refused: a cell short, a text "****" (it would
// read back as an empty cell), a text row with no columns (it has no line of labels).
TEST(TableBytes, EachFormWritesOnlyWhatReadsBack) {
    const std::vector<Table> written = {
        MakeTable({}, {}),
        MakeTable({"label", "name"}, {}),
        MakeTable({"Label", "a b", ""}, {{"0", "x y", "", "x y"}, {"", "\"q\"", "****", "\xe9"}, {"2 3", "", "", ""}}),
        MakeTable({"a"}, {{"0", std::string(65534, 'x')}}),
        MakeTable({}, {}, kText),
        MakeTable({"label", "race"}, {}, kText, LineEnd::Lf),
        MakeTable({"Label", "a b", ""}, {{"0", "x y", "", "a\rb"}, {"", "it's", "\xe9", std::string(40, 'w')}}, kText),
        MakeTable({"DEFAULT:", "x"}, {{"0", "a", "b"}}, kText, LineEnd::Lf),
        MakeTable({"a"}, {{"0", "1"}}, kText, LineEnd::CrLf, "\t")};
    for (const Table& table : written) {
        const std::optional<std::string> bytes = WriteTable(table);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(ReadTable(*bytes), table) << *bytes;
    }
    const std::vector<Table> refused = {MakeTable({"a"}, {{"0", std::string(65534, 'x')}, {"1", "y"}}),
                                        MakeTable({"a\tb"}, {}),
                                        MakeTable({"a"}, {{"0\t", "x"}}),
                                        MakeTable({"a"}, {{"0", std::string("x\0y", 3)}}),
                                        MakeTable({"a", "b"}, {{"0", "x"}}),
                                        MakeTable({"a"}, {{"0", "say \"hi\""}}, kText),
                                        MakeTable({"a"}, {{"0", "two\nlines"}}, kText),
                                        MakeTable({"a"}, {{"0", "****"}}, kText),
                                        MakeTable({}, {{"0"}}, kText)};
    for (std::size_t i = 0; i < refused.size(); ++i) EXPECT_FALSE(WriteTable(refused[i])) << "refused[" << i << "]";
}

using Lines = std::vector<std::string>;

Lines Shown(const TableReport& report) {
    Lines lines{report.summary};
    lines.insert(lines.end(), report.details.begin(), report.details.end());
    return lines;
}

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
    EXPECT_EQ(result.merged, kBase);
    EXPECT_EQ(
        Shown(DescribeMerge(result)),
        (Lines{"Merging takes out this mod's changes: 2 rows removed, 1 column removed, 2 cells set back in 2 rows and "
               "the DEFAULT value set back.",
               "row 3 (label 3) removed: 'Robe'", "row 4 (label 4) removed: 'Hood'", "column ModSound removed",
               "row 0 (label 0): race 'P_BASTILA_NEW' -> 'P_BASTILA'", "row 2 (label 2): row label 'two' -> '2'",
               "DEFAULT '****' -> none"}));
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
    EXPECT_EQ(
        Shown(DescribeMerge(result)),
        (Lines{"Merging takes out this mod's changes: 2 rows emptied, 1 column removed, 2 cells set back in 2 rows and "
               "the DEFAULT value set back.",
               "Rows 3 to 4 are emptied, not removed: later mods added rows after them, whose numbers must stay.",
               "row 3 (label 3) emptied: 'Robe'", "row 4 (label 4) emptied: 'Hood'", "column ModSound removed",
               "row 0 (label 0): race 'P_BASTILA_NEW' -> 'P_BASTILA'", "row 2 (label 2): row label 'two' -> '2'",
               "DEFAULT '****' -> none"}));
}

TEST(TableMerge, WhatALaterModChangedAfterThisModIsAConflict) {
    Table sameCell = kMine;
    sameCell.rows[0].cells[1] = "P_BASTILA_LATER";
    const MergeResult result = MergeOutMod(kBase, kMine, sameCell);
    EXPECT_FALSE(result.merged || result.changed);
    EXPECT_EQ(Shown(DescribeMerge(result)),
              (Lines{"No merge: 1 conflict with later mods.",
                     "row 0 (label 0), race: backup 'P_BASTILA', this mod 'P_BASTILA_NEW', in use 'P_BASTILA_LATER'"}));

    Table addedRow = kMine;
    addedRow.rows[3].cells[3] = "later";
    addedRow.rows[4].label = "four";
    addedRow.rows[4].cells[2] = "m4 later";  // in the column this mod added too: listed once
    EXPECT_EQ(Shown(DescribeMerge(MergeOutMod(kBase, kMine, addedRow))),
              (Lines{"No merge: 3 conflicts with later mods.",
                     "row 4 (label four), ModSound: backup none, this mod 'm4', in use 'm4 later'",
                     "row 3 (label 3), modela: backup none, this mod ****, in use 'later'",
                     "row 4 (label four), row label: backup none, this mod '4', in use 'four'"}));

    Table addedColumn = kMine;
    addedColumn.rows[1].cells[2] = "later";
    addedColumn.rows.push_back(TableRow{"5", {"x", "", "l5", ""}});
    EXPECT_EQ(Shown(DescribeMerge(MergeOutMod(kBase, kMine, addedColumn))),
              (Lines{"No merge: 2 conflicts with later mods.",
                     "row 1 (label 1), ModSound: backup none, this mod ****, in use 'later'",
                     "row 5 (label 5), ModSound: backup none, this mod none, in use 'l5'"}));

    Table otherDefault = kMine;
    otherDefault.defaultValue = "0";
    EXPECT_EQ(Shown(DescribeMerge(MergeOutMod(kBase, kMine, otherDefault))),
              (Lines{"No merge: 1 conflict with later mods.", "DEFAULT: backup none, this mod '****', in use '0'"}));
}

TEST(TableMerge, PutsBackRowsAndColumnsThisModRemoved) {
    const Table mine = MakeTable({"label", "modela"}, {{"0", "Bastila", "a"}, {"1", "Carth", "b"}});
    Table current = MakeTable({"label", "modela", "later"}, {{"0", "Bastila", "a", "x"}, {"1", "Carth", "b", "y"}});
    const MergeResult result = MergeOutMod(kBase, mine, current);
    EXPECT_EQ(result.merged, MakeTable({"label", "race", "modela", "later"}, {{"0", "Bastila", "P_BASTILA", "a", "x"},
                                                                              {"1", "Carth", "P_CARTH", "b", "y"},
                                                                              {"2", "HK", "P_HK47", "c", ""}}));
    EXPECT_EQ(Shown(DescribeMerge(result)),
              (Lines{"Merging takes out this mod's changes: 1 row put back and 1 column put back.",
                     "row 2 (label 2) put back: 'HK'", "column race put back"}));

    current.rows.push_back(TableRow{"2", {"Later", "l", ""}});
    current.columns[2] = "RACE";
    EXPECT_EQ(Shown(DescribeMerge(MergeOutMod(kBase, mine, current))),
              (Lines{"No merge: 2 conflicts with later mods.",
                     "column race: removed by this mod, and the table in use has it again",
                     "row 2 (label 2): removed by this mod, and the rows in use no longer line up to put it back"}));
}

TEST(TableMerge, NothingOfThisModLeftChangesNothing) {
    const Table current = MakeTable({"label", "race", "modela", "later"}, {{"0", "B", "P", "a", "x"}});
    Table undoneCell = kMine;  // a change a later mod undid is no conflict
    undoneCell.rows[0].cells[1] = "P_BASTILA";
    EXPECT_EQ(MergeOutMod(kBase, kMine, undoneCell).merged, kBase);
    for (const auto& [mine, inUse] : {std::pair{kBase, current}, std::pair{kMine, kBase}}) {
        const MergeResult result = MergeOutMod(kBase, mine, inUse);
        EXPECT_EQ(result.merged, inUse);
        EXPECT_EQ(Shown(DescribeMerge(result)), Lines{"Merging changes nothing in the table in use."});
    }
}

TEST(DiffReport, KeepsToTwentyLinesFourCellsALineAndValuesPlainAndShort) {
    TableDiff diff;
    Lines expected{"The table in use differs from the backup: 30 rows added and 6 cells changed in 1 row."};
    for (std::size_t r = 3; r < 33; ++r) diff.rowsAdded.push_back({r, std::to_string(r), "x"});
    for (std::size_t r = 3; r < 22; ++r)
        expected.push_back("row " + std::to_string(r) + " (label " + std::to_string(r) + ") added: 'x'");
    expected.push_back("and 12 more not shown");
    RowChange wide{0, "0", std::nullopt, {}};
    for (const char* column : {"a", "b", "c", "d", "e", "f"}) wide.cells.push_back({column, "1", "2"});
    diff.changedRows = {wide};
    EXPECT_EQ(Shown(DescribeDiff(diff)), expected);

    diff.rowsAdded.clear();
    EXPECT_EQ(DescribeDiff(diff).details,
              Lines{"row 0 (label 0): a '1' -> '2', b '1' -> '2', c '1' -> '2', d '1' -> '2', and 2 more"});
    diff.changedRows = {{5, "a\tb", std::nullopt, {{"name", std::string(45, 'v'), "\x1b[2J\r\n"}}}};
    EXPECT_EQ(DescribeDiff(diff).details, Lines{"row 5 (label a?b): name '" + std::string(40, 'v') +
                                                "...' -> '?[2J?"
                                                "?'"});
}

TEST(ColumnMatch, MatchesLabelsWithoutRegardToCaseAndRepeatsInOrder) {
    EXPECT_EQ(MatchColumns({"Zap", "x", "gone", "X", "x"}, {"X", "zAP", "x"}),
              (std::vector<std::size_t>{1, 0, kNoColumn, 2, kNoColumn}));
    EXPECT_EQ(FindColumn(MakeTable({"label", "ModelA"}, {}), "MODELA"), 1u);
}

TEST(TableDiff, FindsWhatEachTableHasBesidesTheOther) {
    const Table current = MakeTable({"label", "Race", "NewSound", "modela"},
                                    {{"0", "Bastila", "P_BASTILA", "s0", "A"},
                                     {"one", "Carth", "P_CARTH_NEW", "s1", "b"},
                                     {"2", "HK", "P_HK47", "s2", "C"},
                                     {"3", "Robe", "", "", ""},
                                     {"4", "", "", "", ""}},
                                    TableFormat::Text, LineEnd::CrLf, "0");
    EXPECT_EQ(
        Shown(DescribeDiff(CompareTables(kBase, current))),
        (Lines{"The table in use differs from the backup: 2 rows added, 1 column added, 4 cells changed in 3 rows "
               "and the DEFAULT value changed.",
               "row 3 (label 3) added: 'Robe'", "row 4 (label 4) added: ****", "column NewSound added",
               "row 0 (label 0): modela 'a' -> 'A'",
               "row 1 (label one): row label '1' -> 'one', Race 'P_CARTH' -> 'P_CARTH_NEW'",
               "row 2 (label 2): modela 'c' -> 'C'", "DEFAULT none -> '0'"}));
    EXPECT_EQ(
        Shown(DescribeDiff(CompareTables(current, kBase))),
        (Lines{"The table in use differs from the backup: 4 cells changed in 3 rows, 2 rows removed, 1 column removed "
               "and the DEFAULT value changed.",
               "row 0 (label 0): modela 'A' -> 'a'",
               "row 1 (label 1): row label 'one' -> '1', race 'P_CARTH_NEW' -> 'P_CARTH'",
               "row 2 (label 2): modela 'C' -> 'c'", "row 3 (label 3) removed: 'Robe'", "row 4 (label 4) removed: ****",
               "column NewSound removed", "DEFAULT '0' -> none"}));
    EXPECT_EQ(Shown(DescribeDiff(CompareTables(kBase, kBase))), Lines{"The table in use is the same as the backup."});
}

}  // namespace
}  // namespace zelvane
