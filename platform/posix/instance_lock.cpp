#include "platform/posix/instance_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace zelvane {
namespace {

std::uint64_t Fnv1a(const std::string& text) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::string ExecutableFolder() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::filesystem::current_path(error).string();
    return exe.parent_path().string();
}

bool IsWritableFolder(const char* path) {
    struct stat st {};
    return path != nullptr && *path != '\0' && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode) &&
           ::access(path, W_OK) == 0;
}

}  // namespace

std::string PosixInstanceCheck::LockFilePath(const std::string& programFolder) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder = IsWritableFolder(runtime) ? runtime : "/tmp";
    char name[64];
    std::snprintf(name, sizeof name, "/zelvane-%016llx.lock", static_cast<unsigned long long>(Fnv1a(programFolder)));
    return folder + name;
}

PosixInstanceCheck::PosixInstanceCheck() : PosixInstanceCheck(ExecutableFolder()) {}

PosixInstanceCheck::PosixInstanceCheck(const std::string& programFolder) {
    const std::string path = LockFilePath(programFolder);
    // A holder removes the file as it ends, so the file locked here may already have left its
    // name between open and flock; the lock counts only on the file that still has the name.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) return;  // without a lock file nothing can be told: assume we are alone
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            otherHolder_ = errno == EWOULDBLOCK;
            ::close(fd);
            return;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino) {
            fd_ = fd;
            path_ = path;
            return;
        }
        ::close(fd);
    }
}

PosixInstanceCheck::PosixInstanceCheck(const std::string& programFolder, ProbeOnly) {
    fd_ = ::open(LockFilePath(programFolder).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return;  // no lock file: no instance has run, none runs
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        otherHolder_ = errno == EWOULDBLOCK;
        ::close(fd_);
        fd_ = -1;
    }
}

PosixInstanceCheck PosixInstanceCheck::Probe(const std::string& programFolder) {
    return PosixInstanceCheck(programFolder, ProbeOnly{});
}

PosixInstanceCheck::PosixInstanceCheck(PosixInstanceCheck&& other) noexcept
    : fd_(other.fd_), otherHolder_(other.otherHolder_) {
    other.fd_ = -1;
}

PosixInstanceCheck::~PosixInstanceCheck() {
    if (fd_ < 0) return;
    // Removed while still locked: a start that opened the old file in the meantime sees that it
    // lost its name and opens the new one.
    ::unlink(path_.c_str());
    ::close(fd_);
}

bool PosixInstanceCheck::AnotherInstanceRunning() { return otherHolder_; }

}  // namespace zelvane
