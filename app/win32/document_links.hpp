#pragma once
// Clicks on links in the information display: the display tells its parent, the main window, which
// opens the link with the program the system has for it.

#include <windows.h>

#include <string>

namespace zelvane::win32 {

// The text of the link that the notification reports clicked (the left button released on it);
// "" for any other notification and for one that does not come from display.
std::string ClickedLink(const NMHDR& notification, HWND display);

// Opens the link with its program, in the program folder; a failure is not reported.
void OpenLink(HWND owner, const std::string& link, const std::string& programFolder);

}  // namespace zelvane::win32
