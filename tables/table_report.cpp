#include "tables/table_report.hpp"

#include <algorithm>
#include <optional>
#include <string_view>

namespace zelvane {
namespace {

constexpr std::size_t kShownValueBytes = 40;
constexpr std::size_t kCellsPerLine = 4;

// The text as it can be shown on one line: control characters as '?', cut when long, and ****
// when empty.
std::string Plain(std::string_view text) {
    if (text.empty()) return "****";
    std::string shown(text.substr(0, kShownValueBytes));
    for (char& c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = '?';
    }
    if (text.size() > kShownValueBytes) shown += "...";
    return shown;
}

std::string Quoted(std::string_view value) { return value.empty() ? "****" : "'" + Plain(value) + "'"; }

// A value a table may lack: "none" where it does.
std::string QuotedOrNone(const std::optional<std::string>& value) { return value ? Quoted(*value) : "none"; }

std::string RowName(std::size_t row, std::string_view label) {
    return "row " + std::to_string(row) + " (label " + Plain(label) + ")";
}

std::string Count(std::size_t n, std::string_view noun) {
    return std::to_string(n) + " " + std::string(noun) + (n == 1 ? "" : "s");
}

// "a", "a and b", "a, b and c".
std::string JoinList(const std::vector<std::string>& parts) {
    std::string joined;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) joined += i + 1 == parts.size() ? " and " : ", ";
        joined += parts[i];
    }
    return joined;
}

void AddCount(std::vector<std::string>& parts, std::size_t n, std::string_view noun, std::string_view what) {
    if (n > 0) parts.push_back(Count(n, noun) + " " + std::string(what));
}

void AddCellCount(std::vector<std::string>& parts, const std::vector<RowChange>& rows, std::string_view what) {
    if (rows.empty()) return;
    parts.push_back(Count(CountCells(rows), "cell") + " " + std::string(what) + " in " + Count(rows.size(), "row"));
}

// The detail lines, cut to the number asked for; the last line then says how many are not shown.
class DetailLines {
public:
    explicit DetailLines(std::size_t max) : max_(max) {}

    void Add(std::string line) {
        if (lines_.size() < max_) {
            lines_.push_back(std::move(line));
        } else {
            ++notShown_;
        }
    }
    std::vector<std::string> Take() {
        if (notShown_ > 0 && !lines_.empty()) {
            lines_.pop_back();
            lines_.push_back("and " + std::to_string(notShown_ + 1) + " more not shown");
        }
        return std::move(lines_);
    }

private:
    std::size_t max_;
    std::size_t notShown_ = 0;
    std::vector<std::string> lines_;
};

void AddRows(DetailLines& lines, const std::vector<RowEntry>& rows, std::string_view what) {
    for (const RowEntry& row : rows)
        lines.Add(RowName(row.row, row.label) + " " + std::string(what) + ": " + Quoted(row.firstCell));
}

void AddColumns(DetailLines& lines, const std::vector<std::string>& columns, std::string_view what) {
    for (const std::string& column : columns) lines.Add("column " + Plain(column) + " " + std::string(what));
}

// "row 7 (label 7): race 'A' -> 'B', modela 'x' -> 'y', and 3 more"
void AddChangedRows(DetailLines& lines, const std::vector<RowChange>& rows) {
    for (const RowChange& row : rows) {
        std::vector<std::string> changes;
        if (row.labelBefore) changes.push_back("row label " + Quoted(*row.labelBefore) + " -> " + Quoted(row.label));
        for (const CellChange& cell : row.cells) {
            changes.push_back(Plain(cell.column) + " " + Quoted(cell.before) + " -> " + Quoted(cell.after));
        }
        const std::size_t more = changes.size() > kCellsPerLine ? changes.size() - kCellsPerLine : 0;
        changes.resize(std::min(changes.size(), kCellsPerLine));
        std::string line = RowName(row.row, row.label) + ": ";
        for (std::size_t i = 0; i < changes.size(); ++i) line += (i > 0 ? ", " : "") + changes[i];
        if (more > 0) line += ", and " + std::to_string(more) + " more";
        lines.Add(std::move(line));
    }
}

void AddDefault(DetailLines& lines, const std::optional<ValueChange>& change) {
    if (change) lines.Add("DEFAULT " + QuotedOrNone(change->before) + " -> " + QuotedOrNone(change->after));
}

