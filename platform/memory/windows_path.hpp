#pragma once
// Parsing of Windows path strings shared by the non-Windows file systems: drive, components, normalisation.

#include <string>
#include <string_view>
#include <vector>

#include "platform/seams/file_system.hpp"

namespace zelvane::winpath {

struct ParsedPath {
    std::string drive;               // "C:" (upper case)
    std::vector<std::string> parts;  // components after the root, as given
    bool trailingSeparator = false;  // the path ended with "\" or "/"
};

// Splits a path such as "C:\Games\.\Kotor\..\x.tga" into its drive and normalised components.
// Both "\" and "/" separate; runs of separators count as one; "." is dropped and ".." removes
// the previous component (staying at the root); trailing dots and spaces of a component are
// dropped as Windows does. Wildcards are allowed in the last component only when allowWildcards.
// Fails with PathNotFound for an empty or relative path and BadName for unusable names.
FsStatus ParsePath(std::string_view path, bool allowWildcards, ParsedPath& out);

// "C:\a\b" from a drive and components.
std::string JoinPath(const std::string& drive, const std::vector<std::string>& parts);

}  // namespace zelvane::winpath
