#pragma once
// Win32 error codes as the file-system seam reports them.

#include <cstdint>

#include "platform/seams/file_system.hpp"

namespace zelvane {

FsStatus FsStatusFromWin32(std::uint32_t errorCode);
// FsStatusFromWin32(GetLastError()).
FsStatus LastFsStatus();

}  // namespace zelvane
