// The colours a button face is painted with: its gradient and the greyed picture of a disabled button.

#include "widgets/gradient.hpp"

#include <gtest/gtest.h>

#include <cstdint>

#include "util/program_error.hpp"
#include "widgets/disabled_image.hpp"

namespace zelvane {
namespace {

constexpr GradientColor kWhite{0xFF00, 0xFF00, 0xFF00};
constexpr GradientColor kGrey{0x8000, 0x8000, 0x8000};

TEST(Gradient, EachChannelGoesToTheHighByteOfSixHexDigits) {
    EXPECT_EQ(ColorToGradientColor(0xFF8040), (GradientColor{0x4000, 0x8000, 0xFF00}));
    EXPECT_EQ(ColorToGradientColor(0x010000), (GradientColor{0, 0, 0x0100}));
    EXPECT_EQ(GradientColorToColorRef(ColorToGradientColor(0xC8CBC3)), 0xC8CBC3u);
    EXPECT_THROW(ColorToGradientColor(0x1000000), ProgramError);
    try {
        ColorToGradientColor(0x8000000F);  // an untranslated system colour cannot be padded
        ADD_FAILURE() << "no error";
    } catch (const ProgramError& error) {
        EXPECT_EQ(error.Number(), 6);
    }
}

TEST(Gradient, DirectionsChooseTheVertexPairAndMode) {
    const GradientFillPlan right = GradientFillRectPlan(0, 0, 100, 20, kWhite, kGrey, 1);
    EXPECT_EQ(right.mode, kGradientFillRectH);
    EXPECT_EQ(right.vertices[0], (GradientVertex{0, 0, 0xFF00, 0xFF00, 0xFF00, 0}));
    EXPECT_EQ(right.vertices[1], (GradientVertex{100, 20, 0x8000, 0x8000, 0x8000, 0}));
    const GradientFillPlan left = GradientFillRectPlan(5, 6, 100, 20, kWhite, kGrey, 2);
    EXPECT_EQ(left.mode, kGradientFillRectH);
    EXPECT_EQ(left.vertices[0], (GradientVertex{5, 6, 0x8000, 0x8000, 0x8000, 0}));
    EXPECT_EQ(left.vertices[1], (GradientVertex{105, 26, 0xFF00, 0xFF00, 0xFF00, 0}));
    const GradientFillPlan down = GradientFillRectPlan(0, 0, 50, 11, kWhite, kGrey, 3);
    EXPECT_EQ(down.mode, kGradientFillRectV);
    EXPECT_EQ(InterpolateGradient(down, 0), kWhite);
    EXPECT_NE(InterpolateGradient(down, 1), kWhite);
    EXPECT_EQ(InterpolateGradient(down, 5), (GradientColor{0xBF80, 0xBF80, 0xBF80}));
    EXPECT_EQ(InterpolateGradient(down, 10), kGrey);
    EXPECT_EQ(InterpolateGradient(down, 1000), kGrey);
    const GradientFillPlan up = GradientFillRectPlan(0, 0, 50, 11, kWhite, kGrey, 4);
    EXPECT_EQ(up.mode, kGradientFillRectV);
    EXPECT_EQ(InterpolateGradient(up, -5), kGrey);
    EXPECT_EQ(InterpolateGradient(up, 10), kWhite);
    for (const int direction : {0, 5, -1})
        EXPECT_FALSE(GradientFillRectPlan(0, 0, 9, 9, kWhite, kGrey, direction).draws);
    // A degenerate rectangle takes the first vertex colour.
    EXPECT_EQ(InterpolateGradient(GradientFillRectPlan(0, 0, 0, 0, kWhite, kGrey, 1), 3), kWhite);
}

TEST(Gradient, EdgesBeyondThirtyTwoBitsOverflow) {
    EXPECT_THROW(GradientFillRectPlan(INT32_MAX, 0, 1, 10, kWhite, kGrey, 1), ProgramError);
    EXPECT_THROW(GradientFillRectPlan(0, INT32_MIN, 10, -1, kWhite, kGrey, 3), ProgramError);
    EXPECT_THROW(GradientFillRectPlan(INT32_MAX, 0, 1, 10, kWhite, kGrey, 0), ProgramError);
    EXPECT_NO_THROW(GradientFillRectPlan(INT32_MAX - 1, 0, 1, 10, kWhite, kGrey, 1));
}

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
