#include "removal/restore_2da.hpp"

#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "platform/paths/windows_path.hpp"
#include "platform/seams/read_limits.hpp"
#include "removal/entry_safety.hpp"
#include "removal/log_line.hpp"
#include "removal/prompt_helper.hpp"
#include "removal/removal_log.hpp"
#include "removal/search_view.hpp"
#include "removal/table_comparison.hpp"
#include "util/common.hpp"
#include "util/logged_ops.hpp"
#include "util/program_error.hpp"
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

constexpr std::string_view kPhase = "QRestore2da";

LogLine Line2da() { return LogLine::Of(kPhase); }

void Log2da(RunState& run, const std::string& line) { AppendLine(run.removalLog, line); }

// A change that was not made, and why: a failure of the run.
void LogNotDone(RunState& run, std::string_view what, const std::string& path, std::string_view reason) {
    Log2da(run, Line2da()
                    .Then(Colour::Failure, what)
                    .Then(Colour::Text, RelativeDisplay(run, path))
                    .Then(Colour::Failure, " (")
                    .Add(reason)
                    .Add(")")
                    .EndPlain());
    run.failureCount += 1;
}

void LogNotRestored(RunState& run, const Replacement& r, std::string_view reason) {
    LogNotDone(run, "Backup not restored: ", r.backup, reason);
}

void LogNotMerged(RunState& run, const std::string& current, std::string_view reason) {
    LogNotDone(run, "Table not merged: ", current, reason);
}

// A 2da path of the game that leads out of the game folder through a link: never touched.
bool RefusedOutside(RunState& run, const std::string& path) {
    if (ResolvesInsideGameFolder(run.fs(), run.gameFolder, path)) return false;
    Log2da(run, RefusedLine(kPhase, "Refused (outside the game folder)", RelativeDisplay(run, path)));
    run.failureCount += 1;
    return true;
}

void KillLogged(RunState& run, FileSystem& fs, std::string_view path, std::string_view displayName) {
    const FileResult deleted = LoggedDelete(fs, path);
    Log2da(run, Line2da().Add(DeletionText(deleted, displayName).Text()).End());
    run.failureCount += deleted.Failures();
}

// The files this run has put into Backup Uninstall (lower-cased paths). Two backups whose names
// differ only in letter case displace two tables of one name; the second must not delete the
// first, which may be the only copy of the table that was in use.
using Ledger = std::set<std::string>;

bool Placed(const Ledger& ledger, std::string_view path) { return ledger.contains(LowerCase(path)); }

bool NoEntry(const FileSystem& fs, const std::string& path) {
    Attributes attributes;
    const FsStatus status = fs.GetAttributes(path, attributes);
    return status == FsStatus::FileNotFound || status == FsStatus::PathNotFound;
}

// "appearance.2da" -> "appearance (2).2da", "appearance (3).2da" ...: the first name in the
// folder that is free and not one this run has placed. Empty when none is left.
std::string FreeName(RunState& run, const Ledger& ledger, const std::string& folder, std::string_view name) {
    const std::size_t dot = name.rfind('.');
    const std::string stem(name.substr(0, dot));
    const std::string extension = dot == std::string_view::npos ? "" : std::string(name.substr(dot));
    for (int n = 2; n < 1000; ++n) {
        const std::string candidate = stem + " (" + std::to_string(n) + ")" + extension;
        const std::string path = folder + "\\" + candidate;
        if (!Placed(ledger, path) && NoEntry(run.fs(), path)) return candidate;
    }
    return "";
}

