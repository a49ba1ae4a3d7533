#include "platform/posix/instance_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zelvane {

PosixInstanceCheck::PosixInstanceCheck(const std::string& hostFolder, Mode mode) {
    // Read-only: every user who can run in the folder can open it so, and a lock taken on any
    // descriptor of the folder excludes every other one.
    const int fd = ::open(hostFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        unavailable_ = std::strerror(errno);
        return;
    }
    int locked = -1;
    do {
        locked = ::flock(fd, (mode == Mode::Run ? LOCK_EX : LOCK_SH) | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked == 0) {
        fd_ = fd;
        return;
    }
    if (errno == EWOULDBLOCK) {
        otherHolder_ = true;
    } else {
        unavailable_ = std::strerror(errno);
    }
    ::close(fd);
}

PosixInstanceCheck::PosixInstanceCheck(PosixInstanceCheck&& other) noexcept
    : fd_(other.fd_), otherHolder_(other.otherHolder_), unavailable_(std::move(other.unavailable_)) {
    other.fd_ = -1;
}

PosixInstanceCheck::~PosixInstanceCheck() {
    if (fd_ >= 0) ::close(fd_);
}

bool PosixInstanceCheck::AnotherInstanceRunning() { return otherHolder_; }

}  // namespace zelvane
