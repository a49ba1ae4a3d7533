// Checks of the Windows seams and window plumbing, run under Wine (or Windows) as a console
// program: prints "PASS name" / "FAIL name: detail" and a closing "N passed, M failed".

#include <windows.h>
#include <richedit.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>

#include "app/win32/document_links.hpp"
#include "app/win32/win32_ui.hpp"
#include "platform/seams/read_limits.hpp"
#include "platform/win32/win32_errors.hpp"
#include "platform/win32/win32_file_system.hpp"
#include "platform/win32/win32_instance_check.hpp"
#include "platform/win32/win32_registry.hpp"
#include "prompts/win32/msgbox_ex.hpp"
#include "prompts/win32/rich_edit.hpp"
#include "util/win32/browse_folder_dialog.hpp"
#include "widgets/button_properties.hpp"
#include "widgets/win32/message_pump.hpp"
#include "widgets/win32/open_file_dialog.hpp"
#include "widgets/win32/orvo_button.hpp"
#include "widgets/win32/window_hook.hpp"

namespace {

using namespace zelvane;
using namespace zelvane::win32;

int g_passed = 0;
int g_failed = 0;

void Check(bool ok, const std::string& name, const std::string& detail = {}) {
    if (ok) {
        std::printf("PASS %s\n", name.c_str());
        ++g_passed;
    } else {
        std::printf("FAIL %s: %s\n", name.c_str(), detail.empty() ? "condition false" : detail.c_str());
        ++g_failed;
    }
}

std::string TempFolder() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    std::string folder = std::string(base) + "zelvane-win32-tests-" + std::to_string(GetCurrentProcessId()) + "-" +
                         std::to_string(GetTickCount());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void FileSystemChecks() {
    Win32FileSystem fs;
    const std::string dir = TempFolder();
    const std::string a = dir + "\\a.txt";
    const std::string b = dir + "\\b.txt";

    Check(fs.WriteAll(a, std::string("one\r\ntwo\0three", 15)) == FsStatus::Ok, "fs write");
    std::string bytes;
    Check(fs.ReadAll(a, bytes, kTableLimit) == FsStatus::Ok && bytes == std::string("one\r\ntwo\0three", 15),
          "fs read back bytes");
    Check(fs.WriteAll(a, "x") == FsStatus::Ok && fs.ReadAll(a, bytes, kTableLimit) == FsStatus::Ok && bytes == "x",
          "fs write replaces a longer file whole");
    Check(fs.WriteAll(b, "b") == FsStatus::Ok, "fs write second");
    Check(fs.Rename(a, b) == FsStatus::AlreadyExists, "fs rename never overwrites");
    Check(fs.ReadAll(b, bytes, kTableLimit) == FsStatus::Ok && bytes == "b", "fs rename left the target alone");
    Check(fs.Rename(dir + "\\missing.txt", dir + "\\c.txt") == FsStatus::FileNotFound, "fs rename missing source");
    Check(fs.Copy(a, b) == FsStatus::Ok && fs.ReadAll(b, bytes, kTableLimit) == FsStatus::Ok && bytes == "x",
          "fs copy replaces a writable target");

    Attributes readOnly;
    readOnly.readOnly = true;
    Check(fs.SetAttributes(b, readOnly) == FsStatus::Ok, "fs set read-only");
    Attributes got;
    Check(fs.GetAttributes(b, got) == FsStatus::Ok && got.readOnly && !got.directory, "fs read-only reported");
    Check(fs.Delete(b) == FsStatus::AccessDenied, "fs delete of a read-only file is refused");
    Check(fs.WriteAll(b, "y") == FsStatus::AccessDenied, "fs write onto a read-only file is refused");
    Check(fs.Copy(a, b) == FsStatus::AccessDenied, "fs copy onto a read-only file is refused");
    Check(fs.SetAttributes(b, Attributes{}) == FsStatus::Ok && fs.Delete(b) == FsStatus::Ok,
          "fs delete after clearing attributes");
    // A copy of a read-only file is made (and flushed) under a temporary name; none is left.
    Check(fs.SetAttributes(a, readOnly) == FsStatus::Ok && fs.Copy(a, b) == FsStatus::Ok &&
              fs.ReadAll(b, bytes, kTableLimit) == FsStatus::Ok && bytes == "x" &&
              fs.GetAttributes(b, got) == FsStatus::Ok && got.readOnly,
          "fs copy of a read-only file keeps its attributes");
    Check(!fs.List(dir + "\\~zelvane-copy-*.tmp") || !fs.List(dir + "\\~zelvane-copy-*.tmp")->Next(),
          "fs copy leaves no temporary file");
    Check(fs.Copy(dir + "\\missing.txt", dir + "\\c.txt") == FsStatus::FileNotFound &&
              fs.GetAttributes(dir + "\\c.txt", got) == FsStatus::FileNotFound &&
              (!fs.List(dir + "\\~zelvane-copy-*.tmp") || !fs.List(dir + "\\~zelvane-copy-*.tmp")->Next()),
          "fs failed copy leaves no target and no temporary file");
    fs.SetAttributes(a, Attributes{});
    fs.SetAttributes(b, Attributes{});
    fs.Delete(b);

    Attributes hidden;
    hidden.hidden = true;
    Check(fs.SetAttributes(a, hidden) == FsStatus::Ok && fs.WriteAll(a, "hidden") == FsStatus::Ok,
          "fs write replaces a hidden file");
    fs.SetAttributes(a, Attributes{});

    Check(fs.GetAttributes(dir + "\\nothing.txt", got) == FsStatus::FileNotFound, "fs missing file");
    Check(fs.GetAttributes(dir + "\\no folder\\x.txt", got) == FsStatus::PathNotFound, "fs missing folder");
    Check(fs.OpenForRead(dir) != FsStatus::Ok, "fs a folder cannot be opened for reading");
    Check(fs.OpenForRead(a) == FsStatus::Ok, "fs open for read");
    Check(fs.ReadAll(std::string("a\0b", 3), bytes, kTableLimit) == FsStatus::BadName, "fs embedded NUL is a bad name");

    // Reads take only files on a disk, within the limit of their kind; a header alone whatever the size.
    std::uint64_t size = 0;
    Check(fs.WriteAll(a, "TLK V3.0 and more") == FsStatus::Ok && fs.FileSize(a, size) == FsStatus::Ok && size == 17,
          "fs size of a file");
    Check(fs.ReadAll(a, bytes, 16) == FsStatus::TooLarge && fs.ReadAll(a, bytes, 17) == FsStatus::Ok,
          "fs a file larger than the limit is not read");
    Check(fs.ReadHead(a, bytes, 8) == FsStatus::Ok && bytes == "TLK V3.0", "fs the head of a file");
    Check(fs.OpenForRead(dir + "\\NUL") == FsStatus::NotRegularFile &&
              fs.ReadAll(dir + "\\NUL", bytes, kTableLimit) == FsStatus::NotRegularFile,
          "fs a device is no file to read");
    Check(fs.CanCreateFileIn(dir) == FsStatus::Ok &&
              fs.CanCreateFileIn(dir + "\\no folder") == FsStatus::PathNotFound &&
              fs.CanCreateFileIn(a) == FsStatus::PathNotFound,
          "fs a folder that takes a new file");
    // A file written again is a new one: another name of the old one keeps its bytes.
    const std::string linked = dir + "\\linked.txt";
    if (CreateHardLinkA(linked.c_str(), a.c_str(), nullptr)) {
        Check(fs.WriteAll(a, "new") == FsStatus::Ok && fs.ReadAll(linked, bytes, kTableLimit) == FsStatus::Ok &&
                  bytes == "TLK V3.0 and more",
              "fs a write replaces the file and leaves its hard link alone");
        DeleteFileA(linked.c_str());
    }

    const std::string sub = dir + "\\Sub Folder";
    Check(fs.CreateFolder(sub) == FsStatus::Ok, "fs create folder");
    Check(fs.CreateFolder(sub) == FsStatus::AlreadyExists, "fs create existing folder");
    fs.WriteAll(sub + "\\one.2da", "1");
    fs.WriteAll(sub + "\\two.2DA", "2");
    fs.WriteAll(sub + "\\three.txt", "3");
    int count = 0;
    bool sawDots = false;
    if (auto listing = fs.List(sub + "\\*.2da")) {
        while (auto entry = listing->Next()) {
            ++count;
            sawDots = sawDots || entry->name == "." || entry->name == "..";
        }
    }
    Check(count == 2, "fs list matches case-insensitively", std::to_string(count) + " entries");
    count = 0;
    if (auto listing = fs.List(sub + "\\*.*")) {
        while (auto entry = listing->Next()) {
            ++count;
            sawDots = sawDots || entry->name == "." || entry->name == "..";
        }
    }
    Check(count == 3 && !sawDots, "fs list of everything leaves out . and ..", std::to_string(count) + " entries");
    auto none = fs.List(sub + "\\*.bif");
    Check(none != nullptr && !none->Next(), "fs list without a match is an empty listing");
    Check(fs.List(dir + "\\absent\\*.*") == nullptr, "fs list of a missing folder fails");

    const std::string shortPath = fs.ShortPath(sub + "\\one.2da");
    Check(!shortPath.empty() && fs.OpenForRead(shortPath) == FsStatus::Ok, "fs short path names the file", shortPath);
    Check(fs.ShortPath(sub + "\\nope.2da").empty(), "fs short path of a missing file is empty");
    Check(FsStatusFromWin32(ERROR_NOT_SAME_DEVICE) == FsStatus::NotSameDevice &&
              FsStatusFromWin32(ERROR_SHARING_VIOLATION) == FsStatus::SharingViolation &&
              FsStatusFromWin32(ERROR_DISK_FULL) == FsStatus::DiskFull &&
              FsStatusFromWin32(ERROR_WRITE_PROTECT) == FsStatus::WriteProtected &&
              FsStatusFromWin32(ERROR_INVALID_NAME) == FsStatus::BadName &&
              FsStatusFromWin32(ERROR_GEN_FAILURE) == FsStatus::IoError,
          "fs error mapping");
}

void RegistryChecks() {
    Win32Registry registry;
    constexpr std::uint32_t kHkcu = 0x80000001u;
    const char* keyPath = "Software\\ZelvaneWin32Tests";
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY, nullptr, &key, nullptr);
    const char path[] = "C:\\Games\\Kotor";
    RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), sizeof path);
    RegSetValueExA(key, "Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(path), sizeof path);
    RegSetValueExA(key, "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), sizeof path - 1);
    RegCloseKey(key);

    auto value = registry.Query(kHkcu, keyPath, "Path");
    Check(value && value->type == kRegSz && value->data == std::string(path, sizeof path),
          "registry string with its terminating NUL");
    value = registry.Query(kHkcu, keyPath, "Expand");
    Check(value && value->type == kRegExpandSz, "registry expandable string keeps its type");
    value = registry.Query(kHkcu, keyPath, "Bare");
    Check(value && value->data.rfind(std::string(path, sizeof path - 1), 0) == 0 && value->data.size() <= sizeof path,
          "registry string stored without NUL", value ? std::to_string(value->data.size()) + " bytes" : "none");
    Check(!registry.Query(kHkcu, keyPath, "Missing"), "registry missing value");
    Check(!registry.Query(kHkcu, "Software\\ZelvaneNoSuchKey", "Path"), "registry missing key");
    RegDeleteKeyA(HKEY_CURRENT_USER, keyPath);
}

void InstanceChecks() {
    const std::string name = InstanceMutexName("C:\\Games\\Zelvane\\ZELVANE.exe");
    Check(name == "Local\\Zelvane.c:/games/zelvane/zelvane.exe", "instance mutex name", name);
    Win32InstanceCheck first;
    Win32InstanceCheck second;
    Check(!first.AnotherInstanceRunning(), "instance first is alone");
    Check(second.AnotherInstanceRunning(), "instance second sees the first");
}

void BrowseTitleChecks() {
    Check(PaddedBrowseTitle("Find Kotor main folder").size() == 80 &&
              PaddedBrowseTitle("Find Kotor main folder").rfind("Find Kotor main folder", 0) == 0,
          "browse title padded to 80");
    Check(PaddedBrowseTitle("x") == "x", "browse title of one character unchanged");
    Check(PaddedBrowseTitle(std::string(81, 'a')).size() == 81, "browse title over 80 unchanged");
}

// A parent window that records what reaches it.
struct ParentLog {
    int keyDowns = 0;
    int sysKeyDowns = 0;
    int clicks = 0;
    int lastClickedId = 0;
    RECT requested{};  // the last size a rich edit asked for
};
ParentLog g_log;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN: ++g_log.keyDowns; return 0;
        case WM_SYSKEYDOWN: ++g_log.sysKeyDowns; return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                ++g_log.clicks;
                g_log.lastClickedId = LOWORD(wParam);
            }
            return 0;
        case WM_NOTIFY: GetRequestHeightFromNM(wParam, lParam, g_log.requested); return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND MakeParent() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ZelvaneTestParent";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "ZelvaneTestParent", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

