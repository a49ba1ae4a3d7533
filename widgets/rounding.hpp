#pragma once
// Rounding as the window arithmetic of the program does it: to the nearest integer, halves to even.
// Header-only so that every layout function can share it without a link dependency.

#include <cmath>
#include <cstdint>
#include <limits>

namespace zelvane {

// Nearest integer of x, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
inline double RoundHalfEven(double x) {
    if (!std::isfinite(x)) return x;
    const double below = std::floor(x);
    const double fraction = x - below;
    if (fraction > 0.5) return below + 1.0;
    if (fraction < 0.5) return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

// Nearest integer of numerator / denominator, halves to even, in exact integer arithmetic.
// A denominator of 0 gives 0.
inline std::int64_t DivideRoundHalfEven(std::int64_t numerator, std::int64_t denominator) {
    if (denominator == 0) return 0;
    if (denominator < 0) {
        if (denominator == std::numeric_limits<std::int64_t>::min() ||
            numerator == std::numeric_limits<std::int64_t>::min())
            return static_cast<std::int64_t>(
                RoundHalfEven(static_cast<double>(numerator) / static_cast<double>(denominator)));
        numerator = -numerator;
        denominator = -denominator;
    }
    std::int64_t quotient = numerator / denominator;
    std::int64_t remainder = numerator % denominator;
    if (remainder < 0) {  // floor division
        quotient -= 1;
        remainder += denominator;
    }
    const std::int64_t rest = denominator - remainder;  // compares 2 * remainder with the denominator
    if (remainder > rest || (remainder == rest && (quotient % 2) != 0)) quotient += 1;
    return quotient;
}

// The value limited to the range of a 32-bit signed integer.
inline std::int32_t ClampToInt32(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

inline std::int32_t ClampToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

}  // namespace zelvane
