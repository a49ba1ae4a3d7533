#include "removal/queued_deletes.hpp"

#include "removal/entry_safety.hpp"
#include "removal/log_line.hpp"
#include "removal/prompt_helper.hpp"
#include "removal/removal_log.hpp"
#include "util/common.hpp"
#include "util/logged_ops.hpp"

namespace zelvane {

void RunQueuedDeletes(RunState& run) {
    UninstallDescription& d = run.description;
    for (QueuedEntry& queued : d.QueuedDeletes) {
        const std::string& file = queued.path;
        const std::string name = RelativeDisplay(run, file);
        const EntryName entry = ResolveEntry(file);
        if (entry.kind == EntryKind::Outside || entry.kind == EntryKind::NotPlainName ||
            (entry.kind == EntryKind::File &&
             !ResolvesInsideGameFolder(run.fs(), run.gameFolder, AddBackslash(run.gameFolder) + entry.relative))) {
            AppendLine(run.removalLog, RefusedLine("QDeleteFile", RefusalText(entry.kind), LogDisplay(file)));
            run.counts.failures += 1;
            continue;
        }
        // A name that no file carries (wildcards) is simply not there.
        const std::string target =
            entry.kind == EntryKind::File ? GetShortPath(run.fs(), AddBackslash(run.gameFolder) + entry.relative) : "";
        if (!FileExists(run.fs(), target)) {
            AppendLine(run.removalLog, PromptFailureLine("QDeleteFile", "(File Not Found):", name));
            continue;
        }
        if (queued.width <= 0) queued.width = d.DefaultFormatWidth;
        if (AskWithOwnText(run, queued.prompt, YesNoPrompt("Confirm Delete", queued.width)) == 0) {
            const FileResult deleted = LoggedDelete(run.fs(), target);
            AppendLine(run.removalLog, LogLine::Of("QDeleteFile").Add(DeletionText(deleted, name).Text()).End());
            run.counts.failures += deleted.Failures();
            if (deleted.Succeeded()) run.counts.deleted += 1;
        } else {
            AppendLine(run.removalLog,
                       LogLine::Of("QDeleteFile").Then(Colour::Decision, "User chose not to delete " + name).End());
        }
    }
}

}  // namespace zelvane
