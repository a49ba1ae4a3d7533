#include "platform/pattern_match.hpp"

#include <algorithm>

#include "util/text/case_folding.hpp"

namespace zelvane {

bool NamesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return LowerCase(x) == LowerCase(y); });
}

bool NameLess(std::string_view a, std::string_view b) {
    const std::string fa = LowerCase(a);
    const std::string fb = LowerCase(b);
    if (fa != fb) {
        return std::lexicographical_compare(fa.begin(), fa.end(), fb.begin(), fb.end(), [](char x, char y) {
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        });
    }
    return a < b;
}

bool HasWildcards(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

namespace {

// Plain glob: '*' matches any run (also empty), '?' exactly one character.
bool Glob(std::string_view pattern, std::string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || LowerCase(pattern[p]) == LowerCase(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    if (pattern.empty() || name.empty()) return false;
    if (Glob(pattern, name)) return true;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        Glob(pattern.substr(0, pattern.size() - 2), name)) {
        return true;
    }
    if (pattern.back() == '.' && name.find('.') == std::string_view::npos &&
        Glob(pattern.substr(0, pattern.size() - 1), name)) {
        return true;
    }
    return false;
}

}  // namespace zelvane
