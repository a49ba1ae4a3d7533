#pragma once
// The queued restores: after the user confirms, the mod's X is deleted and X.original gets its
// old name back.

#include "removal/run_state.hpp"

namespace zelvane {

void RunQueuedRestores(RunState& run);

}  // namespace zelvane
