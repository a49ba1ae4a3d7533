#include "platform/posix/descriptor.hpp"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

namespace zelvane::posix {

Descriptor::~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
}

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

int Descriptor::Close() {
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc;
}

void RaiseOpenFileLimit() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return;
    const rlim_t wanted = std::min<rlim_t>(limit.rlim_max, 65536);
    if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= wanted) return;
    limit.rlim_cur = wanted;
    ::setrlimit(RLIMIT_NOFILE, &limit);
}

std::size_t HeldFoldersAllowed() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 256;
    const rlim_t quarter = limit.rlim_cur == RLIM_INFINITY ? 16384 : limit.rlim_cur / 4;
    return std::clamp<std::size_t>(static_cast<std::size_t>(quarter), 256, 16384);
}

}  // namespace zelvane::posix
