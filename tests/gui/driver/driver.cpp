// zelvane-gui-driver: drives the windows of another program from outside, for the GUI tests.
//
//   list                               every top-level window: handle, class, title, visible, pid
//   wait-window TITLE [TIMEOUT_MS]     waits until a visible top-level window matches TITLE
//   wait-any TIMEOUT_MS TITLE...       waits for the first of several titles; prints which one
//   wait-gone TITLE [TIMEOUT_MS]       waits until no visible top-level window matches TITLE
//   click TITLE CAPTION                clicks the child Orvo_Button or Button whose text is CAPTION
//   press-key TITLE VK [alt]           types the virtual key (decimal or 0xNN), Alt held if asked
//   dump TITLE                         window rectangle, client size and every child in client pixels
//                                      (class, text, x, y, w, h, enabled, visible, id, display lines)
//   text TITLE                         the texts of the static controls (one TEXT line each)
//   close TITLE                        posts WM_CLOSE
//   close-any TIMEOUT_MS TITLE...      waits up to TIMEOUT_MS and closes every window that matches
//   ping                               prints DRIVER OK
//   work-area                          the primary monitor's work area and the screen size
//   focus TITLE                        class and text of the window that has the keyboard focus
//   mouse-click TITLE CLASS [X Y]      a real left click in the first visible child of that class
//                                      (prefix), at X, Y inside it (default: 8, 8)
//   ink TITLE                          stroke weight of the text in the visible rich-edit child
//   icon-levels TITLE CAPTION          how many grey levels the icon of a button shows
//   wait-selection TITLE SUFFIX [MS]   waits until the tree view's selected item, as the labels from
//                                      its root joined by "\", ends with SUFFIX (a folder dialog)
//
// TITLE matches exactly; "abc*" matches titles beginning with abc and "*abc*" titles containing it.
// Every command prints its result as lines on standard output; the last line of a failure begins
// with ERROR. Exit status 0 on success, 1 on a timeout or a missing window, 2 on bad usage.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kDefaultTimeoutMs = 15000;
constexpr DWORD kPollMs = 100;
constexpr UINT kTextTimeoutMs = 2000;

bool TitleMatches(const std::string& pattern, const std::string& title) {
    const bool leading = !pattern.empty() && pattern.front() == '*';
    const bool trailing = pattern.size() > 1 && pattern.back() == '*';
    if (!leading && !trailing) return pattern == title;
    const std::string core = pattern.substr(leading ? 1 : 0, pattern.size() - (leading ? 1 : 0) - (trailing ? 1 : 0));
    if (leading && trailing) return title.find(core) != std::string::npos;
    if (trailing) return title.compare(0, core.size(), core) == 0;
    return title.size() >= core.size() && title.compare(title.size() - core.size(), core.size(), core) == 0;
}

std::string ClassOf(HWND window) {
    char buffer[256] = {};
    GetClassNameA(window, buffer, static_cast<int>(sizeof buffer));
    return buffer;
}

// The window text, asked of the window itself (WM_GETTEXT is carried across processes) so that
// controls that keep their text privately answer too; the stored caption otherwise.
std::string TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &length) && length > 0) {
        std::vector<char> buffer(length + 1, '\0');
        DWORD_PTR copied = 0;
        if (SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                                SMTO_ABORTIFHUNG, kTextTimeoutMs, &copied)) {
            return std::string(buffer.data(), copied);
        }
    }
    char buffer[1024] = {};
    GetWindowTextA(window, buffer, static_cast<int>(sizeof buffer));
    return buffer;
}

std::string TitleOf(HWND window) {
    char buffer[1024] = {};
    GetWindowTextA(window, buffer, static_cast<int>(sizeof buffer));
    return buffer;
}

// Escapes tabs and line ends so that one window stays on one output line.
std::string Printable(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else
            out += c;
    }
    return out;
}

// Enumeration callback of EnumWindows and EnumChildWindows: collects every window into the
// vector that LPARAM points to.
BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND FindVisibleTopLevel(const std::string& pattern) {
    for (HWND window : TopLevelWindows()) {
        if (IsWindowVisible(window) && TitleMatches(pattern, TitleOf(window))) return window;
    }
    return nullptr;
}

HWND WaitForWindow(const std::string& pattern, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = FindVisibleTopLevel(pattern)) return window;
        if (GetTickCount() - start >= timeoutMs) return nullptr;
        Sleep(kPollMs);
    }
}

DWORD ParseTimeout(int argc, char** argv, int index) {
    return index < argc ? static_cast<DWORD>(std::strtoul(argv[index], nullptr, 0)) : kDefaultTimeoutMs;
}

