// Values after a key, read with the legacy number syntax, and the numbered keys of a line.
#include "description/values.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "description/reader.hpp"
#include "util/program_error.hpp"

namespace zelvane {
namespace {

// The converted value as text, or "error N".
template <typename F>
std::string Converted(F convert) {
    try {
        return std::to_string(convert());
    } catch (const ProgramError& error) {
        return "error " + std::to_string(error.Number());
    }
}

// Each case: the text after the key and its value, or "error N".
using Cases = std::vector<std::pair<std::string, std::string>>;

TEST(Values, NumbersPixelsIntegersFlagsAndBeeps) {
    // clang-format off
    const Cases numbers = {{"2.5", "2"}, {"3.5", "4"}, {"-2.5", "-2"}, {"2.5000001", "3"}, {".5", "0"},
        {"400px", "400"}, {"&HFFFF", "65535"}, {"2147483647.4", "2147483647"}, {"-2147483648.5", "-2147483648"},
        {"2147483647.5", "error 6"}, {"-2147483649", "error 6"}, {"1e400", "error 6"}, {"&HFFFFFFFF", "error 6"}};
    // Positive pixels become twips.
    const Cases pixels = {{"400", "6000"}, {"400px", "6000"}, {"abc", "0"}, {"-3", "-3"}, {"2.5", "30"},
        {"143165576", "2147483640"}, {"143165577", "error 6"}, {"-2147483648", "-2147483648"}};
    // Integers are strict 16-bit numbers.
    Cases integers = {{" 2 ", "2"}, {"\t2\t", "2"}, {"+7", "7"}, {"-7", "-7"}, {"2.5", "2"}, {"3.5", "4"},
        {"5.", "5"}, {".5", "0"}, {"007", "7"}, {"32767.4", "32767"}, {"-32768.5", "-32768"}, {"32768", "error 6"},
        {"32767.5", "error 6"}, {"-32769", "error 6"}, {std::string(400, '9'), "error 6"}};
    Cases flags = {{"true", "1"}, {"TRUE", "1"}, {" True ", "1"}, {"FaLsE", "0"}, {"0", "0"}, {"0.0", "0"},
        {"-1", "1"}, {"2.5", "1"}, {"1e3", "1"}, {"1e+5", "1"}};
    // clang-format on
    for (const char* text : {"", " ", "abc", "2x", "x2", "1e3", "- 7", "+", ".", "1.2.3", "&H10", "2 3", "\r\n"}) {
        integers.emplace_back(text, "error 13");
    }
    for (const char* text : {"", "yes", "on", "truex", "1x", "t", "1e", "1e+"}) flags.emplace_back(text, "error 13");
    for (const auto& [text, value] : numbers) EXPECT_EQ(Converted([&] { return ToNumber(text); }), value) << text;
    for (const auto& [text, value] : pixels) EXPECT_EQ(Converted([&] { return ToPixels(text, 15); }), value) << text;
    EXPECT_EQ(ToPixels("400", 12), 4800);
    for (const auto& [text, value] : integers) {
        EXPECT_EQ(Converted([&] { return ToInteger(text); }), value) << '"' << text << '"';
    }
    for (const auto& [text, value] : flags) EXPECT_EQ(Converted([&] { return ToFlag(text); }), value) << text;
    for (const char* text : {"1", "1.0", " 1", "1abc"}) EXPECT_TRUE(ToBeep(text)) << text;
    for (const char* text : {"1.4", "0.6", "2", "true", "", "1e400"}) EXPECT_FALSE(ToBeep(text)) << text;
}

TEST(NumberedKey, NumbersRunFrom0To99WithoutLeadingZeros) {
    EXPECT_EQ(KeyOf("#qdelete_file_0=x")->number, 0);
    EXPECT_EQ(KeyOf("#QDelete_File_12=x")->Text(), "#qdelete_file_12=");
    EXPECT_EQ(KeyOf("#qrestore_file_format_width_99=1")->length, 31u);
    EXPECT_EQ(KeyOf("#qrestore_file_7=a")->stem, "#qrestore_file_");
    for (const char* line : {"#qdelete_file_07=x", "#qdelete_file_00=x", "#qdelete_file_100=x", "#qdelete_file_1",
                             " #qdelete_file_1=", "#qdelete_file_-1=", "#qdelete_file_ 1=", "#qrestore_file1="}) {
        EXPECT_FALSE(KeyOf(line)) << line;
    }
}

}  // namespace
}  // namespace zelvane
