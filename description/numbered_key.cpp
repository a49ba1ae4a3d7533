#include "description/numbered_key.hpp"

namespace zelvane {
namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

std::optional<NumberedKey> FindNumberedKey(std::string_view lowerLine, std::string_view stem) {
    if (!lowerLine.starts_with(stem)) return std::nullopt;
    const std::string_view rest = lowerLine.substr(stem.size());
    if (rest.size() >= 2 && IsDigit(rest[0]) && rest[1] == '=') {
        return NumberedKey{rest[0] - '0', stem.size() + 2};
    }
    // Two digits: the first is never 0 (07 is no key), and a third digit (100) is none either.
    if (rest.size() >= 3 && rest[0] != '0' && IsDigit(rest[0]) && IsDigit(rest[1]) && rest[2] == '=') {
        return NumberedKey{(rest[0] - '0') * 10 + (rest[1] - '0'), stem.size() + 3};
    }
    return std::nullopt;
}

}  // namespace zelvane
