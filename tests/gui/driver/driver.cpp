// zelvane-gui-driver: the GUI checks of zelvane.exe, run under Wine beside it on folders it lays out. It prints
// "PASS build/name" or "FAIL build/name: why" per check, "shot NAME" for a screenshot, "N passed, M failed".
//   zelvane-gui-driver run ZELVANE_EXE OUT_DIR   the checks in OUT_DIR\run, the removal log against the console's
//   zelvane-gui-driver layout DIR                lays out the complete removal's folders in DIR
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

const std::string kMainTitle = "Zelvane - Version: 1.0.151";
const std::string kRemove = "&Remove Mod";
const std::string kModders = "For &Modders - How To Use This Program In Your Own Mods";
const std::string kNotice = "INI Errors Encountered - Mod Removal Disabled until INI is fixed.";
const std::string kNoRtf = "Uninstall_Info.rtf Was NOT FOUND";
const std::string kConfirm = "Confirm Remove Mod";
const Strings kViewers = {"*Wordpad*", "*WordPad*", "*Error running*"};
const Strings kUnexpected = {"Oops!", "Aborting", "Error", "Hmm", "Shutting Down", "Choose Game"};
const std::map<std::string, std::string> kYesToAll = {
    {kConfirm, "&Yes"},          {"Confirm Delete in Subfolder", "&Yes"},        {"Confirm Delete", "&Yes"},
    {"Confirm Restore", "&Yes"}, {"Confirm appearance.2da replacement", "&Yes"}, {"VERY IMPORTANT!!!", "&Ok"}};
const char* const kBuild = sizeof(void*) == 8 ? "x86_64" : "i686";
constexpr UINT kTimeoutMs = 2000;  // for a message to another process

int g_passed = 0, g_failed = 0;
std::string g_run, g_app, g_game, g_exe;
std::string g_clipped;  // the prompts whose body AnswerAll found too low for its lines
PROCESS_INFORMATION g_process{};

void Check(const std::string& name, const std::string& why) {
    std::printf("%s %s/%s%s%s\n", why.empty() ? "PASS" : "FAIL", kBuild, name.c_str(), why.empty() ? "" : ": ",
                why.c_str());
    ++(why.empty() ? g_passed : g_failed);
}

std::string ClassOf(HWND window) {
    char buffer[256] = {};
    return {buffer, static_cast<std::size_t>(GetClassNameA(window, buffer, sizeof buffer))};
}

std::string TitleOf(HWND window) {
    char buffer[1024] = {};
    return {buffer, static_cast<std::size_t>(GetWindowTextA(window, buffer, sizeof buffer))};
}

// The text as the window itself answers it (controls that keep their text privately answer too).
std::string TextOf(HWND window) {
    char buffer[4096] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                        kTimeoutMs, &copied);
    return copied ? std::string(buffer, copied) : TitleOf(window);
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> windows;
    if (parent) EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The child of WINDOW whose text is TEXT, or the first visible one whose class begins with TEXT.
HWND Child(HWND window, const std::string& text, bool byClass = false) {
    for (HWND child : Children(window))
        if (byClass ? IsWindowVisible(child) && ClassOf(child).rfind(text, 0) == 0 : TextOf(child) == text)
            return child;
    return nullptr;
}
bool Shown(HWND window) { return window && IsWindowVisible(window); }
bool Enabled(HWND window) { return window && IsWindowEnabled(window); }

// The window's rectangle in the client pixels of PARENT (the screen's without).
RECT RectOf(HWND window, HWND parent = HWND_DESKTOP) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A title matches exactly, or "*abc*" titles containing abc.
bool TitleMatches(const std::string& pattern, const std::string& title) {
    if (pattern.size() < 2 || pattern.front() != '*') return pattern == title;
    return title.find(pattern.substr(1, pattern.size() - 2)) != std::string::npos;
}

HWND FindWindowLike(const Strings& patterns) {
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (const std::string& pattern : patterns)
        for (HWND window : windows)
            if (IsWindowVisible(window) && TitleMatches(pattern, TitleOf(window))) return window;
    return nullptr;
}

