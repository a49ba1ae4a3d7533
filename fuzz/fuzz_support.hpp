#pragma once
// What the fuzz targets share: the abort that reports a broken invariant as a crash, a reader that
// cuts the input into the arguments of one call, and start-up over an in-memory file system.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/startup.hpp"

namespace zelvane::fuzz {

// A broken invariant is a finding: libFuzzer keeps the input that caused it.
inline void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}

// Takes the input apart from the front: bytes for choices, pieces that end at a NUL byte for texts.
class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}
    std::string_view Take(std::size_t count) {
        const std::string_view taken = rest_.substr(0, count);
        rest_.remove_prefix(taken.size());
        return taken;
    }
    std::uint8_t Byte() {
        const std::string_view b = Take(1);
        return b.empty() ? 0 : static_cast<std::uint8_t>(b.front());
    }
    std::string_view Piece() {
        const std::string_view piece = Take(rest_.find('\0'));
        Take(1);
        return piece;
    }
    std::string_view Rest() const { return rest_; }

private:
    std::string_view rest_;
};

// Start-up of the program in `program`, alone on the machine, its document shown.
inline StartupOutcome Start(FileSystem& fs, UserInterface& ui, const std::string& program) {
    struct Alone final : InstanceCheck {
        bool AnotherInstanceRunning() override { return false; }
    } instance;
    StartupContext context{fs, ui, instance, program, [](const std::string&) { return true; }};
    return RunStartup(context);
}

}  // namespace zelvane::fuzz
