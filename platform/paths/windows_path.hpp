#pragma once
// How Windows reads a path: where it is rooted, its names once "." and ".." are applied, which
// names a file can have and which stand for devices, and whether one path lies below another.
// Text only: nothing here asks a disk. Every part of the program that reads a path (the entries of
// a description, the searches, the confining layers, the file systems, the host mapping) reads it
// here, so that they all agree.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/seams/file_system.hpp"

namespace zelvane {

// "\" and "/" both separate names.
constexpr bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// The names of a path as written, from left to right: what lies between its separators, empty
// ones (doubled separators) left out, "." and ".." kept.
std::vector<std::string_view> SplitPathNames(std::string_view text);

// A name as Windows stores it: its trailing dots and spaces cut ("a.uti. " is "a.uti").
std::string_view StoredName(std::string_view name);

// Whether Windows opens a device for this name rather than a file: CON, PRN, AUX, NUL, COM1 to
// COM9, LPT1 to LPT9, COM and LPT with the superscript digits 1, 2 and 3 of code page 1252,
// CONIN$ and CONOUT$, in any letter case, also with an extension ("nul.txt") and with spaces
// before it or trailing dots and spaces ("con .txt", "aux. ").
bool IsDeviceName(std::string_view name);

// What a name written in a path can stand for, the first that applies.
enum class NameKind {
    Plain,       // a name a file can have
    Unstorable,  // holds "<", ">", '"' (which pattern matching reads as wildcards), "|" or a control character
    Wildcard,    // holds "*" or "?"
    Stream,      // holds ":", which names a stream of a file ("x.tga:s")
    TooLong,     // more than 255 characters once stored
    Empty,       // nothing is left once trailing dots and spaces are cut ("...", " ")
    Device,      // IsDeviceName
};
NameKind KindOfName(std::string_view name);

// A path read as Windows reads it.
struct WindowsPath {
    enum class Root {
        Relative,  // "override\x.tga"
        Rooted,    // "\override\x.tga": the root of the current drive
        Drive,     // "C:\Games", and "C:Games" taken the same way
        Unc,       // "\\server\share\x": the server and the share are its first names
    };

    Root root = Root::Relative;
    std::string drive;               // "C:" (upper case) for Root::Drive, else ""
    std::vector<std::string> names;  // "." dropped and ".." applied; otherwise as written
    bool aboveRoot = false;          // a ".." found no name before it to take away (it stays at the root)
    bool trailingSeparator = false;  // a separator follows the last name written

    static WindowsPath Read(std::string_view text);

    // "C:\a\b" from the drive and the first count names (all of them by default); "C:\" without names.
    std::string Text(std::size_t count = static_cast<std::size_t>(-1)) const;
};

// Whether path lies below folder: the same root, then folder's names, compared as stored and
// without regard to letter case, followed by at least one more name. A folder that names nothing
// (an empty or a relative path without names) holds nothing.
bool IsBelow(const WindowsPath& path, const WindowsPath& folder);
bool IsPathBelow(std::string_view path, std::string_view folder);
// The same, or path names folder itself.
bool IsAtOrBelow(const WindowsPath& path, const WindowsPath& folder);
bool IsPathAtOrBelow(std::string_view path, std::string_view folder);

// A path as a file system takes it: on a drive ("C:\x"; PathNotFound without one, BadName for a
// drive that is no letter), every name one a file can have (BadName otherwise; wildcards only in
// the last name, and only when allowWildcards), stored without its trailing dots and spaces but
// for a pattern's own ("*." lists the names without an extension).
FsStatus ReadDrivePath(std::string_view text, bool allowWildcards, WindowsPath& out);

}  // namespace zelvane
