#pragma once
// zelvane-console --check: the description checked for its author; nothing is changed.

#include <functional>
#include <ostream>
#include <string_view>

#include "app/console/console_options.hpp"
#include "app/console/program_folder.hpp"
#include "description/description_check.hpp"
#include "platform/seams/file_system.hpp"

namespace zelvane::console {

// Where the diagnostics name the description: the host path of a Windows path, with the names as
// they lie on disk.
using HostPathOf = std::function<std::string(std::string_view)>;

// Prints every diagnostic and the summary line; the exit status (0 clean, 1 errors, 2 warnings).
// Only reads through `fs`, a const seam: the check cannot change a file.
int RunCheck(const ConsoleOptions& options, const FileSystem& fs, const HostPathOf& hostPathOf,
             const ProgramFolder& folder, std::ostream& out);

// After start-up ended in the INI-error state: the check's first error, and how to see them all.
void PrintFirstCheckError(const FileSystem& fs, const HostPathOf& hostPathOf, const ProgramFolder& folder,
                          std::ostream& out);

}  // namespace zelvane::console
