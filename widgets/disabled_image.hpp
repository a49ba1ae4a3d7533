#pragma once
// The disabled look of a button's icon: each pixel of the icon turned into a lighter grey of its
// own luminance, laid over the face with the icon's own coverage, so that the picture stays
// recognisable instead of becoming one flat shape.

#include <cstdint>

namespace zelvane {

// Pixels are 0x00RRGGBB. The icon is drawn twice, once over black and once over white; the two
// results give each pixel's coverage (identical: opaque; black and white: transparent) and colour.
struct IconCoverage {
    std::uint8_t alpha = 0;   // 0 transparent .. 255 opaque
    std::uint32_t color = 0;  // the icon's own colour where it covers
};

IconCoverage CoverageOf(std::uint32_t overBlack, std::uint32_t overWhite);

// Perceived brightness 0..255 (ITU-R BT.601 weights).
int Luminance(std::uint32_t color);

// The grey of a disabled icon pixel: dark parts become mid grey, light parts nearly white.
int DisabledGrey(std::uint32_t color);

// The face pixel after the disabled icon pixel is laid over background.
std::uint32_t DisabledPixel(std::uint32_t overBlack, std::uint32_t overWhite, std::uint32_t background);

}  // namespace zelvane
