#include "app/main_window_layout.hpp"

#include <gtest/gtest.h>

namespace zelvane {
namespace {

MainWindowLayoutInput Window(int width, int height, int minimumWidth = 9390, int minimumHeight = 7665) {
    MainWindowLayoutInput input;
    input.width = width;
    input.height = height;
    input.minimumWidth = minimumWidth;
    input.minimumHeight = minimumHeight;
    return input;
}

TEST(MainWindowLayout, ButtonsAlongTheBottomAndTheDisplayAboveThem) {
    const MainWindowLayout layout = LayoutMainWindow(Window(10000, 8000));
    ASSERT_TRUE(layout.apply);
    EXPECT_FALSE(layout.resized);
    EXPECT_EQ(layout.removeModLeft, 10000 - (4455 + 240));
    EXPECT_EQ(layout.removeModTop, 8000 - (735 + 600));
    EXPECT_EQ(layout.iniLeft, 120);
    EXPECT_EQ(layout.iniTop, layout.removeModTop);
    EXPECT_EQ(layout.txtRawWidth, 9620);
    EXPECT_EQ(layout.txtRawHeight, 6665 - 320);
    EXPECT_EQ(layout.display.x, 8);
    EXPECT_EQ(layout.display.y, 8);
    EXPECT_EQ(layout.display.width, 641);   // 641.33
    EXPECT_EQ(layout.display.height, 423);  // 423
    EXPECT_EQ(layout.targetWidthTwips, 9220);
}

TEST(MainWindowLayout, SmallerThanTheMinimumSnapsBackOnTheTooSmallSide) {
    const MainWindowLayout layout = LayoutMainWindow(Window(5000, 3000));
    EXPECT_TRUE(layout.resized);
    EXPECT_EQ(layout.width, 9390);
    EXPECT_EQ(layout.height, 7665);
    EXPECT_EQ(layout.removeModLeft, 9390 - 4695);
    EXPECT_EQ(layout.removeModTop, 7665 - 1335);
    const MainWindowLayout tall = LayoutMainWindow(Window(5000, 9000));
    EXPECT_EQ(tall.width, 9390);
    EXPECT_EQ(tall.height, 9000);
    // Without a document the minimum height is the start height.
    EXPECT_EQ(LayoutMainWindow(Window(9390, 4000, 9390, 4245)).removeModTop, 4245 - 1335);
}

TEST(MainWindowLayout, MinimizedMovesNothing) {
    MainWindowLayoutInput input = Window(100, 100);
    input.minimized = true;
    const MainWindowLayout layout = LayoutMainWindow(input);
    EXPECT_FALSE(layout.apply);
    EXPECT_FALSE(layout.resized);
    EXPECT_EQ(layout.width, 100);
}

TEST(MainWindowLayout, DisplayPixelsRoundHalvesToEvenAndSizesStayPositive) {
    MainWindowLayoutInput input = Window(380 + 12 * 50 + 6, 8000, 0);
    input.twipsPerPixelX = 12;
    EXPECT_EQ(LayoutMainWindow(input).display.width, 50);  // 50.5
    input.width = 380 + 12 * 51 + 6;
    EXPECT_EQ(LayoutMainWindow(input).display.width, 52);  // 51.5

    const MainWindowLayout tiny = LayoutMainWindow(Window(100, 100, 0, 0));
    EXPECT_EQ(tiny.txtRawWidth, 0);
    EXPECT_EQ(tiny.txtRawHeight, 0);
    EXPECT_EQ(tiny.display.width, 0);
    EXPECT_EQ(tiny.targetWidthTwips, -400);
}

}  // namespace
}  // namespace zelvane
