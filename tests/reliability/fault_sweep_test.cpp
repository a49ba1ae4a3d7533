// The fault sweep: one complete removal over an in-memory game and program folder, "&Yes" to every
// prompt, run once without faults and then once for every change it makes with that change
// failing in each way a change can fail; then with each reading operation failing on each file and
// folder, every file locked in turn and whole folders on read-only media. After every run nothing
// the player owns is lost, the run ends in one of its known ways, and a saved log is well-formed
// RTF whose failure lines add up to the total it prints.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "description/loader.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "tests/support/whole_run.hpp"
#include "util/strings.hpp"

namespace zelvane::whole_run {
namespace {

const std::string kProgram = "C:\\Mods\\Tool";
const std::string kGame = "C:\\Games\\Kotor";
const std::string kIni = kProgram + "\\uninstall\\uninstall_data.ini";
const std::string kWorkingCopy = kProgram + "\\uninstall\\uninstall_data20A.ini";
const std::string kResults = kProgram + "\\uninstall\\removal_results.rtf";
const std::vector<std::string> kFolders = {kGame,
                                           kGame + "\\override",
                                           kProgram,
                                           kProgram + "\\backup",
                                           kProgram + "\\Backup Uninstall",
                                           kProgram + "\\uninstall"};

struct Options {
    const char* name;
    int game = 2;
    bool earlierRun = true;           // Backup Uninstall and a read-only removal_results.rtf from an earlier run
    bool programOnOwnVolume = false;  // the program folder on another volume than the game
};

std::string Queued(const std::string& kind, int number, const std::string& file, const std::string& text) {
    const std::string n = std::to_string(number);
    return "#" + kind + "_" + n + "=" + file + "\r\n#" + kind + "_begin_" + n + "#\r\n" + text + "\r\n#" + kind +
           "_end_" + n + "#\r\n";
}

std::string Description(int game) {
    return "#game=" + std::to_string(game) +
           "\r\n#default_format_width=450\r\n#confirm_message_title=Remove Example Robes?\r\n"
           "#confirm_message_begin#\r\nThis removes \\b Example Robes\\b0 .\r\n#confirm_message_end#\r\n"
           "#explicit_instructions_title=One more thing\r\n#explicit_instructions_begin#\r\n"
           "Start a new game to see the old robes again.\r\n#explicit_instructions_end#\r\n" +
           Queued("qdelete_file", 0, "override\\q1.uti", "Delete \\b q1\\b0 ?") +
           Queued("qdelete_file", 1, "override\\q2.uti", "Delete q2?") +
           Queued("qrestore_file", 0, "override\\r.tga", "Restore r?") + "#qrestore_file_format_width_1=400\r\n" +
           Queued("qrestore_file", 1, "override\\s.tga", "Restore s?") +
           Queued("qdelete_file", 2, "..\\outside.txt", "Delete a file outside?") +
           "#qrestore_2da=1\r\n#qrestore_2da_files=appearance.2da,spells.2da,feat.2da\r\n#file_list\r\n"
           "; installed files\r\noverride\\a.tga\r\noverride\\b.uti\r\nmovies\\m.bik\r\noverride\\missing.tga\r\n"
           "..\\outside.txt\r\noverride\\player.tga:stream\r\n";
}

// A file of the scenario; `agreed` where the player agreed to lose it (the file list, the queued
// deletes, the mod's files of the queued restores, the program's copies of an earlier run).
struct Planted {
    std::string path, bytes;
    bool readOnly = false, agreed = false;
};

std::vector<Planted> Scenario(const Options& o) {
    const std::string g = kGame + "\\override\\", p = kProgram + "\\";
    std::vector<Planted> files = {{kIni, Description(o.game)},
                                  {kWorkingCopy, Description(o.game)},
                                  {kGame + "\\dialog.tlk", "TLK V3.0 the game's talk table"},
                                  {kGame + "\\chitin.key", "the game's key file"},
                                  {g + "a.tga", "mod file a", false, true},
                                  // K1 does not search subfolders: there the moved file stays.
                                  {g + "sub\\b.uti", "mod file b, moved by the player", true, o.game == 2},
                                  {kGame + "\\movies\\m.bik", "mod movie", false, true},
                                  {kGame + "\\movies\\intro.bik", "the game's intro movie"},
                                  {g + "player.tga", "the player's own texture"},
                                  {g + "q1.uti", "queued delete 1", false, true},
                                  {g + "r.tga", "mod replacement r", false, true},
                                  {g + "r.tga.original", "game file r"},
                                  {g + "s.tga", "mod replacement s", true, true},
                                  {g + "s.tga.original", "game file s", true},
                                  {g + "appearance.2da", "current appearance table"},
                                  {"C:\\Games\\outside.txt", "a file beside the game folder"},
                                  {p + "backup\\appearance.2da", "backup appearance table"},
                                  {p + "backup\\spells.2da", "backup spells table"}};
    if (o.game == 2) files.push_back({g + "sub2\\spells.2da", "current spells table"});
    if (o.earlierRun) {
        files.push_back({p + "Backup Uninstall\\appearance.2da", "displaced by an earlier run", true, true});
        files.push_back({p + "Backup Uninstall\\original install backup.appearance.2da", "safety copy", false, true});
        files.push_back({kResults, "{\\rtf1 earlier result}", true, true});
    }
    return files;
}

struct SweepRun {
    RunResult result;
    Files before, after;
    std::vector<std::string> mutations;  // what each changing call of the run changed
    QuietUi ui;
};

// Loads the description and runs the removal; setUp injects the faults after the load.
SweepRun RunSweep(const Options& options, const std::function<void(MemoryFileSystem&)>& setUp) {
    MemoryFileSystem fs;
    for (const Planted& f : Scenario(options)) fs.AddFile(f.path, f.bytes, Attributes{.readOnly = f.readOnly});
    if (options.programOnOwnVolume) fs.PutOnOwnVolume(kProgram);
    SweepRun run;
    run.before = fs.Snapshot();
    UninstallDescription d;
    d.DescriptionPath = kIni;
    const LoadResult loaded = LoadUninstallDescription(d, LoaderContext{fs, kProgram, kWorkingCopy, 15});
    EXPECT_EQ(loaded.outcome, LoadOutcome::EndOfFile) << loaded.abortMessage;
    if (setUp) setUp(fs);
    fs.OnMutation([&run](std::uint64_t, FsOp op, std::string_view path) {
        run.mutations.push_back(std::to_string(static_cast<int>(op)) + " " + std::string(path));
    });
    run.result = Run(fs, d, run.ui, kGame, kProgram);
    fs.ClearFaults();
    fs.OnMutation(nullptr);
    run.after = fs.Snapshot();
    return run;
}

// The checks that hold after every run; what broke, or "".
std::string CheckRun(const SweepRun& run, const Options& options, bool mayFail, bool mayStop) {
    std::set<std::string> agreed;
    for (const Planted& f : Scenario(options)) {
        if (f.agreed) agreed.insert(LowerCase(f.path));
    }
    std::string broke =
        Lost(run.before, run.after, [&](const std::string& path) { return !agreed.contains(LowerCase(path)); });
    broke += CheckLog(run.result);
    switch (run.result.outcome) {
        case RunOutcome::Completed: {
            // Where something that does not open as a file holds the log's name, the log goes beside it.
            if (run.result.logPath != kResults && run.result.logPath != kProgram + "\\uninstall\\removal_results-2.rtf")
                broke += "the log went elsewhere; ";
            auto saved = run.after.find(run.result.logPath);
            if (saved == run.after.end() || saved->second != run.result.log) broke += "the log was not saved; ";
            for (const auto& m : run.ui.messages) broke += "unexpected box \"" + m.title + "\"; ";
            break;
        }
        case RunOutcome::Failed:
            if (!mayFail) broke += "the run failed; ";
            if (!run.ui.Showed("Oops!", "cmdRemoveMod_Click"))
                broke += "failed without the cmdRemoveMod_Click report; ";
            if (!run.result.logPath.empty()) broke += "a failed run reports a saved log; ";
            break;
        case RunOutcome::Stopped:
            if (!mayStop || !run.ui.Showed("Aborting", "")) broke += "the run stopped; ";
            break;
        default: broke += "the run ended as " + std::to_string(static_cast<int>(run.result.outcome)) + "; ";
    }
    return broke;
}

class FaultSweep : public ::testing::TestWithParam<Options> {};

TEST_P(FaultSweep, EveryFaultLosesNothing) {
    const Options options = GetParam();
    const SweepRun clean = RunSweep(options, nullptr);
    ASSERT_EQ(clean.result.outcome, RunOutcome::Completed);
    EXPECT_EQ(CheckRun(clean, options, false, false), "");
    // The three escaping entries are refused and counted; nothing else fails.
    EXPECT_EQ(clean.result.failureCount, 3);
    ASSERT_GT(clean.mutations.size(), 20u);
    std::vector<std::string> broken;
    auto report = [&](const std::string& what, const std::string& broke) {
        if (!broke.empty()) broken.push_back(what + ": " + broke);
    };
    // Every changing call failing in every way: saving the log and creating Backup Uninstall end
    // the run through its error handler; any other failure is counted and shows in the log.
    for (std::size_t index = 0; index < clean.mutations.size(); ++index) {
        const std::string& m = clean.mutations[index];
        for (FsStatus kind : {FsStatus::FileNotFound, FsStatus::SharingViolation, FsStatus::AccessDenied,
                              FsStatus::DiskFull, FsStatus::WriteProtected}) {
            const SweepRun run =
                RunSweep(options, [&](MemoryFileSystem& fs) { fs.FailMutation(fs.MutationCount() + index, kind); });
            const bool ends = m.starts_with(std::to_string(static_cast<int>(FsOp::CreateFolder)) + " ") ||
                              m.find(kProgram + "\\uninstall\\") != std::string::npos;
            std::string broke = CheckRun(run, options, ends, false);
            if (run.result.outcome == RunOutcome::Completed && run.result.failureCount == 3) {
                broke += "the failure left no trace in the log; ";
            }
            report("change " + std::to_string(index) + " (" + m + ") status " + std::to_string(int(kind)), broke);
        }
    }
    // Reading calls fail too: a file that seems missing, a folder that cannot be listed, a talk
    // table that cannot be read. The run may then stop or skip things, but loses nothing. Then each
    // folder on read-only media, and each file locked (a locked description or talk table cannot be
    // read: the run fails or stops with its message).
    std::vector<std::string> paths = kFolders;
    for (const Planted& f : Scenario(options)) paths.push_back(f.path);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const std::string& path = paths[i];
        for (FsOp op : {FsOp::GetAttributes, FsOp::OpenForRead, FsOp::FileSize, FsOp::ReadAll, FsOp::ReadHead,
                        FsOp::CanCreateFileIn, FsOp::List, FsOp::ShortPath}) {
            for (FsStatus kind :
                 {FsStatus::FileNotFound, FsStatus::SharingViolation, FsStatus::AccessDenied, FsStatus::IoError}) {
                const SweepRun run = RunSweep(options, [&](MemoryFileSystem& fs) { fs.FailOperation(op, path, kind); });
                report("read " + std::to_string(int(op)) + " " + path + " status " + std::to_string(int(kind)),
                       CheckRun(run, options, true, true));
            }
        }
        const bool folder = i < kFolders.size();
        const SweepRun run =
            RunSweep(options, [&](MemoryFileSystem& fs) { folder ? fs.SetReadOnlyMedium(path) : fs.Lock(path); });
        report((folder ? "read-only " : "locked ") + path, CheckRun(run, options, true, !folder));
    }
    broken.resize(std::min<std::size_t>(broken.size(), 25));
    EXPECT_EQ(broken, std::vector<std::string>{}) << "runs broke the invariant (the first 25 shown)";
}

void PrintTo(const Options& options, std::ostream* out) { *out << options.name; }

INSTANTIATE_TEST_SUITE_P(Games, FaultSweep,
                         ::testing::Values(Options{"K2_AfterEarlierRun", 2, true}, Options{"K1_FirstRun", 1, false},
                                           Options{"K2_AfterEarlierRun_ProgramOnOtherVolume", 2, true, true}),
                         [](const ::testing::TestParamInfo<Options>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelvane::whole_run
