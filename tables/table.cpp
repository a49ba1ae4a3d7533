#include "tables/table.hpp"

#include <algorithm>

namespace zelvane {

std::string FoldLabel(std::string_view label) {
    std::string folded(label);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

std::size_t FindColumn(const Table& table, std::string_view label) {
    const std::string key = FoldLabel(label);
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (FoldLabel(table.columns[i]) == key) return i;
    }
    return kNoColumn;
}

std::string_view CellAt(const TableRow& row, std::size_t column) {
    return column < row.cells.size() ? std::string_view(row.cells[column]) : std::string_view();
}

bool IsRectangular(const Table& table) {
    return std::all_of(table.rows.begin(), table.rows.end(),
                       [&](const TableRow& row) { return row.cells.size() == table.columns.size(); });
}

}  // namespace zelvane
