#pragma once
// Letting the window thread process its pending messages once, and the "Oops!" report of an
// unexpected failure inside the window code.

#include <exception>
#include <string_view>

#include "util/program_error.hpp"

namespace zelvane::win32 {

// Dispatches every pending message of the thread; a quit request is left for the main loop.
void DoEvents();

// The shared error report, owned by the active window of the program.
void ReportError(const ProgramError& error, std::string_view location);

// The error report of an unexpected failure caught where it must go no further (a window
// procedure, a seam).
void ReportFailure(const std::exception& failure, std::string_view location);

}  // namespace zelvane::win32
