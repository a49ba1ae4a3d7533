#include "widgets/win32/twips.hpp"

#include <cmath>
#include <string>

#include "widgets/win32/handles.hpp"

namespace zelvane::win32 {
namespace {

int ScreenDpi(int index) {
    WindowDc screen(nullptr);
    const int dpi = screen.Get() != nullptr ? GetDeviceCaps(screen.Get(), index) : 96;
    return dpi > 0 ? dpi : 96;
}

}  // namespace

int TwipsPerPixelX() {
    static const int value = 1440 / ScreenDpi(LOGPIXELSX);
    return value;
}

int TwipsPerPixelY() {
    static const int value = 1440 / ScreenDpi(LOGPIXELSY);
    return value;
}

int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

int TwipsToPixelsX(int twips) { return RoundHalfEven(static_cast<double>(twips) / TwipsPerPixelX()); }
int TwipsToPixelsY(int twips) { return RoundHalfEven(static_cast<double>(twips) / TwipsPerPixelY()); }

HFONT CreatePointFont(std::string_view face, double points, bool bold, bool underline) {
    const int height = -RoundHalfEven(points * ScreenDpi(LOGPIXELSY) / 72.0);
    const std::string name(face.substr(0, LF_FACESIZE - 1));
    return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline ? TRUE : FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, name.c_str());
}

}  // namespace zelvane::win32
