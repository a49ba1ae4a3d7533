// Numbers read as the legacy language's Val reads them (the font sizes of a prompt body) and in the
// narrower syntax of description values: one reader for both.

#include "util/legacy_number.hpp"

#include <gtest/gtest.h>

#include <string>

namespace zelvane {
namespace {

double Read(std::string_view text) {
    const std::optional<double> value = ReadLegacyNumber(text);
    EXPECT_TRUE(value.has_value()) << '"' << text << '"';
    return value.value_or(0.0);
}

TEST(LegacyNumber, DecimalNumbersUpToTheFirstOtherCharacter) {
    EXPECT_EQ(Read("42"), 42.0);
    EXPECT_EQ(Read("+7"), 7.0);
    EXPECT_EQ(Read("-2.5"), -2.5);
    EXPECT_EQ(Read(".5"), 0.5);
    EXPECT_EQ(Read("5."), 5.0);
    EXPECT_DOUBLE_EQ(Read("1.2.3"), 1.2);
    EXPECT_EQ(Read("12,5"), 12.0);
    EXPECT_EQ(Read("400px"), 400.0);
    EXPECT_EQ(Read("24\\b"), 24.0);
    EXPECT_EQ(Read("0000000000000000000000000000012"), 12.0);
    EXPECT_EQ(Read("+-5"), 0.0);
}

TEST(LegacyNumber, NoDigitsReadAsZero) {
    for (const char* text : {"", "abc", "-", "+", ".", "e5", "&", "&X5", "&H", "&O", "-&H10", "\r5"}) {
        EXPECT_EQ(Read(text), 0.0) << '"' << text << '"';  // a carriage return is no blank
    }
}

TEST(LegacyNumber, BlanksTabsAndLineFeedsAreSkippedThroughout) {
    EXPECT_EQ(Read("  \t\n 42"), 42.0);
    EXPECT_EQ(Read("1 2 3"), 123.0);
    EXPECT_EQ(Read("- 7"), -7.0);
    EXPECT_EQ(Read("1 .\t5"), 1.5);
    EXPECT_EQ(Read("1 e\n+ 2"), 100.0);
    EXPECT_EQ(Read("& h 1\tF"), 31.0);
}

TEST(LegacyNumber, ExponentsWrittenWithEOrD) {
    EXPECT_EQ(Read("1e3"), 1000.0);
    EXPECT_EQ(Read("1E+2"), 100.0);
    EXPECT_EQ(Read("25e-1"), 2.5);
    EXPECT_EQ(Read("1D2"), 100.0);
    EXPECT_DOUBLE_EQ(Read("1d-1"), 0.1);
    EXPECT_EQ(Read("1e"), 1.0);
    EXPECT_EQ(Read("1e+x"), 1.0);
    EXPECT_EQ(Read("1f2"), 1.0);
    EXPECT_EQ(Read("1e-400"), 0.0);
    EXPECT_EQ(Read("0." + std::string(400, '0') + "1"), 0.0);
}

TEST(LegacyNumber, HexAndOctalAreSixteenOrThirtyTwoBitIntegers) {
    EXPECT_EQ(Read("&HFF"), 255.0);
    EXPECT_EQ(Read("&hff"), 255.0);
    EXPECT_EQ(Read("&O17"), 15.0);
    EXPECT_EQ(Read("&o17"), 15.0);
    EXPECT_EQ(Read("&H1G"), 1.0);
    EXPECT_EQ(Read("&O78"), 7.0);
    EXPECT_EQ(Read("&H7FFF"), 32767.0);
    EXPECT_EQ(Read("&H8000"), -32768.0);
    EXPECT_EQ(Read("&HFFFF"), -1.0);
    EXPECT_EQ(Read("&O177777"), -1.0);
    EXPECT_EQ(Read("&H10000"), 65536.0);
    EXPECT_EQ(Read("&H7FFFFFFF"), 2147483647.0);
    EXPECT_EQ(Read("&H80000000"), -2147483648.0);
    EXPECT_EQ(Read("&HFFFFFFFF"), -1.0);
    EXPECT_EQ(Read("&H0000000000FFFF"), -1.0);
}

// A description's numbers: &H and &O digits for their plain value, the exponent with E only.
TEST(LegacyNumber, TheDescriptionsSyntaxReadsRadixDigitsPlainAndNoDExponent) {
    const auto read = [](std::string_view text) { return ReadLegacyNumber(text, NumberSyntax::Description); };
    EXPECT_EQ(read("&HFFFF"), 65535.0);
    EXPECT_EQ(read("&O177777"), 65535.0);
    EXPECT_EQ(read("&H80000000"), 2147483648.0);
    EXPECT_EQ(read("&HFFFFFFFF"), 4294967295.0);
    EXPECT_EQ(read("&H100000000"), std::nullopt);
    EXPECT_EQ(read("1D2"), 1.0);
    EXPECT_EQ(read("1e2"), 100.0);
}

TEST(LegacyNumber, OverflowIsNoNumber) {
    for (const std::string& text :
         {std::string("&H100000000"), std::string("&O40000000000"), std::string("1e400"), std::string("-1D400"),
          std::string(400, '9'), "1" + std::string(400, '0') + "e-10"}) {
        EXPECT_EQ(ReadLegacyNumber(text), std::nullopt) << text;
    }
}

}  // namespace
}  // namespace zelvane
