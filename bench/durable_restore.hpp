// The least a durable 2da restore does, for the benchmark's second baseline: for each table the
// table in use is copied aside (bytes and name flushed before it is deleted), deleted, the backup
// is copied to a safety copy (flushed as well) and renamed into the place of the table in use.
// Plain POSIX calls, no search, no checks: what any tool that keeps every table through a power
// cut has to pay on top of `find` + `rm`.
#pragma once

#include <string>

namespace zelvane::bench {

// PLAN holds one line per table: the table in use, its backup and the folder for the copies,
// separated by tabs, relative to the working folder. Returns 0, or 1 after printing what failed.
int RestoreTablesDurably(const std::string& planPath);

}  // namespace zelvane::bench
