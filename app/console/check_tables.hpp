#pragma once
// --check --game-folder: what putting each 2da table back would remove or change in that game
// folder, and with --mod-folder whether a merge is possible; notes only. Reads only.

#include <vector>

#include "description/description_check.hpp"
#include "platform/seams/file_system.hpp"

namespace zelvane::console {

// For every backup the 2da restore would offer: the table in use that the run would find (in
// override, and for K2 in its subfolders) compared with the backup. Nothing without a game folder,
// or when the description does not load or restores no tables. The notes are tied to the
// "#qrestore_2da_files=" line.
std::vector<Diagnostic> CheckTableRestores(const FileSystem& fs, const CheckOptions& options);

}  // namespace zelvane::console
