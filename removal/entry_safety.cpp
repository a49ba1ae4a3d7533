#include "removal/entry_safety.hpp"

#include <array>
#include <string>
#include <vector>

#include "util/strings.hpp"

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

bool IsSafeComponent(std::string_view component) {
    if (component.empty()) return true;  // "a\\b" names a\b
    if (component.back() == '.' || component.back() == ' ') return false;  // also "." and ".."
    if (component.find_first_of(":*?") != std::string_view::npos) return false;
    return !IsDeviceName(component);
}

// The components of a path, lower-cased, with "." dropped and ".." applied.
std::vector<std::string> FoldedComponents(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        const std::string_view part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(LowerCase(part));
        }
        start = end + 1;
    }
    return parts;
}

}  // namespace

bool IsPathBelowFolder(std::string_view path, std::string_view folder) {
    const std::vector<std::string> inner = FoldedComponents(path);
    const std::vector<std::string> outer = FoldedComponents(folder);
    if (outer.empty() || inner.size() <= outer.size()) return false;
    // A UNC path and a drive path may share their first names: "\\C:\x" is no "C:\x".
    if (IsSeparator(path.front()) != IsSeparator(folder.front())) return false;
    for (std::size_t i = 0; i < outer.size(); ++i) {
        if (inner[i] != outer[i]) return false;
    }
    return true;
}

bool ResolvesInsideGameFolder(const FileSystem& fs, std::string_view gameFolder, std::string_view path) {
    return IsPathBelowFolder(fs.ResolvedPath(path), fs.ResolvedPath(gameFolder));
}

bool IsEntryInsideGameFolder(std::string_view entry) {
    if (!entry.empty() && IsSeparator(entry.front())) return false;  // "\x", "\\server", "\\?\"
    std::size_t start = 0;
    while (start <= entry.size()) {
        std::size_t end = start;
        while (end < entry.size() && !IsSeparator(entry[end])) ++end;
        if (!IsSafeComponent(entry.substr(start, end - start))) return false;
        start = end + 1;
    }
    return true;
}

}  // namespace zelvane
