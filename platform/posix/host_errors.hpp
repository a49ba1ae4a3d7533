#pragma once
// The file-system status of a failed host call.

#include "platform/seams/file_system.hpp"

namespace zelvane::posix {

// Maps errno; ENOENT is reported as FileNotFound (the caller tells a missing folder apart).
FsStatus StatusFromErrno(int error);

}  // namespace zelvane::posix
