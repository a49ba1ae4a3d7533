#pragma once
// The searches of a run for the table or file in use never look into the program's own folders:
// a program folder unpacked into override holds the backups themselves, and a file found there is
// never the one the game uses.

#include <string>
#include <string_view>
#include <vector>

#include "removal/run_state.hpp"

namespace zelvane {

// The folders no search enters and no located file may lie in: the program folder's `backup`,
// `Backup Uninstall` and `uninstall`, and the whole program folder when it lies inside the game's
// override folder. (A program folder that holds the game folder keeps only its own folders out.)
std::vector<std::string> ProgramOwnFolders(RunState& run);

// True when path, links followed, is one of those folders or lies below one.
bool IsInProgramOwnFolders(RunState& run, std::string_view path);

// RecurseFiles_FindFile over override and its subfolders with the program's own folders left out,
// the result in run.search (cleared first).
void FindInOverride(RunState& run, std::string_view fileName);

}  // namespace zelvane
