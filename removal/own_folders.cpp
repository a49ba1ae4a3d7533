#include "removal/own_folders.hpp"

#include "platform/paths/windows_path.hpp"
#include "util/common.hpp"

namespace zelvane {
namespace {

// Where a change at path lands: its folder where the links on the way lead, and the name itself;
// or, following a link as last component too, where that leads.
std::string Landing(const FileSystem& fs, std::string_view path, bool followLast) {
    if (followLast) return fs.ResolvedPath(path);
    std::string_view trimmed = path;
    while (!trimmed.empty() && (trimmed.back() == '\\' || trimmed.back() == '/')) trimmed.remove_suffix(1);
    const std::size_t cut = trimmed.find_last_of("\\/");
    if (cut == std::string_view::npos) return fs.ResolvedPath(path);
    const bool driveRoot = cut == 2 && trimmed[1] == ':';  // "C:\x": the folder is "C:\", not "C:"
    const std::string folder = fs.ResolvedPath(trimmed.substr(0, driveRoot ? cut + 1 : cut));
    if (folder.empty()) return {};
    return AddBackslash(folder) + std::string(trimmed.substr(cut + 1));
}

}  // namespace

void OwnFolders::Protect(const FileSystem& fs, std::string_view gameFolder) {
    const std::string program = AddBackslash(programFolder_);
    folders_ = {program + "uninstall", program + "backup", program + "Backup Uninstall"};
    const std::string overrideFolder = AddBackslash(gameFolder) + "override";
    if (IsPathBelow(fs.ResolvedPath(programFolder_), fs.ResolvedPath(overrideFolder))) {
        folders_.push_back(programFolder_);
    }
}

std::string OwnFolders::PathOf(OwnFolder folder) const {
    const std::string program = AddBackslash(programFolder_);
    switch (folder) {
        case OwnFolder::Uninstall: return program + "uninstall";
        case OwnFolder::Backup: return program + "backup";
        case OwnFolder::BackupUninstall: return program + "Backup Uninstall";
    }
    return program;
}

bool OwnFolders::Hold(const FileSystem& fs, std::string_view path, std::optional<OwnFolder> open) const {
    if (folders_.empty()) return false;
    const auto held = [&](const std::string& landing) {
        if (landing.empty()) return false;
        if (open && IsPathAtOrBelow(landing, fs.ResolvedPath(PathOf(*open)))) return false;
        for (const std::string& folder : folders_) {
            if (IsPathAtOrBelow(landing, fs.ResolvedPath(folder))) return true;
        }
        return false;
    };
    const std::string itself = Landing(fs, path, false);
    const std::string through = Landing(fs, path, true);
    return held(itself) || (through != itself && held(through));
}

FsStatus OwnFoldersGuard::SetAttributes(std::string_view path, const Attributes& attributes) {
    if (Held(path)) return FsStatus::ProgramOwnFile;
    return inner().SetAttributes(path, attributes);
}

FsStatus OwnFoldersGuard::WriteAll(std::string_view path, std::string_view bytes) {
    if (Held(path)) return FsStatus::ProgramOwnFile;
    return inner().WriteAll(path, bytes);
}

FsStatus OwnFoldersGuard::Delete(std::string_view path) {
    if (Held(path)) return FsStatus::ProgramOwnFile;
    return inner().Delete(path);
}

FsStatus OwnFoldersGuard::Rename(std::string_view from, std::string_view to) {
    if (Held(from) || Held(to)) return FsStatus::ProgramOwnFile;
    return inner().Rename(from, to);
}

FsStatus OwnFoldersGuard::Copy(std::string_view from, std::string_view to) {
    if (Held(to)) return FsStatus::ProgramOwnFile;
    return inner().Copy(from, to);
}

FsStatus OwnFoldersGuard::CreateFolder(std::string_view path) {
    if (Held(path)) return FsStatus::ProgramOwnFile;
    return inner().CreateFolder(path);
}

FsStatus OwnFoldersGuard::CanCreateFileIn(std::string_view folder) const {
    if (Held(AddBackslash(folder) + "x")) return FsStatus::ProgramOwnFile;
    return inner().CanCreateFileIn(folder);
}

}  // namespace zelvane
