// The 2da tables at the size of the games' largest: 1,000 rows x 100 columns, the backup against
// the table in use after this mod and a later one (2 columns and 10 rows added, a cell in every
// tenth row changed by each). Compared, merged, and read from the binary form.
//   tools/bench.sh --tables

#include <benchmark/benchmark.h>

#include <string>

#include "tables/binary_2da.hpp"
#include "tables/table.hpp"
#include "tables/table_diff.hpp"
#include "tables/table_merge.hpp"

namespace zelvane::bench {
namespace {

constexpr std::size_t kRows = 1000;
constexpr std::size_t kColumns = 100;

// Values repeat as in the games' tables (model names, small numbers, ****), so that the binary
// form's shared strings fit its 16-bit data block.
Table Backup() {
    Table table;
    for (std::size_t c = 0; c < kColumns; ++c) table.columns.push_back("column_" + std::to_string(c));
    for (std::size_t r = 0; r < kRows; ++r) {
        TableRow row{std::to_string(r), {}};
        for (std::size_t c = 0; c < kColumns; ++c) {
            row.cells.push_back((r + c) % 7 == 0 ? std::string() : "P_MODEL_" + std::to_string((r * 31 + c) % 500));
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

// A table changed by one mod: a column, a cell in every tenth row of the backup's, and 5 rows.
Table Changed(Table table, const std::string& mod, std::size_t changedColumn) {
    table.columns.push_back(mod + "Sound");
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        table.rows[r].cells.push_back(r < kRows ? mod + "_sound" : "");  // another mod's row: left alone
        if (r < kRows && r % 10 == 0) table.rows[r].cells[changedColumn] = mod + "_" + std::to_string(r);
    }
    for (std::size_t i = 0; i < 5; ++i) {
        TableRow row{std::to_string(table.rows.size()), std::vector<std::string>(table.columns.size())};
        row.cells.front() = mod + "_row";
        row.cells.back() = mod + "_sound";
        table.rows.push_back(std::move(row));
    }
    return table;
}

struct Versions {
    Table backup = Backup();
    Table mine = Changed(backup, "Mine", 3);
    Table current = Changed(mine, "Later", 50);
};
const Versions kVersions;

void Compare(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(CompareTables(kVersions.backup, kVersions.current));
}
BENCHMARK(Compare)->Name("Tables/compare:1000x100")->Unit(benchmark::kMillisecond);

void Merge(benchmark::State& state) {
    for (auto _ : state) {
        const MergeResult result = MergeOutMod(kVersions.backup, kVersions.mine, kVersions.current);
        if (!result.merged) state.SkipWithError("the merge found conflicts");
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(Merge)->Name("Tables/merge:1000x100")->Unit(benchmark::kMillisecond);

void ReadBinary(benchmark::State& state) {
    const std::optional<std::string> bytes = WriteBinary2da(kVersions.current);
    if (!bytes) {
        state.SkipWithError("the table does not fit the binary form");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(ReadBinary2da(*bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes->size()));
}
BENCHMARK(ReadBinary)->Name("Tables/read_binary:1000x100")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zelvane::bench
