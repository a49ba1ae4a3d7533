#pragma once
// Replacing the procedure of a window of a class that is not ours by a plain procedure, the previous
// one kept in the window property "OldWndProc"; and the key filter that makes a prompt's rich-edit
// body inert and hands its keys to the prompt.

#include <windows.h>

namespace zelvane::win32 {

inline constexpr const char* kOldWndProcProperty = "OldWndProc";

// True when the window is now (or was already) hooked.
bool HookWindow(HWND window, WNDPROC procedure);
// True when a kept procedure was put back.
bool UnhookWindow(HWND window);

// Rich edits: no caret, selection, cursor or mouse input. Every window: keys other than Space,
// and all system keys, go to the parent instead.
LRESULT CALLBACK InertRichEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool IsRichEditClass(HWND window);

}  // namespace zelvane::win32
