#pragma once
// The program's own folders during a removal run, and the layer that keeps the run's changes out
// of them. They are `uninstall`, `backup` and `Backup Uninstall` in the program folder, and the
// whole program folder when it lies inside the game's override folder (a mod unpacked there holds
// the backups themselves). The game phases change nothing in them, whatever a description lists
// and wherever a search or a player's choice leads: every change of the run passes an
// OwnFoldersGuard, which refuses one that lands in them (links followed at that moment) with
// FsStatus::ProgramOwnFile. The run's own work there goes through a guard that opens one folder:
// the log saved in `uninstall`, the backups moved out of `backup`, the copies kept in
// `Backup Uninstall`.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/seams/forwarding_file_system.hpp"

namespace zelvane {

enum class OwnFolder { Uninstall, Backup, BackupUninstall };

class OwnFolders {
public:
    explicit OwnFolders(std::string programFolder) : programFolder_(std::move(programFolder)) {}

    // From now on the folders are kept out; the whole program folder too when it lies inside the
    // game folder's override (as it resolves now). Before, nothing is.
    void Protect(const FileSystem& fs, std::string_view gameFolder);

    // The protected folders, as Windows paths; empty before Protect.
    const std::vector<std::string>& Folders() const { return folders_; }
    std::string PathOf(OwnFolder folder) const;

    // Whether a change at path lands in one of the folders (and not in `open`): the folders on
    // the way are followed where their links lead, and a link as last component is taken both for
    // itself and for where it leads (some file systems delete what a link leads to, others the
    // link). A path that resolves nowhere is left to the change itself.
    bool Hold(const FileSystem& fs, std::string_view path, std::optional<OwnFolder> open = std::nullopt) const;

private:
    std::string programFolder_;
    std::vector<std::string> folders_;
};

// Forwards every call; a change that lands in the program's own folders (other than the one it
// opens) answers ProgramOwnFile, and nothing is changed. So does CanCreateFileIn for such a folder.
class OwnFoldersGuard final : public ForwardingFileSystem {
public:
    OwnFoldersGuard(FileSystem& inner, const OwnFolders& folders, std::optional<OwnFolder> open = std::nullopt)
        : ForwardingFileSystem(inner), folders_(folders), open_(open) {}

    FsStatus SetAttributes(std::string_view path, const Attributes& attributes) override;
    FsStatus WriteAll(std::string_view path, std::string_view bytes) override;
    FsStatus Delete(std::string_view path) override;
    FsStatus Rename(std::string_view from, std::string_view to) override;
    FsStatus Copy(std::string_view from, std::string_view to) override;
    FsStatus CreateFolder(std::string_view path) override;
    FsStatus CanCreateFileIn(std::string_view folder) const override;

private:
    bool Held(std::string_view path) const { return folders_.Hold(inner(), path, open_); }

    const OwnFolders& folders_;
    std::optional<OwnFolder> open_;
};

}  // namespace zelvane
