#pragma once
// The steps of the 2da restore once the player has chosen: a replacement (R1 to R7) and a merge,
// each proved possible before its first change, and the lines they write to the log.

#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "removal/log_line.hpp"
#include "removal/run_state.hpp"
#include "removal/table_comparison.hpp"

namespace zelvane {

// One backup and where it goes.
struct Replacement {
    std::string backup;                  // B, in the backup folder beside the program
    std::string name;                    // its file name
    std::optional<std::string> current;  // the 2da file now in use, when there is one
    std::string renameTarget;            // where the backup is moved to
};

// The files this run has put into Backup Uninstall (lower-cased paths). Two backups whose names
// differ only in letter case displace two tables of one name; the second must not delete the
// first, which may be the only copy of the table that was in use.
using Ledger = std::set<std::string>;

inline constexpr std::string_view k2daPhase = "QRestore2da";

// A line of the 2da restore, begun with the phase's name.
LogLine Line2da();
void Log2da(RunState& run, const std::string& line);

// R1 to R7: the backup in place of the file in use (or put into override when there is none),
// the displaced file and a safety copy of the backup in Backup Uninstall.
void RunReplacement(RunState& run, Ledger& ledger, const Replacement& r);

// This mod's changes taken out of the table in use (r.current), with the safety of a replacement.
void RunMerge(RunState& run, Ledger& ledger, const Replacement& r, const TableComparison& comparison);

}  // namespace zelvane
