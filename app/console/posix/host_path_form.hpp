#pragma once
// Host paths and their Windows form for the core: the host's root is drive Z:, as under Wine
// ("/home/me/mod" is "Z:\home\me\mod"). Host names are UTF-8, the core's names code page 1252:
// each name is handed over in 1252. A name 1252 cannot hold (a Cyrillic user name) is handed
// over as its UTF-8 bytes, which the file-system seam finds as they stand; the run works there,
// and the log shows those bytes read as 1252.

#include <string>
#include <string_view>

namespace zelvane::console {

// The path made absolute against the current folder, with repeated and trailing slashes removed
// ("/" stays "/"). "." and ".." components are resolved textually.
std::string AbsoluteHostPath(std::string_view path);

// "Z:" + the absolute host path with "\" separators, no trailing backslash ("/" gives "Z:\").
std::string HostToWindowsPath(std::string_view hostPath);

// True for "C:\..." or "C:/..." forms (a drive letter and a colon).
bool IsWindowsForm(std::string_view path);

// A path typed by the user (UTF-8), in either form, as the core's Windows path ("/" separators of
// a Windows form become "\"), each name as posix::WindowsNameOf gives it.
std::string UserPathToWindows(std::string_view path);

// A path typed by the player with "~" or "~/..." at its start given on $HOME, as a shell does;
// any other path (and "~" without a $HOME) as it stands.
std::string ExpandHome(std::string_view path);

// The folder part of a host file path ("/a/b/c" gives "/a/b"; "/c" gives "/").
std::string HostFolderOf(std::string_view hostFile);

}  // namespace zelvane::console
