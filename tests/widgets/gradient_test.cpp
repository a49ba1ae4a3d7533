#include "widgets/gradient.hpp"

#include <gtest/gtest.h>

#include <cstdint>

#include "util/program_error.hpp"

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

}  // namespace
}  // namespace zelvane
