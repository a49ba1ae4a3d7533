#pragma once
// The binary form of a 2da table, "2DA V2.b":
//   the 9 bytes "2DA V2.b" and a line feed;
//   the column labels, each ended by a tab, the list ended by a NUL;
//   the row count, 32-bit little-endian; the row labels, each ended by a tab;
//   rows x columns 16-bit little-endian offsets into the data block, row by row;
//   the size of the data block, 16-bit little-endian; the data block of NUL-ended strings.
// Cells with equal text may share one offset; an empty string is an empty cell.

#include <optional>
#include <string>
#include <string_view>

#include "tables/table.hpp"

namespace zelvane {

inline constexpr std::string_view kBinary2daHeader = "2DA V2.b\n";

// The table, or nothing when the bytes are not exactly a binary table: anything missing or left
// over, an offset outside the data block, a string without its NUL, more rows or columns or cell
// text than the limits of table.hpp.
std::optional<Table> ReadBinary2da(std::string_view bytes);

// The bytes, equal strings sharing one place in the data block; nothing when the table cannot be
// written in this form: its strings need more than the 65,535 bytes a 16-bit size allows, a label
// holds a tab (or a column label a NUL), a cell a NUL, or the table is not rectangular or beyond
// the reader's limits.
std::optional<std::string> WriteBinary2da(const Table& table);

}  // namespace zelvane
