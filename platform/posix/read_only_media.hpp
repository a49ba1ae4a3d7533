#pragma once
// Whether a folder lies on a file system mounted read-only: a Windows partition that Windows left
// hibernated (ntfs-3g then mounts it read-only), a CD, a remount with -o ro. Nothing can be
// changed there, whatever the files' own permissions say.

#include <string>

namespace zelvane::posix {

// False also when the folder cannot be looked at (it is then reported where it is used).
bool OnReadOnlyMedia(const std::string& hostFolder);

}  // namespace zelvane::posix
