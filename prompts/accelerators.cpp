#include "prompts/accelerators.hpp"

namespace zelvane {
namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

int FindAcceleratorButton(const std::vector<std::string>& captions, char letter) {
    const char wanted = UpperAscii(letter);
    if (wanted < 'A' || wanted > 'Z') return -1;
    for (std::size_t i = 0; i < captions.size(); ++i) {
        const std::string& caption = captions[i];
        if (caption.size() >= 2 && caption[0] == '&' && UpperAscii(caption[1]) == wanted) return static_cast<int>(i);
    }
    return -1;
}

std::string StripAccelerator(std::string_view caption) {
    std::string shown;
    shown.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            shown += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
            shown += '&';
            ++i;
        }
    }
    return shown;
}

char AcceleratorLetter(std::string_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return caption[i + 1];
    }
    return '\0';
}

}  // namespace zelvane
