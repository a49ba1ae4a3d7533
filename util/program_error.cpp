#include "util/program_error.hpp"

#include <new>

namespace zelvane {

ProgramError InvalidArgumentError() { return {5, "Invalid procedure call or argument"}; }
ProgramError OverflowError() { return {6, "Overflow"}; }
ProgramError SubscriptError() { return {9, "Subscript out of range"}; }
ProgramError TypeMismatchError() { return {13, "Type mismatch"}; }
ProgramError OutOfMemoryError() { return {7, "Out of memory"}; }

ProgramError FailureOf(const std::exception& failure) {
    if (const auto* own = dynamic_cast<const ProgramError*>(&failure)) return *own;
    if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) return OutOfMemoryError();
    return {51, "Internal error"};
}

ProgramError FileSystemError(FsStatus status) {
    switch (status) {
        case FsStatus::Ok: break;
        case FsStatus::FileNotFound: return {53, "File not found"};
        case FsStatus::PathNotFound: return {76, "Path not found"};
        case FsStatus::AccessDenied: return {75, "Path/File access error"};
        case FsStatus::AlreadyExists: return {58, "File already exists"};
        case FsStatus::SharingViolation: return {70, "Permission denied"};
        case FsStatus::WriteProtected: return {71, "Disk is write-protected"};
        case FsStatus::DiskFull: return {61, "Disk full"};
        case FsStatus::NotSameDevice: return {74, "Can't rename with different drive"};
        case FsStatus::BadName: return {52, "Bad file name or number"};
        case FsStatus::IoError: return {57, "Device I/O error"};
        case FsStatus::OutsideRoots: return {75, "Refused (outside the game and program folders)"};
        case FsStatus::NotRegularFile: return {75, "Not a regular file (a pipe, a socket or a device)"};
        case FsStatus::TooLarge: return {75, "File too large"};
        case FsStatus::ProgramOwnFile: return {75, "Refused (one of this program's own files)"};
    }
    return {57, "Device I/O error"};
}

}  // namespace zelvane
