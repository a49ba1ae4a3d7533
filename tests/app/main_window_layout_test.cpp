#include "app/main_window_layout.hpp"

#include <gtest/gtest.h>

#include <string>

namespace zelvane {
namespace {

// A layout in one line: the window, the two buttons, the text box and the display in pixels.
std::string Summary(const MainWindowLayout& l) {
    const auto pair = [](int a, int b) { return std::to_string(a) + "," + std::to_string(b); };
    if (!l.apply) return "still " + pair(l.width, l.height) + (l.resized ? " resized" : "");
    return (l.resized ? "resized " + pair(l.width, l.height) + " " : "") + "remove " +
           pair(l.removeModLeft, l.removeModTop) + " ini " + pair(l.iniLeft, l.iniTop) + " raw " +
           pair(l.txtRawLeft, l.txtRawTop) + " " + pair(l.txtRawWidth, l.txtRawHeight) + " display " +
           pair(l.display.x, l.display.y) + " " + pair(l.display.width, l.display.height) + " target " +
           std::to_string(l.targetWidthTwips);
}

TEST(MainWindowLayout, ButtonsAlongTheBottomAndTheDisplayAboveThem) {
    const std::vector<std::pair<MainWindowLayoutInput, std::string>> cases = {
        // 10000 - (4455 + 240), 8000 - (735 + 600); the display 641.33 x 423 pixels.
        {{10000, 8000, false, 9390, 7665},
         "remove 5305,6665 ini 120,6665 raw 120,120 9620,6345 display 8,8 641,423 target 9220"},
        // Smaller than the minimum snaps back on the side that is too small.
        {{5000, 3000, false, 9390, 7665},
         "resized 9390,7665 remove 4695,6330 ini 120,6330 raw 120,120 9010,6010 display 8,8 601,401 target 8610"},
        {{5000, 9000, false, 9390, 7665},
         "resized 9390,9000 remove 4695,7665 ini 120,7665 raw 120,120 9010,7345 display 8,8 601,490 target 8610"},
        // Without a document the minimum height is the start height.
        {{9390, 4000, false, 9390, 4245},
         "resized 9390,4245 remove 4695,2910 ini 120,2910 raw 120,120 9010,2590 display 8,8 601,173 target 8610"},
        {{100, 100, true, 9390, 7665}, "still 100,100"},
        // Sizes stay positive.
        {{100, 100, false, 0, 0}, "remove -4595,-1235 ini 120,-1235 raw 120,120 0,0 display 8,8 0,0 target -400"},
    };
    for (const auto& [input, layout] : cases) EXPECT_EQ(Summary(LayoutMainWindow(input)), layout);
}

TEST(MainWindowLayout, DisplayPixelsRoundHalvesToEven) {
    const auto width = [](int twips) {
        return LayoutMainWindow({.width = twips, .height = 8000, .twipsPerPixelX = 12}).display.width;
    };
    EXPECT_EQ(std::pair(width(380 + 12 * 50 + 6), width(380 + 12 * 51 + 6)), std::pair(50, 52));  // 50.5, 51.5
}

}  // namespace
}  // namespace zelvane
