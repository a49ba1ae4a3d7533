#pragma once
// What one file operation of a removal run came to. The status travels to where the line is
// written; the text the log shows for a failure ("Error: 53  File not found") is made there, once.

#include "platform/seams/file_system.hpp"
#include "util/program_error.hpp"

namespace zelvane {

struct FileResult {
    FsStatus status = FsStatus::Ok;

    bool Succeeded() const { return status == FsStatus::Ok; }
    // What the operation adds to the run's failure count: 0 after success, 1 after a failure.
    int Failures() const { return Succeeded() ? 0 : 1; }
    // The number and description the error handlers give this failure.
    ProgramError Error() const { return FileSystemError(status); }
};

}  // namespace zelvane
