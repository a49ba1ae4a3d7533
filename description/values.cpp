#include "description/values.hpp"

#include <cmath>
#include <limits>
#include <string>

#include "util/legacy_number.hpp"
#include "util/program_error.hpp"
#include "util/strings.hpp"

namespace zelvane {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trimmed(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// Whether the text is a strict decimal number: optional sign, digits with an optional fraction
// and, when allowed, an exponent (E, an optional sign, digits), with blanks only around it. Such
// a text reads wholly as a legacy number.
bool IsStrictNumber(std::string_view text, bool allowExponent) {
    text = Trimmed(text);
    std::size_t i = 0;
    const auto skipDigits = [&] {
        const std::size_t start = i;
        while (i < text.size() && IsDigit(text[i])) ++i;
        return i > start;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    bool anyDigit = skipDigits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        anyDigit = skipDigits() || anyDigit;
    }
    if (!anyDigit) return false;
    if (allowExponent && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (!skipDigits()) return false;
    }
    return i == text.size();
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
    return ReadLegacyNumber(text, NumberSyntax::Description).value_or(std::numeric_limits<double>::infinity());
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
    if (!IsStrictNumber(text, false)) throw TypeMismatchError();
    const double rounded = RoundHalfEven(NumericPrefix(text));
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() && rounded <= std::numeric_limits<std::int16_t>::max())) {
        throw OverflowError();
    }
    return static_cast<std::int16_t>(rounded);
}

bool ToFlag(std::string_view text) {
    const std::string word = LowerCase(Trimmed(text));
    if (word == "true") return true;
    if (word == "false") return false;
    if (!IsStrictNumber(text, true)) throw TypeMismatchError();
    return NumericPrefix(text) != 0.0;
}

bool ToBeep(std::string_view text) { return NumericPrefix(text) == 1.0; }

}  // namespace zelvane
