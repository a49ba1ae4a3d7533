// The fault sweep: one complete removal over an in-memory game and program folder, "&Yes" to every
// prompt, run once without faults and then once for every file operation it makes with that
// operation failing, in each way an operation can fail; then with every file locked in turn and
// with whole folders on read-only media. After every run nothing the player owns may be lost, the
// run ends in one of its known ways, and a saved log is well-formed RTF whose failure lines add up
// to the total it prints.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "description/loader.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "platform/seams/registry.hpp"
#include "removal/removal_run.hpp"
#include "tests/reliability/recording_file_system.hpp"
#include "tests/support/scripted_ui.hpp"
#include "util/browse_folders.hpp"
#include "util/strings.hpp"

namespace zelvane::testing {
namespace {

const std::string kProgram = "C:\\Mods\\Tool";
const std::string kGame = "C:\\Games\\Kotor";
const std::string kIni = kProgram + "\\uninstall\\uninstall_data.ini";
const std::string kWorkingCopy = kProgram + "\\uninstall\\uninstall_data20A.ini";
const std::string kResults = kProgram + "\\uninstall\\removal_results.rtf";

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

void BuildScenario(MemoryFileSystem& fs, const Options& options) {
    const std::string& g = kGame;
    const std::string& p = kProgram;
    fs.AddFile(kIni, Description(options.game));
    fs.AddFile(kWorkingCopy, Description(options.game));
    fs.AddFile(g + "\\dialog.tlk", "TLK V3.0 the game's talk table");
    fs.AddFile(g + "\\chitin.key", "the game's key file");
    fs.AddFile(g + "\\override\\a.tga", "mod file a");
    fs.AddFile(g + "\\override\\sub\\b.uti", "mod file b, moved by the player", Attributes{false, true});
    fs.AddFile(g + "\\movies\\m.bik", "mod movie");
    fs.AddFile(g + "\\movies\\intro.bik", "the game's intro movie");
    fs.AddFile(g + "\\override\\player.tga", "the player's own texture");
    fs.AddFile(g + "\\override\\q1.uti", "queued delete 1");
    fs.AddFile(g + "\\override\\r.tga", "mod replacement r");
    fs.AddFile(g + "\\override\\r.tga.original", "game file r");
    fs.AddFile(g + "\\override\\s.tga", "mod replacement s", Attributes{false, true});
    fs.AddFile(g + "\\override\\s.tga.original", "game file s", Attributes{false, true});
    fs.AddFile(g + "\\override\\appearance.2da", "current appearance table");
    if (options.game == 2) fs.AddFile(g + "\\override\\sub2\\spells.2da", "current spells table");
    fs.AddFile("C:\\Games\\outside.txt", "a file beside the game folder");
    fs.AddFile(p + "\\backup\\appearance.2da", "backup appearance table");
    fs.AddFile(p + "\\backup\\spells.2da", "backup spells table");
    if (options.programOnOwnVolume) fs.PutOnOwnVolume(p);
    if (options.earlierRun) {
        fs.AddFile(p + "\\Backup Uninstall\\appearance.2da", "displaced by an earlier run", Attributes{false, true});
        fs.AddFile(p + "\\Backup Uninstall\\original install backup.appearance.2da", "safety copy of an earlier run");
        fs.AddFile(kResults, "{\\rtf1 earlier result}", Attributes{false, true});
    }
}

// Paths (in lower case) whose loss the player agreed to: the file list, the queued deletes, the
// mod's files of the queued restores, and the program's own copies of an earlier run.
std::set<std::string> AgreedDeletions(const Options& options) {
    std::set<std::string> agreed;
    for (const std::string& path :
         {kGame + "\\override\\a.tga", kGame + "\\movies\\m.bik", kGame + "\\override\\q1.uti",
          kGame + "\\override\\r.tga", kGame + "\\override\\s.tga", kResults,
          kProgram + "\\Backup Uninstall\\appearance.2da",
          kProgram + "\\Backup Uninstall\\original install backup.appearance.2da"}) {
        agreed.insert(LowerCase(path));
    }
    if (options.game == 2) agreed.insert(LowerCase(kGame + "\\override\\sub\\b.uti"));
    return agreed;
}

// The registry of a machine with both games installed in the same folder.
class BothGames final : public Registry {
public:
    std::optional<RegistryValue> Query(std::uint32_t root, std::string_view, std::string_view value) const override {
        if (root != kHkeyLocalMachine || value != "Path") return std::nullopt;
        return RegistryValue{kRegSz, kGame + std::string(1, '\0')};
    }
};

// Answers the first button of every prompt and cancels every folder and open-file dialog.
class YesToAll final : public ScriptedUi {
public:
    int MsgBoxEx(PromptRequest) override { return 0; }
    std::string OpenFileDialog(const OpenFileRequest&) override { return ""; }
    std::string BrowseFolderDialog(std::string_view, std::string_view) override { return ""; }
};

struct SweepRun {
    RunResult result;
    std::map<std::string, std::string> before, after;
    std::vector<std::string> mutations;  // what each mutating call of the run changed
    std::vector<std::string> reads;      // the reading calls of the run (the description's load left out)
    std::vector<ShownMessage> messages;
};

// Loads the description and runs the removal; setUp injects the faults after the load.
SweepRun RunSweep(const Options& options, const std::function<void(MemoryFileSystem&)>& setUp,
                  std::optional<std::pair<std::size_t, FsStatus>> readFault = std::nullopt) {
    MemoryFileSystem memory;
    BuildScenario(memory, options);
    SweepRun run;
    run.before = memory.Snapshot();
    RecordingFileSystem fs(memory);
    UninstallDescription d;
    d.DescriptionPath = kIni;
    const LoadResult loaded = LoadUninstallDescription(d, LoaderContext{fs, kProgram, kWorkingCopy, 15});
    EXPECT_EQ(loaded.outcome, LoadOutcome::EndOfFile) << loaded.abortMessage;
    if (setUp) setUp(memory);
    memory.OnMutation([&run](std::uint64_t, FsOp op, std::string_view path) {
        run.mutations.push_back(std::to_string(static_cast<int>(op)) + " " + std::string(path));
    });
    fs.reads.clear();
    fs.fault = readFault;
    BothGames registry;
    YesToAll ui;
    FolderBrowser browser;
    RunContext context{fs, registry, ui, browser, kProgram};
    run.result = RunRemoval(d, context);
    memory.ClearFaults();
    memory.OnMutation(nullptr);
    run.after = memory.Snapshot();
    run.reads = fs.reads;
    run.messages = ui.messages;
    return run;
}

bool Under(const std::string& path, const std::string& folder) {
    return LowerCase(path).starts_with(LowerCase(folder) + "\\");
}

std::string CheckNothingLost(const SweepRun& run, const Options& options) {
    const std::set<std::string> agreed = AgreedDeletions(options);
    std::multiset<std::string> kept;  // contents now in the game folder, backup and Backup Uninstall
    for (const auto& [path, bytes] : run.after) {
        if (Under(path, kGame) || Under(path, kProgram + "\\backup") || Under(path, kProgram + "\\Backup Uninstall")) {
            kept.insert(bytes);
        }
    }
    std::ostringstream lost;
    for (const auto& [path, bytes] : run.before) {
        if (agreed.contains(LowerCase(path))) continue;
        auto same = run.after.find(path);
        if ((same == run.after.end() || same->second != bytes) && !kept.contains(bytes)) {
            lost << "lost " << path << " (\"" << bytes << "\"); ";
        }
    }
    return lost.str();
}

std::string CheckLogWellFormed(const std::string& log) {
    if (!log.starts_with("{\\rtf1") || !log.ends_with("}")) return "the log is no {\\rtf1 ...} document; ";
    int depth = 0;
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i] == '\\') {
            ++i;  // \{ \} \\ and the first letter of a control word
        } else if (log[i] == '{') {
            ++depth;
        } else if (log[i] == '}' && (--depth < 0 || (depth == 0 && i + 1 != log.size()))) {
            return "a } closes the document before its end at offset " + std::to_string(i) + "; ";
        }
    }
    return depth == 0 ? "" : "unbalanced braces; ";
}

