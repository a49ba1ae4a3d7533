#pragma once
// Conversions of description values (the text after a key) into numbers, widths and flags.
// Each throws ProgramError (OverflowError, TypeMismatchError) where the value cannot be converted.

#include <cstdint>
#include <string_view>

namespace zelvane {

// The lenient numeric prefix of a text, read as a legacy number (util/legacy_number.hpp). Never
// fails: where the language overflows it gives an infinity.
double NumericPrefix(std::string_view text);

// The numeric prefix rounded to 32 bits, halves to even; OverflowError outside the 32-bit range.
std::int32_t ToNumber(std::string_view text);

// A width in pixels turned into twips: positive values are multiplied by twipsPerPixel,
// 0 or less is kept as it is ("not given").
std::int32_t ToPixels(std::string_view text, int twipsPerPixel);

// A strict 16-bit integer: blanks, optional sign, digits with an optional fraction (rounded,
// halves to even), blanks. TypeMismatchError for other text, OverflowError outside 16 bits.
std::int16_t ToInteger(std::string_view text);

// "true"/"false" in any letter case, or a number (0 false, anything else true).
// TypeMismatchError for empty or other text.
bool ToFlag(std::string_view text);

// True exactly when the numeric prefix equals 1. Never fails.
bool ToBeep(std::string_view text);

// Rounds to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double value);

}  // namespace zelvane
