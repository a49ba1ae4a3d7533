#pragma once
// UTF-8, the text of the host: names on disk, the terminal, answers typed by the player.

#include <cstddef>
#include <string>
#include <string_view>

namespace zelvane {

// What stands for a character that cannot be shown as it is.
inline constexpr char32_t kReplacementCharacter = U'\uFFFD';

// Appends one character as UTF-8. A value that is no character (a surrogate, or past U+10FFFF) is
// appended as kReplacementCharacter, so that the text stays UTF-8.
void AppendUtf8(std::string& out, char32_t c);

// Decodes the character at `at` into `out` and answers its length in bytes; 0 when the bytes there
// are no UTF-8 (a stray or missing continuation byte, an overlong form, a surrogate, a value past
// U+10FFFF).
std::size_t DecodeUtf8(std::string_view text, std::size_t at, char32_t& out);

// Whether every byte of the text belongs to a UTF-8 character.
bool IsUtf8(std::string_view text);
// Whether the text is UTF-8 and holds a character past ASCII (a host name as it stands).
bool IsNonAsciiUtf8(std::string_view text);

}  // namespace zelvane
