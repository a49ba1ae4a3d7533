#pragma once
// zelvane-console --check: the description checked for its author; nothing is changed.

#include <optional>
#include <ostream>

#include "app/console/console_options.hpp"
#include "app/console/program_folder.hpp"
#include "description/description_check.hpp"

namespace zelvane::console {

// Prints every diagnostic and the summary line; the exit status (0 clean, 1 errors, 2 warnings).
int RunCheck(const ConsoleOptions& options, const ProgramFolder& folder, std::ostream& out);

// After start-up ended in the INI-error state: the check's first error, and how to see them all.
void PrintFirstCheckError(const ProgramFolder& folder, std::ostream& out);

}  // namespace zelvane::console
