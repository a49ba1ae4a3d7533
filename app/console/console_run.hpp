#pragma once
// The flow of zelvane-console, the same on every system: start-up, the usage guide or the removal
// run, a dry run's report. The system's main gives it its files, registry and instance check.

#include <functional>
#include <string>
#include <string_view>

#include "app/console/console_options.hpp"
#include "platform/seams/file_system.hpp"
#include "platform/seams/instance.hpp"
#include "platform/seams/registry.hpp"

namespace zelvane::console {

struct ConsoleSystem {
    FileSystem& disk;
    const Registry& registry;
    std::string registryError;  // why the registry could not be read ("" when it could)
    InstanceCheck& instance;
    std::string programFolder;  // the core's Windows form
    // The file a Windows path names, as the player finds it on this system ("" when missing).
    std::function<std::string(std::string_view)> hostPathOf;
};

// The exit status of a run.
int RunConsole(const ConsoleOptions& options, ConsoleSystem& system);

}  // namespace zelvane::console
