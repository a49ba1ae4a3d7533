#include "platform/posix/host_errors.hpp"

#include <cerrno>

namespace zelvane::posix {

FsStatus StatusFromErrno(int error) {
    switch (error) {
        case 0: return FsStatus::Ok;
        case ENOENT: return FsStatus::FileNotFound;
        case ENOTDIR: return FsStatus::PathNotFound;
        case EACCES:
        case EPERM:
        case EISDIR: return FsStatus::AccessDenied;
        case EEXIST:
        case ENOTEMPTY: return FsStatus::AlreadyExists;
        case EBUSY:
        case ETXTBSY: return FsStatus::SharingViolation;
        case EROFS: return FsStatus::WriteProtected;
        case ENOSPC:
        case EDQUOT: return FsStatus::DiskFull;
        case EXDEV: return FsStatus::NotSameDevice;
        case ENAMETOOLONG:
        case EINVAL:
        case ELOOP: return FsStatus::BadName;
        default: return FsStatus::IoError;
    }
}

}  // namespace zelvane::posix
