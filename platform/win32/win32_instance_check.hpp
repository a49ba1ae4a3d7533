#pragma once
// Single instance on Windows: a named mutex derived from the executable's path, or from the path
// of the program it stands for.

#include <string>
#include <string_view>

#include "platform/seams/instance.hpp"

namespace zelvane {

class Win32InstanceCheck final : public InstanceCheck {
public:
    Win32InstanceCheck() = default;
    // The instance of the program at that path (another front end of the same program folder
    // counts as the program itself).
    explicit Win32InstanceCheck(std::string programPath) : programPath_(std::move(programPath)) {}
    ~Win32InstanceCheck() override;
    Win32InstanceCheck(const Win32InstanceCheck&) = delete;
    Win32InstanceCheck& operator=(const Win32InstanceCheck&) = delete;

    // Creates the mutex on the first call and keeps it for the object's lifetime.
    bool AnotherInstanceRunning() override;

private:
    std::string programPath_;  // "": this executable's path
    void* mutex_ = nullptr;
    bool another_ = false;
};

// The mutex name for an executable path: case-folded, backslashes replaced (not allowed in names).
std::string InstanceMutexName(std::string_view executablePath);

}  // namespace zelvane
