#include "tables/table_merge.hpp"

#include <algorithm>

#include "tables/column_match.hpp"

namespace zelvane {
namespace {

enum class Outcome { Keep, SetBack, Conflict };

// One value the mod may have changed: back to the base when current still holds the mod's; kept
// when the mod did not change it or current already holds the base's; else both changed it.
template <class Value>
Outcome Decide(const Value& base, const Value& mine, const Value& current) {
    if (base == mine || current == base) return Outcome::Keep;
    return current == mine ? Outcome::SetBack : Outcome::Conflict;
}

std::optional<std::string> ValueAt(const Table& table, std::size_t row, std::size_t column) {
    if (row >= table.rows.size() || column == kNoColumn) return std::nullopt;
    return std::string(CellAt(table.rows[row], column));
}

// The table with the marked columns left out.
void DropColumns(Table& table, const std::vector<bool>& drop) {
    auto keep = [&](auto& values) {
        std::size_t kept = 0;
        for (std::size_t c = 0; c < values.size(); ++c) {
            if (drop[c]) continue;
            if (kept != c) values[kept] = std::move(values[c]);
            ++kept;
        }
        values.resize(kept);
    };
    keep(table.columns);
    for (TableRow& row : table.rows) keep(row.cells);
}

// Puts columns of the base back into the table, each after the column that precedes it in the
// base, with the base's values in the base's rows and empty cells in rows past them.
void InsertBaseColumns(Table& table, const Table& base, const std::vector<std::size_t>& baseColumns) {
    if (baseColumns.empty()) return;
    std::vector<bool> putBack(base.columns.size(), false);
    for (const std::size_t b : baseColumns) putBack[b] = true;
    struct Source {
        bool fromBase;
        std::size_t column;  // of the base, or of the table
    };
    const std::vector<std::size_t> inTable = MatchColumns(base.columns, table.columns);
    std::vector<Source> order;
    std::size_t next = 0;
    for (std::size_t b = 0; b < base.columns.size(); ++b) {
        if (putBack[b]) {
            order.push_back({true, b});
        } else if (inTable[b] != kNoColumn) {
            for (; next <= inTable[b]; ++next) order.push_back({false, next});
        }
    }
    for (; next < table.columns.size(); ++next) order.push_back({false, next});

    auto rebuild = [&](std::vector<std::string>& values, auto baseValue) {
        std::vector<std::string> rebuilt;
        rebuilt.reserve(order.size());
        for (const Source& source : order) {
            rebuilt.push_back(source.fromBase ? baseValue(source.column) : std::move(values[source.column]));
        }
        values = std::move(rebuilt);
    };
    rebuild(table.columns, [&](std::size_t b) { return base.columns[b]; });
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        rebuild(table.rows[r].cells, [&](std::size_t b) {
            return r < base.rows.size() ? std::string(CellAt(base.rows[r], b)) : std::string();
        });
    }
}

class Merger {
public:
    Merger(const Table& base, const Table& mine, const Table& current)
        : base_(base),
          mine_(mine),
          current_(current),
          result_(current),
          mineInBase_(MatchColumns(mine.columns, base.columns)),
          mineInCurrent_(MatchColumns(mine.columns, current.columns)),
          currentInMine_(MatchColumns(current.columns, mine.columns)),
          baseInMine_(MatchColumns(base.columns, mine.columns)),
          baseInCurrent_(MatchColumns(base.columns, current.columns)),
          dropColumn_(current.columns.size(), false) {
        for (TableRow& row : result_.rows) row.cells.resize(result_.columns.size());
    }

    MergeResult Run() {
        SetBackCells();
        TakeOutAddedColumns();
        CheckAddedRows();
        const std::vector<std::size_t> columnsToPutBack = CheckRemovedColumns();
        const bool rowsToPutBack = CheckRemovedRows();
        SetBackDefault();
        if (!out_.conflicts.empty()) return std::move(out_);

        DropColumns(result_, dropColumn_);
        InsertBaseColumns(result_, base_, columnsToPutBack);
        TakeOutAddedRows();
        if (rowsToPutBack) PutBackRemovedRows();
        out_.changed = result_ != current_;
        out_.merged = std::move(result_);
        return std::move(out_);
    }

private:
    std::size_t BaseRows() const { return base_.rows.size(); }
    std::size_t MineRows() const { return mine_.rows.size(); }
    std::size_t CurrentRows() const { return current_.rows.size(); }
    bool AddedByMine(std::size_t mineColumn) const { return mineInBase_[mineColumn] == kNoColumn; }

