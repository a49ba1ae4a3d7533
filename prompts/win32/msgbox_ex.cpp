#include "prompts/win32/msgbox_ex.hpp"

#include <mmsystem.h>
#include <richedit.h>

#include <exception>
#include <string>
#include <vector>

#include "prompts/accelerators.hpp"
#include "prompts/prompt_layout.hpp"
#include "prompts/prompt_sounds.hpp"
#include "prompts/rtf_envelope.hpp"
#include "prompts/win32/rich_edit.hpp"
#include "widgets/button_properties.hpp"
#include "widgets/win32/handles.hpp"
#include "widgets/win32/message_pump.hpp"
#include "widgets/win32/orvo_button.hpp"
#include "widgets/win32/twips.hpp"
#include "widgets/win32/window_hook.hpp"

namespace zelvane::win32 {
namespace {

constexpr int kFirstButtonId = 100;
constexpr int kPictureId = 90;
constexpr int kIconTwips = 495;
constexpr int kPictureLeft = 200;
constexpr int kPictureTop = 200;
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

RECT PixelRect(int leftTwips, int topTwips, int widthTwips, int heightTwips) {
    const int x = TwipsToPixelsX(leftTwips);
    const int y = TwipsToPixelsY(topTwips);
    return RECT{x, y, x + TwipsToPixelsX(widthTwips), y + TwipsToPixelsY(heightTwips)};
}

SIZE WindowSize(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// Centred over the owner when it is visible and not minimized, else on the screen; kept inside the
// work area of the monitor it lands on.
POINT CentredPosition(HWND owner, int width, int height) {
    RECT area{};
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &area);
    } else {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    POINT p{area.left + ((area.right - area.left) - width) / 2, area.top + ((area.bottom - area.top) - height) / 2};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoA(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        if (p.x + width > work.right) p.x = work.right - width;
        if (p.y + height > work.bottom) p.y = work.bottom - height;
        if (p.x < work.left) p.x = work.left;
        if (p.y < work.top) p.y = work.top;
    }
    return p;
}

// The work area of the monitor the prompt will appear on: the owner's, else the primary one.
RECT WorkAreaFor(HWND owner) {
    RECT work{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    HMONITOR handle = owner != nullptr ? MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY)
                                       : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (handle != nullptr && GetMonitorInfoA(handle, &monitor)) return monitor.rcWork;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

class MsgBoxExForm {
public:
    explicit MsgBoxExForm(PromptRequest request) : request_(std::move(request)) {}
    ~MsgBoxExForm() { Unload(); }
    MsgBoxExForm(const MsgBoxExForm&) = delete;
    MsgBoxExForm& operator=(const MsgBoxExForm&) = delete;

    int Run(HWND owner);
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    bool Create(HWND owner);
    void FitToWorkArea(HWND owner);
    int BodyHeight() const;
    void CreateBody(const std::string& rtf);
    void LayOut();
    void ShowIcon();
    void ShowModal(HWND owner);
    void Unload();
    void cmdOK_Click(int index);
    bool Form_KeyDown(WPARAM key, LPARAM lParam);
    void MoveFocus(bool backwards);
    std::vector<std::string> Captions() const;

    PromptRequest request_;
    UniqueWindow dialog_;
    HWND picture_ = nullptr;  // the children go with the dialog
    std::vector<HWND> buttons_;
    UniqueWindow body_;  // destroyed before the dialog, as Unload says
    UniqueIcon icon_;
    RECT requestedRect_{};  // the body's natural size, as it last reported it (pixels)
    int promptResult_ = -1;
    bool done_ = false;
    HWND lastFocus_ = nullptr;
    int maxBodyHeight_ = 0x7FFFFFFF;  // pixels
};

MsgBoxExForm* FormOf(HWND window) { return reinterpret_cast<MsgBoxExForm*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

LRESULT CALLBACK MsgBoxExProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    MsgBoxExForm* form = FormOf(window);
    if (form == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    try {
        return form->Handle(window, message, wParam, lParam);
    } catch (const std::exception& failure) {
        ReportFailure(failure, kMsgBoxExClass);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool MsgBoxExForm::Create(HWND owner) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    dialog_.Reset(CreateWindowExA(kDialogExStyle, kMsgBoxExClass, kApplicationTitle, kDialogStyle, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 400, 200, owner, nullptr, instance, this));
    if (!dialog_) return false;
    const RECT pictureRect = PixelRect(kPictureLeft, kPictureTop, kIconTwips, kIconTwips);
    picture_ =
        CreateWindowExA(0, "STATIC", nullptr, WS_CHILD | SS_ICON | SS_CENTERIMAGE, pictureRect.left, pictureRect.top,
                        pictureRect.right - pictureRect.left, pictureRect.bottom - pictureRect.top, dialog_.Get(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPictureId)), instance, nullptr);
    // cmdOK(0) as designed; moved, sized and copied once the body is measured.
    const RECT first = PixelRect(kPromptButtonDesignLeft, 2400, 1695, kPromptButtonDesignHeight);
    HWND button = CreateOrvoButton(dialog_.Get(), kFirstButtonId, first, PromptButtonProperties());
    if (button != nullptr) buttons_.push_back(button);
    return true;
}

// A body wider than the work area is wrapped at the widest width that fits, and a row of buttons
// wider than it is narrowed; a body taller than fits scrolls.
void MsgBoxExForm::FitToWorkArea(HWND owner) {
    const RECT work = WorkAreaFor(owner);
    PromptLayoutInput input;
    input.twipsPerPixelX = TwipsPerPixelX();
    input.twipsPerPixelY = TwipsPerPixelY();
    input.autoWidthPixels = request_.autoWidth;
    input.formatWidthTwips = request_.formatWidth;
    input.buttonCount = request_.buttonCount;
    input.buttonWidth = request_.buttonWidth;
    input.buttonHeight = request_.buttonHeight;
    const PromptFit fit = FitPromptToWorkArea(input, (work.right - work.left) * input.twipsPerPixelX);
    request_.formatWidth = fit.formatWidthTwips;
    request_.buttonWidth = fit.buttonWidth;
    maxBodyHeight_ = MaxBodyHeightPixels(input, (work.bottom - work.top) * input.twipsPerPixelY);
}

int MsgBoxExForm::BodyHeight() const {
    const LONG natural = requestedRect_.bottom;
    return natural < maxBodyHeight_ ? static_cast<int>(natural) : maxBodyHeight_;
}

void MsgBoxExForm::CreateBody(const std::string& rtf) {
    const int tppX = TwipsPerPixelX();
    const int tppY = TwipsPerPixelY();
    const PromptBodyPlacement placement =
        PlacePromptBody(kPromptLabelLeft, kPromptLabelTop, tppX, tppY, request_.autoWidth, request_.formatWidth);
    RichEditFlags flags;
    flags.requestSize = true;
    flags.makeInert = true;
    flags.links = false;
    // The body reports its natural size to the dialog while it is made (WM_NOTIFY, in Handle).
    body_ = CreateRichEdit(dialog_.Get(), placement.xPixels, placement.yPixels, 1, 1, "", rtf, kPromptRichEditStyle, 0,
                           flags);
    DoEvents();
    if (!body_) return;
    HWND body = body_.Get();

    if (request_.formatWidth != -1) {
        // SetTargetWidth takes off its 200 twips: the lines wrap at formatWidth - 200.
        SetTargetWidth(request_.formatWidth, body);
    }
    MoveWindow(body, placement.xPixels, placement.yPixels, placement.requestedWidthPixels, BodyHeight(), TRUE);
    DoEvents();
    if (request_.formatWidth != -1) {
        // Some rich edits lay out wrapped lines only once the window has its width: ask for the
        // natural size again so that no wrapped line is cut off.
        SendMessageA(body, EM_REQUESTRESIZE, 0, 0);
        DoEvents();
        MoveWindow(body, placement.xPixels, placement.yPixels, placement.requestedWidthPixels, BodyHeight(), TRUE);
        DoEvents();
    }
    if (requestedRect_.bottom > maxBodyHeight_) {
        // Taller than the screen allows: the rest of the text is reached with the scroll bar.
        SetWindowLongA(body, GWL_STYLE, GetWindowLongA(body, GWL_STYLE) | WS_VSCROLL);
        SendMessageA(body, EM_SHOWSCROLLBAR, SB_VERT, TRUE);
        SetWindowPos(body, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
    SetRichEditBackColor(GetSysColor(COLOR_BTNFACE), body);
}

void MsgBoxExForm::LayOut() {
    PromptLayoutInput input;
    input.twipsPerPixelX = TwipsPerPixelX();
    input.twipsPerPixelY = TwipsPerPixelY();
    input.autoWidthPixels = request_.autoWidth;
    input.formatWidthTwips = request_.formatWidth;
    if (body_) {
        const SIZE size = WindowSize(body_.Get());
        input.bodyActualWidthPixels = size.cx;
        input.bodyActualHeightPixels = size.cy;
    }
    input.buttonCount = request_.buttonCount;
    input.buttonWidth = request_.buttonWidth;
    input.buttonHeight = request_.buttonHeight;
    const PromptLayout layout = LayoutPrompt(input);

    // Button 0 takes its size; the others are copies of it in a row.
    const OrvoButtonProperties* design = buttons_.empty() ? nullptr : GetOrvoButtonProperties(buttons_[0]);
    const OrvoButtonProperties properties = design != nullptr ? *design : PromptButtonProperties();
    for (std::size_t i = buttons_.size(); i < layout.buttonLefts.size(); ++i) {
        const RECT r = PixelRect(layout.buttonLefts[i], layout.buttonTop, layout.buttonWidth, layout.buttonHeight);
        HWND copy = CreateOrvoButton(dialog_.Get(), kFirstButtonId + static_cast<int>(i), r, properties);
        if (copy == nullptr) break;
        buttons_.push_back(copy);
    }
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const RECT r = PixelRect(layout.buttonLefts[i], layout.buttonTop, layout.buttonWidth, layout.buttonHeight);
        MoveWindow(buttons_[i], r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        const std::string caption = i < request_.captions.size() ? request_.captions[i] : std::string();
        SetWindowTextA(buttons_[i], caption.c_str());
    }

    const int width = TwipsToPixelsX(layout.dialogWidth);
    const int height = TwipsToPixelsY(layout.dialogHeight);
    const POINT at = CentredPosition(GetWindow(dialog_.Get(), GW_OWNER), width, height);
    SetWindowPos(dialog_.Get(), nullptr, at.x, at.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MsgBoxExForm::ShowIcon() {
    if (request_.iconType < 1 || request_.iconType > 4) return;
    icon_.Reset(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(request_.iconType + 1),
                                              IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
    if (!icon_) return;
    SendMessageA(picture_, STM_SETICON, reinterpret_cast<WPARAM>(icon_.Get()), 0);
    ShowWindow(picture_, SW_SHOWNA);
}

std::vector<std::string> MsgBoxExForm::Captions() const {
    std::vector<std::string> captions;
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        captions.push_back(i < request_.captions.size() ? request_.captions[i] : std::string());
    }
    return captions;
}

void MsgBoxExForm::cmdOK_Click(int index) {
    promptResult_ = index;
    done_ = true;
}

bool MsgBoxExForm::Form_KeyDown(WPARAM key, LPARAM lParam) {
    const bool alt = (lParam & (1 << 29)) != 0;
    if (!alt || key < 'A' || key > 'Z') return false;
    const int index = FindAcceleratorButton(Captions(), static_cast<char>(key));
    if (index >= 0) cmdOK_Click(index);
    return true;
}

void MsgBoxExForm::MoveFocus(bool backwards) {
    HWND next = GetNextDlgTabItem(dialog_.Get(), GetFocus(), backwards ? TRUE : FALSE);
    if (next != nullptr) SetFocus(next);
}

void MsgBoxExForm::ShowModal(HWND owner) {
    const bool ownerWasEnabled = owner != nullptr && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);

    HWND dialog = dialog_.Get();
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
    const int focus = request_.focusIndex;
    if (focus >= 0 && static_cast<std::size_t>(focus) < buttons_.size()) SetFocus(buttons_[focus]);
    if (request_.onTop) SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (request_.playSound) {
        const std::string alias(SystemSoundName(SoundForIcon(request_.iconType)));
        PlaySoundA(alias.c_str(), nullptr, SND_ALIAS | SND_ASYNC);
    }

    MSG message;
    while (!done_ && IsWindow(dialog)) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }

    // The owner comes back before the prompt goes, so that it is the window activated next.
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    if (IsWindow(dialog)) ShowWindow(dialog, SW_HIDE);
    if (owner != nullptr && IsWindow(owner)) SetActiveWindow(owner);
}

void MsgBoxExForm::Unload() {
    if (body_) {
        UnhookWindow(body_.Get());
        DoEvents();
        body_.Reset();
    }
    dialog_.Reset();
}

int MsgBoxExForm::Run(HWND owner) {
    promptResult_ = -1;
    if (!Create(owner)) return -1;
    const std::string rtf = BuildPromptRtf(request_.msgText, request_.fontSize);
    DoEvents();
    FitToWorkArea(owner);
    CreateBody(rtf);
    LayOut();
    ShowIcon();
    SetWindowTextA(dialog_.Get(), request_.msgTitle.empty() ? kApplicationTitle : request_.msgTitle.c_str());
    ShowModal(owner);
    const int result = promptResult_;
    Unload();
    return result;
}

LRESULT MsgBoxExForm::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NOTIFY: GetRequestHeightFromNM(wParam, lParam, requestedRect_); break;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) >= kFirstButtonId) {
                const int index = LOWORD(wParam) - kFirstButtonId;
                if (static_cast<std::size_t>(index) < buttons_.size()) cmdOK_Click(index);
                return 0;
            }
            break;
        case WM_SYSKEYDOWN:
            if (Form_KeyDown(wParam, lParam)) return 0;
            break;
        case WM_KEYDOWN:
            if (wParam == VK_TAB) {
                MoveFocus(GetKeyState(VK_SHIFT) < 0);
                return 0;
            }
            return 0;  // Enter, Escape and the arrows choose nothing
        case WM_SYSCOMMAND:
            // Alt+letter already went to the accelerators; without a menu it would only beep.
            if ((wParam & 0xFFF0) == SC_KEYMENU && lParam != 0 && lParam != ' ') return 0;
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(window, focus)) lastFocus_ = focus;
            } else if (lastFocus_ != nullptr && IsWindow(lastFocus_)) {
                SetFocus(lastFocus_);
                return 0;
            }
            break;
        case WM_CLOSE:
            done_ = true;  // the result stays -1
            return 0;
        case WM_CTLCOLORSTATIC:
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

LONG GetRequestHeightFromNM(WPARAM, LPARAM lParam, RECT& requested) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == nullptr || header->code != EN_REQUESTRESIZE) return 0;
    requested = reinterpret_cast<const REQRESIZE*>(lParam)->rc;
    return requested.bottom;
}

bool RegisterMsgBoxExClass(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &MsgBoxExProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kMsgBoxExClass;
    return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int ShowMsgBoxEx(HWND owner, PromptRequest request) {
    try {
        MsgBoxExForm form(std::move(request));
        return form.Run(owner);
    } catch (const std::exception& failure) {
        // The caller always gets an answer: a prompt that fails counts as closed.
        ReportFailure(failure, "Public Function MsgBoxEx");
    }
    return -1;
}

}  // namespace zelvane::win32