HWND Wait(const Strings& patterns, DWORD ms = 15000) {
    for (const DWORD start = GetTickCount();; Sleep(100)) {
        if (HWND window = FindWindowLike(patterns)) return window;
        if (GetTickCount() - start >= ms) return nullptr;
    }
}

bool WaitGone(const std::string& title, DWORD ms = 10000) {
    for (const DWORD start = GetTickCount(); FindWindowLike({title}); Sleep(100))
        if (GetTickCount() - start >= ms) return false;
    return true;
}

// Finds the window TITLE, presses its first enabled button captioned one of CAPTIONS (posted, as
// the press may open a prompt that returns late) and, with WAIT, waits until the window has gone.
bool Press(const std::string& title, const Strings& captions, bool wait = true) {
    HWND window = Wait({title}, 5000);
    for (const std::string& caption : captions)
        for (HWND child : Children(window))
            if (ClassOf(child).ends_with("Button") && TextOf(child) == caption && IsWindowEnabled(child)) {
                PostMessageA(GetParent(child), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                             reinterpret_cast<LPARAM>(child));
                return !wait || WaitGone(title);
            }
    return false;
}

void CloseViewers(DWORD ms) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < ms;) {
        HWND viewer = FindWindowLike(kViewers);
        if (viewer && !Press(TitleOf(viewer), {"OK"}, false)) PostMessageA(viewer, WM_CLOSE, 0, 0);
        Sleep(viewer ? 300 : 100);
    }
}

// Keys pressed together in the main window, brought to the front, optionally after a real left click 40 pixels into
// the information document (which gives the document the focus); then the class and text of the focused window.
std::string Keys(const std::vector<WORD>& keys, bool clickDocument = true) {
    HWND window = Wait({kMainTitle}, 5000);
    HWND document = Child(window, "RichEdit", true);
    SetForegroundWindow(window);
    Sleep(200);
    if (clickDocument && document) {
        const RECT r = RectOf(document);
        SetCursorPos(r.left + 40, r.top + 40);
        Sleep(100);
        mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
        Sleep(50);
        mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
        Sleep(500);
    }
    for (WORD vk : keys) keybd_event(static_cast<BYTE>(vk), static_cast<BYTE>(MapVirtualKeyA(vk, 0)), 0, 0);
    for (auto vk = keys.rbegin(); vk != keys.rend(); ++vk)
        keybd_event(static_cast<BYTE>(*vk), static_cast<BYTE>(MapVirtualKeyA(*vk, 0)), KEYEVENTF_KEYUP, 0);
    Sleep(300);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return ClassOf(info.hwndFocus) + " \"" + TextOf(info.hwndFocus) + "\"";
}

// A screenshot of the whole screen, taken by the harness (from the X side, where Wine's windows are whole).
void Shot(const std::string& name) {
    Sleep(500);
    std::printf("shot %s\n", name.c_str());
    Sleep(1500);
}

// Grey levels (in steps of 16) of the 32-pixel icon at the left of a button's face, as the screen shows it.
int IconGreyLevels(HWND button) {
    const RECT r = RectOf(button);
    const int width = r.right - r.left, height = r.bottom - r.top, top = (height - 32) / 2;
    if (width < 48 || height < 36) return -1;
    HDC screen = GetDC(nullptr);
    const auto at = [&](int x, int y) { return GetPixel(screen, r.left + x, r.top + y); };
    const COLORREF face = at(width / 2, 3);
    int left = -1;
    for (int x = 4; x < width - 4 && left < 0; ++x)
        for (int y = top; y < top + 32 && left < 0; ++y)
            if (at(x, y) != face) left = x;
    bool levels[16] = {};
    for (int y = top; y < top + 32 && left >= 0; ++y)
        for (int x = left; x < left + 32 && x < width; ++x)
            if (const COLORREF c = at(x, y); c != face)
                levels[(299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c)) / 16000] = true;
    ReleaseDC(nullptr, screen);
    return static_cast<int>(std::count(std::begin(levels), std::end(levels), true));
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// LINES with each "\n" (and the last line) ended by "\r\n", as the descriptions are written.
std::string Crlf(const std::string& lines) {
    std::string text;
    for (char c : lines + "\n") text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return text;
}

