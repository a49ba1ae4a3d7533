// Numbers read as the legacy language's Val reads them (the font sizes of a prompt body) and in the
// narrower syntax of description values: one reader for both.

#include "util/legacy_number.hpp"

#include <gtest/gtest.h>

#include <string>

namespace zelvane {
namespace {

// Decimal numbers up to the first other character, blanks, tabs and line feeds skipped throughout
// (a carriage return is no blank), exponents with E or D; no digits read as zero; &H and &O are
// 16- or 32-bit integers; overflow is no number.
TEST(LegacyNumber, AsValReadsThem) {
    // clang-format off
    const std::pair<std::string, std::optional<double>> cases[] = {
        {"42", 42},        {"+7", 7},           {"-2.5", -2.5},    {".5", 0.5},        {"5.", 5},
        {"1.5.3", 1.5},    {"12,5", 12},        {"24\\b", 24},     {"+-5", 0},         {"", 0},
        {"-", 0},          {"e5", 0},           {"&X5", 0},        {"&H", 0},          {"-&H10", 0},
        {"\r5", 0},        {"  \t\n 42", 42},    {"1 2 3", 123},    {"- 7", -7},        {"1 .\t5", 1.5},
        {"1 e\n+ 2", 100}, {"& h 1\tF", 31},     {"1E+2", 100},     {"25e-1", 2.5},     {"1D2", 100},
        {"1e", 1},         {"1e+x", 1},         {"1f2", 1},        {"1e-400", 0},      {"&hff", 255},
        {"&o17", 15},      {"&H1G", 1},         {"&O78", 7},       {"&H7FFF", 32767},  {"&H8000", -32768},
        {"&O177777", -1},  {"&H10000", 65536},  {"&HFFFFFFFF", -1}, {"&H0000000000FFFF", -1},
        {"&H7FFFFFFF", 2147483647},  {"&H80000000", -2147483648.0},
        {"0000000000000000000000000000012", 12}, {"0." + std::string(400, '0') + "1", 0},
        // Overflow is no number.
        {"&H100000000", std::nullopt}, {"&O40000000000", std::nullopt}, {"1e400", std::nullopt}, {"-1D400", std::nullopt},
        {std::string(400, '9'), std::nullopt}, {"1" + std::string(400, '0') + "e-10", std::nullopt}};
    // clang-format on
    for (const auto& [text, value] : cases) EXPECT_EQ(ReadLegacyNumber(text), value) << '"' << text << '"';
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
