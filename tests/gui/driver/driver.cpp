// zelvane-gui-driver: the GUI checks of zelvane.exe. Runs under Wine beside the program, lays out
// synthetic game and program folders, starts the program on them, drives its windows from outside
// and judges what it shows and what it leaves on disk. Prints "PASS build/name" or
// "FAIL build/name: why" per check and a closing "N passed, M failed"; exit status 0 when all pass.
// A "shot NAME" line asks the harness for a screenshot, once per scenario.
//
//   zelvane-gui-driver run ZELVANE_EXE OUT_DIR   the checks; OUT_DIR\run holds the folders, and
//                                                OUT_DIR\console-removal_results.rtf is the log the
//                                                console saved on the same complete removal
//   zelvane-gui-driver layout DIR                lays out the complete removal's folders in DIR
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kMainTitle = "Zelvane - Version: 1.0.151";
const std::string kDesignTitle = "Zelvane";
const std::string kRemove = "&Remove Mod";
const std::string kModders = "For &Modders - How To Use This Program In Your Own Mods";
const std::string kNotice = "INI Errors Encountered - Mod Removal Disabled until INI is fixed.";
const std::string kNoRtf = "Uninstall_Info.rtf Was NOT FOUND";
const std::string kConfirm = "Confirm Remove Mod";
const std::vector<std::string> kViewers = {"*Wordpad*", "*WordPad*", "Error running*"};
const std::vector<std::string> kUnexpected = {"Oops!", "Aborting", "Error", "Hmm", "Shutting Down", "Choose Game"};

int g_passed = 0;
int g_failed = 0;
const char* const kBuild = sizeof(void*) == 8 ? "x86_64" : "i686";

void Check(const std::string& name, const std::string& why) {
    if (why.empty()) {
        std::printf("PASS %s/%s\n", kBuild, name.c_str());
        ++g_passed;
    } else {
        std::printf("FAIL %s/%s: %s\n", kBuild, name.c_str(), why.c_str());
        ++g_failed;
    }
    std::fflush(stdout);
}

// ---------------------------------------------------------------------------------------------
// Windows of other processes
// ---------------------------------------------------------------------------------------------
constexpr UINT kTextTimeoutMs = 2000;

// A title matches exactly, or "abc*" titles beginning with abc, "*abc*" titles containing it.
bool TitleMatches(const std::string& pattern, const std::string& title) {
    if (pattern.size() < 2 || pattern.back() != '*') return pattern == title;
    if (pattern.front() == '*') return title.find(pattern.substr(1, pattern.size() - 2)) != std::string::npos;
    return title.rfind(pattern.substr(0, pattern.size() - 1), 0) == 0;
}

std::string ClassOf(HWND window) {
    char buffer[256] = {};
    GetClassNameA(window, buffer, static_cast<int>(sizeof buffer));
    return buffer;
}

std::string TitleOf(HWND window) {
    char buffer[1024] = {};
    GetWindowTextA(window, buffer, static_cast<int>(sizeof buffer));
    return buffer;
}

// The text as the window itself answers it (controls that keep their text privately answer too).
std::string TextOf(HWND window) {
    DWORD_PTR length = 0;
    if (SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &length) && length > 0) {
        std::vector<char> buffer(length + 1, '\0');
        DWORD_PTR copied = 0;
        if (SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                                SMTO_ABORTIFHUNG, kTextTimeoutMs, &copied))
            return std::string(buffer.data(), copied);
    }
    return TitleOf(window);
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND FindWindowLike(const std::vector<std::string>& patterns) {
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (const std::string& pattern : patterns) {
        for (HWND window : windows) {
            if (IsWindowVisible(window) && TitleMatches(pattern, TitleOf(window))) return window;
        }
    }
    return nullptr;
}

HWND WaitAny(const std::vector<std::string>& patterns, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = FindWindowLike(patterns)) return window;
        if (GetTickCount() - start >= ms) return nullptr;
        Sleep(100);
    }
}
HWND Wait(const std::string& title, DWORD ms = 15000) { return WaitAny({title}, ms); }

bool WaitGone(const std::string& title, DWORD ms = 10000) {
    const DWORD start = GetTickCount();
    while (FindWindowLike({title})) {
        if (GetTickCount() - start >= ms) return false;
        Sleep(100);
    }
    return true;
}

struct Control {
    std::string cls, text;
    RECT r{};  // in the parent's client pixels
    bool enabled = false, visible = false;
    long lines = -1;  // display lines of an edit control
    HWND handle = nullptr;
};
struct Layout {
    std::string title;
    RECT outer{};
    SIZE client{};
    std::vector<Control> children;
    const Control* Find(const std::string& text) const {
        for (const Control& c : children)
            if (c.text == text) return &c;
        return nullptr;
    }
    const Control* Body() const {
        for (const Control& c : children)
            if (c.visible && (c.cls.rfind("RichEdit", 0) == 0 || c.cls == "RICHEDIT")) return &c;
        return nullptr;
    }
};

