#pragma once
// The stamp of a host folder: a text that changes whenever an entry is added to the folder,
// removed from it or renamed in it, and that differs for another folder at the same path.
//
// It is the folder's device, inode, mtime and ctime in nanoseconds. Every change of the folder's
// entries sets its ctime to the current time, and userspace cannot set a ctime, so two equal
// stamps mean no change in between, provided that a later change cannot get the very time already
// read. That is where the file system's timestamp granularity matters: a folder changed in the
// same clock tick (or, on a file system that keeps whole seconds, the same second) as the stamp was
// read could change again within that tick and keep its times. So the stamp is "" (unknown: read
// the folder again) while the folder's ctime lies within that window before the clock read just
// ahead of the stat:
//   - where the kernel gives a fine-grained time to the first change after the ctime was read
//     (multigrain timestamps, Linux 6.13 and later on ext4, XFS, Btrfs and tmpfs), no window: any
//     later change shows as a later ctime;
//   - elsewhere, times with nanoseconds: the coarse clock's tick, at least 10 ms (exFAT keeps
//     10 ms); times of whole seconds: 2 seconds (FAT keeps 2 s);
//   - network and FUSE file systems stamp with the server's clock, which cannot be compared with
//     ours: always "".
// A clock set back by more than the window while the run holds stamps could hide a change; so
// could a folder removed and made again at the same path, with the same inode number, within
// one tick (its parent's stamp, which the search index checks too, still changes).

#include <sys/stat.h>
#include <sys/types.h>

#include <ctime>
#include <map>
#include <string>

namespace zelvane::posix {

// How far the times of one device can be trusted; asked of the host once per device.
enum class TimeGrain {
    FineAfterQuery,  // a change after a stat gets a later ctime than the stat read
    Coarse,          // changes within one tick of the clock may share a time
    Foreign,         // the times come from another machine's clock
};

// The grain of the file system that holds an open folder.
TimeGrain TimeGrainOf(int folderFd);

// The stamp of a folder from its state read after `now` (CLOCK_REALTIME_COARSE read before the
// stat); "" while a later change could go unseen.
std::string FolderStampOf(const struct stat& st, const struct timespec& now, TimeGrain grain);

// Caches TimeGrainOf per device.
class TimeGrains {
public:
    TimeGrain Of(dev_t device, int folderFd);
    void Forget() { grains_.clear(); }

private:
    std::map<dev_t, TimeGrain> grains_;
};

}  // namespace zelvane::posix
