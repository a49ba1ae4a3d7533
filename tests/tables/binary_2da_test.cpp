#include "tables/binary_2da.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tables/table_bytes.hpp"
#include "tests/tables/table_maker.hpp"

namespace zelvane {
namespace {

using testing::MakeTable;

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

// Rows only: no columns, so no offsets and no data.
BinaryParts NoColumns(std::uint32_t rowCount) { return {"", rowCount, std::string(rowCount, '\t'), {}, "", 0}; }

TEST(Binary2da, ReadsTheFormatAsLaidOut) {
    // Row 1 shares the string "x" with row 0; offset 12 is the empty string.
    const std::optional<Table> table = ReadBinary2da(BinaryParts{}.Bytes());
    ASSERT_TRUE(table);
    EXPECT_EQ(*table, MakeTable({"race", "modela"}, {{"0", "P_BASTILA", "x"}, {"1", "", "x"}}));
    EXPECT_EQ(table->format, TableFormat::Binary);
    EXPECT_EQ(WriteBinary2da(*table), BinaryParts{}.Bytes());  // equal strings written once

    EXPECT_EQ(ReadBinary2da(BinaryParts{"", 2, "0\t1\t", {}, "", 0}.Bytes()), MakeTable({}, {{"0"}, {"1"}}));
}

TEST(Binary2da, RoundTrips) {
    const std::vector<Table> tables = {
        MakeTable({}, {}),
        MakeTable({"label", "name"}, {}),
        MakeTable({"Label", "a b", ""}, {{"0", "x y", "", "x y"}, {"", "\"q\"", "****", "\xe9"}, {"2 3", "", "", ""}}),
    };
    for (const Table& table : tables) {
        const std::optional<std::string> bytes = WriteTable(table);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(ReadTable(*bytes), table);
    }
}

TEST(Binary2da, RefusesWhatDoesNotFollowTheFormat) {
    const std::string good = BinaryParts{}.Bytes();
    for (std::size_t size = 0; size < good.size(); ++size) {
        EXPECT_FALSE(ReadBinary2da(good.substr(0, size))) << "cut to " << size << " bytes";
    }
    EXPECT_FALSE(ReadBinary2da(good + '\0')) << "a byte past the data block";

    BinaryParts untabbed;  // the last label without its tab, read as one column or two
    untabbed.columnLabels = "race\tmodela";
    EXPECT_FALSE(ReadBinary2da(untabbed.Bytes()));
    untabbed.offsets.resize(2);
    EXPECT_FALSE(ReadBinary2da(untabbed.Bytes()));

    EXPECT_FALSE(ReadBinary2da(BinaryParts{.offsets = {0, 10, 12, 13}}.Bytes())) << "an offset past the block";
    // "x" and then nothing: the last string has no NUL.
    EXPECT_FALSE(ReadBinary2da(
        BinaryParts{.offsets = {0, 10, 11, 10}, .data = std::string("P_BASTILA\0xy", 12), .dataSize = 12}.Bytes()));
    EXPECT_FALSE(ReadBinary2da(BinaryParts{.rowCount = 0xFFFFFFFF}.Bytes())) << "4 billion rows, two labels";
}

TEST(Binary2da, HoldsAtMost65535RowsAndBoundedCellText) {
    EXPECT_TRUE(ReadBinary2da(NoColumns(65535).Bytes()));
    EXPECT_FALSE(ReadBinary2da(NoColumns(65536).Bytes()));

    // Every cell sharing one string of 60,000 bytes: 600 cells would hold 36 MB.
    for (std::uint32_t rowCount : {500u, 600u}) {
        const BinaryParts shared{"a\t",
                                 rowCount,
                                 std::string(rowCount, '\t'),
                                 std::vector<std::uint16_t>(rowCount, 0),
                                 std::string(60000, 'x') + '\0',
                                 60001};
        EXPECT_EQ(ReadBinary2da(shared.Bytes()).has_value(), rowCount == 500) << rowCount << " rows";
    }
}

TEST(Binary2da, WritesOnlyWhatReadsBack) {
    // The data block holds at most 65,535 bytes: 65,534 of text and its NUL, but not one more.
    std::string longest(65534, 'x');
    EXPECT_TRUE(WriteBinary2da(MakeTable({"a"}, {{"0", longest}})));
    EXPECT_FALSE(WriteBinary2da(MakeTable({"a"}, {{"0", longest}, {"1", "y"}})));

    EXPECT_FALSE(WriteBinary2da(MakeTable({"a\tb"}, {})));
    EXPECT_FALSE(WriteBinary2da(MakeTable({"a"}, {{"0\t", "x"}})));
    EXPECT_FALSE(WriteBinary2da(MakeTable({"a"}, {{"0", std::string("x\0y", 3)}})));
    Table ragged = MakeTable({"a", "b"}, {{"0", "x", "y"}});
    ragged.rows[0].cells.pop_back();
    EXPECT_FALSE(WriteBinary2da(ragged));
}

}  // namespace
}  // namespace zelvane
