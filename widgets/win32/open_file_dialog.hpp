#pragma once
// The system's open-file dialog, centred on the screen by its hook.

#include <windows.h>
#include <commdlg.h>

#include <cstddef>
#include <string>

#include "platform/seams/user_interface.hpp"

namespace zelvane::win32 {

// The ANSI OPENFILENAME without the Windows 2000 fields (pvReserved, dwReserved, FlagsEx): the
// size every version of the dialog accepts, 76 bytes in the 32-bit program.
inline constexpr DWORD kOpenFileNameSize = static_cast<DWORD>(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR));

// The full path of the chosen file, or "" when cancelled.
std::string ShowOpenFileDialog(HWND owner, const OpenFileRequest& request);

// Centres the dialog on WM_INITDIALOG and again at its final size (CDN_INITDONE), and follows the selection on CDN_SELCHANGE.
UINT_PTR CALLBACK OpenDialogHookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The path under the selection while the dialog is open.
const std::string& OpenDialogSelection();

}  // namespace zelvane::win32
