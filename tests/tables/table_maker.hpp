#pragma once
// Tables for the tests, written as they read: MakeTable({"race", "modela"}, {{"0", "P_BAS", "x"}}),
// each row its label and then its cells.

#include <optional>
#include <string>
#include <vector>

#include "tables/table.hpp"

namespace zelvane::testing {

inline Table MakeTable(std::vector<std::string> columns, const std::vector<std::vector<std::string>>& rows,
                       TableFormat format = TableFormat::Binary, LineEnd lineEnd = LineEnd::CrLf,
                       std::optional<std::string> defaultValue = std::nullopt) {
    Table table{format, std::move(columns), {}, std::move(defaultValue), lineEnd};
    for (const std::vector<std::string>& row : rows) {
        table.rows.push_back(TableRow{row.at(0), std::vector<std::string>(row.begin() + 1, row.end())});
    }
    return table;
}

}  // namespace zelvane::testing
