#pragma once
// The file-list phase: deletes every file listed after "#file_list", searching the subfolders of
// override (K2) for files that are not at their listed place.

#include "removal/run_state.hpp"

namespace zelvane {

// Reads the description file again; a file that cannot be read throws the run's error.
void RemoveFileList(RunState& run);

}  // namespace zelvane
