#pragma once
// The single-instance seam.

namespace zelvane {

class InstanceCheck {
public:
    virtual ~InstanceCheck() = default;
    // True when another instance of this program is already running.
    virtual bool AnotherInstanceRunning() = 0;
};

}  // namespace zelvane
