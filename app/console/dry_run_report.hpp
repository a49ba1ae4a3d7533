#pragma once
// The end of a dry run: each change the run asked for, in order, with its outcome, and the
// removal log it would have saved.

#include <ostream>

#include "app/console/terminal_ui.hpp"
#include "platform/overlay/overlay_file_system.hpp"
#include "removal/removal_run.hpp"

namespace zelvane::console {

void PrintDryRun(const OverlayFileSystem& view, TerminalUi& ui, const RunResult& result, std::ostream& out);

}  // namespace zelvane::console
