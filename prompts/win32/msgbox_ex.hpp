#pragma once
// frmMsgBoxEx: the rich prompt, a modal dialog with a rich-text body, an icon and captioned buttons.

#include <windows.h>

#include "platform/seams/user_interface.hpp"

namespace zelvane::win32 {

inline constexpr const char* kMsgBoxExClass = "frmMsgBoxEx";
inline constexpr const char* kApplicationTitle = "Zelvane";

bool RegisterMsgBoxExClass(HINSTANCE instance);

// Shows the prompt modally over owner (which may be null) and returns the 0-based index of the
// pressed button, or -1 when the prompt was closed otherwise.
int ShowMsgBoxEx(HWND owner, PromptRequest request);

// Takes the natural size (pixels) of a rich edit's EN_REQUESTRESIZE notification into requested
// and returns its bottom; any other notification returns 0 and leaves requested alone.
LONG GetRequestHeightFromNM(WPARAM wParam, LPARAM lParam, RECT& requested);

}  // namespace zelvane::win32
