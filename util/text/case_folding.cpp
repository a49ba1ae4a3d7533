#include "util/text/case_folding.hpp"

namespace zelvane {

std::string LowerCase(std::string_view text) {
    std::string out(text.size(), '\0');
    LowerCaseInto(text, out.data());
    return out;
}

void LowerCaseInto(std::string_view text, char* out) {
    for (const char c : text) *out++ = LowerCase(c);
}

char UpperCase(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
    if (u >= 0xE0 && u <= 0xFE && u != 0xF7) return static_cast<char>(u - 32);
    switch (u) {
        case 0x9A: return static_cast<char>(0x8A);
        case 0x9C: return static_cast<char>(0x8C);
        case 0x9E: return static_cast<char>(0x8E);
        case 0xFF: return static_cast<char>(0x9F);
        default: return c;
    }
}

}  // namespace zelvane
