#include "app/console/dry_run_report.hpp"

#include <string>

#include "app/console/terminal_text.hpp"
#include "platform/seams/read_limits.hpp"

namespace zelvane::console {

void PrintDryRun(const OverlayFileSystem& view, TerminalUi& ui, const RunResult& result, std::ostream& out) {
    out << "\n== Dry run: nothing was changed on disk. The run would have made these changes ==\n";
    int number = 0;
    for (const PlannedChange& change : view.Plan()) {
        out << ++number << ". " << PlannedKindName(change.kind) << " " << TerminalLine(change.path);
        if (!change.target.empty()) out << " -> " << TerminalLine(change.target);
        out << ": " << FsStatusName(change.outcome) << "\n";
    }
    if (number == 0) out << "(no changes)\n";
    std::string log;
    if (result.outcome != RunOutcome::Completed ||
        view.ReadAll(result.logPath, log, kRemovalLogLimit) != FsStatus::Ok) {
        out << "== No removal log would be saved ==\n" << std::flush;
        return;
    }
    out << "== The removal log that would be saved as " << TerminalLine(result.logPath) << " (" << log.size()
        << " bytes) ==\n"
        << std::flush;
    ui.ShowRichText(log);
    out << "== End of the removal log ==\n" << std::flush;
}

}  // namespace zelvane::console
