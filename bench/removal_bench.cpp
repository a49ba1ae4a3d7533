// Whole removal runs over synthetic K2 installs of 500, 5,000 and 50,000 files, in four layouts:
//   moved      5,000 listed (at full size), 2,000 of them moved by the player into subfolders
//   player20   the same, 20% of the player's files directly in override
//   uppercase  the same, the list written in upper case, the files on disk in lower case
//   tables     the same plus 20 2da tables restored from their backups (found in subfolders)
//
// On disk: one run of the real zelvane-console (answers file, registry file, --no-open) on a tree
// under a temporary folder, next to the baseline on an identical copy of the tree: one
// `find override -type f` walk plus `xargs rm` of the same files (with tables, a second baseline
// adds their restore made as durably as the console makes it: bench/durable_restore.hpp). Each is
// made three times on fresh copies (warm cache); the medians are reported with their ratio, the
// peak memory of the console (getrusage of the child) and the time per file. With
// ZELVANE_BENCH_STRACE=1 one further run of each under `strace -c -f` gives the system calls per
// listed entry.
//
// In memory: the same run through the core on the in-memory file system, with the seam calls,
// listings and directory entries read per listed entry.
//
// Environment: ZELVANE_BENCH_TRIALS (default 3), ZELVANE_BENCH_TMP (default /dev/shm, else /tmp:
// the trees are made and removed for every trial, which takes minutes on a busy disk),
// ZELVANE_BENCH_STRACE=1, ZELVANE_BENCH_SLOW_S (default 20: a console run slower than this is
// made once, not three times), ZELVANE_BENCH_CONSOLE (another zelvane-console to measure, e.g. an
// older build for a comparison).

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <ftw.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/durable_restore.hpp"
#include "bench/memory_run.hpp"
#include "bench/strace_summary.hpp"
#include "bench/synthetic_tree.hpp"

extern char** environ;

