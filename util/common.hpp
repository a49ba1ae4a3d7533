#pragma once
// Path and file helpers of the Common module.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/seams/file_system.hpp"
#include "platform/seams/user_interface.hpp"
#include "util/program_error.hpp"

namespace zelvane {

bool FileExists(const FileSystem& fs, std::string_view path);
// Why a file the program reads whole is refused, "" when it is not: "is not a regular file (a
// pipe, a socket or a device)" or "is larger than N MiB" for a limit of N MiB. A pipe would keep
// the program waiting, a device or a huge file reading without end.
std::string ReadRefusal(const FileSystem& fs, std::string_view path, std::size_t limit);
bool FolderExists(const FileSystem& fs, std::string_view path);
std::string StripQuotes(std::string_view text);
std::string AddBackslash(std::string_view text);
std::string GetFileName(std::string_view path);
std::string GetBaseName(std::string_view path);
std::string GetFolderPart(const FileSystem& fs, std::string_view path);
std::string ParentFolder(std::string_view path);
std::string GetLongPath(const FileSystem& fs, std::string_view path);
std::string GetShortPath(const FileSystem& fs, std::string_view path);
// Clears the attributes and deletes the file if it exists; true when no error occurred.
bool KillFile(FileSystem& fs, UserInterface& ui, std::string_view path, bool reportErrors);
std::string AppVersion();  // the project version, "1.0.151"
// The "Oops!" report of an error handler.
void ShowErrorMessage(UserInterface& ui, const ProgramError& error, std::string_view location);
// The "Oops!" report of an unexpected failure caught where it must go no further (FailureOf).
void ReportFailure(UserInterface& ui, const std::exception& failure, std::string_view location);
std::string ErrorMessageText(const ProgramError& error, std::string_view location);

}  // namespace zelvane
