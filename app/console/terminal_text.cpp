#include "app/console/terminal_text.hpp"

#include "app/console/rtf_terminal.hpp"

namespace zelvane::console {

std::string TerminalLine(std::string_view cp1252) {
    std::string kept;
    kept.reserve(cp1252.size());
    for (char c : cp1252) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) kept.push_back(c);
    }
    // Bytes 1252 leaves undefined come out as U+FFFD, never as C1 controls.
    return Cp1252TextToUtf8(kept);
}

}  // namespace zelvane::console
