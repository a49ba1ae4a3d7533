#include "widgets/disabled_image.hpp"

#include <algorithm>

namespace zelvane {
namespace {

int Channel(std::uint32_t color, int shift) { return static_cast<int>((color >> shift) & 0xFF); }

std::uint32_t Pack(int r, int g, int b) {
    return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

}  // namespace

IconCoverage CoverageOf(std::uint32_t overBlack, std::uint32_t overWhite) {
    // Over black a pixel shows alpha * colour, over white alpha * colour + (1 - alpha) * 255.
    int alphaSum = 0;
    for (int shift : {16, 8, 0}) {
        alphaSum += 255 - std::clamp(Channel(overWhite, shift) - Channel(overBlack, shift), 0, 255);
    }
    IconCoverage coverage;
    const int alpha = (alphaSum + 1) / 3;
    coverage.alpha = static_cast<std::uint8_t>(alpha);
    if (alpha == 0) return coverage;
    int rgb[3] = {};
    int i = 0;
    for (int shift : {16, 8, 0}) {
        rgb[i++] = std::clamp((Channel(overBlack, shift) * 255 + alpha / 2) / alpha, 0, 255);
    }
    coverage.color = Pack(rgb[0], rgb[1], rgb[2]);
    return coverage;
}

int Luminance(std::uint32_t color) {
    return (299 * Channel(color, 16) + 587 * Channel(color, 8) + 114 * Channel(color, 0) + 500) / 1000;
}

int DisabledGrey(std::uint32_t color) { return 96 + (Luminance(color) * 144 + 127) / 255; }

std::uint32_t DisabledPixel(std::uint32_t overBlack, std::uint32_t overWhite, std::uint32_t background) {
    const IconCoverage coverage = CoverageOf(overBlack, overWhite);
    if (coverage.alpha == 0) return background;
    const int grey = DisabledGrey(coverage.color);
    const int a = coverage.alpha;
    int out[3] = {};
    int i = 0;
    for (int shift : {16, 8, 0}) {
        out[i++] = (grey * a + Channel(background, shift) * (255 - a) + 127) / 255;
    }
    return Pack(out[0], out[1], out[2]);
}

}  // namespace zelvane
