#pragma once
// Where a change of the Windows file system lands, told by handle at the moment it is made.
//
// The folder that is to hold the change is opened (and kept open, so that it cannot be renamed or
// removed meanwhile) and its final path is asked of the system: every junction and link on the way
// is then followed by the system itself. A link as last component is followed too when the change
// goes through it (a write, a copy onto it, new attributes). The change is then made on that final
// path, not on the path as given, so that a folder on the way swapped for a link after the check
// cannot lead it elsewhere. Systems before Vista have no GetFinalPathNameByHandleA: there the path
// is checked as ResolvedPath resolves it, and used as given.

#include <string>
#include <vector>

#include "platform/seams/file_system.hpp"
#include "platform/win32/win32_file_handle.hpp"

namespace zelvane {

// Whether the system can tell the final path of a handle.
bool HasFinalPaths();

// The final path of an open handle, without the "\\?\" prefix; "" when the system cannot tell.
std::string FinalPathOfHandle(HANDLE handle);

// The final path of an existing file or folder, links and junctions followed; "" when it cannot be
// opened. Where the system cannot tell final paths, the path itself.
std::string FinalPathOf(const std::string& path);

// A change allowed inside the roots: the path to make it on, and the handles that keep the way to
// it as it was checked until the change is made.
struct ConfinedPath {
    std::string path;
    FileHandle folder;  // the folder that holds the change
    FileHandle target;  // what a link as last component leads to, when followed
};

// Ok with where to make the change; OutsideRoots when it lands outside every root; another
// failure when the way to it cannot be opened (the change would fail the same way). No roots:
// the path as given.
// fs answers ResolvedPath where the system cannot tell final paths.
FsStatus Confine(const FileSystem& fs, const std::vector<std::string>& roots, const std::string& path,
                 bool followLastLink, ConfinedPath& out);

// Deletes one file, or a link itself rather than what it leads to, when it lies inside the roots:
// the entry is opened without following a link at its end, its own final path is checked and it
// is removed through that same handle, so nothing can be slipped in between.
FsStatus DeleteConfined(const FileSystem& fs, const std::vector<std::string>& roots, const std::string& path);

}  // namespace zelvane
