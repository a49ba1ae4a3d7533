#pragma once
// Letter case of code page 1252 text, as Windows folds it: the ASCII letters and the 1252 letters
// with a case partner (A-Z, the Latin-1 capitals 0xC0-0xDE but the multiplication sign 0xD7, and
// S caron, OE, Z caron and Y diaeresis at 0x8A, 0x8C, 0x8E, 0x9F). Every other byte, the small
// sharp s 0xDF among them, stays as it is.

#include <string>
#include <string_view>

namespace zelvane {

char LowerCase(char c);
std::string LowerCase(std::string_view text);
// LowerCase written into out (text.size() characters), without a string of its own.
void LowerCaseInto(std::string_view text, char* out);

// The inverse of LowerCase: the capital of a small letter that has one.
char UpperCase(char c);

}  // namespace zelvane
