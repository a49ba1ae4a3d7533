#pragma once
// Tables for the tests, written as they read: MakeTable({"race", "modela"}, {{"0", "P_BAS", "x"}}),
// each row its label and then its cells.

#include <ostream>
#include <string>
#include <vector>

#include "tables/table.hpp"

namespace zelvane {

// How a failing expectation shows a table: one line of labels, one line a row.
inline void PrintTo(const Table& table, std::ostream* out) {
    *out << (table.format == TableFormat::Binary ? "binary" : "text")
         << (table.lineEnd == LineEnd::CrLf ? " CRLF" : " LF");
    if (table.defaultValue) *out << " DEFAULT '" << *table.defaultValue << "'";
    *out << "\n   [";
    for (const std::string& label : table.columns) *out << label << "|";
    *out << "]";
    for (const TableRow& row : table.rows) {
        *out << "\n   " << row.label << ": ";
        for (const std::string& cell : row.cells) *out << "'" << cell << "' ";
    }
}

}  // namespace zelvane

namespace zelvane::testing {

inline Table MakeTable(std::vector<std::string> columns, const std::vector<std::vector<std::string>>& rows,
                       TableFormat format = TableFormat::Binary) {
    Table table;
    table.format = format;
    table.columns = std::move(columns);
    for (const std::vector<std::string>& row : rows) {
        table.rows.push_back(TableRow{row.at(0), std::vector<std::string>(row.begin() + 1, row.end())});
    }
    return table;
}

}  // namespace zelvane::testing
