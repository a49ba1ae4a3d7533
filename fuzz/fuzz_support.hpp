#pragma once
// What the fuzz targets share: a quiet user interface with a deterministic text measure, a
// registry and an instance check for whole runs, a reader that cuts the input into the arguments
// of one call, and the abort that reports a broken invariant as a crash.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/seams/instance.hpp"
#include "platform/seams/registry.hpp"
#include "platform/seams/user_interface.hpp"

namespace zelvane::fuzz {

// A broken invariant is a finding: libFuzzer keeps the input that caused it.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}

inline void Check(bool condition, const char* what) {
    if (!condition) Fail(what);
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
        const std::size_t end = rest_.find('\0');
        const std::string_view piece = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        return piece;
    }
    std::string_view Rest() const { return rest_; }

private:
    std::string_view rest_;
};

// A user interface that answers nothing and keeps the last message it was to show.
class QuietUi : public UserInterface {
public:
    int twipsPerPixel = 15;
    std::string lastMessage;

    int MsgBoxEx(PromptRequest) override { return 0; }
    void ShowMessage(std::string_view text, std::string_view, std::uint32_t) override { lastMessage = text; }
    std::string BrowseFolderDialog(std::string_view, std::string_view) override { return {}; }
    std::string OpenFileDialog(const OpenFileRequest&) override { return {}; }
    int ShellOpen(std::string_view, std::string_view, std::string_view, int) override { return 42; }
    void DoEvents() override {}
    int TwipsPerPixelX() const override { return twipsPerPixel; }
    int TwipsPerPixelY() const override { return twipsPerPixel; }
    // 6 twips per character and point, +10% when bold; an int as a device context answers it.
    int TextWidthTwips(std::string_view text, std::string_view, int points, bool bold) override {
        const long long width = static_cast<long long>(text.size()) * 6 * std::max(points, 1) * (bold ? 11 : 10) / 10;
        return static_cast<int>(std::min<long long>(width, 0x7FFFFFFF));
    }
};

class NoOtherInstance : public InstanceCheck {
public:
    bool AnotherInstanceRunning() override { return false; }
};

// Every game's "Path" value names this folder.
class GameRegistry : public Registry {
public:
    explicit GameRegistry(std::string game) : game_(std::move(game)) {}
    std::optional<RegistryValue> Query(std::uint32_t, std::string_view, std::string_view) const override {
        return RegistryValue{kRegSz, game_ + std::string(1, '\0')};
    }

private:
    std::string game_;
};

}  // namespace zelvane::fuzz
