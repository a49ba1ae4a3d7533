#pragma once
// A file system that passes every call on to another one and counts the calls that resolve a
// path, so that a test can tell how often a cache asks the file system where a path leads.

#include <cstdint>

#include "platform/seams/forwarding_file_system.hpp"
#include "platform/seams/fs_op.hpp"

namespace zelvane::bench {

using SeamCall = FsOp;  // the name the tests that count calls use

class CountingFileSystem final : public ForwardingFileSystem {
public:
    explicit CountingFileSystem(FileSystem& inner) : ForwardingFileSystem(inner) {}
    std::uint64_t Calls(FsOp op) const { return op == FsOp::ResolvedPath ? resolved_ : 0; }
    std::string ResolvedPath(std::string_view p) const override {
        ++resolved_;
        return inner().ResolvedPath(p);
    }

private:
    mutable std::uint64_t resolved_ = 0;
};

}  // namespace zelvane::bench
