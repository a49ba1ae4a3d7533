#include "platform/overlay/overlay_file_system.hpp"

#include <algorithm>

#include "platform/paths/windows_path.hpp"
#include "platform/pattern_match.hpp"
#include "util/text/case_folding.hpp"

namespace zelvane {
namespace {

struct Normal {
    FsStatus status = FsStatus::Ok;
    WindowsPath path;
};

Normal Normalise(std::string_view path, bool allowWildcards = false) {
    Normal n;
    const std::string text = path.starts_with('/') ? "Z:" + std::string(path) : std::string(path);
    n.status = ReadDrivePath(text, allowWildcards, n.path);
    return n;
}

std::string KeyOf(const WindowsPath& path, std::size_t count) { return LowerCase(path.Text(count)); }

std::string KeyOf(std::string_view path) {
    const Normal n = Normalise(path);
    return n.status == FsStatus::Ok ? KeyOf(n.path, n.path.names.size()) : std::string();
}

std::string ParentOf(std::string_view path) {
    const Normal n = Normalise(path);
    if (n.status != FsStatus::Ok || n.path.names.empty()) return std::string(path);
    return n.path.Text(n.path.names.size() - 1);
}

std::string LastPart(std::string_view path) {
    const Normal n = Normalise(path);
    return n.path.names.empty() ? std::string() : n.path.names.back();
}

// Whether a key of entries_ is folderKey or one below it.
bool Inside(const std::string& key, const std::string& folderKey) {
    if (key == folderKey) return true;
    const std::string prefix = folderKey.ends_with('\\') ? folderKey : folderKey + "\\";
    return key.starts_with(prefix);
}

class MergedListing final : public Listing {
public:
    explicit MergedListing(std::vector<DirEntry> entries) : entries_(std::move(entries)) {}
    std::optional<DirEntry> Next() override {
        if (next_ >= entries_.size()) return std::nullopt;
        return entries_[next_++];
    }

private:
    std::vector<DirEntry> entries_;
    std::size_t next_ = 0;
};

}  // namespace

OverlayFileSystem::OverlayFileSystem(FileSystem& below) : below_(below) {}

OverlayFileSystem::Lookup OverlayFileSystem::Find(std::string_view path) const {
    Lookup result;
    const Normal n = Normalise(path);
    if (n.status != FsStatus::Ok) {
        result.status = n.status;
        return result;
    }
    const std::size_t count = n.path.names.size();
    const Entry* deleted = nullptr;
    if (auto it = entries_.find(KeyOf(n.path, count)); it != entries_.end()) {
        if (it->second.kind != Entry::Kind::Deleted) {
            result.entry = &it->second;
            return result;
        }
        deleted = &it->second;
    }
    result = FindBelow(path, n.path);
    // A name gone from the view may still have a twin below that differs only in letter case.
    if (deleted != nullptr && (result.below.empty() || Gone(*deleted, result.below))) {
        result.below.clear();
        result.status = FsStatus::FileNotFound;
    }
    return result;
}

OverlayFileSystem::Lookup OverlayFileSystem::FindBelow(std::string_view path, const WindowsPath& normal) const {
    Lookup result;
    const std::size_t count = normal.names.size();
    for (std::size_t i = count; i-- > 1;) {
        auto it = entries_.find(KeyOf(normal, i));
        if (it == entries_.end()) continue;
        const Entry& ancestor = it->second;
        if (ancestor.kind != Entry::Kind::Folder) {
            result.status = FsStatus::PathNotFound;
        } else if (ancestor.source.empty()) {
            result.status = i + 1 == count ? FsStatus::FileNotFound : FsStatus::PathNotFound;
        } else {
            result.below = ancestor.source;
            for (std::size_t j = i; j < count; ++j) result.below += "\\" + normal.names[j];
        }
        return result;
    }
    result.below = std::string(path);
    return result;
}

// The name a path below stands for as the disk stores it: the one spelled exactly so, else the
// first that differs only in letter case.
std::string OverlayFileSystem::StoredName(std::string_view below) const {
    const std::string wanted = LastPart(below);
    std::string stored = wanted;
    if (auto listing = below_.List(below)) {
        bool first = true;
        while (auto entry = listing->Next()) {
            if (entry->name == wanted) return wanted;
            if (first) stored = entry->name;
            first = false;
        }
    }
    return stored;
}

bool OverlayFileSystem::Gone(const Entry& deleted, std::string_view below) const {
    if (deleted.goneNames.empty()) return true;
    const std::string name = StoredName(below);
    return std::find(deleted.goneNames.begin(), deleted.goneNames.end(), name) != deleted.goneNames.end();
}

OverlayFileSystem::Entry OverlayFileSystem::GoneEntry(std::string_view path, const Lookup& found) const {
    Entry gone;
    gone.kind = Entry::Kind::Deleted;
    if (auto prior = entries_.find(KeyOf(path));
        prior != entries_.end() && prior->second.kind == Entry::Kind::Deleted) {
        gone.goneNames = prior->second.goneNames;
    }
    // What stood below at this place leaves the view: a file found there, or the view's own entry
    // for it (its attributes or content changed here).
    std::string below = found.below;
    if (found.entry != nullptr && !found.entry->fresh) {
        const Normal n = Normalise(path);
        below = FindBelow(path, n.path).below;
    }
    if (!below.empty()) gone.goneNames.push_back(StoredName(below));
    return gone;
}

FsStatus OverlayFileSystem::Stat(std::string_view path, Attributes& out) const {
    const Lookup found = Find(path);
    if (found.entry != nullptr) {
        out = found.entry->attributes;
        return FsStatus::Ok;
    }
    if (!found.below.empty()) return below_.GetAttributes(found.below, out);
    return found.status;
}

// A new entry needs an existing folder to go into.
FsStatus OverlayFileSystem::CheckParent(std::string_view path) const {
    Attributes parent;
    const FsStatus s = Stat(ParentOf(path), parent);
    if (s == FsStatus::Ok) return parent.directory ? FsStatus::Ok : FsStatus::PathNotFound;
    return s == FsStatus::FileNotFound ? FsStatus::PathNotFound : s;
}

FsStatus OverlayFileSystem::CheckInsideRoots(std::string_view path) const {
    const std::vector<std::string> roots = below_.Roots();
    if (roots.empty()) return FsStatus::Ok;
    const Normal target = Normalise(below_.ResolvedPath(path));
    if (target.status != FsStatus::Ok) return FsStatus::OutsideRoots;
    for (const std::string& root : roots) {
        const Normal folder = Normalise(below_.ResolvedPath(root));
        if (folder.status == FsStatus::Ok && IsAtOrBelow(target.path, folder.path)) return FsStatus::Ok;
    }
    return FsStatus::OutsideRoots;
}

FsStatus OverlayFileSystem::Record(PlannedKind kind, std::string_view path, std::string_view target, FsStatus outcome) {
    plan_.push_back(PlannedChange{kind, std::string(path), std::string(target), outcome});
    return outcome;
}

FsStatus OverlayFileSystem::ContentOf(std::string_view path, std::string& bytes, std::size_t limit, bool head) const {
    const auto below = [&](std::string_view at) {
        return head ? below_.ReadHead(at, bytes, limit) : below_.ReadAll(at, bytes, limit);
    };
    const Lookup found = Find(path);
    if (found.entry != nullptr) {
        if (found.entry->kind == Entry::Kind::Folder) return FsStatus::AccessDenied;
        if (found.entry->bytes) {
            if (head) {
                bytes = found.entry->bytes->substr(0, limit);
                return FsStatus::Ok;
            }
            if (found.entry->bytes->size() > limit) return FsStatus::TooLarge;
            bytes = *found.entry->bytes;
            return FsStatus::Ok;
        }
        return below(found.entry->source);
    }
    if (!found.below.empty()) return below(found.below);
    return found.status;
}

std::string OverlayFileSystem::AnchorBelow(std::string path) const {
    for (;;) {
        const Lookup found = Find(path);
        if (found.entry != nullptr && !found.entry->source.empty()) return found.entry->source;
        Attributes attributes;
        if (found.entry == nullptr && !found.below.empty() &&
            below_.GetAttributes(found.below, attributes) == FsStatus::Ok) {
            return found.below;
        }
        const std::string parent = ParentOf(path);
        if (parent == path) return path;
        path = parent;
    }
}

FsStatus OverlayFileSystem::GetAttributes(std::string_view path, Attributes& out) const { return Stat(path, out); }

FsStatus OverlayFileSystem::SetAttributes(std::string_view path, const Attributes& attributes) {
    auto record = [&](FsStatus s) { return Record(PlannedKind::SetAttributes, path, {}, s); };
    Attributes current;
    if (FsStatus s = Stat(path, current); s != FsStatus::Ok) return record(s);
    if (FsStatus s = CheckInsideRoots(path); s != FsStatus::Ok) return record(s);
    const Lookup found = Find(path);
    Entry entry;
    if (found.entry != nullptr) {
        entry = *found.entry;
    } else {
        entry.kind = current.directory ? Entry::Kind::Folder : Entry::Kind::File;
        entry.name = StoredName(found.below);
        entry.source = found.below;
    }
    // The hosts below keep only the read-only flag; hidden and system follow from the names there.
    entry.attributes = current;
    entry.attributes.readOnly = attributes.readOnly;
    entries_[KeyOf(path)] = std::move(entry);
    return record(FsStatus::Ok);
}

FsStatus OverlayFileSystem::OpenForRead(std::string_view path) const {
    const Lookup found = Find(path);
    if (found.entry != nullptr) {
        if (found.entry->kind == Entry::Kind::Folder) return FsStatus::AccessDenied;
        return found.entry->bytes ? FsStatus::Ok : below_.OpenForRead(found.entry->source);
    }
    if (!found.below.empty()) return below_.OpenForRead(found.below);
    return found.status;
}

FsStatus OverlayFileSystem::FileSize(std::string_view path, std::uint64_t& size) const {
    const Lookup found = Find(path);
    if (found.entry != nullptr) {
        if (found.entry->kind == Entry::Kind::Folder) return FsStatus::AccessDenied;
        if (found.entry->bytes) {
            size = found.entry->bytes->size();
            return FsStatus::Ok;
        }
        return below_.FileSize(found.entry->source, size);
    }
    if (!found.below.empty()) return below_.FileSize(found.below, size);
    return found.status;
}

FsStatus OverlayFileSystem::ReadAll(std::string_view path, std::string& bytes, std::size_t limit) const {
    return ContentOf(path, bytes, limit, false);
}

FsStatus OverlayFileSystem::ReadHead(std::string_view path, std::string& bytes, std::size_t count) const {
    return ContentOf(path, bytes, count, true);
}

FsStatus OverlayFileSystem::WriteAll(std::string_view path, std::string_view bytes) {
    auto record = [&](FsStatus s) { return Record(PlannedKind::Write, path, {}, s); };
    if (FsStatus s = CheckInsideRoots(path); s != FsStatus::Ok) return record(s);
    Entry entry;
    entry.kind = Entry::Kind::File;
    entry.name = LastPart(path);
    Attributes current;
    const FsStatus existing = Stat(path, current);
    if (existing == FsStatus::Ok) {
        if (current.directory || current.readOnly) return record(FsStatus::AccessDenied);
        entry.attributes = current;
        const Lookup found = Find(path);
        if (found.entry != nullptr) {
            entry.name = found.entry->name;
            entry.fresh = found.entry->fresh;
            entry.order = found.entry->order;
        } else {
            entry.name = StoredName(found.below);
        }
    } else if (existing == FsStatus::FileNotFound) {
        if (FsStatus s = CheckParent(path); s != FsStatus::Ok) return record(s);
        entry.fresh = true;
        entry.order = ++made_;
    } else {
        return record(existing);
    }
    entry.bytes = std::string(bytes);
    entries_[KeyOf(path)] = std::move(entry);
    return record(FsStatus::Ok);
}

FsStatus OverlayFileSystem::Delete(std::string_view path) {
    auto record = [&](FsStatus s) { return Record(PlannedKind::Delete, path, {}, s); };
    Attributes current;
    if (FsStatus s = Stat(path, current); s != FsStatus::Ok) return record(s);
    if (FsStatus s = CheckInsideRoots(path); s != FsStatus::Ok) return record(s);
    if (current.directory || current.readOnly) return record(FsStatus::AccessDenied);
    entries_[KeyOf(path)] = GoneEntry(path, Find(path));
    return record(FsStatus::Ok);
}

FsStatus OverlayFileSystem::Rename(std::string_view from, std::string_view to) {
    auto record = [&](FsStatus s) { return Record(PlannedKind::Rename, from, to, s); };
    Attributes moving;
    if (FsStatus s = Stat(from, moving); s != FsStatus::Ok) return record(s);
    if (FsStatus s = CheckInsideRoots(from); s != FsStatus::Ok) return record(s);
    if (FsStatus s = CheckInsideRoots(to); s != FsStatus::Ok) return record(s);
    Attributes existing;
    // A new letter case of the same name is no other file.
    const FsStatus target = KeyOf(from) == KeyOf(to) ? FsStatus::FileNotFound : Stat(to, existing);
    if (target == FsStatus::Ok) return record(FsStatus::AlreadyExists);
    if (target != FsStatus::FileNotFound) return record(target);
    if (FsStatus s = CheckParent(to); s != FsStatus::Ok) return record(s);
    if (!SameVolume(ParentOf(from), ParentOf(to))) return record(FsStatus::NotSameDevice);

    const std::string fromKey = KeyOf(from);
    const std::string toKey = KeyOf(to);
    const Lookup found = Find(from);
    Entry moved = found.entry != nullptr ? *found.entry : Entry{};
    if (found.entry == nullptr) {
        moved.kind = moving.directory ? Entry::Kind::Folder : Entry::Kind::File;
        moved.attributes = moving;
        moved.source = found.below;
    }
    moved.name = LastPart(to);
    moved.fresh = true;
    moved.order = ++made_;
    if (moving.directory) {
        // What the view changed inside the folder moves with it.
        std::vector<std::pair<std::string, Entry>> inside;
        for (auto it = entries_.lower_bound(fromKey + "\\"); it != entries_.end() && Inside(it->first, fromKey);) {
            inside.emplace_back(toKey + it->first.substr(fromKey.size()), std::move(it->second));
            it = entries_.erase(it);
        }
        for (auto& [key, entry] : inside) entries_[key] = std::move(entry);
    }
    entries_[fromKey] = GoneEntry(from, found);
    entries_[toKey] = std::move(moved);
    return record(FsStatus::Ok);
}

FsStatus OverlayFileSystem::Copy(std::string_view from, std::string_view to) {
    auto record = [&](FsStatus s) { return Record(PlannedKind::Copy, from, to, s); };
    Attributes source;
    if (FsStatus s = Stat(from, source); s != FsStatus::Ok) return record(s);
    if (source.directory) return record(FsStatus::AccessDenied);
    if (FsStatus s = OpenForRead(from); s != FsStatus::Ok) return record(s);
    if (FsStatus s = CheckInsideRoots(to); s != FsStatus::Ok) return record(s);

    Entry copy;
    copy.kind = Entry::Kind::File;
    copy.name = LastPart(to);
    Attributes existing;
    const FsStatus target = Stat(to, existing);
    if (target == FsStatus::Ok) {
        if (KeyOf(from) == KeyOf(to)) return record(FsStatus::SharingViolation);
        if (existing.directory || existing.readOnly) return record(FsStatus::AccessDenied);
        const Lookup found = Find(to);
        if (found.entry != nullptr) {
            copy.name = found.entry->name;
            copy.fresh = found.entry->fresh;
            copy.order = found.entry->order;
        } else {
            copy.name = StoredName(found.below);
        }
    } else if (target == FsStatus::FileNotFound) {
        if (FsStatus s = CheckParent(to); s != FsStatus::Ok) return record(s);
        copy.fresh = true;
        copy.order = ++made_;
    } else {
        return record(target);
    }
    // The copy takes the source's attributes, as the system's copy does.
    copy.attributes = source;
    const Lookup found = Find(from);
    if (found.entry != nullptr && found.entry->bytes) {
        copy.bytes = found.entry->bytes;
    } else {
        copy.source = found.entry != nullptr ? found.entry->source : found.below;
    }
    entries_[KeyOf(to)] = std::move(copy);
    return record(FsStatus::Ok);
}

FsStatus OverlayFileSystem::CreateFolder(std::string_view path) {
    auto record = [&](FsStatus s) { return Record(PlannedKind::CreateFolder, path, {}, s); };
    Attributes existing;
    const FsStatus s = Stat(path, existing);
    if (s == FsStatus::Ok) return record(FsStatus::AlreadyExists);
    if (s != FsStatus::FileNotFound) return record(s);
    if (FsStatus p = CheckParent(path); p != FsStatus::Ok) return record(p);
    if (FsStatus r = CheckInsideRoots(path); r != FsStatus::Ok) return record(r);
    Entry folder;
    folder.kind = Entry::Kind::Folder;
    folder.name = LastPart(path);
    folder.attributes.directory = true;
    folder.fresh = true;
    folder.order = ++made_;
    entries_[KeyOf(path)] = std::move(folder);
    return record(FsStatus::Ok);
}

FsStatus OverlayFileSystem::CanCreateFileIn(std::string_view folder) const {
    Attributes attributes;
    const FsStatus status = Stat(folder, attributes);
    if (status == FsStatus::FileNotFound || (status == FsStatus::Ok && !attributes.directory)) {
        return FsStatus::PathNotFound;
    }
    if (status != FsStatus::Ok) return status;
    const std::string inView = std::string(folder) + "\\x";
    if (FsStatus s = CheckInsideRoots(inView); s != FsStatus::Ok) return s;
    return below_.CanCreateFileIn(AnchorBelow(std::string(folder)));
}

std::unique_ptr<Listing> OverlayFileSystem::List(std::string_view pattern) const {
    const Normal n = Normalise(pattern, true);
    if (n.status != FsStatus::Ok || n.path.names.empty()) return below_.List(pattern);
    const std::string folder = n.path.Text(n.path.names.size() - 1);
    const std::string& wanted = n.path.names.back();
    const std::string folderKey = KeyOf(n.path, n.path.names.size() - 1);

    std::string belowFolder;
    if (n.path.names.size() > 1) {
        Attributes a;
        if (Stat(folder, a) != FsStatus::Ok || !a.directory) return nullptr;
        const Lookup found = Find(folder);
        belowFolder = found.entry != nullptr ? found.entry->source : found.below;
    } else {
        belowFolder = folder;
    }

    // What was there keeps its place; what the view made follows in the order it was made, and
    // a folder listed in name order below stays in name order.
    std::vector<DirEntry> entries;
    bool nameOrder = true;
    const std::string childPrefix = folderKey.ends_with('\\') ? folderKey : folderKey + "\\";
    if (!belowFolder.empty()) {
        auto listing = below_.List(belowFolder + (belowFolder.ends_with('\\') ? "" : "\\") + wanted);
        std::string previous;
        while (listing) {
            auto entry = listing->Next();
            if (!entry) break;
            if (!previous.empty() && NameLess(entry->name, previous)) nameOrder = false;
            previous = entry->name;
            auto own = entries_.find(childPrefix + LowerCase(entry->name));
            if (own != entries_.end() && own->second.kind != Entry::Kind::Deleted) {
                if (!own->second.fresh) entries.push_back(DirEntry{own->second.name, own->second.attributes});
            } else if (own == entries_.end() ||
                       !Gone(own->second, belowFolder + (belowFolder.ends_with('\\') ? "" : "\\") + entry->name)) {
                entries.push_back(std::move(*entry));
            }
        }
    }
    std::vector<const Entry*> made;
    for (auto it = entries_.lower_bound(childPrefix); it != entries_.end() && it->first.starts_with(childPrefix);
         ++it) {
        if (it->first.find('\\', childPrefix.size()) != std::string::npos) continue;
        const Entry& entry = it->second;
        if (entry.kind == Entry::Kind::Deleted || !WildcardMatch(wanted, entry.name)) continue;
        if (entry.fresh || belowFolder.empty()) made.push_back(&entry);
    }
    std::sort(made.begin(), made.end(), [](const Entry* a, const Entry* b) { return a->order < b->order; });
    for (const Entry* entry : made) entries.push_back(DirEntry{entry->name, entry->attributes});
    if (nameOrder) {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const DirEntry& a, const DirEntry& b) { return NameLess(a.name, b.name); });
    }
    return std::make_unique<MergedListing>(std::move(entries));
}

