#include "removal/removal_run.hpp"

#include <exception>

#include "removal/completion.hpp"
#include "removal/file_list.hpp"
#include "removal/game_folder.hpp"
#include "removal/log_line.hpp"
#include "removal/prompt_helper.hpp"
#include "removal/queued_deletes.hpp"
#include "removal/queued_restores.hpp"
#include "removal/removal_log.hpp"
#include "removal/restore_2da.hpp"
#include "removal/run_state.hpp"
#include "util/common.hpp"
#include "util/logged_ops.hpp"
#include "util/program_error.hpp"
#include "util/strings.hpp"

namespace zelvane {
namespace {

constexpr std::uint32_t kStopStyle = kMbOk | kMbIconExclamation | kMbSystemModal;  // 0x1030
constexpr std::string_view kErrorLocation = "cmdRemoveMod_Click";

// A run lets the window process its messages at a few points, and "Remove Mod" can be pressed
// again at such a point (or the window asked to close); the second click must not start a run
// inside the first.
bool runInProgress = false;

class RunGuard {
public:
    RunGuard() { runInProgress = true; }
    ~RunGuard() { runInProgress = false; }
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;
};

void StopBox(RunState& run, std::string_view text) { run.ui().ShowMessage(text, "Aborting", kStopStyle); }

// Step 1. True when the run goes on: every answer except "&No", closing the prompt included.
bool Confirm(RunState& run) {
    UninstallDescription& d = run.description;
    if (d.ConfirmFormatWidth <= 0) d.ConfirmFormatWidth = d.DefaultFormatWidth;
    PromptSpec spec = YesNoPrompt(d.ConfirmTitle, d.ConfirmFormatWidth);
    spec.playSound = d.ConfirmBeep;
    spec.buttonWidth = 1000;
    return AskPrompt(run, d.ConfirmMessage, spec) != 1;
}

// Step 3. True when a 2da backup appeared after start-up and the program has to be restarted.
bool StaleStart(RunState& run) {
    const UninstallDescription& d = run.description;
    if (!d.Restore2da || d.Backup2daAvailable || !Repeat2daCheck(run.fs(), run.programFolder())) return false;
    const std::string crlf(kCrLf);
    PromptSpec spec;
    spec.title = "Shutting Down";
    spec.iconType = 1;
    spec.buttonCount = 1;
    spec.captions = {"&OK", "", "", ""};
    spec.focusIndex = 0;
    spec.playSound = true;
    spec.formatWidth = 7500;
    AskPrompt(run,
              "This program appears to have been started \\b before\\b0  the Quarrow was run \\i\\ul OR\\ulnone\\i0  "
              "some files were manually moved in this apps folder.\\par " +
                  crlf + "\\par " + crlf + "Whatever the case, the internal variables are not up to date.\\par " +
                  crlf + "\\par " + crlf +
                  "\\cf10 This program must be closed and restarted before it can remove the mod.",
              spec);
    return true;
}

// Step 4. False after "&Abort".
bool ChooseGame(RunState& run) {
    if (!run.description.GameSelect) return true;
    const std::string crlf(kCrLf);
    PromptSpec spec;
    spec.title = "Choose Game";
    spec.buttonCount = 3;
    spec.captions = {"Kotor &1", "Kotor &2 TSL", "&Abort", ""};
    spec.focusIndex = 2;
    const int answer = AskPrompt(run,
                                 "This mod was installable for \\b K1\\b0  \\i or\\i0  \\b K2.\\b0\\par " + crlf +
                                     "\\par " + crlf + "Choose the game to uninstall from...",
                                 spec);
    if (answer == 0) run.game = Game::K1;
    if (answer == 1) run.game = Game::K2;
    if (answer == 2) {
        StopBox(run, "Uninstall Aborted");
        return false;
    }
    return true;
}

// Step 7.
void WriteLogHeader(RunState& run) {
    FileSystem& fs = run.fs();
    std::string& log = run.removalLog;
    log += LogDocumentHeader();
    AppendLine(log,
               LogLine::BoldIn(Colour::Heading).Add("Game is K" + std::to_string(GameNumber(*run.game))).EndBold());

    std::string game = AddBackslash(run.gameFolder) + "dialog.tlk";
    game = AddBackslash(GetFolderPart(fs, GetLongPath(fs, game)));
    AppendLine(log, LogLine::BoldIn(Colour::Heading).Add("Game Directory Is: " + LogDisplay(game)).EndBold());

    std::string app = run.programFolder() + "\\uninstall\\uninstall_data.ini";
    app = AddBackslash(ParentFolder(GetFolderPart(fs, GetLongPath(fs, app))));
    AppendLine(log, LogLine::BoldIn(Colour::Heading).Add("App Directory Is: " + LogDisplay(app)).EndBold());
    AppendBlankLines(log, 2);
}

// Steps 2 to 12 after the confirmation; the outcome of the run.
RunOutcome RunPhases(RunState& run, RunResult& result) {
    run.removalLog.clear();
    if (StaleStart(run)) return RunOutcome::Stopped;
    if (!ChooseGame(run)) return RunOutcome::Stopped;
    if (!run.game) {
        StopBox(run, "Error selecting game to uninstall from.");
        return RunOutcome::Stopped;
    }
    if (!LocateGameFolder(run)) return RunOutcome::Stopped;
    if (run.context.acceptGameFolder && !run.context.acceptGameFolder(run.gameFolder)) return RunOutcome::Stopped;
    run.folders.gameFolder = run.gameFolder;
    // Every change from here on must land in the game folder or the program folder; the file
    // system checks each one when it is made.
    run.fs().SetRoots({run.gameFolder, run.programFolder()});
    // And none of the game phases may change the program's own folders.
    run.files.ownFolders.Protect(run.fs(), run.gameFolder);

    WriteLogHeader(run);
    RemoveFileList(run);
    if (!run.description.QueuedDeletes.empty()) RunQueuedDeletes(run);
    if (!run.description.QueuedRestores.empty()) RunQueuedRestores(run);
    Restore2daBackups(run);
    result.logPath = CompleteRun(run);
    return RunOutcome::Completed;
}

}  // namespace

bool RunInProgress() { return runInProgress; }

RunResult RunRemoval(UninstallDescription& description, RunContext& context) {
    RunResult result;
    if (runInProgress) {
        result.outcome = RunOutcome::Ignored;
        return result;
    }
    RunGuard guard;
    RunState run(description, context);
    try {
        if (!Confirm(run)) {
            result.outcome = RunOutcome::Declined;
            return result;
        }
        result.outcome = RunPhases(run, result);
    } catch (const std::exception& failure) {
        ReportFailure(context.ui, failure, kErrorLocation);
        result.outcome = RunOutcome::Failed;
        result.logPath.clear();
    }
    result.log = run.removalLog;
    result.failureCount = run.counts.failures;
    result.notFoundCount = run.counts.notFound;
    result.deletedCount = run.counts.deleted;
    result.restoredCount = run.counts.restored;
    result.tablesRestoredCount = run.counts.tablesRestored;
    result.gameFolder = run.gameFolder;
    return result;
}

}  // namespace zelvane