int Fail(const std::string& what) {
    std::printf("ERROR %s\n", what.c_str());
    return 1;
}

// The window named by TITLE, waiting a little for it, so that a command right after an action works.
HWND RequireWindow(const std::string& pattern, DWORD timeoutMs = 5000) { return WaitForWindow(pattern, timeoutMs); }

RECT ClientRectOf(HWND child, HWND parent) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int CmdList() {
    for (HWND window : TopLevelWindows()) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        std::printf("WINDOW\t%p\t%s\t%s\t%d\t%lu\n", static_cast<void*>(window), ClassOf(window).c_str(),
                    Printable(TitleOf(window)).c_str(), IsWindowVisible(window) ? 1 : 0,
                    static_cast<unsigned long>(pid));
    }
    return 0;
}

int CmdWaitWindow(const std::string& pattern, DWORD timeoutMs) {
    HWND window = WaitForWindow(pattern, timeoutMs);
    if (!window) return Fail("timeout waiting for window: " + pattern);
    std::printf("FOUND\t%p\t%s\n", static_cast<void*>(window), Printable(TitleOf(window)).c_str());
    return 0;
}

int CmdWaitAny(DWORD timeoutMs, const std::vector<std::string>& patterns) {
    const DWORD start = GetTickCount();
    for (;;) {
        for (size_t i = 0; i < patterns.size(); ++i) {
            if (HWND window = FindVisibleTopLevel(patterns[i])) {
                std::printf("FOUND\t%zu\t%s\n", i, Printable(TitleOf(window)).c_str());
                return 0;
            }
        }
        if (GetTickCount() - start >= timeoutMs) return Fail("timeout waiting for any window");
        Sleep(kPollMs);
    }
}

int CmdWaitGone(const std::string& pattern, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (FindVisibleTopLevel(pattern)) {
        if (GetTickCount() - start >= timeoutMs) return Fail("window still there: " + pattern);
        Sleep(kPollMs);
    }
    std::printf("GONE\n");
    return 0;
}

int CmdClick(const std::string& pattern, const std::string& caption) {
    HWND window = RequireWindow(pattern);
    if (!window) return Fail("no window: " + pattern);
    for (HWND child : ChildWindows(window)) {
        const std::string cls = ClassOf(child);
        if (cls != "Orvo_Button" && cls != "Button") continue;
        if (TextOf(child) != caption) continue;
        if (!IsWindowEnabled(child)) return Fail("button disabled: " + caption);
        if (cls == "Button" && ClassOf(GetParent(child)) == "#32770") {
            // A dialog button: the dialog gets the notification the button would send.
            const int id = GetDlgCtrlID(child);
            PostMessageA(GetParent(child), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(child));
        } else {
            // Posted, not sent: the click may open a modal prompt that returns only much later.
            PostMessageA(child, BM_CLICK, 0, 0);
        }
        std::printf("CLICKED\t%s\t%s\n", cls.c_str(), caption.c_str());
        return 0;
    }
    return Fail("no button '" + caption + "' in " + pattern);
}

