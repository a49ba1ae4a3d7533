#pragma once
// What the player sees once a removal run has completed: the log rendered for the terminal when
// no viewer opened it, then a short summary from the run's own counts:
//   Game folder: /home/me/.steam/steam/steamapps/common/swkotor
//   Deleted: 12 files; not found: 1; restored: 2 (.original) and 1 table; errors: 0
//   Log: /home/me/MyMod/uninstall/removal_results.rtf

#include <ostream>
#include <string>

#include "app/console/terminal_ui.hpp"
#include "removal/removal_run.hpp"

namespace zelvane::console {

// The three lines of the summary; the folders are host paths.
std::string RunSummary(const RunResult& result, const std::string& hostGameFolder, const std::string& hostLogPath);

// Nothing unless the run completed. hostPathOf: the host path of a Windows path.
void ReportCompletedRun(const RunResult& result, TerminalUi& ui, const TerminalUi::HostPathOf& hostPathOf,
                        std::ostream& out);

}  // namespace zelvane::console
