#include "removal/restore_2da_steps.hpp"

#include <cstdint>
#include <vector>

#include "platform/paths/windows_path.hpp"
#include "platform/seams/read_limits.hpp"
#include "removal/removal_log.hpp"
#include "util/common.hpp"
#include "util/logged_ops.hpp"
#include "util/strings.hpp"

namespace zelvane {

LogLine Line2da() { return LogLine::Of(k2daPhase); }

void Log2da(RunState& run, const std::string& line) { AppendLine(run.removalLog, line); }

namespace {

std::string BackupUninstallFolder(const RunState& run) {
    return AddBackslash(run.programFolder()) + "Backup Uninstall";
}

// A change that was not made, and why: a failure of the run.
void LogNotDone(RunState& run, std::string_view what, const std::string& path, std::string_view reason) {
    const std::string why = " (" + std::string(reason) + ")";
    Log2da(run, Line2da().Named(Colour::Failure, what, RelativeDisplay(run, path), why).EndPlain());
    run.counts.failures += 1;
}

void LogNotRestored(RunState& run, const Replacement& r, std::string_view reason) {
    LogNotDone(run, "Backup not restored: ", r.backup, reason);
}

void LogNotMerged(RunState& run, const std::string& current, std::string_view reason) {
    LogNotDone(run, "Table not merged: ", current, reason);
}
void KillLogged(RunState& run, FileSystem& fs, std::string_view path, std::string_view displayName) {
    const FileResult deleted = LoggedDelete(fs, path);
    Log2da(run, Line2da().Add(DeletionText(deleted, displayName).Text()).End());
    run.counts.failures += deleted.Failures();
}

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
    Log2da(run,
           Line2da()
               .Named(Colour::Neutral, "Kept ", display, " (put there earlier in this run); the new copy is named ")
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
    run.counts.failures += moved.Failures();
    if (moved.Succeeded()) run.counts.tablesRestored += 1;
    const std::string from = RelativeDisplay(run, r.backup);
    const std::string to = RelativeDisplay(run, r.renameTarget);
    if (moved.Succeeded() && !acrossVolumes) {
        Log2da(run, Line2da().FromTo(Colour::Success, "Renamed", from, to).End());
    } else if (moved.Succeeded()) {
        Log2da(run,
               Line2da()
                   .FromTo(Colour::Success, "Moved", from, to)
                   .Then(Colour::Success, " (another volume: copied, compared, then deleted from the backup folder)")
                   .End());
    } else {
        const std::string_view verb = acrossVolumes ? "Failure Moving" : "Failure Renaming";
        Log2da(run, Line2da().FromTo(Colour::Failure, verb, from, to).Failed(moved).End());
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
    if (Attributes a; fs.GetAttributes(r.backup, a) == FsStatus::Ok && a.link)
        return "the backup is a link" + kUnchanged;
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
    if (r.current && run.files.ownFolders.Hold(run.fs(), *r.current)) {
        return "the file in use leads into the program's own folders" + kUnchanged;
    }
    if (std::string unfit = BackupUnfit(run, r); !unfit.empty()) return unfit;
    if (BackupUninstallAliasesATable(run, r)) return "Backup Uninstall leads to the backup or the table in use";
    // R1, R3, R6: Backup Uninstall takes the copies (or the program folder takes that folder).
    const std::string folder = BackupUninstallFolder(run);
    if (FolderExists(run.fs(), folder)) {
        const FsStatus status = run.OwnFolderFs(OwnFolder::BackupUninstall).CanCreateFileIn(folder);
        if (status != FsStatus::Ok)
            return "Backup Uninstall cannot take a new file: " + ErrorDescription(status) + kUnchanged;
    } else if (const FsStatus status = run.files.resolvedFs.CanCreateFileIn(run.programFolder());
               status != FsStatus::Ok) {
        return "Backup Uninstall cannot be made: " + ErrorDescription(status) + kUnchanged;
    }
    // R7: the backup leaves its folder and its target's folder takes it. A target folder that is
    // not there holds no table in use; the move then fails as it always did, and nothing is lost.
    const std::string backupFolder = GetFolderPart(run.fs(), r.backup);
    if (const FsStatus status = run.OwnFolderFs(OwnFolder::Backup).CanCreateFileIn(backupFolder);
        status != FsStatus::Ok) {
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
    Log2da(run, Line2da().FromTo(Colour::Failure, "Failure FileCopy", from, displacedDisplay).Failed(copied).End());
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
    Log2da(run, Line2da().FromTo(Colour::Failure, "Failure Copying", from, safetyDisplay).Failed(copied).End());
    return "no safety copy could be made, so the backup stays in the backup folder";
}

}  // namespace

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

namespace {

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
        Log2da(run, Line2da().Named(Colour::Failure, "Failure Merging ", shown).Failed({status}).End());
        run.counts.failures += 1;
        return false;
    }
    run.counts.tablesRestored += 1;
    Log2da(run,
           Line2da()
               .Named(Colour::Success, "Merged ", shown, ": this mod's changes taken out, later mods' changes kept")
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

}  // namespace

// Merge: this mod's changes taken out of the table in use, with the safety of a replacement.
// Every step is proved possible first; the table in use is copied aside (R1 to R3) before the
// merged table takes its place. The backup has then done its job: once its safety copy is in
// Backup Uninstall (R5, R6) it goes from the backup folder, as a replacement moves it away; left
// there, a later run would offer to put it back over the merged table, undoing what later mods
// changed. A table that holds none of this mod's changes is not written at all.
void RunMerge(RunState& run, Ledger& ledger, const Replacement& r, const TableComparison& comparison) {
    const std::string& current = *r.current;
    if (!UnchangedSinceCompared(run, r, comparison)) {
        LogNotMerged(run, current,
                     "the table in use or its backup changed while you were asked, so nothing was changed");
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
                        .Named(Colour::Neutral, "Nothing to merge: ", RelativeDisplay(run, current),
                               " holds none of this mod's changes and was left as it is")
                        .End());
    }
    if (const std::string reason = KeepSafetyCopy(run, ledger, r); !reason.empty()) {
        LogNotDone(run, "Backup kept: ", r.backup, reason);
        return;
    }
    KillLogged(run, run.OwnFolderFs(OwnFolder::Backup), r.backup, RelativeDisplay(run, r.backup));
}

}  // namespace zelvane
