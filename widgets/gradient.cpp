#include "widgets/gradient.hpp"

#include <string>

#include "util/program_error.hpp"

namespace zelvane {
namespace {

int HexDigitValue(char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

// The two hexadecimal digits at index i followed by "00", as a 16-bit pattern.
std::uint16_t ChannelFromDigits(const std::string& digits, std::size_t i) {
    const int value = HexDigitValue(digits[i]) * 16 + HexDigitValue(digits[i + 1]);
    return static_cast<std::uint16_t>(value << 8);
}

std::int32_t CheckedEdge(std::int32_t start, std::int32_t extent) {
    const std::int64_t edge = static_cast<std::int64_t>(start) + extent;
    if (edge > INT32_MAX || edge < INT32_MIN) throw OverflowError();
    return static_cast<std::int32_t>(edge);
}

GradientVertex Vertex(std::int32_t x, std::int32_t y, GradientColor color) {
    return GradientVertex{x, y, color.red, color.green, color.blue, 0};
}

std::uint16_t Mix(std::uint16_t from, std::uint16_t to, std::int64_t step, std::int64_t last) {
    const std::int64_t value = from + (static_cast<std::int64_t>(to) - from) * step / last;
    return static_cast<std::uint16_t>(value);
}

}  // namespace

GradientColor ColorToGradientColor(std::uint32_t colorRef) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string digits;
    for (std::uint32_t rest = colorRef; rest != 0; rest >>= 4) digits.insert(digits.begin(), kHex[rest & 0xF]);
    if (digits.empty()) digits = "0";
    if (digits.size() > 6) throw OverflowError();  // cannot be padded to six digits
    digits.insert(0, 6 - digits.size(), '0');
    // "BBGGRR": blue is digits 1 and 2, green 3 and 4, red 5 and 6.
    return GradientColor{ChannelFromDigits(digits, 4), ChannelFromDigits(digits, 2), ChannelFromDigits(digits, 0)};
}

std::uint32_t GradientColorToColorRef(GradientColor color) {
    return static_cast<std::uint32_t>(color.red >> 8) | (static_cast<std::uint32_t>(color.green >> 8) << 8) |
           (static_cast<std::uint32_t>(color.blue >> 8) << 16);
}

GradientFillPlan GradientFillRectPlan(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                                      GradientColor first, GradientColor second, std::int32_t direction) {
    const std::int32_t right = CheckedEdge(left, width);
    const std::int32_t bottom = CheckedEdge(top, height);
    GradientFillPlan plan;
    if (direction < 1 || direction > 4) return plan;
    const bool firstAtStart = direction == 1 || direction == 3;
    plan.draws = true;
    plan.mode = direction <= 2 ? kGradientFillRectH : kGradientFillRectV;
    plan.vertices[0] = Vertex(left, top, firstAtStart ? first : second);
    plan.vertices[1] = Vertex(right, bottom, firstAtStart ? second : first);
    return plan;
}

GradientColor InterpolateGradient(const GradientFillPlan& plan, std::int64_t index) {
    const GradientVertex& from = plan.vertices[0];
    const GradientVertex& to = plan.vertices[1];
    const std::int64_t extent = plan.mode == kGradientFillRectH ? static_cast<std::int64_t>(to.x) - from.x
                                                                : static_cast<std::int64_t>(to.y) - from.y;
    const std::int64_t pixels = extent < 0 ? -extent : extent;
    const std::int64_t last = pixels - 1;
    if (last <= 0 || index <= 0) return GradientColor{from.red, from.green, from.blue};
    if (index >= last) return GradientColor{to.red, to.green, to.blue};
    return GradientColor{Mix(from.red, to.red, index, last), Mix(from.green, to.green, index, last),
                         Mix(from.blue, to.blue, index, last)};
}

}  // namespace zelvane
