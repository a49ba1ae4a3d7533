#include "platform/posix/host_read.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <vector>

#include "platform/posix/host_errors.hpp"

namespace zelvane::posix {
namespace {

constexpr std::size_t kPiece = 64 * 1024;

FsStatus KindStatus(const struct stat& st) {
    if (S_ISREG(st.st_mode)) return FsStatus::Ok;
    return S_ISDIR(st.st_mode) ? FsStatus::AccessDenied : FsStatus::NotRegularFile;
}

// One read of at most size bytes; retried when interrupted. The count read, or -1 with errno.
ssize_t ReadSome(int fd, char* into, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd, into, size);
        if (n >= 0 || errno != EINTR) return n;
    }
}

}  // namespace

FsStatus OpenRegularFile(int folder, const std::string& name, Descriptor& out, struct stat& st, bool knownRegular) {
    if (!knownRegular) {
        if (::fstatat(folder, name.c_str(), &st, 0) != 0) return StatusFromErrno(errno);
        if (const FsStatus s = KindStatus(st); s != FsStatus::Ok) return s;
    }
    Descriptor fd(::openat(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.valid()) return StatusFromErrno(errno);
    if (::fstat(fd.get(), &st) != 0) return StatusFromErrno(errno);
    if (const FsStatus s = KindStatus(st); s != FsStatus::Ok) return s;
    // A regular file: reads block as usual again.
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags >= 0) ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
    out = std::move(fd);
    return FsStatus::Ok;
}

FsStatus ReadWhole(int fd, const struct stat& st, std::size_t limit, std::string& bytes) {
    if (st.st_size < 0 || static_cast<std::uintmax_t>(st.st_size) > limit) return FsStatus::TooLarge;
    std::string out;
    out.reserve(static_cast<std::size_t>(st.st_size));
    std::vector<char> piece(kPiece);
    for (;;) {
        // One byte more than the limit allows tells a file that grew past it.
        const std::size_t left = limit - out.size();
        const std::size_t wanted = left >= piece.size() ? piece.size() : left + 1;
        const ssize_t n = ReadSome(fd, piece.data(), wanted);
        if (n < 0) return StatusFromErrno(errno);
        if (n == 0) break;
        out.append(piece.data(), static_cast<std::size_t>(n));
        if (out.size() > limit) return FsStatus::TooLarge;
    }
    bytes = std::move(out);
    return FsStatus::Ok;
}

FsStatus ReadFirst(int fd, std::size_t count, std::string& bytes) {
    std::string out(count, '\0');
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = ReadSome(fd, out.data() + got, count - got);
        if (n < 0) return StatusFromErrno(errno);
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    bytes = std::move(out);
    return FsStatus::Ok;
}

FsStatus ReadHostFile(const std::string& path, std::size_t limit, std::string& bytes) {
    Descriptor fd(-1);
    struct stat st {};
    if (const FsStatus s = OpenRegularFile(AT_FDCWD, path, fd, st); s != FsStatus::Ok) return s;
    return ReadWhole(fd.get(), st, limit, bytes);
}

HostLineReader::HostLineReader(const std::string& path, std::size_t totalLimit, std::size_t lineLimit)
    : fd_(-1), totalLimit_(totalLimit), lineLimit_(lineLimit) {
    struct stat st {};
    status_ = OpenRegularFile(AT_FDCWD, path, fd_, st);
    if (status_ == FsStatus::Ok && st.st_size >= 0 && static_cast<std::uintmax_t>(st.st_size) > totalLimit) {
        status_ = FsStatus::TooLarge;
    }
    ended_ = status_ != FsStatus::Ok;
}

bool HostLineReader::Fill() {
    if (ended_) return false;
    buffer_.erase(0, at_);
    at_ = 0;
    const std::size_t left = totalLimit_ - readSoFar_;
    const std::size_t room = left >= kPiece ? kPiece : left + 1;
    const std::size_t old = buffer_.size();
    buffer_.resize(old + room);
    const ssize_t n = ReadSome(fd_.get(), buffer_.data() + old, room);
    buffer_.resize(old + static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    if (n < 0) {
        status_ = StatusFromErrno(errno);
        ended_ = true;
        return false;
    }
    if (n == 0) {
        ended_ = true;
        return false;
    }
    readSoFar_ += static_cast<std::size_t>(n);
    if (readSoFar_ > totalLimit_) {
        status_ = FsStatus::TooLarge;
        ended_ = true;
        return false;
    }
    return true;
}

std::optional<std::string> HostLineReader::Next() {
    for (;;) {
        const std::size_t end = buffer_.find('\n', at_);
        if (end != std::string::npos || (ended_ && at_ < buffer_.size() && status_ == FsStatus::Ok)) {
            const std::size_t stop = end == std::string::npos ? buffer_.size() : end;
            if (stop - at_ > lineLimit_) break;
            std::string line = buffer_.substr(at_, stop - at_);
            at_ = end == std::string::npos ? buffer_.size() : end + 1;
            if (line.ends_with('\r')) line.pop_back();
            return line;
        }
        if (buffer_.size() - at_ > lineLimit_) break;
        if (!Fill() && (status_ != FsStatus::Ok || at_ >= buffer_.size())) return std::nullopt;
    }
    status_ = FsStatus::TooLarge;
    ended_ = true;
    buffer_.clear();
    at_ = 0;
    return std::nullopt;
}

}  // namespace zelvane::posix
