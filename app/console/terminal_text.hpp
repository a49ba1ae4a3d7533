#pragma once
// Texts of the core (code page 1252) on one terminal line: shown as UTF-8, with every control
// character dropped, so that a path or a line of a description cannot send the terminal an
// escape sequence or break the line.

#include <string>
#include <string_view>

namespace zelvane::console {

std::string TerminalLine(std::string_view cp1252);

}  // namespace zelvane::console
