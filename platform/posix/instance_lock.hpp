#pragma once
// The single-instance check on POSIX: a flock on the program folder itself, held for the object's
// lifetime. The lock belongs to the folder's inode, not to the path that names it: a run through a
// bind mount, a link or another spelling meets the same lock, and a root run and a player's run
// exclude each other. Nothing is written: the system drops the lock when the process ends, however
// it ends (a status 3 exit, a signal, kill -9), so nothing is left behind to block the next run.
// flock on a folder works on local file systems and on FUSE mounts (ntfs-3g, exfat-fuse), where
// the kernel keeps the lock itself.
//
// Any user who may read the folder can take a flock on it. A lock held only by users who could
// not change the folder (not root, not its owner, not this run's user, and not let write by its
// mode) is no other run's and is not obeyed, so that such a user cannot block the player's runs.

#include <string>

#include "platform/seams/instance.hpp"

namespace zelvane {

class PosixInstanceCheck final : public InstanceCheck {
public:
    enum class Mode {
        Run,    // an exclusive lock: no other run or probe of the folder at the same time
        Probe,  // a shared lock (a dry run): other probes may run, a run may not
    };

    explicit PosixInstanceCheck(const std::string& hostFolder, Mode mode = Mode::Run);
    ~PosixInstanceCheck() override;
    PosixInstanceCheck(const PosixInstanceCheck&) = delete;
    PosixInstanceCheck& operator=(const PosixInstanceCheck&) = delete;
    PosixInstanceCheck(PosixInstanceCheck&& other) noexcept;
    PosixInstanceCheck& operator=(PosixInstanceCheck&&) = delete;

    // True when another run holds the folder.
    bool AnotherInstanceRunning() override;

    // Why no lock could be taken (the folder cannot be opened, its file system refuses the lock,
    // or a user who cannot change the folder holds it): "" when the lock is held or another run
    // holds it. The run then goes on unlocked.
    const std::string& Unavailable() const { return unavailable_; }

private:
    int fd_ = -1;  // the folder, while it holds the lock
    bool otherHolder_ = false;
    std::string unavailable_;
};

}  // namespace zelvane
