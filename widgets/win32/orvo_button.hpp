#pragma once
// The gradient push button: window class "Orvo_Button", its window text is the caption. A click
// (left button released over it, Space released, or BM_CLICK) reaches the parent as WM_COMMAND
// with BN_CLICKED and the button's control id. Every key but Space, and every system key, is sent on
// to the parent as it came, so that the form's own key handling sees it.

#include <windows.h>

#include "widgets/button_properties.hpp"

namespace zelvane::win32 {

inline constexpr const char* kOrvoButtonClass = "Orvo_Button";
inline constexpr UINT_PTR kHoverTimerId = 237;
inline constexpr UINT kHoverTimerPeriod = 20;

bool RegisterOrvoButtonClass(HINSTANCE instance);

// A visible button at the given pixel rectangle (client coordinates of the parent), with its
// saved properties.
HWND CreateOrvoButton(HWND parent, int id, const RECT& bounds, const OrvoButtonProperties& properties);

// The button's properties; nullptr for a window that is no Orvo_Button.
const OrvoButtonProperties* GetOrvoButtonProperties(HWND button);
void SetOrvoButtonProperties(HWND button, const OrvoButtonProperties& properties);
// The 32 x 32 icon drawn beside the caption (copied; the caller keeps its own).
void SetOrvoButtonPicture(HWND button, HICON icon);
// Enables or disables the window and redraws it.
void SetOrvoButtonEnabled(HWND button, bool enabled);

}  // namespace zelvane::win32
