#pragma once
// Two-colour linear gradients: the colour form of the system's gradient fill, the vertices it is
// given for a rectangle, and a per-channel interpolation for drawing without it.

#include <array>
#include <cstdint>

namespace zelvane {

// A colour as the vertex of a gradient fill holds it: each 8-bit channel in the high byte.
struct GradientColor {
    std::uint16_t red = 0;
    std::uint16_t green = 0;
    std::uint16_t blue = 0;
    friend bool operator==(const GradientColor&, const GradientColor&) = default;
};

// A COLORREF (0x00BBGGRR, system colours already translated) in gradient form. A value with more
// than six hexadecimal digits throws OverflowError.
GradientColor ColorToGradientColor(std::uint32_t colorRef);
// The 8-bit COLORREF of a gradient colour (the high byte of each channel).
std::uint32_t GradientColorToColorRef(GradientColor color);

// The system's TRIVERTEX: a position and a colour; alpha is always 0.
struct GradientVertex {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint16_t red = 0;
    std::uint16_t green = 0;
    std::uint16_t blue = 0;
    std::uint16_t alpha = 0;
    friend bool operator==(const GradientVertex&, const GradientVertex&) = default;
};

inline constexpr std::uint32_t kGradientFillRectH = 0;
inline constexpr std::uint32_t kGradientFillRectV = 1;

// One GRADIENT_RECT fill: upper-left vertex 0, lower-right vertex 1.
struct GradientFillPlan {
    bool draws = false;  // false for a direction other than 1 to 4
    std::array<GradientVertex, 2> vertices{};
    std::uint32_t mode = kGradientFillRectH;
};

// The fill of the rectangle (left, top) to (left + width, top + height) exclusive. Direction 1: first
// colour on the left; 2: on the right; 3: at the top; 4: at the bottom; other values draw nothing.
// A right or bottom edge beyond 32 bits throws OverflowError.
GradientFillPlan GradientFillRectPlan(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                                      GradientColor first, GradientColor second, std::int32_t direction);

// The colour of column index (horizontal fill) or row index (vertical fill), 0 being the left or top
// pixel of the plan's rectangle: the channels run linearly from vertex 0's colour at the first pixel
// to vertex 1's at the last. Indexes outside the rectangle take the nearer end's colour.
GradientColor InterpolateGradient(const GradientFillPlan& plan, std::int64_t index);

}  // namespace zelvane