// Where a file of this name goes in Backup Uninstall: its own name, after the file an earlier
// run left there is deleted (R2, R5); or, when this run put that file there itself, a free name,
// which the log announces. Empty when no name is left.
std::string PlaceInBackupUninstall(RunState& run, const Ledger& ledger, std::string_view name) {
    const std::string folder = BackupUninstallFolder(run);
    const std::string path = folder + "\\" + std::string(name);
    const std::string display = "Backup Uninstall\\\\" + EscapeRtfText(name);
    if (!Placed(ledger, path)) {
        if (FileExists(run.fs(), path)) KillLogged(run, run.OwnFolderFs(OwnFolder::BackupUninstall), path, display);
        return std::string(name);
    }
    const std::string free = FreeName(run, ledger, folder, name);
    if (free.empty()) return "";
    Log2da(run, Line2da()
                    .Then(Colour::Neutral, "Kept ")
                    .Then(Colour::Text, display)
                    .Then(Colour::Neutral, " (put there earlier in this run); the new copy is named ")
                    .Then(Colour::Text, "Backup Uninstall\\\\" + EscapeRtfText(free))
                    .End());
    return free;
}

// The backup is moved into the game. Within one volume that is a rename; between volumes it is a
// copy that is read back and compared before the backup is deleted, so that the backup is never
// gone before its copy is complete on the other volume.
FileResult MoveAcrossVolumes(FileSystem& fs, const std::string& from, const std::string& to) {
    if (!NoEntry(fs, to)) return {FsStatus::AlreadyExists};  // a move never replaces a file
    if (FsStatus s = fs.SetAttributes(from, Attributes{}); s != FsStatus::Ok) return {s};
    if (FsStatus s = fs.Copy(from, to); s != FsStatus::Ok) return {s};
    std::string original;
    std::string copy;
    FsStatus s = fs.ReadAll(from, original, kTableLimit);
    if (s == FsStatus::Ok) s = fs.ReadAll(to, copy, kTableLimit);
    if (s == FsStatus::Ok && copy != original) s = FsStatus::IoError;
    if (s != FsStatus::Ok) {
        fs.Delete(to);  // a copy that cannot be trusted is not left in the game
        return {s};
    }
    return {fs.Delete(from)};
}

// R7, the one change that takes the backup out of the backup folder.
void MoveBackup(RunState& run, const Replacement& r, bool acrossVolumes) {
    FileSystem& fs = run.OwnFolderFs(OwnFolder::Backup);
    FileResult moved;
    if (!acrossVolumes) {
        moved = LoggedRename(fs, r.backup, r.renameTarget);
        acrossVolumes = moved.status == FsStatus::NotSameDevice;  // the volumes were told apart too late: copy instead
    }
    if (acrossVolumes) moved = MoveAcrossVolumes(fs, r.backup, r.renameTarget);
    run.failureCount += moved.Failures();
    if (moved.Succeeded()) run.tablesRestoredCount += 1;
    const std::string from = RelativeDisplay(run, r.backup);
    const std::string to = RelativeDisplay(run, r.renameTarget);
    if (moved.Succeeded() && !acrossVolumes) {
        Log2da(run, Line2da().FromTo(Colour::Success, "Renamed", from, to).End());
    } else if (moved.Succeeded()) {
        Log2da(run, Line2da()
                        .FromTo(Colour::Success, "Moved", from, to)
                        .Then(Colour::Success, " (another volume: copied, compared, then deleted from the backup folder)")
                        .End());
    } else {
        const std::string_view verb = acrossVolumes ? "Failure Moving" : "Failure Renaming";
        Log2da(run, Line2da().FromTo(Colour::Failure, verb, from, to).Add(" - ").Then(Colour::Detail, ErrorText(moved)).End());
    }
}

