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

// The body's natural size, as last reported by a rich edit (pixels).
const RECT& RequestedRect();
// Records the size of an EN_REQUESTRESIZE notification; returns its bottom, 0 for other codes.
LONG GetRequestHeightFromNM(WPARAM wParam, LPARAM lParam);

}  // namespace zelvane::win32
