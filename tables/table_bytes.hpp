#pragma once
// A 2da table from the bytes of a file, in whichever form its header names, and back.

#include <optional>
#include <string>
#include <string_view>

#include "tables/table.hpp"

namespace zelvane {

// Nothing when the bytes are neither form, or not a whole table of their form: such a table is
// opaque, only ever replaced as a whole.
std::optional<Table> ReadTable(std::string_view bytes);

// The bytes in the table's own form; nothing when the table cannot be written in it.
std::optional<std::string> WriteTable(const Table& table);

}  // namespace zelvane