// A file list with a subfolder hit and a missing entry, a queued delete, a queued restore of an
// .original file, a 2da restore and explicit instructions: every phase of a run.
std::string FullDescription() {
    return Crlf(
        "#game=2\n#confirm_message_beep=0\n#confirm_message_begin#\nThis removes the \\b GUI Test Robes\\b0 .\n"
        "Do you wish to continue?\n#confirm_message_end#\n#qdelete_file_0=override\\qd_item.uti\n"
        "#qdelete_file_begin_0#\nDelete the changed \\b qd_item.uti\\b0 ?\n#qdelete_file_end_0#\n"
        "#qrestore_file_0=override\\restore_me.2da\n#qrestore_file_begin_0#\n"
        "Give \\b restore_me.2da\\b0  its original back?\n#qrestore_file_end_0#\n#qrestore_2da=true\n"
        "#qrestore_2da_files=appearance.2da,feat.2da\n#explicit_instructions_begin#\n"
        "Now \\cf10 reinstall\\cf1  anything that changed \\b appearance.2da\\b0  after this mod.\n"
        "#explicit_instructions_end#\n#file_list\n; installed files\noverride\\mod_a.tga\n"
        "override\\mod_b.uti\noverride\\mod_c.tga\noverride\\never_there.tga");
}

// Ends the program, by its process id when it does not end by itself within MS.
void Stop(DWORD ms = 2000) {
    if (!g_process.hProcess) return;
    if (WaitForSingleObject(g_process.hProcess, ms) == WAIT_TIMEOUT) {
        TerminateProcess(g_process.hProcess, 1);
        WaitForSingleObject(g_process.hProcess, 5000);
    }
    CloseHandle(g_process.hProcess);
    CloseHandle(g_process.hThread);
    g_process = {};
}

// Fresh game and program folders, always at the same place; DESCRIPTION empty leaves it out.
void LayOut(const std::string& description, bool information = true) {
    Stop();
    // A viewer the program opened may still hold its log open.
    std::error_code busy;
    for (int i = 0; i < 20 && (fs::remove_all(g_run, busy), busy); ++i) CloseViewers(500);
    for (const char* folder : {"\\override\\sub", "\\Movies"}) fs::create_directories(g_game + folder);
    for (const char* folder : {"\\uninstall", "\\backup"}) fs::create_directories(g_app + folder);
    Write(g_game + "\\dialog.tlk", std::string("TLK V3.0\0\0\0\0synthetic talk table", 32));
    for (const std::string name : {"mod_a.tga", "mod_b.uti", "sub\\mod_c.tga", "qd_item.uti", "restore_me.2da",
                                   "restore_me.2da.original", "appearance.2da"})
        Write(g_game + "\\override\\" + name, "2DA V2.0 the game's " + name);
    Write(g_app + "\\backup\\appearance.2da", "2DA V2.0 appearance before the mod");
    if (!description.empty()) Write(g_app + "\\uninstall\\uninstall_data.ini", description);
    if (information)
        Write(g_app + "\\uninstall\\uninstall_info.rtf",
              "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs28 \\b GUI Test Robes\\b0\\par\r\n"
              "This mod adds robes. Visit http://example.invalid/robes for help.\\par\r\n}");
    if (!g_exe.empty()) fs::copy_file(g_exe, g_app + "\\zelvane.exe");
}

// Starts the program from its folder and waits (long: Wine starts slowly on a loaded machine) for its window TITLE.
HWND Launch(const std::string& title) {
    Stop();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + g_app + "\\zelvane.exe\"";
    CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, g_app.c_str(), &startup, &g_process);
    HWND window = Wait({title}, 90000);
    Sleep(700);
    return window;
}

