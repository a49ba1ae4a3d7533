#pragma once
// Host file descriptors owned by the program: one that is closed when it goes out of scope, a
// folder held open with its identity, and how many folders this process may hold open at once.

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <utility>

namespace zelvane::posix {

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor();
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports a failing close (a late write error).
    int Close();

private:
    int fd_;
};

// A folder held open (O_PATH), with its identity on the host.
struct HostFolder {
    std::shared_ptr<const Descriptor> fd;
    dev_t dev = 0;
    ino_t ino = 0;

    int get() const { return fd ? fd->get() : -1; }
    bool valid() const { return fd && fd->valid(); }
    bool SameAs(const HostFolder& other) const { return dev == other.dev && ino == other.ino; }
};

// Raises the process's soft limit of open files to its hard limit, as far as 65,536, so that a
// run over a large tree can hold its folders open. The console does it once, when it starts.
void RaiseOpenFileLimit();

// How many folders to hold open by path at most: a quarter of the files the process may have
// open now, from 256 to 16,384.
std::size_t HeldFoldersAllowed();

}  // namespace zelvane::posix
