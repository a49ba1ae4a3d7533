#include "widgets/win32/message_pump.hpp"

#include <windows.h>

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

void ReportFailure(const std::exception& failure, std::string_view location) {
    ReportError(FailureOf(failure), location);
}

}  // namespace zelvane::win32
