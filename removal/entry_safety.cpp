#include "removal/entry_safety.hpp"

#include <string>
#include <vector>

#include "util/strings.hpp"

namespace zelvane {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

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

std::string_view RefusalText(EntryKind kind) {
    return kind == EntryKind::NotPlainName ? "Refused (not a plain file name)" : "Refused (outside the game folder)";
}

}  // namespace zelvane
