#pragma once
// A file-list entry that names a 2da table the 2da restore will offer to put back is left to that
// restore: deleting it in the file list would lose the table, and every change other mods made to
// it, before the player is even asked whether to replace it.

#include <string>
#include <string_view>
#include <vector>

#include "description/uninstall_description.hpp"

namespace zelvane {

// The file names of the tables the 2da restore will offer to put back: the backups found at
// start-up, none unless the description restores 2da tables.
std::vector<std::string> TablesTheRestoreOffers(const UninstallDescription& description);

// Whether the entry, read as the run reads it, lies in override (or a folder of it) and carries
// the file name of one of the tables, in any letter case. The restore looks for a table by its
// name there, so a file of that name in override is the restore's to replace.
bool IsLeftToTableRestore(std::string_view entry, const std::vector<std::string>& tableNames);

}  // namespace zelvane
