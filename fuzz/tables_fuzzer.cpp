// The 2da readers on two 16-bit little-endian lengths and three tables (the backup, the mod's own
// version, the rest as the table in use): every table that reads writes back, compares and merges.

#include <optional>

#include "fuzz/fuzz_support.hpp"
#include "tables/table.hpp"
#include "tables/table_bytes.hpp"
#include "tables/table_diff.hpp"
#include "tables/table_merge.hpp"
#include "tables/table_report.hpp"

using namespace zelvane;

static std::optional<Table> ReadAndWriteBack(std::string_view bytes) {
    std::optional<Table> table = ReadTable(bytes);
    if (!table) return std::nullopt;
    fuzz::Check(IsRectangular(*table), "a table read with rows of another width");
    fuzz::Check(table->rows.size() <= kMaxTableRows && table->columns.size() <= kMaxTableColumns,
                "a table read beyond the limits");
    const std::optional<std::string> written = WriteTable(*table);
    fuzz::Check(written || table->format == TableFormat::Binary, "a text table read that cannot be written back");
    if (written) fuzz::Check(ReadTable(*written) == table, "a table written back reads as another table");
    return table;
}

static void CheckReport(const TableReport& report) {
    fuzz::Check(!report.summary.empty() && report.details.size() <= kReportDetailLines, "a report over its lines");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader input(data, size);
    const std::size_t firstLength = input.Byte() | (std::size_t{input.Byte()} << 8);
    const std::size_t secondLength = input.Byte() | (std::size_t{input.Byte()} << 8);
    const std::optional<Table> base = ReadAndWriteBack(input.Take(firstLength));
    const std::optional<Table> mine = ReadAndWriteBack(input.Take(secondLength));
    const std::optional<Table> current = ReadAndWriteBack(input.Rest());
    if (!base || !current) return 0;

    const TableDiff diff = CompareTables(*base, *current);
    fuzz::Check(diff.Empty() == (CompareTables(*current, *base).Empty()), "a difference seen one way only");
    CheckReport(DescribeDiff(diff));
    const MergeResult unchanged = MergeOutMod(*base, *base, *current);
    fuzz::Check(unchanged.merged == current && !unchanged.changed, "a mod that changed nothing changed the table");
    if (!mine) return 0;

    const MergeResult merge = MergeOutMod(*base, *mine, *current);
    fuzz::Check(merge.merged.has_value() == merge.conflicts.empty(), "a merge both made and refused");
    CheckReport(DescribeMerge(merge));
    if (merge.merged) {
        fuzz::Check(IsRectangular(*merge.merged), "a merged table with rows of another width");
        fuzz::Check(merge.changed || *merge.merged == *current, "an unchanged merge that differs from the table");
        (void)WriteTable(*merge.merged);
    }
    const MergeResult onlyMine = MergeOutMod(*base, *mine, *mine);
    fuzz::Check(onlyMine.merged && CompareTables(*base, *onlyMine.merged).Empty(),
                "the mod's own version did not merge back to the backup");
    return 0;
}
