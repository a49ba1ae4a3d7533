#pragma once
// Names between code page 1252 (descriptions, the core's paths) and UTF-8 (host names), both ways,
// as Wine maps them.
//
// 1252 -> UTF-8 is total: the 27 letters and signs at 0x80-0x9F become their Unicode characters,
// the five bytes 1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls of
// the same number, as Windows' own conversion makes them, and every other byte is the Latin-1
// character of that number.
//
// UTF-8 -> 1252 is the inverse where one exists. A character 1252 cannot hold (and each byte of a
// name that is not valid UTF-8) becomes '?', Windows' default character. '?' is a wildcard, so no
// Windows file name holds it: a host name that 1252 cannot hold shows with '?' in listings and
// can never be found under another name. A backslash in a host name (Linux allows one) becomes
// '?' as well: in a Windows path it would part the name into a folder and a name in it.

#include <cstddef>
#include <string>
#include <string_view>

namespace zelvane::posix {

inline constexpr char kUnmappableCharacter = '?';

// One character: the Unicode character of a 1252 byte, the 1252 byte of a character (or
// kUnmappableCharacter), and a character appended to UTF-8 text.
char32_t UnicodeOf(unsigned char byte);
char Cp1252Of(char32_t c);
void AppendUtf8(std::string& out, char32_t c);
// Decodes one UTF-8 character at `at`; answers its length, 0 when the bytes there are not valid
// UTF-8 (overlong forms, surrogates and values past U+10FFFF included).
std::size_t DecodeUtf8(std::string_view text, std::size_t at, char32_t& out);

std::string Cp1252ToUtf8(std::string_view text);
std::string Utf8ToCp1252(std::string_view text);

// A host name in a path handed to Windows code: its 1252 form when 1252 holds every character
// of it, else (valid UTF-8) its bytes as they stand. Such a path stays usable, as a name that is
// not found as 1252 but is valid UTF-8 is looked up as it stands; a listing still shows the name
// with '?'. Bytes that are no UTF-8 keep their '?': read as 1252 they would name another entry.
std::string WindowsNameOf(std::string_view hostName);

// Whether the text holds bytes above 127 that all form valid UTF-8 (a host name as it stands).
bool IsNonAsciiUtf8(std::string_view text);

}  // namespace zelvane::posix
