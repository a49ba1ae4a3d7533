#include "description/reader.hpp"

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

const std::vector<std::string> kStems = {"#qdelete_file_", "#qdelete_file_format_width_", "#qrestore_file_",
                                         "#qrestore_file_format_width_"};

struct LiteralKey {
    std::string text;
    LineKey key;
};

// Every numbered key written out: stem + N + "=" for N = 0..99.
const std::vector<LiteralKey> kLiteralKeys = [] {
    std::vector<LiteralKey> keys;
    for (const std::string& stem : kStems) {
        for (int n = 0; n < 100; ++n) {
            const std::string text = stem + std::to_string(n) + "=";
            keys.push_back(LiteralKey{text, LineKey{stem, n, text.size()}});
        }
    }
    return keys;
}();

// The literal test of the numbered keys: each compared with the line's first len(key) characters
// in lower case.
void ExpectSameAsLiteral(const std::string& line) {
    const std::string lower = Lower(line);
    std::optional<LineKey> literal;
    for (const LiteralKey& key : kLiteralKeys) {
        if (lower.starts_with(key.text)) {
            EXPECT_FALSE(literal.has_value()) << "two keys match " << line;
            literal = key.key;
        }
    }
    const std::optional<LineKey> key = KeyOf(line);
    const bool numbered = key && key->number >= 0;
    ASSERT_EQ(literal.has_value(), numbered) << line;
    if (literal) {
        EXPECT_EQ(literal->stem, key->stem) << line;
        EXPECT_EQ(literal->number, key->number) << line;
        EXPECT_EQ(literal->length, key->length) << line;
    }
}

TEST(NumberedKey, ReadsNumbersWithoutLeadingZeros) {
    EXPECT_EQ(KeyOf("#qdelete_file_0=x")->number, 0);
    EXPECT_EQ(KeyOf("#qdelete_file_7=x")->number, 7);
    EXPECT_EQ(KeyOf("#QDelete_File_12=x")->number, 12);
    EXPECT_EQ(KeyOf("#qdelete_file_99=")->length, 17u);
    EXPECT_EQ(KeyOf("#qrestore_file_format_width_3=1")->Text(), "#qrestore_file_format_width_3=");
    EXPECT_FALSE(KeyOf("#qdelete_file_07=x"));
    EXPECT_FALSE(KeyOf("#qdelete_file_00=x"));
    EXPECT_FALSE(KeyOf("#qdelete_file_100=x"));
    EXPECT_FALSE(KeyOf("#qdelete_file_1"));
    EXPECT_FALSE(KeyOf(" #qdelete_file_1="));
}

TEST(NumberedKey, AgreesWithTheLiteralTestOnSystematicLines) {
    const std::vector<std::string> heads = {"#qdelete_file_",
                                            "#QDELETE_FILE_",
                                            "#qDelete_File_",
                                            "#qdelete_file_format_width_",
                                            "#QRESTORE_FILE_FORMAT_WIDTH_",
                                            "#qrestore_file_",
                                            "#qrestore_file",
                                            "qdelete_file_",
                                            " #qdelete_file_"};
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