std::string ConflictLine(const MergeConflict& conflict) {
    const std::string values = "backup " + QuotedOrNone(conflict.base) + ", this mod " + QuotedOrNone(conflict.mine) +
                               ", in use " + QuotedOrNone(conflict.current);
    switch (conflict.kind) {
        case ConflictKind::Cell:
            return RowName(conflict.row, conflict.rowLabel) + ", " +
                   (conflict.column.empty() ? std::string("row label") : Plain(conflict.column)) + ": " + values;
        case ConflictKind::RemovedRow:
            return RowName(conflict.row, conflict.rowLabel) +
                   ": removed by this mod, and the rows in use no longer line up to put it back";
        case ConflictKind::RemovedColumn:
            return "column " + Plain(conflict.column) + ": removed by this mod, and the table in use has it again";
        case ConflictKind::Default: return "DEFAULT: " + values;
    }
    return {};
}

// "Row 412 is emptied, not removed: ..." or "Rows 412 to 413 are emptied, not removed: ..."
std::string EmptiedNote(const std::vector<RowEntry>& rows) {
    const std::string first = std::to_string(rows.front().row);
    if (rows.size() == 1) {
        return "Row " + first + " is emptied, not removed: later mods added rows after it, whose numbers must stay.";
    }
    return "Rows " + first + " to " + std::to_string(rows.back().row) +
           " are emptied, not removed: later mods added rows after them, whose numbers must stay.";
}

}  // namespace

TableReport DescribeDiff(const TableDiff& diff, std::size_t maxDetails) {
    TableReport report;
    if (diff.Empty()) {
        report.summary = "The table in use is the same as the backup.";
        return report;
    }
    std::vector<std::string> parts;
    AddCount(parts, diff.rowsAdded.size(), "row", "added");
    AddCount(parts, diff.columnsAdded.size(), "column", "added");
    AddCellCount(parts, diff.changedRows, "changed");
    AddCount(parts, diff.rowsRemoved.size(), "row", "removed");
    AddCount(parts, diff.columnsRemoved.size(), "column", "removed");
    if (diff.defaultChange) parts.emplace_back("the DEFAULT value changed");
    report.summary = "The table in use differs from the backup: " + JoinList(parts) + ".";

    DetailLines lines(maxDetails);
    AddRows(lines, diff.rowsAdded, "added");
    AddColumns(lines, diff.columnsAdded, "added");
    AddChangedRows(lines, diff.changedRows);
    AddRows(lines, diff.rowsRemoved, "removed");
    AddColumns(lines, diff.columnsRemoved, "removed");
    AddDefault(lines, diff.defaultChange);
    report.details = lines.Take();
    return report;
}

TableReport DescribeMerge(const MergeResult& result, std::size_t maxDetails) {
    TableReport report;
    DetailLines lines(maxDetails);
    if (!result.conflicts.empty()) {
        report.summary = "No merge: " + Count(result.conflicts.size(), "conflict") + " with later mods.";
        for (const MergeConflict& conflict : result.conflicts) lines.Add(ConflictLine(conflict));
        report.details = lines.Take();
        return report;
    }
    if (!result.changed) {
        report.summary = "Merging changes nothing in the table in use.";
        return report;
    }
    const MergeTakenOut& out = result.takenOut;
    std::vector<std::string> parts;
    AddCount(parts, out.rowsRemoved.size(), "row", "removed");
    AddCount(parts, out.rowsEmptied.size(), "row", "emptied");
    AddCount(parts, out.columnsRemoved.size(), "column", "removed");
    AddCellCount(parts, out.cellsSetBack, "set back");
    AddCount(parts, out.rowsPutBack.size(), "row", "put back");
    AddCount(parts, out.columnsPutBack.size(), "column", "put back");
    if (out.defaultSetBack) parts.emplace_back("the DEFAULT value set back");
    report.summary = "Merging takes out this mod's changes: " + JoinList(parts) + ".";

    if (!out.rowsEmptied.empty()) lines.Add(EmptiedNote(out.rowsEmptied));
    AddRows(lines, out.rowsRemoved, "removed");
    AddRows(lines, out.rowsEmptied, "emptied");
    AddColumns(lines, out.columnsRemoved, "removed");
    AddChangedRows(lines, out.cellsSetBack);
    AddRows(lines, out.rowsPutBack, "put back");
    AddColumns(lines, out.columnsPutBack, "put back");
    AddDefault(lines, out.defaultSetBack);
    report.details = lines.Take();
    return report;
}

}  // namespace zelvane
