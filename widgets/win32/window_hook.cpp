#include "widgets/win32/window_hook.hpp"

#include <cctype>

namespace zelvane::win32 {
namespace {

WNDPROC KeptProcedure(HWND window) { return reinterpret_cast<WNDPROC>(GetPropA(window, kOldWndProcProperty)); }

bool IsMouseMessage(UINT message) { return message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK; }

}  // namespace

bool HookWindow(HWND window, WNDPROC procedure) {
    if (window == nullptr || !IsWindow(window)) return false;
    if (KeptProcedure(window) != nullptr) return true;
    const auto previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
    if (previous == nullptr) return false;
    if (!SetPropA(window, kOldWndProcProperty, reinterpret_cast<HANDLE>(previous))) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        return false;
    }
    return true;
}

bool UnhookWindow(HWND window) {
    const WNDPROC previous = KeptProcedure(window);
    if (previous == nullptr) return false;
    SetLastError(0);
    if (SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous)) == 0 && GetLastError() != 0) {
        return false;
    }
    RemovePropA(window, kOldWndProcProperty);
    return true;
}

bool IsRichEditClass(HWND window) {
    char name[256] = {};
    const int length = GetClassNameA(window, name, sizeof name);
    if (length < 8) return false;
    static const char kPrefix[] = "richedit";
    for (int i = 0; i < 8; ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != kPrefix[i]) return false;
    }
    return true;
}

LRESULT CALLBACK InertRichEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC previous = KeptProcedure(window);
    switch (message) {
        case WM_SETCURSOR:
        case WM_SETFOCUS:
            if (IsRichEditClass(window)) return 0;
            break;
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (wParam != VK_SPACE) {
                SendMessageA(GetParent(window), message, wParam, lParam);
                return 0;
            }
            break;
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP: SendMessageA(GetParent(window), message, wParam, lParam); return 0;
        case WM_NCDESTROY: {
            // A window destroyed while still hooked: put the procedure back and drop the property.
            UnhookWindow(window);
            return previous != nullptr ? CallWindowProcA(previous, window, message, wParam, lParam)
                                       : DefWindowProcA(window, message, wParam, lParam);
        }
        default:
            if (IsMouseMessage(message) && IsRichEditClass(window)) return 0;
            break;
    }
    if (previous == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

}  // namespace zelvane::win32