void HookChecks(HWND parent) {
    HWND label = CreateWindowExA(0, "STATIC", "x", WS_CHILD, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
    Check(!UnhookWindow(label), "unhook of a window never hooked");
    Check(HookWindow(label, InertRichEditProc), "hook");
    const auto installed = GetWindowLongPtrA(label, GWLP_WNDPROC);
    Check(HookWindow(label, InertRichEditProc) && GetWindowLongPtrA(label, GWLP_WNDPROC) == installed,
          "hooking twice keeps the first hook");
    Check(GetPropA(label, kOldWndProcProperty) != nullptr, "hook keeps OldWndProc");
    g_log = {};
    SendMessageA(label, WM_KEYDOWN, 'A', 0);
    SendMessageA(label, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(label, WM_SYSKEYDOWN, 'N', 1 << 29);
    Check(g_log.keyDowns == 1 && g_log.sysKeyDowns == 1, "key filter hands keys but Space to the parent");
    Check(UnhookWindow(label) && GetPropA(label, kOldWndProcProperty) == nullptr, "unhook removes the property");
    Check(!IsRichEditClass(label), "a static is no rich edit");
    DestroyWindow(label);
}

void ButtonChecks(HWND parent) {
    OrvoButtonProperties properties = PromptButtonProperties();
    properties.Caption = "&Yes";
    const RECT r{10, 10, 97, 35};
    HWND button = CreateOrvoButton(parent, 321, r, properties);
    char className[64] = {};
    GetClassNameA(button, className, sizeof className);
    Check(button != nullptr && std::string(className) == "Orvo_Button", "button class name");
    char text[64] = {};
    GetWindowTextA(button, text, sizeof text);
    Check(std::string(text) == "&Yes", "button window text is the caption");
    g_log = {};
    SendMessageA(button, BM_CLICK, 0, 0);
    Check(g_log.clicks == 1 && g_log.lastClickedId == 321, "BM_CLICK clicks the button");
    // The parent is never shown, so the pointer is never over the button.
    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageA(button, WM_TIMER, kHoverTimerId, 0);
    const bool stoppedByTick = KillTimer(button, kHoverTimerId) == FALSE;
    SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    Check(stoppedByTick && KillTimer(button, kHoverTimerId) != FALSE,
          "hover: a move starts the timer, a tick with the pointer elsewhere stops it");
    SendMessageA(button, WM_SETFOCUS, 0, 0);
    SendMessageA(button, WM_KEYDOWN, VK_SPACE, 0);
    Check(g_log.clicks == 1, "Space down alone does not click");
    SendMessageA(button, WM_KEYUP, VK_SPACE, 0);
    Check(g_log.clicks == 2, "Space released clicks");
    SendMessageA(button, WM_KEYUP, VK_SPACE, 0);
    Check(g_log.clicks == 2, "a Space release without its press does not click");
    SendMessageA(button, WM_KEYDOWN, VK_RETURN, 0);
    Check(g_log.clicks == 2 && g_log.keyDowns == 1, "Enter goes to the form and does not click");
    SendMessageA(button, WM_SYSKEYDOWN, 'N', 1 << 29);
    Check(g_log.sysKeyDowns == 1, "Alt+letter on a button goes to the form");
    SetWindowTextA(button, "&No");
    const OrvoButtonProperties* now = GetOrvoButtonProperties(button);
    Check(now != nullptr && now->Caption == "&No", "caption follows the window text");
    SetOrvoButtonEnabled(button, false);
    SendMessageA(button, BM_CLICK, 0, 0);
    Check(g_log.clicks == 2 && !IsWindowEnabled(button), "a disabled button does not click");
    DestroyWindow(button);
    Check(!IsWindow(button), "button destroyed");
}

void RichEditChecks(HWND parent) {
    RichEditFlags flags;
    flags.requestSize = true;
    flags.makeInert = true;
    g_log = {};
    UniqueWindow created = CreateRichEdit(parent, 10, 10, 1, 1, "", "{\\rtf1\\ansi Hello\\par World\\par}",
                                          kPromptRichEditStyle, 0, flags);
    HWND body = created.Get();
    Check(body != nullptr && IsRichEditClass(body), "rich edit created");
    char className[64] = {};
    GetClassNameA(body, className, sizeof className);
    Check(std::string(className) == "RichEdit20A", "rich edit class RichEdit20A", className);
    Check((GetWindowLongA(body, GWL_STYLE) & ES_READONLY) != 0, "rich edit is read-only");
    Check(GetWindowTextLengthA(body) >= 10 && GetWindowTextLengthA(body) < 20, "rich edit shows RTF as text");
    const LONG natural = g_log.requested.bottom;
    Check(natural > 0, "rich edit reported its natural size", std::to_string(natural));
    REQRESIZE link{};
    link.nmhdr.code = EN_LINK;
    link.rc = RECT{0, 0, 1, natural + 100};
    Check(GetRequestHeightFromNM(0, reinterpret_cast<LPARAM>(&link), g_log.requested) == 0 &&
              g_log.requested.bottom == natural,
          "a notification other than a size request is ignored");
    Check(GetPropA(body, kOldWndProcProperty) != nullptr, "prompt body is inert");
    g_log = {};
    SendMessageA(body, WM_KEYDOWN, 'Y', 0);
    Check(g_log.keyDowns == 1, "prompt body hands its keys to the prompt");
    UnhookWindow(body);

    // A body without any \\b is regular throughout, whatever the control's own default font.
    UniqueWindow plainWindow =
        CreateRichEdit(parent, 10, 10, 200, 50, "", "{\\rtf1\\ansi\\pard\\cf1\\f0\\fs24 Plain words\\par}",
                       kPromptRichEditStyle, 0, RichEditFlags{});
    HWND plain = plainWindow.Get();
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    SendMessageA(plain, EM_SETSEL, 0, -1);
    SendMessageA(plain, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    Check((format.dwMask & CFM_BOLD) != 0 && (format.dwEffects & CFE_BOLD) == 0,
          "rich edit text without \\b is regular",
          "mask " + std::to_string(format.dwMask) + " effects " + std::to_string(format.dwEffects));
}

// Only a left-button release on a link of the display opens it, and it opens the link's own text.
void LinkChecks(HWND parent) {
    RichEditFlags flags;
    flags.links = true;
    const UniqueWindow created = CreateRichEdit(parent, 10, 10, 300, 100, "", "See http://example.com/mod now",
                                                kDocumentRichEditStyle, WS_EX_CLIENTEDGE, flags);
    HWND display = created.Get();
    ENLINK link{};
    link.nmhdr.hwndFrom = display;
    link.nmhdr.code = EN_LINK;
    link.msg = WM_LBUTTONUP;
    link.chrg = CHARRANGE{4, 26};
    const std::string clicked = ClickedLink(link.nmhdr, display);
    Check(clicked == "http://example.com/mod", "link: a click opens the link's text", clicked);
    link.msg = WM_LBUTTONDOWN;
    Check(ClickedLink(link.nmhdr, display).empty(), "link: pressing the button alone opens nothing");
    link.msg = WM_LBUTTONUP;
    link.nmhdr.hwndFrom = parent;
    Check(ClickedLink(link.nmhdr, display).empty(), "link: a notification of another window opens nothing");
    link.nmhdr.hwndFrom = display;
    link.nmhdr.code = EN_REQUESTRESIZE;
    Check(ClickedLink(link.nmhdr, display).empty(), "link: another notification opens nothing");
}

void OpenDialogChecks() {
    // The ANSI structure without the Windows 2000 fields: 76 bytes in the 32-bit program.
    Check(kOpenFileNameSize == OPENFILENAME_SIZE_VERSION_400A && (sizeof(void*) != 4 || kOpenFileNameSize == 76),
          "open-file dialog structure has the size every dialog version accepts", std::to_string(kOpenFileNameSize));
}

// Presses a prompt's button from outside once the prompt is up.
struct PromptAction {
    std::string title;
    std::function<void(HWND dialog)> act;
};
PromptAction g_action;

BOOL CALLBACK FindCaption(HWND child, LPARAM data) {
    auto* wanted = reinterpret_cast<std::pair<std::string, HWND>*>(data);
    char text[128] = {};
    char className[32] = {};
    GetWindowTextA(child, text, sizeof text);
    GetClassNameA(child, className, sizeof className);
    if (wanted->first == text && std::string(className) == kOrvoButtonClass) {
        wanted->second = child;
        return FALSE;
    }
    return TRUE;
}

HWND ButtonWithCaption(HWND dialog, const std::string& caption) {
    std::pair<std::string, HWND> wanted{caption, nullptr};
    EnumChildWindows(dialog, &FindCaption, reinterpret_cast<LPARAM>(&wanted));
    return wanted.second;
}

void CALLBACK PromptTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = FindWindowA(kMsgBoxExClass, g_action.title.c_str());
    if (dialog == nullptr || !IsWindowVisible(dialog)) return;
    KillTimer(nullptr, id);
    g_action.act(dialog);
}

// A prompt the action failed to close is closed after a few seconds, so that a fault fails a check
// instead of hanging the run.
void CALLBACK WatchdogTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (HWND dialog = FindWindowA(kMsgBoxExClass, nullptr)) PostMessageA(dialog, WM_CLOSE, 0, 0);
}

int PromptWith(PromptRequest request, std::function<void(HWND)> act) {
    g_action = {request.msgTitle.empty() ? std::string(kApplicationTitle) : request.msgTitle, std::move(act)};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &PromptTimer);
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 8000, &WatchdogTimer);
    const int result = ProgramUserInterface().MsgBoxEx(std::move(request));
    KillTimer(nullptr, timer);
    KillTimer(nullptr, watchdog);
    return result;
}

