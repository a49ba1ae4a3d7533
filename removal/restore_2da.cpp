#include "removal/restore_2da.hpp"

#include <optional>

#include "removal/entry_safety.hpp"
#include "removal/log_line.hpp"
#include "removal/removal_log.hpp"
#include "removal/restore_2da_prompts.hpp"
#include "removal/restore_2da_steps.hpp"
#include "removal/search_view.hpp"
#include "util/common.hpp"
#include "util/strings.hpp"
#include "widgets/common_dialog.hpp"

namespace zelvane {
namespace {

// What the 2da restore keeps from one backup to the next: the files it has put into Backup
// Uninstall, and the file dialog that locates a table.
struct TableRestore {
    Ledger ledger;
    OpenDialogState dialog;
};

// A 2da path of the game that leads out of the game folder through a link: never touched.
bool RefusedOutside(RunState& run, const std::string& path) {
    if (ResolvesInsideGameFolder(run.fs(), run.gameFolder, path)) return false;
    Log2da(run, RefusedLine(k2daPhase, "Refused (outside the game folder)", RelativeDisplay(run, path)));
    run.counts.failures += 1;
    return true;
}

// The comparison shown with a question about the table in use, when the front end asks for it and
// both tables read as tables; nothing else changes the question.
std::optional<TableComparison> CompareForPrompt(RunState& run, const Replacement& r, const std::string& current) {
    const TableInsight& insight = run.context.tableInsight;
    if (!insight.show) return std::nullopt;
    TableComparison comparison = CompareTableWithBackup(run.fs(), r.backup, current, insight.modFolder);
    if (!comparison.compared) return std::nullopt;
    return comparison;
}

// A chosen file is the replace target only when it has the backup's name and is not one of the
// program's own copies (the backup itself, a file in Backup Uninstall that the sequence rewrites,
// or anything in a program folder unpacked into override).
bool IsValidLocatedFile(RunState& run, const std::string& chosen, const std::string& name) {
    if (chosen.empty() || LowerCase(GetFileName(chosen)) != LowerCase(name)) return false;
    return !run.files.ownFolders.Hold(run.fs(), chosen);
}

void LocateAndReplace(RunState& run, TableRestore& restore, Replacement r) {
    OpenDialogOptions options;
    options.initialFolder = AddBackslash(run.gameFolder) + "override\\";
    options.filter = std::string("2da Files (*.2da)") + '\0' + "*.2da";
    options.title = "Locate " + r.name;
    options.fileName = r.name;
    options.owner = 0;
    options.startInLastFolder = false;
    options.allowMultiple = false;
    options.flags = 0;
    options.hookChoice = true;
    options.ownHook = true;
    for (;;) {
        const std::string chosen = restore.dialog.CommonDialogShowOpen(run.ui(), options);
        run.PlayerHadControl();
        if (IsValidLocatedFile(run, chosen, r.name)) {
            if (RefusedOutside(run, chosen)) return;
            r.current = chosen;
            r.renameTarget = chosen;
            RunReplacement(run, restore.ledger, r);
            return;
        }
        const int answer = AskInvalidFile(run, r.name);
        if (answer == 1) continue;
        if (answer == 0) {
            const std::string name = EscapeRtfText(r.name);
            Log2da(run, Line2da().Named(Colour::Decision, "User aborted 2da replacement for ", name).End());
        }
        return;
    }
}

// No current file anywhere: the backup can still be put into override.
void OfferRestoreAnyway(RunState& run, TableRestore& restore, Replacement r, const std::string& overrideTarget) {
    const int answer = AskRestoreAnyway(run, r.name);
    if (answer == 0) {
        r.renameTarget = overrideTarget;
        RunReplacement(run, restore.ledger, r);
    } else if (answer == 1) {
        const std::string name = EscapeRtfText(r.name);
        Log2da(run, Line2da().Named(Colour::Neutral, "No 2das found in override. ", name, " not restored.").End());
    }
}

void RestoreOne(RunState& run, TableRestore& restore, const std::string& backup) {
    Replacement r;
    r.backup = backup;
    r.name = GetFileName(backup);
    const std::string overrideTarget = AddBackslash(run.gameFolder) + "override\\" + r.name;
    if (RefusedOutside(run, overrideTarget)) return;

    if (FileExists(run.fs(), overrideTarget)) {
        const std::optional<TableComparison> comparison = CompareForPrompt(run, r, overrideTarget);
        const int answer = AskReplaceInOverride(run, r.name, comparison);
        if (answer == 0 || (answer == 2 && MergeOffered(comparison))) {
            r.current = GetLongPath(run.fs(), overrideTarget);
            r.renameTarget = *r.current;
            if (answer == 0)
                RunReplacement(run, restore.ledger, r);
            else
                RunMerge(run, restore.ledger, r, *comparison);
        } else if (answer == 1) {
            const std::string name = EscapeRtfText(r.name);
            Log2da(run, Line2da().Named(Colour::Decision, "User declined ", name, " replacement.").End());
        }
        return;
    }
    if (run.game == Game::K1) {
        OfferRestoreAnyway(run, restore, r, overrideTarget);
        return;
    }
    if (run.game != Game::K2) return;

    const std::string found = FindInOverride(run, r.name);
    if (!FileExists(run.fs(), found)) {
        OfferRestoreAnyway(run, restore, r, overrideTarget);
        return;
    }
    if (RefusedOutside(run, found)) return;
    const std::optional<TableComparison> comparison = CompareForPrompt(run, r, found);
    const int answer = AskFoundFile(run, r.name, found, comparison);
    if (answer == 0 || (answer == 3 && MergeOffered(comparison))) {
        r.current = found;
        r.renameTarget = found;
        if (answer == 0)
            RunReplacement(run, restore.ledger, r);
        else
            RunMerge(run, restore.ledger, r, *comparison);
    } else if (answer == 1) {
        LocateAndReplace(run, restore, r);
    } else if (answer == 2) {
        Log2da(run, Line2da().Add(EscapeRtfText(r.name)).Then(Colour::Neutral, " replacement aborted.").End());
    }
}

}  // namespace

void Restore2daBackups(RunState& run) {
    UninstallDescription& d = run.description;
    if (!d.Restore2da) return;
    if (!d.Backup2daAvailable) {
        AppendLine(run.removalLog, LogLine::BoldOf(k2daPhase)
                                       .Then(Colour::Failure, "Prompt Failure ")
                                       .Then(Colour::Heading, "(No 2da backups found to restore.)")
                                       .EndBold());
        return;
    }
    if (!d.Missing2daReport.empty()) {
        AppendLine(run.removalLog, d.Missing2daReport + "\\par");
        d.Missing2daReport.clear();
    }
    TableRestore restore;
    for (const std::string& backup : d.Backup2daFiles) {
        RestoreOne(run, restore, backup);
    }
}

}  // namespace zelvane
