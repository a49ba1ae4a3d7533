// The file-list phase of a removal run over synthetic override trees, with the search walking the
// tree for every missing entry (walk) or answering from the index (indexed). Both strategies run
// in one program on one machine, so their times compare directly.
//
//   zelvane_bench                      in-memory trees of 500, 5,000 and 50,000 files
//   ZELVANE_BENCH_DISK=1 zelvane_bench  also the same trees on disk under /tmp (host file system)
//
// Counters: entries_read = directory entries handed out by listings during the phase (in-memory
// trees only), tree_entries = files and folders below override (one read of each is the minimum),
// walks = complete walks made by the index, list_entries = entries of the file list.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "bench/synthetic_tree.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "platform/posix/posix_file_system.hpp"
#include "removal/file_list.hpp"
#include "removal/run_state.hpp"
#include "util/browse_folders.hpp"

namespace zelvane::bench {
namespace {

// Answers "&Yes" to every prompt: the first subfolder prompt confirms all later ones.
class YesUi final : public UserInterface {
public:
    int prompts = 0;
    int MsgBoxEx(PromptRequest) override { return ++prompts, 0; }
    void ShowMessage(std::string_view, std::string_view, std::uint32_t) override {}
    std::string BrowseFolderDialog(std::string_view, std::string_view) override { return ""; }
    std::string OpenFileDialog(const OpenFileRequest&) override { return ""; }
    int ShellOpen(std::string_view, std::string_view, std::string_view, int) override { return 42; }
    void DoEvents() override {}
    int TwipsPerPixelX() const override { return 15; }
    int TwipsPerPixelY() const override { return 15; }
    int TextWidthTwips(std::string_view text, std::string_view, int, bool) override {
        return static_cast<int>(text.size()) * 120;
    }
};

class NoRegistry final : public Registry {
public:
    std::optional<RegistryValue> Query(std::uint32_t, std::string_view, std::string_view) const override {
        return std::nullopt;
    }
};

struct PhaseResult {
    std::uint64_t walks = 0;
    int notFound = 0;
    int failures = 0;
};

PhaseResult RunPhase(FileSystem& fs, const std::string& game, const std::string& ini, SearchStrategy strategy) {
    UninstallDescription d;
    d.DescriptionPath = ini;
    d.Game = 2;
    YesUi ui;
    NoRegistry registry;
    FolderBrowser browser;
    RunContext context{fs, registry, ui, browser, game + "\\Tool"};
    RunState run(d, context);
    run.gameFolder = game;
    run.folders.gameFolder = game;
    run.searchIndex.SetStrategy(strategy);
    RemoveFileList(run);
    return PhaseResult{run.searchIndex.Walks(), run.notFoundCount, run.failureCount};
}

void Report(benchmark::State& state, const TreeShape& shape, std::size_t treeEntries, const PhaseResult& last,
            std::uint64_t entriesRead, bool counted) {
    state.counters["tree_entries"] = static_cast<double>(treeEntries);
    state.counters["list_entries"] = static_cast<double>(shape.listEntries + shape.missing);
    state.counters["walks"] = static_cast<double>(last.walks);
    if (counted) {
        state.counters["entries_read"] = static_cast<double>(entriesRead);
        state.counters["reads_per_entry"] = static_cast<double>(entriesRead) / static_cast<double>(treeEntries);
    }
    if (last.notFound != static_cast<int>(shape.missing) || last.failures != 0) state.SkipWithError("wrong result");
}

TreeShape ShapeOf(const benchmark::State& state) {
    TreeShape shape = Scaled(static_cast<std::size_t>(state.range(0)));
    shape.missing = static_cast<std::size_t>(state.range(2));
    return shape;
}

// args: divisor of the 50,000-file tree, strategy (0 walk, 1 indexed), entries missing altogether.
void BM_FileListInMemory(benchmark::State& state) {
    const TreeShape shape = ShapeOf(state);
    const auto strategy = state.range(1) ? SearchStrategy::Indexed : SearchStrategy::Walk;
    const std::string game = "C:\\Games\\Kotor";
    const std::string ini = "C:\\Games\\Kotor\\Tool\\uninstall\\uninstall_data.ini";
    PhaseResult last;
    std::uint64_t entriesRead = 0;
    std::size_t treeEntries = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto fs = std::make_unique<MemoryFileSystem>();
        fs->AddFolder(game);
        const SyntheticInstall install = BuildInstall(*fs, game + "\\override", shape);
        fs->AddFile(ini, FileListDescription(install.entries));
        treeEntries = install.treeEntries;
        const std::uint64_t before = fs->EntriesRead();
        state.ResumeTiming();
        last = RunPhase(*fs, game, ini, strategy);
        state.PauseTiming();
        entriesRead = fs->EntriesRead() - before;
        fs.reset();
        state.ResumeTiming();
    }
    Report(state, shape, treeEntries, last, entriesRead, true);
}

// Removes a tree made on the host, through the seam and rmdir.
void RemoveHostTree(PosixFileSystem& fs, const std::string& folder) {
    if (auto listing = fs.List(folder + "\\*.*")) {
        for (auto e = listing->Next(); e; e = listing->Next()) {
            const std::string path = folder + "\\" + e->name;
            if (e->attributes.directory) {
                RemoveHostTree(fs, path);
            } else {
                fs.Delete(path);
            }
        }
    }
    ::rmdir(fs.HostPathOf(folder).c_str());
}

void BM_FileListOnDisk(benchmark::State& state) {
    const TreeShape shape = ShapeOf(state);
    const auto strategy = state.range(1) ? SearchStrategy::Indexed : SearchStrategy::Walk;
    char folderTemplate[] = "/tmp/zelvane-bench-XXXXXX";
    if (!::mkdtemp(folderTemplate)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    std::string game = std::string("Z:") + folderTemplate;
    for (char& c : game) c = c == '/' ? '\\' : c;
    const std::string ini = game + "\\uninstall_data.ini";
    PosixFileSystem fs;
    PhaseResult last;
    std::size_t treeEntries = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const SyntheticInstall install = BuildInstall(fs, game + "\\override", shape);
        fs.WriteAll(ini, FileListDescription(install.entries));
        treeEntries = install.treeEntries;
        state.ResumeTiming();
        last = RunPhase(fs, game, ini, strategy);
        state.PauseTiming();
        RemoveHostTree(fs, game + "\\override");
        state.ResumeTiming();
    }
    fs.Delete(ini);
    ::rmdir(folderTemplate);
    Report(state, shape, treeEntries, last, 0, false);
}

void MemoryArgs(benchmark::internal::Benchmark* b) {
    for (const int divisor : {100, 10, 1}) {
        for (const int strategy : {0, 1}) b->Args({divisor, strategy, 0});
    }
    // The same large tree with 500 further entries that are nowhere: each is a full walk.
    b->Args({1, 0, 500});
    b->Args({1, 1, 500});
    b->ArgNames({"divisor", "indexed", "missing"});
    b->Unit(benchmark::kMillisecond)->Iterations(3);
}

void DiskArgs(benchmark::internal::Benchmark* b) {
    for (const int divisor : {100, 10, 1}) {
        for (const int strategy : {0, 1}) b->Args({divisor, strategy, 0});
    }
    b->ArgNames({"divisor", "indexed", "missing"});
    b->Unit(benchmark::kMillisecond)->Iterations(1);
}

}  // namespace
}  // namespace zelvane::bench

int main(int argc, char** argv) {
    using namespace zelvane::bench;
    benchmark::RegisterBenchmark("FileList/memory", BM_FileListInMemory)->Apply(MemoryArgs);
    if (const char* disk = std::getenv("ZELVANE_BENCH_DISK"); disk && std::string(disk) == "1") {
        benchmark::RegisterBenchmark("FileList/disk", BM_FileListOnDisk)->Apply(DiskArgs);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