int Occurrences(const std::string& log, std::initializer_list<std::string_view> words) {
    int count = 0;
    for (std::string_view word : words) {
        for (std::size_t at = log.find(word); at != std::string::npos; at = log.find(word, at + 1)) ++count;
    }
    return count;
}

// The failure lines the run counts, and every failure the log can show (copy failures included).
int CountedFailureLines(const std::string& log) {
    return Occurrences(log, {"Delete Failure - ", "Failure Renaming ", "Failure Moving ", "Refused (",
                             "Backup not restored"});
}
bool LogShowsFailure(const std::string& log) {
    return Occurrences(log, {"Delete Failure - ", "Failure Renaming ", "Failure Moving ", "Failure FileCopy ",
                             "Failure Copying ", "Backup not restored"}) > 0;
}

std::string CheckFailureCount(const RunResult& result) {
    const std::size_t at = result.log.rfind(" errors.\\b0\\par");
    if (at == std::string::npos) return "the log prints no errors total; ";
    const std::size_t digits = result.log.rfind(' ', at - 1);
    const int printed = std::stoi(result.log.substr(digits + 1, at - digits - 1));
    const int lines = CountedFailureLines(result.log);
    if (printed == result.failureCount && printed == lines) return "";
    return "the log prints " + std::to_string(printed) + " errors, the run counted " +
           std::to_string(result.failureCount) + ", the log shows " + std::to_string(lines) + " failure lines; ";
}

