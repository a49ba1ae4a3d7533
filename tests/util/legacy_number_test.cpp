// Numbers read as the legacy language's Val reads them (the font sizes of a prompt body) and in the
// narrower syntax of description values: one reader for both.
#include "util/legacy_number.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelvane {
namespace {

// Decimal numbers up to the first other character, blanks, tabs and line feeds skipped throughout
// (a carriage return is no blank), exponents with E or D; no digits read as zero; &H and &O are
// 16- or 32-bit integers; overflow is no number.
TEST(LegacyNumber, AsValReadsThem) {
    const std::pair<std::string, double> cases[] = {
        {"42", 42},         {"+7", 7},        {"-2.5", -2.5},     {".5", 0.5},       {"5.", 5},
        {"1.5.3", 1.5},     {"12,5", 12},     {"24\\b", 24},      {"  \t\n 42", 42}, {"1 2 3", 123},
        {"- 7", -7},        {"1 .\t5", 1.5},  {"1 e\n+ 2", 100},  {"& h 1\tF", 31},  {"1E+2", 100},
        {"25e-1", 2.5},     {"1D2", 100},     {"1e", 1},          {"1e+x", 1},       {"1f2", 1},
        {"&hff", 255},      {"&o17", 15},     {"&H1G", 1},        {"&O78", 7},       {"&H7FFF", 32767},
        {"&H8000", -32768}, {"&O177777", -1}, {"&H10000", 65536}, {"&HFFFFFFFF", -1}};
    for (const auto& [text, value] : cases) EXPECT_EQ(ReadLegacyNumber(text), value) << '"' << text << '"';
    for (const std::string text : {"+-5", "", "-", "e5", "&X5", "&H", "-&H10", "\r5", "1e-400"}) {
        EXPECT_EQ(ReadLegacyNumber(text), 0.0) << '"' << text << '"';
    }
    EXPECT_EQ(ReadLegacyNumber("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(ReadLegacyNumber("0000000000000000000000000000012"), 12);
    EXPECT_EQ(ReadLegacyNumber("&H0000000000FFFF"), -1);
    EXPECT_EQ(ReadLegacyNumber("&H7FFFFFFF"), 2147483647);
    EXPECT_EQ(ReadLegacyNumber("&H80000000"), -2147483648.0);
    for (const std::string& text :
         std::vector<std::string>{"&H100000000", "&O40000000000", "1e400", "-1D400", std::string(400, '9'),
                                  "1" + std::string(400, '0') + "e-10"}) {
        EXPECT_EQ(ReadLegacyNumber(text), std::nullopt) << text;
    }
}

// A description's numbers: &H and &O digits for their plain value, the exponent with E only.
TEST(LegacyNumber, TheDescriptionsSyntaxReadsRadixDigitsPlainAndNoDExponent) {
    const auto read = [](std::string_view text) { return ReadLegacyNumber(text, NumberSyntax::Description); };
    EXPECT_EQ(read("&O177777"), 65535.0);
    EXPECT_EQ(read("&HFFFFFFFF"), 4294967295.0);
    EXPECT_EQ(read("&H100000000"), std::nullopt);
    EXPECT_EQ(read("1D2"), 1.0);
    EXPECT_EQ(read("1e2"), 100.0);
}

}  // namespace
}  // namespace zelvane
