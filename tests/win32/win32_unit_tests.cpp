// The Windows seams and window plumbing: registry, instance mutex, key routing, rich edits, links and
// prompts. The Win32 file system is tested with the other file systems' contract, in tests/platform.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

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
    const char path[] = "C:\\Games\\Kotor";
    const struct {
        const char* name;
        DWORD type, size;
    } values[] = {{"Path", REG_SZ, sizeof path},
                  {"Expand", REG_EXPAND_SZ, sizeof path},
                  {"Bare", REG_SZ, sizeof path - 1}};
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    for (const auto& v : values) RegSetValueExA(key, v.name, 0, v.type, reinterpret_cast<const BYTE*>(path), v.size);
    RegCloseKey(key);
    Win32Registry registry;
    constexpr std::uint32_t kHkcu = 0x80000001u;
    for (const auto& v : values) {
        const auto value = registry.Query(kHkcu, keyPath, v.name);
        ASSERT_TRUE(value) << v.name;
        EXPECT_EQ(value->type, v.type == REG_SZ ? kRegSz : kRegExpandSz);
        EXPECT_EQ(value->data.substr(0, sizeof path - 1), std::string(path, sizeof path - 1));
        EXPECT_LE(value->data.size(), sizeof path);
    }
    EXPECT_EQ(registry.Query(kHkcu, keyPath, "Path")->data, std::string(path, sizeof path));
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
    EXPECT_EQ(PaddedBrowseTitle("Find Kotor main folder"), "Find Kotor main folder" + std::string(58, ' '));
    EXPECT_EQ(PaddedBrowseTitle(std::string(81, 'a')).size(), 81u);
}

// What reaches the parent window.
struct ParentLog {
    int keyDowns = 0, sysKeyDowns = 0, clicks = 0, lastClickedId = 0;
    RECT requested{};  // the last size a rich edit asked for
} g_log;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN: ++g_log.keyDowns; return 0;
        case WM_SYSKEYDOWN: ++g_log.sysKeyDowns; return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) ++g_log.clicks, g_log.lastClickedId = LOWORD(wParam);
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
        ProgramUserInterface().SetMainWindow(parent_);
    }
    void TearDown() override { DestroyWindow(parent_); }
    HWND parent_ = nullptr;
};

TEST_F(Win32Window, AButtonClicksOnBmClickAndSpaceReleasedButNotOnEnterOrWhenDisabled) {
    OrvoButtonProperties properties = PromptButtonProperties();
    properties.Caption = "&Yes";
    HWND button = CreateOrvoButton(parent_, 321, RECT{10, 10, 97, 35}, properties);
    // Each message in turn, and what the parent has seen after it: clicks, key downs, Alt+key downs.
    const struct {
        UINT message;
        WPARAM key;
        std::array<int, 3> seen;
    } steps[] = {{BM_CLICK, 0, {1, 0, 0}},        {WM_SETFOCUS, 0, {1, 0, 0}},     {WM_KEYDOWN, VK_SPACE, {1, 0, 0}},
                 {WM_KEYUP, VK_SPACE, {2, 0, 0}}, {WM_KEYUP, VK_SPACE, {2, 0, 0}}, {WM_KEYDOWN, VK_RETURN, {2, 1, 0}},
                 {WM_SYSKEYDOWN, 'N', {2, 1, 1}}};
    for (const auto& step : steps) {
        SendMessageA(button, step.message, step.key, step.message == WM_SYSKEYDOWN ? 1 << 29 : 0);
        EXPECT_EQ((std::array{g_log.clicks, g_log.keyDowns, g_log.sysKeyDowns}), step.seen)
            << step.message << " " << step.key;
    }
    EXPECT_EQ(g_log.lastClickedId, 321);
    SetWindowTextA(button, "&No");
    ASSERT_NE(GetOrvoButtonProperties(button), nullptr);
    EXPECT_EQ(GetOrvoButtonProperties(button)->Caption, "&No") << "the caption follows the window text";
    SetOrvoButtonEnabled(button, false);
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(g_log.clicks, 2) << "disabled";
}

