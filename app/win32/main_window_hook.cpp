#include "app/win32/main_window_hook.hpp"

#include <richedit.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

namespace zelvane::win32 {
namespace {

struct HookState {
    WNDPROC previous = nullptr;
    HWND linkSource = nullptr;
    std::string programFolder;
};

HookState& State() {
    static HookState state;
    return state;
}

// Links longer than this are not followed (no address is that long).
constexpr LONG kMaxLinkLength = 32 * 1024;

std::string LinkText(HWND display, const CHARRANGE& range) {
    const LONG length = range.cpMax - range.cpMin;
    if (length <= 0 || length > kMaxLinkLength) return {};
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    TEXTRANGEA request{};
    request.chrg = range;
    request.lpstrText = buffer.data();
    const LRESULT got = SendMessageA(display, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&request));
    if (got <= 0) return {};
    return std::string(buffer.data(), static_cast<std::size_t>(std::min<LRESULT>(got, length)));
}

void OpenLink(HWND window, const ENLINK& link) {
    const std::string text = LinkText(link.nmhdr.hwndFrom, link.chrg);
    if (text.empty()) return;
    const std::string& folder = State().programFolder;
    // Shown normally: a link to a document must not start its program hidden.
    ShellExecuteA(window, "OPEN", text.c_str(), "", folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
}

}  // namespace

void SetLinkSource(HWND display, std::string programFolder) {
    State().linkSource = display;
    State().programFolder = std::move(programFolder);
}

void HookMainWindow(HWND window) {
    if (State().previous != nullptr) return;
    State().previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindowProc)));
}

void UnhookMainWindow(HWND window) {
    if (State().previous == nullptr) return;
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(State().previous));
    State().previous = nullptr;
}

bool MainWindowHooked() { return State().previous != nullptr; }

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC previous = State().previous;
    if (message == WM_NOTIFY && lParam != 0) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == State().linkSource && State().linkSource != nullptr && header->code == EN_LINK) {
            const auto* link = reinterpret_cast<const ENLINK*>(lParam);
            if (link->msg == WM_LBUTTONUP) OpenLink(window, *link);
        }
    }
    if (previous == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

}  // namespace zelvane::win32