namespace zelvane::bench {
namespace {

enum Layout { kMoved = 0, kPlayer20 = 1, kUpperCase = 2, kTables = 3 };
const char* const kLayoutNames[] = {"moved", "player20", "uppercase", "tables"};

TreeShape ShapeOf(int layout, int files) {
    TreeShape shape = Scaled(static_cast<std::size_t>(50000 / files));
    if (layout == kPlayer20) shape.playerDirectPercent = 20;
    if (layout == kUpperCase) shape.upperCaseList = true;
    if (layout == kTables) shape.tables = 20;
    return shape;
}

std::string Env(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::string(value) : fallback;
}

// --- host files ---

std::string HostPath(const std::string& root, const std::string& relative) {
    std::string out = root + "/" + relative;
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

void MakeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) throw std::runtime_error("mkdir " + path);
}

void WriteHostFile(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("cannot write " + path);
    const bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    ::close(fd);
    if (!ok) throw std::runtime_error("cannot write " + path);
}

std::string ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

int RemoveOne(const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }
void RemoveTree(const std::string& path) { ::nftw(path.c_str(), &RemoveOne, 32, FTW_DEPTH | FTW_PHYS); }

// "/tmp/x/game" as the console names it: "Z:\tmp\x\game".
std::string WindowsForm(const std::string& host) {
    std::string out = "Z:" + host;
    std::replace(out.begin(), out.end(), '/', '\\');
    return out;
}

void WriteOverride(const std::string& game, const SyntheticInstall& plan) {
    MakeFolder(game);
    for (const std::string& folder : plan.folders) MakeFolder(HostPath(game, folder));
    for (const PlannedFile& file : plan.files) WriteHostFile(HostPath(game, file.path), file.bytes);
}

// The console's side: game folder, program folder with description and backups, registry and
// answers. Its answers: "&Yes" to the confirmation, the subfolder prompt and every table.
struct ConsoleInstall {
    std::string game, mod, registry, answers, log;
};

ConsoleInstall WriteConsoleInstall(const std::string& root, const SyntheticInstall& plan) {
    ConsoleInstall c{root + "/game", root + "/mod", root + "/registry.txt", root + "/answers.txt",
                     root + "/mod/uninstall/removal_results.rtf"};
    WriteOverride(c.game, plan);
    WriteHostFile(c.game + "/dialog.tlk", std::string("TLK V3.0") + std::string(8, '\0'));
    MakeFolder(c.mod);
    MakeFolder(c.mod + "/uninstall");
    WriteHostFile(c.mod + "/uninstall/uninstall_data.ini", FileListDescription(plan.entries, plan.tables));
    if (!plan.tables.empty()) {
        MakeFolder(c.mod + "/backup");
        for (const std::string& table : plan.tables) WriteHostFile(c.mod + "/backup/" + table, "2DA V2.0 original");
    }
    WriteHostFile(c.registry, "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|" + WindowsForm(c.game) + "\n");
    std::string answers = "0\n0\n";
    for (std::size_t i = 0; i < plan.tables.size(); ++i) answers += "0\n";
    WriteHostFile(c.answers, answers);
    return c;
}

std::string HostRelative(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// The baseline's side: the same override tree, the NUL-separated list of the files to remove and,
// with tables, their backups and the plan of their durable restore (see durable_restore.hpp).
std::string WriteBaselineInstall(const std::string& root, const SyntheticInstall& plan) {
    const std::string game = root + "/base";
    WriteOverride(game, plan);
    std::string list;
    for (const std::string& path : plan.deleted) {
        list += HostRelative(path);
        list += '\0';
    }
    WriteHostFile(root + "/deleted.list", list);
    std::string tables;
    if (!plan.tables.empty()) {
        MakeFolder(game + "/backup");
        MakeFolder(game + "/Backup Uninstall");
        for (const PlannedFile& file : plan.files) {
            const std::string name = file.path.substr(file.path.rfind('\\') + 1);
            if (std::find(plan.tables.begin(), plan.tables.end(), name) == plan.tables.end()) continue;
            WriteHostFile(game + "/backup/" + name, "2DA V2.0 original");
            tables += HostRelative(file.path) + "\tbackup/" + name + "\tBackup Uninstall\n";
        }
    }
    WriteHostFile(root + "/tables.plan", tables);
    return game;
}

// --- child processes ---

struct ChildRun {
    int exitCode = -1;
    double seconds = 0;
    long maxRssKb = 0;
};

// Runs a command through this program's --measure mode (see main), so that the peak memory of the
// command is its own: a process started straight from this one would report this one's peak
// memory as well, since the kernel keeps the largest of the memories a process had before exec.
ChildRun RunChild(const std::vector<std::string>& arguments, const std::string& folder, const std::string& input,
                  const std::string& output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string report = output + ".measured";
    std::vector<std::string> args{"/proc/self/exe", "--measure", report};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    char previous[4096];
    if (::getcwd(previous, sizeof previous) == nullptr) throw std::runtime_error("getcwd");
    if (::chdir(folder.c_str()) != 0) throw std::runtime_error("chdir " + folder);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (::chdir(previous) != 0) throw std::runtime_error("chdir back");
    if (spawned != 0) throw std::runtime_error("cannot start " + arguments[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    ChildRun run;
    std::istringstream measured(ReadHostFile(report));
    if (!(measured >> run.exitCode >> run.seconds >> run.maxRssKb)) run.exitCode = -1;
    return run;
}

std::vector<std::string> ConsoleCommand(const ConsoleInstall& c) {
    return {Env("ZELVANE_BENCH_CONSOLE", ZELVANE_CONSOLE),
            "--no-open",
            "--no-color",
            "--program-folder",
            c.mod,
            "--registry",
            c.registry,
            "--answers",
            c.answers};
}

// find + rm of the listed files, from the folder that holds override.
ChildRun RunBaseline(const std::string& game, const std::string& list, const std::vector<std::string>& findPrefix,
                     const std::vector<std::string>& rmPrefix) {
    std::vector<std::string> find = findPrefix;
    find.insert(find.end(), {"find", "override", "-type", "f"});
    std::vector<std::string> rm = rmPrefix;
    rm.insert(rm.end(), {"xargs", "-0", "rm", "-f", "--"});
    const ChildRun walked = RunChild(find, game, "/dev/null", "/dev/null");
    const ChildRun removed = RunChild(rm, game, list, "/dev/null");
    ChildRun both;
    both.exitCode = walked.exitCode != 0 ? walked.exitCode : removed.exitCode;
    both.seconds = walked.seconds + removed.seconds;
    both.maxRssKb = std::max(walked.maxRssKb, removed.maxRssKb);
    return both;
}

// The durable restore of the tables on the baseline's tree, after find + rm.
ChildRun RunDurableRestore(const std::string& game, const std::string& plan) {
    return RunChild({"/proc/self/exe", "--restore-tables", plan}, game, "/dev/null", "/dev/null");
}

// The console's log must show the run that was meant: no error, nothing missing, every table.
std::string CheckConsoleRun(const ChildRun& run, const ConsoleInstall& c, const SyntheticInstall& plan) {
    if (run.exitCode != 0) return "zelvane-console ended with status " + std::to_string(run.exitCode);
    const std::string log = ReadHostFile(c.log);
    if (log.find("\\cf6\\b 0 errors.") == std::string::npos) return "the run logged errors";
    if (log.find("\\cf6\\b 0 files not found.") == std::string::npos) return "the run missed files";
    std::size_t renamed = 0;
    for (std::size_t at = log.find("QRestore2da: \\cf3 Renamed"); at != std::string::npos;
         at = log.find("QRestore2da: \\cf3 Renamed", at + 1)) {
        ++renamed;
    }
    if (renamed != plan.tables.size()) return "not every table was restored";
    for (const std::string& path : plan.deleted) {
        if (::access(HostPath(c.game, path).c_str(), F_OK) == 0) return "a listed file is still there: " + path;
    }
    return {};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

class Workspace {
public:
    Workspace() {
        const std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        path_ = Env("ZELVANE_BENCH_TMP", base) + "/zelvane-bench-XXXXXX";
        if (::mkdtemp(path_.data()) == nullptr) throw std::runtime_error("mkdtemp");
    }
    ~Workspace() { RemoveTree(path_); }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// args: layout, files.
void BM_Disk(benchmark::State& state) {
    const int layout = static_cast<int>(state.range(0));
    const int files = static_cast<int>(state.range(1));
    const TreeShape shape = ShapeOf(layout, files);
    const SyntheticInstall plan = PlanInstall(shape);
    const int trials = std::max(1, std::atoi(Env("ZELVANE_BENCH_TRIALS", "3").c_str()));
    const double slow = std::strtod(Env("ZELVANE_BENCH_SLOW_S", "20").c_str(), nullptr);
    const bool traced = Env("ZELVANE_BENCH_STRACE", "0") == "1";
    const double entries = static_cast<double>(plan.entries.size());

    std::vector<double> console, baseline, durableBaseline;
    long consoleRss = 0, baselineRss = 0;
    std::map<std::string, double> consoleCalls, baselineCalls;
    for (auto _ : state) {
        for (int trial = 0; trial < trials + (traced ? 1 : 0); ++trial) {
            const bool straceRun = traced && trial == trials;
            Workspace work;
            const ConsoleInstall c = WriteConsoleInstall(work.Path(), plan);
            const std::string base = WriteBaselineInstall(work.Path(), plan);
            const std::string list = work.Path() + "/deleted.list";
            std::vector<std::string> prefix;
            if (straceRun) prefix = {"strace", "-c", "-f", "-o", work.Path() + "/strace.txt"};
            std::vector<std::string> command = prefix;
            const std::vector<std::string> consoleCommand = ConsoleCommand(c);
            command.insert(command.end(), consoleCommand.begin(), consoleCommand.end());
            const ChildRun run = RunChild(command, work.Path(), "/dev/null", work.Path() + "/console.out");
            if (const std::string problem = CheckConsoleRun(run, c, plan); !problem.empty()) {
                state.SkipWithError(problem.c_str());
                return;
            }
            if (straceRun) {
                consoleCalls = StraceSummary(ReadHostFile(work.Path() + "/strace.txt"));
                RunBaseline(base, list, {"strace", "-c", "-f", "-o", work.Path() + "/strace-find.txt"},
                            {"strace", "-c", "-f", "-o", work.Path() + "/strace-rm.txt"});
                baselineCalls = StraceSummary(ReadHostFile(work.Path() + "/strace-find.txt"));
                for (const auto& [name, n] : StraceSummary(ReadHostFile(work.Path() + "/strace-rm.txt"))) {
                    baselineCalls[name] += n;
                }
                continue;
            }
            const ChildRun reference = RunBaseline(base, list, {}, {});
            const ChildRun restored =
                plan.tables.empty() ? ChildRun{0, 0, 0} : RunDurableRestore(base, work.Path() + "/tables.plan");
            if (reference.exitCode != 0 || restored.exitCode != 0) {
                state.SkipWithError("the baseline failed");
                return;
            }
            console.push_back(run.seconds);
            baseline.push_back(reference.seconds);
            durableBaseline.push_back(reference.seconds + restored.seconds);
            consoleRss = std::max(consoleRss, run.maxRssKb);
            baselineRss = std::max(baselineRss, reference.maxRssKb);
            if (run.seconds > slow && !traced) break;  // one run of a slow layout is enough
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
    if (!plan.tables.empty()) {
        // The same baseline with the tables restored as durably as the console restores them.
        const double durable = Median(durableBaseline);
        state.counters["durable_baseline_ms"] = durable * 1000;
        state.counters["durable_ratio"] = durable > 0 ? zelvane / durable : 0;
    }
    state.counters["us_per_file"] = zelvane * 1e6 / shape.files;
    state.counters["baseline_us_per_file"] = reference * 1e6 / shape.files;
    state.counters["peak_rss_kb"] = static_cast<double>(consoleRss);
    state.counters["baseline_rss_kb"] = static_cast<double>(baselineRss);
    if (traced) {
        auto per = [&](const std::map<std::string, double>& calls, std::initializer_list<const char*> names) {
            double n = 0;
            for (const char* name : names) n += calls.count(name) ? calls.at(name) : 0;
            return n / entries;
        };
        const std::initializer_list<const char*> stats = {"newfstatat", "fstatat64", "statx", "stat", "lstat", "fstat"};
        state.counters["sys_per_entry"] = per(consoleCalls, {"total"});
        state.counters["sys_stat_per_entry"] = per(consoleCalls, stats);
        state.counters["sys_getdents_per_entry"] = per(consoleCalls, {"getdents64"});
        state.counters["sys_open_per_entry"] = per(consoleCalls, {"openat", "open"});
        state.counters["baseline_sys_per_entry"] = per(baselineCalls, {"total"});
    }
}

// args: layout, files.
void BM_Memory(benchmark::State& state) {
    const int layout = static_cast<int>(state.range(0));
    const TreeShape shape = ShapeOf(layout, static_cast<int>(state.range(1)));
    MemoryRunResult last;
    std::size_t entries = 0, treeEntries = 0;
    std::vector<double> times;
    for (auto _ : state) {
        MemoryInstall install = MakeMemoryInstall(shape);
        entries = install.plan.entries.size();
        treeEntries = install.plan.treeEntries;
        const auto start = std::chrono::steady_clock::now();
        last = RunInMemory(install);
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.SetIterationTime(times.back());
        if (last.result.outcome != RunOutcome::Completed || last.result.failureCount != 0 ||
            last.result.notFoundCount != 0) {
            state.SkipWithError("wrong result");
        }
    }
    state.SetLabel(kLayoutNames[layout]);
    state.counters["us_per_file"] = Median(times) * 1e6 / static_cast<double>(shape.files);
    state.counters["seam_calls_per_entry"] = static_cast<double>(last.seamCalls) / static_cast<double>(entries);
    state.counters["listings"] = static_cast<double>(last.listings);
    state.counters["entries_read_per_tree_entry"] =
        static_cast<double>(last.entriesRead) / static_cast<double>(treeEntries);
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (const int layout : {kMoved, kPlayer20, kUpperCase, kTables}) {
        for (const int files : {500, 5000, 50000}) b->Args({layout, files});
    }
    b->ArgNames({"layout", "files"});
}

}  // namespace
}  // namespace zelvane::bench

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

int main(int argc, char** argv) {
    using namespace zelvane::bench;
    if (argc >= 4 && std::string(argv[1]) == "--measure") return Measure(argv + 3, argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--restore-tables") return RestoreTablesDurably(argv[2]);
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
