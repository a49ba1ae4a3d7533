#pragma once
// The lines of a text file written on either system: split at "\n", one "\r" before it dropped.
// A last line without "\n" counts; the end of the text after a final "\n" does not.

#include <string_view>
#include <vector>

namespace zelvane::posix {

std::vector<std::string_view> TextLines(std::string_view text);

}  // namespace zelvane::posix
