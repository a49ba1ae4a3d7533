#include "app/win32/main_window.hpp"

#include <exception>
#include <vector>

#include "app/main_window_layout.hpp"
#include "app/startup.hpp"
#include "app/usage_document.hpp"
#include "app/win32/document_links.hpp"
#include "app/win32/program_resources.hpp"
#include "app/win32/win32_ui.hpp"
#include "prompts/win32/rich_edit.hpp"
#include "removal/removal_run.hpp"
#include "resources/win32/resource_ids.h"
#include "widgets/button_properties.hpp"
#include "widgets/win32/message_pump.hpp"
#include "widgets/win32/orvo_button.hpp"
#include "widgets/win32/twips.hpp"

namespace zelvane::win32 {
namespace {

constexpr DWORD kMainStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int kClientWidth = 9270;
constexpr int kClientHeight = 7080;
constexpr int kHeightWithoutDocument = 4245;
constexpr COLORREF kLabel1DesignColor = 0x0000C0;
constexpr COLORREF kIniErrorColor = 0x0000FF;

// Design rectangles (twips).
constexpr int kLabel1Left = 120, kLabel1Top = 120, kLabel1Width = 2220, kLabel1Height = 360;
constexpr int kTxtRawLeft = 120, kTxtRawTop = 120, kTxtRawWidth = 9015, kTxtRawHeight = 3495;
constexpr int kRemoveModLeft = 4680, kButtonTop = 3840, kButtonWidth = 4455, kButtonHeight = 735;
constexpr int kIniLeft = 120;

std::string ProgramFolder() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD got = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (got == 0) return {};
        if (got < buffer.size()) {
            std::string path(buffer.data(), got);
            const std::size_t slash = path.find_last_of('\\');
            return slash == std::string::npos ? std::string() : path.substr(0, slash);
        }
        buffer.resize(buffer.size() * 2);
    }
}

