#pragma once
// What putting a 2da backup back would undo in the table in use, and whether this mod's own
// changes can be taken out of that table instead (Merge): the tables read through the file
// system, compared and merged (tables/), and put into words for the player. Reads only.

#include <string>
#include <string_view>
#include <vector>

#include "platform/seams/file_system.hpp"
#include "tables/table_report.hpp"

namespace zelvane {

enum class MergeOffer {
    NotAsked,            // no mod folder: nothing is said about a merge
    ModTableMissing,     // the mod's own version of the table is not in the mod folder
    ModTableUnreadable,  // it is there, but not a table the readers take
    Conflicts,           // later mods changed what this mod changed
    NotWritable,         // the merged table cannot be written in its form
    Offered,
};

struct TableComparison {
    bool compared = false;   // the backup and the table in use both read as tables
    TableReport difference;  // what replacing the table in use by the backup removes or changes
    MergeOffer merge = MergeOffer::NotAsked;
    std::string modTable;       // where the mod's own version was found
    TableReport mergeReport;    // Offered: what the merge takes out; Conflicts: the conflicts
    bool mergeChanges = false;  // Offered: the merged table differs from the table in use
    std::string mergedBytes;    // Offered and mergeChanges: the table to write
    // The two tables as they were read, so that a merge can tell that neither changed since.
    std::string backupBytes;
    std::string currentBytes;
};

// The mod's own version of a table, where the mod installs it: <modFolder>\override\<name>, else
// the first file of that name in the subfolders of <modFolder>\override (as the run looks for a
// K2 table in the game's override). "" when there is none.
std::string FindModTable(const FileSystem& fs, std::string_view modFolder, std::string_view name);

// modFolder "": no merge is looked at. A table that cannot be read, or does not read as a table,
// leaves compared false and nothing else set.
TableComparison CompareTableWithBackup(const FileSystem& fs, const std::string& backup, const std::string& current,
                                       const std::string& modFolder);

// Why Merge is not offered, in words that follow "Merge is not offered: "; "" when it is offered
// or was not asked about.
std::string WhyNoMerge(const TableComparison& comparison, std::string_view name);

// The lines added to the question about the table in use (RTF, the log's colours): what replacing
// it would remove or change, and what Merge would take out or why it is not offered. "" when the
// tables were not compared.
std::string ComparisonPromptText(const TableComparison& comparison, std::string_view name);

// A plain text in the RTF of the log and the prompts: backslashes doubled, RTF specials escaped.
std::string RtfPlainText(std::string_view text);

}  // namespace zelvane