Layout Dump(HWND window) {
    Layout layout;
    layout.title = TitleOf(window);
    RECT client{};
    GetWindowRect(window, &layout.outer);
    GetClientRect(window, &client);
    layout.client = {client.right, client.bottom};
    for (HWND child : Children(window)) {
        if (GetParent(child) != window) continue;
        Control c{ClassOf(child), TextOf(child)};
        GetWindowRect(child, &c.r);
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&c.r), 2);
        c.enabled = IsWindowEnabled(child) != FALSE;
        c.visible = IsWindowVisible(child) != FALSE;
        c.handle = child;
        if (c.cls.rfind("RichEdit", 0) == 0 || c.cls == "RICHEDIT") {
            DWORD_PTR lines = 0;
            if (SendMessageTimeoutA(child, EM_GETLINECOUNT, 0, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &lines))
                c.lines = static_cast<long>(lines);
        }
        layout.children.push_back(c);
    }
    return layout;
}

std::string StaticTexts(HWND window) {
    std::string texts;
    for (HWND child : Children(window))
        if (ClassOf(child) == "Static" && IsWindowVisible(child)) texts += TextOf(child);
    return texts;
}

// Clicks the button captioned CAPTION; posted, as the click may open a prompt that returns late.
bool Click(const std::string& title, const std::string& caption) {
    HWND window = Wait(title, 5000);
    if (!window) return false;
    for (HWND child : Children(window)) {
        const std::string cls = ClassOf(child);
        if ((cls != "Orvo_Button" && cls != "Button") || TextOf(child) != caption || !IsWindowEnabled(child)) continue;
        if (cls == "Button" && ClassOf(GetParent(child)) == "#32770")
            PostMessageA(GetParent(child), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                         reinterpret_cast<LPARAM>(child));
        else
            PostMessageA(child, BM_CLICK, 0, 0);
        return true;
    }
    return false;
}

void Close(const std::string& title) {
    if (HWND window = FindWindowLike({title})) PostMessageA(window, WM_CLOSE, 0, 0);
}

void CloseViewers(DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        if (HWND viewer = FindWindowLike(kViewers)) {
            if (!Click(TitleOf(viewer), "OK")) PostMessageA(viewer, WM_CLOSE, 0, 0);
            Sleep(300);
            continue;
        }
        Sleep(100);
    } while (GetTickCount() - start < ms);
}

void Key(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

void PressKey(const std::string& title, WORD vk, bool alt) {
    HWND window = Wait(title, 5000);
    if (!window) return;
    SetForegroundWindow(window);
    Sleep(200);
    if (alt) Key(VK_MENU, false);
    Key(vk, false);
    Key(vk, true);
    if (alt) Key(VK_MENU, true);
    Sleep(300);
}

void Mouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

HWND VisibleChild(HWND window, const std::string& classPrefix) {
    for (HWND child : Children(window))
        if (IsWindowVisible(child) && ClassOf(child).rfind(classPrefix, 0) == 0) return child;
    return nullptr;
}

// A real left click 40 pixels into the information document, which gives it the focus.
void ClickDocument(const std::string& title) {
    HWND window = Wait(title, 5000);
    HWND document = window ? VisibleChild(window, "RichEdit") : nullptr;
    if (!document) return;
    SetForegroundWindow(window);
    Sleep(200);
    RECT r{};
    GetWindowRect(document, &r);
    SetCursorPos(r.left + 40, r.top + 40);
    Sleep(100);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(50);
    Mouse(MOUSEEVENTF_LEFTUP);
    Sleep(500);
}

std::string FocusOf(const std::string& title) {
    HWND window = Wait(title, 5000);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!window || !GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus)
        return "nothing";
    return ClassOf(info.hwndFocus) + " \"" + TextOf(info.hwndFocus) + "\"";
}

// ---------------------------------------------------------------------------------------------
// Pixels
// ---------------------------------------------------------------------------------------------
struct Pixels {
    int width = 0, height = 0;
    std::vector<unsigned> data;  // 0x00RRGGBB, row by row
    unsigned At(int x, int y) const { return data[static_cast<size_t>(y) * width + x] & 0xFFFFFFu; }
};

Pixels Capture(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    Pixels pixels;
    pixels.width = r.right - r.left;
    pixels.height = r.bottom - r.top;
    if (pixels.width <= 0 || pixels.height <= 0) return {};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    if (HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0)) {
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
    return pixels;
}

int Luma(unsigned c) { return (299 * ((c >> 16) & 0xFF) + 587 * ((c >> 8) & 0xFF) + 114 * (c & 0xFF)) / 1000; }

