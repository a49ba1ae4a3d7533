#include "removal/entry_safety.hpp"

#include "platform/paths/windows_path.hpp"

namespace zelvane {

bool ResolvesInsideGameFolder(const FileSystem& fs, std::string_view gameFolder, std::string_view path) {
    return IsPathBelow(fs.ResolvedPath(path), fs.ResolvedPath(gameFolder));
}

std::string_view RefusalText(EntryKind kind) {
    return kind == EntryKind::NotPlainName ? "Refused (not a plain file name)" : "Refused (outside the game folder)";
}

}  // namespace zelvane
