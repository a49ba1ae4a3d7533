#include "removal/queued_restores.hpp"

#include "removal/entry_safety.hpp"
#include "removal/log_line.hpp"
#include "removal/prompt_helper.hpp"
#include "removal/removal_log.hpp"
#include "util/common.hpp"
#include "util/logged_ops.hpp"

namespace zelvane {
namespace {

constexpr std::string_view kPhase = "QRestoreFile";

// Deletes the mod's file, then renames the .original into its place. The rename is attempted
// even after a failed deletion: it then fails because the target is still there, and both files
// stay where they are.
void Restore(RunState& run, const std::string& file, const std::string& shortTarget, const std::string& target,
             const std::string& original) {
    const FileResult deleted = LoggedDelete(run.fs(), shortTarget);
    AppendLine(run.removalLog, LogLine::Of(kPhase).Add(DeletionText(deleted, RelativeDisplay(run, file)).Text()).End());
    run.counts.failures += deleted.Failures();

    const FileResult renamed = LoggedRename(run.fs(), original, target);
    run.counts.failures += renamed.Failures();
    const std::string from = RelativeDisplay(run, original);
    const std::string to = RelativeDisplay(run, target);
    if (renamed.Succeeded()) {
        run.counts.restored += 1;
        AppendLine(run.removalLog, LogLine::Of(kPhase).FromTo(Colour::Success, "Renamed", from, to).End());
    } else {
        // This line has always run "to" and the name together.
        AppendLine(run.removalLog, LogLine::Of(kPhase)
                                       .Named(Colour::Failure, "Failure Renaming ", from, " to ")
                                       .Switch(Colour::Text)
                                       .Add(to)
                                       .Failed(renamed)
                                       .End());
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
            AppendLine(run.removalLog, RefusedLine(kPhase, RefusalText(entry.kind), LogDisplay(file)));
            run.counts.failures += 1;
            continue;
        }
        // A name that no file carries (wildcards) is simply not there.
        const std::string shortTarget = entry.kind == EntryKind::File ? GetShortPath(run.fs(), target) : "";
        if (!FileExists(run.fs(), shortTarget)) {
            AppendLine(run.removalLog, PromptFailureLine(kPhase, "(File Not Found)", RelativeDisplay(run, file)));
            continue;
        }
        if (!FileExists(run.fs(), original)) {
            AppendLine(run.removalLog,
                       PromptFailureLine(kPhase, "(.original File Not Found)", RelativeDisplay(run, original)));
            continue;
        }
        if (queued.width <= 0) queued.width = d.DefaultFormatWidth;
        if (AskWithOwnText(run, queued.prompt, YesNoPrompt("Confirm Restore", queued.width)) == 0) {
            Restore(run, file, shortTarget, target, original);
        } else {
            const std::string name = RelativeDisplay(run, file);
            AppendLine(run.removalLog,
                       LogLine::Of(kPhase).Named(Colour::Decision, "User chose not to restore ", name).EndPlain());
        }
    }
}

}  // namespace zelvane
