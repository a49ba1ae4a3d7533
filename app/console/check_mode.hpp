#pragma once
// zelvane-console --check: the description checked for its author; nothing is changed.

#include <ostream>

#include "app/console/console_options.hpp"

namespace zelvane::console {

// Prints every diagnostic and the summary line; the exit status (0 clean, 1 errors, 2 warnings).
int RunCheck(const ConsoleOptions& options, const std::string& hostProgramFolder, std::ostream& out);

}  // namespace zelvane::console
