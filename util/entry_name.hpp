#pragma once
// What a path from the description names once it is joined to the game folder, read as Windows
// reads it: the removal run acts on this reading, and the check of a description reports it.

#include <string>
#include <string_view>

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

}  // namespace zelvane
