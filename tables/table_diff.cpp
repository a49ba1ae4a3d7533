#include "tables/table_diff.hpp"

#include <algorithm>

#include "tables/column_match.hpp"

namespace zelvane {
namespace {

std::vector<std::string> Unmatched(const std::vector<std::string>& labels, const std::vector<std::size_t>& matched) {
    std::vector<std::string> unmatched;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (matched[i] == kNoColumn) unmatched.push_back(labels[i]);
    }
    return unmatched;
}

}  // namespace

RowEntry RowEntryOf(const Table& table, std::size_t row) {
    return RowEntry{row, table.rows[row].label, std::string(CellAt(table.rows[row], 0))};
}

bool TableDiff::Empty() const {
    return rowsAdded.empty() && rowsRemoved.empty() && columnsAdded.empty() && columnsRemoved.empty() &&
           changedRows.empty() && !defaultChange;
}

std::size_t CountCells(const std::vector<RowChange>& rows) {
    std::size_t count = 0;
    for (const RowChange& row : rows) count += row.cells.size() + (row.labelBefore ? 1 : 0);
    return count;
}

TableDiff CompareTables(const Table& backup, const Table& current) {
    TableDiff diff;
    const std::vector<std::size_t> inCurrent = MatchColumns(backup.columns, current.columns);
    diff.columnsRemoved = Unmatched(backup.columns, inCurrent);
    diff.columnsAdded = Unmatched(current.columns, MatchColumns(current.columns, backup.columns));

    const std::size_t common = std::min(backup.rows.size(), current.rows.size());
    for (std::size_t r = common; r < current.rows.size(); ++r) diff.rowsAdded.push_back(RowEntryOf(current, r));
    for (std::size_t r = common; r < backup.rows.size(); ++r) diff.rowsRemoved.push_back(RowEntryOf(backup, r));

    for (std::size_t r = 0; r < common; ++r) {
        const TableRow& before = backup.rows[r];
        const TableRow& after = current.rows[r];
        RowChange change{r, after.label, std::nullopt, {}};
        if (before.label != after.label) change.labelBefore = before.label;
        for (std::size_t b = 0; b < backup.columns.size(); ++b) {
            if (inCurrent[b] == kNoColumn) continue;
            const std::string_view was = CellAt(before, b);
            const std::string_view is = CellAt(after, inCurrent[b]);
            if (was != is)
                change.cells.push_back(CellChange{current.columns[inCurrent[b]], std::string(was), std::string(is)});
        }
        if (change.labelBefore || !change.cells.empty()) diff.changedRows.push_back(std::move(change));
    }

    if (backup.defaultValue != current.defaultValue)
        diff.defaultChange = ValueChange{backup.defaultValue, current.defaultValue};
    return diff;
}

}  // namespace zelvane