// Answers prompts by title until the window STOP comes (true), the program ends or two minutes pass. A
// prompt whose body is lower than its display lines need (about 17 px a line at 12 points) goes to g_clipped.
bool AnswerAll(const std::map<std::string, std::string>& answers, const std::string& stop = "") {
    Strings titles = stop.empty() ? Strings{} : Strings{stop};
    for (const auto& [title, caption] : answers) titles.push_back(title);
    for (const Strings& more : {kUnexpected, kViewers}) titles.insert(titles.end(), more.begin(), more.end());
    bool viewerSeen = false;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 120000;) {
        HWND window = Wait(titles, 3000);
        if (!window) {
            // The run is over when the program has ended, or has shown its log and left the main window.
            if (WaitForSingleObject(g_process.hProcess, 0) != WAIT_TIMEOUT ||
                (viewerSeen && !FindWindowLike({kMainTitle})))
                return false;
            continue;
        }
        const std::string title = TitleOf(window);
        if (title == stop) return true;
        if (FindWindowLike(kViewers) == window) {
            viewerSeen = true;
            CloseViewers(1500);
            continue;
        }
        Sleep(700);
        HWND body = Child(window, "RichEdit", true);
        const RECT b = RectOf(body);
        DWORD_PTR lines = 0;
        if (body && SendMessageTimeoutA(body, EM_GETLINECOUNT, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &lines) &&
            b.bottom - b.top < static_cast<long>(lines) * 14)
            g_clipped +=
                title + ": " + std::to_string(lines) + " lines in a " + std::to_string(b.bottom - b.top) + " px body; ";
        const auto answer = answers.find(title);
        if (!Press(title, {answer != answers.end() ? answer->second : "OK", "OK", "&Ok"})) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            WaitGone(title);
        }
    }
    return false;
}

int Px(int twips) { return (twips * 2 + 15) / 30; }  // pixels of twips at 96 dpi
bool Near(long a, long b, long slack = 1) { return a - b <= slack && b - a <= slack; }

// The main window after start-up. With a description it cannot use: after the box that says so, in
// the INI-error state, whose disabled "Remove Mod" shows its icon in greys rather than as one flat
// shape. Without the information document: 4245 twips high, with its notice. Else ready to remove.
void StartUp() {
    const struct {
        const char* check;  // also the name of its screenshot
        std::string description;
        const char* box;  // the box before the main window, and a text it shows
        std::string text;
        bool information, iniError;
    } starts[] = {{"oops-box", Crlf("#game=abc") + FullDescription(), "Oops!", "Form Load", true, true},
                  {"aborting-box", "", "Aborting",
                   "The uninstall_data.ini file was not found.\r\nCannot continue without it.", true, true},
                  {"main-without-info", FullDescription(), nullptr, "", false, false},
                  {"main-window", FullDescription(), nullptr, "", true, false}};
    for (const auto& s : starts) {
        LayOut(s.description, s.information);
        const std::string title = s.box ? "Zelvane" : kMainTitle;
        HWND box = s.box ? Launch(s.box) : nullptr, main = box ? nullptr : Launch(title);
        std::string text;
        for (HWND child : Children(box)) text += ClassOf(child) == "Static" ? TextOf(child) : "";
        Shot(s.check);
        if (box && Press(s.box, {"OK"})) main = Wait({title});
        Sleep(1000);
        HWND remove = Child(main, kRemove);
        const RECT r = RectOf(main);
        Check(s.check, s.box && text.find(s.text) == std::string::npos ? "the box says: " + text
                       : !main                                         ? "no main window titled \"" + title + "\""
                       : Shown(Child(main, kNotice)) != s.iniError     ? "the INI-error notice is wrong"
                       : Enabled(remove) == s.iniError                 ? "Remove Mod is wrongly enabled or disabled"
                       : !Enabled(Child(main, kModders))               ? "For Modders is disabled"
                       : Shown(Child(main, kNoRtf)) == s.information   ? "the \"" + kNoRtf + "\" label is wrong"
                       : !s.information && !Near(r.bottom - r.top, Px(4245), 0)
                           ? "the window is " + std::to_string(r.bottom - r.top) + " px high, not 4245 twips"
                       : s.iniError && IconGreyLevels(remove) < 4 ? "the disabled icon shows fewer than 4 grey levels"
                                                                  : "");
        PostMessageA(main, WM_CLOSE, 0, 0);
    }
}

