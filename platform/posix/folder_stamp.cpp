#include "platform/posix/folder_stamp.hpp"

#include <sys/utsname.h>
#include <sys/vfs.h>

#include <cstdint>
#include <cstdio>

namespace zelvane::posix {
namespace {

constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
constexpr std::int64_t kMinFineWindow = 10'000'000;  // 10 ms
constexpr std::int64_t kWholeSecondWindow = 2 * kNanosecondsPerSecond;

// File system magic numbers (statfs f_type).
constexpr unsigned long kExt4 = 0xEF53;
constexpr unsigned long kXfs = 0x58465342;
constexpr unsigned long kBtrfs = 0x9123683E;
constexpr unsigned long kTmpfs = 0x01021994;
constexpr unsigned long kForeign[] = {
    0x6969,      // NFS
    0x517B,      // SMB
    0xFF534D42,  // CIFS
    0xFE534D42,  // SMB2
    0x65735546,  // FUSE
    0x01021997,  // 9P
    0x00C36400,  // Ceph
    0x5346414F,  // AFS
};

std::int64_t Nanoseconds(const struct timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * kNanosecondsPerSecond + t.tv_nsec;
}

// Multigrain timestamps came with Linux 6.13.
bool KernelHasMultigrainTimes() {
    static const bool has = [] {
        struct utsname name {};
        if (::uname(&name) != 0) return false;
        int major = 0;
        int minor = 0;
        if (std::sscanf(name.release, "%d.%d", &major, &minor) != 2) return false;
        return major > 6 || (major == 6 && minor >= 13);
    }();
    return has;
}

}  // namespace

TimeGrain TimeGrainOf(int folderFd) {
    struct statfs fs {};
    if (::fstatfs(folderFd, &fs) != 0) return TimeGrain::Foreign;  // unknown: trust nothing
    const auto type = static_cast<unsigned long>(fs.f_type) & 0xFFFFFFFFul;
    for (const unsigned long foreign : kForeign) {
        if (type == foreign) return TimeGrain::Foreign;
    }
    const bool multigrain = type == kExt4 || type == kXfs || type == kBtrfs || type == kTmpfs;
    return multigrain && KernelHasMultigrainTimes() ? TimeGrain::FineAfterQuery : TimeGrain::Coarse;
}

std::string FolderStampOf(const struct stat& st, const struct timespec& now, TimeGrain grain) {
    if (grain == TimeGrain::Foreign || !S_ISDIR(st.st_mode)) return {};
    const std::int64_t ctime = Nanoseconds(st.st_ctim);
    const std::int64_t mtime = Nanoseconds(st.st_mtim);
    if (grain == TimeGrain::Coarse) {
        std::int64_t window = kWholeSecondWindow;
        if (st.st_ctim.tv_nsec != 0 || st.st_mtim.tv_nsec != 0) {
            struct timespec tick {};
            window = kMinFineWindow;
            if (::clock_getres(CLOCK_REALTIME_COARSE, &tick) == 0 && Nanoseconds(tick) > window)
                window = Nanoseconds(tick);
        }
        if (ctime + window > Nanoseconds(now)) return {};
    }
    return std::to_string(st.st_dev) + ':' + std::to_string(st.st_ino) + ':' + std::to_string(mtime) + ':' +
           std::to_string(ctime);
}

TimeGrain TimeGrains::Of(dev_t device, int folderFd) {
    if (const auto it = grains_.find(device); it != grains_.end()) return it->second;
    const TimeGrain grain = TimeGrainOf(folderFd);
    grains_.emplace(device, grain);
    return grain;
}

}  // namespace zelvane::posix
