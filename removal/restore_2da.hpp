#pragma once
// The 2da restore: every backup that the installer kept goes back in place of the 2da file the
// game now uses; the displaced file and a safety copy of the backup go to "Backup Uninstall".

#include "removal/run_state.hpp"

namespace zelvane {

void Restore2daBackups(RunState& run);

}  // namespace zelvane
