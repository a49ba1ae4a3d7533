#include "tables/binary_2da.hpp"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace zelvane {
namespace {

constexpr std::size_t kMaxDataBytes = 0xFFFF;

// Takes the bytes apart from the front; every read fails once the bytes run out.
class ByteCursor {
public:
    explicit ByteCursor(std::string_view bytes) : rest_(bytes) {}

    bool Skip(std::string_view expected) {
        if (!rest_.starts_with(expected)) return false;
        rest_.remove_prefix(expected.size());
        return true;
    }
    // The bytes before the next end byte, which is consumed too.
    std::optional<std::string_view> Until(char end) {
        const std::size_t at = rest_.find(end);
        if (at == std::string_view::npos) return std::nullopt;
        const std::string_view piece = rest_.substr(0, at);
        rest_.remove_prefix(at + 1);
        return piece;
    }
    std::optional<std::uint32_t> LittleEndian(std::size_t width) {
        if (rest_.size() < width) return std::nullopt;
        std::uint32_t value = 0;
        for (std::size_t i = width; i-- > 0;) value = (value << 8) | static_cast<std::uint8_t>(rest_[i]);
        rest_.remove_prefix(width);
        return value;
    }
    std::optional<std::string_view> Take(std::size_t count) {
        if (rest_.size() < count) return std::nullopt;
        const std::string_view piece = rest_.substr(0, count);
        rest_.remove_prefix(count);
        return piece;
    }
    std::size_t Left() const { return rest_.size(); }

private:
    std::string_view rest_;
};

// "a\tb\t" is the labels a and b; the list must be empty or end with its tab.
std::optional<std::vector<std::string>> ColumnLabels(std::string_view list) {
    std::vector<std::string> labels;
    while (!list.empty()) {
        const std::size_t tab = list.find('\t');
        if (tab == std::string_view::npos) return std::nullopt;
        if (labels.size() == kMaxTableColumns) return std::nullopt;
        labels.emplace_back(list.substr(0, tab));
        list.remove_prefix(tab + 1);
    }
    return labels;
}

void AppendLittleEndian(std::string& out, std::uint32_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

bool Holds(std::string_view text, char c) { return text.find(c) != std::string_view::npos; }

bool CanWrite(const Table& table) {
    if (table.columns.size() > kMaxTableColumns || table.rows.size() > kMaxTableRows) return false;
    if (!IsRectangular(table)) return false;
    for (const std::string& label : table.columns) {
        if (Holds(label, '\t') || Holds(label, '\0')) return false;
    }
    for (const TableRow& row : table.rows) {
        if (Holds(row.label, '\t')) return false;
        for (const std::string& cell : row.cells) {
            if (Holds(cell, '\0')) return false;
        }
    }
    return true;
}

}  // namespace

std::optional<Table> ReadBinary2da(std::string_view bytes) {
    ByteCursor in(bytes);
    if (!in.Skip(kBinary2daHeader)) return std::nullopt;
    const std::optional<std::string_view> labelList = in.Until('\0');
    if (!labelList) return std::nullopt;
    std::optional<std::vector<std::string>> columns = ColumnLabels(*labelList);
    const std::optional<std::uint32_t> rowCount = in.LittleEndian(4);
    if (!columns || !rowCount || *rowCount > kMaxTableRows) return std::nullopt;

    Table table;
    table.format = TableFormat::Binary;
    table.columns = std::move(*columns);
    // Each label holds at least its tab, so the rows held never outgrow the bytes read.
    for (std::uint32_t i = 0; i < *rowCount; ++i) {
        const std::optional<std::string_view> label = in.Until('\t');
        if (!label) return std::nullopt;
        table.rows.push_back(TableRow{std::string(*label), {}});
    }

    const std::size_t cellCount = table.rows.size() * table.columns.size();  // at most 2^32
    if (in.Left() / 2 < cellCount) return std::nullopt;
    const std::string_view offsets = *in.Take(2 * cellCount);
    const std::optional<std::uint32_t> dataSize = in.LittleEndian(2);
    if (!dataSize) return std::nullopt;
    const std::optional<std::string_view> data = in.Take(*dataSize);
    if (!data || in.Left() != 0) return std::nullopt;

    ByteCursor offsetReader(offsets);
    std::size_t cellBytes = 0;
    for (TableRow& row : table.rows) {
        row.cells.reserve(table.columns.size());
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            const std::size_t offset = *offsetReader.LittleEndian(2);
            const std::size_t end = data->find('\0', offset);  // none from an offset past the block
            if (end == std::string_view::npos) return std::nullopt;
            cellBytes += end - offset;
            if (cellBytes > kMaxTableCellBytes) return std::nullopt;
            row.cells.emplace_back(data->substr(offset, end - offset));
        }
    }
    return table;
}

std::optional<std::string> WriteBinary2da(const Table& table) {
    if (!CanWrite(table)) return std::nullopt;
    std::string out(kBinary2daHeader);
    for (const std::string& label : table.columns) out += label + '\t';
    out += '\0';
    AppendLittleEndian(out, static_cast<std::uint32_t>(table.rows.size()), 4);
    for (const TableRow& row : table.rows) out += row.label + '\t';

    std::string data;
    std::unordered_map<std::string_view, std::size_t> placed;
    for (const TableRow& row : table.rows) {
        for (const std::string& cell : row.cells) {
            auto [slot, isNew] = placed.try_emplace(cell, data.size());
            if (isNew) {
                if (data.size() + cell.size() + 1 > kMaxDataBytes) return std::nullopt;
                data += cell;
                data += '\0';
            }
            AppendLittleEndian(out, static_cast<std::uint32_t>(slot->second), 2);
        }
    }
    AppendLittleEndian(out, static_cast<std::uint32_t>(data.size()), 2);
    out += data;
    return out;
}

}  // namespace zelvane
