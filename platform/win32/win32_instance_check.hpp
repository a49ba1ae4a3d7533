#pragma once
// Single instance on Windows: a named mutex derived from the executable's path.

#include <string>
#include <string_view>

#include "platform/seams/instance.hpp"

namespace zelvane {

class Win32InstanceCheck final : public InstanceCheck {
public:
    Win32InstanceCheck() = default;
    ~Win32InstanceCheck() override;
    Win32InstanceCheck(const Win32InstanceCheck&) = delete;
    Win32InstanceCheck& operator=(const Win32InstanceCheck&) = delete;

    // Creates the mutex on the first call and keeps it for the object's lifetime.
    bool AnotherInstanceRunning() override;

private:
    void* mutex_ = nullptr;
    bool another_ = false;
};

// The mutex name for an executable path: case-folded, backslashes replaced (not allowed in names).
std::string InstanceMutexName(std::string_view executablePath);

}  // namespace zelvane
