#pragma once
// The calls of the FileSystem seam by kind: what the in-memory file system counts, fails on
// request and reports to its mutation hook, and what the benchmark counts per listed file.

namespace zelvane {

enum class FsOp {
    GetAttributes,
    SetAttributes,
    OpenForRead,
    FileSize,
    ReadAll,
    ReadHead,
    WriteAll,
    Delete,
    Rename,
    Copy,
    CreateFolder,
    CanCreateFileIn,
    List,
    ShortPath,
    ResolvedPath,
    SameVolume,
    FolderStamp,
};

}  // namespace zelvane
