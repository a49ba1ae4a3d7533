#include "platform/win32/win32_errors.hpp"

#include <windows.h>

namespace zelvane {

FsStatus FsStatusFromWin32(std::uint32_t errorCode) {
    switch (errorCode) {
        case ERROR_SUCCESS: return FsStatus::Ok;
        case ERROR_FILE_NOT_FOUND: return FsStatus::FileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_NOT_READY: return FsStatus::PathNotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_CURRENT_DIRECTORY:
        case ERROR_DIR_NOT_EMPTY:
        case ERROR_CANNOT_MAKE: return FsStatus::AccessDenied;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return FsStatus::AlreadyExists;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: return FsStatus::SharingViolation;
        case ERROR_WRITE_PROTECT: return FsStatus::WriteProtected;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return FsStatus::DiskFull;
        case ERROR_NOT_SAME_DEVICE: return FsStatus::NotSameDevice;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_INVALID_PARAMETER:
        case ERROR_DIRECTORY: return FsStatus::BadName;
        default: return FsStatus::IoError;
    }
}

FsStatus LastFsStatus() { return FsStatusFromWin32(GetLastError()); }

}  // namespace zelvane
