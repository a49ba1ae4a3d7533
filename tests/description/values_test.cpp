// Values after a key, read with the legacy number syntax, and the numbered keys of a line.
#include "description/values.hpp"

#include <gtest/gtest.h>

#include <cctype>
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
        {"-1", "1"}, {"2.5", "1"}, {"1e3", "1"}};
    // clang-format on
    for (const char* text : {"", " ", "abc", "2x", "x2", "1e3", "- 7", "+", ".", "1.2.3", "&H10", "2 3", "\r\n"}) {
        integers.emplace_back(text, "error 13");
    }
    for (const char* text : {"", "yes", "on", "truex", "1x", "t"}) flags.emplace_back(text, "error 13");
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

// The numbered keys agree with the literal test of start-up: each "stem N=" for N = 0..99
// compared with the line's first characters in lower case.
TEST(NumberedKey, AgreesWithTheLiteralTest) {
    const std::vector<std::string> stems = {"#qdelete_file_", "#qdelete_file_format_width_", "#qrestore_file_",
                                            "#qrestore_file_format_width_"};
    std::vector<std::string> numbers = {"", "a", "-1", "+1", " 1", "1 ", "100", "999", "07", "00", "0a"};
    for (int n = 0; n < 100; ++n) numbers.push_back(std::to_string(n));
    // clang-format off
    const std::vector<std::string> heads = {"#qdelete_file_", "#QDELETE_FILE_", "#qDelete_File_",
        "#qdelete_file_format_width_", "#QRESTORE_FILE_FORMAT_WIDTH_", "#qrestore_file_", "#qrestore_file",
        "qdelete_file_", " #qdelete_file_"};
    // clang-format on
    for (const auto& head : heads) {
        for (const auto& number : numbers) {
            for (const std::string tail : {"=", "", "==", "=value", "x="}) {
                const std::string line = head + number + tail;
                std::string lower = line;
                for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                std::string literal;
                for (const std::string& stem : stems) {
                    for (int n = 0; n < 100; ++n) {
                        const std::string key = stem + std::to_string(n) + "=";
                        if (lower.starts_with(key)) literal = key;
                    }
                }
                const std::optional<LineKey> key = KeyOf(line);
                const bool numbered = key && key->number >= 0;
                ASSERT_EQ(numbered, !literal.empty()) << line;
                if (numbered) {
                    EXPECT_EQ(key->Text(), literal) << line;
                    EXPECT_EQ(key->length, literal.size()) << line;
                }
            }
        }
    }
}

}  // namespace
}  // namespace zelvane
