// Whole removal runs over synthetic K2 installs on disk (the console against `find` + `rm` of the
// same files on a copy of the tree) and in memory (the core, its seam calls counted); the 2da merge
// at the size of the games' largest tables. docs/performance.md describes them.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/synthetic_tree.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "tables/table_merge.hpp"
#include "tests/support/whole_run.hpp"

namespace zelvane::bench {
namespace {

const char* const kLayoutNames[] = {"moved", "player20", "uppercase", "tables"};

// args: layout, files.
SyntheticInstall PlanOf(benchmark::State& state) {
    const std::int64_t layout = state.range(0);
    state.SetLabel(kLayoutNames[layout]);
    return PlanInstall({std::size_t(state.range(1)), layout == 1 ? 20u : 0u, layout == 2, layout == 3 ? 20u : 0u});
}

std::string Env(const char* name, std::string fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

std::string HostPath(std::string relative) {
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return relative;
}

void WriteHostFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The console's side in root/game and root/mod, with a registry file and "&Yes" to every prompt;
// the baseline's in root/base, a copy of the tree and the NUL-separated list of the files to remove.
void WriteInstalls(const std::string& root, const SyntheticInstall& plan) {
    for (const PlannedFile& file : plan.files) WriteHostFile(root + "/game/" + HostPath(file.path), file.bytes);
    std::filesystem::copy(root + "/game", root + "/base", std::filesystem::copy_options::recursive);
    WriteHostFile(root + "/game/dialog.tlk", std::string("TLK V3.0") + std::string(8, '\0'));
    WriteHostFile(root + "/mod/uninstall/uninstall_data.ini", FileListDescription(plan.entries, plan.tables));
    for (const std::string& table : plan.tables) WriteHostFile(root + "/mod/backup/" + table, "2DA V2.0 original");
    std::string game = "Z:" + root + "/game", answers, list;
    std::replace(game.begin(), game.end(), '/', '\\');
    WriteHostFile(root + "/registry.txt", "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|" + game + "\n");
    for (std::size_t i = 0; i < 2 + plan.tables.size(); ++i) answers += "0\n";
    WriteHostFile(root + "/answers.txt", answers);
    for (const std::string& path : plan.deleted) list += HostPath(path) + '\0';
    WriteHostFile(root + "/deleted.list", list);
}

// Runs a shell command line in a folder: its wall time in seconds, or -1 when it failed.
double Timed(const std::string& folder, const std::string& command) {
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(("cd '" + folder + "' && " + command).c_str());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return status == 0 ? seconds : -1;
}

// The console's log must show the run that was meant: no error, no listed file missing (so each
// was deleted), every table restored.
std::string CheckConsoleRun(const std::string& root, const SyntheticInstall& plan) {
    std::ifstream log(root + "/mod/uninstall/removal_results.rtf", std::ios::binary);
    RunResult result;
    result.outcome = RunOutcome::Completed;
    result.log.assign(std::istreambuf_iterator<char>(log), {});
    if (const std::string problem = whole_run::CheckLog(result); !problem.empty()) return problem;
    if (result.log.find("\\cf6\\b 0 files not found.") == std::string::npos) return "the run missed files";
    if (whole_run::Occurrences(result.log, "QRestore2da: \\cf3 Renamed") != static_cast<int>(plan.tables.size()))
        return "not every table was restored";
    return {};
}

void BM_Disk(benchmark::State& state) {
    const SyntheticInstall plan = PlanOf(state);
    const int trials = std::max(1, std::atoi(Env("ZELVANE_BENCH_TRIALS", "3").c_str()));
    const std::string console = "'" + Env("ZELVANE_BENCH_CONSOLE", ZELVANE_CONSOLE) + "'";
    const std::string folder = Env("ZELVANE_BENCH_TMP", ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    std::vector<double> zelvane, baseline;
    for (auto _ : state) {
        for (int trial = 0; trial < trials; ++trial) {
            std::string root = folder + "/zelvane-bench-XXXXXX";
            if (::mkdtemp(root.data()) == nullptr) return state.SkipWithError("mkdtemp failed");
            WriteInstalls(root, plan);
            const double run = Timed(root, console +
                                               " --no-open --no-color --program-folder mod --registry registry.txt "
                                               "--answers answers.txt </dev/null >console.out 2>&1");
            // find + rm of the listed files, from the folder that holds override.
            const double base =
                Timed(root + "/base", "find override -type f >/dev/null && xargs -0 rm -f -- <../deleted.list");
            std::string problem = run < 0    ? "zelvane-console failed"
                                  : base < 0 ? "the baseline failed"
                                             : CheckConsoleRun(root, plan);
            std::filesystem::remove_all(root);
            if (!problem.empty()) return state.SkipWithError(problem.c_str());
            zelvane.push_back(run);
            baseline.push_back(base);
        }
        state.SetIterationTime(Median(zelvane));
    }
    const double seconds = Median(zelvane), reference = Median(baseline), files = plan.files.size();
    state.counters = {{"zelvane_ms", seconds * 1000},
                      {"baseline_ms", reference * 1000},
                      {"ratio", reference > 0 ? seconds / reference : 0},
                      {"us_per_file", seconds * 1e6 / files},
                      {"baseline_us_per_file", reference * 1e6 / files}};
}

// The install on the in-memory file system, listed in name order as the host and NTFS list, then a
// whole removal run, confirmation to saved log.
void BM_Memory(benchmark::State& state) {
    const SyntheticInstall plan = PlanOf(state);
    const std::string game = "C:\\Games\\Kotor2", program = "C:\\Mods\\Tool";
    std::vector<double> times;
    double calls = 0;  // the last run's seam calls
    for (auto _ : state) {
        MemoryFileSystem fs;  // counts the calls made to it, none while it is built
        fs.ListInNameOrder();
        fs.AddFile(game + "\\dialog.tlk", "TLK V3.0");
        for (const PlannedFile& file : plan.files) fs.AddFile(game + "\\" + file.path, file.path);
        UninstallDescription d;
        d.Game = 2;
        d.DescriptionPath = program + "\\uninstall\\uninstall_data.ini";
        fs.AddFile(d.DescriptionPath, FileListDescription(plan.entries, plan.tables));
        for (const std::string& table : plan.tables) {
            d.Backup2daFiles.push_back(program + "\\backup\\" + table);
            fs.AddFile(d.Backup2daFiles.back(), "2DA V2.0 original");
        }
        d.Restore2da = d.Backup2daAvailable = !d.Backup2daFiles.empty();
        whole_run::QuietUi ui;
        const auto start = std::chrono::steady_clock::now();
        const RunResult result = whole_run::Run(fs, d, ui, game, program);
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.SetIterationTime(times.back());
        calls = 0;
        for (int op = 0; op <= static_cast<int>(FsOp::FolderStamp); ++op) calls += fs.CallCount(FsOp(op));
        const std::string problem = whole_run::CheckLog(result);
        if (result.outcome != RunOutcome::Completed || result.failureCount != 0 || result.notFoundCount != 0 ||
            !problem.empty())
            return state.SkipWithError(("wrong result: " + problem).c_str());
    }
    state.counters = {{"us_per_file", Median(times) * 1e6 / static_cast<double>(plan.files.size())},
                      {"seam_calls_per_entry", calls / static_cast<double>(plan.entries.size())}};
}

// The 2da tables at 1,000 rows x 100 columns: the backup against the table in use after this mod
// and a later one, each of which added a column and changed a cell in every tenth row.
Table Backup() {
    Table table;
    for (std::size_t c = 0; c < 100; ++c) table.columns.push_back("column_" + std::to_string(c));
    for (std::size_t r = 0; r < 1000; ++r) {
        table.rows.push_back({std::to_string(r), {}});
        for (std::size_t c = 0; c < 100; ++c)
            table.rows.back().cells.push_back((r + c) % 7 ? "P_MODEL_" + std::to_string((r * 31 + c) % 500) : "");
    }
    return table;
}

Table Changed(Table table, const std::string& mod, std::size_t changedColumn) {
    table.columns.push_back(mod + "Sound");
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        table.rows[r].cells.push_back(mod + "_sound");
        if (r % 10 == 0) table.rows[r].cells[changedColumn] = mod + "_" + std::to_string(r);
    }
    return table;
}

void BM_Merge(benchmark::State& state) {
    const Table backup = Backup(), mine = Changed(backup, "Mine", 3), current = Changed(mine, "Later", 50);
    for (auto _ : state) {
        if (!MergeOutMod(backup, mine, current).merged) return state.SkipWithError("the merge found conflicts");
    }
}

// Every layout at every size, timed by the benchmark itself.
void Layouts(benchmark::internal::Benchmark* b) {
    b->ArgsProduct({{0, 1, 2, 3}, {500, 5000, 50000}})->ArgNames({"layout", "files"})->UseManualTime();
}
BENCHMARK(BM_Memory)->Name("Removal/memory")->Apply(Layouts)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Disk)->Name("Removal/disk")->Apply(Layouts)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Merge)->Name("Tables/merge:1000x100")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zelvane::bench
