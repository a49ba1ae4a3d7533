#pragma once
// A file system that passes every call on to an in-memory one, whose counts of calls it gives, so
// that a test can tell how often a cache asks the file system where a path leads.

#include <cstdint>

#include "platform/memory/memory_file_system.hpp"
#include "platform/seams/forwarding_file_system.hpp"

namespace zelvane::bench {

using SeamCall = FsOp;  // the name the tests that count calls use

class CountingFileSystem final : public ForwardingFileSystem {
public:
    explicit CountingFileSystem(MemoryFileSystem& inner) : ForwardingFileSystem(inner), memory_(inner) {}
    std::uint64_t Calls(FsOp op) const { return memory_.CallCount(op); }

private:
    const MemoryFileSystem& memory_;
};

}  // namespace zelvane::bench
