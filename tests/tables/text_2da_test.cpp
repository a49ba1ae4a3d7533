#include "tables/text_2da.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tables/table_bytes.hpp"
#include "tests/tables/table_maker.hpp"

namespace zelvane {
namespace {

using testing::MakeTable;

Table TextTable(std::vector<std::string> columns, const std::vector<std::vector<std::string>>& rows,
                LineEnd lineEnd = LineEnd::CrLf) {
    Table table = MakeTable(std::move(columns), rows, TableFormat::Text);
    table.lineEnd = lineEnd;
    return table;
}

TEST(Text2da, ReadsTheShapeOfRealFiles) {
    const std::string crlf =
        "2DA V2.0\r\n"
        "\r\n"
        "       label     race        modela\r\n"
        "0      Bastila   P_BASTILA   ****\r\n"
        "1      \"Big Guy\" ****\t\"\"\r\n"
        "\r\n";
    EXPECT_EQ(ReadText2da(crlf),
              TextTable({"label", "race", "modela"}, {{"0", "Bastila", "P_BASTILA", ""}, {"1", "Big Guy", "", ""}}));

    const std::string lf = "2DA V2.0 \nDEFAULT: \"a b\"\nlabel\n0 x\n1 y";
    Table withDefault = TextTable({"label"}, {{"0", "x"}, {"1", "y"}}, LineEnd::Lf);
    withDefault.defaultValue = "a b";
    EXPECT_EQ(ReadTable(lf), withDefault);
}

TEST(Text2da, WritesAlignedColumnsWithTheTablesLineEnds) {
    Table table = TextTable({"label", "race"}, {{"0", "Bastila", ""}, {"10", "Big Guy", "P_X"}});
    EXPECT_EQ(WriteText2da(table),
              "2DA V2.0\r\n"
              "\r\n"
              "   label     race\r\n"
              "0  Bastila   ****\r\n"
              "10 \"Big Guy\" P_X\r\n");
    table.lineEnd = LineEnd::Lf;
    table.defaultValue = "";
    EXPECT_EQ(WriteText2da(table),
              "2DA V2.0\n"
              "DEFAULT: ****\n"
              "   label     race\n"
              "0  Bastila   ****\n"
              "10 \"Big Guy\" P_X\n");
}

TEST(Text2da, RoundTrips) {
    Table defaults = TextTable({"DEFAULT:", "x"}, {{"0", "a", "b"}}, LineEnd::Lf);
    Table withDefault = TextTable({"a"}, {{"0", "1"}});
    withDefault.defaultValue = "\t";
    const std::vector<Table> tables = {
        TextTable({}, {}),
        TextTable({"label", "race"}, {}, LineEnd::Lf),
        TextTable({"Label", "a b", ""}, {{"0", "x y", "", "a\rb"}, {"", "it's", "\xe9", std::string(40, 'w')}}),
        defaults,
        withDefault,
    };
    for (const Table& table : tables) {
        const std::optional<std::string> text = WriteTable(table);
        ASSERT_TRUE(text);
        EXPECT_EQ(ReadTable(*text), table) << *text;
    }
}

TEST(Text2da, RefusesWhatIsNoTable) {
    const std::string header = "2DA V2.0\r\n\r\n a b\r\n";
    EXPECT_TRUE(ReadText2da(header + "0 x y\r\n"));
    EXPECT_FALSE(ReadText2da("2DA V2.b\r\n\r\n a b\r\n0 x y\r\n"));
    EXPECT_FALSE(ReadText2da("2DA V2.0x\r\n\r\n a b\r\n0 x y\r\n"));
    EXPECT_FALSE(ReadText2da(header + "0 x\r\n")) << "a value short";
    EXPECT_FALSE(ReadText2da(header + "0 x y z\r\n")) << "a value over";
    EXPECT_FALSE(ReadText2da(header + "0 \"x y\r\n")) << "an open quote";
    EXPECT_FALSE(ReadText2da(header + "0 \"x\"y\r\n")) << "text glued to a closing quote";
    EXPECT_FALSE(ReadText2da(header + "0 x\"y z\r\n")) << "a quote inside a bare value";
}

TEST(Text2da, WritesOnlyWhatReadsBack) {
    EXPECT_FALSE(WriteText2da(TextTable({"a"}, {{"0", "say \"hi\""}})));
    EXPECT_FALSE(WriteText2da(TextTable({"a"}, {{"0", "two\nlines"}})));
    EXPECT_FALSE(WriteText2da(TextTable({"a"}, {{"0", "****"}}))) << "would read back as an empty cell";
    EXPECT_FALSE(WriteText2da(TextTable({}, {{"0"}}))) << "a row with no columns has no line of labels";
}

}  // namespace
}  // namespace zelvane
