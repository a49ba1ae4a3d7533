// The two file forms of a table: the binary one laid out byte by byte, the text one as real files
// write it, and that each writer writes only what its reader reads back.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tables/binary_2da.hpp"
#include "tables/table_bytes.hpp"
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

// Rows only: no columns, so no offsets and no data.
BinaryParts NoColumns(std::uint32_t rowCount) { return {"", rowCount, std::string(rowCount, '\t'), {}, "", 0}; }

TEST(Binary2da, ReadsTheFormatAsLaidOutAndRefusesWhatDoesNotFollowIt) {
    // Row 1 shares the string "x" with row 0; offset 12 is the empty string.
    const std::optional<Table> table = ReadBinary2da(BinaryParts{}.Bytes());
    ASSERT_EQ(table, MakeTable({"race", "modela"}, {{"0", "P_BASTILA", "x"}, {"1", "", "x"}}));
    EXPECT_EQ(WriteBinary2da(*table), BinaryParts{}.Bytes());  // equal strings written once
    EXPECT_EQ(ReadBinary2da(BinaryParts{"", 2, "0\t1\t", {}, "", 0}.Bytes()), MakeTable({}, {{"0"}, {"1"}}));

    const std::string good = BinaryParts{}.Bytes();
    for (std::size_t size = 0; size < good.size(); ++size) {
        EXPECT_FALSE(ReadBinary2da(good.substr(0, size))) << "cut to " << size << " bytes";
    }
    EXPECT_FALSE(ReadBinary2da(good + '\0')) << "a byte past the data block";

    // The last label without its tab, read as one column or two.
    EXPECT_FALSE(ReadBinary2da(BinaryParts{.columnLabels = "race\tmodela"}.Bytes()));
    EXPECT_FALSE(ReadBinary2da(BinaryParts{.columnLabels = "race\tmodela", .offsets = {0, 10}}.Bytes()));
    EXPECT_FALSE(ReadBinary2da(BinaryParts{.offsets = {0, 10, 12, 13}}.Bytes())) << "an offset past the block";
    // "x" and then nothing: the last string has no NUL.
    EXPECT_FALSE(ReadBinary2da(
        BinaryParts{.offsets = {0, 10, 11, 10}, .data = std::string("P_BASTILA\0xy", 12), .dataSize = 12}.Bytes()));
    EXPECT_FALSE(ReadBinary2da(BinaryParts{.rowCount = 0xFFFFFFFF}.Bytes())) << "4 billion rows, two labels";

    EXPECT_TRUE(ReadBinary2da(NoColumns(65535).Bytes()));
    EXPECT_FALSE(ReadBinary2da(NoColumns(65536).Bytes()));
    // Every cell sharing one string of 60,000 bytes: 600 cells would hold 36 MB.
    for (std::uint32_t rows : {500u, 600u}) {
        const BinaryParts shared{
            "a\t", rows, std::string(rows, '\t'), std::vector<std::uint16_t>(rows, 0), std::string(60000, 'x') + '\0',
            60001};
        EXPECT_EQ(ReadBinary2da(shared.Bytes()).has_value(), rows == 500) << rows << " rows";
    }
}

TEST(Text2da, ReadsTheShapeOfRealFiles) {
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
                                  header + "0 \"x\"y\r\n", header + "0 x\"y z\r\n"}) {
        EXPECT_FALSE(ReadText2da(refused)) << refused;
    }
}

TEST(Text2da, WritesAlignedColumnsWithTheTablesLineEnds) {
    Table table = MakeTable({"label", "race"}, {{"0", "Bastila", ""}, {"10", "Big Guy", "P_X"}}, kText);
    EXPECT_EQ(WriteText2da(table), "2DA V2.0\r\n\r\n   label     race\r\n0  Bastila   ****\r\n10 \"Big Guy\" P_X\r\n");
    table.lineEnd = LineEnd::Lf;
    table.defaultValue = "";
    EXPECT_EQ(WriteText2da(table),
              "2DA V2.0\nDEFAULT: ****\n   label     race\n0  Bastila   ****\n10 \"Big Guy\" P_X\n");
}

TEST(TableBytes, EachFormWritesOnlyWhatReadsBack) {
    // clang-format off
    const std::vector<Table> written = {MakeTable({}, {}), MakeTable({"label", "name"}, {}),
        MakeTable({"Label", "a b", ""}, {{"0", "x y", "", "x y"}, {"", "\"q\"", "****", "\xe9"}, {"2 3", "", "", ""}}),
        MakeTable({"a"}, {{"0", std::string(65534, 'x')}}),  // the data block's 65,535 bytes, with the NUL
        MakeTable({}, {}, kText), MakeTable({"label", "race"}, {}, kText, LineEnd::Lf),
        MakeTable({"Label", "a b", ""}, {{"0", "x y", "", "a\rb"}, {"", "it's", "\xe9", std::string(40, 'w')}}, kText),
        MakeTable({"DEFAULT:", "x"}, {{"0", "a", "b"}}, kText, LineEnd::Lf),
        MakeTable({"a"}, {{"0", "1"}}, kText, LineEnd::CrLf, "\t")};
    // clang-format on
    for (const Table& table : written) {
        const std::optional<std::string> bytes = WriteTable(table);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(ReadTable(*bytes), table) << *bytes;
    }
    // clang-format off
    const std::vector<Table> refused = {MakeTable({"a"}, {{"0", std::string(65534, 'x')}, {"1", "y"}}),
        MakeTable({"a\tb"}, {}), MakeTable({"a"}, {{"0\t", "x"}}), MakeTable({"a"}, {{"0", std::string("x\0y", 3)}}),
        MakeTable({"a", "b"}, {{"0", "x"}}),  // a cell short
        MakeTable({"a"}, {{"0", "say \"hi\""}}, kText), MakeTable({"a"}, {{"0", "two\nlines"}}, kText),
        MakeTable({"a"}, {{"0", "****"}}, kText),  // would read back as an empty cell
        MakeTable({}, {{"0"}}, kText)};            // a row with no columns has no line of labels
    // clang-format on
    for (std::size_t i = 0; i < refused.size(); ++i) EXPECT_FALSE(WriteTable(refused[i])) << "refused[" << i << "]";
}

}  // namespace
}  // namespace zelvane
