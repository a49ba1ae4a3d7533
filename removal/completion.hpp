#pragma once
// The end of a removal run: explicit instructions, the prompt-failure note, the totals, the
// closing of the document, saving it as uninstall\removal_results.rtf and opening it.

#include "removal/run_state.hpp"

namespace zelvane {

// Returns the path the log was saved to. A failure to save throws the run's error.
std::string CompleteRun(RunState& run);

}  // namespace zelvane
