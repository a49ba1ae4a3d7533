#include "widgets/disabled_image.hpp"

#include <gtest/gtest.h>

#include <set>

namespace zelvane {
namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kFace = 0xF0F0F0;

TEST(DisabledImage, CoverageComesFromTheTwoDrawings) {
    // Opaque: the same colour over black and over white.
    const IconCoverage opaque = CoverageOf(0x204060, 0x204060);
    EXPECT_EQ(opaque.alpha, 255);
    EXPECT_EQ(opaque.color, 0x204060u);
    // Transparent: the backgrounds show through unchanged.
    EXPECT_EQ(CoverageOf(kBlack, kWhite).alpha, 0);
    // Half covered red: 128 over black, 255/127/127 over white.
    const IconCoverage half = CoverageOf(0x800000, 0xFF7F7F);
    EXPECT_NEAR(half.alpha, 128, 1);
    EXPECT_EQ((half.color >> 16) & 0xFF, 255u);
}

TEST(DisabledImage, TransparentPixelsLeaveTheFace) {
    EXPECT_EQ(DisabledPixel(kBlack, kWhite, kFace), kFace);
    EXPECT_EQ(DisabledPixel(kBlack, kWhite, 0x123456), 0x123456u);
}

TEST(DisabledImage, GreysFollowLuminanceSoThePictureStaysVisible) {
    // Black outline, red, green, blue, white fill: five different greys, none of them the face.
    std::set<std::uint32_t> greys;
    for (std::uint32_t color : {0x000000u, 0xFF0000u, 0x00FF00u, 0x0000FFu, 0xFFFFFFu}) {
        const std::uint32_t pixel = DisabledPixel(color, color, kFace);
        const std::uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
        EXPECT_EQ(r, g);
        EXPECT_EQ(g, b);
        greys.insert(pixel);
    }
    EXPECT_EQ(greys.size(), 5u);
    // Darker colours stay darker; nothing is darker than mid grey, so the look is faded.
    EXPECT_LT(DisabledGrey(0x000000), DisabledGrey(0x0000FF));
    EXPECT_LT(DisabledGrey(0x0000FF), DisabledGrey(0xFF0000));
    EXPECT_LT(DisabledGrey(0xFF0000), DisabledGrey(0x00FF00));
    EXPECT_LT(DisabledGrey(0x00FF00), DisabledGrey(0xFFFFFF));
    EXPECT_EQ(DisabledGrey(0x000000), 96);
    EXPECT_EQ(DisabledGrey(0xFFFFFF), 240);
}

TEST(DisabledImage, LuminanceWeights) {
    EXPECT_EQ(Luminance(0x000000), 0);
    EXPECT_EQ(Luminance(0xFFFFFF), 255);
    EXPECT_EQ(Luminance(0xFF0000), 76);
    EXPECT_EQ(Luminance(0x00FF00), 150);
    EXPECT_EQ(Luminance(0x0000FF), 29);
}

}  // namespace
}  // namespace zelvane