    void Conflict(ConflictKind kind, std::size_t row, std::string rowLabel, std::string column,
                  std::optional<std::string> base, std::optional<std::string> mine,
                  std::optional<std::string> current) {
        out_.conflicts.push_back(MergeConflict{kind, row, std::move(rowLabel), std::move(column), std::move(base),
                                               std::move(mine), std::move(current)});
    }

    // Rows all three have, in the columns the base and the mod both have.
    void SetBackCells() {
        const std::size_t rows = std::min({BaseRows(), MineRows(), CurrentRows()});
        for (std::size_t r = 0; r < rows; ++r) {
            const TableRow& current = current_.rows[r];
            TableRow& merged = result_.rows[r];
            RowChange change{r, current.label, std::nullopt, {}};
            switch (Decide(base_.rows[r].label, mine_.rows[r].label, current.label)) {
                case Outcome::Keep: break;
                case Outcome::SetBack:
                    change.labelBefore = current.label;
                    change.label = merged.label = base_.rows[r].label;
                    break;
                case Outcome::Conflict:
                    Conflict(ConflictKind::Cell, r, current.label, {}, base_.rows[r].label, mine_.rows[r].label,
                             current.label);
                    break;
            }
            for (std::size_t m = 0; m < mine_.columns.size(); ++m) {
                const std::size_t b = mineInBase_[m];
                const std::size_t c = mineInCurrent_[m];
                if (b == kNoColumn || c == kNoColumn) continue;
                const std::string_view baseValue = CellAt(base_.rows[r], b);
                const std::string_view mineValue = CellAt(mine_.rows[r], m);
                const std::string_view currentValue = CellAt(current, c);
                switch (Decide(baseValue, mineValue, currentValue)) {
                    case Outcome::Keep: break;
                    case Outcome::SetBack:
                        merged.cells[c] = baseValue;
                        change.cells.push_back(
                            CellChange{current_.columns[c], std::string(currentValue), merged.cells[c]});
                        break;
                    case Outcome::Conflict:
                        Conflict(ConflictKind::Cell, r, current.label, current_.columns[c], std::string(baseValue),
                                 std::string(mineValue), std::string(currentValue));
                        break;
                }
            }
            if (change.labelBefore || !change.cells.empty()) out_.takenOut.cellsSetBack.push_back(std::move(change));
        }
    }

    // A column the mod added goes when every row of current holds in it what the mod wrote there
    // (nothing, in rows the mod did not have). Any conflict stops the whole merge, so the column
    // is marked to go either way.
    void TakeOutAddedColumns() {
        for (std::size_t m = 0; m < mine_.columns.size(); ++m) {
            const std::size_t c = mineInCurrent_[m];
            if (!AddedByMine(m) || c == kNoColumn) continue;
            for (std::size_t r = 0; r < CurrentRows(); ++r) {
                const std::optional<std::string> mineValue = ValueAt(mine_, r, m);
                const std::string_view currentValue = CellAt(current_.rows[r], c);
                if (currentValue == mineValue.value_or(std::string())) continue;
                Conflict(ConflictKind::Cell, r, current_.rows[r].label, current_.columns[c], std::nullopt, mineValue,
                         std::string(currentValue));
            }
            dropColumn_[c] = true;
            out_.takenOut.columnsRemoved.push_back(current_.columns[c]);
        }
    }

    // Current must still hold every row the mod added as the mod wrote it (its label, and in
    // columns later mods added, nothing). The mod's own columns are left to TakeOutAddedColumns.
    void CheckAddedRows() {
        for (std::size_t r = BaseRows(); r < std::min(MineRows(), CurrentRows()); ++r) {
            const TableRow& current = current_.rows[r];
            if (current.label != mine_.rows[r].label) {
                Conflict(ConflictKind::Cell, r, current.label, {}, std::nullopt, mine_.rows[r].label, current.label);
            }
            for (std::size_t c = 0; c < current_.columns.size(); ++c) {
                const std::size_t m = currentInMine_[c];
                if (m != kNoColumn && AddedByMine(m)) continue;
                const std::optional<std::string> mineValue = ValueAt(mine_, r, m);
                const std::string_view currentValue = CellAt(current, c);
                if (currentValue == mineValue.value_or(std::string())) continue;
                Conflict(ConflictKind::Cell, r, current.label, current_.columns[c], std::nullopt, mineValue,
                         std::string(currentValue));
            }
        }
    }

