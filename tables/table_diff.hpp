#pragma once
// What differs between two versions of a 2da table: the backup a mod's installer kept and the
// table in use. Rows are compared by position (the game addresses them by number; the label is
// only shown), columns by label (column_match.hpp).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tables/table.hpp"

namespace zelvane {

// A whole row: its position, its label and the value of its first column, which names the row in
// most tables.
struct RowEntry {
    std::size_t row = 0;
    std::string label;
    std::string firstCell;

    bool operator==(const RowEntry&) const = default;
};

RowEntry RowEntryOf(const Table& table, std::size_t row);

struct CellChange {
    std::string column;
    std::string before;
    std::string after;

    bool operator==(const CellChange&) const = default;
};

// The changed cells of one row, in column order. label is the row's label after the change;
// labelBefore is set when the change gave the row another label.
struct RowChange {
    std::size_t row = 0;
    std::string label;
    std::optional<std::string> labelBefore;
    std::vector<CellChange> cells;

    bool operator==(const RowChange&) const = default;
};

// The DEFAULT value of the text form, absent where a table has none.
struct ValueChange {
    std::optional<std::string> before;
    std::optional<std::string> after;

    bool operator==(const ValueChange&) const = default;
};

// From the backup to the table in use: "before" is the backup's, "after" the current one's.
struct TableDiff {
    std::vector<RowEntry> rowsAdded;          // in the table in use only (its rows past the backup's)
    std::vector<RowEntry> rowsRemoved;        // in the backup only
    std::vector<std::string> columnsAdded;    // in the table in use only
    std::vector<std::string> columnsRemoved;  // in the backup only
    std::vector<RowChange> changedRows;       // rows and columns both have
    std::optional<ValueChange> defaultChange;

    bool Empty() const;
};

// The cells the rows hold, a changed row label counted as one.
std::size_t CountCells(const std::vector<RowChange>& rows);

// Time and memory in proportion to rows x columns.
TableDiff CompareTables(const Table& backup, const Table& current);

}  // namespace zelvane
