#include "removal/completion.hpp"

#include "removal/log_line.hpp"
#include "removal/prompt_helper.hpp"
#include "removal/removal_log.hpp"
#include "util/common.hpp"
#include "util/shell_execute.hpp"

namespace zelvane {
namespace {

void ShowExplicitInstructions(RunState& run) {
    UninstallDescription& d = run.description;
    if (!d.HasExplicitInstructions) return;
    if (d.ExplicitFormatWidth <= 0) d.ExplicitFormatWidth = d.DefaultFormatWidth;
    PromptSpec spec;
    spec.title = d.ExplicitTitle;
    spec.iconType = d.ExplicitIcon;
    spec.buttonCount = 1;
    spec.captions = {"&Ok", "", "", ""};
    spec.focusIndex = 0;
    spec.playSound = d.ExplicitBeep;
    spec.formatWidth = d.ExplicitFormatWidth;
    AskWithOwnText(run, d.ExplicitInstructions, spec);
}

void AppendClosing(RunState& run) {
    std::string& log = run.removalLog;
    if (log.find("Prompt Failure") != std::string::npos) {
        AppendBlankLines(log, 2);
        AppendLine(log, LogLine()
                            .Switch(Colour::Failure)
                            .Add("\\b\\fs32 FYI:\\fs28  \\b0  \\ul Prompt Failure\\ulnone  means you were going to be "
                                 "prompted to make a decision but you weren't for the reason specified.")
                            .Switch(Colour::Text)
                            .Add("\\fs24")
                            .End());
    }
    AppendBlankLines(log, 2);
    const auto total = [&log](int count, std::string_view what) {
        AppendLine(log, LogLine::BoldIn(Colour::Heading).Add(std::to_string(count)).Add(what).Add("\\b0").End());
    };
    total(run.counts.failures, " errors.");
    total(run.counts.notFound, " files not found.");
    AppendBlankLines(log, 3);
    log += "}";
}

// Whether something that is not a file holds the name: a folder, a pipe, a socket, a link that
// leads nowhere. The log neither waits on it nor takes it away. (A file another program holds
// open is a file: replacing it fails as it always has.)
bool HeldByNoFile(const FileSystem& fs, const std::string& path) {
    const auto listing = fs.List(path);  // lists a link itself, also one that leads nowhere
    if (!listing || !listing->Next()) return false;
    const FsStatus opened = fs.OpenForRead(path);
    return opened != FsStatus::Ok && opened != FsStatus::SharingViolation;
}

// Where the log's own name (or its temporary name) is held by something that is not a file, the
// log goes beside it, under the first of "removal_results-2.rtf" ... "removal_results-99.rtf"
// that is free or a file; the saved path tells the player where.
std::string SaveUnderAnotherName(RunState& run, FileSystem& fs, const std::string& folder) {
    for (int number = 2; number < 100; ++number) {
        const std::string path = folder + "\\removal_results-" + std::to_string(number) + ".rtf";
        if (HeldByNoFile(fs, path)) continue;
        if (FileExists(fs, path)) ThrowIfFailed(fs.SetAttributes(path, Attributes{}));
        if (const FsStatus written = fs.WriteAll(path, run.removalLog); written != FsStatus::Ok) {
            fs.Delete(path);
            ThrowIfFailed(written);
        }
        run.DoEvents();
        return path;
    }
    ThrowIfFailed(FsStatus::AlreadyExists);
    return {};
}

// An earlier result is replaced, never appended to, also when it is read-only. The new log is
// written under a temporary name first, and the earlier one is deleted only once that has worked:
// a save that fails (disk full, read-only medium) keeps the earlier log.
std::string SaveLog(RunState& run) {
    FileSystem& fs = run.OwnFolderFs(OwnFolder::Uninstall);
    const std::string folder = AddBackslash(run.programFolder()) + "uninstall";
    if (!FolderExists(fs, folder)) {
        ThrowIfFailed(fs.CreateFolder(folder));
        run.DoEvents();
    }
    const std::string path = AddBackslash(run.programFolder()) + "uninstall\\removal_results.rtf";
    const std::string temporary = AddBackslash(run.programFolder()) + "uninstall\\removal_results.rtf.saving";
    if (HeldByNoFile(fs, path) || HeldByNoFile(fs, temporary)) return SaveUnderAnotherName(run, fs, folder);
    if (FileExists(fs, temporary)) fs.SetAttributes(temporary, Attributes{});  // left by a save that was cut short
    if (const FsStatus written = fs.WriteAll(temporary, run.removalLog); written != FsStatus::Ok) {
        fs.Delete(temporary);
        ThrowIfFailed(written);
    }
    if (FileExists(fs, path)) {
        FsStatus status = fs.SetAttributes(path, Attributes{});
        if (status == FsStatus::Ok) status = fs.Delete(path);
        if (status != FsStatus::Ok) {
            fs.Delete(temporary);
            ThrowIfFailed(status);
        }
        run.DoEvents();
    }
    if (const FsStatus renamed = fs.Rename(temporary, path); renamed != FsStatus::Ok) {
        // Where something still holds the log's name (the earlier log, a link), the new log goes;
        // where the earlier log is gone already, the new one stays under the temporary name
        // rather than be lost as well.
        const auto listing = fs.List(path);  // lists a link itself, also one that leads nowhere
        if (listing && listing->Next()) fs.Delete(temporary);
        ThrowIfFailed(renamed);
    }
    run.DoEvents();
    return path;
}

}  // namespace

std::string CompleteRun(RunState& run) {
    run.DoEvents();
    ShowExplicitInstructions(run);
    AppendClosing(run);
    std::string path = SaveLog(run);
    int showCommand = 1;
    ShellExecuteFile(run.ui(), path, "", "", showCommand, false);
    run.DoEvents();
    return path;
}

}  // namespace zelvane
