#pragma once
// A 2da table of the games as a value: column labels, rows of cells, and what the text form
// carries besides (its DEFAULT value and its line ends). Both file forms read into it and are
// written from it (binary_2da.hpp, text_2da.hpp, table_bytes.hpp).
//
// Every row holds one cell per column; an empty string is an empty cell (written "****" in the
// text form). Rows are addressed by position, as the game addresses them; a row's label is only
// shown. Columns are found by label without regard to the case of ASCII letters, as the game
// finds them: "Label" and "label" are the same column.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelvane {

enum class TableFormat { Binary, Text };
enum class LineEnd { CrLf, Lf };

struct TableRow {
    std::string label;
    std::vector<std::string> cells;

    bool operator==(const TableRow&) const = default;
};

struct Table {
    TableFormat format = TableFormat::Binary;
    std::vector<std::string> columns;
    std::vector<TableRow> rows;
    std::optional<std::string> defaultValue;  // text form only: its "DEFAULT:" line
    LineEnd lineEnd = LineEnd::CrLf;          // text form only

    bool operator==(const Table&) const = default;
};

// What the readers accept: at most 65,535 rows and columns, and at most 32 MiB of cell text in
// all, far more than any of the games' tables holds, so that a binary table whose cells all share
// one long string cannot make the reader hold gigabytes.
inline constexpr std::size_t kMaxTableRows = 65535;
inline constexpr std::size_t kMaxTableColumns = 65535;
inline constexpr std::size_t kMaxTableCellBytes = std::size_t{32} << 20;

inline constexpr std::size_t kNoColumn = static_cast<std::size_t>(-1);

// A column label with ASCII letters in lower case: the key under which the game finds it.
std::string FoldLabel(std::string_view label);

// The position of the first column with this label, or kNoColumn.
std::size_t FindColumn(const Table& table, std::string_view label);

// The cell, or an empty one where a row is shorter than the column list.
std::string_view CellAt(const TableRow& row, std::size_t column);

// Every row holds one cell per column.
bool IsRectangular(const Table& table);

}  // namespace zelvane
