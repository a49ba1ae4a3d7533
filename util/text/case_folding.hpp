#pragma once
// Letter case of code page 1252 text, as Windows folds it: the ASCII letters and the 1252 letters
// with a case partner (A-Z, the Latin-1 capitals 0xC0-0xDE but the multiplication sign 0xD7, and
// S caron, OE, Z caron and Y diaeresis at 0x8A, 0x8C, 0x8E, 0x9F). Every other byte, the small
// sharp s 0xDF among them, stays as it is.

#include <string>
#include <string_view>

namespace zelvane {

// Inline: names and paths are folded a character at a time on every lookup.
constexpr char LowerCase(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
    if (u < 0x8A) return c;
    if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return static_cast<char>(u + 32);
    switch (u) {
        case 0x8A: return static_cast<char>(0x9A);  // S caron
        case 0x8C: return static_cast<char>(0x9C);  // OE
        case 0x8E: return static_cast<char>(0x9E);  // Z caron
        case 0x9F: return static_cast<char>(0xFF);  // Y diaeresis
        default: return c;
    }
}
std::string LowerCase(std::string_view text);
// LowerCase written into out (text.size() characters), without a string of its own.
void LowerCaseInto(std::string_view text, char* out);

// The inverse of LowerCase: the capital of a small letter that has one.
char UpperCase(char c);

}  // namespace zelvane