std::string OverlayFileSystem::ShortPath(std::string_view path) const {
    const Lookup found = Find(path);
    if (found.entry != nullptr) return std::string(path);
    if (found.below.empty()) return {};
    if (found.below == path) return below_.ShortPath(path);
    Attributes a;
    return below_.GetAttributes(found.below, a) == FsStatus::Ok ? std::string(path) : std::string();
}

std::string OverlayFileSystem::ResolvedPath(std::string_view path) const {
    const Lookup found = Find(path);
    if (!found.below.empty() && found.below != path) return std::string(path);
    return below_.ResolvedPath(path);
}

void OverlayFileSystem::SetRoots(std::vector<std::string> roots) { below_.SetRoots(std::move(roots)); }

std::vector<std::string> OverlayFileSystem::Roots() const { return below_.Roots(); }

bool OverlayFileSystem::SameVolume(std::string_view a, std::string_view b) const {
    // Both folders must exist in the view; folders made in the view lie on the volume of the
    // nearest folder below.
    Attributes folder;
    for (std::string_view path : {a, b}) {
        if (Stat(ParentOf(path), folder) != FsStatus::Ok || !folder.directory) return false;
    }
    return below_.SameVolume(AnchorBelow(std::string(a)), AnchorBelow(std::string(b)));
}

