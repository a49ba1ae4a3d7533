// The Windows seams and window plumbing: registry, instance mutex, key routing, rich edits, links and
// prompts. The Win32 file system is tested with the other file systems' contract, in tests/platform.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "app/win32/document_links.hpp"
#include "app/win32/win32_ui.hpp"
#include "platform/win32/win32_instance_check.hpp"
#include "platform/win32/win32_registry.hpp"
#include "prompts/win32/msgbox_ex.hpp"
#include "prompts/win32/rich_edit.hpp"
#include "util/win32/browse_folder_dialog.hpp"
#include "widgets/button_properties.hpp"
#include "widgets/win32/orvo_button.hpp"
#include "widgets/win32/window_hook.hpp"

namespace {

using namespace zelvane;
using namespace zelvane::win32;

TEST(Win32Registry, ReadsStringsWithOrWithoutTheirNulAndTheirType) {
    const char* keyPath = "Software\\ZelvaneWin32Tests";
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY, nullptr, &key, nullptr);
    const char path[] = "C:\\Games\\Kotor";
    const auto* bytes = reinterpret_cast<const BYTE*>(path);
    RegSetValueExA(key, "Path", 0, REG_SZ, bytes, sizeof path);
    RegSetValueExA(key, "Expand", 0, REG_EXPAND_SZ, bytes, sizeof path);
    RegSetValueExA(key, "Bare", 0, REG_SZ, bytes, sizeof path - 1);
    RegCloseKey(key);

    Win32Registry registry;
    constexpr std::uint32_t kHkcu = 0x80000001u;
    auto value = registry.Query(kHkcu, keyPath, "Path");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, kRegSz);
    EXPECT_EQ(value->data, std::string(path, sizeof path));
    value = registry.Query(kHkcu, keyPath, "Expand");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, kRegExpandSz);
    value = registry.Query(kHkcu, keyPath, "Bare");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->data.rfind(std::string(path, sizeof path - 1), 0), 0u);
    EXPECT_LE(value->data.size(), sizeof path);
    EXPECT_FALSE(registry.Query(kHkcu, keyPath, "Missing"));
    EXPECT_FALSE(registry.Query(kHkcu, "Software\\ZelvaneNoSuchKey", "Path"));
    RegDeleteKeyA(HKEY_CURRENT_USER, keyPath);
}

TEST(Win32Instance, OneMutexPerProgramPathWhateverItsCase) {
    EXPECT_EQ(InstanceMutexName("C:\\Games\\Zelvane\\ZELVANE.exe"), "Local\\Zelvane.c:/games/zelvane/zelvane.exe");
    Win32InstanceCheck first;
    Win32InstanceCheck second;
    EXPECT_FALSE(first.AnotherInstanceRunning());
    EXPECT_TRUE(second.AnotherInstanceRunning());
}