// A screenshot of the whole screen, taken by the harness (from the X side, where Wine's windows are
// whole) while the driver waits.
void Shot(const std::string& name) {
    Sleep(500);
    std::printf("shot %s\n", name.c_str());
    std::fflush(stdout);
    Sleep(1500);
}

// Stroke weight of the dark text of the visible rich edit: the mean run of dark pixels across a
// row, in hundredths of a pixel. Regular 12-point text runs about 1.3 pixels under Wine, bold 2.3.
long InkWeight(const std::string& title) {
    HWND window = Wait(title, 5000);
    HWND body = window ? VisibleChild(window, "RichEdit") : nullptr;
    if (!body) return -1;
    SetForegroundWindow(window);
    Sleep(300);
    const Pixels p = Capture(body);
    long dark = 0, runs = 0;
    for (int y = 0; y < p.height; ++y) {
        bool inRun = false;
        for (int x = 0; x < p.width; ++x) {
            const bool isDark = Luma(p.At(x, y)) < 100;
            dark += isDark;
            runs += isDark && !inRun;
            inRun = isDark;
        }
    }
    return runs > 0 ? dark * 100 / runs : -1;
}

// Grey levels (in steps of 16) of the 32-pixel icon at the left of a button's face.
int IconGreyLevels(HWND button) {
    const Pixels p = Capture(button);
    if (p.width < 48 || p.height < 36) return -1;
    const unsigned face = p.At(p.width / 2, 3);
    const int top = (p.height - 32) / 2;
    int left = -1;
    for (int x = 4; x < p.width - 4 && left < 0; ++x)
        for (int y = top; y < top + 32 && left < 0; ++y)
            if (p.At(x, y) != face) left = x;
    if (left < 0) return 0;
    bool levels[16] = {};
    for (int y = top; y < top + 32; ++y)
        for (int x = left; x < left + 32 && x < p.width; ++x)
            if (p.At(x, y) != face) levels[Luma(p.At(x, y)) / 16] = true;
    int distinct = 0;
    for (bool level : levels) distinct += level;
    return distinct;
}

// How deep the selected item of a folder dialog's tree lies.
int SelectionDepth(HWND tree) {
    int depth = 0;
    DWORD_PTR item = 0;
    SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &item);
    for (; item != 0; ++depth) {
        if (!SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_PARENT, static_cast<LPARAM>(item), SMTO_ABORTIFHUNG,
                                 kTextTimeoutMs, &item))
            break;
    }
    return depth;
}

// ---------------------------------------------------------------------------------------------
// Synthetic folders, the registry and the program
// ---------------------------------------------------------------------------------------------
std::string g_run, g_app, g_game, g_exe;

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
bool Exists(const std::string& path) { return fs::exists(path); }

std::string Crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// A file list with a subfolder hit and a missing entry, a queued delete, a queued restore of an
// .original file, a 2da restore and explicit instructions: every phase of a run.
std::string FullDescription(const std::string& game = "#game=2") {
    return Crlf({game,
                 "#confirm_message_beep=0",
                 "#confirm_message_begin#",
                 "This removes the \\b GUI Test Robes\\b0 .",
                 "Do you wish to continue?",
                 "#confirm_message_end#",
                 "#qdelete_file_0=override\\qd_item.uti",
                 "#qdelete_file_begin_0#",
                 "Delete the changed \\b qd_item.uti\\b0 ?",
                 "#qdelete_file_end_0#",
                 "#qrestore_file_0=override\\restore_me.2da",
                 "#qrestore_file_begin_0#",
                 "Give \\b restore_me.2da\\b0  its original back?",
                 "#qrestore_file_end_0#",
                 "#qrestore_2da=true",
                 "#qrestore_2da_files=appearance.2da,feat.2da",
                 "#explicit_instructions_begin#",
                 "Now \\cf10 reinstall\\cf1  anything that changed \\b appearance.2da\\b0  after this mod.",
                 "#explicit_instructions_end#",
                 "#file_list",
                 "; installed files",
                 "override\\mod_a.tga",
                 "override\\mod_b.uti",
                 "override\\mod_c.tga",
                 "override\\never_there.tga"});
}

void StopProgram();

