#include "app/console/terminal_text.hpp"

#include "app/console/rtf_terminal.hpp"
#include "platform/posix/code_page_1252.hpp"

namespace zelvane::console {

bool IsTerminalControl(char32_t c) { return (c < 0x20 && c != '\t') || (c >= 0x7F && c <= 0x9F); }

std::string HostTerminalLine(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        char32_t c = 0;
        const std::size_t length = posix::DecodeUtf8(utf8, at, c);
        if (length == 0) {
            posix::AppendUtf8(out, U'\uFFFD');
            ++at;
            continue;
        }
        if (!IsTerminalControl(c) && c != '\t') out.append(utf8.substr(at, length));
        at += length;
    }
    return out;
}

std::string TerminalLine(std::string_view cp1252) { return HostTerminalLine(Cp1252TextToUtf8(cp1252)); }

}  // namespace zelvane::console