void KeyEvent(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

int CmdPressKey(const std::string& pattern, WORD vk, bool alt) {
    HWND window = RequireWindow(pattern);
    if (!window) return Fail("no window: " + pattern);
    SetForegroundWindow(window);
    Sleep(200);
    if (alt) KeyEvent(VK_MENU, false);
    KeyEvent(vk, false);
    KeyEvent(vk, true);
    if (alt) KeyEvent(VK_MENU, true);
    std::printf("PRESSED\t%u\t%d\n", vk, alt ? 1 : 0);
    return 0;
}

int CmdDump(const std::string& pattern) {
    HWND window = RequireWindow(pattern);
    if (!window) return Fail("no window: " + pattern);
    RECT outer{};
    RECT client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    std::printf("WINDOW\t%s\t%s\t%ld\t%ld\t%ld\t%ld\t%d\n", ClassOf(window).c_str(), Printable(TitleOf(window)).c_str(),
                outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                IsWindowEnabled(window) ? 1 : 0);
    std::printf("CLIENT\t%ld\t%ld\n", client.right, client.bottom);
    for (HWND child : ChildWindows(window)) {
        if (GetParent(child) != window) continue;
        const RECT r = ClientRectOf(child, window);
        const std::string cls = ClassOf(child);
        // Display lines of an edit or rich-edit control (wrapped lines count), -1 for other windows.
        DWORD_PTR lines = static_cast<DWORD_PTR>(-1);
        if (cls.rfind("RichEdit", 0) == 0 || cls == "RICHEDIT" || cls == "Edit") {
            SendMessageTimeoutA(child, EM_GETLINECOUNT, 0, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &lines);
        }
        std::printf("CHILD\t%s\t%s\t%ld\t%ld\t%ld\t%ld\t%d\t%d\t%d\t%ld\n", cls.c_str(),
                    Printable(TextOf(child)).c_str(), r.left, r.top, r.right - r.left, r.bottom - r.top,
                    IsWindowEnabled(child) ? 1 : 0, IsWindowVisible(child) ? 1 : 0, GetDlgCtrlID(child),
                    static_cast<long>(static_cast<LONG_PTR>(lines)));
    }
    return 0;
}

int CmdText(const std::string& pattern) {
    HWND window = RequireWindow(pattern);
    if (!window) return Fail("no window: " + pattern);
    for (HWND child : ChildWindows(window)) {
        if (ClassOf(child) != "Static" || !IsWindowVisible(child)) continue;
        const std::string text = TextOf(child);
        if (!text.empty()) std::printf("TEXT\t%s\n", Printable(text).c_str());
    }
    return 0;
}

int CmdClose(const std::string& pattern) {
    HWND window = RequireWindow(pattern, 2000);
    if (!window) return Fail("no window: " + pattern);
    PostMessageA(window, WM_CLOSE, 0, 0);
    std::printf("CLOSED\t%s\n", Printable(TitleOf(window)).c_str());
    return 0;
}

int CmdCloseAny(DWORD timeoutMs, const std::vector<std::string>& patterns) {
    const DWORD start = GetTickCount();
    int closed = 0;
    do {
        for (HWND window : TopLevelWindows()) {
            if (!IsWindowVisible(window)) continue;
            const std::string title = TitleOf(window);
            for (const std::string& pattern : patterns) {
                if (!TitleMatches(pattern, title)) continue;
                PostMessageA(window, WM_CLOSE, 0, 0);
                std::printf("CLOSED\t%s\n", Printable(title).c_str());
                ++closed;
                break;
            }
        }
        if (closed) return 0;
        Sleep(kPollMs);
    } while (GetTickCount() - start < timeoutMs);
    std::printf("NONE\n");
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Looks at the screen: work area, focus, real mouse clicks and the pixels of child windows.
// ---------------------------------------------------------------------------------------------

int CmdWorkArea() {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    std::printf("WORKAREA\t%ld\t%ld\t%ld\t%ld\t%d\t%d\n", work.left, work.top, work.right, work.bottom,
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return 0;
}

int CmdFocus(const std::string& pattern) {
    HWND window = RequireWindow(pattern);
    if (!window) return Fail("no window: " + pattern);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return Fail("no thread information");
    if (info.hwndFocus == nullptr) {
        std::printf("FOCUS\t-\t-\n");
        return 0;
    }
    std::printf("FOCUS\t%s\t%s\n", ClassOf(info.hwndFocus).c_str(), Printable(TextOf(info.hwndFocus)).c_str());
    return 0;
}

HWND VisibleChildOfClass(HWND window, const std::string& classPrefix) {
    for (HWND child : ChildWindows(window)) {
        if (IsWindowVisible(child) && ClassOf(child).rfind(classPrefix, 0) == 0) return child;
    }
    return nullptr;
}

void MouseEvent(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

int CmdMouseClick(const std::string& pattern, const std::string& classPrefix, int x, int y) {
    HWND window = RequireWindow(pattern);
    if (!window) return Fail("no window: " + pattern);
    HWND child = VisibleChildOfClass(window, classPrefix);
    if (!child) return Fail("no visible " + classPrefix + " in " + pattern);
    SetForegroundWindow(window);
    Sleep(200);
    RECT r{};
    GetWindowRect(child, &r);
    SetCursorPos(r.left + x, r.top + y);
    Sleep(100);
    MouseEvent(MOUSEEVENTF_LEFTDOWN);
    Sleep(50);
    MouseEvent(MOUSEEVENTF_LEFTUP);
    std::printf("MOUSE-CLICKED\t%s\t%ld\t%ld\n", ClassOf(child).c_str(), r.left + x, r.top + y);
    return 0;
}

// The screen pixels of a window, 0x00RRGGBB, row by row.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<unsigned> data;
    unsigned At(int x, int y) const { return data[static_cast<size_t>(y) * width + x] & 0xFFFFFFu; }
};

Pixels CaptureWindow(HWND window) {
    Pixels pixels;
    RECT r{};
    GetWindowRect(window, &r);
    pixels.width = r.right - r.left;
    pixels.height = r.bottom - r.top;
    if (pixels.width <= 0 || pixels.height <= 0) return {};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, pixels.width, pixels.height, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        const auto* source = static_cast<const unsigned*>(bits);
        pixels.data.assign(source, source + static_cast<size_t>(pixels.width) * pixels.height);
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (pixels.data.empty()) return {};
    return pixels;
}

int Luma(unsigned c) { return (299 * ((c >> 16) & 0xFF) + 587 * ((c >> 8) & 0xFF) + 114 * (c & 0xFF)) / 1000; }

// Stroke weight of dark text: the mean length of the horizontal runs of dark pixels (in hundredths
// of a pixel). Regular body text runs about 1.5 pixels, bold text clearly more.
int CmdInk(const std::string& pattern) {
    HWND window = RequireWindow(pattern);
    if (!window) return Fail("no window: " + pattern);
    HWND body = VisibleChildOfClass(window, "RichEdit");
    if (!body) body = VisibleChildOfClass(window, "RICHEDIT");
    if (!body) return Fail("no visible rich edit in " + pattern);
    SetForegroundWindow(window);
    Sleep(300);
    const Pixels pixels = CaptureWindow(body);
    if (pixels.data.empty()) return Fail("the screen could not be read");
    long dark = 0;
    long runs = 0;
    for (int y = 0; y < pixels.height; ++y) {
        bool inRun = false;
        for (int x = 0; x < pixels.width; ++x) {
            const bool isDark = Luma(pixels.At(x, y)) < 100;
            if (isDark) {
                ++dark;
                if (!inRun) ++runs;
            }
            inRun = isDark;
        }
    }
    std::printf("INK\t%ld\t%ld\t%ld\n", dark, runs, runs > 0 ? dark * 100 / runs : 0L);
    return 0;
}

// The icon of a button: the 32-pixel square at the left of its face, where pixels differ from the
// face colour. Prints the pixels that differ and how many different greys (in steps of 16) they use.
int CmdIconLevels(const std::string& pattern, const std::string& caption) {
    HWND window = RequireWindow(pattern);
    if (!window) return Fail("no window: " + pattern);
    HWND button = nullptr;
    for (HWND child : ChildWindows(window)) {
        if (TextOf(child) == caption) button = child;
    }
    if (!button) return Fail("no button '" + caption + "' in " + pattern);
    const Pixels pixels = CaptureWindow(button);
    if (pixels.width < 48 || pixels.height < 36) return Fail("the button could not be read");
    const unsigned face = pixels.At(pixels.width / 2, 3);
    const int top = (pixels.height - 32) / 2;
    int left = -1;
    for (int x = 4; x < pixels.width - 4 && left < 0; ++x) {
        for (int y = top; y < top + 32; ++y) {
            if (pixels.At(x, y) != face) {
                left = x;
                break;
            }
        }
    }
    if (left < 0) return Fail("no icon on the button");
    long differing = 0;
    bool levels[16] = {};
    for (int y = top; y < top + 32; ++y) {
        for (int x = left; x < left + 32 && x < pixels.width; ++x) {
            const unsigned c = pixels.At(x, y);
            if (c == face) continue;
            ++differing;
            levels[Luma(c) / 16] = true;
        }
    }
    int distinct = 0;
    for (bool level : levels) distinct += level ? 1 : 0;
    std::printf("ICON\t%ld\t%d\t%d\t%d\n", differing, distinct, left, top);
    return 0;
}

// The label of a tree item of another process: the item record and its text buffer live in that
// process's memory, where the tree view reads and writes them.
std::string TreeItemLabel(HWND tree, HTREEITEM item) {
    DWORD pid = 0;
    GetWindowThreadProcessId(tree, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process == nullptr) return {};
    constexpr SIZE_T kTextSize = 520;
    std::string label;
    auto* remote = static_cast<char*>(
        VirtualAllocEx(process, nullptr, sizeof(TVITEMA) + kTextSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (remote != nullptr) {
        TVITEMA record{};
        record.mask = TVIF_TEXT;
        record.hItem = item;
        record.pszText = remote + sizeof(TVITEMA);
        record.cchTextMax = static_cast<int>(kTextSize);
        DWORD_PTR got = 0;
        char text[kTextSize + 1] = {};
        if (WriteProcessMemory(process, remote, &record, sizeof record, nullptr) &&
            SendMessageTimeoutA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG,
                                kTextTimeoutMs, &got) &&
            got != 0 && ReadProcessMemory(process, remote + sizeof(TVITEMA), text, kTextSize, nullptr)) {
            label = text;
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return label;
}

// The selected item of a tree view as the labels from its root, joined by "\".
std::string TreeSelection(HWND tree) {
    std::string path;
    DWORD_PTR item = 0;
    SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &item);
    while (item != 0) {
        const std::string label = TreeItemLabel(tree, reinterpret_cast<HTREEITEM>(item));
        path = path.empty() ? label : label + "\\" + path;
        DWORD_PTR parent = 0;
        SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_PARENT, static_cast<LPARAM>(item), SMTO_ABORTIFHUNG,
                            kTextTimeoutMs, &parent);
        item = parent;
    }
    return path;
}

// A folder dialog can go on filling and selecting its tree after it is shown (Wine lists the
// folders on the way as it expands them): the selection is read until it ends with the suffix.
int CmdWaitSelection(const std::string& pattern, const std::string& suffix, DWORD timeoutMs) {
    HWND window = RequireWindow(pattern);
    if (!window) return Fail("no window: " + pattern);
    HWND tree = VisibleChildOfClass(window, "SysTreeView32");
    if (!tree) return Fail("no tree view in " + pattern);
    const DWORD start = GetTickCount();
    for (;;) {
        const std::string selection = TreeSelection(tree);
        if (selection.size() >= suffix.size() &&
            selection.compare(selection.size() - suffix.size(), suffix.size(), suffix) == 0) {
            std::printf("SELECTED\t%s\n", Printable(selection).c_str());
            return 0;
        }
        if (GetTickCount() - start >= timeoutMs) return Fail("the selection is " + Printable(selection));
        Sleep(kPollMs);
    }
}

int Usage() {
    std::printf(
        "ERROR usage: zelvane-gui-driver list | wait-window TITLE [MS] | wait-any MS TITLE... | "
        "wait-gone TITLE [MS] | click TITLE CAPTION | press-key TITLE VK [alt] | dump TITLE | "
        "text TITLE | close TITLE | close-any MS TITLE... | ping | work-area | focus TITLE | "
        "mouse-click TITLE CLASS [X Y] | ink TITLE | icon-levels TITLE CAPTION | "
        "wait-selection TITLE SUFFIX [MS]\n");
    return 2;
}

int Run(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    auto rest = [&](int from) { return std::vector<std::string>(argv + from, argv + argc); };
    if (command == "ping") {
        std::printf("DRIVER OK\n");
        return 0;
    }
    if (command == "list") return CmdList();
    if (command == "wait-window" && argc >= 3) return CmdWaitWindow(argv[2], ParseTimeout(argc, argv, 3));
    if (command == "wait-any" && argc >= 4) return CmdWaitAny(ParseTimeout(argc, argv, 2), rest(3));
    if (command == "wait-gone" && argc >= 3) return CmdWaitGone(argv[2], ParseTimeout(argc, argv, 3));
    if (command == "click" && argc == 4) return CmdClick(argv[2], argv[3]);
    if (command == "press-key" && argc >= 4) {
        const bool alt = argc >= 5 && std::string(argv[4]) == "alt";
        return CmdPressKey(argv[2], static_cast<WORD>(std::strtoul(argv[3], nullptr, 0)), alt);
    }
    if (command == "dump" && argc == 3) return CmdDump(argv[2]);
    if (command == "text" && argc == 3) return CmdText(argv[2]);
    if (command == "close" && argc == 3) return CmdClose(argv[2]);
    if (command == "close-any" && argc >= 4) return CmdCloseAny(ParseTimeout(argc, argv, 2), rest(3));
    if (command == "work-area") return CmdWorkArea();
    if (command == "focus" && argc == 3) return CmdFocus(argv[2]);
    if (command == "mouse-click" && (argc == 4 || argc == 6)) {
        const int x = argc == 6 ? std::atoi(argv[4]) : 8;
        const int y = argc == 6 ? std::atoi(argv[5]) : 8;
        return CmdMouseClick(argv[2], argv[3], x, y);
    }
    if (command == "ink" && argc == 3) return CmdInk(argv[2]);
    if (command == "icon-levels" && argc == 4) return CmdIconLevels(argv[2], argv[3]);
    if (command == "wait-selection" && argc >= 4)
        return CmdWaitSelection(argv[2], argv[3], ParseTimeout(argc, argv, 4));
    return Usage();
}

}  // namespace

int main(int argc, char** argv) {
    const int status = Run(argc, argv);
    std::fflush(stdout);
    return status;
}
