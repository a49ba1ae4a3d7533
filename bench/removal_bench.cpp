// Whole removal runs over synthetic K2 installs of 500, 5,000 and 50,000 files in four layouts:
// on disk, the real zelvane-console next to `find override -type f` plus `xargs rm` of the same
// files on an identical copy of the tree; in memory, the same run through the core, with its seam
// calls counted. docs/performance.md describes them and their environment variables.

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

// args: layout, files.
TreeShape ShapeOf(const benchmark::State& state) {
    TreeShape shape = Scaled(static_cast<std::size_t>(50000 / state.range(1)));
    shape.playerDirectPercent = state.range(0) == 1 ? 20 : 0;
    shape.upperCaseList = state.range(0) == 2;
    shape.tables = state.range(0) == 3 ? 20 : 0;
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

// The console's side in root/game and root/mod, with its registry file and its answers ("&Yes"
// to the confirmation, the subfolder prompt and every table); the baseline's in root/base, the
// same override tree and the NUL-separated list of the files to remove.
void WriteInstalls(const std::string& root, const SyntheticInstall& plan) {
    for (const char* side : {"/game", "/base"}) {
        for (const std::string& folder : plan.folders)
            std::filesystem::create_directories(HostPath(root + side, folder));
        for (const PlannedFile& file : plan.files) WriteHostFile(HostPath(root + side, file.path), file.bytes);
    }
    WriteHostFile(root + "/game/dialog.tlk", std::string("TLK V3.0") + std::string(8, '\0'));
    WriteHostFile(root + "/mod/uninstall/uninstall_data.ini", FileListDescription(plan.entries, plan.tables));
    for (const std::string& table : plan.tables) WriteHostFile(root + "/mod/backup/" + table, "2DA V2.0 original");
    std::string game = "Z:" + root + "/game";
    std::replace(game.begin(), game.end(), '/', '\\');
    WriteHostFile(root + "/registry.txt", "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|" + game + "\n");
    std::string answers, list;
    for (std::size_t i = 0; i < 2 + plan.tables.size(); ++i) answers += "0\n";
    WriteHostFile(root + "/answers.txt", answers);
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

void BM_Disk(benchmark::State& state) {
    const TreeShape shape = ShapeOf(state);
    const SyntheticInstall plan = PlanInstall(shape);
    const int trials = std::max(1, std::atoi(Env("ZELVANE_BENCH_TRIALS", "3").c_str()));
    const double slow = std::strtod(Env("ZELVANE_BENCH_SLOW_S", "20").c_str(), nullptr);
    std::vector<double> console, baseline;
    long consoleRss = 0;
    for (auto _ : state) {
        for (int trial = 0; trial < trials; ++trial) {
            Workspace work;
            const std::string& root = work.path;
            WriteInstalls(root, plan);
            const ChildRun run =
                RunChild({Env("ZELVANE_BENCH_CONSOLE", ZELVANE_CONSOLE), "--no-open", "--no-color", "--program-folder",
                          root + "/mod", "--registry", root + "/registry.txt", "--answers", root + "/answers.txt"},
                         root, "/dev/null", root + "/console.out");
            // find + rm of the listed files, from the folder that holds override.
            const ChildRun walked = RunChild({"find", "override", "-type", "f"}, root + "/base");
            const ChildRun removed =
                RunChild({"xargs", "-0", "rm", "-f", "--"}, root + "/base", root + "/deleted.list");
            std::string problem = CheckConsoleRun(run, root, plan);
            if (problem.empty() && (walked.exitCode != 0 || removed.exitCode != 0)) problem = "the baseline failed";
            if (!problem.empty()) return state.SkipWithError(problem.c_str());
            console.push_back(run.seconds);
            baseline.push_back(walked.seconds + removed.seconds);
            consoleRss = std::max(consoleRss, run.maxRssKb);
            if (run.seconds > slow) break;  // one run of a slow layout is enough
        }
        state.SetIterationTime(Median(console));
    }
    const double zelvane = Median(console), reference = Median(baseline), files = static_cast<double>(shape.files);
    state.SetLabel(kLayoutNames[state.range(0)]);
    state.counters["trials"] = static_cast<double>(console.size());
    state.counters["zelvane_ms"] = zelvane * 1000;
    state.counters["baseline_ms"] = reference * 1000;
    state.counters["ratio"] = reference > 0 ? zelvane / reference : 0;
    state.counters["us_per_file"] = zelvane * 1e6 / files;
    state.counters["baseline_us_per_file"] = reference * 1e6 / files;
    state.counters["peak_rss_kb"] = static_cast<double>(consoleRss);
}

// The install on the in-memory file system (listed in name order, as the host and NTFS list; each
// file holding its own path, so that a lost one shows), then a whole removal run, confirmation to
// saved log: the player's files stay, the tables in use go to Backup Uninstall.
void BM_Memory(benchmark::State& state) {
    const TreeShape shape = ShapeOf(state);
    const SyntheticInstall plan = PlanInstall(shape);
    const std::string game = "C:\\Games\\Kotor2", program = "C:\\Mods\\Tool";
    std::vector<double> times;
    double calls = 0, listings = 0, entriesRead = 0;
    for (auto _ : state) {
        MemoryFileSystem fs;
        fs.ListInNameOrder();
        fs.AddFile(game + "\\dialog.tlk", "TLK V3.0");
        for (const std::string& folder : plan.folders) fs.AddFolder(game + "\\" + folder);
        for (const PlannedFile& file : plan.files) fs.AddFile(game + "\\" + file.path, file.path);
        UninstallDescription d;
        d.DescriptionPath = program + "\\uninstall\\uninstall_data.ini";
        fs.AddFile(d.DescriptionPath, FileListDescription(plan.entries, plan.tables));
        d.Game = 2;
        d.ConfirmTitle = "Confirm Remove Mod";
        d.ConfirmMessage = "Remove the mod?";
        for (const std::string& table : plan.tables) {
            d.Backup2daFiles.push_back(program + "\\backup\\" + table);
            fs.AddFile(d.Backup2daFiles.back(), "2DA V2.0 original");
        }
        d.Restore2da = d.Backup2daAvailable = !d.Backup2daFiles.empty();
        const auto total = [&fs] {
            std::uint64_t n = 0;
            for (int op = 0; op <= static_cast<int>(FsOp::FolderStamp); ++op) n += fs.CallCount(static_cast<FsOp>(op));
            return static_cast<double>(n);
        };
        calls = total(), listings = static_cast<double>(fs.CallCount(FsOp::List));
        entriesRead = static_cast<double>(fs.EntriesRead());
        const whole_run::Files before = fs.Snapshot();
        whole_run::QuietUi ui;
        const auto start = std::chrono::steady_clock::now();
        const RunResult result = whole_run::Run(fs, d, ui, game, program);
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.SetIterationTime(times.back());
        calls = total() - calls, listings = static_cast<double>(fs.CallCount(FsOp::List)) - listings;
        entriesRead = static_cast<double>(fs.EntriesRead()) - entriesRead;
        const std::string problem =
            whole_run::CheckLog(result) + whole_run::Lost(before, fs.Snapshot(), [](const std::string& p) {
                return p.find("\\player_") != std::string::npos || p.ends_with(".2da");
            });
        if (result.outcome != RunOutcome::Completed || result.failureCount != 0 || result.notFoundCount != 0 ||
            !problem.empty()) {
            state.SkipWithError(("wrong result: " + problem).c_str());
        }
    }
    state.SetLabel(kLayoutNames[state.range(0)]);
    state.counters["us_per_file"] = Median(times) * 1e6 / static_cast<double>(shape.files);
    state.counters["seam_calls_per_entry"] = calls / static_cast<double>(plan.entries.size());
    state.counters["listings"] = listings;
    state.counters["entries_read_per_tree_entry"] = entriesRead / static_cast<double>(plan.treeEntries);
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
    struct Kind {
        const char* name;
        void (*function)(benchmark::State&);
        int iterations;
    };
    for (const Kind& kind : {Kind{"Removal/memory", BM_Memory, 3}, Kind{"Removal/disk", BM_Disk, 1}}) {
        auto* b = benchmark::RegisterBenchmark(kind.name, kind.function);
        for (const int layout : {0, 1, 2, 3}) {
            for (const int files : {500, 5000, 50000}) b->Args({layout, files});
        }
        b->ArgNames({"layout", "files"})->Unit(benchmark::kMillisecond)->Iterations(kind.iterations)->UseManualTime();
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