// Fresh game and program folders, always at the same place; DESCRIPTION empty leaves it out.
void LayOut(const std::string& description, bool information = true) {
    StopProgram();
    // A viewer the program opened may still hold its log open.
    std::error_code busy;
    for (int i = 0; i < 20 && (fs::remove_all(g_run, busy), busy); ++i) CloseViewers(500);
    for (const char* folder : {"\\override\\sub", "\\Movies"}) fs::create_directories(g_game + folder);
    for (const char* folder : {"\\uninstall", "\\backup"}) fs::create_directories(g_app + folder);
    const std::pair<const char*, std::string> files[] = {
        {"dialog.tlk", std::string("TLK V3.0\0\0\0\0synthetic talk table", 32)},
        {"override\\mod_a.tga", "mod texture a"},
        {"override\\mod_b.uti", "mod item b"},
        {"override\\sub\\mod_c.tga", "mod texture c, moved by the player"},
        {"override\\qd_item.uti", "queued item"},
        {"override\\restore_me.2da", "2DA V2.0 mod version"},
        {"override\\restore_me.2da.original", "2DA V2.0 game original"},
        {"override\\appearance.2da", "2DA V2.0 appearance as the mod changed it"},
        {"override\\players_own.tga", "a file of the player"},
        {"Movies\\intro.bik", "movie"}};
    for (const auto& [name, bytes] : files) Write(g_game + "\\" + name, bytes);
    Write(g_app + "\\backup\\appearance.2da", "2DA V2.0 appearance before the mod");
    if (!description.empty()) Write(g_app + "\\uninstall\\uninstall_data.ini", description);
    if (information)
        Write(g_app + "\\uninstall\\uninstall_info.rtf",
              "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs28 \\b GUI Test Robes\\b0\\par\r\n"
              "This mod adds robes. Visit http://example.invalid/robes for help.\\par\r\n}");
    if (!g_exe.empty()) fs::copy_file(g_exe, g_app + "\\zelvane.exe");
}

void SetRegistry(const char* key, const char* name, const std::string& value) {
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        HKEY handle = nullptr;
        const HKEY root = std::string(key).rfind("Software\\Wine", 0) == 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        if (RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &handle, nullptr) != ERROR_SUCCESS)
            continue;
        if (value.empty())
            RegDeleteValueA(handle, name);
        else
            RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1));
        RegCloseKey(handle);
    }
}
const char* const kGameKey = "Software\\LucasArts\\KotOR2";
const char* const kGogKey = "Software\\GOG.com\\Games\\1421404581";

// The program started from its folder; ended by its process id when it does not end by itself.
class Program {
public:
    Program() {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string command = "\"" + g_app + "\\zelvane.exe\"";
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, g_app.c_str(), &startup,
                            &process_))
            process_ = {};
    }
    ~Program() { Stop(2000); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    bool Running() const { return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
    void Stop(DWORD ms) {
        if (!process_.hProcess) return;
        if (WaitForSingleObject(process_.hProcess, ms) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_ = {};
        // The working copy of the description never stays behind.
        if (Exists(g_app + "\\uninstall\\uninstall_data20A.ini")) g_workingCopyLeft += " " + g_scenario;
    }
    static inline std::string g_workingCopyLeft, g_scenario;

private:
    PROCESS_INFORMATION process_{};
};

// Starts the program and waits for its first window; a start whose window does not come is tried
// once more, so that a slow Wine start on a loaded machine is not taken for a program that shows nothing.
HWND Launch(std::unique_ptr<Program>& program, const std::string& scenario, const std::string& title) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        program.reset();
        Program::g_scenario = scenario;
        program = std::make_unique<Program>();
        if (HWND window = Wait(title, attempt == 0 ? 45000 : 60000)) {
            Sleep(700);
            return window;
        }
        std::printf("note: no \"%s\" window after a start of zelvane.exe (%s)\n", title.c_str(), scenario.c_str());
    }
    return nullptr;
}

std::string g_outsideWorkArea;  // what every prompt seen showed outside the work area

// The prompt's body must show every display line (about 17 px a line at 12 points), and the prompt
// and each of its controls lie inside the work area.
std::string Judge(const Layout& prompt) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const RECT& o = prompt.outer;
    if (o.left < work.left || o.top < work.top || o.right > work.right || o.bottom > work.bottom)
        g_outsideWorkArea += "\"" + prompt.title + "\" outside the work area; ";
    for (const Control& c : prompt.children)
        if (c.visible && (c.r.left < 0 || c.r.top < 0 || c.r.right > prompt.client.cx || c.r.bottom > prompt.client.cy))
            g_outsideWorkArea += "\"" + prompt.title + "\": \"" + c.text + "\" outside its window; ";
    const Control* body = prompt.Body();
    if (body && body->lines > 0 && body->r.bottom - body->r.top < body->lines * 14)
        return prompt.title + ": " + std::to_string(body->lines) + " lines in a " +
               std::to_string(body->r.bottom - body->r.top) + " px body; ";
    return {};
}

