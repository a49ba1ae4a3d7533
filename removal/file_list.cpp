#include "removal/file_list.hpp"

#include "description/reader.hpp"
#include "description/table_handover.hpp"
#include "platform/seams/read_limits.hpp"
#include "removal/entry_safety.hpp"
#include "removal/log_line.hpp"
#include "removal/prompt_helper.hpp"
#include "removal/removal_log.hpp"
#include "removal/search_view.hpp"
#include "util/common.hpp"
#include "util/logged_ops.hpp"
#include "util/strings.hpp"

namespace zelvane {
namespace {

void AppendDeletion(RunState& run, std::string_view targetPath, std::string_view displayName) {
    const FileResult deleted = LoggedDelete(run.fs(), targetPath);
    AppendLine(run.removalLog, DeletionText(deleted, displayName).EndPlain());
    run.counts.failures += deleted.Failures();
    if (deleted.Succeeded()) run.counts.deleted += 1;
}

void AppendRefused(RunState& run, std::string_view displayName) {
    AppendLine(run.removalLog, NamedLine(Colour::Failure, "Refused (outside the game folder): ", displayName));
    run.counts.failures += 1;
}

void AppendNotPlainName(RunState& run, std::string_view displayName) {
    AppendLine(run.removalLog, NamedLine(Colour::Failure, "Refused (not a plain file name): ", displayName));
    run.counts.failures += 1;
}

void AppendNotFound(RunState& run, std::string_view entry) {
    AppendLine(run.removalLog, NamedLine(Colour::Failure, "File Not Found: ", LogDisplay(entry)));
    run.counts.notFound += 1;
}

// Not deleted, not missing: the 2da restore that follows asks about the table.
void AppendLeftToTableRestore(RunState& run, std::string_view entry) {
    AppendLine(run.removalLog, NamedLine(Colour::Neutral, "Left to the 2da restore: ", LogDisplay(entry)));
}

void AppendNotDeletedInSubfolder(RunState& run, std::string_view entry) {
    AppendLine(
        run.removalLog,
        LogLine().Then(Colour::Decision, "Not deleted in subfolder per user request: " + LogDisplay(entry)).EndPlain());
}

// The player's answer to the first deletion in a subfolder, which stands for the rest of the list.
struct SubfolderAnswers {
    bool confirmed = false;
    bool declined = false;
};

int AskSubfolderDelete(RunState& run, std::string_view entry, const std::string& found) {
    const std::string crlf(kCrLf);
    const std::string text = "The file \\par " + crlf + "\\cf5 " + EscapeRtfText(DoubleSlash(entry)) + "\\cf1\\par " +
                             crlf + "was found in a subfolder\\par " + crlf + "\\cf5 " +
                             EscapeRtfText(DoubleSlash(GetFolderPart(run.fs(), found))) + "\\cf1\\par " + crlf +
                             "\\par " + crlf + "Would you like to proceed with deletion?\\par " + crlf + "\\par " +
                             crlf + "\\par " + crlf +
                             "\\cf10 Selecting yes will \\ul not\\ulnone  limit searches to this folder\\par " + crlf +
                             "If more than one copy of this file exists in the override\\par " + crlf +
                             "it will delete the \\i first\\i0  occurance it finds.\\cf1 ";
    return AskPrompt(run, text, YesNoPrompt("Confirm Delete in Subfolder"));
}

// An entry that is not at its listed place: K2 keeps override files in subfolders as well.
// Returns false when the file was not found there either.
bool RemoveFromSubfolder(RunState& run, SubfolderAnswers& answers, std::string_view entry, std::string_view fileName) {
    const std::string found = FindInOverride(run, fileName);
    if (!FileExists(run.fs(), found)) return false;
    // Found through a folder link that leads out of the game folder.
    if (!ResolvesInsideGameFolder(run.fs(), run.gameFolder, found)) {
        AppendRefused(run, RelativeDisplay(run, found));
        return true;
    }

    if (!answers.confirmed) {
        const int answer = AskSubfolderDelete(run, entry, found);
        if (answer == 0) {
            answers.confirmed = true;
        } else {
            if (answer == 1) {
                answers.declined = true;
                AppendNotDeletedInSubfolder(run, entry);
            }
            return true;
        }
    } else if (answers.declined) {
        AppendNotDeletedInSubfolder(run, entry);
        return true;
    }
    AppendDeletion(run, GetShortPath(run.fs(), found), RelativeDisplay(run, found));
    return true;
}

// A line of prose after #file_list ("Note: read me first") reads as a stream of a file that is
// not there: it names nothing to delete. A stream of a file or folder that exists, and a device
// name, are refused instead: they are never touched.
bool NamesAStreamOfNothing(RunState& run, std::string_view entry) {
    const std::size_t colon = entry.find(':');
    if (colon == std::string_view::npos) return false;
    const EntryName base = ResolveEntry(entry.substr(0, colon));
    if (base.kind == EntryKind::NoSuchFile) return true;
    if (base.kind != EntryKind::File) return false;
    Attributes attributes;
    const FsStatus status = run.fs().GetAttributes(AddBackslash(run.gameFolder) + base.relative, attributes);
    return status == FsStatus::FileNotFound || status == FsStatus::PathNotFound;
}

void RemoveEntry(RunState& run, SubfolderAnswers& answers, std::string_view entry) {
    // Read by name first, then where its links lead; a refused entry is never touched. The line
    // as written is what the log shows.
    const EntryName name = ResolveEntry(entry);
    switch (name.kind) {
        case EntryKind::Outside: AppendRefused(run, LogDisplay(entry)); return;
        case EntryKind::NotPlainName:
            if (NamesAStreamOfNothing(run, entry)) {
                AppendNotFound(run, entry);
            } else {
                AppendNotPlainName(run, LogDisplay(entry));
            }
            return;
        case EntryKind::NoSuchFile: AppendNotFound(run, entry); return;
        case EntryKind::File: break;
    }
    const std::string path = AddBackslash(run.gameFolder) + name.relative;
    if (!ResolvesInsideGameFolder(run.fs(), run.gameFolder, path)) {
        AppendRefused(run, LogDisplay(entry));
        return;
    }
    const std::string target = GetShortPath(run.fs(), path);
    if (FileExists(run.fs(), target)) {
        AppendDeletion(run, target, LogDisplay(entry));
        return;
    }
    if (run.game == Game::K2 && StartsWithKey(name.relative, "override\\") &&
        RemoveFromSubfolder(run, answers, entry, GetFileName(name.relative))) {
        return;
    }
    AppendNotFound(run, entry);
}

}  // namespace

void RemoveFileList(RunState& run) {
    std::string bytes;
    ThrowIfFailed(run.fs().ReadAll(run.description.DescriptionPath, bytes, kDescriptionLimit));
    run.counts.notFound = 0;
    run.DoEvents();

    const std::vector<std::string> tables = TablesTheRestoreOffers(run.description);
    bool inFileList = false;
    SubfolderAnswers answers;
    for (const std::string& line : SplitInputLines(bytes)) {
        if (StartsWithKey(line, "#file_list")) {
            inFileList = true;
            continue;
        }
        if (!inFileList || !IsFileListEntry(line)) continue;
        if (IsLeftToTableRestore(line, tables)) {
            AppendLeftToTableRestore(run, line);
            continue;
        }
        RemoveEntry(run, answers, line);
    }

    AppendBlankLines(run.removalLog, 3);
    if (run.counts.notFound == 0 && run.counts.failures == 0) {
        AppendLine(run.removalLog, LogLine()
                                       .Switch(Colour::Success)
                                       .Add("\\b\\fs32 All files in file list successfully removed.")
                                       .Switch(Colour::Text)
                                       .Add("\\b0\\fs24")
                                       .End());
        AppendBlankLines(run.removalLog, 3);
    }
}

}  // namespace zelvane