// The confirmation laid out by the prompt arithmetic (twips, 15 to a pixel): body at (900, 195);
// buttons 1000 x 380, 240 apart, centred, their top 120 below the body; the dialog 500 below the
// buttons' bottom and 300 right of the body.
std::string ConfirmLayout(HWND prompt) {
    HWND body = Child(prompt, "RichEdit", true);
    const RECT d = RectOf(prompt), b = RectOf(body, prompt), yes = RectOf(Child(prompt, "&Yes"), prompt),
               no = RectOf(Child(prompt, "&No"), prompt);
    const long w = yes.right - yes.left, dw = d.right - d.left;
    const int top = 195 + static_cast<int>(b.bottom - b.top) * 15 + 120;
    const struct {
        const char* what;
        long got, want, slack;
    } measures[] = {{"body left", b.left, Px(900), 1},
                    {"body top", b.top, Px(195), 1},
                    {"button top", yes.top, Px(top), 1},
                    {"&No top", no.top, yes.top, 0},
                    {"button width", w, Px(1000), 1},
                    {"&No width", no.right - no.left, w, 0},
                    {"button height", yes.bottom - yes.top, Px(380), 1},
                    {"gap", no.left - yes.right, Px(240), 1},
                    {"first button", yes.left, Px((static_cast<int>(dw) * 15 - 2240) / 2), 2},
                    {"dialog height", d.bottom - d.top, Px(top + 415 + 500), 1},
                    {"dialog width", dw, Px(900 + static_cast<int>(b.right - b.left) * 15 + 300), 2}};
    std::string why;
    for (const auto& m : measures)
        if (!Near(m.got, m.want, m.slack))
            why += std::string(m.what) + " " + std::to_string(m.got) + ", expected " + std::to_string(m.want) + "; ";
    return why;
}

// The main window's keyboard: Tab from the information document and between the buttons, both ways,
// and the Alt+letters with the focus in the document; then the confirmation's layout and the complete
// removal, whose log must equal the console's.
void KeyboardAndRemoval(const std::string& out) {
    LayOut(FullDescription());
    Launch(kMainTitle);
    Sleep(500);
    const std::string remove = "Orvo_Button \"" + kRemove + "\"", modders = "Orvo_Button \"" + kModders + "\"";
    const struct {
        bool clickDocument;
        std::vector<WORD> keys;
        std::string focus;
    } steps[] = {{true, {}, "RichEdit"},    {false, {VK_TAB}, remove},           {false, {VK_TAB}, modders},
                 {false, {VK_TAB}, remove}, {true, {VK_SHIFT, VK_TAB}, modders}, {false, {VK_SHIFT, VK_TAB}, remove}};
    std::string why;
    for (const auto& step : steps) {
        const std::string focus = Keys(step.keys, step.clickDocument);
        if (focus.rfind(step.focus, 0) != 0 && why.empty()) why = "the focus went to " + focus + ", not " + step.focus;
    }
    Check("main-tab-order", why);

    const std::string usage = g_app + "\\uninstall\\Zelvane Usage.rtf";
    Keys({VK_MENU, 'M'});
    if (Wait(kViewers, 10000)) Shot("usage-viewer");
    CloseViewers(3000);
    Check("document-alt-m", fs::exists(usage) ? "" : "Alt+M in the document wrote no usage guide");

    Keys({VK_MENU, 'R'});
    HWND prompt = Wait({kConfirm}, 10000);
    Check("document-alt-r", prompt ? "" : "Alt+R in the document opened no confirmation");
    if (!prompt) Press(kMainTitle, {kRemove}, false);
    if ((prompt = Wait({kConfirm}, 10000))) {
        Sleep(700);
        Shot("prompt-confirm-remove-mod");
        Check("confirm-layout", ConfirmLayout(prompt));
    }
    AnswerAll(kYesToAll);
    Stop(20000);
    CloseViewers(3000);
    Check("prompt-text-visible", g_clipped);
    const std::string log = Read(g_app + "\\uninstall\\removal_results.rtf");
    Check("removal-log",
          log.empty() || log != Read(out + "\\console-removal_results.rtf")
              ? "the GUI's run\\app\\uninstall\\removal_results.rtf is missing or differs from the console's"
              : "");
}