// Answers prompts by title until the window STOP comes (true), or the program ends, or two
// minutes pass; SEEN receives each prompt's title, CLIPPED what Judge found.
bool AnswerUntil(Program& program, const std::string& stop, const std::map<std::string, std::string>& answers,
                 std::vector<std::string>* seen = nullptr, std::string* clipped = nullptr,
                 const char* firstShot = nullptr) {
    std::vector<std::string> titles = {stop};
    for (const auto& [title, caption] : answers) titles.push_back(title);
    titles.insert(titles.end(), kUnexpected.begin(), kUnexpected.end());
    titles.insert(titles.end(), kViewers.begin(), kViewers.end());
    const DWORD start = GetTickCount();
    bool viewerSeen = false;
    while (GetTickCount() - start < 120000) {
        HWND window = WaitAny(titles, 3000);
        if (!window) {
            // The run is over when the program has ended, or has shown its log and left the main window.
            if (!program.Running() || (viewerSeen && !FindWindowLike({kMainTitle}))) return false;
            continue;
        }
        const std::string title = TitleOf(window);
        if (TitleMatches(stop, title)) return true;
        if (FindWindowLike(kViewers) == window) {
            viewerSeen = true;
            CloseViewers(1500);
            continue;
        }
        Sleep(700);
        const std::string why = Judge(Dump(window));
        if (clipped) *clipped += why;
        if (firstShot && title == kConfirm) Shot(firstShot), firstShot = nullptr;
        const auto answer = answers.find(title);
        if (seen)
            seen->push_back(answer != answers.end() ? title : "unexpected \"" + title + "\": " + StaticTexts(window));
        if (answer == answers.end() || !Click(title, answer->second))
            if (!Click(title, "OK") && !Click(title, "&Ok")) Close(title);
        WaitGone(title);
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// The scenarios
// ---------------------------------------------------------------------------------------------
std::unique_ptr<Program> g_program;
void StopProgram() { g_program.reset(); }

std::string IniErrorState(HWND main) {
    const Layout d = Dump(main);
    const Control* remove = d.Find(kRemove);
    const Control* modders = d.Find(kModders);
    const Control* notice = d.Find(kNotice);
    if (!notice || !notice->visible) return "the red notice is not shown";
    if (!remove || remove->enabled) return "Remove Mod is not disabled";
    if (!modders || !modders->enabled) return "For Modders is not enabled";
    return {};
}

// A #game= value that is no number: the "Oops!" box, then the INI-error state, whose disabled
// "Remove Mod" shows its icon in greys rather than as one flat shape.
void BadGame() {
    LayOut(Crlf({"#game=abc"}) + FullDescription());
    HWND oops = Launch(g_program, "bad #game", "Oops!");
    if (!oops) return Check("ini-error", "no Oops! box");
    const std::string text = StaticTexts(oops);
    Shot("oops-box");
    Click("Oops!", "OK");
    WaitGone("Oops!");
    HWND main = Wait(kDesignTitle);
    if (!main) return Check("ini-error", "no main window titled \"" + kDesignTitle + "\" after the Oops! box");
    Sleep(1000);
    Check("ini-error",
          text.find("Form Load") == std::string::npos ? "the Oops! box says: " + text : IniErrorState(main));
    const Control* remove = Dump(main).Find(kRemove);
    const int levels = remove ? IconGreyLevels(remove->handle) : -1;
    Check("disabled-icon-greyed",
          levels < 4 ? "the disabled icon shows " + std::to_string(levels) + " grey levels" : "");
    Close(kDesignTitle);
}

void MissingDescription() {
    LayOut("");
    HWND box = Launch(g_program, "no description", "Aborting");
    if (!box) return Check("missing-ini", "no Aborting box");
    const std::string text = StaticTexts(box);
    Shot("aborting-box");
    Click("Aborting", "OK");
    WaitGone("Aborting");
    HWND main = Wait(kDesignTitle);
    if (!main) return Check("missing-ini", "no main window after the Aborting box");
    Sleep(500);
    Check("missing-ini", text != "The uninstall_data.ini file was not found.\r\nCannot continue without it."
                             ? "the Aborting box says: " + text
                             : IniErrorState(main));
    Close(kDesignTitle);
}

int Px(int twips) { return (twips * 2 + 15) / 30; }  // pixels of twips at 96 dpi
bool Near(long a, long b, long slack = 1) { return a - b <= slack && b - a <= slack; }

void NoInformationDocument() {
    LayOut(FullDescription(), false);
    HWND main = Launch(g_program, "no information document", kMainTitle);
    if (!main) return Check("no-info-document", "no main window titled \"" + kMainTitle + "\"");
    const Layout d = Dump(main);
    Shot("main-without-info");
    const Control* label = d.Find(kNoRtf);
    const Control* remove = d.Find(kRemove);
    std::string why;
    if (!label || !label->visible) why = "no visible \"" + kNoRtf + "\" label";
    if (!Near(d.outer.bottom - d.outer.top, Px(4245), 0))
        why += "window height " + std::to_string(d.outer.bottom - d.outer.top) + " px, not 4245 twips";
    if (!remove || !remove->enabled) why += "Remove Mod is disabled";
    Check("no-info-document", why);
    Close(kMainTitle);
}

// The confirmation laid out by the prompt arithmetic (twips, 15 to a pixel): body at (900, 195);
// buttons 1000 x 380, 240 apart, centred, their top 120 below the body; the dialog 500 below the
// buttons' bottom and 300 right of the body.
std::string ConfirmLayout(const Layout& d) {
    const Control* body = d.Body();
    const Control* yes = d.Find("&Yes");
    const Control* no = d.Find("&No");
    if (!body || !yes || !no) return "no body, &Yes and &No";
    const long bodyH = body->r.bottom - body->r.top, bodyW = body->r.right - body->r.left;
    const long w = yes->r.right - yes->r.left, ww = d.outer.right - d.outer.left;
    const int topTwips = 195 + static_cast<int>(bodyH) * 15 + 120;
    std::string why;
    const auto expect = [&why](const char* what, long got, long want, long slack = 1) {
        if (!Near(got, want, slack))
            why += std::string(what) + " " + std::to_string(got) + ", expected " + std::to_string(want) + "; ";
    };
    expect("body left", body->r.left, Px(900));
    expect("body top", body->r.top, Px(195));
    expect("button top", yes->r.top, Px(topTwips));
    expect("&No top", no->r.top, yes->r.top, 0);
    expect("button width", w, Px(1000));
    expect("&No width", no->r.right - no->r.left, w, 0);
    expect("button height", yes->r.bottom - yes->r.top, Px(380));
    expect("gap", no->r.left - yes->r.right, Px(240));
    expect("first button", yes->r.left, Px((static_cast<int>(ww) * 15 - 2240) / 2), 2);
    expect("dialog height", d.outer.bottom - d.outer.top, Px(topTwips + 415 + 500));
    expect("dialog width", ww, Px(900 + static_cast<int>(bodyW) * 15 + 300), 2);
    return why;
}

// Normal start-up, then the complete removal through the window.
void CompleteRemoval(const std::string& out) {
    LayOut(FullDescription());
    HWND main = Launch(g_program, "complete removal", kMainTitle);
    if (!main) return Check("startup-normal", "no main window titled \"" + kMainTitle + "\"");
    Sleep(500);
    const Layout d = Dump(main);
    Shot("main-window");
    const Control* notice = d.Find(kNotice);
    const Control* remove = d.Find(kRemove);
    const Control* modders = d.Find(kModders);
    Check("startup-normal", !remove || !remove->enabled     ? "no enabled Remove Mod"
                            : !modders || !modders->enabled ? "no enabled For Modders"
                            : notice && notice->visible     ? "the INI-error notice is shown"
                                                            : "");

    Click(kMainTitle, kRemove);
    const std::map<std::string, std::string> answers = {
        {kConfirm, "&Yes"},          {"Confirm Delete in Subfolder", "&Yes"},        {"Confirm Delete", "&Yes"},
        {"Confirm Restore", "&Yes"}, {"Confirm appearance.2da replacement", "&Yes"}, {"VERY IMPORTANT!!!", "&Ok"}};
    std::vector<std::string> seen;
    std::string clipped;
    AnswerUntil(*g_program, "never-shown", answers, &seen, &clipped, "prompt-confirm-remove-mod");
    g_program->Stop(20000);
    CloseViewers(3000);
    Check("prompt-text-visible", clipped);
    std::string order;
    for (const std::string& title : seen) order += title + "|";
    Check("removal-prompts", order == "Confirm Remove Mod|Confirm Delete in Subfolder|Confirm Delete|Confirm Restore|"
                                      "Confirm appearance.2da replacement|VERY IMPORTANT!!!|"
                                 ? ""
                                 : "prompts were: " + order);

    const std::string o = g_game + "\\override\\";
    std::string why;
    for (const char* gone : {"mod_a.tga", "mod_b.uti", "sub\\mod_c.tga", "qd_item.uti", "restore_me.2da.original"})
        if (Exists(o + gone)) why += std::string(gone) + " still there; ";
    if (!Exists(o + "players_own.tga") || !Exists(g_game + "\\Movies\\intro.bik") || !Exists(g_game + "\\dialog.tlk"))
        why += "a file of the player is gone; ";
    if (Read(o + "restore_me.2da") != "2DA V2.0 game original") why += "restore_me.2da is not the original; ";
    if (Read(o + "appearance.2da") != "2DA V2.0 appearance before the mod") why += "appearance.2da not restored; ";
    if (Read(g_app + "\\Backup Uninstall\\appearance.2da") != "2DA V2.0 appearance as the mod changed it")
        why += "no displaced appearance.2da in Backup Uninstall; ";
    if (Read(g_app + "\\Backup Uninstall\\original install backup.appearance.2da") !=
        "2DA V2.0 appearance before the mod")
        why += "no safety copy in Backup Uninstall; ";
    if (Exists(g_app + "\\backup\\appearance.2da")) why += "the backup was not moved; ";
    Check("removal-disk", why);
    // The log the GUI saved equals, byte for byte, the console's on the same removal.
    const std::string log = Read(g_app + "\\uninstall\\removal_results.rtf");
    const std::string console = Read(out + "\\console-removal_results.rtf");
    if (!log.empty()) Write(out + "\\gui-removal_results.rtf", log);
    Check("removal-log", log.empty()       ? "no uninstall\\removal_results.rtf"
                         : console.empty() ? "the console saved no removal log"
                         : log != console  ? "the GUI's log differs from the console's (gui-removal_results.rtf)"
                                           : "");
}

// The keyboard with the focus in the information document, and a plain prompt body's weight.
void Keyboard() {
    LayOut(Crlf({"#game=2", "#confirm_message_begin#",
                 "Plain words without any emphasis, written to be read at a regular weight.",
                 "Nothing in these two lines asks for bold letters.", "#confirm_message_end#", "#file_list",
                 "override\\mod_a.tga"}));
    if (!Launch(g_program, "keyboard", kMainTitle)) return Check("document-keyboard", "no main window");
    Sleep(500);
    ClickDocument(kMainTitle);
    const std::string clicked = FocusOf(kMainTitle);
    PressKey(kMainTitle, VK_TAB, false);
    const std::string tabbed = FocusOf(kMainTitle);
    Check("document-tab-to-buttons", clicked.rfind("RichEdit", 0) != 0 && clicked.rfind("RICHEDIT", 0) != 0
                                         ? "a click in the document left the focus at " + clicked
                                     : tabbed != "Orvo_Button \"" + kRemove + "\""
                                         ? "Tab in the document left the focus at " + tabbed
                                         : "");

    const std::string usage = g_app + "\\uninstall\\Zelvane Usage.rtf";
    ClickDocument(kMainTitle);
    PressKey(kMainTitle, 'M', true);
    for (int i = 0; i < 50 && !Exists(usage); ++i) Sleep(200);
    if (WaitAny(kViewers, 10000)) Shot("usage-viewer");
    CloseViewers(3000);
    Check("document-alt-m", Exists(usage) ? "" : "Alt+M in the document wrote no usage guide");

    Wait(kMainTitle, 5000);
    ClickDocument(kMainTitle);
    PressKey(kMainTitle, 'R', true);
    const bool opened = Wait(kConfirm, 10000) != nullptr;
    Check("document-alt-r", opened ? "" : "Alt+R in the document opened no confirmation");
    if (!opened) Click(kMainTitle, kRemove);
    if (Wait(kConfirm, 10000)) {
        Sleep(700);
        Shot("prompt-plain-confirmation");
        Check("confirm-layout", ConfirmLayout(Dump(Wait(kConfirm))));
        const long weight = InkWeight(kConfirm);
        Check("prompt-body-regular-weight",
              weight < 0     ? "the body's pixels could not be read"
              : weight > 180 ? "a body without \\b is drawn bold (stroke " + std::to_string(weight) + "/100 px)"
                             : "");
        Judge(Dump(Wait(kConfirm)));
        Click(kConfirm, "&No");
        WaitGone(kConfirm);
    }
    Close(kMainTitle);
}

// appearance.2da only in a subfolder and "&No" to the file found: the open-file dialog sits
// centred on the screen.
void OpenFileDialog() {
    LayOut(FullDescription());
    fs::rename(g_game + "\\override\\appearance.2da", g_game + "\\override\\sub\\appearance.2da");
    if (!Launch(g_program, "open-file dialog", kMainTitle)) return Check("open-file-dialog-centred", "no main window");
    Click(kMainTitle, kRemove);
    if (!AnswerUntil(*g_program, "Locate appearance.2da",
                     {{kConfirm, "&Yes"},
                      {"Confirm Delete in Subfolder", "&Yes"},
                      {"Confirm Delete", "&Yes"},
                      {"Confirm Restore", "&Yes"},
                      {"Confirm appearance.2da replacement", "&No"}}))
        return Check("open-file-dialog-centred", "no \"Locate appearance.2da\" dialog");
    Sleep(1000);
    HWND dialog = Wait("Locate appearance.2da");
    const Layout d = Dump(dialog);
    Shot("open-file-dialog");
    const long w = d.outer.right - d.outer.left, h = d.outer.bottom - d.outer.top;
    const long sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    Check("open-file-dialog-centred", Near(d.outer.left, (sw - w) / 2) && Near(d.outer.top, (sh - h) / 2)
                                          ? ""
                                          : "the dialog is at " + std::to_string(d.outer.left) + "," +
                                                std::to_string(d.outer.top) + ", not centred");
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    g_program->Stop(3000);
    CloseViewers(1000);
}

// A description that names no game: the game choice, and "&Abort" ends the run.
void GameChoice() {
    LayOut(Crlf({"#game_select=true"}) + FullDescription("; no game named"));
    if (!Launch(g_program, "game choice", kMainTitle)) return Check("game-choice-prompt", "no main window");
    Click(kMainTitle, kRemove);
    if (!AnswerUntil(*g_program, "Choose Game", {{kConfirm, "&Yes"}}))
        return Check("game-choice-prompt", "no \"Choose Game\" prompt");
    Sleep(700);
    Shot("prompt-choose-game");
    const Layout d = Dump(Wait("Choose Game"));
    Judge(d);
    Check("game-choice-prompt", d.Find("Kotor &1") && d.Find("Kotor &2 TSL") && d.Find("&Abort")
                                    ? ""
                                    : "the game choice lacks one of Kotor &1, Kotor &2 TSL, &Abort");
    Click("Choose Game", "&Abort");
    WaitGone("Choose Game");
    for (const char* title : {"Aborting", "Shutting Down"})
        if (Wait(title, 2000) && !Click(title, "OK") && !Click(title, "&OK")) Click(title, "&Ok");
    g_program->Stop(5000);
}

// Without the game's registry entry the folder dialog opens on the folder GOG registered for the
// game, and OK alone lets the run go on there.
void BrowseStart() {
    LayOut(Crlf({"#game=2", "#file_list", "override\\mod_a.tga"}));
    SetRegistry(kGameKey, "Path", "");
    SetRegistry(kGogKey, "path", g_game);
    // Wine's folder dialog finds its way by the folders' times, and a folder read the first time
    // since it changed takes a new access time while the dialog walks: each is read once first.
    for (fs::path folder = g_game; folder.has_relative_path(); folder = folder.parent_path())
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) {
        }
    const std::string title = "Browse for Folder";
    std::string why;
    if (!Launch(g_program, "folder dialog", kMainTitle)) {
        why = "no main window";
    } else {
        Click(kMainTitle, kRemove);
        if (!AnswerUntil(*g_program, title, {{kConfirm, "&Yes"}, {"Error", "&Ok"}})) {
            why = "no \"" + title + "\" dialog";
        } else {
            // Wine selects the folder the dialog opens on as it lists the folders on the way, one
            // level at a time: OK waits until the selection lies as deep as the game folder and
            // has stopped moving. Only OK: the run must go on in the folder the dialog opened on.
            HWND tree = VisibleChild(Wait(title), "SysTreeView32");
            const int folders = static_cast<int>(std::count(g_game.begin(), g_game.end(), '\\')) + 1;
            for (int depth = -1, still = 0, i = 0; tree && i < 600 && (depth < folders || still < 30); ++i) {
                const int now = SelectionDepth(tree);
                still = now == depth ? still + 1 : 0;
                depth = now;
                Sleep(100);
            }
            Shot("browse-for-folder");
            Click(title, "OK");
            WaitGone(title);
            AnswerUntil(*g_program, "never-shown", {});
            if (Exists(g_game + "\\override\\mod_a.tga") || !Exists(g_app + "\\uninstall\\removal_results.rtf"))
                why = "OK in the folder dialog did not remove the mod from " + g_game;
        }
    }
    Check("browse-starts-on-registered-folder", why);
    g_program->Stop(5000);
    CloseViewers(2000);
    SetRegistry(kGogKey, "path", "");
    SetRegistry(kGameKey, "Path", g_game);
}

int Run(const std::string& exe, const std::string& out) {
    g_exe = exe;
    // Wine draws the window frames itself: there is no window manager in Xvfb.
    SetRegistry("Software\\Wine\\X11 Driver", "Managed", "N");
    SetRegistry(kGameKey, "Path", g_game);
    BadGame();
    MissingDescription();
    NoInformationDocument();
    CompleteRemoval(out);
    Keyboard();
    OpenFileDialog();
    GameChoice();
    BrowseStart();
    g_program.reset();
    Check("prompts-inside-work-area", g_outsideWorkArea);
    Check("no-working-copy",
          Program::g_workingCopyLeft.empty() ? "" : "uninstall_data20A.ini left after:" + Program::g_workingCopyLeft);
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (argc == 4 || argc == 3) {
        g_run = std::string(argv[argc - 1]) + (command == "run" ? "\\run" : "");
        g_app = g_run + "\\app";
        g_game = g_run + "\\game";
    }
    if (command == "run" && argc == 4) return Run(argv[2], argv[3]);
    if (command == "layout" && argc == 3) {
        LayOut(FullDescription());
        return 0;
    }
    std::printf("usage: zelvane-gui-driver run ZELVANE_EXE OUT_DIR | layout DIR\n");
    return 2;
}
