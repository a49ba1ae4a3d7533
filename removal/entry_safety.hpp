#pragma once
// Whether a path from the description stays inside the game folder, and the reason a refused
// entry gives.

#include <string>
#include <string_view>

#include "platform/seams/file_system.hpp"
#include "util/entry_name.hpp"

namespace zelvane {

// The reason in a refusal line: "Refused (outside the game folder)" for Outside (and for links
// that lead out), "Refused (not a plain file name)" for NotPlainName.
std::string_view RefusalText(EntryKind kind);

// True when path, with every link on the way followed, still lies below the game folder with its
// own links followed: a link inside the game folder that leads out of it does not count as inside.
// The phases ask it before a prompt, to refuse such an entry without asking; the file system is
// the authority and checks every change again at the moment it is made (SetRoots).
bool ResolvesInsideGameFolder(const FileSystem& fs, std::string_view gameFolder, std::string_view path);

}  // namespace zelvane
