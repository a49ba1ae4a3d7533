#pragma once
// What a path from the description names once it is joined to the game folder, read as Windows
// reads it, and whether a path stays inside the game folder.

#include <string>
#include <string_view>

#include "platform/seams/file_system.hpp"

namespace zelvane {

enum class EntryKind {
    File,          // a plain file name below the game folder
    NoSuchFile,    // wildcards, characters no stored name carries, or no name at all: names no file
    NotPlainName,  // a device name (CON, NUL, COM1 ...) or a stream ("x.tga:s")
    Outside,       // ".." above the game folder, or a drive ("C:\x", "C:x")
};

struct EntryName {
    EntryKind kind = EntryKind::NoSuchFile;
    // For File: the entry as Windows resolves it below the game folder, components joined by "\":
    // "/" separates, empty and "." components drop out, ".." goes up, trailing dots and spaces of
    // every component are cut ("override\a.uti " is "override\a.uti").
    std::string relative;
};

// Reads an entry (a file-list line, a queued delete or restore) as the path game folder + "\" +
// entry. A leading "\" or "\\" only doubles the separator there, so it stays inside.
EntryName ResolveEntry(std::string_view entry);

// The reason in a refusal line: "Refused (outside the game folder)" for Outside (and for links
// that lead out), "Refused (not a plain file name)" for NotPlainName.
std::string_view RefusalText(EntryKind kind);

// True when path lies below folder: folder's components, compared without regard to letter case,
// followed by at least one more ("C:\Games\Kotor2\x" is not below "C:\Games\Kotor"). Both are
// read as Windows reads them: "\" and "/" separate, "." is dropped and ".." goes up. An empty
// path or folder is below nothing.
bool IsPathBelowFolder(std::string_view path, std::string_view folder);

// True when path, with every link on the way followed, still lies below the game folder with its
// own links followed: a link inside the game folder that leads out of it does not count as inside.
// The phases ask it before a prompt, to refuse such an entry without asking; the file system is
// the authority and checks every change again at the moment it is made (SetRoots).
bool ResolvesInsideGameFolder(const FileSystem& fs, std::string_view gameFolder, std::string_view path);

}  // namespace zelvane
