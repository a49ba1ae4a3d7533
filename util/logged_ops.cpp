#include "util/logged_ops.hpp"

#include "util/common.hpp"

namespace zelvane {

namespace {

bool HasWildcards(std::string_view path) { return path.find_first_of("*?") != std::string_view::npos; }

}  // namespace

FileResult LoggedDelete(FileSystem& fs, std::string_view filePath) {
    FsStatus status = HasWildcards(filePath) ? FsStatus::BadName : fs.SetAttributes(filePath, Attributes{});
    if (status == FsStatus::Ok) status = fs.Delete(filePath);
    return {status};
}

FileResult LoggedRename(FileSystem& fs, std::string_view sourcePath, std::string_view targetPath) {
    FsStatus status = HasWildcards(sourcePath) || HasWildcards(targetPath) ? FsStatus::BadName
                                                                           : fs.SetAttributes(sourcePath, Attributes{});
    if (status == FsStatus::Ok) status = fs.Rename(sourcePath, targetPath);
    return {status};
}

FileResult LoggedCopy(FileSystem& fs, std::string_view sourcePath, std::string_view targetPath) {
    if (HasWildcards(sourcePath) || HasWildcards(targetPath)) return {FsStatus::BadName};
    return {fs.Copy(sourcePath, targetPath)};
}

bool Repeat2daCheck(const FileSystem& fs, std::string_view programFolder) {
    const std::string backupFolder = AddBackslash(programFolder) + "backup";
    if (!FolderExists(fs, backupFolder)) return false;
    auto listing = fs.List(backupFolder + "\\*.2da");
    if (!listing) return false;
    while (auto entry = listing->Next()) {
        const Attributes& a = entry->attributes;
        if (a.directory || a.hidden || a.system) continue;
        return true;
    }
    return false;
}

}  // namespace zelvane
