// A small stand-in for zelvane.exe, used only to develop the GUI harness before the real program
// existed: a main window with the real captions, two Orvo_Button buttons, the start-up notices,
// a confirmation prompt laid out with the prompt arithmetic, and the usage guide. Not shipped.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <richedit.h>
#include <shellapi.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>

namespace {

HINSTANCE g_instance;
HWND g_main;
HWND g_remove;
std::string g_folder;
int g_promptResult = -1;

std::string Uninstall(const char* name) { return g_folder + "uninstall\\" + name; }
bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
int Px(double twips) { return static_cast<int>(std::lround(twips / 15.0)); }

LRESULT CALLBACK ButtonProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    switch (m) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(w, &ps);
            RECT r;
            GetClientRect(w, &r);
            TRIVERTEX v[2] = {{0, 0, 0xF400, 0xF400, 0xF200, 0}, {r.right, r.bottom, 0xC800, 0xCB00, 0xC300, 0}};
            GRADIENT_RECT g{0, 1};
            GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
            char text[256];
            GetWindowTextA(w, text, sizeof text);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, IsWindowEnabled(w) ? RGB(0, 0, 0) : RGB(128, 128, 128));
            DrawTextA(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
            EndPaint(w, &ps);
            return 0;
        }
        case WM_SYSKEYDOWN:
            // Alt+N presses "&No" in the prompt, as the real prompt's accelerators do.
            if (wp == 'N' && GetDlgCtrlID(w) >= 100) {
                SendMessageA(GetParent(w), WM_COMMAND, MAKEWPARAM(101, BN_CLICKED), 0);
                return 0;
            }
            break;
        case WM_LBUTTONUP:
        case BM_CLICK:
            SendMessageA(GetParent(w), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w), BN_CLICKED),
                         reinterpret_cast<LPARAM>(w));
            return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

HWND Button(HWND parent, int id, const char* caption, int x, int y, int w, int h) {
    return CreateWindowA("Orvo_Button", caption, WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_instance, nullptr);
}

LRESULT CALLBACK PromptProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_COMMAND && HIWORD(wp) == BN_CLICKED) {
        g_promptResult = LOWORD(wp) - 100;
        DestroyWindow(w);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

// The confirmation prompt, laid out as the real one is: body at (900, 195) twips, buttons below it.
int Confirm() {
    const int formatWidth = 300 * 15;
    HWND prompt =
        CreateWindowExA(WS_EX_TOPMOST, "StandinPrompt", "Confirm Remove Mod", WS_POPUP | WS_CAPTION | WS_SYSMENU, 200,
                        200, 100, 100, g_main, nullptr, g_instance, nullptr);
    HWND body = CreateWindowA("RichEdit20A", "This will remove some mod\r\nDo you wish to continue?",
                              WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY, Px(900), Px(195), Px(formatWidth) + 5,
                              40, prompt, nullptr, g_instance, nullptr);
    RECT br;
    GetWindowRect(body, &br);
    const int bodyW = br.right - br.left, bodyH = br.bottom - br.top;
    const int right = 900 + bodyW * 15;
    int dialogW = right + 300;
    const int top0 = 195 + bodyH * 15 + 120;
    const int dialogH = top0 + 415 + 500;
    const int rowTotal = 2 * (1000 + 240) + 420 - 240;
    if (dialogW < rowTotal) dialogW = rowTotal;
    const int x0 = (dialogW - 2240) / 2;
    Button(prompt, 100, "&Yes", Px(x0), Px(top0), Px(1000), Px(380));
    Button(prompt, 101, "&No", Px(x0 + 1240), Px(top0), Px(1000), Px(380));
    SetWindowPos(prompt, nullptr, 0, 0, Px(dialogW), Px(dialogH), SWP_NOMOVE | SWP_NOZORDER);
    ShowWindow(prompt, SW_SHOW);
    SetFocus(GetDlgItem(prompt, 101));
    EnableWindow(g_main, FALSE);
    g_promptResult = -1;
    MSG msg;
    while (IsWindow(prompt) && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    EnableWindow(g_main, TRUE);
    return g_promptResult;
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

void ForModders() {
    std::string text;
    for (int i = 1; i <= 10; ++i) text += "{\\rtf1 line " + std::to_string(i) + "}\r\n";
    text += "\\pard\\qc\\cf2\\b\\fs24 This was made with version: \\cf1 1.0.151\\cf0\\par\r\n}\r\n";
    WriteFile(Uninstall("Zelvane Usage.rtf"), text);
    ShellExecuteA(nullptr, "Open", Uninstall("Zelvane Usage.rtf").c_str(), "", "", 1);
}

LRESULT CALLBACK MainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_COMMAND && LOWORD(wp) == 2) ForModders();
    if (m == WM_COMMAND && LOWORD(wp) == 1 && Confirm() != 1) {
        WriteFile(Uninstall("removal_results.rtf"), "{\\rtf1 stand-in}");
        DestroyWindow(w);
    }
    if (m == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(w, m, wp, lp);
}

void IniError() {
    EnableWindow(g_remove, FALSE);
    CreateWindowA("Static", "INI Errors Encountered - Mod Removal Disabled until INI is fixed.", WS_CHILD | WS_VISIBLE,
                  8, 8, 600, 24, g_main, nullptr, g_instance, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    g_instance = instance;
    LoadLibraryA("riched20.dll");
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    g_folder = path;
    g_folder.erase(g_folder.find_last_of('\\') + 1);
    WNDCLASSA wc{};
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpfnWndProc = MainProc;
    wc.lpszClassName = "StandinMain";
    RegisterClassA(&wc);
    wc.lpfnWndProc = PromptProc;
    wc.lpszClassName = "StandinPrompt";
    RegisterClassA(&wc);
    wc.lpfnWndProc = ButtonProc;
    wc.lpszClassName = "Orvo_Button";
    RegisterClassA(&wc);

    const bool hasInfo = Exists(Uninstall("uninstall_info.rtf"));
    const int height = hasInfo ? Px(7080) + 30 : Px(4245);
    g_main = CreateWindowA("StandinMain", "Zelvane", WS_OVERLAPPEDWINDOW, 100, 50, Px(9270) + 8, height, nullptr,
                           nullptr, instance, nullptr);
    RECT c;
    GetClientRect(g_main, &c);
    Button(g_main, 2, "For &Modders - How To Use This Program In Your Own Mods", 8, c.bottom - 57, 297, 49);
    g_remove = Button(g_main, 1, "&Remove Mod", c.right - 313, c.bottom - 57, 297, 49);
    if (!hasInfo) {
        CreateWindowA("Static", "Uninstall_Info.rtf Was NOT FOUND", WS_CHILD | WS_VISIBLE | SS_CENTER, 8, 88, 599, 37,
                      g_main, nullptr, instance, nullptr);
    }
    ShowWindow(g_main, SW_SHOW);
    const std::string ini = Uninstall("uninstall_data.ini");
    if (!Exists(ini)) {
        MessageBoxA(g_main, "The uninstall_data.ini file was not found.\r\nCannot continue without it.", "Aborting",
                    MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
        IniError();
    } else {
        std::ifstream in(ini, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (text.find("#game=abc") != std::string::npos) {
            MessageBoxA(g_main, "Error 13: Type mismatch\r\nForm Load", "Oops!", MB_OK | MB_ICONEXCLAMATION);
            IniError();
        } else {
            SetWindowTextA(g_main, "Zelvane - Version: 1.0.151");
        }
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
