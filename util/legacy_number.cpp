#include "util/legacy_number.hpp"

#include <charconv>
#include <cstdint>
#include <string>
#include <system_error>

namespace zelvane {
namespace {

bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads the characters of a text one by one, passing over blanks, tabs and line feeds.
class SkippingCursor {
public:
    explicit SkippingCursor(std::string_view text) : text_(text) { Skip(); }
    char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    bool PeekIsAnyOf(std::string_view characters) const {
        return Peek() != '\0' && characters.find(Peek()) != std::string_view::npos;
    }
    void Advance() {
        ++pos_;
        Skip();
    }

private:
    void Skip() {
        while (pos_ < text_.size() && IsSkipped(text_[pos_])) ++pos_;
    }
    std::string_view text_;
    std::size_t pos_ = 0;
};

std::optional<double> RadixNumber(SkippingCursor& cursor, int radix, NumberSyntax syntax) {
    std::uint64_t value = 0;
    for (int digit = DigitValue(cursor.Peek()); digit >= 0 && digit < radix; digit = DigitValue(cursor.Peek())) {
        value = value * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFULL) return std::nullopt;
        cursor.Advance();
    }
    if (syntax == NumberSyntax::Description) return static_cast<double>(value);
    if (value <= 0xFFFFULL) return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// An exponent this large already puts every number of a readable text out of range.
constexpr long long kExponentLimit = 1000000000;

std::optional<double> DecimalNumber(SkippingCursor& cursor, NumberSyntax syntax) {
    bool negative = false;
    if (cursor.PeekIsAnyOf("+-")) {
        negative = cursor.Peek() == '-';
        cursor.Advance();
    }
    std::string digits;  // without leading zeros
    bool anyDigit = false;
    while (IsDigit(cursor.Peek())) {
        anyDigit = true;
        if (!digits.empty() || cursor.Peek() != '0') digits += cursor.Peek();
        cursor.Advance();
    }
    // The decimal exponent of the first significant digit, before the exponent part.
    long long magnitude = static_cast<long long>(digits.size()) - 1;
    std::string fraction;
    if (cursor.Peek() == '.') {
        cursor.Advance();
        while (IsDigit(cursor.Peek())) {
            anyDigit = true;
            fraction += cursor.Peek();
            cursor.Advance();
        }
    }
    if (!anyDigit) return 0.0;
    if (digits.empty()) {
        const std::size_t first = fraction.find_first_not_of('0');
        if (first == std::string::npos) return negative ? -0.0 : 0.0;
        magnitude = -static_cast<long long>(first) - 1;
    }

    long long exponent = 0;
    if (cursor.PeekIsAnyOf(syntax == NumberSyntax::Val ? "eEdD" : "eE")) {
        cursor.Advance();
        bool negativeExponent = false;
        if (cursor.PeekIsAnyOf("+-")) {
            negativeExponent = cursor.Peek() == '-';
            cursor.Advance();
        }
        while (IsDigit(cursor.Peek())) {
            if (exponent < kExponentLimit) exponent = exponent * 10 + (cursor.Peek() - '0');
            cursor.Advance();
        }
        if (negativeExponent) exponent = -exponent;
    }

    // Converted without the locale, from the digits as written.
    std::string number = digits.empty() ? "0" : digits;
    if (!fraction.empty()) number += "." + fraction;
    if (exponent != 0) number += "e" + std::to_string(exponent);
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        if (magnitude + exponent >= 0) return std::nullopt;  // beyond the largest double
        value = 0.0;                                         // below the smallest
    } else if (error != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

}  // namespace

std::optional<double> ReadLegacyNumber(std::string_view text, NumberSyntax syntax) {
    SkippingCursor cursor(text);
    if (cursor.Peek() == '&') {
        cursor.Advance();
        if (cursor.PeekIsAnyOf("hH")) {
            cursor.Advance();
            return RadixNumber(cursor, 16, syntax);
        }
        if (cursor.PeekIsAnyOf("oO")) {
            cursor.Advance();
            return RadixNumber(cursor, 8, syntax);
        }
        return 0.0;
    }
    return DecimalNumber(cursor, syntax);
}

}  // namespace zelvane
