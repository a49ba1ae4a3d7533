#pragma once
// What the fuzz targets share: an instance check for start-up, a reader that cuts the input into
// the arguments of one call, and the abort that reports a broken invariant as a crash.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/seams/instance.hpp"

namespace zelvane::fuzz {

// A broken invariant is a finding: libFuzzer keeps the input that caused it.
inline void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}

// Takes the input apart from the front: single bytes for small choices, and pieces that end at
// a NUL byte (or the end of the input) for texts.
class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

    std::uint8_t Byte() {
        if (rest_.empty()) return 0;
        const auto b = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }
    // A signed number spread over 4 bytes.
    std::int32_t Int32() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value = (value << 8) | Byte();
        return static_cast<std::int32_t>(value);
    }
    std::string_view Piece() {
        const std::string_view piece = rest_.substr(0, rest_.find('\0'));
        rest_.remove_prefix(std::min(piece.size() + 1, rest_.size()));
        return piece;
    }
    std::string_view Rest() const { return rest_; }

private:
    std::string_view rest_;
};

class NoOtherInstance : public InstanceCheck {
public:
    bool AnotherInstanceRunning() override { return false; }
};

}  // namespace zelvane::fuzz
