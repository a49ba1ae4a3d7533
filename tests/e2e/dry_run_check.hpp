#pragma once
// A run checked against its dry run: the same arguments with --dry-run first, which must leave
// every file and folder of the given folders as it was (bytes, mode, modification time), end
// with the same status and print the very log the real run saves.

#include <string>
#include <vector>

#include "tests/e2e/e2e_support.hpp"

namespace zelvane::e2e {

// The real run's result; the comparison's failures are reported to the running test.
ConsoleRun RunAfterDryRun(const std::vector<std::string>& arguments, const std::vector<std::string>& folders,
                          const std::string& logPath, const std::vector<std::string>& environment = {});

// The log a dry run printed ("" with the text after it when it printed none).
std::string DryRunLog(const std::string& output);

// A saved log as the dry run prints it.
std::string LogAsPrinted(const std::string& savedLog);

}  // namespace zelvane::e2e
