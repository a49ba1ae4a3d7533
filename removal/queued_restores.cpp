#include "removal/queued_restores.hpp"

#include "removal/entry_safety.hpp"
#include "removal/prompt_helper.hpp"
#include "removal/removal_log.hpp"
#include "util/common.hpp"
#include "util/logged_ops.hpp"

namespace zelvane {
namespace {

void PromptFailure(RunState& run, std::string_view reason, std::string_view name) {
    AppendLine(run.removalLog, "\\cf1\\b QRestoreFile: \\cf10 Prompt Failure \\cf6 " + std::string(reason) + " \\cf1 " +
                                   std::string(name) + "\\cf1\\b0\\par");
}

// Deletes the mod's file, then renames the .original into its place. The rename is attempted
// even after a failed deletion: it then fails because the target is still there, and both files
// stay where they are.
void Restore(RunState& run, const std::string& file, const std::string& shortTarget, const std::string& target,
             const std::string& original) {
    const FileOpResult deleted = KillFileString(run.fs(), shortTarget, RelativeDisplay(run, file));
    AppendLine(run.removalLog, "\\cf1 QRestoreFile: " + deleted.text + "\\par");
    run.failureCount += deleted.failedFlag;

    const FileOpResult renamed = RenameFileString(run.fs(), original, target);
    run.failureCount += renamed.failedFlag;
    if (renamed.failedFlag == 0) {
        run.restoredCount += 1;
        AppendLine(run.removalLog, "\\cf1 QRestoreFile: \\cf3 Renamed \\cf1 " + RelativeDisplay(run, original) +
                                       "\\cf3  to \\cf1 " + RelativeDisplay(run, target) + "\\par");
    } else {
        AppendLine(run.removalLog, "\\cf1 QRestoreFile: \\cf10 Failure Renaming \\cf1 " + RelativeDisplay(run, original) +
                                       "\\cf10  to \\cf1" + RelativeDisplay(run, target) + " - \\cf7 " + renamed.text +
                                       "\\par");
    }
}

}  // namespace

void RunQueuedRestores(RunState& run) {
    UninstallDescription& d = run.description;
    for (QueuedEntry& queued : d.QueuedRestores) {
        const std::string& file = queued.path;
        const EntryName entry = ResolveEntry(file);
        const std::string target = AddBackslash(run.gameFolder) + entry.relative;
        const std::string original = target + ".original";
        // The .original is moved into the mod file's place, so it must not lead out either.
        if (entry.kind == EntryKind::Outside || entry.kind == EntryKind::NotPlainName ||
            (entry.kind == EntryKind::File && (!ResolvesInsideGameFolder(run.fs(), run.gameFolder, target) ||
                                               !ResolvesInsideGameFolder(run.fs(), run.gameFolder, original)))) {
            AppendLine(run.removalLog, "\\cf1 QRestoreFile: \\cf10 " + std::string(RefusalText(entry.kind)) +
                                           ": \\cf1 " + LogDisplay(file) + "\\cf1\\par");
            run.failureCount += 1;
            continue;
        }
        // A name that no file carries (wildcards) is simply not there.
        const std::string shortTarget = entry.kind == EntryKind::File ? GetShortPath(run.fs(), target) : "";
        if (!FileExists(run.fs(), shortTarget)) {
            PromptFailure(run, "(File Not Found)", RelativeDisplay(run, file));
            continue;
        }
        if (!FileExists(run.fs(), original)) {
            PromptFailure(run, "(.original File Not Found)", RelativeDisplay(run, original));
            continue;
        }
        if (queued.width <= 0) queued.width = d.DefaultFormatWidth;
        if (AskWithOwnText(run, queued.prompt, YesNoPrompt("Confirm Restore", queued.width)) == 0) {
            Restore(run, file, shortTarget, target, original);
        } else {
            AppendLine(run.removalLog, "\\cf1 QRestoreFile: \\cf5 User chose not to restore \\cf1 " +
                                           RelativeDisplay(run, file) + "\\cf1\\par");
        }
    }
}

}  // namespace zelvane
