#pragma once
// The file operations of a removal run whose outcome the log reports line by line. A path with
// wildcards fails as a bad name before anything is touched: no pattern ever deletes, renames or
// copies more than one file.

#include <string_view>

#include "platform/seams/file_system.hpp"
#include "util/file_result.hpp"

namespace zelvane {

// Clears the file's attributes, then deletes it.
FileResult LoggedDelete(FileSystem& fs, std::string_view filePath);
// Clears the source's attributes, then renames it; an existing target is never replaced.
FileResult LoggedRename(FileSystem& fs, std::string_view sourcePath, std::string_view targetPath);
// Copies the source over the target.
FileResult LoggedCopy(FileSystem& fs, std::string_view sourcePath, std::string_view targetPath);
// True when a 2da file is in the backup folder beside the program.
bool Repeat2daCheck(const FileSystem& fs, std::string_view programFolder);

}  // namespace zelvane
