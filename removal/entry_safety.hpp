#pragma once
// Whether a path from the description stays inside the game folder.

#include <string_view>

namespace zelvane {

// True when entry, joined to the game folder, names a file below it and nothing else:
// false for "..", rooted paths ("\x", "C:\x", "\\server\share"), drive letters and streams
// (any ":"), wildcards, device names (CON, NUL, PRN, AUX, COM1-9, LPT1-9, with or without an
// extension), and components that end with a dot or a space. "/" counts as a separator.
bool IsEntryInsideGameFolder(std::string_view entry);

}  // namespace zelvane