FrmMain* FormOf(HWND window) { return reinterpret_cast<FrmMain*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

LRESULT CALLBACK FrmMainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    FrmMain* form = FormOf(window);
    if (form == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    try {
        return form->Handle(window, message, wParam, lParam);
    } catch (const std::exception& failure) {
        ReportFailure(failure, kMainWindowClass);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &FrmMainProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMainWindowClass;
    wc.hIcon = LoadProgramIcon(IDI_PROGRAM, GetSystemMetrics(SM_CXICON));
    wc.hIconSm = LoadProgramIcon(IDI_PROGRAM, GetSystemMetrics(SM_CXSMICON));
    return RegisterClassExA(&wc) != 0;
}

FrmMain::FrmMain() : programFolder_(ProgramFolder()) {}

// A window still open here (start-up ended the program) unloads while the form is whole.
FrmMain::~FrmMain() { window_.Reset(); }

bool FrmMain::Create(HINSTANCE instance) {
    RECT frame{0, 0, TwipsToPixelsX(kClientWidth), TwipsToPixelsY(kClientHeight)};
    AdjustWindowRectEx(&frame, kMainStyle, FALSE, 0);
    window_.Reset(CreateWindowExA(0, kMainWindowClass, kMainWindowDesignCaption, kMainStyle, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                  instance, this));
    if (!window_) return false;
    bigIcon_.Reset(LoadProgramIcon(IDI_PROGRAM, GetSystemMetrics(SM_CXICON)));
    smallIcon_.Reset(LoadProgramIcon(IDI_PROGRAM, GetSystemMetrics(SM_CXSMICON)));
    SendMessageA(window_.Get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Get()));
    SendMessageA(window_.Get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
    CreateControls();
    ProgramUserInterface().SetMainWindow(window_.Get());
    return true;
}

HWND FrmMain::CreateChild(const char* className, const char* text, DWORD style, const TwipsRect& r, int id,
                          HFONT font) {
    HWND child = CreateWindowExA(0, className, text, WS_CHILD | style, TwipsToPixelsX(r.left), TwipsToPixelsY(r.top),
                                 TwipsToPixelsX(r.width), TwipsToPixelsY(r.height), window_.Get(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (child != nullptr && font != nullptr) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

void FrmMain::MoveChild(HWND child, const TwipsRect& r) {
    MoveWindow(child, TwipsToPixelsX(r.left), TwipsToPixelsY(r.top), TwipsToPixelsX(r.width), TwipsToPixelsY(r.height),
               TRUE);
}

void FrmMain::CreateControls() {
    formFont_.Reset(CreatePointFont("Times New Roman", 8.25, false));
    label1Font_.Reset(CreatePointFont("MS Sans Serif", 13.5, true));
    txtRawFont_.Reset(CreatePointFont("MS Sans Serif", 9.75, false));
    lblNoRtfFont_.Reset(CreatePointFont("MS Sans Serif", 24, true));
    txtDoFont_.Reset(CreatePointFont("MS Sans Serif", 8.25, false));

    label1_ = CreateChild("STATIC", "Mod to Remove", SS_LEFT | SS_NOPREFIX,
                          {kLabel1Left, kLabel1Top, kLabel1Width, kLabel1Height}, kIdLabel1, label1Font_.Get());
    txtRawRect_ = {kTxtRawLeft, kTxtRawTop, kTxtRawWidth, kTxtRawHeight};
    txtRaw_ = CreateChild("EDIT", "Text1", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER, txtRawRect_,
                          kIdTxtRaw, txtRawFont_.Get());

    const OrvoButtonProperties remove = RemoveModButtonProperties();
    const OrvoButtonProperties modders = ModdersButtonProperties();
    RECT removeRect{TwipsToPixelsX(kRemoveModLeft), TwipsToPixelsY(kButtonTop),
                    TwipsToPixelsX(kRemoveModLeft) + TwipsToPixelsX(kButtonWidth),
                    TwipsToPixelsY(kButtonTop) + TwipsToPixelsY(kButtonHeight)};
    cmdRemoveMod_ = CreateOrvoButton(window_.Get(), kIdCmdRemoveMod, removeRect, remove);
    RECT iniRect{TwipsToPixelsX(kIniLeft), TwipsToPixelsY(kButtonTop),
                 TwipsToPixelsX(kIniLeft) + TwipsToPixelsX(kButtonWidth),
                 TwipsToPixelsY(kButtonTop) + TwipsToPixelsY(kButtonHeight)};
    cmdIni_ = CreateOrvoButton(window_.Get(), kIdCmdIni, iniRect, modders);

    lblNoRtf_ = CreateChild("STATIC", kNoDocumentNotice, SS_CENTER | SS_NOPREFIX, {120, 1320, 8985, 555}, kIdLblNoRtf,
                            lblNoRtfFont_.Get());
    lblDo_ = CreateChild("STATIC", "lblDO", SS_LEFT, {120, 120, 405, 210}, kIdLblDo, formFont_.Get());
    txtDo_ = CreateChild("EDIT", "txtDO", ES_LEFT, {120, 480, 1335, 285}, kIdTxtDo, txtDoFont_.Get());

    // The hidden holders of the two button pictures.
    picButton1_.Reset(LoadProgramIcon(IDI_BUTTON_MODDERS));
    picButton2_.Reset(LoadProgramIcon(IDI_BUTTON_REMOVE));
}

SIZE FrmMain::OuterSizeTwips() const {
    RECT r{};
    GetWindowRect(window_.Get(), &r);
    return SIZE{(r.right - r.left) * TwipsPerPixelX(), (r.bottom - r.top) * TwipsPerPixelY()};
}

void FrmMain::SetOuterHeightTwips(int height) {
    RECT r{};
    GetWindowRect(window_.Get(), &r);
    SetWindowPos(window_.Get(), nullptr, 0, 0, r.right - r.left, TwipsToPixelsY(height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool FrmMain::ShowDocument(const std::string& documentPath) {
    ShowWindow(txtRaw_, SW_HIDE);
    RichEditFlags flags;
    flags.links = true;
    // The display reports clicks on its links to this window (WM_NOTIFY, in Handle).
    richEdit_ = CreateRichEdit(window_.Get(), TwipsToPixelsX(txtRawRect_.left), TwipsToPixelsY(txtRawRect_.top),
                               TwipsToPixelsX(txtRawRect_.width), TwipsToPixelsY(txtRawRect_.height), documentPath, "",
                               kDocumentRichEditStyle, WS_EX_CLIENTEDGE, flags);
    return static_cast<bool>(richEdit_);
}

void FrmMain::EnterIniErrorLook() {
    txtRawRect_.top += kLabel1Height + 100;
    MoveChild(txtRaw_, txtRawRect_);
    SetOrvoButtonEnabled(cmdRemoveMod_, false);
    label1Font_.Reset(CreatePointFont("MS Sans Serif", 12, true));
    SendMessageA(label1_, WM_SETFONT, reinterpret_cast<WPARAM>(label1Font_.Get()), FALSE);
    SetWindowTextA(label1_, kIniErrorNotice);
    iniErrorNotice_ = true;
    // Wide enough for the whole notice: the design width only held "Mod to Remove".
    MoveChild(label1_, {kLabel1Left, kLabel1Top, kTxtRawWidth, kLabel1Height});
    ShowWindow(label1_, SW_SHOWNA);
}

bool FrmMain::Form_Load() {
    // The placeholder of the display, and the look without an information document.
    txtRawRect_.left = kTxtRawLeft;
    txtRawRect_.top = kTxtRawTop;

    StartupContext context{fs_, ProgramUserInterface(), instance_, programFolder_,
                           [this](const std::string& path) { return ShowDocument(path); }};
    StartupOutcome outcome = RunStartup(context);
    if (outcome.state == StartupState::Ended) return false;

    if (!outcome.documentPresent) {
        SetOuterHeightTwips(kHeightWithoutDocument);
        ShowWindow(lblNoRtf_, SW_SHOWNA);
    }
    const SIZE outer = OuterSizeTwips();
    minimumWidth_ = outer.cx;
    minimumHeight_ = outer.cy;

    SetOrvoButtonPicture(cmdIni_, picButton1_.Get());
    SetOrvoButtonPicture(cmdRemoveMod_, picButton2_.Get());

    if (outcome.state == StartupState::IniError) EnterIniErrorLook();
    description_ = std::move(outcome.description);
    SetWindowTextA(window_.Get(), outcome.caption.c_str());
    loaded_ = true;
    return true;
}

void FrmMain::CentreOnScreen() {
    RECT r{};
    GetWindowRect(window_.Get(), &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const int x = area.left + ((area.right - area.left) - width) / 2;
    const int y = area.top + ((area.bottom - area.top) - height) / 2;
    SetWindowPos(window_.Get(), nullptr, x < area.left ? area.left : x, y < area.top ? area.top : y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrmMain::Show(int showCommand) {
    CentreOnScreen();
    ShowWindow(window_.Get(), showCommand);
    UpdateWindow(window_.Get());
    Form_Resize();
    FocusFirstButton();
}

void FrmMain::FocusFirstButton() {
    if (IsWindowEnabled(cmdRemoveMod_)) {
        SetFocus(cmdRemoveMod_);
    } else if (cmdIni_ != nullptr) {
        SetFocus(cmdIni_);
    }
}

void FrmMain::MoveFocus(bool backwards) {
    HWND focus = GetFocus();
    if (focus == richEdit_.Get() || focus == nullptr || focus == window_.Get()) {
        // The information display is no tab stop of its own: Tab leaves it for the buttons in their order.
        if (backwards && cmdIni_ != nullptr) {
            SetFocus(cmdIni_);
        } else {
            FocusFirstButton();
        }
        return;
    }
    HWND next = GetNextDlgTabItem(window_.Get(), focus, backwards ? TRUE : FALSE);
    if (next != nullptr) SetFocus(next);
}

void FrmMain::Form_Resize() {
    if (!loaded_) return;
    try {
        const SIZE outer = OuterSizeTwips();
        MainWindowLayoutInput input;
        input.width = outer.cx;
        input.height = outer.cy;
        input.minimized = IsIconic(window_.Get()) != FALSE;
        input.minimumWidth = minimumWidth_;
        input.minimumHeight = minimumHeight_;
        input.removeModWidth = kButtonWidth;
        input.removeModHeight = kButtonHeight;
        input.iniLeft = kIniLeft;
        input.txtRawLeft = txtRawRect_.left;
        input.txtRawTop = txtRawRect_.top;
        input.twipsPerPixelX = TwipsPerPixelX();
        input.twipsPerPixelY = TwipsPerPixelY();
        const MainWindowLayout layout = LayoutMainWindow(input);
        if (!layout.apply) return;
        if (layout.resized) {
            // Taking the minimum size raises a further resize, which lays the window out.
            SetWindowPos(window_.Get(), nullptr, 0, 0, TwipsToPixelsX(layout.width), TwipsToPixelsY(layout.height),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            return;
        }
        MoveChild(cmdRemoveMod_, {layout.removeModLeft, layout.removeModTop, kButtonWidth, kButtonHeight});
        MoveChild(cmdIni_, {layout.iniLeft, layout.iniTop, kButtonWidth, kButtonHeight});
        txtRawRect_ = {layout.txtRawLeft, layout.txtRawTop, layout.txtRawWidth, layout.txtRawHeight};
        MoveChild(txtRaw_, txtRawRect_);
        if (richEdit_ && IsWindow(richEdit_.Get())) {
            MoveWindow(richEdit_.Get(), layout.display.x, layout.display.y, layout.display.width, layout.display.height,
                       TRUE);
            SetTargetWidth(layout.targetWidthTwips, richEdit_.Get());
        }
    } catch (const std::exception& failure) {
        ReportFailure(failure, "Sub Form_Resize");
    }
}

bool FrmMain::Form_KeyDown(WPARAM keyCode, bool alt) {
    if (!alt) return false;
    if (keyCode == 'M') {
        cmdINI_Click();
        return true;
    }
    if (keyCode == 'R') {
        if (IsWindowEnabled(cmdRemoveMod_)) cmdRemoveMod_Click();
        return true;
    }
    return false;
}

bool FrmMain::PreTranslateMessage(const MSG& message) {
    if (!loaded_ || RunInProgress() || !KeepsKeysToItself(message.hwnd) || !IsWindowEnabled(window_.Get()))
        return false;
    if (message.message == WM_SYSKEYDOWN && (message.lParam & (1 << 29)) != 0) {
        return Form_KeyDown(message.wParam, true);
    }
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB) {
        MoveFocus(GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    return false;
}

// The information display is the one window of the form that keeps its keys to itself; the buttons
// hand theirs on, so keys on them (and on the form) have reached Form_KeyDown already.
bool FrmMain::KeepsKeysToItself(HWND window) const { return window != nullptr && window == richEdit_.Get(); }

void FrmMain::cmdRemoveMod_Click() {
    if (!IsWindowEnabled(cmdRemoveMod_)) return;
    RunOutcome outcome = RunOutcome::Failed;
    try {
        RunContext context{fs_, registry_, ProgramUserInterface(), browser_, programFolder_};
        outcome = RunRemoval(description_, context).outcome;
    } catch (const std::exception& failure) {
        ReportFailure(failure, "cmdRemoveMod_Click");
    }
    if (outcome == RunOutcome::Ignored) return;  // a click during a run: the run in progress goes on
    // Completed, stopped or failed: the window closes and the program ends. Closing happens from
    // the message loop, once the button that started the run has finished its own processing.
    if (outcome != RunOutcome::Declined || closeRequested_) PostMessageA(window_.Get(), WM_CLOSE, 0, 0);
}

void FrmMain::cmdINI_Click() {
    try {
        const std::string_view guide = LoadResourceBytes(IDR_USAGE_GUIDE, "CUSTOM");
        WriteUsageDocument(fs_, ProgramUserInterface(), programFolder_, guide);
    } catch (const std::exception& failure) {
        ReportFailure(failure, "cmdINI_Click");
    }
}

void FrmMain::Form_Unload() {
    const auto guarded = [](auto&& step) {
        try {
            step();
        } catch (const std::exception& failure) {
            ReportFailure(failure, "Sub Form_Unload (Cancel=0)");
        }
    };
    guarded([this] { richEdit_.Reset(); });
    guarded([] { ProgramUserInterface().DoEvents(); });
    guarded([] { FreeRichEditLibraries(); });
}

LRESULT FrmMain::OnColorStatic(HDC dc, HWND control) {
    SetBkMode(dc, TRANSPARENT);
    if (control == label1_) SetTextColor(dc, iniErrorNotice_ ? kIniErrorColor : kLabel1DesignColor);
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT FrmMain::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: Form_Resize(); return 0;
        case WM_GETMINMAXINFO:
            if (loaded_) {
                auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
                info->ptMinTrackSize.x = TwipsToPixelsX(minimumWidth_);
                info->ptMinTrackSize.y = TwipsToPixelsY(minimumHeight_);
                return 0;
            }
            break;
        case WM_NOTIFY:
            if (lParam != 0) {
                const std::string link = ClickedLink(*reinterpret_cast<const NMHDR*>(lParam), richEdit_.Get());
                if (!link.empty()) OpenLink(window, link, programFolder_);
            }
            break;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                if (LOWORD(wParam) == kIdCmdRemoveMod) {
                    cmdRemoveMod_Click();
                    return 0;
                }
                if (LOWORD(wParam) == kIdCmdIni) {
                    cmdINI_Click();
                    return 0;
                }
            }
            break;
        case WM_SYSKEYDOWN:
            if (Form_KeyDown(wParam, (lParam & (1 << 29)) != 0)) return 0;
            break;
        case WM_KEYDOWN:
            if (wParam == VK_TAB) {
                MoveFocus(GetKeyState(VK_SHIFT) < 0);
                return 0;
            }
            Form_KeyDown(wParam, false);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_KEYMENU && lParam != 0 && lParam != ' ') {
                const char letter = static_cast<char>(lParam & 0xFF);
                const WPARAM key = (letter >= 'a' && letter <= 'z')
                                       ? static_cast<WPARAM>(letter - 'a' + 'A')
                                       : static_cast<WPARAM>(static_cast<unsigned char>(letter));
                // Keys on the buttons and on the form itself have reached Form_KeyDown already.
                if (KeepsKeysToItself(GetFocus())) Form_KeyDown(key, true);
                return 0;  // no menu: the keystroke would only beep
            }
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(window, focus)) lastFocus_ = focus;
            } else if (lastFocus_ != nullptr && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_)) {
                SetFocus(lastFocus_);
                return 0;
            } else if (loaded_) {
                FocusFirstButton();
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC: return OnColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_GETFONT: return reinterpret_cast<LRESULT>(formFont_.Get());
        case WM_CLOSE:
            if (RunInProgress()) {
                closeRequested_ = true;  // the run ends first; then the window closes
                return 0;
            }
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            Form_Unload();
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            window_.Release();  // the window is gone; nothing is left to destroy
            break;
        default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace zelvane::win32
