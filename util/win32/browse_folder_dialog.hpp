#pragma once
// The shell's folder-browse dialog.

#include <windows.h>

#include <string>
#include <string_view>

namespace zelvane::win32 {

// Pre-selects startFolder when not empty; the chosen folder, or "" when cancelled.
std::string ShowBrowseFolderDialog(HWND owner, std::string_view startFolder, std::string_view title);

// Titles of 2 to 80 characters are padded with spaces to 80.
std::string PaddedBrowseTitle(std::string_view title);

}  // namespace zelvane::win32