void PromptChecks(HWND parent) {
    ProgramUserInterface().SetMainWindow(parent);
    PromptRequest yesNo;
    yesNo.msgText = "Delete \\b file\\b0 ?";
    yesNo.msgTitle = "Question";
    yesNo.iconType = 2;
    yesNo.buttonCount = 2;
    yesNo.captions = {"&Yes", "&No", "", ""};
    yesNo.focusIndex = 1;
    yesNo.autoWidth = 200;

    int result = PromptWith(yesNo, [](HWND dialog) { PostMessageA(ButtonWithCaption(dialog, "&No"), BM_CLICK, 0, 0); });
    Check(result == 1, "prompt second button returns 1", std::to_string(result));
    result = PromptWith(yesNo, [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); });
    Check(result == -1, "prompt closed returns -1", std::to_string(result));
    result = PromptWith(yesNo, [](HWND dialog) {
        PostMessageA(ButtonWithCaption(dialog, "&No"), WM_SYSKEYDOWN, 'Y', 1 << 29);
    });
    Check(result == 0, "prompt Alt+Y from a button presses Yes", std::to_string(result));
    result = PromptWith(yesNo, [](HWND dialog) {
        HWND no = ButtonWithCaption(dialog, "&No");
        PostMessageA(no, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageA(no, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    Check(result == -1, "prompt Enter and Escape choose nothing", std::to_string(result));
    Check(IsWindowEnabled(parent), "prompt gives the owner back enabled");

    PromptRequest game = yesNo;
    game.msgTitle = "";
    game.buttonCount = 3;
    game.captions = {"Kotor &1", "Kotor &2 TSL", "&Abort", ""};
    game.focusIndex = 2;
    result = PromptWith(game, [](HWND dialog) {
        PostMessageA(dialog, WM_SYSKEYDOWN, '1', 1 << 29);
        PostMessageA(dialog, WM_SYSKEYDOWN, 'A', 1 << 29);
    });
    Check(result == 2, "prompt Alt+1 presses nothing, Alt+A presses Abort", std::to_string(result));

    PromptRequest five = yesNo;
    five.buttonCount = 5;
    five.captions = {"&a", "&b", "&c", "&d"};
    int buttons = 0;
    result = PromptWith(five, [&buttons](HWND dialog) {
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            char className[32] = {};
            GetClassNameA(child, className, sizeof className);
            if (std::string(className) == kOrvoButtonClass) ++buttons;
        }
        PostMessageA(ButtonWithCaption(dialog, ""), BM_CLICK, 0, 0);
    });
    Check(buttons == 5 && result == 4, "prompt with five buttons, the fifth uncaptioned",
          std::to_string(buttons) + " buttons, result " + std::to_string(result));

    // Far wider and far taller than the screen: the prompt still lies inside the work area, and so
    // do its buttons.
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const auto inside = [&work](HWND dialog) {
        RECT r{};
        GetWindowRect(dialog, &r);
        bool ok = r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom;
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            if (!IsWindowVisible(child)) continue;
            RECT c{};
            GetWindowRect(child, &c);
            ok = ok && c.left >= r.left && c.top >= r.top && c.right <= r.right && c.bottom <= r.bottom;
        }
        return ok;
    };
    PromptRequest wide = yesNo;
    wide.msgText = std::string("A line far wider than any screen: ") + std::string(400, 'w');
    wide.autoWidth = 4000;
    bool wideInside = false;
    result = PromptWith(wide, [&](HWND dialog) {
        wideInside = inside(dialog);
        PostMessageA(ButtonWithCaption(dialog, "&No"), BM_CLICK, 0, 0);
    });
    Check(wideInside && result == 1, "prompt wider than the screen stays inside the work area");

    PromptRequest tall = yesNo;
    tall.msgText.clear();
    for (int line = 0; line < 120; ++line) tall.msgText += "Line " + std::to_string(line) + "\\par\r\n";
    bool tallInside = false;
    result = PromptWith(tall, [&](HWND dialog) {
        tallInside = inside(dialog);
        PostMessageA(ButtonWithCaption(dialog, "&No"), BM_CLICK, 0, 0);
    });
    Check(tallInside && result == 1, "prompt taller than the screen stays inside the work area");
}

}  // namespace

