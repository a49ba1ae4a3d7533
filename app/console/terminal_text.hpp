#pragma once
// Text on its way to the terminal. A name on disk, a line of a description or an answer may hold
// control characters; a terminal takes them as commands (ESC and U+009B begin escape sequences,
// BEL rings), so none of them reaches it: every name the console prints passes through here.

#include <string>
#include <string_view>

namespace zelvane::console {

// The C0 controls but the tab, DEL and the C1 controls (U+0080 to U+009F).
bool IsTerminalControl(char32_t c);

// The character the terminal shows for a code page 1252 byte: its Unicode character, except that
// the five bytes 1252 leaves undefined, which convert to C1 controls, show as U+FFFD.
char32_t TerminalCharacterOf(unsigned char byte);
// A text of the core (code page 1252) in UTF-8, each byte as TerminalCharacterOf gives it.
std::string TerminalUtf8(std::string_view cp1252);

// A host text (UTF-8: a name on disk, an answer as typed) on one terminal line: control characters
// and tabs dropped, and each byte that is no UTF-8 shown as U+FFFD, so that no lone byte
// 0x80-0x9F reaches the terminal either.
std::string HostTerminalLine(std::string_view utf8);

// A text of the core (code page 1252) on one terminal line, as UTF-8, cleaned as above.
std::string TerminalLine(std::string_view cp1252);

}  // namespace zelvane::console
