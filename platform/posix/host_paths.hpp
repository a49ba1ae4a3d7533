#pragma once
// Mapping of Windows paths onto the host, Wine style: "Z:\home\me" is "/home/me", other drive
// letters go through "<prefix>/dosdevices/<letter>:". Each component is found case-insensitively:
// the exact name first, else the first entry (in name order) that matches ignoring case. Windows
// names are code page 1252, host names UTF-8 (host_names.hpp).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/seams/file_system.hpp"

namespace zelvane::posix {

struct HostPath {
    // Ok when the entry exists; FileNotFound when only the last component is missing (then
    // `host` is the path the entry would get); any other status means the path is unusable.
    FsStatus status = FsStatus::Ok;
    std::string host;    // host path of the entry
    std::string drive;   // "C:" or "" for the root of a plain POSIX path
    std::string name;    // last component as found on the host, UTF-8 ("" for a root)
    std::string given;   // last component as the Windows path spells it
    bool isRoot = false;
    bool pattern = false;  // the last component is a wildcard pattern
};

// prefix is the Wine prefix folder (no trailing slash). allowWildcards lets the last component
// hold '*' and '?' (it is then not resolved: `host` is the folder and `name` the pattern).
HostPath ResolveHostPath(std::string_view windowsPath, const std::string& prefix, bool allowWildcards = false);

// The Wine prefix from $WINEPREFIX, else ~/.wine.
std::string DefaultWinePrefix();

// The non-empty components of a host path.
std::vector<std::string> HostComponents(std::string_view host);
// Appends one component to a host path, "." and ".." taken lexically.
void AppendComponent(std::string& resolved, const std::string& part);
// An absolute host path with every link on the way followed, component by component; from the
// first component that does not exist on, the rest is appended as it stands. A dangling link
// counts as its target. nullopt when the links go round in a circle or cannot be read.
std::optional<std::string> FollowHostLinks(std::string_view host);
// Whether a host folder holds a path (or is it).
bool IsHostPrefix(std::string_view root, std::string_view path);

}  // namespace zelvane::posix
