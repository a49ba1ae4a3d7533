#include "platform/posix/instance_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/posix/host_read.hpp"

namespace zelvane {
namespace {

using posix::HostLineReader;

// The kernel's lists read here are small; these bounds only keep a read from running on.
constexpr std::size_t kProcFileLimit = 16 * 1024 * 1024;
constexpr std::size_t kProcLineLimit = 64 * 1024;

// The processes that hold a flock on the folder, from the kernel's list of locks ("1: FLOCK
// ADVISORY WRITE <pid> <major>:<minor>:<inode> 0 EOF"; waiters are marked "->").
std::vector<long> FlockHolders(const struct stat& folder) {
    std::vector<long> pids;
    HostLineReader locks("/proc/locks", kProcFileLimit, kProcLineLimit);
    char key[64];
    std::snprintf(key, sizeof key, "%02x:%02x:%llu", major(folder.st_dev), minor(folder.st_dev),
                  static_cast<unsigned long long>(folder.st_ino));
    while (const std::optional<std::string> line = locks.Next()) {
        std::istringstream fields(*line);
        std::string number, kind, advisory, access, device;
        long pid = 0;
        if (!(fields >> number >> kind >> advisory >> access >> pid >> device)) continue;  // "->" lines too
        if (kind == "FLOCK" && device == key) pids.push_back(pid);
    }
    // A list not read to its end may lack a holder that counts: then none is known.
    if (locks.Status() != FsStatus::Ok) pids.clear();
    return pids;
}

struct Credentials {
    uid_t user = 0;
    gid_t group = 0;
    std::vector<gid_t> groups;
};

// The effective user and groups of a process, from /proc/PID/status.
std::optional<Credentials> CredentialsOf(long pid) {
    HostLineReader status("/proc/" + std::to_string(pid) + "/status", kProcFileLimit, kProcLineLimit);
    Credentials c;
    bool user = false;
    bool group = false;
    while (const std::optional<std::string> next = status.Next()) {
        const std::string& line = *next;
        std::istringstream fields(line.substr(line.find(':') + 1));
        unsigned long real = 0;
        unsigned long effective = 0;
        if (line.starts_with("Uid:") && (fields >> real >> effective)) {
            c.user = static_cast<uid_t>(effective);
            user = true;
        } else if (line.starts_with("Gid:") && (fields >> real >> effective)) {
            c.group = static_cast<gid_t>(effective);
            group = true;
        } else if (line.starts_with("Groups:")) {
            for (unsigned long g = 0; fields >> g;) c.groups.push_back(static_cast<gid_t>(g));
        }
    }
    if (!user || !group) return std::nullopt;
    return c;
}

// Whether the holder could change the folder: root, its owner, this run's user, or a user its mode
// lets write. Only they could run a removal in it.
bool MayChange(const Credentials& holder, const struct stat& folder) {
    if (holder.user == 0 || holder.user == folder.st_uid || holder.user == ::geteuid()) return true;
    if ((folder.st_mode & S_IWOTH) != 0) return true;
    if ((folder.st_mode & S_IWGRP) == 0) return false;
    if (holder.group == folder.st_gid) return true;
    for (const gid_t g : holder.groups) {
        if (g == folder.st_gid) return true;
    }
    return false;
}

// The user of a holder that cannot change the folder, when every holder is such a one: its lock
// is no other run of the folder, only a squatter's, and is not obeyed. Where a holder is not known
// for sure (its process gone or out of sight), the lock is obeyed.
std::optional<uid_t> SquattingUser(int fd) {
    struct stat folder {};
    if (::fstat(fd, &folder) != 0) return std::nullopt;
    const std::vector<long> holders = FlockHolders(folder);
    if (holders.empty()) return std::nullopt;
    std::optional<uid_t> squatter;
    for (const long pid : holders) {
        const std::optional<Credentials> holder = pid > 0 ? CredentialsOf(pid) : std::nullopt;
        if (!holder || MayChange(*holder, folder)) return std::nullopt;
        squatter = holder->user;
    }
    return squatter;
}

}  // namespace

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
        if (const std::optional<uid_t> squatter = SquattingUser(fd)) {
            unavailable_ = "held by user " + std::to_string(*squatter) + ", who cannot change it";
        } else {
            otherHolder_ = true;
        }
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
