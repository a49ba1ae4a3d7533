#pragma once
// Takes one mod's changes out of a 2da table and keeps everything later mods did: a three-way
// merge of the backup kept before the mod was installed (base), the mod's own version of the
// table (mine) and the table in use (current). The result is current without (mine - base):
// - a cell the mod changed goes back to the backup's value when current still holds the mod's;
// - a row the mod added goes when current still holds it as the mod wrote it; when rows follow it
//   in current (later mods added them), removing it would renumber them, so it is emptied
//   instead: every cell empty, its label kept;
// - a column the mod added goes, unless a later mod changed a cell in it;
// - rows and columns the mod removed come back when current lacks them too;
// - everything else of current stays: later mods' rows, columns and cells.
// Where a later mod changed what the mod changed, there is no merge: the conflicts are listed.
// Rows are compared by position, columns by label (column_match.hpp); cells by their exact bytes.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tables/table.hpp"
#include "tables/table_diff.hpp"

namespace zelvane {

enum class ConflictKind {
    Cell,           // the mod and a later mod changed one cell (or a row's label: column empty)
    RemovedRow,     // the mod removed a row; current's rows no longer line up to put it back
    RemovedColumn,  // the mod removed a column; current has one of that label again
    Default,        // the mod and a later mod changed the DEFAULT value
};

// One conflict, with the value each table holds (for a removed row, its first cell); a value is
// absent where that table lacks the row or column.
struct MergeConflict {
    ConflictKind kind = ConflictKind::Cell;
    std::size_t row = 0;
    std::string rowLabel;  // current's label of the row (the backup's for a removed row)
    std::string column;    // empty for a row label
    std::optional<std::string> base;
    std::optional<std::string> mine;
    std::optional<std::string> current;

    bool operator==(const MergeConflict&) const = default;
};

// What the merge took out of the table in use. "before" is current's, "after" the merged table's.
struct MergeTakenOut {
    std::vector<RowEntry> rowsRemoved;
    std::vector<RowEntry> rowsEmptied;
    std::vector<std::string> columnsRemoved;
    std::vector<RowChange> cellsSetBack;
    std::vector<RowEntry> rowsPutBack;
    std::vector<std::string> columnsPutBack;
    std::optional<ValueChange> defaultSetBack;
};

struct MergeResult {
    std::optional<Table> merged;  // absent when there are conflicts
    bool changed = false;         // merged differs from current: false means there is nothing to write
    MergeTakenOut takenOut;       // when merged
    std::vector<MergeConflict> conflicts;
};

// The merged table keeps current's form and line ends.
MergeResult MergeOutMod(const Table& base, const Table& mine, const Table& current);

}  // namespace zelvane
