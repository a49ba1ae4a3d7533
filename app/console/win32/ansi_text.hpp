#pragma once
// Windows paths are in the ANSI code page; the terminal and the answers files of zelvane-console
// are in UTF-8.

#include <string>
#include <string_view>

namespace zelvane::console {

// A UTF-8 text (a host path, an answers file saved by Notepad) in the ANSI code page; a text that
// is no UTF-8 (an argument of the command line) is taken as ANSI already.
std::string AnsiOf(std::string_view text);

// An ANSI text (a path of the system) in UTF-8.
std::string Utf8Of(std::string_view ansi);

}  // namespace zelvane::console
