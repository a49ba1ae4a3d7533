#include "removal/run_state.hpp"

#include "removal/removal_log.hpp"
#include "util/program_error.hpp"

namespace zelvane {

RunState::RunState(UninstallDescription& d, RunContext& c)
    : description(d),
      context(c),
      game(GameOfNumber(d.Game)),
      indexedFs(c.fs, searchIndex),
      resolvedFs(indexedFs),
      ownFolders(c.programFolder),
      guardedFs(resolvedFs, ownFolders),
      uninstallFs(resolvedFs, ownFolders, OwnFolder::Uninstall),
      backupFs(resolvedFs, ownFolders, OwnFolder::Backup),
      backupUninstallFs(resolvedFs, ownFolders, OwnFolder::BackupUninstall) {
    folders.programFolder = c.programFolder;
}

FileSystem& RunState::OwnFolderFs(OwnFolder folder) {
    switch (folder) {
        case OwnFolder::Uninstall: return uninstallFs;
        case OwnFolder::Backup: return backupFs;
        case OwnFolder::BackupUninstall: return backupUninstallFs;
    }
    return guardedFs;
}

std::string RelativeDisplay(const RunState& run, std::string_view path) {
    return LogDisplay(PathRelative(path, "", run.folders));
}

void ThrowIfFailed(FsStatus status) {
    if (status != FsStatus::Ok) throw FileSystemError(status);
}

}  // namespace zelvane
