// zelvane.exe: the mod removal tool's window program.

#include <windows.h>
#include <commctrl.h>

#include "app/win32/main_window.hpp"
#include "prompts/win32/msgbox_ex.hpp"
#include "widgets/win32/orvo_button.hpp"

namespace {

// Form_Initialize: the common controls for visual styles; the older call where the newer is missing.
void InitialiseCommonControls() {
    INITCOMMONCONTROLSEX init{};
    init.dwSize = sizeof init;
    init.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    if (!InitCommonControlsEx(&init)) InitCommonControls();
}

int RunMessageLoop(zelvane::win32::FrmMain& form) {
    MSG message;
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got == -1) return 1;
        if (form.PreTranslateMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    using namespace zelvane::win32;
    InitialiseCommonControls();
    if (!RegisterOrvoButtonClass(instance) || !RegisterMsgBoxExClass(instance) || !RegisterMainWindowClass(instance)) {
        return 1;
    }
    FrmMain form;
    if (!form.Create(instance)) return 1;
    // Another instance, or the information display could not be made: the program ends, and the
    // window with the form.
    if (!form.Form_Load()) return 0;
    form.Show(showCommand == SW_HIDE ? SW_SHOWNORMAL : showCommand);
    return RunMessageLoop(form);
}
