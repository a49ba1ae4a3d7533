#include "widgets/win32/message_pump.hpp"

#include <windows.h>

#include <new>
#include <string>

#include "util/common.hpp"

namespace zelvane::win32 {

void DoEvents() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Leave the quit for the main loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void ReportError(const ProgramError& error, std::string_view location) {
    const std::string text = ErrorMessageText(error, location);
    HWND owner = GetActiveWindow();
    if (owner != nullptr && !IsWindowVisible(owner)) owner = nullptr;
    MessageBoxA(owner, text.c_str(), "Oops!", MB_OK | MB_ICONEXCLAMATION);
}

ProgramError FailureOf(const std::exception& failure) {
    if (const auto* own = dynamic_cast<const ProgramError*>(&failure)) return *own;
    if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) return ProgramError(7, "Out of memory");
    return ProgramError(51, "Internal error");
}

void ReportFailure(const std::exception& failure, std::string_view location) {
    ReportError(FailureOf(failure), location);
}

}  // namespace zelvane::win32
