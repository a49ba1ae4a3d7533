// The Windows seams and window plumbing: registry, instance mutex, key routing, rich edits, links and
// prompts. The Win32 file system is tested with the other file systems' contract, in tests/platform.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
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
    constexpr std::uint32_t kHkcu = 0x80000001u;
    for (const auto& v : values) {
        const auto value = Win32Registry().Query(kHkcu, keyPath, v.name);
        ASSERT_TRUE(value) << v.name;
        EXPECT_EQ(std::pair(value->type, std::string(value->data.c_str())),
                  std::pair(v.type == REG_SZ ? kRegSz : kRegExpandSz, std::string(path)));
    }
    EXPECT_FALSE(Win32Registry().Query(kHkcu, keyPath, "Missing"));
    EXPECT_FALSE(Win32Registry().Query(kHkcu, "Software\\ZelvaneNoSuchKey", "Path"));
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

struct ParentLog {  // what reaches the parent window
    int keyDowns = 0, sysKeyDowns = 0, clicks = 0, lastClickedId = 0;
} g_log;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN: ++g_log.keyDowns; return 0;
        case WM_SYSKEYDOWN: ++g_log.sysKeyDowns; return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) ++g_log.clicks, g_log.lastClickedId = LOWORD(wParam);
            return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

class Win32Window : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterOrvoButtonClass(GetModuleHandleA(nullptr));
        RegisterMsgBoxExClass(GetModuleHandleA(nullptr));
        g_log = {};
        parent_ = CreateWindowExA(0, "Static", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(parent_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ParentProc));
        ProgramUserInterface().SetMainWindow(parent_);
    }
    void TearDown() override { DestroyWindow(parent_); }
    HWND parent_ = nullptr;
};

TEST_F(Win32Window, AButtonClicksOnBmClickAndSpaceReleasedButNotOnEnterOrWhenDisabled) {
    HWND button = CreateOrvoButton(parent_, 321, RECT{10, 10, 97, 35}, PromptButtonProperties());
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
    EXPECT_EQ(GetOrvoButtonProperties(button)->Caption, "&No") << "the caption follows the window text";
    SetOrvoButtonEnabled(button, false);
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(g_log.clicks, 2) << "disabled";
}

// A prompt's body shows its RTF as text and, without any \b, in regular weight whatever the control's default font.
TEST_F(Win32Window, APromptBodyShowsItsRtfInRegularWeight) {
    UniqueWindow body =
        CreateRichEdit(parent_, 10, 10, 200, 50, "", "{\\rtf1\\ansi\\pard\\cf1\\f0\\fs24 Hello\\par World\\par}",
                       kPromptRichEditStyle, 0, {.requestSize = true, .makeInert = true});
    ASSERT_TRUE(IsRichEditClass(body.Get()));
    EXPECT_NE(GetWindowLongA(body.Get(), GWL_STYLE) & ES_READONLY, 0);
    EXPECT_GE(GetWindowTextLengthA(body.Get()), 10);
    EXPECT_LT(GetWindowTextLengthA(body.Get()), 20);
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    SendMessageA(body.Get(), EM_SETSEL, 0, -1);
    SendMessageA(body.Get(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
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
                 {display.Get(), EN_LINK, WM_LBUTTONDOWN, ""}};
    for (const auto& c : cases) {
        const ENLINK link{.nmhdr = {c.from, 0, c.code}, .msg = c.mouse, .wParam = 0, .lParam = 0, .chrg = {4, 26}};
        EXPECT_EQ(ClickedLink(link.nmhdr, display.Get()), c.opened) << c.code << " " << c.mouse;
    }
}

bool Within(const RECT& a, const RECT& b) {
    return a.left >= b.left && a.top >= b.top && a.right <= b.right && a.bottom <= b.bottom;
}

// The prompt is modal, so a timer acts on it once it is up: one message, to its button CAPTION (or to the
// prompt itself without), then WM_CLOSE, which answers -1 unless the message answered first.
struct PromptAction {
    const char* caption;
    UINT message;
    WPARAM key;
} g_action;
std::string g_promptTitle;
bool g_inside = false;  // whether the prompt and each visible control of it lay inside the work area

void CALLBACK PromptTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindWindowA(kMsgBoxExClass, g_promptTitle.c_str());
    if (dialog == nullptr || !IsWindowVisible(dialog)) return;
    KillTimer(nullptr, timer);
    RECT work{}, r{}, c{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    g_inside = GetWindowRect(dialog, &r) && Within(r, work);
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        g_inside = g_inside && (!IsWindowVisible(child) || (GetWindowRect(child, &c) && Within(c, r)));
    const PromptAction& a = g_action;
    PostMessageA(a.caption ? FindWindowExA(dialog, nullptr, kOrvoButtonClass, a.caption) : dialog, a.message, a.key,
                 a.message == WM_SYSKEYDOWN ? 1 << 29 : 0);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

int PromptWith(PromptRequest request, PromptAction action) {
    g_promptTitle = request.msgTitle;
    g_action = action;
    SetTimer(nullptr, 0, 50, &PromptTimer);
    return ProgramUserInterface().MsgBoxEx(std::move(request));
}

const PromptRequest kYesNo{.msgText = "Delete \\b file\\b0 ?",
                           .msgTitle = "Question",
                           .iconType = 2,
                           .buttonCount = 2,
                           .captions = {"&Yes", "&No", "", ""},
                           .autoWidth = 200};

TEST_F(Win32Window, PromptsAnswerTheirButtonsAndAltLettersButNotEnterOrEscape) {
    const struct {
        PromptAction action;
        int answer;
    } cases[] = {{{"&No", BM_CLICK, 0}, 1},
                 {{nullptr, WM_CLOSE, 0}, -1},
                 {{"&No", WM_SYSKEYDOWN, 'Y'}, 0},  // Alt+Y from a button presses &Yes
                 {{"&No", WM_KEYDOWN, VK_RETURN}, -1},
                 {{"&No", WM_KEYDOWN, VK_ESCAPE}, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(PromptWith(kYesNo, c.action), c.answer) << c.action.message << " " << c.action.key;
    EXPECT_TRUE(IsWindowEnabled(parent_)) << "the prompt gives its owner back enabled";
}

TEST_F(Win32Window, APromptFarWiderOrTallerThanTheScreenStaysInsideTheWorkArea) {
    PromptRequest wide = kYesNo, tall = kYesNo;
    wide.msgText = "A line far wider than any screen: " + std::string(400, 'w');
    wide.autoWidth = 4000;
    tall.msgText.clear();
    for (int line = 0; line < 120; ++line) tall.msgText += "Line " + std::to_string(line) + "\\par\r\n";
    for (const PromptRequest& request : {wide, tall}) {
        EXPECT_EQ(PromptWith(request, {"&No", BM_CLICK, 0}), 1);
        EXPECT_TRUE(g_inside) << request.msgText.substr(0, 40);
    }
}

}  // namespace
