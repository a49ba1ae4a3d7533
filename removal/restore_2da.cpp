#include "removal/restore_2da.hpp"

#include <optional>
#include <vector>

#include "removal/entry_safety.hpp"
#include "removal/prompt_helper.hpp"
#include "removal/removal_log.hpp"
#include "util/common.hpp"
#include "util/logged_ops.hpp"
#include "util/strings.hpp"

namespace zelvane {
namespace {

const std::string kCrLfText(kCrLf);

// One backup and where it goes.
struct Replacement {
    std::string backup;                  // B, in the backup folder beside the program
    std::string name;                    // its file name
    std::optional<std::string> current;  // the 2da file now in use, when there is one
    std::string renameTarget;            // where the backup is moved to
};

std::string BackupUninstallFolder(const RunState& run) { return AddBackslash(run.programFolder()) + "Backup Uninstall"; }

std::string SafetyCopyPath(const RunState& run, std::string_view name) {
    return BackupUninstallFolder(run) + "\\original install backup." + std::string(name);
}

void Log2da(RunState& run, std::string_view text) { AppendLine(run.removalLog, "\\cf1 QRestore2da: " + std::string(text)); }

void LogNotRestored(RunState& run, const Replacement& r, std::string_view reason) {
    Log2da(run, "\\cf10 Backup not restored: \\cf1 " + RelativeDisplay(run, r.backup) + "\\cf10  (" + std::string(reason) +
                    ")\\cf1\\par");
    run.failureCount += 1;
}

// A 2da path of the game that leads out of the game folder through a link: never touched.
bool RefusedOutside(RunState& run, const std::string& path) {
    if (ResolvesInsideGameFolder(run.fs(), run.gameFolder, path)) return false;
    Log2da(run, "\\cf10 Refused (outside the game folder): \\cf1 " + RelativeDisplay(run, path) + "\\cf1\\par");
    run.failureCount += 1;
    return true;
}

void KillLogged(RunState& run, std::string_view path, std::string_view displayName) {
    const FileOpResult deleted = KillFileString(run.fs(), path, displayName);
    Log2da(run, deleted.text + "\\par");
    run.failureCount += deleted.failedFlag;
}

// Whether a file the sequence replaces in Backup Uninstall is, through a link, the backup or the
// table in use itself (Backup Uninstall linked to the backup folder or to override): deleting or
// overwriting it there would lose that table.
bool BackupUninstallAliasesATable(RunState& run, const Replacement& r) {
    const std::string folder = BackupUninstallFolder(run);
    std::vector<std::string> slots = {SafetyCopyPath(run, r.name)};
    std::vector<std::string> tables = {r.backup};
    if (r.current) {
        slots.push_back(folder + "\\" + GetFileName(*r.current));
        tables.push_back(*r.current);
    }
    for (const std::string& slot : slots) {
        const std::string resolvedSlot = LowerCase(run.fs().ResolvedPath(slot));
        for (const std::string& table : tables) {
            if (resolvedSlot.empty() || resolvedSlot == LowerCase(run.fs().ResolvedPath(table))) return true;
        }
    }
    return false;
}

// R1 to R7. Without a current file only R1, R5, R6 and R7 run. The current file is copied aside
// before it is deleted, and the backup is moved only once its safety copy exists, so that no file
// is ever kept nowhere.
void RunReplacement(RunState& run, const Replacement& r) {
    const std::string folder = BackupUninstallFolder(run);
    const std::string escapedName = EscapeRtfText(r.name);

    if (BackupUninstallAliasesATable(run, r)) {
        LogNotRestored(run, r, "Backup Uninstall leads to the backup or the table in use");
        return;
    }
    // R1
    if (!FolderExists(run.fs(), folder)) {
        ThrowIfFailed(run.fs().CreateFolder(folder));
        run.DoEvents();
    }

    if (r.current) {
        const std::string& current = *r.current;
        const std::string fileName = GetFileName(current);
        const std::string displaced = folder + "\\" + fileName;
        const std::string displacedDisplay = "Backup Uninstall\\\\" + EscapeRtfText(fileName);
        // R2: the file displaced by an earlier run.
        if (FileExists(run.fs(), displaced)) KillLogged(run, displaced, displacedDisplay);
        // R3
        const FileOpResult copied = FileCopyString(run.fs(), current, displaced);
        if (copied.failedFlag == 0) {
            Log2da(run, "\\cf3 FileCopy \\cf1 " + RelativeDisplay(run, current) + "\\cf3  to \\cf1 " + displacedDisplay +
                            "\\par");
        } else {
            Log2da(run, "\\cf10 Failure FileCopy \\cf1 " + RelativeDisplay(run, current) + "\\cf10  to \\cf1 " +
                            displacedDisplay + " - \\cf7 " + copied.text + "\\par");
            LogNotRestored(run, r, "the current file could not be copied aside and was left in place");
            return;
        }
        // R4
        run.DoEvents();
        KillLogged(run, GetShortPath(run.fs(), current), RelativeDisplay(run, current));
    }

    // R5: the safety copy of an earlier run.
    const std::string safety = SafetyCopyPath(run, r.name);
    const std::string safetyDisplay = "Backup Uninstall\\\\original install backup." + escapedName;
    if (FileExists(run.fs(), safety)) KillLogged(run, safety, safetyDisplay);
    // R6
    const FileOpResult copied = FileCopyString(run.fs(), r.backup, safety);
    if (copied.failedFlag == 0) {
        Log2da(run, "\\cf3 FileCopy \\cf1 " + RelativeDisplay(run, r.backup) + "\\cf3  to \\cf1 " + safetyDisplay + "\\par");
    } else {
        Log2da(run, "\\cf10 Failure Copying \\cf1 " + RelativeDisplay(run, r.backup) + "\\cf10  to \\cf1 " + safetyDisplay +
                        " - \\cf7 " + copied.text + "\\par");
        LogNotRestored(run, r, "no safety copy could be made, so the backup stays in the backup folder");
        return;
    }
    // R7
    const FileOpResult renamed = RenameFileString(run.fs(), r.backup, r.renameTarget);
    run.failureCount += renamed.failedFlag;
    if (renamed.failedFlag == 0) {
        Log2da(run, "\\cf3 Renamed \\cf1 " + RelativeDisplay(run, r.backup) + "\\cf3  to \\cf1 " +
                        RelativeDisplay(run, r.renameTarget) + "\\par");
    } else {
        Log2da(run, "\\cf10 Failure Renaming \\cf1 " + RelativeDisplay(run, r.backup) + "\\cf10  to \\cf1 " +
                        RelativeDisplay(run, r.renameTarget) + " - \\cf7 " + renamed.text + "\\par");
    }
}

std::string ReplaceTitle(std::string_view name) { return "Confirm " + std::string(name) + " replacement"; }

std::string BackupUninstallNote(std::string_view n) {
    return "\\cf10\\ul\\b NOTE:\\b0\\ulnone\\cf1  The \\cf5 " + std::string(n) +
           "\\cf1  in the override will be backed up in a folder named \\cf5 Backup Uninstall\\cf1\\ " +
           "located in the folder this program is being run from.\\par " + kCrLfText;
}

int AskReplaceInOverride(RunState& run, const std::string& name) {
    const std::string n = EscapeRtfText(name);
    const std::string text =
        "2da replacement is enabled. Would you like to replace the \\cf5 " + n +
        "\\cf1  in the override with the backup copy generated when you installed this mod?\\par " + kCrLfText +
        "\\par " + kCrLfText + BackupUninstallNote(n) + "\\par " + kCrLfText +
        "\\cf10\\ul\\b NOTE ALSO:\\b0\\ulnone\\cf2  If you have installed \\i any\\i0  mods that have altered the \\cf5 " + n +
        " \\cf2 since you installed this one then replacing it is probably a bad idea and \\b UNLESS\\b0  you "
        "\\b REALLY\\b0\\ know what you are doing then you are advised \\b NOT\\b0  to replace it.";
    return AskPrompt(run, text, YesNoPrompt(ReplaceTitle(name)));
}

int AskRestoreAnyway(RunState& run, const std::string& name) {
    const std::string n = EscapeRtfText(name);
    const std::string text = "2da replacement is enabled.\\par " + kCrLfText + "However, no \\cf5 " + n +
                             "\\cf1  was found in the override.\\par " + kCrLfText + "\\par " + kCrLfText +
                             "Restore the backup \\cf5 " + n + "\\cf1  anyway?";
    return AskPrompt(run, text, YesNoPrompt(ReplaceTitle(name)));
}

int AskFoundFile(RunState& run, const std::string& name, const std::string& found) {
    const std::string n = EscapeRtfText(name);
    const std::string text =
        "2da replacement is enabled. Would you like to replace the \\cf5 " + n + "\\cf1  located at \\cf5 " + kCrLfText +
        EscapeRtfText(DoubleSlash(found)) + "\\cf1 with the backup copy generated when you installed this mod?\\par " +
        kCrLfText + "\\par " + kCrLfText + "Selecting \\cf7\\b yes\\b0\\cf1  will replace the file.\\par " + kCrLfText +
        "Selecting \\cf7\\b no\\b0\\cf1  will allow you to locate the replace target yourself.\\par " + kCrLfText +
        "Selecting \\cf7\\b cancel\\b0\\cf1  will abort and allow you to do it manually.\\par " + kCrLfText + kCrLfText +
        BackupUninstallNote(n) + "\\par " + kCrLfText +
        "\\cf10\\ul\\b NOTE ALSO:\\b0\\ulnone\\cf2  If you have installed any mods that have altered the \\cf5 " + n +
        "\\cf2  since you installed this one then replacing it is probably a bad idea and \\b UNLESS\\b0  you "
        "\\b REALLY\\b0\\ know what you are doing then you are advised \\b NOT\\b0  to replace it.";
    PromptSpec spec;
    spec.title = ReplaceTitle(name);
    spec.buttonCount = 3;
    spec.captions = {"&Yes", "&No", "&Cancel", ""};
    spec.focusIndex = 2;
    spec.formatWidth = 7500;
    return AskPrompt(run, text, spec);
}

int AskInvalidFile(RunState& run, const std::string& name) {
    return AskPrompt(run,
                     "Invalid file - Would you like to abort this \\cf5 " + EscapeRtfText(name) +
                         "\\cf1  replacement operation?",
                     YesNoPrompt("Hmm"));
}

// A chosen file is the replace target only when it has the backup's name and is not one of the
// program's own copies (the backup itself, or a file in Backup Uninstall that the sequence rewrites).
bool IsValidLocatedFile(const RunState& run, const std::string& chosen, const std::string& backup,
                        const std::string& name) {
    if (chosen.empty() || LowerCase(GetFileName(chosen)) != LowerCase(name)) return false;
    const std::string lowered = LowerCase(chosen);
    if (lowered == LowerCase(backup)) return false;
    return lowered != LowerCase(BackupUninstallFolder(run) + "\\" + GetFileName(chosen));
}

void LocateAndReplace(RunState& run, Replacement r) {
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
        const std::string chosen = run.openDialog.CommonDialogShowOpen(run.ui(), options);
        run.PlayerHadControl();
        if (IsValidLocatedFile(run, chosen, r.backup, r.name)) {
            if (RefusedOutside(run, chosen)) return;
            r.current = chosen;
            r.renameTarget = chosen;
            RunReplacement(run, r);
            return;
        }
        const int answer = AskInvalidFile(run, r.name);
        if (answer == 1) continue;
        if (answer == 0) {
            Log2da(run, "\\cf5 User aborted 2da replacement for \\cf1 " + EscapeRtfText(r.name) + "\\par");
        }
        return;
    }
}

// No current file anywhere: the backup can still be put into override.
void OfferRestoreAnyway(RunState& run, Replacement r, const std::string& overrideTarget) {
    const int answer = AskRestoreAnyway(run, r.name);
    if (answer == 0) {
        r.renameTarget = overrideTarget;
        RunReplacement(run, r);
    } else if (answer == 1) {
        Log2da(run, "\\cf4 No 2das found in override. \\cf1 " + EscapeRtfText(r.name) + "\\cf4  not restored.\\par");
    }
}

void RestoreOne(RunState& run, const std::string& backup) {
    Replacement r;
    r.backup = backup;
    r.name = GetFileName(backup);
    const std::string overrideTarget = AddBackslash(run.gameFolder) + "override\\" + r.name;
    if (RefusedOutside(run, overrideTarget)) return;

    if (FileExists(run.fs(), overrideTarget)) {
        const int answer = AskReplaceInOverride(run, r.name);
        if (answer == 0) {
            r.current = GetLongPath(run.fs(), overrideTarget);
            r.renameTarget = *r.current;
            RunReplacement(run, r);
        } else if (answer == 1) {
            Log2da(run, "\\cf5 User declined \\cf1 " + EscapeRtfText(r.name) + "\\cf5  replacement.\\par");
        }
        return;
    }
    if (run.game == 1) {
        OfferRestoreAnyway(run, r, overrideTarget);
        return;
    }
    if (run.game != 2) return;

    run.search = SearchState{};
    run.searchIndex.FindFile(run.fs(), AddBackslash(run.gameFolder) + "override\\*.*", r.name, true, run.search,
                             [&run] { run.DoEvents(); });
    const std::string found = run.search.result;
    if (!FileExists(run.fs(), found)) {
        OfferRestoreAnyway(run, r, overrideTarget);
        return;
    }
    if (RefusedOutside(run, found)) return;
    const int answer = AskFoundFile(run, r.name, found);
    if (answer == 0) {
        r.current = found;
        r.renameTarget = found;
        RunReplacement(run, r);
    } else if (answer == 1) {
        LocateAndReplace(run, r);
    } else if (answer == 2) {
        Log2da(run, EscapeRtfText(r.name) + "\\cf4  replacement aborted.\\par");
    }
}

}  // namespace

void Restore2daBackups(RunState& run) {
    UninstallDescription& d = run.description;
    if (!d.Restore2da) return;
    if (!d.Backup2daAvailable) {
        AppendLine(run.removalLog,
                   "\\cf1\\b QRestore2da: \\cf10 Prompt Failure \\cf6 (No 2da backups found to restore.)\\cf1\\b0\\par");
        return;
    }
    if (!d.Missing2daReport.empty()) {
        AppendLine(run.removalLog, d.Missing2daReport + "\\par");
        d.Missing2daReport.clear();
    }
    for (const std::string& backup : d.Backup2daFiles) {
        RestoreOne(run, backup);
    }
}

}  // namespace zelvane
