#include "description/values.hpp"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "util/program_error.hpp"
#include "util/strings.hpp"

namespace zelvane {
namespace {

bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads the characters of text one by one, skipping blanks, tabs and line feeds.
class SkippingCursor {
public:
    explicit SkippingCursor(std::string_view text) : text_(text) { Skip(); }
    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
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

double RadixPrefix(SkippingCursor& cursor, int radix) {
    double value = 0;
    for (;;) {
        const int digit = HexDigit(cursor.Peek());
        if (digit < 0 || digit >= radix) break;
        value = value * radix + digit;
        cursor.Advance();
    }
    return value;
}

// Converts "digits[.digits][e[sign]digits]" (no sign, at least one digit) without the locale.
// Values beyond the double range become infinity, values below it zero.
double DecimalText(const std::string& mantissa, long long exponent, std::size_t integerDigits) {
    std::string text = mantissa;
    if (exponent != 0) text += "e" + std::to_string(exponent);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        const long long magnitude = static_cast<long long>(integerDigits) + exponent;
        return magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    if (ec != std::errc()) return 0.0;
    return value;
}

// Strict decimal number: optional sign, digits with an optional fraction and, when allowed, an
// exponent, surrounded by blanks. Returns false when the text has any other form.
bool StrictNumber(std::string_view text, bool allowExponent, double& out) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    text = text.substr(first, last - first);

    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string mantissa;
    std::size_t integerDigits = 0;
    bool leading = true;
    while (i < text.size() && IsDigit(text[i])) {
        if (leading && text[i] == '0') {
            ++i;
            mantissa += '0';
            continue;
        }
        leading = false;
        ++integerDigits;
        mantissa += text[i++];
    }
    bool anyDigit = !mantissa.empty();
    if (i < text.size() && text[i] == '.') {
        mantissa += text[i++];
        while (i < text.size() && IsDigit(text[i])) {
            anyDigit = true;
            mantissa += text[i++];
        }
    }
    if (!anyDigit) return false;
    long long exponent = 0;
    if (allowExponent && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        if (i >= text.size() || !IsDigit(text[i])) return false;
        while (i < text.size() && IsDigit(text[i])) {
            if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        if (negativeExponent) exponent = -exponent;
    }
    if (i != text.size()) return false;
    if (mantissa == ".") return false;
    if (mantissa.front() == '.') mantissa.insert(mantissa.begin(), '0');
    const double value = DecimalText(mantissa, exponent, integerDigits);
    out = negative ? -value : value;
    return true;
}

}  // namespace

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction < 0.5) return floor;
    if (fraction > 0.5) return floor + 1;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1;
}

double NumericPrefix(std::string_view text) {
    SkippingCursor cursor(text);
    if (cursor.Peek() == '&') {
        cursor.Advance();
        const char kind = cursor.Peek();
        if (kind == 'h' || kind == 'H') {
            cursor.Advance();
            return RadixPrefix(cursor, 16);
        }
        if (kind == 'o' || kind == 'O') {
            cursor.Advance();
            return RadixPrefix(cursor, 8);
        }
        return 0;
    }

    bool negative = false;
    if (cursor.Peek() == '+' || cursor.Peek() == '-') {
        negative = cursor.Peek() == '-';
        cursor.Advance();
    }
    std::string mantissa;
    std::size_t integerDigits = 0;
    bool leading = true;
    bool anyDigit = false;
    while (IsDigit(cursor.Peek())) {
        anyDigit = true;
        if (!(leading && cursor.Peek() == '0')) {
            leading = false;
            ++integerDigits;
            mantissa += cursor.Peek();
        }
        cursor.Advance();
    }
    if (cursor.Peek() == '.') {
        cursor.Advance();
        std::string fraction;
        while (IsDigit(cursor.Peek())) {
            anyDigit = true;
            fraction += cursor.Peek();
            cursor.Advance();
        }
        if (!fraction.empty()) mantissa += "." + fraction;
    }
    if (!anyDigit) return 0;
    if (mantissa.empty()) mantissa = "0";
    if (mantissa.front() == '.') mantissa.insert(mantissa.begin(), '0');

    long long exponent = 0;
    if (cursor.Peek() == 'e' || cursor.Peek() == 'E') {
        cursor.Advance();
        bool negativeExponent = false;
        if (cursor.Peek() == '+' || cursor.Peek() == '-') {
            negativeExponent = cursor.Peek() == '-';
            cursor.Advance();
        }
        while (IsDigit(cursor.Peek())) {
            if (exponent < 100000) exponent = exponent * 10 + (cursor.Peek() - '0');
            cursor.Advance();
        }
        if (negativeExponent) exponent = -exponent;
    }
    const double value = DecimalText(mantissa, exponent, integerDigits);
    return negative ? -value : value;
}

std::int32_t ToNumber(std::string_view text) {
    const double rounded = RoundHalfEven(NumericPrefix(text));
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() && rounded <= std::numeric_limits<std::int32_t>::max())) {
        throw OverflowError();
    }
    return static_cast<std::int32_t>(rounded);
}

std::int32_t ToPixels(std::string_view text, int twipsPerPixel) {
    const std::int32_t pixels = ToNumber(text);
    if (pixels <= 0) return pixels;
    const long long twips = static_cast<long long>(pixels) * twipsPerPixel;
    if (twips > std::numeric_limits<std::int32_t>::max() || twips < std::numeric_limits<std::int32_t>::min()) {
        throw OverflowError();
    }
    return static_cast<std::int32_t>(twips);
}

std::int16_t ToInteger(std::string_view text) {
    double value = 0;
    if (!StrictNumber(text, false, value)) throw TypeMismatchError();
    const double rounded = RoundHalfEven(value);
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() && rounded <= std::numeric_limits<std::int16_t>::max())) {
        throw OverflowError();
    }
    return static_cast<std::int16_t>(rounded);
}

bool ToFlag(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    const std::string word = LowerCase(text.substr(first, last - first));
    if (word == "true") return true;
    if (word == "false") return false;
    double value = 0;
    if (!StrictNumber(text, true, value)) throw TypeMismatchError();
    return value != 0.0;
}

bool ToBeep(std::string_view text) { return NumericPrefix(text) == 1.0; }

}  // namespace zelvane