TEST_F(Win32Window, APromptBodyShowsItsRtfAsksForItsSizeAndHandsItsKeysToThePrompt) {
    UniqueWindow body = CreateRichEdit(parent_, 10, 10, 1, 1, "", "{\\rtf1\\ansi Hello\\par World\\par}",
                                       kPromptRichEditStyle, 0, {.requestSize = true, .makeInert = true});
    ASSERT_TRUE(IsRichEditClass(body.Get()));
    EXPECT_NE(GetWindowLongA(body.Get(), GWL_STYLE) & ES_READONLY, 0);
    EXPECT_GE(GetWindowTextLengthA(body.Get()), 10) << "the RTF is shown as text";
    EXPECT_LT(GetWindowTextLengthA(body.Get()), 20);
    const LONG natural = g_log.requested.bottom;
    EXPECT_GT(natural, 0) << "the body reported its natural size";
    REQRESIZE other{{nullptr, 0, EN_LINK}, RECT{0, 0, 1, natural + 100}};
    EXPECT_EQ(GetRequestHeightFromNM(0, reinterpret_cast<LPARAM>(&other), g_log.requested), 0);
    EXPECT_EQ(g_log.requested.bottom, natural) << "another notification is no size request";
    SendMessageA(body.Get(), WM_KEYDOWN, 'Y', 0);
    SendMessageA(body.Get(), WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(body.Get(), WM_SYSKEYDOWN, 'N', 1 << 29);
    EXPECT_EQ(g_log.keyDowns, 1) << "every key but Space goes to the prompt";
    EXPECT_EQ(g_log.sysKeyDowns, 1);
    UnhookWindow(body.Get());

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
    const UniqueWindow display = CreateRichEdit(parent_, 10, 10, 300, 100, "", "See http://example.com/mod now",
                                                kDocumentRichEditStyle, WS_EX_CLIENTEDGE, {.links = true});
    // The link's notification, with one field changed: no link but for the left button's release.
    const struct {
        HWND from;
        UINT code, mouse;
        const char* opened;
    } cases[] = {{display.Get(), EN_LINK, WM_LBUTTONUP, "http://example.com/mod"},
                 {display.Get(), EN_LINK, WM_LBUTTONDOWN, ""},
                 {parent_, EN_LINK, WM_LBUTTONUP, ""},
                 {display.Get(), EN_REQUESTRESIZE, WM_LBUTTONUP, ""}};
    for (const auto& c : cases) {
        const ENLINK link{.nmhdr = {c.from, 0, c.code}, .msg = c.mouse, .wParam = 0, .lParam = 0, .chrg = {4, 26}};
        EXPECT_EQ(ClickedLink(link.nmhdr, display.Get()), c.opened) << c.code << " " << c.mouse;
    }
}

// What to do to a prompt once it is up: the prompt is modal, so a timer acts on it. A prompt the
// action failed to close is closed some seconds later: a fault fails, never hangs.
std::string g_promptTitle;
std::function<void(HWND)> g_act;
int g_ticksSinceAct = 0;

void CALLBACK PromptTimer(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = FindWindowA(kMsgBoxExClass, g_promptTitle.c_str());
    if (dialog == nullptr || !IsWindowVisible(dialog)) return;
    if (g_act) std::exchange(g_act, nullptr)(dialog);
    if (++g_ticksSinceAct == 160) PostMessageA(dialog, WM_CLOSE, 0, 0);
}

int PromptWith(PromptRequest request, std::function<void(HWND)> act) {
    g_promptTitle = request.msgTitle;
    g_act = std::move(act);
    g_ticksSinceAct = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &PromptTimer);
    const int result = ProgramUserInterface().MsgBoxEx(std::move(request));
    KillTimer(nullptr, timer);
    return result;
}

void Post(HWND dialog, const char* caption, UINT message, WPARAM key = 0) {
    PostMessageA(caption ? FindWindowExA(dialog, nullptr, kOrvoButtonClass, caption) : dialog, message, key,
                 message == WM_SYSKEYDOWN ? 1 << 29 : 0);
}

bool Within(const RECT& a, const RECT& b) {
    return a.left >= b.left && a.top >= b.top && a.right <= b.right && a.bottom <= b.bottom;
}

// The prompt and each visible control of it lie inside the work area.
bool InsideWorkArea(HWND dialog) {
    RECT work{}, r{}, c{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    bool inside = GetWindowRect(dialog, &r) && Within(r, work);
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        inside = inside && (!IsWindowVisible(child) || (GetWindowRect(child, &c) && Within(c, r)));
    return inside;
}

const PromptRequest kYesNo{.msgText = "Delete \\b file\\b0 ?",
                           .msgTitle = "Question",
                           .iconType = 2,
                           .buttonCount = 2,
                           .captions = {"&Yes", "&No", "", ""},
                           .focusIndex = 1,
                           .autoWidth = 200};

TEST_F(Win32Window, PromptsAnswerTheirButtonsAndAltLettersButNotEnterOrEscape) {
    EXPECT_EQ(PromptWith(kYesNo, [](HWND d) { Post(d, "&No", BM_CLICK); }), 1);
    EXPECT_EQ(PromptWith(kYesNo, [](HWND d) { Post(d, nullptr, WM_CLOSE); }), -1);
    EXPECT_EQ(PromptWith(kYesNo, [](HWND d) { Post(d, "&No", WM_SYSKEYDOWN, 'Y'); }), 0)
        << "Alt+Y from a button presses &Yes";
    EXPECT_EQ(PromptWith(kYesNo,
                         [](HWND d) {
                             Post(d, "&No", WM_KEYDOWN, VK_RETURN);
                             Post(d, "&No", WM_KEYDOWN, VK_ESCAPE);
                             Post(d, nullptr, WM_CLOSE);
                         }),
              -1)
        << "Enter and Escape choose nothing";
    EXPECT_TRUE(IsWindowEnabled(parent_)) << "the prompt gives its owner back enabled";
}

TEST_F(Win32Window, APromptFarWiderOrTallerThanTheScreenStaysInsideTheWorkArea) {
    PromptRequest wide = kYesNo, tall = kYesNo;
    wide.msgText = "A line far wider than any screen: " + std::string(400, 'w');
    wide.autoWidth = 4000;
    tall.msgText.clear();
    for (int line = 0; line < 120; ++line) tall.msgText += "Line " + std::to_string(line) + "\\par\r\n";
    for (const PromptRequest& request : {wide, tall}) {
        SCOPED_TRACE(request.msgText.substr(0, 40));
        const auto checkAndAnswer = [](HWND d) {
            EXPECT_TRUE(InsideWorkArea(d));
            Post(d, "&No", BM_CLICK);
        };
        EXPECT_EQ(PromptWith(request, checkAndAnswer), 1);
    }
}

}  // namespace
