#include "util/text/code_page_1252.hpp"

#include <array>
#include <cstdint>

#include "util/text/utf8.hpp"

namespace zelvane {
namespace {

// Unicode of the bytes 0x80-0x9F; the undefined ones keep their own number (C1 controls).
constexpr std::array<std::uint16_t, 32> kHighBytes = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

}  // namespace

char32_t UnicodeOf(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHighBytes[byte - 0x80];
    return byte;
}

char Cp1252Of(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighBytes.size(); ++i) {
        if (kHighBytes[i] == c) return static_cast<char>(0x80 + i);
    }
    return kUnmappableCharacter;
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
    std::string out;
    out.reserve(cp1252.size());
    for (const char c : cp1252) AppendUtf8(out, UnicodeOf(static_cast<unsigned char>(c)));
    return out;
}

std::string Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf8(utf8, at, c);
        out += length == 0 ? kUnmappableCharacter : Cp1252Of(c);
        at += length == 0 ? 1 : length;
    }
    return out;
}

}  // namespace zelvane
