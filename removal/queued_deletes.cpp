#include "removal/queued_deletes.hpp"

#include "removal/entry_safety.hpp"
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
            AppendLine(run.removalLog, "\\cf1 QDeleteFile: \\cf10 " + std::string(RefusalText(entry.kind)) + ": \\cf1 " +
                                           LogDisplay(file) + "\\cf1\\par");
            run.failureCount += 1;
            continue;
        }
        // A name that no file carries (wildcards) is simply not there.
        const std::string target =
            entry.kind == EntryKind::File ? GetShortPath(run.fs(), AddBackslash(run.gameFolder) + entry.relative) : "";
        if (!FileExists(run.fs(), target)) {
            AppendLine(run.removalLog, "\\cf1\\b QDeleteFile: \\cf10 Prompt Failure \\cf6 (File Not Found): \\cf1 " + name +
                                           "\\cf1\\b0\\par");
            continue;
        }
        if (queued.width <= 0) queued.width = d.DefaultFormatWidth;
        if (AskWithOwnText(run, queued.prompt, YesNoPrompt("Confirm Delete", queued.width)) == 0) {
            const FileOpResult deleted = KillFileString(run.fs(), target, name);
            AppendLine(run.removalLog, "\\cf1 QDeleteFile: " + deleted.text + "\\par");
            run.failureCount += deleted.failedFlag;
            if (deleted.failedFlag == 0) run.deletedCount += 1;
        } else {
            AppendLine(run.removalLog, "\\cf1 QDeleteFile: \\cf5 User chose not to delete " + name + "\\par");
        }
    }
}

}  // namespace zelvane