void OverlayFileSystem::ForgetCachedState() { below_.ForgetCachedState(); }

std::string_view PlannedKindName(PlannedKind kind) {
    switch (kind) {
        case PlannedKind::Delete: return "delete";
        case PlannedKind::Rename: return "rename";
        case PlannedKind::Copy: return "copy";
        case PlannedKind::Write: return "write";
        case PlannedKind::CreateFolder: return "create folder";
        case PlannedKind::SetAttributes: return "set attributes";
    }
    return "change";
}

std::string_view FsStatusName(FsStatus status) {
    switch (status) {
        case FsStatus::Ok: return "done";
        case FsStatus::FileNotFound: return "file not found";
        case FsStatus::PathNotFound: return "path not found";
        case FsStatus::AccessDenied: return "access denied";
        case FsStatus::AlreadyExists: return "already exists";
        case FsStatus::SharingViolation: return "in use";
        case FsStatus::WriteProtected: return "write-protected";
        case FsStatus::DiskFull: return "disk full";
        case FsStatus::NotSameDevice: return "not on the same volume";
        case FsStatus::BadName: return "bad name";
        case FsStatus::IoError: return "I/O error";
        case FsStatus::OutsideRoots: return "outside the folders it may change";
        case FsStatus::NotRegularFile: return "not a regular file";
        case FsStatus::TooLarge: return "too large";
        case FsStatus::ProgramOwnFile: return "one of this program's own files";
    }
    return "failed";
}

}  // namespace zelvane
