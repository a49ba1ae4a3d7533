#include "widgets/disabled_image.hpp"

#include <gtest/gtest.h>

namespace zelvane {
namespace {

TEST(DisabledImage, CoverageComesFromTheDrawingsOverBlackAndOverWhite) {
    EXPECT_EQ(CoverageOf(0x204060, 0x204060).alpha, 255);
    EXPECT_EQ(CoverageOf(0x204060, 0x204060).color, 0x204060u);
    EXPECT_EQ(CoverageOf(0x000000, 0xFFFFFF).alpha, 0);
    EXPECT_EQ(CoverageOf(0x800000, 0xFF7F7F).alpha, 128);  // half covered red
    EXPECT_EQ(CoverageOf(0x800000, 0xFF7F7F).color, 0xFF0000u);
    EXPECT_EQ(CoverageOf(0x320000, 0xCD9B9B).color, 0x800000u);         // 50 of 100: 127.5 to 128
    EXPECT_EQ(DisabledPixel(0x000000, 0xFFFFFF, 0x123456), 0x123456u);  // transparent pixels leave the face
}

TEST(DisabledImage, GreysFollowLuminanceSoThePictureStaysVisible) {
    EXPECT_EQ(Luminance(0xFF0000), 76);
    EXPECT_EQ(Luminance(0x00FF00), 150);
    EXPECT_EQ(Luminance(0x0000FF), 29);
    EXPECT_EQ(Luminance(0xFFFFFF), 255);
    // Black, blue, red, green, white: five greys in that order, none darker than mid grey.
    int previous = 95;
    for (std::uint32_t color : {0x000000u, 0x0000FFu, 0xFF0000u, 0x00FF00u, 0xFFFFFFu}) {
        const int grey = DisabledGrey(color);
        EXPECT_EQ(DisabledPixel(color, color, 0xF0F0F0), static_cast<std::uint32_t>(grey * 0x010101)) << color;
        EXPECT_GT(grey, previous) << color;
        previous = grey;
    }
    EXPECT_EQ(DisabledGrey(0x000000), 96);
    EXPECT_EQ(DisabledGrey(0xFFFFFF), 240);
}

}  // namespace
}  // namespace zelvane
