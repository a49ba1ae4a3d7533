#pragma once
// Code page 1252, the text of every file the program reads or writes and of the core's paths, and
// its conversion to and from UTF-8, as Windows converts it (and Wine with it).
//
// 1252 -> Unicode is total: the 27 letters and signs at 0x80-0x9F are their Unicode characters,
// the five bytes 1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) are the C1 controls of the
// same number, and every other byte is the Latin-1 character of that number.
//
// Unicode -> 1252 is the inverse where one exists; a character 1252 cannot hold becomes '?',
// Windows' default character.

#include <string>
#include <string_view>

namespace zelvane {

inline constexpr char kUnmappableCharacter = '?';

char32_t UnicodeOf(unsigned char byte);
// The 1252 byte of a character; kUnmappableCharacter where 1252 has none.
char Cp1252Of(char32_t c);

std::string Cp1252ToUtf8(std::string_view cp1252);
// Each character of the UTF-8 text in 1252, and one kUnmappableCharacter for each byte that
// belongs to no UTF-8 character.
std::string Utf8ToCp1252(std::string_view utf8);

}  // namespace zelvane
