#pragma once
// A number at the start of a text, read as the legacy language's Val reads it: the one reading of
// the numbers of a description and of the font sizes of a prompt body.
//
// Blanks, tabs and line feeds are skipped wherever they stand (a carriage return is no blank).
// Then either &H or &O (either letter case) and hexadecimal or octal digits, or an optional sign,
// digits with an optional decimal point and fraction, and an optional exponent: E or D (either
// letter case), an optional sign and digits. Reading stops at the first character that cannot
// continue the number; a text without digits reads as 0.
//
// As Val reads them, &H and &O numbers are integers of the language: up to &HFFFF a 16-bit one,
// above it a 32-bit one, both signed (&HFFFF is -1, &H8000 is -32768, &H10000 is 65536, &HFFFFFFFF
// is -1). A description's numbers are written in a narrower syntax of their own: &H and &O digits
// are read for their plain value (&HFFFF is 65535, &HFFFFFFFF is beyond a 32-bit value) and the
// exponent is written with E only (1D2 is 1).

#include <optional>
#include <string_view>

namespace zelvane {

enum class NumberSyntax { Val, Description };

// The number, or nullopt where the language overflows: a decimal number beyond the range of a
// double, or &H / &O digits beyond 32 bits. A decimal number too small for a double is 0.
std::optional<double> ReadLegacyNumber(std::string_view text, NumberSyntax syntax = NumberSyntax::Val);

}  // namespace zelvane
