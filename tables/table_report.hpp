#pragma once
// Short plain-text lines for the player about a table: how the table in use differs from its
// backup (what replacing it would undo), what a merge takes out, and why a merge is not possible.
// No RTF and no terminal codes: the caller colours them. A value is shown in single quotes, an
// empty one as ****, one longer than 40 characters cut with "...", control characters as '?'.
// Rows are shown by number and label: "row 7 (label 7)".

#include <cstddef>
#include <string>
#include <vector>

#include "tables/table_diff.hpp"
#include "tables/table_merge.hpp"

namespace zelvane {

struct TableReport {
    std::string summary;               // one sentence with the counts
    std::vector<std::string> details;  // at most the lines asked for, the last saying how many more
};

inline constexpr std::size_t kReportDetailLines = 20;

// "The table in use differs from the backup: 3 rows added, 1 column added and 12 cells changed in
// 4 rows.", then "row 412 (label 412) added: 'Beastmaster_Robe'", "column NewSound added",
// "row 7 (label 7): race 'P_BASTILA' -> 'P_BASTILA_NEW', modela 'x' -> 'y'", ...
TableReport DescribeDiff(const TableDiff& diff, std::size_t maxDetails = kReportDetailLines);

// What the merge took out ("Merging takes out this mod's changes: ..."), that it changes nothing,
// or, when there are conflicts, "No merge: ..." and the conflicts with the three values.
TableReport DescribeMerge(const MergeResult& result, std::size_t maxDetails = kReportDetailLines);

}  // namespace zelvane
