#pragma once
// The main window's procedure hook: clicks on links in the information display open them.

#include <windows.h>

#include <string>

namespace zelvane::win32 {

// The display whose link notifications are followed, and the folder links open in.
void SetLinkSource(HWND display, std::string programFolder);

void HookMainWindow(HWND window);
void UnhookMainWindow(HWND window);
bool MainWindowHooked();

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zelvane::win32
