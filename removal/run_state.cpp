#include "removal/run_state.hpp"

#include "removal/removal_log.hpp"
#include "util/program_error.hpp"

namespace zelvane {

RunFiles::RunFiles(FileSystem& fs, const std::string& programFolder)
    : indexedFs(fs, searchIndex),
      resolvedFs(indexedFs),
      ownFolders(programFolder),
      guardedFs(resolvedFs, ownFolders),
      uninstallFs(resolvedFs, ownFolders, OwnFolder::Uninstall),
      backupFs(resolvedFs, ownFolders, OwnFolder::Backup),
      backupUninstallFs(resolvedFs, ownFolders, OwnFolder::BackupUninstall) {}

FileSystem& RunFiles::OwnFolderFs(OwnFolder folder) {
    switch (folder) {
        case OwnFolder::Uninstall: return uninstallFs;
        case OwnFolder::Backup: return backupFs;
        case OwnFolder::BackupUninstall: return backupUninstallFs;
    }
    return guardedFs;
}

RunState::RunState(UninstallDescription& d, RunContext& c)
    : description(d), context(c), game(GameOfNumber(d.Game)), files(c.fs, c.programFolder) {
    folders.programFolder = c.programFolder;
}

std::string RelativeDisplay(const RunState& run, std::string_view path) {
    return LogDisplay(PathRelative(path, "", run.folders));
}

void ThrowIfFailed(FsStatus status) {
    if (status != FsStatus::Ok) throw FileSystemError(status);
}

}  // namespace zelvane
