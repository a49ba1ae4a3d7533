#pragma once
// The questions of the 2da restore, as the player reads them. Their texts are RTF as they have
// always been written, colour codes included.

#include <optional>
#include <string>

#include "removal/run_state.hpp"
#include "removal/table_comparison.hpp"

namespace zelvane {

// Whether the comparison shown with a question offers to merge.
bool MergeOffered(const std::optional<TableComparison>& comparison);

// A table of the backup's name is in override. Answers 0 "&Yes", 1 "&No", and 2 "&Merge" when a
// merge is offered.
int AskReplaceInOverride(RunState& run, const std::string& name, const std::optional<TableComparison>& comparison);
// No table of the backup's name is in use. 0 "&Yes", 1 "&No".
int AskRestoreAnyway(RunState& run, const std::string& name);
// A table of the backup's name was found in a subfolder of override. Answers 0 "&Yes", 1 "&No",
// 2 "&Cancel", and 3 "&Merge" when a merge is offered.
int AskFoundFile(RunState& run, const std::string& name, const std::string& found,
                 const std::optional<TableComparison>& comparison);
// The chosen file cannot be the replace target. 0 "&Yes" aborts, 1 "&No" chooses again.
int AskInvalidFile(RunState& run, const std::string& name);

}  // namespace zelvane
