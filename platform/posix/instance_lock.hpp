#pragma once
// The single-instance check on POSIX: an exclusive flock on a lock file named after the program
// folder (in $XDG_RUNTIME_DIR, else /tmp), held for the object's lifetime. The holder removes the
// file when it ends; a holder that was killed leaves the file behind but not its lock (the system
// drops the flock with the process), so it blocks no later start, and that start removes it.

#include <string>

#include "platform/seams/instance.hpp"

namespace zelvane {

class PosixInstanceCheck final : public InstanceCheck {
public:
    PosixInstanceCheck();  // for the folder of the running executable
    explicit PosixInstanceCheck(const std::string& programFolder);
    // Only looks whether another instance holds the lock: no lock file is made (a dry run).
    static PosixInstanceCheck Probe(const std::string& programFolder);
    ~PosixInstanceCheck() override;
    PosixInstanceCheck(const PosixInstanceCheck&) = delete;
    PosixInstanceCheck& operator=(const PosixInstanceCheck&) = delete;

    bool AnotherInstanceRunning() override;

    // Where the lock of a program folder lives.
    static std::string LockFilePath(const std::string& programFolder);

    PosixInstanceCheck(PosixInstanceCheck&& other) noexcept;

private:
    struct ProbeOnly {};
    PosixInstanceCheck(const std::string& programFolder, ProbeOnly);
    int fd_ = -1;
    std::string path_;  // the lock file, while fd_ holds its lock
    bool otherHolder_ = false;
};

}  // namespace zelvane
