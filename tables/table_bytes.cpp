#include "tables/table_bytes.hpp"

#include "tables/binary_2da.hpp"
#include "tables/text_2da.hpp"

namespace zelvane {

std::optional<Table> ReadTable(std::string_view bytes) {
    if (bytes.starts_with(kBinary2daHeader)) return ReadBinary2da(bytes);
    if (bytes.starts_with(kText2daHeader)) return ReadText2da(bytes);
    return std::nullopt;
}

std::optional<std::string> WriteTable(const Table& table) {
    return table.format == TableFormat::Binary ? WriteBinary2da(table) : WriteText2da(table);
}

}  // namespace zelvane
