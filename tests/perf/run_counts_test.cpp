// Whole removal runs over the benchmark's layouts on the in-memory file system: the index gives
// the walk's results (same log, same files), each folder is read once per run (plus once more
// for each change the run makes to the tree), and the seam calls per listed file stay a small
// constant whatever the size of the tree.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "bench/counting_file_system.hpp"
#include "bench/memory_run.hpp"
#include "bench/synthetic_tree.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "removal/file_list.hpp"
#include "removal/restore_2da.hpp"
#include "removal/run_state.hpp"
#include "tests/support/scripted_ui.hpp"
#include "util/browse_folders.hpp"

namespace zelvane {
namespace {

using bench::TreeShape;

enum class Layout { Moved, PlayerFilesInOverride, UpperCaseList, Tables };

TreeShape ShapeOf(Layout layout, std::size_t divisor) {
    TreeShape shape = bench::Scaled(divisor);
    if (layout == Layout::PlayerFilesInOverride) shape.playerDirectPercent = 20;
    if (layout == Layout::UpperCaseList) shape.upperCaseList = true;
    if (layout == Layout::Tables) shape.tables = 20;
    return shape;
}

struct PhasesOutcome {
    std::string log;
    std::map<std::string, std::string> files;
    int failures = 0;
    int notFound = 0;
    std::uint64_t walks = 0;
};

// The file list and the 2da restore of one install, "&Yes" to every prompt, with the search
// walking the tree for every file or answering from the index.
PhasesOutcome RunPhases(const TreeShape& shape, SearchStrategy strategy) {
    bench::MemoryInstall install = bench::MakeMemoryInstall(shape);
    testing::ScriptedUi ui;
    ui.promptAnswers.assign(1 + shape.tables, 0);
    bench::GameRegistry registry(bench::kMemoryGame);
    FolderBrowser browser;
    RunContext context{*install.fs, registry, ui, browser, bench::kMemoryProgram};
    RunState run(install.description, context);
    run.gameFolder = bench::kMemoryGame;
    run.folders.gameFolder = bench::kMemoryGame;
    run.files.searchIndex.SetStrategy(strategy);
    RemoveFileList(run);
    Restore2daBackups(run);
    return {run.removalLog, install.fs->Snapshot(), run.counts.failures, run.counts.notFound,
            run.files.searchIndex.Walks()};
}

class LayoutTest : public ::testing::TestWithParam<Layout> {};

TEST_P(LayoutTest, TheIndexLeavesTheLogAndFilesOfTheWalk) {
    TreeShape shape = ShapeOf(GetParam(), 100);  // 500 files in 5 folders, 50 entries, 20 moved
    shape.missing = 5;
    const PhasesOutcome walked = RunPhases(shape, SearchStrategy::Walk);
    const PhasesOutcome indexed = RunPhases(shape, SearchStrategy::Indexed);
    EXPECT_EQ(walked.log, indexed.log);
    EXPECT_EQ(walked.files, indexed.files);
    EXPECT_EQ(indexed.failures, 0);
    EXPECT_EQ(indexed.notFound, 5);
    EXPECT_NE(indexed.log.find("Delete Successful - \\cf1 Override\\\\Sub"), std::string::npos);
    for (const auto& [path, bytes] : indexed.files) EXPECT_EQ(path.find("mod_"), std::string::npos) << path;
    if (GetParam() == Layout::Tables) {
        // Each table went back where the game uses it, the displaced one into Backup Uninstall.
        EXPECT_EQ(indexed.files.at(bench::kMemoryGame + "\\override\\Sub1\\table_0.2da"), "2DA V2.0 original");
        EXPECT_EQ(indexed.files.at(bench::kMemoryProgram + "\\Backup Uninstall\\table_0.2da"), "2DA V2.0 modded");
    }
}

// What a whole run costs in directory reads and seam calls.
struct Costs {
    bench::MemoryRunResult run;
    std::size_t entries = 0;
    std::size_t treeEntries = 0;
    std::size_t folders = 0;  // override and its subfolders
};

Costs WholeRun(const TreeShape& shape) {
    bench::MemoryInstall install = bench::MakeMemoryInstall(shape);
    Costs costs;
    costs.run = bench::RunInMemory(install);
    costs.entries = install.plan.entries.size();
    costs.treeEntries = install.plan.treeEntries;
    costs.folders = install.plan.folders.size();
    EXPECT_EQ(costs.run.result.outcome, RunOutcome::Completed);
    EXPECT_EQ(costs.run.result.failureCount, 0);
    EXPECT_EQ(costs.run.result.notFoundCount, 0);
    return costs;
}

TEST_P(LayoutTest, EachFolderIsReadOncePerRun) {
    const TreeShape shape = ShapeOf(GetParam(), 10);  // 5,000 files in 50 folders
    const Costs costs = WholeRun(shape);
    // The tree is walked once. Each table restored goes back into the place of the file it
    // replaces; that one folder is read again to see it listed where the old file was.
    EXPECT_LE(costs.run.listings, costs.folders + shape.tables + 2);
    EXPECT_GE(costs.run.listings, costs.folders);  // every folder is read: the walk is not skipped
    const std::size_t folderSize = costs.treeEntries / costs.folders + 10;
    EXPECT_LE(costs.run.entriesRead, costs.treeEntries + shape.tables * folderSize);
    // After each prompt the stamp of every folder is compared once, and a folder the run changed
    // is stamped again.
    EXPECT_LE(costs.run.stamps, (costs.run.prompts + 1u) * costs.folders + costs.entries + 2u * shape.tables);
}

TEST_P(LayoutTest, SeamCallsPerListedFileStaySmallAtEverySize) {
    double perEntry[2] = {};
    int i = 0;
    for (const std::size_t divisor : {100, 10}) {
        const Costs costs = WholeRun(ShapeOf(GetParam(), divisor));
        // Listings and stamps are counted above; what is left is a few calls per listed file.
        const double calls = static_cast<double>(costs.run.seamCalls - costs.run.listings - costs.run.stamps);
        perEntry[i++] = calls / static_cast<double>(costs.entries);
    }
    // At the smallest size 20 tables come to 50 listed files, and each costs a score of calls
    // (the proof that every step of its sequence can be made before the first is, the volume
    // test, the program's own folders at each change).
    const bool tables = GetParam() == Layout::Tables;
    EXPECT_LE(perEntry[0], tables ? 26.0 : 8.0);
    EXPECT_LE(perEntry[1], tables ? 8.5 : 8.0);
    // Linear: ten times the tree and the list, about the same calls per file.
    EXPECT_LE(perEntry[1], perEntry[0] * 1.1);
}

INSTANTIATE_TEST_SUITE_P(Layouts, LayoutTest,
                         ::testing::Values(Layout::Moved, Layout::PlayerFilesInOverride, Layout::UpperCaseList,
                                           Layout::Tables),
                         [](const ::testing::TestParamInfo<Layout>& info) {
                             switch (info.param) {
                                 case Layout::Moved: return std::string("Moved");
                                 case Layout::PlayerFilesInOverride: return std::string("PlayerFilesInOverride");
                                 case Layout::UpperCaseList: return std::string("UpperCaseList");
                                 case Layout::Tables: return std::string("Tables");
                             }
                             return std::string();
                         });

// One entry found at its place and one found in a subfolder: the seam calls each costs, by kind.
TEST(SeamCalls, OneResolutionOfTheGameFolderPerRunAndNoSecondLookAtAShortName) {
    MemoryFileSystem fs;
    const std::string game = bench::kMemoryGame;
    fs.AddFile(game + "\\dialog.tlk", "TLK V3.0");
    for (int i = 0; i < 40; ++i) fs.AddFile(game + "\\override\\direct_" + std::to_string(i) + ".tga", "x");
    for (int i = 0; i < 40; ++i) fs.AddFile(game + "\\override\\Sub\\moved_" + std::to_string(i) + ".tga", "x");
    std::vector<std::string> entries;
    for (int i = 0; i < 40; ++i) entries.push_back("override\\direct_" + std::to_string(i) + ".tga");
    for (int i = 0; i < 40; ++i) entries.push_back("override\\moved_" + std::to_string(i) + ".tga");
    const std::string ini = bench::kMemoryProgram + "\\uninstall\\uninstall_data.ini";
    fs.AddFile(ini, bench::FileListDescription(entries));

    bench::CountingFileSystem counted(fs);
    UninstallDescription d;
    d.DescriptionPath = ini;
    d.Game = 2;
    testing::ScriptedUi ui;
    ui.promptAnswers = {0};
    bench::GameRegistry registry(game);
    FolderBrowser browser;
    RunContext context{counted, registry, ui, browser, bench::kMemoryProgram};
    RunState run(d, context);
    run.gameFolder = game;
    run.folders.gameFolder = game;
    run.files.ownFolders.Protect(run.fs(), game);
    RemoveFileList(run);
    EXPECT_EQ(run.counts.failures, 0);
    EXPECT_EQ(run.counts.notFound, 0);

    using bench::SeamCall;
    // Each entry and each file found in a subfolder is resolved once, the game folder once and
    // again after the prompt, the tree's folder once for the index, and the program's own folders
    // that the search leaves out (with override, to see whether the program lies in it) once
    // before and once after the prompt.
    EXPECT_EQ(counted.Calls(SeamCall::ResolvedPath), 40u + 40u + 40u + 2u + 1u + 9u);
    EXPECT_EQ(counted.Calls(SeamCall::ShortPath), 80u + 40u);
    EXPECT_EQ(counted.Calls(SeamCall::Delete), 80u);
    EXPECT_EQ(counted.Calls(SeamCall::SetAttributes), 80u);
    // One stat per file looked up in the index (that it is still there), one folder read for the
    // prompt's text, and none for the attributes cleared before a deletion.
    EXPECT_EQ(counted.Calls(SeamCall::GetAttributes), 40u + 1u);
    // The existence test of each file before it is deleted.
    EXPECT_EQ(counted.Calls(SeamCall::OpenForRead), 40u + 40u);
    EXPECT_EQ(counted.Calls(SeamCall::List), 2u);  // override and Sub, once
}

TEST(SearchIndexKeeping, CopiesAndWritesOutsideTheTreeKeepTheIndexThoseIntoItDoNot) {
    MemoryFileSystem fs;
    const std::string override = bench::kMemoryGame + "\\override";
    fs.AddFile(override + "\\Sub\\a.2da", "a");
    fs.AddFile(bench::kMemoryProgram + "\\backup\\a.2da", "b");
    fs.AddFolder(bench::kMemoryProgram + "\\Backup Uninstall");
    fs.AddFolder(bench::kMemoryProgram + "\\uninstall");
    // A folder of the program that is a link into the tree: what is copied there lands in it.
    fs.AddLink(bench::kMemoryProgram + "\\Into", override + "\\Sub");
    SearchIndex index;
    IndexKeepingFileSystem run(fs, index);
    auto find = [&](const std::string& name) {
        SearchState state;
        index.FindFile(run, override + "\\*.*", name, true, state);
        return state.result;
    };
    EXPECT_EQ(find("a.2da"), override + "\\Sub\\a.2da");
    ASSERT_EQ(run.Copy(override + "\\Sub\\a.2da", bench::kMemoryProgram + "\\Backup Uninstall\\a.2da"), FsStatus::Ok);
    ASSERT_EQ(run.WriteAll(bench::kMemoryProgram + "\\uninstall\\removal_results.rtf", "{}"), FsStatus::Ok);
    ASSERT_EQ(run.CreateFolder(bench::kMemoryProgram + "\\Other"), FsStatus::Ok);
    EXPECT_TRUE(index.Built());
    EXPECT_EQ(index.Walks(), 1u);

    ASSERT_EQ(run.Copy(bench::kMemoryProgram + "\\backup\\a.2da", bench::kMemoryProgram + "\\Into\\b.2da"),
              FsStatus::Ok);
    EXPECT_FALSE(index.Built());
    EXPECT_EQ(find("b.2da"), override + "\\Sub\\b.2da");
    ASSERT_EQ(run.Rename(bench::kMemoryProgram + "\\backup\\a.2da", override + "\\c.2da"), FsStatus::Ok);
    EXPECT_FALSE(index.Built());
    EXPECT_EQ(find("c.2da"), override + "\\c.2da");
    EXPECT_EQ(index.Walks(), 3u);

    // Control went to the player: kept while no folder changed, walked again once one did.
    run.ForgetCachedState();
    EXPECT_EQ(find("c.2da"), override + "\\c.2da");
    EXPECT_EQ(index.Walks(), 3u);
    run.ForgetCachedState();
    fs.AddFile(override + "\\Sub\\Deeper\\c.2da", "player's");
    EXPECT_EQ(find("c.2da"), override + "\\Sub\\Deeper\\c.2da");
    EXPECT_EQ(index.Walks(), 4u);
}

// The 2da restore deletes the table in use and moves the backup into its place: the index reads
// that folder again instead of the tree, and gives the walk's answers after it.
TEST(SearchIndexKeeping, AFileMovedBackIntoTheTreeIsTakenBackWithoutAWalk) {
    MemoryFileSystem fs;
    const std::string override = bench::kMemoryGame + "\\override";
    fs.AddFile(override + "\\A\\x.2da", "in use");
    fs.AddFile(override + "\\A\\y.2da", "y");
    fs.AddFile(override + "\\B\\x.2da", "another");
    fs.AddFile(bench::kMemoryProgram + "\\backup\\x.2da", "backup");
    SearchIndex index;
    IndexKeepingFileSystem run(fs, index);
    auto find = [&](const std::string& name) {
        SearchState state;
        index.FindFile(run, override + "\\*.*", name, true, state);
        SearchState walked;
        RecurseFiles_FindFile(fs, override + "\\*.*", name, true, walked);
        EXPECT_EQ(state.result, walked.result) << name;
        return state.result;
    };
    EXPECT_EQ(find("x.2da"), override + "\\A\\x.2da");
    run.ForgetCachedState();  // the found-file prompt
    ASSERT_EQ(run.Delete(override + "\\A\\x.2da"), FsStatus::Ok);
    EXPECT_EQ(find("x.2da"), override + "\\B\\x.2da");
    // The in-memory file system lists a moved file last in its folder: not its old place.
    ASSERT_EQ(run.Rename(bench::kMemoryProgram + "\\backup\\x.2da", override + "\\A\\x.2da"), FsStatus::Ok);
    EXPECT_FALSE(index.Built());
    EXPECT_EQ(find("x.2da"), override + "\\A\\x.2da");
    EXPECT_EQ(index.Walks(), 2u);
    // The last file of its folder moved back into its place is taken back.
    ASSERT_EQ(run.Delete(override + "\\A\\x.2da"), FsStatus::Ok);
    fs.AddFile(bench::kMemoryProgram + "\\backup\\x.2da", "backup");
    ASSERT_EQ(run.Rename(bench::kMemoryProgram + "\\backup\\x.2da", override + "\\A\\x.2da"), FsStatus::Ok);
    EXPECT_TRUE(index.Built());
    EXPECT_EQ(find("x.2da"), override + "\\A\\x.2da");
    EXPECT_EQ(find("y.2da"), override + "\\A\\y.2da");
    EXPECT_EQ(index.Walks(), 2u);
}

}  // namespace
}  // namespace zelvane
