#include "app/console/win32/ansi_text.hpp"

#include <windows.h>

#include <optional>
#include <vector>

namespace zelvane::console {
namespace {

// A text from one code page in another, through UTF-16; nullopt when it is no text of `from`.
std::optional<std::string> Recoded(std::string_view text, UINT from, DWORD fromFlags, UINT to) {
    if (text.size() > 32767) return std::nullopt;
    const int length = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(from, fromFlags, text.data(), length, nullptr, 0);
    if (wide <= 0) return std::nullopt;
    std::vector<wchar_t> units(static_cast<std::size_t>(wide));
    MultiByteToWideChar(from, fromFlags, text.data(), length, units.data(), wide);
    const int bytes = WideCharToMultiByte(to, 0, units.data(), wide, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::nullopt;
    std::string out(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(to, 0, units.data(), wide, out.data(), bytes, nullptr, nullptr);
    return out;
}

bool Ascii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace

std::string AnsiOf(std::string_view text) {
    if (Ascii(text)) return std::string(text);
    return Recoded(text, CP_UTF8, MB_ERR_INVALID_CHARS, CP_ACP).value_or(std::string(text));
}

std::string Utf8Of(std::string_view ansi) {
    if (Ascii(ansi)) return std::string(ansi);
    return Recoded(ansi, CP_ACP, 0, CP_UTF8).value_or(std::string(ansi));
}

}  // namespace zelvane::console
