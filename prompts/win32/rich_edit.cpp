#include "prompts/win32/rich_edit.hpp"

#include <richedit.h>

#include <string>

#include "platform/seams/read_limits.hpp"
#include "platform/win32/win32_file_system.hpp"
#include "util/common.hpp"
#include "util/program_error.hpp"
#include "widgets/win32/handles.hpp"
#include "widgets/win32/message_pump.hpp"
#include "widgets/win32/twips.hpp"
#include "widgets/win32/window_hook.hpp"

namespace zelvane::win32 {
namespace {

struct RichEditLibraries {
    UniqueLibrary riched32;
    UniqueLibrary riched20;
    UniqueLibrary riched;
};

RichEditLibraries& Libraries() {
    static RichEditLibraries libraries;
    return libraries;
}

void LoadLibraries() {
    RichEditLibraries& libs = Libraries();
    if (!libs.riched32) libs.riched32.Reset(LoadLibraryA("RICHED32.DLL"));
    if (!libs.riched20) libs.riched20.Reset(LoadLibraryA("RICHED20.DLL"));
    if (!libs.riched) libs.riched.Reset(LoadLibraryA("RICHED.DLL"));
}

void SetLineWidth(HWND richEdit, int lineWidthTwips) {
    WindowDc dc(richEdit);
    SendMessageA(richEdit, EM_SETTARGETDEVICE, reinterpret_cast<WPARAM>(dc.Get()), lineWidthTwips);
}

// Far wider than any window of the program, so that no paragraph wraps.
// The control's own default format is the system font, bold on some systems; RTF that does not
// begin with \plain takes its weight from it. Every window starts from regular text, as the
// measuring of prompt bodies assumes.
void ResetToRegularWeight(HWND richEdit) {
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    format.dwEffects = 0;
    SendMessageA(richEdit, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageA(richEdit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

int UnlimitedLineWidth() {
    const int screenTwips = GetSystemMetrics(SM_CXSCREEN) * TwipsPerPixelX();
    return TwipsPerPixelX() * screenTwips - 768;
}

HWND CreateWindowOfClass(const char* className, HWND parent, int x, int y, int width, int height, DWORD style,
                         DWORD exStyle) {
    return CreateWindowExA(exStyle, className, nullptr, style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kRichEditControlId)), GetModuleHandleA(nullptr),
                           nullptr);
}

}  // namespace

UniqueWindow CreateRichEdit(HWND parent, int x, int y, int width, int height, std::string_view file,
                            std::string_view text, DWORD style, DWORD exStyle, RichEditFlags flags) {
    LoadLibraries();
    DoEvents();
    if (!Libraries().riched32) {
        MessageBoxA(nullptr, kRichEditLoadFailed, "Error", MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
        return UniqueWindow();
    }
    UniqueWindow created(CreateWindowOfClass("RichEdit20A", parent, x, y, width, height, style, exStyle));
    if (!created) {
        created.Reset(
            CreateWindowOfClass("RICHEDIT", parent, x, y, width, height, kDocumentRichEditStyle, WS_EX_CLIENTEDGE));
    }
    if (!created) {
        MessageBoxA(nullptr, kRichEditCreateFailed, "Error", MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
        return UniqueWindow();
    }
    HWND window = created.Get();
    if (flags.links) EnableLinks(window);

    std::string content;
    Win32FileSystem fs;
    if (!file.empty() && FileExists(fs, file)) {
        SetLineWidth(window, 5300);
        const FsStatus status = fs.ReadAll(file, content, kDocumentLimit);
        if (status != FsStatus::Ok) {
            created.Reset();
            ReportError(FileSystemError(status), "Public Function CreateRichEdit");
            return UniqueWindow();
        }
    } else {
        SetLineWidth(window, UnlimitedLineWidth());
        content.assign(text);
    }
    ResetToRegularWeight(window);
    SetRichText(window, content);

    SendMessageA(window, EM_SETSEL, 1, 1);
    SendMessageA(window, EM_SETSEL, static_cast<WPARAM>(-1), 1);
    SendMessageA(window, EM_SETREADONLY, 1, 0);
    SendMessageA(window, EM_AUTOURLDETECT, 1, 1);

    if (flags.requestSize) {
        SendMessageA(window, EM_SETEVENTMASK, 0, 0);
        SendMessageA(window, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE);
        DoEvents();
        SendMessageA(window, EM_REQUESTRESIZE, 0, 0);
    }
    if (flags.makeInert) HookWindow(window, InertRichEditProc);
    return created;
}

void SetTargetWidth(int widthTwips, HWND richEdit) { SetLineWidth(richEdit, widthTwips - 200); }

COLORREF SetRichEditBackColor(COLORREF color, HWND richEdit) {
    return static_cast<COLORREF>(SendMessageA(richEdit, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(color)));
}

void EnableLinks(HWND richEdit) {
    SendMessageA(richEdit, EM_SETEVENTMASK, 0, ENM_LINK);
    SendMessageA(richEdit, EM_AUTOURLDETECT, 1, 0);
}

void SetRichText(HWND richEdit, std::string_view text) {
    const std::string copy(text);
    SetWindowTextA(richEdit, copy.c_str());
}

void FreeRichEditLibraries() {
    RichEditLibraries& libs = Libraries();
    libs.riched32.Reset();
    libs.riched20.Reset();
    libs.riched.Reset();
}

}  // namespace zelvane::win32
