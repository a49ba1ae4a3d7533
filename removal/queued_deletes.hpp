#pragma once
// The queued deletes: each present file is deleted only after the mod author's own prompt.

#include "removal/run_state.hpp"

namespace zelvane {

void RunQueuedDeletes(RunState& run);

}  // namespace zelvane
