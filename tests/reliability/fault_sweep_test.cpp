// The fault sweep: one complete removal, run once without faults and then once for every mutating
// file operation it makes with that operation failing, in each way a file operation can fail;
// then with every file locked in turn and with whole folders on read-only media. After every run
// nothing the player owns may be lost and the log must add up.

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "tests/reliability/sweep_scenario.hpp"

namespace zelvane::testing {
namespace {

constexpr FsStatus kKinds[] = {FsStatus::FileNotFound, FsStatus::SharingViolation, FsStatus::AccessDenied,
                               FsStatus::DiskFull, FsStatus::WriteProtected};

const char* KindName(FsStatus status) {
    switch (status) {
        case FsStatus::FileNotFound: return "FileNotFound";
        case FsStatus::SharingViolation: return "SharingViolation";
        case FsStatus::AccessDenied: return "AccessDenied";
        case FsStatus::DiskFull: return "DiskFull";
        case FsStatus::WriteProtected: return "WriteProtected";
        case FsStatus::IoError: return "IoError";
        default: return "other";
    }
}

const char* OpName(FsOp op) {
    switch (op) {
        case FsOp::SetAttributes: return "SetAttributes";
        case FsOp::WriteAll: return "WriteAll";
        case FsOp::Delete: return "Delete";
        case FsOp::Rename: return "Rename";
        case FsOp::Copy: return "Copy";
        case FsOp::CreateFolder: return "CreateFolder";
        default: return "read";
    }
}

bool HasOopsBox(const SweepRun& run) {
    for (const ShownMessage& m : run.messages) {
        if (m.title == "Oops!" && m.text.find("cmdRemoveMod_Click") != std::string::npos) return true;
    }
    return false;
}

bool HasStopBox(const SweepRun& run) {
    for (const ShownMessage& m : run.messages) {
        if (m.title == "Aborting") return true;
    }
    return false;
}

// Failures that end the run through its error handler: saving the log, and creating the
// Backup Uninstall folder.
bool EndsTheRun(const MutationRecord& m) {
    const std::string uninstall = kSweepProgram + "\\uninstall\\";
    return m.op == FsOp::CreateFolder || m.path.starts_with(uninstall);
}

// The checks that hold after every run; what broke, or "".
std::string CheckRun(const SweepRun& run, const SweepOptions& options, bool mayFail, bool mayStop) {
    std::ostringstream broke;
    broke << CheckNothingLost(run, options);
    switch (run.result.outcome) {
        case RunOutcome::Completed: {
            // Where something that does not open as a file holds the log's name, the log goes beside it.
            const std::string beside = kSweepProgram + "\\uninstall\\removal_results-2.rtf";
            if (run.result.logPath != kSweepResults && run.result.logPath != beside)
                broke << "the log went elsewhere; ";
            auto saved = run.after.find(run.result.logPath);
            if (saved == run.after.end() || saved->second != run.result.log) broke << "the log was not saved; ";
            if (std::string s = CheckLogWellFormed(run.result.log); !s.empty()) broke << s << "; ";
            if (std::string s = CheckFailureCount(run.result); !s.empty()) broke << s << "; ";
            for (const ShownMessage& m : run.messages) broke << "unexpected box \"" << m.title << "\"; ";
            break;
        }
        case RunOutcome::Failed:
            if (!mayFail) broke << "the run failed; ";
            if (!HasOopsBox(run)) broke << "failed without the cmdRemoveMod_Click report; ";
            if (!run.result.logPath.empty()) broke << "a failed run reports a saved log; ";
            break;
        case RunOutcome::Stopped:
            if (!mayStop || !HasStopBox(run)) broke << "the run stopped; ";
            break;
        default: broke << "the run ended as " << static_cast<int>(run.result.outcome) << "; ";
    }
    return broke.str();
}

struct SweepTally {
    int runs = 0;
    int faults = 0;
    std::vector<std::string> broken;
    void Report(const std::string& what, const std::string& broke) {
        ++runs;
        if (!broke.empty()) broken.push_back(what + ": " + broke);
    }
    void Expect() const {
        std::ostringstream first;
        for (std::size_t i = 0; i < broken.size() && i < 25; ++i) first << broken[i] << "\n";
        EXPECT_TRUE(broken.empty()) << broken.size() << " of " << runs << " runs broke the invariant:\n" << first.str();
    }
};

class FaultSweep : public ::testing::TestWithParam<SweepOptions> {};

TEST_P(FaultSweep, FaultFreeRunChangesEverythingItMay) {
    const SweepOptions options = GetParam();
    const SweepRun run = RunSweep(options, nullptr);
    ASSERT_EQ(run.result.outcome, RunOutcome::Completed);
    EXPECT_EQ(CheckRun(run, options, false, false), "");
    // The three escaping entries are refused and counted; nothing else fails.
    EXPECT_EQ(run.result.failureCount, 3);
    EXPECT_FALSE(LogShowsFailure(run.result.log));
    const std::string& g = kSweepGame;
    EXPECT_FALSE(run.after.contains(g + "\\override\\a.tga"));
    EXPECT_FALSE(run.after.contains(g + "\\override\\q1.uti"));
    EXPECT_EQ(run.after.at(g + "\\override\\r.tga"), "game file r");
    EXPECT_EQ(run.after.at(g + "\\override\\s.tga"), "game file s");
    EXPECT_EQ(run.after.at(g + "\\override\\appearance.2da"), "backup appearance table");
    EXPECT_EQ(run.after.at(kSweepProgram + "\\Backup Uninstall\\appearance.2da"), "current appearance table");
    EXPECT_EQ(run.after.at("C:\\Games\\outside.txt"), "a file beside the game folder");
    EXPECT_EQ(run.after.at(g + "\\override\\player.tga"), "the player's own texture");
    if (options.game == 2) {
        EXPECT_FALSE(run.after.contains(g + "\\override\\sub\\b.uti"));
        EXPECT_EQ(run.after.at(g + "\\override\\sub2\\spells.2da"), "backup spells table");
        EXPECT_EQ(run.after.at(kSweepProgram + "\\Backup Uninstall\\spells.2da"), "current spells table");
    } else {
        EXPECT_EQ(run.after.at(g + "\\override\\sub\\b.uti"), "mod file b, moved by the player");
        EXPECT_EQ(run.after.at(g + "\\override\\spells.2da"), "backup spells table");
    }
    EXPECT_FALSE(run.after.contains(kSweepProgram + "\\backup\\appearance.2da"));
    std::cout << "[ sweep    ] K" << options.game << ": " << run.mutations.size() << " mutating operations, "
              << run.prompts << " prompts\n";
}

TEST_P(FaultSweep, EveryOperationFailingInEveryWayLosesNothing) {
    const SweepOptions options = GetParam();
    const SweepRun clean = RunSweep(options, nullptr);
    ASSERT_EQ(clean.result.outcome, RunOutcome::Completed);
    ASSERT_GT(clean.mutations.size(), 20u);
    SweepTally tally;
    for (std::size_t index = 0; index < clean.mutations.size(); ++index) {
        const MutationRecord& m = clean.mutations[index];
        for (FsStatus kind : kKinds) {
            const SweepRun run =
                RunSweep(options, [&](MemoryFileSystem& fs) { fs.FailMutation(fs.MutationCount() + index, kind); });
            ++tally.faults;
            std::string broke = CheckRun(run, options, EndsTheRun(m), false);
            // A failure is never passed over in silence.
            if (run.result.outcome == RunOutcome::Completed && !LogShowsFailure(run.result.log)) {
                broke += "the failure left no trace in the log; ";
            }
            std::ostringstream what;
            what << "K" << options.game << " mutation " << index << " (" << OpName(m.op) << " " << m.path << ") "
                 << KindName(kind);
            tally.Report(what.str(), broke);
        }
    }
    tally.Expect();
    std::cout << "[ sweep    ] K" << options.game << ": " << tally.runs << " runs, " << tally.faults
              << " single faults over " << clean.mutations.size() << " mutating operations x 5 kinds\n";
    ::testing::Test::RecordProperty("runs_K" + std::to_string(options.game), tally.runs);
    ::testing::Test::RecordProperty("faults_K" + std::to_string(options.game), tally.faults);
}

const char* ReadName(FsOp op) {
    switch (op) {
        case FsOp::GetAttributes: return "GetAttributes";
        case FsOp::OpenForRead: return "OpenForRead";
        case FsOp::ReadAll: return "ReadAll";
        case FsOp::List: return "List";
        case FsOp::ShortPath: return "ShortPath";
        default: return "mutation";
    }
}

// Reading calls fail too: a file that seems missing, a folder that cannot be listed, a talk table
// that cannot be read. The run may then stop or skip things, but it never loses anything.
TEST_P(FaultSweep, EveryReadingCallFailingLosesNothing) {
    const SweepOptions options = GetParam();
    const SweepRun clean = RunSweep(options, nullptr);
    ASSERT_EQ(clean.result.outcome, RunOutcome::Completed);
    ASSERT_GT(clean.reads.size(), 20u);
    constexpr FsStatus kReadKinds[] = {FsStatus::FileNotFound, FsStatus::SharingViolation, FsStatus::AccessDenied,
                                       FsStatus::IoError};
    SweepTally tally;
    for (std::size_t index = 0; index < clean.reads.size(); ++index) {
        const MutationRecord& r = clean.reads[index];
        for (FsStatus kind : kReadKinds) {
            const SweepRun run = RunSweep(options, nullptr, ReadFault{index, kind});
            ++tally.faults;
            std::ostringstream what;
            what << "K" << options.game << " read " << index << " (" << ReadName(r.op) << " " << r.path << ") "
                 << KindName(kind);
            tally.Report(what.str(), CheckRun(run, options, true, true));
        }
    }
    tally.Expect();
    std::cout << "[ sweep    ] K" << options.game << ": " << tally.runs << " runs, " << tally.faults
              << " single faults over " << clean.reads.size() << " reading calls x 4 kinds\n";
    ::testing::Test::RecordProperty("read_runs_K" + std::to_string(options.game), tally.runs);
}

TEST_P(FaultSweep, LockedFilesAndReadOnlyMediaLoseNothing) {
    const SweepOptions options = GetParam();
    SweepTally tally;
    MemoryFileSystem scenario;
    BuildScenario(scenario, options);
    for (const auto& [path, bytes] : scenario.Snapshot()) {
        const SweepRun run = RunSweep(options, [&path = path](MemoryFileSystem& fs) { fs.Lock(path); });
        // A locked description or talk table cannot be read: the run fails or stops with its message.
        tally.Report("locked " + path, CheckRun(run, options, true, true));
    }
    for (const std::string& folder : {kSweepGame, kSweepGame + "\\override", kSweepProgram, kSweepProgram + "\\backup",
                                      kSweepProgram + "\\Backup Uninstall", kSweepProgram + "\\uninstall"}) {
        const SweepRun run = RunSweep(options, [&folder](MemoryFileSystem& fs) { fs.SetReadOnlyMedium(folder); });
        tally.Report("read-only " + folder, CheckRun(run, options, true, false));
    }
    tally.Expect();
    std::cout << "[ sweep    ] K" << options.game << ": " << tally.runs
              << " runs with a locked file or a read-only medium\n";
    ::testing::Test::RecordProperty("persistent_runs_K" + std::to_string(options.game), tally.runs);
}

INSTANTIATE_TEST_SUITE_P(Games, FaultSweep,
                         ::testing::Values(SweepOptions{2, true}, SweepOptions{1, false}, SweepOptions{2, true, true}),
                         [](const ::testing::TestParamInfo<SweepOptions>& info) {
                             return "K" + std::to_string(info.param.game) +
                                    (info.param.earlierRun ? "_AfterEarlierRun" : "_FirstRun") +
                                    (info.param.programOnOwnVolume ? "_ProgramOnOtherVolume" : "");
                         });

}  // namespace
}  // namespace zelvane::testing
