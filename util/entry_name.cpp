#include "util/entry_name.hpp"

#include <array>
#include <utility>
#include <vector>

namespace zelvane {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The name before the first dot, without trailing spaces, upper-cased: "con .txt" gives "CON".
std::string DeviceStem(std::string_view component) {
    std::string_view stem = component.substr(0, component.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    std::string upper;
    for (char c : stem) upper += Upper(c);
    return upper;
}

bool IsDeviceName(std::string_view component) {
    static constexpr std::array<std::string_view, 6> kPlain = {"CON", "NUL", "PRN", "AUX", "CONIN$", "CONOUT$"};
    const std::string stem = DeviceStem(component);
    for (std::string_view device : kPlain) {
        if (stem == device) return true;
    }
    if (stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT"))) {
        const unsigned char digit = static_cast<unsigned char>(stem[3]);
        // 1 to 9, and the superscript digits 1, 2 and 3 of code page 1252, which Windows also reserves.
        return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
    }
    return false;
}

// Characters that no stored name carries: the wildcards of Windows (also "<", ">" and '"', which
// its pattern matching reads as wildcards), "|" and control characters.
bool HasNoFileCharacters(std::string_view component) {
    for (char c : component) {
        if (static_cast<unsigned char>(c) < 32) return true;
        switch (c) {
            case '*': case '?': case '<': case '>': case '"': case '|':
                return true;
            default:
                break;
        }
    }
    return false;
}

std::string_view WithoutTrailingDotsAndSpaces(std::string_view component) {
    while (!component.empty() && (component.back() == '.' || component.back() == ' ')) component.remove_suffix(1);
    return component;
}

// What one component names, trailing dots and spaces aside.
EntryKind ComponentKind(std::string_view component) {
    if (HasNoFileCharacters(component)) return EntryKind::NoSuchFile;
    if (component.find(':') != std::string_view::npos) return EntryKind::NotPlainName;
    const std::string_view name = WithoutTrailingDotsAndSpaces(component);
    if (name.empty()) return EntryKind::NoSuchFile;  // "...", " ": no name is left
    if (IsDeviceName(name)) return EntryKind::NotPlainName;
    return EntryKind::File;
}

bool StartsWithDrive(std::string_view entry) {
    if (entry.size() < 2 || entry[1] != ':') return false;
    const char c = Upper(entry[0]);
    return c >= 'A' && c <= 'Z';
}

}  // namespace

EntryName ResolveEntry(std::string_view entry) {
    if (StartsWithDrive(entry)) return {EntryKind::Outside, {}};
    // What each component that is left names; ".." removes the one before it, as Windows does
    // before it looks at any name.
    std::vector<std::pair<std::string_view, EntryKind>> parts;
    std::size_t start = 0;
    while (start <= entry.size()) {
        std::size_t end = start;
        while (end < entry.size() && !IsSeparator(entry[end])) ++end;
        const std::string_view component = entry.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == ".") continue;
        if (component == "..") {
            if (parts.empty()) return {EntryKind::Outside, {}};
            parts.pop_back();
            continue;
        }
        parts.emplace_back(WithoutTrailingDotsAndSpaces(component), ComponentKind(component));
    }
    if (parts.empty()) return {EntryKind::NoSuchFile, {}};  // the game folder itself
    EntryName result{EntryKind::File, {}};
    for (const auto& [name, kind] : parts) {
        if (kind != EntryKind::File) return {kind, {}};
        if (!result.relative.empty()) result.relative += '\\';
        result.relative += name;
    }
    return result;
}

}  // namespace zelvane
