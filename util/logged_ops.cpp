#include "util/logged_ops.hpp"

#include "util/common.hpp"
#include "util/display_paths.hpp"
#include "util/program_error.hpp"

namespace zelvane {

namespace {

std::string ErrorText(FsStatus status) {
    ProgramError error = FileSystemError(status);
    return "Error: " + std::to_string(error.Number()) + "  " + error.Description();
}

bool HasWildcards(std::string_view path) { return path.find_first_of("*?") != std::string_view::npos; }

}  // namespace

FileOpResult KillFileString(FileSystem& fs, std::string_view filePath, std::string_view displayName) {
    // A path with wildcards fails before anything is touched: no pattern deletion ever happens.
    FsStatus status = HasWildcards(filePath) ? FsStatus::BadName : fs.SetAttributes(filePath, Attributes{});
    if (status == FsStatus::Ok) status = fs.Delete(filePath);
    if (status == FsStatus::Ok) return {0, "\\cf3 Delete Successful - \\cf1 " + ProperCasePath(displayName)};
    if (status == FsStatus::OutsideRoots) {
        return {1, "\\cf10 Refused (outside the game and program folders): \\cf1 " + ProperCasePath(displayName)};
    }
    if (status == FsStatus::ProgramOwnFile) {
        return {1, "\\cf10 Refused (one of this program's own files): \\cf1 " + ProperCasePath(displayName)};
    }
    ProgramError error = FileSystemError(status);
    return {1, "\\cf10 Delete Failure - \\cf1 " + ProperCasePath(displayName) + "\\cf7  - Error: " +
                   std::to_string(error.Number()) + "  " + error.Description()};
}

FileOpResult RenameFileString(FileSystem& fs, std::string_view sourcePath, std::string_view targetPath) {
    FsStatus status = HasWildcards(sourcePath) || HasWildcards(targetPath) ? FsStatus::BadName
                                                                          : fs.SetAttributes(sourcePath, Attributes{});
    if (status == FsStatus::Ok) status = fs.Rename(sourcePath, targetPath);
    if (status == FsStatus::Ok) return {0, "Rename Successful"};
    return {1, ErrorText(status)};
}

FileOpResult FileCopyString(FileSystem& fs, std::string_view sourcePath, std::string_view targetPath) {
    FsStatus status = HasWildcards(sourcePath) || HasWildcards(targetPath) ? FsStatus::BadName
                                                                          : fs.Copy(sourcePath, targetPath);
    if (status == FsStatus::Ok) return {0, "FileCopy Successful"};
    return {1, ErrorText(status)};
}

bool Repeat2daCheck(const FileSystem& fs, std::string_view programFolder) {
    const std::string backupFolder = AddBackslash(programFolder) + "backup";
    if (!FolderExists(fs, backupFolder)) return false;
    auto listing = fs.List(backupFolder + "\\*.2da");
    if (!listing) return false;
    while (auto entry = listing->Next()) {
        const Attributes& a = entry->attributes;
        if (a.directory || a.hidden || a.system) continue;
        if (entry->name == "." || entry->name == "..") continue;
        return true;
    }
    return false;
}

}  // namespace zelvane
