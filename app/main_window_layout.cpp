#include "app/main_window_layout.hpp"

#include <algorithm>
#include <cstdint>

#include "widgets/rounding.hpp"

namespace zelvane {
namespace {

int Pixels(std::int64_t twips, int twipsPerPixel) {
    return ClampToInt32(DivideRoundHalfEven(twips, twipsPerPixel > 0 ? twipsPerPixel : 1));
}

}  // namespace

MainWindowLayout LayoutMainWindow(const MainWindowLayoutInput& in) {
    MainWindowLayout layout;
    layout.width = in.width;
    layout.height = in.height;
    if (in.minimized) return layout;
    layout.apply = true;

    if (layout.height < in.minimumHeight) layout.height = in.minimumHeight;
    if (layout.width < in.minimumWidth) layout.width = in.minimumWidth;
    layout.resized = layout.width != in.width || layout.height != in.height;

    const std::int64_t width = layout.width;
    const std::int64_t height = layout.height;
    layout.removeModLeft = ClampToInt32(width - (static_cast<std::int64_t>(in.removeModWidth) + 240));
    layout.removeModTop = ClampToInt32(height - (static_cast<std::int64_t>(in.removeModHeight) + 600));
    layout.iniLeft = in.iniLeft;
    layout.iniTop = layout.removeModTop;
    layout.txtRawLeft = in.txtRawLeft;
    layout.txtRawTop = in.txtRawTop;
    // A window squeezed below the room the buttons need gives the text box no size rather than a
    // negative one.
    layout.txtRawWidth = ClampToInt32(std::max<std::int64_t>(0, width - 380));
    layout.txtRawHeight =
        ClampToInt32(std::max<std::int64_t>(0, layout.iniTop - (static_cast<std::int64_t>(in.txtRawTop) + 200)));

    layout.display.x = Pixels(layout.txtRawLeft, in.twipsPerPixelX);
    layout.display.y = Pixels(layout.txtRawTop, in.twipsPerPixelY);
    layout.display.width = Pixels(layout.txtRawWidth, in.twipsPerPixelX);
    layout.display.height = Pixels(layout.txtRawHeight, in.twipsPerPixelY);
    layout.targetWidthTwips = ClampToInt32(static_cast<std::int64_t>(layout.txtRawWidth) - 400);
    return layout;
}

}  // namespace zelvane