// CreateSymbolicLinkA came with Vista and may need a privilege: looked up at run time, and the
// link checks are left out where no link can be made (Wine 8 answers success and makes none).
bool MakeLink(const std::string& link, const std::string& target, bool folder) {
    using Function = BOOLEAN(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto make = reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(kernel != nullptr ? GetProcAddress(kernel, "CreateSymbolicLinkA") : nullptr));
    if (make == nullptr || make(link.c_str(), target.c_str(), folder ? 1 : 0) == 0) return false;
    // Some systems answer success without making anything.
    const DWORD bits = GetFileAttributesA(link.c_str());
    return bits != INVALID_FILE_ATTRIBUTES && (bits & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

void ConfinementChecks() {
    Win32FileSystem fs;
    const std::string root = TempFolder();
    const std::string game = root + "\\game";
    const std::string outside = root + "\\outside";
    CreateDirectoryA(game.c_str(), nullptr);
    CreateDirectoryA(outside.c_str(), nullptr);
    Check(fs.WriteAll(outside + "\\save.sav", "mine") == FsStatus::Ok, "confine: no roots, nothing confined");
    Check(fs.WriteAll(game + "\\x.tga", "x") == FsStatus::Ok, "confine: set up");
    fs.SetRoots({game});
    std::string bytes;
    Check(fs.WriteAll(outside + "\\new.txt", "new") == FsStatus::OutsideRoots &&
              GetFileAttributesA((outside + "\\new.txt").c_str()) == INVALID_FILE_ATTRIBUTES,
          "confine: a write outside is refused and creates nothing");
    Check(fs.WriteAll(game + "\\..\\outside\\save.sav", "over") == FsStatus::OutsideRoots,
          "confine: .. leads out and is refused");
    Check(fs.Delete(outside + "\\save.sav") == FsStatus::OutsideRoots, "confine: a delete outside is refused");
    Check(fs.SetAttributes(outside + "\\save.sav", Attributes{.readOnly = true}) == FsStatus::OutsideRoots,
          "confine: new attributes outside are refused");
    Check(fs.Rename(game + "\\x.tga", outside + "\\x.tga") == FsStatus::OutsideRoots,
          "confine: a rename out of the root is refused");
    Check(fs.Rename(outside + "\\save.sav", game + "\\save.sav") == FsStatus::OutsideRoots,
          "confine: a rename from outside is refused");
    Check(fs.Copy(game + "\\x.tga", outside + "\\save.sav") == FsStatus::OutsideRoots,
          "confine: a copy onto a file outside is refused");
    Check(fs.CreateFolder(outside + "\\folder") == FsStatus::OutsideRoots, "confine: a folder outside is refused");
    Check(fs.ReadAll(outside + "\\save.sav", bytes, kTableLimit) == FsStatus::Ok && bytes == "mine",
          "confine: the file outside is unchanged and can still be read");
    Check(fs.Copy(outside + "\\save.sav", game + "\\copy.sav") == FsStatus::Ok, "confine: a copy from outside is fine");
    Check(fs.WriteAll(game + "\\y.tga", "y") == FsStatus::Ok && fs.CreateFolder(game + "\\sub") == FsStatus::Ok &&
              fs.Rename(game + "\\y.tga", game + "\\sub\\y.tga") == FsStatus::Ok &&
              fs.SetAttributes(game + "\\sub\\y.tga", Attributes{}) == FsStatus::Ok &&
              fs.Delete(game + "\\sub\\y.tga") == FsStatus::Ok,
          "confine: changes inside the root go ahead");
    Check(fs.CreateFolder(game + "\\folder") == FsStatus::Ok && fs.Delete(game + "\\folder") == FsStatus::AccessDenied,
          "confine: a folder is not removed as a file");
    Check(fs.SameVolume(game + "\\x.tga", outside + "\\y.tga"), "same volume: two folders of one drive");
    Check(!fs.SameVolume(game + "\\missing\\x.tga", outside + "\\y.tga"), "same volume: not for a missing folder");

    if (!MakeLink(game + "\\evil.tga", outside + "\\save.sav", false) || !MakeLink(game + "\\linked", outside, true)) {
        std::printf("NOTE confine: no symbolic links on this system, link checks left out\n");
        return;
    }
    Check(fs.WriteAll(game + "\\evil.tga", "over") == FsStatus::OutsideRoots, "confine: a write through a file link");
    Check(fs.Copy(game + "\\x.tga", game + "\\evil.tga") == FsStatus::OutsideRoots,
          "confine: a copy through a file link");
    Check(fs.SetAttributes(game + "\\evil.tga", Attributes{.readOnly = true}) == FsStatus::OutsideRoots,
          "confine: attributes through a file link");
    Check(fs.WriteAll(game + "\\linked\\new.txt", "new") == FsStatus::OutsideRoots &&
              GetFileAttributesA((outside + "\\new.txt").c_str()) == INVALID_FILE_ATTRIBUTES,
          "confine: a write below a folder link");
    Check(fs.Delete(game + "\\linked\\save.sav") == FsStatus::OutsideRoots, "confine: a delete below a folder link");
    Check(fs.ReadAll(outside + "\\save.sav", bytes, kTableLimit) == FsStatus::Ok && bytes == "mine",
          "confine: nothing outside changed through links");
    // Removing the link itself touches nothing outside: it is the link that goes.
    Check(fs.Delete(game + "\\evil.tga") == FsStatus::Ok &&
              GetFileAttributesA((game + "\\evil.tga").c_str()) == INVALID_FILE_ATTRIBUTES &&
              fs.ReadAll(outside + "\\save.sav", bytes, kTableLimit) == FsStatus::Ok && bytes == "mine",
          "confine: a delete removes a link itself, not what it leads to");
    fs.SetRoots({game + "\\linked"});
    Check(fs.WriteAll(outside + "\\through.txt", "t") == FsStatus::Ok,
          "confine: a root that is a link counts where it leads");
}

int main() {
    RegisterOrvoButtonClass(GetModuleHandleA(nullptr));
    RegisterMsgBoxExClass(GetModuleHandleA(nullptr));
    FileSystemChecks();
    ConfinementChecks();
    RegistryChecks();
    InstanceChecks();
    BrowseTitleChecks();
    HWND parent = MakeParent();
    HookChecks(parent);
    ButtonChecks(parent);
    RichEditChecks(parent);
    LinkChecks(parent);
    OpenDialogChecks();
    PromptChecks(parent);
    DestroyWindow(parent);
    FreeRichEditLibraries();
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