    // The rows the mod added go; when later mods added rows after them, they are emptied instead,
    // so that those rows keep their numbers.
    void TakeOutAddedRows() {
        const std::size_t end = std::min(MineRows(), CurrentRows());
        if (end <= BaseRows()) return;
        const bool rowsFollow = CurrentRows() > MineRows();
        for (std::size_t r = BaseRows(); r < end; ++r) {
            if (rowsFollow) {
                out_.takenOut.rowsEmptied.push_back(RowEntryOf(current_, r));
                std::fill(result_.rows[r].cells.begin(), result_.rows[r].cells.end(), std::string());
            } else {
                out_.takenOut.rowsRemoved.push_back(RowEntryOf(current_, r));
            }
        }
        if (!rowsFollow) result_.rows.resize(BaseRows());
    }

    // The base's columns the mod removed, to be put back; a conflict where current has the column.
    std::vector<std::size_t> CheckRemovedColumns() {
        std::vector<std::size_t> putBack;
        for (std::size_t b = 0; b < base_.columns.size(); ++b) {
            if (baseInMine_[b] != kNoColumn) continue;
            if (baseInCurrent_[b] != kNoColumn) {
                Conflict(ConflictKind::RemovedColumn, 0, {}, base_.columns[b], std::nullopt, std::nullopt,
                         std::nullopt);
            } else {
                putBack.push_back(b);
                out_.takenOut.columnsPutBack.push_back(base_.columns[b]);
            }
        }
        return putBack;
    }

    // The base's rows the mod removed from its end come back only where current ends where the
    // mod's table ends: anything else would renumber rows.
    bool CheckRemovedRows() {
        if (MineRows() >= BaseRows()) return false;
        for (std::size_t r = MineRows(); r < BaseRows(); ++r) {
            if (CurrentRows() == MineRows()) {
                out_.takenOut.rowsPutBack.push_back(RowEntryOf(base_, r));
            } else {
                Conflict(ConflictKind::RemovedRow, r, base_.rows[r].label, {}, std::string(CellAt(base_.rows[r], 0)),
                         std::nullopt, ValueAt(current_, r, 0));
            }
        }
        return CurrentRows() == MineRows();
    }

    void PutBackRemovedRows() {
        const std::vector<std::size_t> inBase = MatchColumns(result_.columns, base_.columns);
        for (std::size_t r = MineRows(); r < BaseRows(); ++r) {
            TableRow row{base_.rows[r].label, {}};
            for (const std::size_t b : inBase) row.cells.push_back(ValueAt(base_, r, b).value_or(std::string()));
            result_.rows.push_back(std::move(row));
        }
    }

    void SetBackDefault() {
        switch (Decide(base_.defaultValue, mine_.defaultValue, current_.defaultValue)) {
            case Outcome::Keep: break;
            case Outcome::SetBack:
                out_.takenOut.defaultSetBack = ValueChange{current_.defaultValue, base_.defaultValue};
                result_.defaultValue = base_.defaultValue;
                break;
            case Outcome::Conflict:
                Conflict(ConflictKind::Default, 0, {}, {}, base_.defaultValue, mine_.defaultValue,
                         current_.defaultValue);
                break;
        }
    }

    const Table& base_;
    const Table& mine_;
    const Table& current_;
    Table result_;
    MergeResult out_;
    const std::vector<std::size_t> mineInBase_;
    const std::vector<std::size_t> mineInCurrent_;
    const std::vector<std::size_t> currentInMine_;
    const std::vector<std::size_t> baseInMine_;
    const std::vector<std::size_t> baseInCurrent_;
    std::vector<bool> dropColumn_;
};

}  // namespace

MergeResult MergeOutMod(const Table& base, const Table& mine, const Table& current) {
    return Merger(base, mine, current).Run();
}

}  // namespace zelvane