// Whether a file the sequence replaces in Backup Uninstall is, through a link, the backup or the
// table in use itself (Backup Uninstall linked to the backup folder or to override): deleting or
// overwriting it there would lose that table.
bool BackupUninstallAliasesATable(RunState& run, const Replacement& r) {
    const std::string folder = BackupUninstallFolder(run);
    std::vector<std::string> slots = {folder + "\\original install backup." + r.name};
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

std::string ErrorDescription(FsStatus status) { return FileSystemError(status).Description(); }

const std::string kUnchanged = ", so nothing was changed";

// Why the backup itself cannot be moved into the game: it is a link, it lies outside the program
// folder (a folder on the way linked elsewhere), it is no regular file, it is larger than a table
// ever is, or it cannot be read. "" when it can.
std::string BackupUnfit(RunState& run, const Replacement& r) {
    FileSystem& fs = run.fs();
    if (Attributes a; fs.GetAttributes(r.backup, a) == FsStatus::Ok && a.link) return "the backup is a link" + kUnchanged;
    if (!IsPathBelow(fs.ResolvedPath(r.backup), fs.ResolvedPath(run.programFolder()))) {
        return "the backup leads outside the program folder" + kUnchanged;
    }
    std::uint64_t size = 0;
    const FsStatus status = fs.FileSize(r.backup, size);
    if (status == FsStatus::NotRegularFile) return "the backup is not a regular file" + kUnchanged;
    if (status != FsStatus::Ok) return "the backup cannot be read" + kUnchanged;
    if (size > kTableLimit) return "the backup is larger than 64 MiB" + kUnchanged;
    return "";
}

// Why a step of the sequence could not be made, found before the first of them is made: the
// sequence deletes the table in use (R4) only once the copies and the move are known to work.
// `arriving` names what takes the place of the table in use. "" when every step can be made.
std::string WhyNotPossible(RunState& run, const Replacement& r, std::string_view arriving = "the backup") {
    if (r.current && run.ownFolders.Hold(run.fs(), *r.current)) {
        return "the file in use leads into the program's own folders" + kUnchanged;
    }
    if (std::string unfit = BackupUnfit(run, r); !unfit.empty()) return unfit;
    if (BackupUninstallAliasesATable(run, r)) return "Backup Uninstall leads to the backup or the table in use";
    // R1, R3, R6: Backup Uninstall takes the copies (or the program folder takes that folder).
    const std::string folder = BackupUninstallFolder(run);
    if (FolderExists(run.fs(), folder)) {
        const FsStatus status = run.OwnFolderFs(OwnFolder::BackupUninstall).CanCreateFileIn(folder);
        if (status != FsStatus::Ok) return "Backup Uninstall cannot take a new file: " + ErrorDescription(status) + kUnchanged;
    } else if (const FsStatus status = run.resolvedFs.CanCreateFileIn(run.programFolder()); status != FsStatus::Ok) {
        return "Backup Uninstall cannot be made: " + ErrorDescription(status) + kUnchanged;
    }
    // R7: the backup leaves its folder and its target's folder takes it. A target folder that is
    // not there holds no table in use; the move then fails as it always did, and nothing is lost.
    const std::string backupFolder = GetFolderPart(run.fs(), r.backup);
    if (const FsStatus status = run.OwnFolderFs(OwnFolder::Backup).CanCreateFileIn(backupFolder); status != FsStatus::Ok) {
        return "the backup cannot leave the backup folder: " + ErrorDescription(status) + kUnchanged;
    }
    const std::string targetFolder = GetFolderPart(run.fs(), r.renameTarget);
    const FsStatus target = run.fs().CanCreateFileIn(targetFolder);
    if (target != FsStatus::Ok && target != FsStatus::PathNotFound) {
        return RelativeDisplay(run, AddBackslash(targetFolder)) + " cannot take " + std::string(arriving) + ": " +
               ErrorDescription(target) + kUnchanged;
    }
    return "";
}

// R1.
void MakeBackupUninstall(RunState& run) {
    const std::string folder = BackupUninstallFolder(run);
    if (!FolderExists(run.fs(), folder)) {
        ThrowIfFailed(run.OwnFolderFs(OwnFolder::BackupUninstall).CreateFolder(folder));
        run.DoEvents();
    }
}

// R2 and R3: the table in use copied into Backup Uninstall. Why the sequence must stop, or "".
std::string CopyAside(RunState& run, Ledger& ledger, const std::string& current) {
    const std::string fileName = PlaceInBackupUninstall(run, ledger, GetFileName(current));
    if (fileName.empty()) return "Backup Uninstall has no free name left, so nothing was changed";
    const std::string displaced = BackupUninstallFolder(run) + "\\" + fileName;
    const std::string displacedDisplay = "Backup Uninstall\\\\" + EscapeRtfText(fileName);
    const FileResult copied = LoggedCopy(run.OwnFolderFs(OwnFolder::BackupUninstall), current, displaced);
    const std::string from = RelativeDisplay(run, current);
    if (copied.Succeeded()) {
        ledger.insert(LowerCase(displaced));
        Log2da(run, Line2da().FromTo(Colour::Success, "FileCopy", from, displacedDisplay).End());
        return "";
    }
    Log2da(run, Line2da()
                    .FromTo(Colour::Failure, "Failure FileCopy", from, displacedDisplay)
                    .Add(" - ")
                    .Then(Colour::Detail, ErrorText(copied))
                    .End());
    return "the current file could not be copied aside and was left in place";
}

// R5 and R6: the safety copy of the backup in Backup Uninstall. Why the backup must stay in the
// backup folder, or "".
std::string KeepSafetyCopy(RunState& run, Ledger& ledger, const Replacement& r) {
    const std::string safetyName = PlaceInBackupUninstall(run, ledger, "original install backup." + r.name);
    if (safetyName.empty()) {
        return "Backup Uninstall has no free name left for a safety copy, so the backup stays in the backup folder";
    }
    const std::string safety = BackupUninstallFolder(run) + "\\" + safetyName;
    const std::string safetyDisplay = "Backup Uninstall\\\\" + EscapeRtfText(safetyName);
    const FileResult copied = LoggedCopy(run.OwnFolderFs(OwnFolder::BackupUninstall), r.backup, safety);
    const std::string from = RelativeDisplay(run, r.backup);
    if (copied.Succeeded()) {
        ledger.insert(LowerCase(safety));
        Log2da(run, Line2da().FromTo(Colour::Success, "FileCopy", from, safetyDisplay).End());
        return "";
    }
    Log2da(run, Line2da()
                    .FromTo(Colour::Failure, "Failure Copying", from, safetyDisplay)
                    .Add(" - ")
                    .Then(Colour::Detail, ErrorText(copied))
                    .End());
    return "no safety copy could be made, so the backup stays in the backup folder";
}

// R1 to R7. Without a current file only R1, R5, R6 and R7 run. The current file is copied aside
// before it is deleted, and the backup is moved only once its safety copy exists, so that no file
// is ever kept nowhere. Whether every step can be made, whether the move crosses volumes, and
// whether the backup can be read, is known before anything is changed.
void RunReplacement(RunState& run, Ledger& ledger, const Replacement& r) {
    // A target folder that is not there fails the rename as it always did.
    const bool acrossVolumes = !run.fs().SameVolume(r.backup, r.renameTarget) &&
                               FolderExists(run.fs(), GetFolderPart(run.fs(), r.renameTarget));
    if (const std::string reason = WhyNotPossible(run, r); !reason.empty()) {
        LogNotRestored(run, r, reason);
        return;
    }
    MakeBackupUninstall(run);
    if (r.current) {
        if (const std::string reason = CopyAside(run, ledger, *r.current); !reason.empty()) {
            LogNotRestored(run, r, reason);
            return;
        }
        // R4
        run.DoEvents();
        KillLogged(run, run.fs(), GetShortPath(run.fs(), *r.current), RelativeDisplay(run, *r.current));
    }
    if (const std::string reason = KeepSafetyCopy(run, ledger, r); !reason.empty()) {
        LogNotRestored(run, r, reason);
        return;
    }
    // R7
    MoveBackup(run, r, acrossVolumes);
}

// The merge's lines of what it took out, in the colour of the phase's neutral outcomes.
void LogMergeReport(RunState& run, const TableReport& report) {
    Log2da(run, Line2da().Then(Colour::Neutral, RtfPlainText(report.summary)).EndPlain());
    for (const std::string& line : report.details) {
        Log2da(run, Line2da().Then(Colour::Neutral, RtfPlainText(line)).EndPlain());
    }
}

// The merged table in the place of the table in use: a new file that replaces it by a rename, so
// that the place never holds half a table. A read-only table is made writable first, as a
// replacement's delete makes it.
bool WriteMerged(RunState& run, const std::string& current, const TableComparison& comparison) {
    FileSystem& fs = run.fs();
    FsStatus status = FsStatus::Ok;
    if (Attributes a; fs.GetAttributes(current, a) == FsStatus::Ok && a.readOnly) {
        status = fs.SetAttributes(current, Attributes{});
    }
    if (status == FsStatus::Ok) status = fs.WriteAll(current, comparison.mergedBytes);
    const std::string shown = RelativeDisplay(run, current);
    if (status != FsStatus::Ok) {
        Log2da(run, Line2da()
                        .Then(Colour::Failure, "Failure Merging ")
                        .Then(Colour::Text, shown)
                        .Add(" - ")
                        .Then(Colour::Detail, ErrorText({status}))
                        .End());
        run.failureCount += 1;
        return false;
    }
    run.tablesRestoredCount += 1;
    Log2da(run, Line2da()
                    .Then(Colour::Success, "Merged ")
                    .Then(Colour::Text, shown)
                    .Then(Colour::Success, ": this mod's changes taken out, later mods' changes kept")
                    .End());
    LogMergeReport(run, comparison.mergeReport);
    return true;
}

// Whether the backup and the table in use still hold what was compared before the question.
bool UnchangedSinceCompared(RunState& run, const Replacement& r, const TableComparison& comparison) {
    std::string backup;
    std::string current;
    return run.fs().ReadAll(r.backup, backup, kTableLimit) == FsStatus::Ok && backup == comparison.backupBytes &&
           run.fs().ReadAll(*r.current, current, kTableLimit) == FsStatus::Ok && current == comparison.currentBytes;
}

// Merge: this mod's changes taken out of the table in use, with the safety of a replacement.
// Every step is proved possible first; the table in use is copied aside (R1 to R3) before the
// merged table takes its place. The backup has then done its job: once its safety copy is in
// Backup Uninstall (R5, R6) it goes from the backup folder, as a replacement moves it away; left
// there, a later run would offer to put it back over the merged table, undoing what later mods
// changed. A table that holds none of this mod's changes is not written at all.
void RunMerge(RunState& run, Ledger& ledger, const Replacement& r, const TableComparison& comparison) {
    const std::string& current = *r.current;
    if (!UnchangedSinceCompared(run, r, comparison)) {
        LogNotMerged(run, current, "the table in use or its backup changed while you were asked, so nothing was changed");
        return;
    }
    if (const std::string reason = WhyNotPossible(run, r, "the merged table"); !reason.empty()) {
        LogNotMerged(run, current, reason);
        return;
    }
    MakeBackupUninstall(run);
    if (comparison.mergeChanges) {
        if (const std::string reason = CopyAside(run, ledger, current); !reason.empty()) {
            LogNotMerged(run, current, reason);
            return;
        }
        if (!WriteMerged(run, current, comparison)) return;
    } else {
        Log2da(run, Line2da()
                        .Then(Colour::Neutral, "Nothing to merge: ")
                        .Then(Colour::Text, RelativeDisplay(run, current))
                        .Then(Colour::Neutral, " holds none of this mod's changes and was left as it is")
                        .End());
    }
    if (const std::string reason = KeepSafetyCopy(run, ledger, r); !reason.empty()) {
        LogNotDone(run, "Backup kept: ", r.backup, reason);
        return;
    }
    KillLogged(run, run.OwnFolderFs(OwnFolder::Backup), r.backup, RelativeDisplay(run, r.backup));
}

std::string ReplaceTitle(std::string_view name) { return "Confirm " + std::string(name) + " replacement"; }

std::string BackupUninstallNote(std::string_view n) {
    return "\\cf10\\ul\\b NOTE:\\b0\\ulnone\\cf1  The \\cf5 " + std::string(n) +
           "\\cf1  in the override will be backed up in a folder named \\cf5 Backup Uninstall\\cf1\\ " +
           "located in the folder this program is being run from.\\par " + kCrLfText;
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

bool MergeOffered(const std::optional<TableComparison>& comparison) {
    return comparison && comparison->merge == MergeOffer::Offered;
}

std::string WithComparison(std::string text, const std::optional<TableComparison>& comparison, std::string_view name) {
    if (comparison) text += ComparisonPromptText(*comparison, name);
    return text;
}

// Answers 0 "&Yes", 1 "&No", and 2 "&Merge" when a merge is offered.
int AskReplaceInOverride(RunState& run, const std::string& name, const std::optional<TableComparison>& comparison) {
    const std::string n = EscapeRtfText(name);
    const std::string text =
        "2da replacement is enabled. Would you like to replace the \\cf5 " + n +
        "\\cf1  in the override with the backup copy generated when you installed this mod?\\par " + kCrLfText +
        "\\par " + kCrLfText + BackupUninstallNote(n) + "\\par " + kCrLfText +
        "\\cf10\\ul\\b NOTE ALSO:\\b0\\ulnone\\cf2  If you have installed \\i any\\i0  mods that have altered the \\cf5 " + n +
        " \\cf2 since you installed this one then replacing it is probably a bad idea and \\b UNLESS\\b0  you "
        "\\b REALLY\\b0\\ know what you are doing then you are advised \\b NOT\\b0  to replace it.";
    PromptSpec spec = YesNoPrompt(ReplaceTitle(name));
    if (MergeOffered(comparison)) {
        spec.buttonCount = 3;
        spec.captions = {"&Yes", "&No", "&Merge", ""};
    }
    return AskPrompt(run, WithComparison(text, comparison, name), spec);
}

int AskRestoreAnyway(RunState& run, const std::string& name) {
    const std::string n = EscapeRtfText(name);
    const std::string text = "2da replacement is enabled.\\par " + kCrLfText + "However, no \\cf5 " + n +
                             "\\cf1  was found in the override.\\par " + kCrLfText + "\\par " + kCrLfText +
                             "Restore the backup \\cf5 " + n + "\\cf1  anyway?";
    return AskPrompt(run, text, YesNoPrompt(ReplaceTitle(name)));
}

// Answers 0 "&Yes", 1 "&No", 2 "&Cancel", and 3 "&Merge" when a merge is offered: the new button
// comes last, so that the others keep their numbers.
int AskFoundFile(RunState& run, const std::string& name, const std::string& found,
                 const std::optional<TableComparison>& comparison) {
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
    if (MergeOffered(comparison)) {
        spec.buttonCount = 4;
        spec.captions[3] = "&Merge";
    }
    return AskPrompt(run, WithComparison(text, comparison, name), spec);
}

int AskInvalidFile(RunState& run, const std::string& name) {
    return AskPrompt(run,
                     "Invalid file - Would you like to abort this \\cf5 " + EscapeRtfText(name) +
                         "\\cf1  replacement operation?",
                     YesNoPrompt("Hmm"));
}

// A chosen file is the replace target only when it has the backup's name and is not one of the
// program's own copies (the backup itself, a file in Backup Uninstall that the sequence rewrites,
// or anything in a program folder unpacked into override).
bool IsValidLocatedFile(RunState& run, const std::string& chosen, const std::string& name) {
    if (chosen.empty() || LowerCase(GetFileName(chosen)) != LowerCase(name)) return false;
    return !run.ownFolders.Hold(run.fs(), chosen);
}

void LocateAndReplace(RunState& run, Ledger& ledger, Replacement r) {
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
        if (IsValidLocatedFile(run, chosen, r.name)) {
            if (RefusedOutside(run, chosen)) return;
            r.current = chosen;
            r.renameTarget = chosen;
            RunReplacement(run, ledger, r);
            return;
        }
        const int answer = AskInvalidFile(run, r.name);
        if (answer == 1) continue;
        if (answer == 0) {
            Log2da(run, Line2da()
                            .Then(Colour::Decision, "User aborted 2da replacement for ")
                            .Then(Colour::Text, EscapeRtfText(r.name))
                            .End());
        }
        return;
    }
}

// No current file anywhere: the backup can still be put into override.
void OfferRestoreAnyway(RunState& run, Ledger& ledger, Replacement r, const std::string& overrideTarget) {
    const int answer = AskRestoreAnyway(run, r.name);
    if (answer == 0) {
        r.renameTarget = overrideTarget;
        RunReplacement(run, ledger, r);
    } else if (answer == 1) {
        Log2da(run, Line2da()
                        .Then(Colour::Neutral, "No 2das found in override. ")
                        .Then(Colour::Text, EscapeRtfText(r.name))
                        .Then(Colour::Neutral, " not restored.")
                        .End());
    }
}

void RestoreOne(RunState& run, Ledger& ledger, const std::string& backup) {
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
            if (answer == 0) RunReplacement(run, ledger, r);
            else RunMerge(run, ledger, r, *comparison);
        } else if (answer == 1) {
            Log2da(run, Line2da()
                            .Then(Colour::Decision, "User declined ")
                            .Then(Colour::Text, EscapeRtfText(r.name))
                            .Then(Colour::Decision, " replacement.")
                            .End());
        }
        return;
    }
    if (run.game == Game::K1) {
        OfferRestoreAnyway(run, ledger, r, overrideTarget);
        return;
    }
    if (run.game != Game::K2) return;

    FindInOverride(run, r.name);
    const std::string found = run.search.result;
    if (!FileExists(run.fs(), found)) {
        OfferRestoreAnyway(run, ledger, r, overrideTarget);
        return;
    }
    if (RefusedOutside(run, found)) return;
    const std::optional<TableComparison> comparison = CompareForPrompt(run, r, found);
    const int answer = AskFoundFile(run, r.name, found, comparison);
    if (answer == 0 || (answer == 3 && MergeOffered(comparison))) {
        r.current = found;
        r.renameTarget = found;
        if (answer == 0) RunReplacement(run, ledger, r);
        else RunMerge(run, ledger, r, *comparison);
    } else if (answer == 1) {
        LocateAndReplace(run, ledger, r);
    } else if (answer == 2) {
        Log2da(run, Line2da().Add(EscapeRtfText(r.name)).Then(Colour::Neutral, " replacement aborted.").End());
    }
}

}  // namespace

void Restore2daBackups(RunState& run) {
    UninstallDescription& d = run.description;
    if (!d.Restore2da) return;
    if (!d.Backup2daAvailable) {
        AppendLine(run.removalLog, LogLine::BoldOf(kPhase)
                                       .Then(Colour::Failure, "Prompt Failure ")
                                       .Then(Colour::Heading, "(No 2da backups found to restore.)")
                                       .EndBold());
        return;
    }
    if (!d.Missing2daReport.empty()) {
        AppendLine(run.removalLog, d.Missing2daReport + "\\par");
        d.Missing2daReport.clear();
    }
    Ledger ledger;
    for (const std::string& backup : d.Backup2daFiles) {
        RestoreOne(run, ledger, backup);
    }
}

}  // namespace zelvane
