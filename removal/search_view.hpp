#pragma once
// The searches of a run for the table or file in use never look into the program's own folders
// (own_folders.hpp): a program folder unpacked into override holds the backups themselves, and a
// file found there is never the one the game uses, so it is not offered to the player either.

#include <string>
#include <string_view>
#include <vector>

#include "removal/run_state.hpp"

namespace zelvane {

// RecurseFiles_FindFile over override and its subfolders with the program's own folders left out:
// the path of the first file of that name, "" when there is none.
std::string FindInOverride(RunState& run, std::string_view fileName);

}  // namespace zelvane
