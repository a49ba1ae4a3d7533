#include "widgets/win32/orvo_button.hpp"

#include <array>
#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "widgets/button_face.hpp"
#include "widgets/disabled_image.hpp"
#include "widgets/gradient.hpp"
#include "widgets/win32/handles.hpp"
#include "widgets/win32/message_pump.hpp"
#include "widgets/win32/twips.hpp"

namespace zelvane::win32 {
namespace {

constexpr int kIconSize = 32;

// A colour value as the button stores it: a COLORREF, or a system colour (high bit, index in the
// low byte). nullopt for a value that names neither.
std::optional<COLORREF> TranslateColor(std::uint32_t value) {
    if ((value & 0x80000000u) != 0) {
        const std::uint32_t index = value & 0x7FFFFFFFu;
        if (index > COLOR_MENUBAR) return std::nullopt;
        return GetSysColor(static_cast<int>(index));
    }
    if (value > 0xFFFFFFu) return std::nullopt;
    return static_cast<COLORREF>(value);
}

RECT ToRect(const FaceRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// A 32-bit top-down bitmap of size x size pixels selected into a memory DC.
struct PixelCanvas {
    UniqueMemoryDc dc;
    UniqueBitmap bitmap;
    std::uint32_t* pixels = nullptr;
    HGDIOBJ previous = nullptr;

    PixelCanvas(HDC compatible, int size) : dc(CreateCompatibleDC(compatible)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = size;
        info.bmiHeader.biHeight = -size;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap.Reset(CreateDIBSection(compatible, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (dc && bitmap) {
            pixels = static_cast<std::uint32_t*>(bits);
            previous = SelectObject(dc.Get(), bitmap.Get());
        }
    }
    ~PixelCanvas() {
        if (previous != nullptr) SelectObject(dc.Get(), previous);
    }
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;
    bool Ready() const { return pixels != nullptr; }
};

// The disabled icon: every pixel a grey of its own luminance, laid over the face with the icon's
// coverage (DrawState's disabled look turns icons with an alpha channel into one flat shape).
void DrawDisabledIcon(HDC dc, HICON icon, int x, int y) {
    PixelCanvas overBlack(dc, kIconSize);
    PixelCanvas overWhite(dc, kIconSize);
    PixelCanvas face(dc, kIconSize);
    if (!overBlack.Ready() || !overWhite.Ready() || !face.Ready()) return;
    const RECT all{0, 0, kIconSize, kIconSize};
    FillRect(overBlack.dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    FillRect(overWhite.dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(overBlack.dc.Get(), 0, 0, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
    DrawIconEx(overWhite.dc.Get(), 0, 0, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
    BitBlt(face.dc.Get(), 0, 0, kIconSize, kIconSize, dc, x, y, SRCCOPY);
    GdiFlush();
    for (int i = 0; i < kIconSize * kIconSize; ++i) {
        face.pixels[i] =
            DisabledPixel(overBlack.pixels[i] & 0xFFFFFF, overWhite.pixels[i] & 0xFFFFFF, face.pixels[i] & 0xFFFFFF);
    }
    BitBlt(dc, x, y, kIconSize, kIconSize, face.dc.Get(), 0, 0, SRCCOPY);
}

void FillGradient(HDC dc, const FaceRect& area, std::uint32_t color1, std::uint32_t color2, std::int32_t direction) {
    const std::optional<COLORREF> first = TranslateColor(color1);
    const std::optional<COLORREF> second = TranslateColor(color2);
    if (!first || !second) return;
    const GradientFillPlan plan =
        GradientFillRectPlan(area.left, area.top, area.right - area.left, area.bottom - area.top,
                             ColorToGradientColor(*first), ColorToGradientColor(*second), direction);
    if (!plan.draws) return;
    std::array<TRIVERTEX, 2> vertices{};
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const GradientVertex& v = plan.vertices[i];
        vertices[i] = TRIVERTEX{v.x, v.y, v.red, v.green, v.blue, v.alpha};
    }
    GRADIENT_RECT mesh{0, 1};
    GradientFill(dc, vertices.data(), 2, &mesh, 1, plan.mode);
}

class OrvoButton {
public:
    OrvoButton(HWND window, const OrvoButtonProperties& properties) : window_(window) { Load(properties); }

    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    const OrvoButtonProperties& Properties() const { return properties_; }
    // Load takes the properties without touching the window (it may not exist yet); Apply also
    // sets the caption and the enabled state and redraws.
    void Load(const OrvoButtonProperties& properties);
    void Apply(const OrvoButtonProperties& properties);
    void SetPicture(HICON icon);

private:
    void Paint(bool pressed, bool hover);
    void NormalRedraw() { Paint(false, false); }
    void Render(HDC target, bool pressed, bool hover);
    void DrawPlan(HDC dc, const ButtonPaintPlan& plan, const RECT& client);
    void DrawBorder(HDC dc, const std::vector<BorderSegment>& segments);
    HPEN PenFor(COLORREF color);
    HFONT CaptionFont() const;
    bool PointerOver() const;
    bool PointerInside() const;
    void StartHoverTimer();
    void StopHoverTimer();
    void Click();
    LRESULT PassToForm(UINT message, WPARAM wParam, LPARAM lParam);

    void OnHoverTick();
    void OnMouseMove();
    void OnLeftDown();
    void OnLeftUp();
    void OnSpaceDown();
    void OnSpaceUp();
    void OnSetFocus();
    void OnKillFocus();

    HWND window_;
    OrvoButtonProperties properties_;
    UniqueFont font_;
    UniqueIcon picture_;
    UniqueImageList images_;
    std::array<UniquePen, 12> pens_;
    std::array<COLORREF, 12> penColors_{};
    bool pensMade_ = false;

    bool hasFocus_ = false;
    bool mouseDown_ = false;
    bool timerRunning_ = false;
    bool spaceHeld_ = false;
    int lastButton_ = 0;
    // The state last painted, for WM_PAINT.
    bool shownPressed_ = false;
    bool shownHover_ = false;
};

OrvoButton* FromWindow(HWND window) {
    char name[32] = {};
    if (GetClassNameA(window, name, sizeof name) == 0 || lstrcmpiA(name, kOrvoButtonClass) != 0) return nullptr;
    return reinterpret_cast<OrvoButton*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void OrvoButton::Load(const OrvoButtonProperties& properties) {
    properties_ = properties;
    font_.Reset();
    if (properties_.Font) {
        font_.Reset(CreatePointFont(properties_.Font->face, properties_.Font->points, properties_.Font->bold));
    }
}

void OrvoButton::Apply(const OrvoButtonProperties& properties) {
    Load(properties);
    SetWindowTextA(window_, properties_.Caption.c_str());
    EnableWindow(window_, properties_.Enabled ? TRUE : FALSE);
    NormalRedraw();
}

void OrvoButton::SetPicture(HICON icon) {
    images_.Reset();
    picture_.Reset(icon != nullptr ? CopyIcon(icon) : nullptr);
    if (picture_) {
        images_.Reset(ImageList_Create(kIconSize, kIconSize, ILC_COLOR32 | ILC_MASK, 1, 2));
        if (images_) ImageList_ReplaceIcon(images_.Get(), -1, picture_.Get());
    }
    NormalRedraw();
}

HFONT OrvoButton::CaptionFont() const {
    if (font_) return font_.Get();
    HWND parent = GetParent(window_);
    const auto parentFont = reinterpret_cast<HFONT>(SendMessageA(parent, WM_GETFONT, 0, 0));
    return parentFont != nullptr ? parentFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HPEN OrvoButton::PenFor(COLORREF color) {
    if (!pensMade_) {
        // Top, right (and left), bottom of rings 0 and 1, blue then gold: twelve pens, made once.
        std::size_t i = 0;
        for (const auto* rings : {&kBlueBorderRings, &kGoldBorderRings}) {
            for (const BorderRing& ring : *rings) {
                for (const std::uint32_t c : {ring.top, ring.right, ring.bottom}) {
                    penColors_[i] = c;
                    pens_[i].Reset(CreatePen(PS_SOLID, 1, c));
                    ++i;
                }
            }
        }
        pensMade_ = true;
    }
    for (std::size_t i = 0; i < pens_.size(); ++i) {
        if (penColors_[i] == color) return pens_[i].Get();
    }
    return nullptr;
}

bool OrvoButton::PointerOver() const {
    POINT p{};
    return GetCursorPos(&p) && WindowFromPoint(p) == window_;
}

bool OrvoButton::PointerInside() const {
    POINT p{};
    if (!GetCursorPos(&p) || !ScreenToClient(window_, &p)) return false;
    RECT client{};
    GetClientRect(window_, &client);
    return PtInRect(&client, p) != FALSE;
}

void OrvoButton::Paint(bool pressed, bool hover) {
    if (spaceHeld_) return;
    shownPressed_ = pressed;
    shownHover_ = hover;
    WindowDc dc(window_);
    if (dc.Get() != nullptr) Render(dc.Get(), pressed, hover);
}

void OrvoButton::Render(HDC target, bool pressed, bool hover) {
    RECT client{};
    GetClientRect(window_, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return;

    // Drawn off screen and shown in one copy, so the 20 ms hover repaints never flicker.
    UniqueMemoryDc memory(CreateCompatibleDC(target));
    UniqueBitmap bitmap(CreateCompatibleBitmap(target, width, height));
    if (!memory || !bitmap) return;
    SelectedObject selectedBitmap(memory.Get(), bitmap.Get());
    SelectedObject selectedFont(memory.Get(), CaptionFont());
    SetBkMode(memory.Get(), TRANSPARENT);

    ButtonFaceInput input;
    input.pressed = pressed;
    input.hover = hover;
    input.focus = hasFocus_;
    input.enabled = IsWindowEnabled(window_) != FALSE;
    input.spaceHeld = false;
    input.hasPicture = static_cast<bool>(picture_);
    input.innerWidth = width;
    input.innerHeight = height;
    input.windowWidth = width;
    input.windowHeight = height;
    input.iconWidth = kIconSize;
    input.iconHeight = kIconSize;

    const std::string& caption = properties_.Caption;
    RECT measure = ToRect(CaptionMeasureRect(width, height, input.hasPicture, kIconSize));
    DrawTextA(memory.Get(), caption.c_str(), static_cast<int>(caption.size()), &measure, kDtCalcRectWordBreak);
    input.captionWidth = measure.right - measure.left;
    input.captionHeight = measure.bottom - measure.top;
    TEXTMETRICA metrics{};
    GetTextMetricsA(memory.Get(), &metrics);
    input.lineHeight = metrics.tmHeight;

    DrawPlan(memory.Get(), PlanButtonFace(input, properties_), client);
    BitBlt(target, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
}

void OrvoButton::DrawPlan(HDC dc, const ButtonPaintPlan& plan, const RECT& client) {
    if (!plan.paints) return;
    RECT face = ToRect(plan.faceRect);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (plan.gradient) {
        FillGradient(dc, plan.gradientRect, plan.gradientColor1, plan.gradientColor2, plan.gradientDirection);
    }

    const std::string& caption = properties_.Caption;
    for (const CaptionPass& pass : plan.captionPasses) {
        const std::optional<COLORREF> color = TranslateColor(pass.color);
        if (!color) continue;
        SetTextColor(dc, *color);
        RECT r = ToRect(pass.rect);
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r, pass.format);
    }

    if (plan.icon.draw && picture_) {
        if (plan.icon.disabledLook) {
            DrawDisabledIcon(dc, picture_.Get(), plan.icon.x, plan.icon.y);
        } else if (images_) {
            ImageList_Draw(images_.Get(), 0, dc, plan.icon.x, plan.icon.y, ILD_TRANSPARENT);
        }
    }

    if (plan.edge != kEdgeNone) DrawEdge(dc, &face, plan.edge, BF_RECT);

    if (plan.border == FaceBorder::DottedFocus) {
        RECT focus = ToRect(plan.focusRect);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        DrawFocusRect(dc, &focus);
    } else if (plan.border == FaceBorder::Blue || plan.border == FaceBorder::Gold) {
        DrawBorder(dc, plan.borderSegments);
    }
}

void OrvoButton::DrawBorder(HDC dc, const std::vector<BorderSegment>& segments) {
    for (const BorderSegment& segment : segments) {
        HPEN pen = PenFor(segment.color);
        if (pen == nullptr) continue;
        SelectedObject selected(dc, pen);
        const POINT line[2] = {{segment.from.x, segment.from.y}, {segment.to.x, segment.to.y}};
        Polyline(dc, line, 2);
    }
}

void OrvoButton::StartHoverTimer() {
    if (SetTimer(window_, kHoverTimerId, kHoverTimerPeriod, nullptr) != 0) timerRunning_ = true;
}

void OrvoButton::StopHoverTimer() {
    KillTimer(window_, kHoverTimerId);
    timerRunning_ = false;
}

void OrvoButton::OnHoverTick() {
    if (!PointerOver()) {
        StopHoverTimer();
        NormalRedraw();
    } else if (!mouseDown_) {
        Paint(false, true);
    } else {
        Paint(true, false);
    }
}

void OrvoButton::OnMouseMove() {
    if (timerRunning_) return;
    StartHoverTimer();
    if (!PointerInside()) {
        NormalRedraw();
    } else if (mouseDown_) {
        Paint(true, false);
    }
}

void OrvoButton::OnLeftDown() {
    mouseDown_ = true;
    lastButton_ = 1;
    if (GetFocus() != window_) SetFocus(window_);
    SetCapture(window_);
    Paint(true, false);
}

void OrvoButton::OnLeftUp() {
    const bool wasDown = mouseDown_;
    mouseDown_ = false;
    if (GetCapture() == window_) ReleaseCapture();
    const bool over = PointerOver();
    if (over) {
        Paint(false, true);
    } else {
        NormalRedraw();
    }
    lastButton_ = 1;
    if (wasDown && over) Click();
}

void OrvoButton::OnSpaceDown() {
    if (spaceHeld_) return;
    hasFocus_ = true;
    lastButton_ = 1;
    Paint(true, false);
    spaceHeld_ = true;
}

void OrvoButton::OnSpaceUp() {
    // Only a Space that went down on this button clicks it.
    if (!spaceHeld_ || !hasFocus_) return;
    spaceHeld_ = false;
    lastButton_ = 1;
    NormalRedraw();
    Click();
}

void OrvoButton::OnSetFocus() {
    hasFocus_ = true;
    if (!PointerOver()) NormalRedraw();
}

void OrvoButton::OnKillFocus() {
    // The flag goes first, so that the repaint no longer draws the focus mark; a Space held while
    // the focus left is forgotten, or the button would never paint again.
    hasFocus_ = false;
    spaceHeld_ = false;
    if (PointerOver()) {
        Paint(false, true);
    } else {
        NormalRedraw();
    }
}

void OrvoButton::Click() {
    if (lastButton_ != 1 || !IsWindowEnabled(window_)) return;
    const int id = GetDlgCtrlID(window_);
    SendMessageA(GetParent(window_), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(window_));
}

// The button only ever sees Space; every other key is the business of the form that holds it
// (its accelerators, Tab).
LRESULT OrvoButton::PassToForm(UINT message, WPARAM wParam, LPARAM lParam) {
    SendMessageA(GetParent(window_), message, wParam, lParam);
    return 0;
}

LRESULT OrvoButton::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PaintDc dc(window_);
            if (spaceHeld_) {
                Render(dc.Get(), true, false);
            } else {
                Render(dc.Get(), shownPressed_, shownHover_);
            }
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_SIZE: NormalRedraw(); return 0;
        case WM_MOUSEMOVE: OnMouseMove(); return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: OnLeftDown(); return 0;
        case WM_LBUTTONUP: OnLeftUp(); return 0;
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: lastButton_ = message == WM_RBUTTONDOWN ? 2 : 4; return 0;
        case WM_CAPTURECHANGED:
            if (mouseDown_ && reinterpret_cast<HWND>(lParam) != window_) {
                mouseDown_ = false;
                NormalRedraw();
            }
            return 0;
        case WM_KEYDOWN:
            if (wParam != VK_SPACE) return PassToForm(message, wParam, lParam);
            OnSpaceDown();
            return 0;
        case WM_KEYUP:
            if (wParam != VK_SPACE) return PassToForm(message, wParam, lParam);
            OnSpaceUp();
            return 0;
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP: return PassToForm(message, wParam, lParam);
        case WM_TIMER:
            if (wParam == kHoverTimerId) OnHoverTick();
            return 0;
        case WM_SETFOCUS: OnSetFocus(); return 0;
        case WM_KILLFOCUS: OnKillFocus(); return 0;
        case WM_ENABLE:
            properties_.Enabled = wParam != FALSE;
            if (!properties_.Enabled) {
                mouseDown_ = false;
                spaceHeld_ = false;
            }
            NormalRedraw();
            return 0;
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcA(window_, message, wParam, lParam);
            properties_.Caption = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
            Paint(shownPressed_, shownHover_);
            return result;
        }
        case BM_CLICK:
            if (IsWindowEnabled(window_)) {
                lastButton_ = 1;
                Click();
            }
            return 0;
        case WM_GETDLGCODE: return DLGC_BUTTON;
        default: return DefWindowProcA(window_, message, wParam, lParam);
    }
}

LRESULT CALLBACK OrvoButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        const auto* properties = static_cast<const OrvoButtonProperties*>(create->lpCreateParams);
        auto button =
            std::make_unique<OrvoButton>(window, properties != nullptr ? *properties : OrvoButtonProperties{});
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(button.release()));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    auto* button = reinterpret_cast<OrvoButton*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        // The button ends: timer, pens and image list go with it.
        KillTimer(window, kHoverTimerId);
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        std::unique_ptr<OrvoButton> owned(button);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (button == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    try {
        return button->Handle(message, wParam, lParam);
    } catch (const std::exception& failure) {
        ReportFailure(failure, kOrvoButtonClass);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool RegisterOrvoButtonClass(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &OrvoButtonProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;
    wc.lpszClassName = kOrvoButtonClass;
    return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateOrvoButton(HWND parent, int id, const RECT& bounds, const OrvoButtonProperties& properties) {
    HWND button =
        CreateWindowExA(0, kOrvoButtonClass, properties.Caption.c_str(),
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | (properties.Enabled ? 0 : WS_DISABLED),
                        bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                        const_cast<OrvoButtonProperties*>(&properties));
    return button;
}

const OrvoButtonProperties* GetOrvoButtonProperties(HWND button) {
    const OrvoButton* object = FromWindow(button);
    return object != nullptr ? &object->Properties() : nullptr;
}

void SetOrvoButtonProperties(HWND button, const OrvoButtonProperties& properties) {
    if (OrvoButton* object = FromWindow(button)) object->Apply(properties);
}

void SetOrvoButtonPicture(HWND button, HICON icon) {
    if (OrvoButton* object = FromWindow(button)) object->SetPicture(icon);
}

void SetOrvoButtonEnabled(HWND button, bool enabled) {
    if (FromWindow(button) == nullptr) return;
    EnableWindow(button, enabled ? TRUE : FALSE);
    InvalidateRect(button, nullptr, FALSE);
}

}  // namespace zelvane::win32
