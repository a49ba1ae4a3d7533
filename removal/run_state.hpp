#pragma once
// What the phases of one removal run share: the description, the front end's context, the game and
// its folder, the log and its counts, and the file system every change passes through. What only
// one phase keeps (the file list's subfolder answers, the 2da restore's ledger) lives in that phase.

#include <optional>
#include <string>
#include <string_view>

#include "description/uninstall_description.hpp"
#include "removal/game.hpp"
#include "removal/own_folders.hpp"
#include "removal/removal_run.hpp"
#include "util/display_paths.hpp"
#include "util/resolved_path_cache.hpp"
#include "util/search_index.hpp"

namespace zelvane {

// What the run counts, for the log's totals and the player's summary.
struct RunCounts {
    int failures = 0;
    int notFound = 0;
    int deleted = 0;         // files deleted by the file list and the queued deletes
    int restored = 0;        // .original files given their names back
    int tablesRestored = 0;  // 2da tables put back (or merged)
};

// The file system every step of a run works through, built over the front end's.
struct RunFiles {
    RunFiles(FileSystem& fs, const std::string& programFolder);
    RunFiles(const RunFiles&) = delete;
    RunFiles& operator=(const RunFiles&) = delete;

    // The names of override's tree, walked once per run; every change goes through indexedFs.
    SearchIndex searchIndex;
    IndexKeepingFileSystem indexedFs;
    // Where the game folder and the paths checked against it resolve, each resolved once.
    ResolvedPathCache resolvedFs;
    // The program's own folders, and the guards every change of the run passes: guardedFs keeps
    // the changes out of them all, OwnFolderFs(folder) opens one of them for the run's own work.
    OwnFolders ownFolders;
    OwnFoldersGuard guardedFs;
    OwnFoldersGuard uninstallFs;
    OwnFoldersGuard backupFs;
    OwnFoldersGuard backupUninstallFs;

    FileSystem& OwnFolderFs(OwnFolder folder);
};

struct RunState {
    RunState(UninstallDescription& d, RunContext& c);

    UninstallDescription& description;
    RunContext& context;

    std::string removalLog;
    // The game of the description, or the one the player chose; none when the description names
    // neither and no choice was made (the run then stops before its first change).
    std::optional<Game> game;
    std::string gameFolder;
    RunCounts counts;
    FolderContext folders;  // program and game folder, for the display names of the log
    RunFiles files;

    // Every change of the phases goes through fs(), which keeps it out of the program's own folders.
    FileSystem& fs() { return files.guardedFs; }
    FileSystem& OwnFolderFs(OwnFolder folder) { return files.OwnFolderFs(folder); }
    UserInterface& ui() { return context.ui; }
    const std::string& programFolder() const { return context.programFolder; }
    void DoEvents() { context.ui.DoEvents(); }
    // Control came back from the player (a prompt, a dialog, a folder browser): nothing known
    // about the disk before it is trusted after it. The resolved paths and the seam's caches go;
    // the search index is kept only where the stamps of its folders show nothing changed.
    void PlayerHadControl() { files.resolvedFs.ForgetCachedState(); }
};

// The display form of a path made relative to the known folders (PathRelative with no anchor).
std::string RelativeDisplay(const RunState& run, std::string_view path);

// Throws the run's error for a failed file-system call that nothing else handles.
void ThrowIfFailed(FsStatus status);

}  // namespace zelvane
