#include "util/entry_name.hpp"

#include "platform/paths/windows_path.hpp"

namespace zelvane {
namespace {

// What one name of the entry names.
EntryKind KindOf(std::string_view name) {
    switch (KindOfName(name)) {
        case NameKind::Plain: return EntryKind::File;
        case NameKind::Stream:
        case NameKind::Device: return EntryKind::NotPlainName;
        case NameKind::Unstorable:
        case NameKind::Wildcard:
        case NameKind::TooLong:
        case NameKind::Empty: return EntryKind::NoSuchFile;
    }
    return EntryKind::NoSuchFile;
}

}  // namespace

EntryName ResolveEntry(std::string_view entry) {
    const WindowsPath path = WindowsPath::Read(entry);
    // ".." is applied before any name is looked at, as Windows does.
    if (path.root == WindowsPath::Root::Drive || path.aboveRoot) return {EntryKind::Outside, {}};
    if (path.names.empty()) return {EntryKind::NoSuchFile, {}};  // the game folder itself
    EntryName result{EntryKind::File, {}};
    for (const std::string& name : path.names) {
        if (const EntryKind kind = KindOf(name); kind != EntryKind::File) return {kind, {}};
        if (!result.relative.empty()) result.relative += '\\';
        result.relative += StoredName(name);
    }
    return result;
}

}  // namespace zelvane