TEST(BrowseFolderDialog, TitleIsPaddedTo80Characters) {
    const std::string padded = PaddedBrowseTitle("Find Kotor main folder");
    EXPECT_EQ(padded.size(), 80u);
    EXPECT_EQ(padded.rfind("Find Kotor main folder", 0), 0u);
    EXPECT_EQ(PaddedBrowseTitle(std::string(81, 'a')).size(), 81u);
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

class Win32Window : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterOrvoButtonClass(GetModuleHandleA(nullptr));
        RegisterMsgBoxExClass(GetModuleHandleA(nullptr));
        WNDCLASSA wc{};
        wc.lpfnWndProc = &ParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZelvaneTestParent";
        RegisterClassA(&wc);
    }
    void SetUp() override {
        g_log = {};
        parent_ = CreateWindowExA(0, "ZelvaneTestParent", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    void TearDown() override { DestroyWindow(parent_); }
    HWND parent_ = nullptr;
};

TEST_F(Win32Window, AHookedWindowHandsEveryKeyButSpaceToItsParent) {
    HWND label = CreateWindowExA(0, "STATIC", "x", WS_CHILD, 0, 0, 10, 10, parent_, nullptr, nullptr, nullptr);
    ASSERT_TRUE(HookWindow(label, InertRichEditProc));
    const auto installed = GetWindowLongPtrA(label, GWLP_WNDPROC);
    EXPECT_TRUE(HookWindow(label, InertRichEditProc));
    EXPECT_EQ(GetWindowLongPtrA(label, GWLP_WNDPROC), installed) << "hooking twice keeps the first hook";
    SendMessageA(label, WM_KEYDOWN, 'A', 0);
    SendMessageA(label, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(label, WM_SYSKEYDOWN, 'N', 1 << 29);
    EXPECT_EQ(g_log.keyDowns, 1);
    EXPECT_EQ(g_log.sysKeyDowns, 1);
    EXPECT_TRUE(UnhookWindow(label));
    SendMessageA(label, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(g_log.keyDowns, 1) << "an unhooked window keeps its keys";
}

TEST_F(Win32Window, AButtonClicksOnBmClickAndSpaceReleasedButNotOnEnterOrWhenDisabled) {
    OrvoButtonProperties properties = PromptButtonProperties();
    properties.Caption = "&Yes";
    HWND button = CreateOrvoButton(parent_, 321, RECT{10, 10, 97, 35}, properties);
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(g_log.clicks, 1);
    EXPECT_EQ(g_log.lastClickedId, 321);
    SendMessageA(button, WM_SETFOCUS, 0, 0);
    SendMessageA(button, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(g_log.clicks, 1) << "Space down alone";
    SendMessageA(button, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(g_log.clicks, 2) << "Space released";
    SendMessageA(button, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(g_log.clicks, 2) << "a Space release without its press";
    SendMessageA(button, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(g_log.clicks, 2) << "Enter";
    EXPECT_EQ(g_log.keyDowns, 1) << "Enter goes to the form";
    SendMessageA(button, WM_SYSKEYDOWN, 'N', 1 << 29);
    EXPECT_EQ(g_log.sysKeyDowns, 1) << "Alt+letter goes to the form";
    SetWindowTextA(button, "&No");
    const OrvoButtonProperties* now = GetOrvoButtonProperties(button);
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(now->Caption, "&No") << "the caption follows the window text";
    SetOrvoButtonEnabled(button, false);
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(g_log.clicks, 2) << "disabled";
}

TEST_F(Win32Window, APromptBodyShowsItsRtfAsksForItsSizeAndHandsItsKeysToThePrompt) {
    RichEditFlags flags;
    flags.requestSize = true;
    flags.makeInert = true;
    UniqueWindow created = CreateRichEdit(parent_, 10, 10, 1, 1, "", "{\\rtf1\\ansi Hello\\par World\\par}",
                                          kPromptRichEditStyle, 0, flags);
    HWND body = created.Get();
    ASSERT_TRUE(IsRichEditClass(body));
    EXPECT_NE(GetWindowLongA(body, GWL_STYLE) & ES_READONLY, 0);
    EXPECT_GE(GetWindowTextLengthA(body), 10) << "the RTF is shown as text";
    EXPECT_LT(GetWindowTextLengthA(body), 20);
    const LONG natural = g_log.requested.bottom;
    EXPECT_GT(natural, 0) << "the body reported its natural size";
    REQRESIZE other{};
    other.nmhdr.code = EN_LINK;
    other.rc = RECT{0, 0, 1, natural + 100};
    EXPECT_EQ(GetRequestHeightFromNM(0, reinterpret_cast<LPARAM>(&other), g_log.requested), 0);
    EXPECT_EQ(g_log.requested.bottom, natural) << "another notification is no size request";
    SendMessageA(body, WM_KEYDOWN, 'Y', 0);
    EXPECT_EQ(g_log.keyDowns, 1);
    UnhookWindow(body);

    // A body without any \b is regular throughout, whatever the control's own default font.
    UniqueWindow plain = CreateRichEdit(parent_, 10, 10, 200, 50, "", "{\\rtf1\\ansi\\pard\\cf1\\f0\\fs24 Plain\\par}",
                                        kPromptRichEditStyle, 0, RichEditFlags{});
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    SendMessageA(plain.Get(), EM_SETSEL, 0, -1);
    SendMessageA(plain.Get(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_NE(format.dwMask & CFM_BOLD, 0u);
    EXPECT_EQ(format.dwEffects & CFE_BOLD, 0u);
}

TEST_F(Win32Window, OnlyALeftButtonReleaseOnALinkOfTheDocumentOpensItsText) {
    RichEditFlags flags;
    flags.links = true;
    const UniqueWindow created = CreateRichEdit(parent_, 10, 10, 300, 100, "", "See http://example.com/mod now",
                                                kDocumentRichEditStyle, WS_EX_CLIENTEDGE, flags);
    HWND display = created.Get();
    ENLINK link{};
    link.nmhdr.hwndFrom = display;
    link.nmhdr.code = EN_LINK;
    link.msg = WM_LBUTTONUP;
    link.chrg = CHARRANGE{4, 26};
    EXPECT_EQ(ClickedLink(link.nmhdr, display), "http://example.com/mod");
    link.msg = WM_LBUTTONDOWN;
    EXPECT_EQ(ClickedLink(link.nmhdr, display), "");
    link.msg = WM_LBUTTONUP;
    link.nmhdr.hwndFrom = parent_;
    EXPECT_EQ(ClickedLink(link.nmhdr, display), "") << "a notification of another window";
    link.nmhdr.hwndFrom = display;
    link.nmhdr.code = EN_REQUESTRESIZE;
    EXPECT_EQ(ClickedLink(link.nmhdr, display), "") << "another notification";
}

// What to do to a prompt once it is up: the prompt is modal, so a timer acts on it.
std::string g_promptTitle;
std::function<void(HWND)> g_act;

BOOL CALLBACK FindCaption(HWND child, LPARAM data) {
    auto* wanted = reinterpret_cast<std::pair<std::string, HWND>*>(data);
    char text[128] = {};
    char className[32] = {};
    GetWindowTextA(child, text, sizeof text);
    GetClassNameA(child, className, sizeof className);
    if (wanted->first != text || std::string(className) != kOrvoButtonClass) return TRUE;
    wanted->second = child;
    return FALSE;
}

HWND ButtonWithCaption(HWND dialog, const std::string& caption) {
    std::pair<std::string, HWND> wanted{caption, nullptr};
    EnumChildWindows(dialog, &FindCaption, reinterpret_cast<LPARAM>(&wanted));
    return wanted.second;
}

void CALLBACK PromptTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = FindWindowA(kMsgBoxExClass, g_promptTitle.c_str());
    if (dialog == nullptr || !IsWindowVisible(dialog)) return;
    KillTimer(nullptr, id);
    g_act(dialog);
}

// A prompt the action failed to close is closed after a few seconds: a fault fails, never hangs.
void CALLBACK WatchdogTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (HWND dialog = FindWindowA(kMsgBoxExClass, nullptr)) PostMessageA(dialog, WM_CLOSE, 0, 0);
}

int PromptWith(PromptRequest request, std::function<void(HWND)> act) {
    g_promptTitle = request.msgTitle.empty() ? std::string(kApplicationTitle) : request.msgTitle;
    g_act = std::move(act);
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &PromptTimer);
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 8000, &WatchdogTimer);
    const int result = ProgramUserInterface().MsgBoxEx(std::move(request));
    KillTimer(nullptr, timer);
    KillTimer(nullptr, watchdog);
    return result;
}

void Press(HWND dialog, const char* caption) { PostMessageA(ButtonWithCaption(dialog, caption), BM_CLICK, 0, 0); }

// The prompt and each visible control of it lie inside the work area.
bool InsideWorkArea(HWND dialog) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT r{};
    GetWindowRect(dialog, &r);
    bool ok = r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT c{};
        GetWindowRect(child, &c);
        ok = ok && (!IsWindowVisible(child) ||
                    (c.left >= r.left && c.top >= r.top && c.right <= r.right && c.bottom <= r.bottom));
    }
    return ok;
}

PromptRequest YesNo() {
    PromptRequest yesNo;
    yesNo.msgText = "Delete \\b file\\b0 ?";
    yesNo.msgTitle = "Question";
    yesNo.iconType = 2;
    yesNo.buttonCount = 2;
    yesNo.captions = {"&Yes", "&No", "", ""};
    yesNo.focusIndex = 1;
    yesNo.autoWidth = 200;
    return yesNo;
}

TEST_F(Win32Window, PromptsAnswerTheirButtonsAndAltLettersButNotEnterOrEscape) {
    ProgramUserInterface().SetMainWindow(parent_);
    const PromptRequest yesNo = YesNo();
    EXPECT_EQ(PromptWith(yesNo, [](HWND d) { Press(d, "&No"); }), 1);
    EXPECT_EQ(PromptWith(yesNo, [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); }), -1);
    EXPECT_EQ(PromptWith(yesNo, [](HWND d) { PostMessageA(ButtonWithCaption(d, "&No"), WM_SYSKEYDOWN, 'Y', 1 << 29); }),
              0)
        << "Alt+Y from a button presses &Yes";
    EXPECT_EQ(PromptWith(yesNo,
                         [](HWND d) {
                             PostMessageA(ButtonWithCaption(d, "&No"), WM_KEYDOWN, VK_RETURN, 0);
                             PostMessageA(ButtonWithCaption(d, "&No"), WM_KEYDOWN, VK_ESCAPE, 0);
                             PostMessageA(d, WM_CLOSE, 0, 0);
                         }),
              -1)
        << "Enter and Escape choose nothing";
    EXPECT_TRUE(IsWindowEnabled(parent_)) << "the prompt gives its owner back enabled";

    PromptRequest game = yesNo;
    game.msgTitle = "";
    game.buttonCount = 3;
    game.captions = {"Kotor &1", "Kotor &2 TSL", "&Abort", ""};
    game.focusIndex = 2;
    EXPECT_EQ(PromptWith(game,
                         [](HWND d) {
                             PostMessageA(d, WM_SYSKEYDOWN, '1', 1 << 29);
                             PostMessageA(d, WM_SYSKEYDOWN, 'A', 1 << 29);
                         }),
              2)
        << "Alt+1 presses nothing, Alt+A presses &Abort";
}

TEST_F(Win32Window, APromptFarWiderOrTallerThanTheScreenStaysInsideTheWorkArea) {
    ProgramUserInterface().SetMainWindow(parent_);
    PromptRequest wide = YesNo();
    wide.msgText = "A line far wider than any screen: " + std::string(400, 'w');
    wide.autoWidth = 4000;
    PromptRequest tall = wide;
    tall.msgText.clear();
    tall.autoWidth = 200;
    for (int line = 0; line < 120; ++line) tall.msgText += "Line " + std::to_string(line) + "\\par\r\n";
    for (const PromptRequest& request : {wide, tall}) {
        bool inside = false;
        EXPECT_EQ(PromptWith(request,
                             [&inside](HWND d) {
                                 inside = InsideWorkArea(d);
                                 Press(d, "&No");
                             }),
                  1);
        EXPECT_TRUE(inside) << request.msgText.substr(0, 40);
    }
}

}  // namespace
