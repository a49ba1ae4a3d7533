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
    EXPECT_THROW(ColorToGradientColor(0x8000000F), ProgramError);  // an untranslated system colour cannot be padded
}

std::vector<GradientColor> Rows(const GradientFillPlan& plan, std::initializer_list<std::int64_t> rows) {
    std::vector<GradientColor> colors;
    for (const std::int64_t row : rows) colors.push_back(InterpolateGradient(plan, row));
    return colors;
}

TEST(Gradient, DirectionsChooseTheVertexPairAndMode) {
    const auto fill = [](std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height, int direction) {
        return GradientFillRectPlan(left, top, width, height, kWhite, kGrey, direction);
    };
    const GradientFillPlan right = fill(0, 0, 100, 20, 1), left = fill(5, 6, 100, 20, 2);
    const GradientFillPlan down = fill(0, 0, 50, 11, 3), up = fill(0, 0, 50, 11, 4);
    EXPECT_EQ((std::vector{right.mode, left.mode, down.mode, up.mode}),
              (std::vector{kGradientFillRectH, kGradientFillRectH, kGradientFillRectV, kGradientFillRectV}));
    const GradientVertex whiteAt0{0, 0, 0xFF00, 0xFF00, 0xFF00, 0}, greyAt5{5, 6, 0x8000, 0x8000, 0x8000, 0};
    EXPECT_EQ(right.vertices, (std::array{whiteAt0, GradientVertex{100, 20, 0x8000, 0x8000, 0x8000, 0}}));
    EXPECT_EQ(left.vertices, (std::array{greyAt5, GradientVertex{105, 26, 0xFF00, 0xFF00, 0xFF00, 0}}));
    const GradientColor row1{0xF24D, 0xF24D, 0xF24D}, row5{0xBF80, 0xBF80, 0xBF80};
    EXPECT_EQ(Rows(down, {0, 1, 5, 10, 1000}), (std::vector{kWhite, row1, row5, kGrey, kGrey}));
    EXPECT_EQ(Rows(up, {-5, 10}), (std::vector{kGrey, kWhite}));
    for (const int direction : {0, 5, -1}) EXPECT_FALSE(fill(0, 0, 9, 9, direction).draws);
    EXPECT_EQ(Rows(fill(0, 0, 0, 0, 1), {3}), std::vector{kWhite});  // a degenerate rectangle: the first colour
    // Edges beyond 32 bits overflow.
    EXPECT_THROW(GradientFillRectPlan(INT32_MAX, 0, 1, 10, kWhite, kGrey, 1), ProgramError);
    EXPECT_THROW(GradientFillRectPlan(0, INT32_MIN, 10, -1, kWhite, kGrey, 3), ProgramError);
    EXPECT_THROW(GradientFillRectPlan(INT32_MAX, 0, 1, 10, kWhite, kGrey, 0), ProgramError);
    EXPECT_NO_THROW(GradientFillRectPlan(INT32_MAX - 1, 0, 1, 10, kWhite, kGrey, 1));
}

TEST(DisabledImage, CoverageComesFromTheDrawingsOverBlackAndOverWhite) {
    const auto coverage = [](std::uint32_t overBlack, std::uint32_t overWhite) {
        const IconCoverage c = CoverageOf(overBlack, overWhite);
        return std::pair<int, std::uint32_t>(c.alpha, c.color);  // alpha and colour
    };
    // Opaque, transparent, half covered red, and 50 of 100 to 128 (127.5).
    EXPECT_EQ((std::vector{coverage(0x204060, 0x204060), coverage(0, 0xFFFFFF), coverage(0x800000, 0xFF7F7F),
                           coverage(0x320000, 0xCD9B9B)}),
              (std::vector<std::pair<int, std::uint32_t>>{{255, 0x204060}, {0, 0}, {128, 0xFF0000}, {100, 0x800000}}));
    EXPECT_EQ(DisabledPixel(0x000000, 0xFFFFFF, 0x123456), 0x123456u);  // transparent pixels leave the face
}

TEST(DisabledImage, GreysFollowLuminanceSoThePictureStaysVisible) {
    EXPECT_EQ((std::vector<int>{Luminance(0xFF0000), Luminance(0x00FF00), Luminance(0x0000FF), Luminance(0xFFFFFF)}),
              (std::vector<int>{76, 150, 29, 255}));
    // Black, blue, red, green, white: five greys in that order, none darker than mid grey.
    std::vector<int> greys;
    for (std::uint32_t color : {0x000000u, 0x0000FFu, 0xFF0000u, 0x00FF00u, 0xFFFFFFu}) {
        greys.push_back(DisabledGrey(color));
        EXPECT_EQ(DisabledPixel(color, color, 0xF0F0F0), greys.back() * 0x010101u) << color;
    }
    EXPECT_EQ(greys, (std::vector<int>{96, 112, 139, 181, 240}));
}

}  // namespace
}  // namespace zelvane
