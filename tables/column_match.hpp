#pragma once
// Which column of one table is which column of another: the same label, compared as the game
// compares labels (FoldLabel).

#include <string>
#include <vector>

#include "tables/table.hpp"

namespace zelvane {

// For each label of `from`, the position of the same column in `to`, or kNoColumn. Where a table
// repeats a label, its n-th column of that label is the n-th column of that label in the other.
std::vector<std::size_t> MatchColumns(const std::vector<std::string>& from, const std::vector<std::string>& to);

}  // namespace zelvane
