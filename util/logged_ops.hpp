#pragma once
// The file operations of a removal run: each reports success or failure as a flag and a text.

#include <string>
#include <string_view>

#include "platform/seams/file_system.hpp"

namespace zelvane {

struct FileOpResult {
    int failedFlag = 0;  // 0 after success, 1 after a failure
    std::string text;
};

// RTF fragment "\cf3 Delete Successful - \cf1 " + name, or the "Delete Failure" fragment, or, when
// the file system refuses the change because the file lies outside the game and program folders
// at that moment, "\cf10 Refused (outside the game and program folders): \cf1 " + name, or, when it
// lies in the program's own folders, "\cf10 Refused (one of this program's own files): \cf1 " + name.
FileOpResult KillFileString(FileSystem& fs, std::string_view filePath, std::string_view displayName);
// "Rename Successful", or "Error: " + number + "  " + description.
FileOpResult RenameFileString(FileSystem& fs, std::string_view sourcePath, std::string_view targetPath);
// "FileCopy Successful", or "Error: " + number + "  " + description.
FileOpResult FileCopyString(FileSystem& fs, std::string_view sourcePath, std::string_view targetPath);
// True when a 2da file is in the backup folder beside the program.
bool Repeat2daCheck(const FileSystem& fs, std::string_view programFolder);

}  // namespace zelvane
