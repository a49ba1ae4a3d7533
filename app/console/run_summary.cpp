#include "app/console/run_summary.hpp"

#include "app/console/terminal_text.hpp"

namespace zelvane::console {
namespace {

std::string Counted(int count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string RunSummary(const RunResult& result, const std::string& hostGameFolder, const std::string& hostLogPath) {
    return "Game folder: " + HostTerminalLine(hostGameFolder) + "\n" +
           "Deleted: " + Counted(result.deletedCount, "file", "files") +
           "; not found: " + std::to_string(result.notFoundCount) +
           "; restored: " + std::to_string(result.restoredCount) + " (.original) and " +
           Counted(result.tablesRestoredCount, "table", "tables") + "; errors: " + std::to_string(result.failureCount) +
           "\n" + "Log: " + HostTerminalLine(hostLogPath) + "\n";
}

void ReportCompletedRun(const RunResult& result, TerminalUi& ui, const TerminalUi::HostPathOf& hostPathOf,
                        std::ostream& out) {
    if (result.outcome != RunOutcome::Completed) return;
    if (ui.OpenedLastDocument()) {
        out << "\n";
    } else {
        ui.ShowDocument(result.log, "Removal log");
    }
    out << RunSummary(result, hostPathOf(result.gameFolder), hostPathOf(result.logPath)) << std::flush;
}

}  // namespace zelvane::console
