#include "util/search_index.hpp"

#include <algorithm>

#include "util/common.hpp"
#include "util/strings.hpp"

namespace zelvane {
namespace {

// The folder part of a search pattern: the pattern less its last three characters ("*.*").
std::string PatternFolder(std::string_view pattern) {
    return std::string(pattern.substr(0, pattern.size() >= 3 ? pattern.size() - 3 : 0));
}

std::string NameOf(std::string_view relative) {
    const std::size_t slash = relative.rfind('\\');
    return std::string(slash == std::string_view::npos ? relative : relative.substr(slash + 1));
}

std::string WithoutBackslash(std::string folder) {
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

}  // namespace

void SearchIndex::FindFile(const FileSystem& fs, std::string_view pattern, std::string_view fileName, bool recurse,
                           SearchState& state, const std::function<void()>& doEvents) {
    if (strategy_ == SearchStrategy::Walk || !recurse) {
        RecurseFiles_FindFile(fs, pattern, fileName, recurse, state, doEvents);
        return;
    }
    if (state.found) return;  // the walk would stop before its first entry
    Settle(fs);
    if ((!built_ || LowerCase(pattern) != patternKey_) && !Build(fs, pattern, doEvents)) return;

    std::size_t* first = FirstOfKey(LowerCase(fileName));
    if (first == nullptr) return;
    const std::string folder = PatternFolder(pattern);
    std::size_t last = *first;
    for (std::size_t position = *first; position != kNone; position = entries_[position].nextSame) {
        Entry& entry = entries_[position];
        last = position;
        if (entry.present && StillThere(fs, folder, entry)) {
            state.found = true;
            state.result = folder;
            state.result += entry.relative;
            break;
        }
        if (entry.present) folders_[entry.folder].stamp.clear();  // changed behind the index's back
        entry.present = false;
    }
    *first = last;  // the entries before it are gone: later searches start here
    if (state.found && doEvents) doEvents();
}

std::size_t* SearchIndex::FirstOfKey(std::string_view key) {
    const auto it = byName_.find(key);
    return it == byName_.end() ? nullptr : &it->second;
}

bool SearchIndex::StillThere(const FileSystem& fs, const std::string& folder, const Entry& entry) const {
    const std::string path = folder + std::string(entry.relative);
    if (!entry.caseTwin) {
        Attributes attributes;
        return fs.GetAttributes(path, attributes) == FsStatus::Ok && !attributes.directory;
    }
    // Names that differ only in letter case resolve to one another: ask the listing for this one.
    auto listing = fs.List(path);
    if (!listing) return false;
    const std::string name = NameOf(entry.relative);
    for (auto e = listing->Next(); e; e = listing->Next()) {
        if (e->name == name && !e->attributes.directory) return true;
    }
    return false;
}

bool SearchIndex::Build(const FileSystem& fs, std::string_view pattern, const std::function<void()>& doEvents) {
    Invalidate();
    // Stamped before it is read: a change while it is read shows as another stamp later.
    std::string stamp = fs.FolderStamp(WithoutBackslash(PatternFolder(pattern)));
    auto listing = fs.List(pattern);
    if (!listing) return false;  // nothing to keep: the folder cannot be listed now
    ++walks_;
    patternKey_ = LowerCase(pattern);
    folderKey_ = LowerCase(PatternFolder(pattern));
    const std::string folder = WithoutBackslash(PatternFolder(pattern));
    const std::string resolved = fs.ResolvedPath(folder);
    resolvedFolderKey_ = resolved.empty() ? std::string() : LowerCase(AddBackslash(resolved));
    folders_.push_back(FolderRecord{folder, std::move(stamp), {}, {}});
    WalkEntries(fs, *listing, 0, PatternFolder(pattern), "", doEvents);
    lastOfKey_.clear();
    lastOfKey_.shrink_to_fit();
    built_ = true;
    return true;
}

// Visits the entries exactly as RecurseFiles_FindFile does, without stopping at a match.
void SearchIndex::WalkEntries(const FileSystem& fs, Listing& listing, std::size_t record, const std::string& folder,
                              const std::string& relativeFolder, const std::function<void()>& doEvents) {
    const std::string lowerRelativeFolder = LowerCase(relativeFolder);  // letter by letter, so it joins
    const std::size_t namesStart = namesHere_.size();
    bool first = true;
    for (auto entry = listing.Next(); entry; entry = listing.Next()) {
        if (!first && doEvents) doEvents();
        first = false;
        const std::string& name = entry->name;
        const bool dots = name == "." || name == "..";
        if (!entry->attributes.directory && !dots) {
            AddFile(name, relativeFolder, lowerRelativeFolder, record);
            continue;
        }
        folders_[record].names.push_back(names_.Store(name));
        folders_[record].removed.push_back(false);
        if (dots) continue;
        char* lower = names_.Allocate(name.size());
        LowerCaseInto(name, lower);
        namesHere_.push_back(NameHere{std::string_view(lower, name.size()), kNone});
        if (!entry->attributes.system && !entry->attributes.link) {  // as the walk: no folder links
            std::string stamp = fs.FolderStamp(folder + name);
            const std::size_t below = folders_.size();
            folders_.push_back(FolderRecord{folder + name, std::move(stamp), {}, {}});
            if (auto listingBelow = fs.List(folder + name + "\\*.*")) {
                WalkEntries(fs, *listingBelow, below, folder + name + "\\", relativeFolder + name + "\\", doEvents);
            }
        }
    }
    // Names that differ only in letter case (possible on a case-sensitive host) resolve to one
    // another, so their files are checked through a listing.
    const auto here = namesHere_.begin() + static_cast<std::ptrdiff_t>(namesStart);
    std::sort(here, namesHere_.end(), [](const NameHere& a, const NameHere& b) { return a.lower < b.lower; });
    for (auto group = here; group != namesHere_.end();) {
        auto end = group + 1;
        while (end != namesHere_.end() && end->lower == group->lower) ++end;
        if (end - group > 1) {
            for (auto twin = group; twin != end; ++twin) {
                if (twin->file != kNone) entries_[twin->file].caseTwin = true;
            }
        }
        group = end;
    }
    namesHere_.erase(here, namesHere_.end());
}

// A file of the folder being walked: its names stored once, entered in the tables.
void SearchIndex::AddFile(std::string_view name, std::string_view relativeFolder, std::string_view lowerRelativeFolder,
                          std::size_t record) {
    const std::size_t length = relativeFolder.size() + name.size();
    char* text = names_.Allocate(2 * length);
    std::copy(relativeFolder.begin(), relativeFolder.end(), text);
    std::copy(name.begin(), name.end(), text + relativeFolder.size());
    char* lower = text + length;
    std::copy(lowerRelativeFolder.begin(), lowerRelativeFolder.end(), lower);
    LowerCaseInto(name, lower + relativeFolder.size());
    const std::string_view relative(text, length);
    const std::string_view lowerPath(lower, length);
    const std::string_view lowerName = lowerPath.substr(relativeFolder.size());
    const std::size_t slash = lowerName.rfind('\\');  // the key is the file name's last part
    const std::string_view key = slash == std::string_view::npos ? lowerName : lowerName.substr(slash + 1);

    FolderRecord& folder = folders_[record];
    folder.names.push_back(relative.substr(relativeFolder.size()));
    folder.removed.push_back(false);
    const std::size_t position = entries_.size();
    entries_.push_back(Entry{relative, lowerPath, key, true, false, record, folder.names.size() - 1, kNone});
    lastOfKey_.push_back(position);
    const auto [named, inserted] = byName_.try_emplace(key, position);
    if (!inserted) {  // after the last entry of that name so far
        const std::size_t head = named->second;
        entries_[lastOfKey_[head]].nextSame = position;
        lastOfKey_[head] = position;
    }
    byPath_.try_emplace(lowerPath, position);
    namesHere_.push_back(NameHere{lowerName, position});
}

std::size_t SearchIndex::Held(std::string_view path) const {
    if (!built_) return kNone;
    const std::string lower = LowerCase(path);
    if (!lower.starts_with(folderKey_)) return kNone;
    const auto hit = byPath_.find(std::string_view(lower).substr(folderKey_.size()));
    return hit == byPath_.end() ? kNone : hit->second;
}

void SearchIndex::NoteDeleted(std::string_view path, const FileSystem* fs) {
    if (!built_ || !LowerCase(path).starts_with(folderKey_)) return;
    const std::size_t held = Held(path);
    if (held == kNone) {
        // Not a file the walk saw: the index cannot tell which folder changed.
        for (FolderRecord& folder : folders_) folder.stamp.clear();
        return;
    }
    Entry* entry = &entries_[held];
    FolderRecord& folder = folders_[entry->folder];
    // A name with a case twin may have been either file; the check before each hit tells, and
    // the folder is read again when next checked.
    if (entry->caseTwin) {
        folder.stamp.clear();
        return;
    }
    entry->present = false;
    folder.removed[entry->slot] = true;
    if (!folder.stamp.empty()) folder.stamp = fs != nullptr ? fs->FolderStamp(folder.path) : std::string();
}

bool SearchIndex::HeldAsDeleted(std::string_view path) const {
    const std::size_t held = Held(path);
    if (held == kNone) return false;
    const Entry& entry = entries_[held];
    return !entry.present && !entry.caseTwin && folders_[entry.folder].removed[entry.slot];
}

void SearchIndex::NoteReturned(const FileSystem& fs, std::string_view path) {
    if (!HeldAsDeleted(path)) {
        Invalidate();
        return;
    }
    const std::size_t position = Held(path);
    Entry* entry = &entries_[position];
    FolderRecord& folder = folders_[entry->folder];
    // What the folder must list now: what it listed, less what the run deleted, with this file
    // back at its place under its old name.
    std::string stamp = fs.FolderStamp(folder.path);
    auto listing = fs.List(folder.path + "\\*.*");
    bool same = listing != nullptr && !stamp.empty() && !folder.stamp.empty();
    std::size_t slot = 0;
    for (auto listed = same ? listing->Next() : std::nullopt; same && listed; listed = listing->Next()) {
        while (slot < folder.names.size() && folder.removed[slot] && slot != entry->slot) ++slot;
        same = slot < folder.names.size() && listed->name == folder.names[slot];
        ++slot;
    }
    while (same && slot < folder.names.size() && folder.removed[slot] && slot != entry->slot) ++slot;
    if (!same || slot != folder.names.size()) {
        Invalidate();
        return;
    }
    folder.stamp = std::move(stamp);
    folder.removed[entry->slot] = false;
    entry->present = true;
    // Its entry follows the first one still checked for its name, or becomes that one.
    if (std::size_t* first = FirstOfKey(entry->key); first != nullptr && position < *first) *first = position;
}

bool SearchIndex::StampsHold(const FileSystem& fs) const {
    for (const FolderRecord& folder : folders_) {
        if (folder.stamp.empty() || fs.FolderStamp(folder.path) != folder.stamp) return false;
    }
    return true;
}

void SearchIndex::Settle(const FileSystem& fs) {
    if (!suspect_) return;
    suspect_ = false;
    if (built_ && !StampsHold(fs)) Invalidate();
}

void SearchIndex::NoteAttributesChanged(const FileSystem& fs, std::string_view path) {
    if (!built_) return;
    // A file the index holds: no need to ask the file system what it is.
    if (const std::size_t known = Held(path); known != kNone && !entries_[known].caseTwin) return;
    Attributes attributes;
    // The attributes of a file do not change the walk; those of a folder may (system folders).
    if (fs.GetAttributes(path, attributes) == FsStatus::Ok && !attributes.directory) return;
    Invalidate();
}

bool SearchIndex::MayAddTo(const FileSystem& fs, std::string_view path) const {
    if (!built_) return false;
    if (LowerCase(path).starts_with(folderKey_)) return true;
    if (resolvedFolderKey_.empty()) return true;  // where the tree lies is not known: assume the worst
    // Through a link on the way the target's folder may lie in the tree.
    const std::string folder = fs.ResolvedPath(ParentFolder(path));
    if (folder.empty()) return true;
    return LowerCase(AddBackslash(folder)).starts_with(resolvedFolderKey_);
}

void SearchIndex::Invalidate() {
    built_ = false;
    suspect_ = false;
    folders_.clear();
    patternKey_.clear();
    folderKey_.clear();
    resolvedFolderKey_.clear();
    entries_.clear();
    byName_.clear();
    byPath_.clear();
    lastOfKey_.clear();
    names_.Clear();
}

void SearchIndex::SetStrategy(SearchStrategy strategy) {
    strategy_ = strategy;
    Invalidate();
}

// --- IndexKeepingFileSystem ---

FsStatus IndexKeepingFileSystem::SetAttributes(std::string_view path, const Attributes& attributes) {
    const FsStatus status = inner().SetAttributes(path, attributes);
    index_.NoteAttributesChanged(inner(), path);
    return status;
}

void IndexKeepingFileSystem::NoteAddition(std::string_view path) {
    if (index_.MayAddTo(inner(), path)) index_.Invalidate();
}

FsStatus IndexKeepingFileSystem::WriteAll(std::string_view path, std::string_view bytes) {
    NoteAddition(path);
    return inner().WriteAll(path, bytes);
}

FsStatus IndexKeepingFileSystem::Delete(std::string_view path) {
    index_.Settle(inner());  // what the player changed is told apart from the run's own change
    const FsStatus status = inner().Delete(path);
    if (status == FsStatus::Ok) index_.NoteDeleted(path, &inner());
    return status;
}

// A file or folder that leaves the tree only takes names away; the check before every hit and
// NoteDeleted keep the index true for that.
FsStatus IndexKeepingFileSystem::Rename(std::string_view from, std::string_view to) {
    index_.Settle(inner());
    // Moved into the place of a file the run deleted: its folder is read again instead of the tree.
    const bool returning = index_.HeldAsDeleted(to);
    if (!returning) NoteAddition(to);
    const FsStatus status = inner().Rename(from, to);
    if (status == FsStatus::Ok) {
        index_.NoteDeleted(from, &inner());
        if (returning) index_.NoteReturned(inner(), to);
    }
    return status;
}

FsStatus IndexKeepingFileSystem::Copy(std::string_view from, std::string_view to) {
    NoteAddition(to);
    return inner().Copy(from, to);
}

FsStatus IndexKeepingFileSystem::CreateFolder(std::string_view path) {
    NoteAddition(path);
    return inner().CreateFolder(path);
}

void IndexKeepingFileSystem::ForgetCachedState() {
    index_.Suspect();
    inner().ForgetCachedState();
}

}  // namespace zelvane
