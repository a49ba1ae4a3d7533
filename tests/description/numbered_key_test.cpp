#include "description/numbered_key.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <vector>

namespace zelvane {
namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The literal test: every key stem + N + "=" for N = 0..99, compared with the line's first
// len(key) characters in lower case.
std::optional<NumberedKey> LiteralKey(std::string_view line, std::string_view stem) {
    std::optional<NumberedKey> found;
    for (int n = 0; n < 100; ++n) {
        const std::string key = std::string(stem) + std::to_string(n) + "=";
        if (line.size() >= key.size() && Lower(line.substr(0, key.size())) == key) {
            EXPECT_FALSE(found.has_value()) << "two numbers match " << line;
            found = NumberedKey{n, key.size()};
        }
    }
    return found;
}

const std::vector<std::string> kStems = {"#qdelete_file_", "#qdelete_file_format_width_", "#qrestore_file_",
                                         "#qrestore_file_format_width_"};

void ExpectSameAsLiteral(const std::string& line) {
    for (const std::string& stem : kStems) {
        const auto literal = LiteralKey(line, stem);
        const auto fast = FindNumberedKey(Lower(line.substr(0, 48)), stem);
        ASSERT_EQ(literal.has_value(), fast.has_value()) << stem << " | " << line;
        if (literal) {
            EXPECT_EQ(literal->number, fast->number) << line;
            EXPECT_EQ(literal->length, fast->length) << line;
        }
    }
}

TEST(NumberedKey, ReadsNumbersWithoutLeadingZeros) {
    EXPECT_EQ(FindNumberedKey("#qdelete_file_0=x", "#qdelete_file_")->number, 0);
    EXPECT_EQ(FindNumberedKey("#qdelete_file_7=x", "#qdelete_file_")->number, 7);
    EXPECT_EQ(FindNumberedKey("#qdelete_file_12=x", "#qdelete_file_")->number, 12);
    EXPECT_EQ(FindNumberedKey("#qdelete_file_99=", "#qdelete_file_")->length, 17u);
    EXPECT_FALSE(FindNumberedKey("#qdelete_file_07=x", "#qdelete_file_"));
    EXPECT_FALSE(FindNumberedKey("#qdelete_file_00=x", "#qdelete_file_"));
    EXPECT_FALSE(FindNumberedKey("#qdelete_file_100=x", "#qdelete_file_"));
    EXPECT_FALSE(FindNumberedKey("#qdelete_file_1", "#qdelete_file_"));
    EXPECT_FALSE(FindNumberedKey("#qdelete_file_format_width_1=", "#qdelete_file_"));
    EXPECT_FALSE(FindNumberedKey(" #qdelete_file_1=", "#qdelete_file_"));
}

TEST(NumberedKey, AgreesWithTheLiteralTestOnSystematicLines) {
    const std::vector<std::string> heads = {"#qdelete_file_", "#QDELETE_FILE_", "#qDelete_File_",
                                            "#qdelete_file_format_width_", "#QRESTORE_FILE_FORMAT_WIDTH_",
                                            "#qrestore_file_", "#qrestore_file", "qdelete_file_", " #qdelete_file_"};
    std::vector<std::string> numbers = {"", "a", "-1", "+1", " 1", "1 ", "100", "999", "07", "00", "0a"};
    for (int n = 0; n < 100; ++n) numbers.push_back(std::to_string(n));
    const std::vector<std::string> tails = {"=", "", "==", "=value", "#", "x=", "=override\\a.uti"};
    for (const auto& head : heads) {
        for (const auto& number : numbers) {
            for (const auto& tail : tails) ExpectSameAsLiteral(head + number + tail);
        }
    }
}

TEST(NumberedKey, AgreesWithTheLiteralTestOnRandomLines) {
    std::mt19937 random(20261206);
    const std::string alphabet = "#qQdDeElLtTfFiIrRsSoO_mMaAwWhH0123456789= x";
    for (int i = 0; i < 5000; ++i) {
        const std::string& stem = kStems[random() % kStems.size()];
        std::string line = random() % 2 ? stem : std::string();
        // Mutate the stem's case now and then, then append random characters.
        for (char& c : line) {
            if (random() % 4 == 0) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        const int extra = static_cast<int>(random() % 8);
        for (int k = 0; k < extra; ++k) line += alphabet[random() % alphabet.size()];
        ExpectSameAsLiteral(line);
    }
}

}  // namespace
}  // namespace zelvane