bool Shown(const SweepRun& run, const std::string& title, const std::string& text) {
    for (const ShownMessage& m : run.messages) {
        if (m.title == title && m.text.find(text) != std::string::npos) return true;
    }
    return false;
}

// The checks that hold after every run; what broke, or "".
std::string CheckRun(const SweepRun& run, const Options& options, bool mayFail, bool mayStop) {
    std::string broke = CheckNothingLost(run, options);
    switch (run.result.outcome) {
        case RunOutcome::Completed: {
            // Where something that does not open as a file holds the log's name, the log goes beside it.
            if (run.result.logPath != kResults && run.result.logPath != kProgram + "\\uninstall\\removal_results-2.rtf")
                broke += "the log went elsewhere; ";
            auto saved = run.after.find(run.result.logPath);
            if (saved == run.after.end() || saved->second != run.result.log) broke += "the log was not saved; ";
            broke += CheckLogWellFormed(run.result.log) + CheckFailureCount(run.result);
            for (const ShownMessage& m : run.messages) broke += "unexpected box \"" + m.title + "\"; ";
            break;
        }
        case RunOutcome::Failed:
            if (!mayFail) broke += "the run failed; ";
            if (!Shown(run, "Oops!", "cmdRemoveMod_Click")) broke += "failed without the cmdRemoveMod_Click report; ";
            if (!run.result.logPath.empty()) broke += "a failed run reports a saved log; ";
            break;
        case RunOutcome::Stopped:
            if (!mayStop || !Shown(run, "Aborting", "")) broke += "the run stopped; ";
            break;
        default: broke += "the run ended as " + std::to_string(static_cast<int>(run.result.outcome)) + "; ";
    }
    return broke;
}

class FaultSweep : public ::testing::TestWithParam<Options> {};

TEST_P(FaultSweep, FaultFreeRunChangesEverythingItMay) {
    const Options options = GetParam();
    const SweepRun run = RunSweep(options, nullptr);
    ASSERT_EQ(run.result.outcome, RunOutcome::Completed);
    EXPECT_EQ(CheckRun(run, options, false, false), "");
    // The three escaping entries are refused and counted; nothing else fails.
    EXPECT_EQ(run.result.failureCount, 3);
    EXPECT_FALSE(LogShowsFailure(run.result.log));
    // What is left where ("" for gone); K1 keeps the moved file, whose subfolder it does not search.
    const std::string& g = kGame;
    const bool k2 = options.game == 2;
    const std::map<std::string, std::string> expected = {
        {g + "\\override\\a.tga", ""},
        {g + "\\override\\q1.uti", ""},
        {g + "\\override\\r.tga", "game file r"},
        {g + "\\override\\s.tga", "game file s"},
        {g + "\\override\\appearance.2da", "backup appearance table"},
        {kProgram + "\\Backup Uninstall\\appearance.2da", "current appearance table"},
        {kProgram + "\\backup\\appearance.2da", ""},
        {"C:\\Games\\outside.txt", "a file beside the game folder"},
        {g + "\\override\\player.tga", "the player's own texture"},
        {g + "\\override\\sub\\b.uti", k2 ? "" : "mod file b, moved by the player"},
        {g + (k2 ? "\\override\\sub2\\spells.2da" : "\\override\\spells.2da"), "backup spells table"},
        {kProgram + "\\Backup Uninstall\\spells.2da", k2 ? "current spells table" : ""}};
    for (const auto& [path, bytes] : expected) {
        EXPECT_EQ(run.after.contains(path) ? run.after.at(path) : "", bytes) << path;
    }
}