// Wine's reg.exe on HKEY_LOCAL_MACHINE\Software, in the 32-bit view the program reads.
void Reg(const std::string& command, const std::string& key, const std::string& value) {
    std::system(("reg " + command + " HKLM\\Software\\" + key + " " + value + " /f /reg:32 >nul").c_str());
}

// Without the game's registry entry the folder dialog opens on the folder GOG registered for the game, and
// OK alone lets the run go on there (the mod's files go). With appearance.2da only in a subfolder of
// override and "&No" to the file found, the open-file dialog that asks for it sits centred on the screen.
// The last checks of a run: the registry stays as they leave it, as the harness makes a new prefix each run.
void Dialogs() {
    LayOut(FullDescription());
    fs::rename(g_game + "\\override\\appearance.2da", g_game + "\\override\\sub\\appearance.2da");
    Reg("delete", "LucasArts\\KotOR2", "/v Path");
    Reg("add", "GOG.com\\Games\\1421404581", "/v path /d \"" + g_game + "\"");
    // Wine's folder dialog finds its way by the folders' times, and a folder read the first time since it
    // changed takes a new access time while the dialog walks: each is read once first.
    for (fs::path folder = g_game; folder.has_relative_path(); folder = folder.parent_path())
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) {
        }
    const std::string browse = "Browse for Folder", locate = "Locate appearance.2da";
    const bool shown = Launch(kMainTitle) && Press(kMainTitle, {kRemove}, false) && AnswerAll(kYesToAll, browse);
    // Wine selects the folder the dialog opens on as it lists the folders on the way, one level at a time:
    // OK waits until the selection lies as deep as the game folder and has stopped moving.
    HWND tree = shown ? Child(Wait({browse}), "SysTreeView32", true) : nullptr;
    const int folders = static_cast<int>(std::count(g_game.begin(), g_game.end(), '\\')) + 1;
    for (int depth = -1, still = 0, i = 0; tree && i < 600 && (depth < folders || still < 30); ++i, Sleep(100)) {
        int now = 0;  // how deep the selected item lies
        DWORD_PTR item = 0;
        SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &item);
        while (item != 0 && SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_PARENT, static_cast<LPARAM>(item),
                                                SMTO_ABORTIFHUNG, kTimeoutMs, &item))
            ++now;
        still = now == depth ? still + 1 : 0;
        depth = now;
    }
    Shot("browse-for-folder");
    auto answers = kYesToAll;
    answers["Confirm appearance.2da replacement"] = "&No";
    HWND dialog = shown && Press(browse, {"OK"}) && AnswerAll(answers, locate) ? Wait({locate}) : nullptr;
    Check("browse-starts-on-registered-folder", !shown ? "no \"" + browse + "\" dialog"
                                                : fs::exists(g_game + "\\override\\mod_a.tga")
                                                    ? "OK in the folder dialog did not remove the mod from " + g_game
                                                    : "");
    Shot("open-file-dialog");
    const RECT d = RectOf(dialog);
    const long x = (GetSystemMetrics(SM_CXSCREEN) - (d.right - d.left)) / 2;
    const long y = (GetSystemMetrics(SM_CYSCREEN) - (d.bottom - d.top)) / 2;
    Check("open-file-dialog-centred",
          !dialog ? "no \"" + locate + "\" dialog"
          : Near(d.left, x) && Near(d.top, y)
              ? ""
              : "the dialog is at " + std::to_string(d.left) + "," + std::to_string(d.top) + ", not centred");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (!(command == "run" && argc == 4) && !(command == "layout" && argc == 3)) {
        std::printf("usage: zelvane-gui-driver run ZELVANE_EXE OUT_DIR | layout DIR\n");
        return 2;
    }
    g_run = std::string(argv[argc - 1]) + (command == "run" ? "\\run" : "");
    g_app = g_run + "\\app";
    g_game = g_run + "\\game";
    if (command != "run") {
        LayOut(FullDescription());
        return 0;
    }
    g_exe = argv[2];
    std::setvbuf(stdout, nullptr, _IONBF, 0);  // each line reaches the harness as it is printed
    StartUp();
    KeyboardAndRemoval(argv[3]);
    Dialogs();
    Stop();
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
