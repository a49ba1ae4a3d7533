#pragma once
// The working fields of one removal run, shared by its phases.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "description/uninstall_description.hpp"
#include "removal/game.hpp"
#include "removal/own_folders.hpp"
#include "removal/removal_run.hpp"
#include "util/display_paths.hpp"
#include "util/recurse.hpp"
#include "util/resolved_path_cache.hpp"
#include "util/search_index.hpp"
#include "widgets/common_dialog.hpp"

namespace zelvane {

struct RunState {
    RunState(UninstallDescription& d, RunContext& c);

    UninstallDescription& description;
    RunContext& context;

    std::string removalLog;
    // The game of the description, or the one the player chose; none when the description names
    // neither and no choice was made (the run then stops before its first change).
    std::optional<Game> game;
    std::string gameFolder;
    std::string browsedFolder;
    std::int32_t failureCount = 0;
    std::int32_t notFoundCount = 0;
    // What the run did, for the player's summary: files deleted (the file list and the queued
    // deletes), .original files given their names back, 2da tables put back.
    std::int32_t deletedCount = 0;
    std::int32_t restoredCount = 0;
    std::int32_t tablesRestoredCount = 0;
    std::int32_t lastPromptResult = 0;
    std::string promptText;
    std::int32_t promptWidth = 0;
    bool inFileList = false;
    bool subfolderConfirmed = false;
    bool subfolderDeclined = false;
    SearchState search;
    FolderContext folders;  // program and game folder, for the display names of the log
    OpenDialogState openDialog;
    // The names of override's tree, walked once per run; every change goes through indexedFs.
    SearchIndex searchIndex;
    IndexKeepingFileSystem indexedFs;
    // Where the game folder and the paths checked against it resolve, each resolved once.
    ResolvedPathCache resolvedFs;
    // The program's own folders, and the guards every change of the run passes: fs() keeps the
    // changes out of them all, OwnFolderFs(folder) opens one of them for the run's own work there.
    OwnFolders ownFolders;
    OwnFoldersGuard guardedFs;
    OwnFoldersGuard uninstallFs;
    OwnFoldersGuard backupFs;
    OwnFoldersGuard backupUninstallFs;

    FileSystem& fs() { return guardedFs; }
    FileSystem& OwnFolderFs(OwnFolder folder);
    UserInterface& ui() { return context.ui; }
    const std::string& programFolder() const { return context.programFolder; }
    void DoEvents() { context.ui.DoEvents(); }
    // Control came back from the player (a prompt, a dialog, a folder browser): nothing known
    // about the disk before it is trusted after it. The resolved paths and the seam's caches go;
    // the search index is kept only where the stamps of its folders show nothing changed.
    void PlayerHadControl() { resolvedFs.ForgetCachedState(); }
};

// The display form of a path made relative to the known folders (PathRelative with no anchor).
std::string RelativeDisplay(const RunState& run, std::string_view path);

// Throws the run's error for a failed file-system call that nothing else handles.
void ThrowIfFailed(FsStatus status);

}  // namespace zelvane