TEST_P(FaultSweep, EveryFaultLosesNothing) {
    const Options options = GetParam();
    const SweepRun clean = RunSweep(options, nullptr);
    ASSERT_EQ(clean.result.outcome, RunOutcome::Completed);
    ASSERT_GT(clean.mutations.size(), 20u);
    ASSERT_GT(clean.reads.size(), 20u);
    std::vector<std::string> broken;
    int runs = 0;
    auto report = [&](const std::string& what, const std::string& broke) {
        ++runs;
        if (!broke.empty()) broken.push_back(what + ": " + broke);
    };
    // Every mutating call failing in every way: saving the log and creating Backup Uninstall end
    // the run through its error handler; any other failure shows in the log.
    for (std::size_t index = 0; index < clean.mutations.size(); ++index) {
        const std::string& m = clean.mutations[index];
        for (FsStatus kind : {FsStatus::FileNotFound, FsStatus::SharingViolation, FsStatus::AccessDenied,
                              FsStatus::DiskFull, FsStatus::WriteProtected}) {
            const SweepRun run =
                RunSweep(options, [&](MemoryFileSystem& fs) { fs.FailMutation(fs.MutationCount() + index, kind); });
            const bool ends = m.starts_with(std::to_string(static_cast<int>(FsOp::CreateFolder)) + " ") ||
                              m.find(kProgram + "\\uninstall\\") != std::string::npos;
            std::string broke = CheckRun(run, options, ends, false);
            if (run.result.outcome == RunOutcome::Completed && !LogShowsFailure(run.result.log)) {
                broke += "the failure left no trace in the log; ";
            }
            report("mutation " + std::to_string(index) + " (op " + m + ") status " +
                       std::to_string(static_cast<int>(kind)),
                   broke);
        }
    }
    // Reading calls fail too: a file that seems missing, a folder that cannot be listed, a talk
    // table that cannot be read. The run may then stop or skip things, but loses nothing.
    for (std::size_t index = 0; index < clean.reads.size(); ++index) {
        for (FsStatus kind :
             {FsStatus::FileNotFound, FsStatus::SharingViolation, FsStatus::AccessDenied, FsStatus::IoError}) {
            const SweepRun run = RunSweep(options, nullptr, std::pair{index, kind});
            report("read " + std::to_string(index) + " (" + clean.reads[index] + ") status " +
                       std::to_string(static_cast<int>(kind)),
                   CheckRun(run, options, true, true));
        }
    }
    // A locked description or talk table cannot be read: the run fails or stops with its message.
    MemoryFileSystem scenario;
    BuildScenario(scenario, options);
    for (const auto& [path, bytes] : scenario.Snapshot()) {
        const SweepRun run = RunSweep(options, [&path = path](MemoryFileSystem& fs) { fs.Lock(path); });
        report("locked " + path, CheckRun(run, options, true, true));
    }
    for (const std::string& folder : {kGame, kGame + "\\override", kProgram, kProgram + "\\backup",
                                      kProgram + "\\Backup Uninstall", kProgram + "\\uninstall"}) {
        const SweepRun run = RunSweep(options, [&folder](MemoryFileSystem& fs) { fs.SetReadOnlyMedium(folder); });
        report("read-only " + folder, CheckRun(run, options, true, false));
    }
    ::testing::Test::RecordProperty("runs", runs);
    std::ostringstream first;
    for (std::size_t i = 0; i < broken.size() && i < 25; ++i) first << broken[i] << "\n";
    EXPECT_TRUE(broken.empty()) << broken.size() << " of " << runs << " runs broke the invariant:\n" << first.str();
}

void PrintTo(const Options& options, std::ostream* out) { *out << options.name; }

INSTANTIATE_TEST_SUITE_P(Games, FaultSweep,
                         ::testing::Values(Options{"K2_AfterEarlierRun", 2, true}, Options{"K1_FirstRun", 1, false},
                                           Options{"K2_AfterEarlierRun_ProgramOnOtherVolume", 2, true, true}),
                         [](const ::testing::TestParamInfo<Options>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelvane::testing
