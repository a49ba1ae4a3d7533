// Whole removal runs over synthetic K2 installs of 500, 5,000 and 50,000 files, in four layouts:
// moved (5,000 listed at full size, 2,000 of them moved by the player into subfolders), player20
// (20% of the player's files directly in override), uppercase (the list in upper case, the files
// in lower case) and tables (20 2da tables restored from backups, found in subfolders).
// On disk: the real zelvane-console next to the baseline on an identical copy of the tree, one
// `find override -type f` walk plus `xargs rm` of the same files. Each three times on fresh
// copies; medians, their ratio, the console's peak memory and the time per file.
// In memory: the same run through the core, with seam calls and directory entries per entry.
// Environment: ZELVANE_BENCH_TRIALS (3), ZELVANE_BENCH_TMP (/dev/shm, else /tmp),
// ZELVANE_BENCH_SLOW_S (20: a slower console run is made once), ZELVANE_BENCH_CONSOLE (another
// zelvane-console to measure, e.g. an older build).

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/synthetic_tree.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "tests/support/whole_run.hpp"

extern char** environ;

namespace zelvane::bench {
namespace {

const char* const kLayoutNames[] = {"moved", "player20", "uppercase", "tables"};

TreeShape ShapeOf(int layout, int files) {
    TreeShape shape = Scaled(static_cast<std::size_t>(50000 / files));
    shape.playerDirectPercent = layout == 1 ? 20 : 0;
    shape.upperCaseList = layout == 2;
    shape.tables = layout == 3 ? 20 : 0;
    return shape;
}

std::string Env(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::string(value) : fallback;
}

std::string HostPath(const std::string& root, std::string relative) {
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return root.empty() ? relative : root + "/" + relative;
}

void WriteHostFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    if (!(std::ofstream(path, std::ios::binary) << bytes)) throw std::runtime_error("cannot write " + path);
}

std::string ReadHostFile(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

void WriteOverride(const std::string& game, const SyntheticInstall& plan) {
    for (const std::string& folder : plan.folders) std::filesystem::create_directories(HostPath(game, folder));
    for (const PlannedFile& file : plan.files) WriteHostFile(HostPath(game, file.path), file.bytes);
}

// The console's side in root/game and root/mod, with its registry file and its answers: "&Yes"
// to the confirmation, the subfolder prompt and every table.
void WriteConsoleInstall(const std::string& root, const SyntheticInstall& plan) {
    WriteOverride(root + "/game", plan);
    WriteHostFile(root + "/game/dialog.tlk", std::string("TLK V3.0") + std::string(8, '\0'));
    WriteHostFile(root + "/mod/uninstall/uninstall_data.ini", FileListDescription(plan.entries, plan.tables));
    for (const std::string& table : plan.tables) WriteHostFile(root + "/mod/backup/" + table, "2DA V2.0 original");
    std::string game = "Z:" + root + "/game";
    std::replace(game.begin(), game.end(), '/', '\\');
    WriteHostFile(root + "/registry.txt", "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|" + game + "\n");
    std::string answers;
    for (std::size_t i = 0; i < 2 + plan.tables.size(); ++i) answers += "0\n";
    WriteHostFile(root + "/answers.txt", answers);
}

// The baseline's side in root/base: the same override tree and the NUL-separated list of the
// files to remove.
void WriteBaselineInstall(const std::string& root, const SyntheticInstall& plan) {
    WriteOverride(root + "/base", plan);
    std::string list;
    for (const std::string& path : plan.deleted) list += HostPath("", path) + '\0';
    WriteHostFile(root + "/deleted.list", list);
}

struct ChildRun {
    int exitCode = -1;
    double seconds = 0;
    long maxRssKb = 0;
};

// Runs a command in a folder through this program's --measure mode (see main), so that the peak
// memory of the command is its own: a process started straight from this one would report this
// one's peak memory as well, since the kernel keeps the largest a process had before exec.
ChildRun RunChild(std::vector<std::string> command, const std::string& folder, const std::string& input = "/dev/null",
                  const std::string& output = "/dev/null") {
    const std::string report = folder + "/.measured";
    command.insert(command.begin(), {"/proc/self/exe", "--measure", report});
    std::vector<char*> argv;
    for (std::string& a : command) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + command[3]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    ChildRun run;
    std::istringstream measured(ReadHostFile(report));
    if (!(measured >> run.exitCode >> run.seconds >> run.maxRssKb)) run.exitCode = -1;
    return run;
}

// find + rm of the listed files, from the folder that holds override.
ChildRun RunBaseline(const std::string& root) {
    const ChildRun walked = RunChild({"find", "override", "-type", "f"}, root + "/base");
    const ChildRun removed = RunChild({"xargs", "-0", "rm", "-f", "--"}, root + "/base", root + "/deleted.list");
    return {walked.exitCode != 0 ? walked.exitCode : removed.exitCode, walked.seconds + removed.seconds,
            std::max(walked.maxRssKb, removed.maxRssKb)};
}

// The console's log must show the run that was meant: no error, nothing missing, every table.
std::string CheckConsoleRun(const ChildRun& run, const std::string& root, const SyntheticInstall& plan) {
    if (run.exitCode != 0) return "zelvane-console ended with status " + std::to_string(run.exitCode);
    RunResult result;
    result.outcome = RunOutcome::Completed;
    result.log = ReadHostFile(root + "/mod/uninstall/removal_results.rtf");
    if (const std::string problem = whole_run::CheckLog(result); !problem.empty()) return problem;
    if (result.log.find("\\cf6\\b 0 files not found.") == std::string::npos) return "the run missed files";
    if (whole_run::Occurrences(result.log, "QRestore2da: \\cf3 Renamed") != static_cast<int>(plan.tables.size()))
        return "not every table was restored";
    for (const std::string& path : plan.deleted) {
        if (::access(HostPath(root + "/game", path).c_str(), F_OK) == 0) return "a listed file is still there: " + path;
    }
    return {};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// A fresh temporary folder, removed with everything in it.
struct Workspace {
    std::string path =
        Env("ZELVANE_BENCH_TMP", ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/zelvane-bench-XXXXXX";
    Workspace() {
        if (::mkdtemp(path.data()) == nullptr) throw std::runtime_error("mkdtemp");
    }
    ~Workspace() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;
};

// args: layout, files.
void BM_Disk(benchmark::State& state) {
    const int layout = static_cast<int>(state.range(0));
    const TreeShape shape = ShapeOf(layout, static_cast<int>(state.range(1)));
    const SyntheticInstall plan = PlanInstall(shape);
    const int trials = std::max(1, std::atoi(Env("ZELVANE_BENCH_TRIALS", "3").c_str()));
    const double slow = std::strtod(Env("ZELVANE_BENCH_SLOW_S", "20").c_str(), nullptr);

    std::vector<double> console, baseline;
    long consoleRss = 0, baselineRss = 0;
    for (auto _ : state) {
        for (int trial = 0; trial < trials; ++trial) {
            Workspace work;
            const std::string& root = work.path;
            WriteConsoleInstall(root, plan);
            WriteBaselineInstall(root, plan);
            const ChildRun run =
                RunChild({Env("ZELVANE_BENCH_CONSOLE", ZELVANE_CONSOLE), "--no-open", "--no-color", "--program-folder",
                          root + "/mod", "--registry", root + "/registry.txt", "--answers", root + "/answers.txt"},
                         root, "/dev/null", root + "/console.out");
            if (const std::string problem = CheckConsoleRun(run, root, plan); !problem.empty()) {
                state.SkipWithError(problem.c_str());
                return;
            }
            const ChildRun reference = RunBaseline(root);
            if (reference.exitCode != 0) {
                state.SkipWithError("the baseline failed");
                return;
            }
            console.push_back(run.seconds);
            baseline.push_back(reference.seconds);
            consoleRss = std::max(consoleRss, run.maxRssKb);
            baselineRss = std::max(baselineRss, reference.maxRssKb);
            if (run.seconds > slow) break;  // one run of a slow layout is enough
        }
        state.SetIterationTime(Median(console));
    }
    const double zelvane = Median(console);
    const double reference = Median(baseline);
    state.SetLabel(kLayoutNames[layout]);
    state.counters["trials"] = static_cast<double>(console.size());
    state.counters["zelvane_ms"] = zelvane * 1000;
    state.counters["baseline_ms"] = reference * 1000;
    state.counters["ratio"] = reference > 0 ? zelvane / reference : 0;
    state.counters["us_per_file"] = zelvane * 1e6 / static_cast<double>(shape.files);
    state.counters["baseline_us_per_file"] = reference * 1e6 / static_cast<double>(shape.files);
    state.counters["peak_rss_kb"] = static_cast<double>(consoleRss);
    state.counters["baseline_rss_kb"] = static_cast<double>(baselineRss);
}

// --- in memory ---

const std::string kMemoryGame = "C:\\Games\\Kotor2";
const std::string kMemoryProgram = "C:\\Mods\\Tool";

struct MemoryRun {
    RunResult result;
    double seconds = 0;
    std::uint64_t seamCalls = 0;
    std::uint64_t listings = 0;
    std::uint64_t entriesRead = 0;  // directory entries handed out by listings
    std::string problem;            // what the checks after the run found
};

// The install on the in-memory file system (listed in name order, as the host and NTFS list; each
// file holding its own path, so that a lost one shows), then a whole removal run, confirmation to
// saved log, with the seam calls it made counted.
MemoryRun RunInMemory(const SyntheticInstall& plan) {
    MemoryFileSystem fs;
    fs.ListInNameOrder();
    fs.AddFile(kMemoryGame + "\\dialog.tlk", "TLK V3.0");
    for (const std::string& folder : plan.folders) fs.AddFolder(kMemoryGame + "\\" + folder);
    for (const PlannedFile& file : plan.files) fs.AddFile(kMemoryGame + "\\" + file.path, file.path);
    UninstallDescription d;
    d.DescriptionPath = kMemoryProgram + "\\uninstall\\uninstall_data.ini";
    fs.AddFile(d.DescriptionPath, FileListDescription(plan.entries, plan.tables));
    d.Game = 2;
    d.ConfirmTitle = "Confirm Remove Mod";
    d.ConfirmMessage = "Remove the mod?";
    for (const std::string& table : plan.tables) {
        d.Backup2daFiles.push_back(kMemoryProgram + "\\backup\\" + table);
        fs.AddFile(d.Backup2daFiles.back(), "2DA V2.0 original");
    }
    d.Restore2da = d.Backup2daAvailable = !d.Backup2daFiles.empty();

    const auto total = [&fs] {
        std::uint64_t n = 0;
        for (int op = 0; op <= static_cast<int>(FsOp::FolderStamp); ++op) n += fs.CallCount(static_cast<FsOp>(op));
        return n;
    };
    const std::uint64_t calls = total(), listings = fs.CallCount(FsOp::List), entries = fs.EntriesRead();
    const whole_run::Files before = fs.Snapshot();
    whole_run::QuietUi ui;
    MemoryRun out;
    const auto start = std::chrono::steady_clock::now();
    out.result = whole_run::Run(fs, d, ui, kMemoryGame, kMemoryProgram);
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // The player's files stay; the tables in use go to Backup Uninstall.
    out.problem = whole_run::CheckLog(out.result) + whole_run::Lost(before, fs.Snapshot(), [](const std::string& p) {
                      return p.find("\\player_") != std::string::npos || p.ends_with(".2da");
                  });
    out.seamCalls = total() - calls;
    out.listings = fs.CallCount(FsOp::List) - listings;
    out.entriesRead = fs.EntriesRead() - entries;
    return out;
}

// args: layout, files.
void BM_Memory(benchmark::State& state) {
    const int layout = static_cast<int>(state.range(0));
    const TreeShape shape = ShapeOf(layout, static_cast<int>(state.range(1)));
    const SyntheticInstall plan = PlanInstall(shape);
    MemoryRun last;
    std::vector<double> times;
    for (auto _ : state) {
        last = RunInMemory(plan);
        times.push_back(last.seconds);
        state.SetIterationTime(last.seconds);
        if (last.result.outcome != RunOutcome::Completed || last.result.failureCount != 0 ||
            last.result.notFoundCount != 0 || !last.problem.empty()) {
            state.SkipWithError(("wrong result: " + last.problem).c_str());
        }
    }
    state.SetLabel(kLayoutNames[layout]);
    state.counters["us_per_file"] = Median(times) * 1e6 / static_cast<double>(shape.files);
    state.counters["seam_calls_per_entry"] =
        static_cast<double>(last.seamCalls) / static_cast<double>(plan.entries.size());
    state.counters["listings"] = static_cast<double>(last.listings);
    state.counters["entries_read_per_tree_entry"] =
        static_cast<double>(last.entriesRead) / static_cast<double>(plan.treeEntries);
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (const int layout : {0, 1, 2, 3}) {
        for (const int files : {500, 5000, 50000}) b->Args({layout, files});
    }
    b->ArgNames({"layout", "files"});
}

// --measure REPORT COMMAND...: runs the command and writes its exit status, its wall time in
// seconds and its peak memory in KiB to REPORT.
int Measure(char** command, const char* report) {
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, command[0], nullptr, nullptr, command, environ) != 0) return 127;
    int status = 0;
    struct rusage usage {};
    while (::wait4(pid, &status, 0, &usage) < 0) {
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const int exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::ofstream(report) << exitCode << ' ' << seconds << ' ' << usage.ru_maxrss << '\n';
    return exitCode;
}

}  // namespace
}  // namespace zelvane::bench

int main(int argc, char** argv) {
    using namespace zelvane::bench;
    if (argc >= 4 && std::string(argv[1]) == "--measure") return Measure(argv + 3, argv[2]);
    benchmark::RegisterBenchmark("Removal/memory", BM_Memory)
        ->Apply(Sizes)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3)
        ->UseManualTime();
    benchmark::RegisterBenchmark("Removal/disk", BM_Disk)
        ->Apply(Sizes)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->UseManualTime();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
