#pragma once
// The text form of a 2da table, "2DA V2.0":
//   the header line "2DA V2.0";
//   optionally a line "DEFAULT: value" (real files often have a blank line here instead);
//   a line of column labels, which may be indented;
//   one line a row: the row label, then a value per column.
// Values are separated by white space (spaces and tabs); a value with white space is written in
// double quotes, and "****" is an empty cell. Blank lines are skipped. Lines end with CR LF or LF;
// the table keeps which, to be written back the same way.

#include <optional>
#include <string>
#include <string_view>

#include "tables/table.hpp"

namespace zelvane {

inline constexpr std::string_view kText2daHeader = "2DA V2.0";

// The table, or nothing when the text is not one: another header, an unclosed quote or text glued
// to a closing quote, a row with more or fewer values than there are columns, more rows or
// columns than the limits of table.hpp.
std::optional<Table> ReadText2da(std::string_view text);

// The text, columns aligned where they are narrow; nothing when a string cannot be written so
// that it reads back the same: one holding a line feed or a double quote, one that is literally
// "****", a table with rows but no columns, or one not rectangular or beyond the reader's limits.
std::optional<std::string> WriteText2da(const Table& table);

}  // namespace zelvane
