// The file-list phase over a large override tree: both search strategies leave the same log and
// the same files, and the index reads each directory entry about once where the walk reads the
// tree once per missing entry.

#include <gtest/gtest.h>

#include <string>

#include "bench/synthetic_tree.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "removal/file_list.hpp"
#include "removal/run_state.hpp"
#include "tests/support/scripted_ui.hpp"
#include "util/browse_folders.hpp"

namespace zelvane {
namespace {

const std::string kGame = "C:\\Games\\Kotor";
const std::string kIni = "C:\\Mods\\Tool\\uninstall\\uninstall_data.ini";

class NoRegistry : public Registry {
public:
    std::optional<RegistryValue> Query(std::uint32_t, std::string_view, std::string_view) const override {
        return std::nullopt;
    }
};

struct PhaseOutcome {
    std::string log;
    std::map<std::string, std::string> files;
    std::uint64_t entriesRead = 0;
    std::size_t treeEntries = 0;
    int notFound = 0;
    int prompts = 0;
};

PhaseOutcome RunFileList(const bench::TreeShape& shape, SearchStrategy strategy) {
    MemoryFileSystem fs;
    fs.AddFolder(kGame);
    const bench::SyntheticInstall install = bench::BuildInstall(fs, kGame, shape);
    fs.AddFile(kIni, bench::FileListDescription(install.entries));
    UninstallDescription d;
    d.DescriptionPath = kIni;
    d.Game = 2;
    testing::ScriptedUi ui;
    ui.promptAnswers = {0};  // "&Yes" to the first subfolder prompt confirms the rest
    NoRegistry registry;
    FolderBrowser browser;
    RunContext context{fs, registry, ui, browser, "C:\\Mods\\Tool"};
    RunState run(d, context);
    run.gameFolder = kGame;
    run.folders.gameFolder = kGame;
    run.files.searchIndex.SetStrategy(strategy);
    const std::uint64_t before = fs.EntriesRead();
    RemoveFileList(run);
    PhaseOutcome out;
    out.log = run.removalLog;
    out.files = fs.Snapshot();
    out.entriesRead = fs.EntriesRead() - before;
    out.treeEntries = install.treeEntries;
    out.notFound = run.counts.notFound;
    out.prompts = static_cast<int>(ui.prompts.size());
    return out;
}

TEST(FileListReads, BothStrategiesLeaveTheSameLogAndFiles) {
    bench::TreeShape shape = bench::Scaled(100);  // 500 files in 5 folders, 50 entries, 20 moved
    shape.missing = 7;
    const PhaseOutcome walked = RunFileList(shape, SearchStrategy::Walk);
    const PhaseOutcome indexed = RunFileList(shape, SearchStrategy::Indexed);
    EXPECT_EQ(walked.log, indexed.log);
    EXPECT_EQ(walked.files, indexed.files);
    EXPECT_EQ(indexed.notFound, 7);
    EXPECT_EQ(indexed.prompts, 1);
    EXPECT_NE(indexed.log.find("Delete Successful - \\cf1 Override\\\\Sub"), std::string::npos);
    // Every mod file is gone, every player file is still there.
    for (const auto& [path, bytes] : indexed.files) EXPECT_EQ(path.find("mod_"), std::string::npos) << path;
}

TEST(FileListReads, TheIndexReadsEachEntryAboutOnce) {
    bench::TreeShape shape = bench::Scaled(10);  // 5,000 files in 50 folders
    shape.listEntries = 0;
    shape.moved = 0;
    shape.missing = 40;  // entries whose file is nowhere: the walk reads the whole tree for each
    const PhaseOutcome walked = RunFileList(shape, SearchStrategy::Walk);
    const PhaseOutcome indexed = RunFileList(shape, SearchStrategy::Indexed);
    EXPECT_EQ(walked.log, indexed.log);
    EXPECT_EQ(indexed.notFound, 40);
    EXPECT_LE(indexed.entriesRead, indexed.treeEntries + 8);
    EXPECT_GE(indexed.entriesRead, indexed.treeEntries);
    EXPECT_EQ(walked.entriesRead, 40u * walked.treeEntries);
}

// One walk before the subfolder prompt and one after it: the player may have moved files while it
// was open, so the index is not trusted past it.
TEST(FileListReads, MovedFilesCostTwoWalksInAll) {
    bench::TreeShape shape = bench::Scaled(10);  // 500 entries, 200 of them in subfolders
    const PhaseOutcome walked = RunFileList(shape, SearchStrategy::Walk);
    const PhaseOutcome indexed = RunFileList(shape, SearchStrategy::Indexed);
    EXPECT_EQ(walked.log, indexed.log);
    EXPECT_LE(indexed.entriesRead, 2 * indexed.treeEntries + 8);
    EXPECT_GT(walked.entriesRead, 20u * walked.treeEntries);
}

}  // namespace
}  // namespace zelvane
