#pragma once
// zelvane-console --check: the description checked for its author; nothing is changed.

#include <ostream>

#include "app/console/console_options.hpp"
#include "platform/seams/file_system.hpp"

namespace zelvane::console {

// Prints every diagnostic and the summary line; the exit status (0 clean, 1 errors, 2 warnings).
// Only reads through `fs`, a const seam: the check cannot change a file. programFolder: the
// core's Windows form.
int RunCheck(const ConsoleOptions& options, const FileSystem& fs, const std::string& programFolder,
             std::ostream& out);

}  // namespace zelvane::console
