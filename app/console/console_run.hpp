#pragma once
// The flow of zelvane-console, the same on every system: start-up, the usage guide or the removal
// run, a dry run's report, the summary after a run. The system's main gives it its files,
// registry and instance check, and the few things only it knows.

#include <exception>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "app/console/console_options.hpp"
#include "app/console/program_folder.hpp"
#include "platform/seams/file_system.hpp"
#include "platform/seams/instance.hpp"
#include "platform/seams/registry.hpp"

namespace zelvane::console {

struct ConsoleSystem {
    FileSystem& disk;
    const Registry& registry;
    std::string registryError;  // why the registry could not be read ("" when it could)
    ProgramFolder programFolder;
    // The host path of a Windows path, with the names as they lie on disk ("" when it is missing).
    std::function<std::string(std::string_view)> hostPathOf;
    // Takes the program folder for this run (a dry run only looks whether another run holds it),
    // saying on `err` when it cannot be taken at all.
    std::function<std::unique_ptr<InstanceCheck>(bool dryRun, std::ostream& err)> holdProgramFolder;
    // True, with the reason printed on `err`, when a folder the run must change (role: "program
    // folder", "game folder"; a host path) cannot be changed: the run stops before anything else.
    std::function<bool(std::string_view role, const std::string& hostFolder, std::ostream& err)> stopForFolder;
};

// The exit status of a run.
int RunConsole(const ConsoleOptions& options, ConsoleSystem& system);

// A failure that nothing in the run caught, reported on `err` ("zelvane-console: error N:
// description" for the program's own errors, the failure's own text for any other); the exit
// status that follows it.
int ReportUncaught(const std::exception& failure, std::ostream& err);

}  // namespace zelvane::console
