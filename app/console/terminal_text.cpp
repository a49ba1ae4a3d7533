#include "app/console/terminal_text.hpp"

#include "util/text/code_page_1252.hpp"
#include "util/text/utf8.hpp"

namespace zelvane::console {

bool IsTerminalControl(char32_t c) { return (c < 0x20 && c != '\t') || (c >= 0x7F && c <= 0x9F); }

char32_t TerminalCharacterOf(unsigned char byte) {
    const char32_t c = UnicodeOf(byte);
    return c >= 0x80 && c <= 0x9F ? kReplacementCharacter : c;
}

std::string TerminalUtf8(std::string_view cp1252) {
    std::string out;
    out.reserve(cp1252.size());
    for (const char c : cp1252) AppendUtf8(out, TerminalCharacterOf(static_cast<unsigned char>(c)));
    return out;
}

std::string HostTerminalLine(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf8(utf8, at, c);
        if (length == 0) {
            AppendUtf8(out, kReplacementCharacter);
            ++at;
            continue;
        }
        if (!IsTerminalControl(c) && c != '\t') out.append(utf8.substr(at, length));
        at += length;
    }
    return out;
}

std::string TerminalLine(std::string_view cp1252) { return HostTerminalLine(TerminalUtf8(cp1252)); }

}  // namespace zelvane::console
