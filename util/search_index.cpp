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

    const auto hit = byName_.find(LowerCase(fileName));
    if (hit == byName_.end()) return;
    const std::string folder = PatternFolder(pattern);
    std::vector<std::size_t>& positions = hit->second;
    std::size_t gone = 0;  // leading entries known to be deleted
    for (const std::size_t position : positions) {
        Entry& entry = entries_[position];
        if (entry.present && StillThere(fs, folder, entry)) {
            state.found = true;
            state.result = folder + entry.relative;
            break;
        }
        if (entry.present) folders_[entry.folder].stamp.clear();  // changed behind the index's back
        entry.present = false;
        ++gone;
    }
    positions.erase(positions.begin(), positions.begin() + static_cast<std::ptrdiff_t>(gone));
    if (state.found && doEvents) doEvents();
}

bool SearchIndex::StillThere(const FileSystem& fs, const std::string& folder, const Entry& entry) const {
    const std::string path = folder + entry.relative;
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
    built_ = true;
    return true;
}

// Visits the entries exactly as RecurseFiles_FindFile does, without stopping at a match.
void SearchIndex::WalkEntries(const FileSystem& fs, Listing& listing, std::size_t record, const std::string& folder,
                              const std::string& relativeFolder, const std::function<void()>& doEvents) {
    constexpr std::size_t kFolder = static_cast<std::size_t>(-1);
    std::unordered_map<std::string, std::size_t> namesHere;  // lower-cased name -> its file, or kFolder
    const std::string lowerRelativeFolder = LowerCase(relativeFolder);  // letter by letter, so it joins
    bool first = true;
    for (auto entry = listing.Next(); entry; entry = listing.Next()) {
        if (!first && doEvents) doEvents();
        first = false;
        const std::string& name = entry->name;
        folders_[record].names.push_back(name);
        folders_[record].removed.push_back(false);
        if (name == "." || name == "..") continue;
        const std::string lowerName = LowerCase(name);
        std::size_t position = kFolder;
        if (entry->attributes.directory) {
            if (!entry->attributes.system && !entry->attributes.link) {  // as the walk: no folder links
                std::string stamp = fs.FolderStamp(folder + name);
                const std::size_t below = folders_.size();
                folders_.push_back(FolderRecord{folder + name, std::move(stamp), {}, {}});
                if (auto listingBelow = fs.List(folder + name + "\\*.*")) {
                    WalkEntries(fs, *listingBelow, below, folder + name + "\\", relativeFolder + name + "\\", doEvents);
                }
            }
        } else {
            position = entries_.size();
            entries_.push_back(Entry{relativeFolder + name, true, false, record, folders_[record].names.size() - 1});
            const std::string fileName = GetFileName(name);
            byName_[fileName.size() == name.size() ? lowerName : LowerCase(fileName)].push_back(position);
            byPath_.emplace(lowerRelativeFolder + lowerName, position);
        }
        // Names that differ only in letter case (possible on a case-sensitive host) resolve to
        // one another, so their files are checked through a listing.
        if (const auto twin = namesHere.find(lowerName); twin != namesHere.end()) {
            if (twin->second != kFolder) entries_[twin->second].caseTwin = true;
            if (position != kFolder) entries_[position].caseTwin = true;
        } else {
            namesHere.emplace(lowerName, position);
        }
    }
}

std::size_t SearchIndex::Held(std::string_view path) const {
    if (!built_) return kNone;
    const std::string lower = LowerCase(path);
    if (!lower.starts_with(folderKey_)) return kNone;
    const auto hit = byPath_.find(lower.substr(folderKey_.size()));
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
    std::vector<std::size_t>& positions = byName_[LowerCase(GetFileName(NameOf(entry->relative)))];
    positions.insert(std::lower_bound(positions.begin(), positions.end(), position), position);
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
    const std::string lower = LowerCase(path);
    if (lower.starts_with(folderKey_)) {
        const auto known = byPath_.find(lower.substr(folderKey_.size()));
        if (known != byPath_.end() && !entries_[known->second].caseTwin) return;
    }
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
}

void SearchIndex::SetStrategy(SearchStrategy strategy) {
    strategy_ = strategy;
    Invalidate();
}

// --- IndexKeepingFileSystem ---

FsStatus IndexKeepingFileSystem::GetAttributes(std::string_view path, Attributes& out) const {
    return inner_.GetAttributes(path, out);
}

FsStatus IndexKeepingFileSystem::SetAttributes(std::string_view path, const Attributes& attributes) {
    const FsStatus status = inner_.SetAttributes(path, attributes);
    index_.NoteAttributesChanged(inner_, path);
    return status;
}

FsStatus IndexKeepingFileSystem::OpenForRead(std::string_view path) const { return inner_.OpenForRead(path); }

FsStatus IndexKeepingFileSystem::ReadAll(std::string_view path, std::string& bytes) const {
    return inner_.ReadAll(path, bytes);
}

void IndexKeepingFileSystem::NoteAddition(std::string_view path) {
    if (index_.MayAddTo(inner_, path)) index_.Invalidate();
}

FsStatus IndexKeepingFileSystem::WriteAll(std::string_view path, std::string_view bytes) {
    NoteAddition(path);
    return inner_.WriteAll(path, bytes);
}

FsStatus IndexKeepingFileSystem::Delete(std::string_view path) {
    index_.Settle(inner_);  // what the player changed is told apart from the run's own change
    const FsStatus status = inner_.Delete(path);
    if (status == FsStatus::Ok) index_.NoteDeleted(path, &inner_);
    return status;
}

// A file or folder that leaves the tree only takes names away; the check before every hit and
// NoteDeleted keep the index true for that.
FsStatus IndexKeepingFileSystem::Rename(std::string_view from, std::string_view to) {
    index_.Settle(inner_);
    // Moved into the place of a file the run deleted: its folder is read again instead of the tree.
    const bool returning = index_.HeldAsDeleted(to);
    if (!returning) NoteAddition(to);
    const FsStatus status = inner_.Rename(from, to);
    if (status == FsStatus::Ok) {
        index_.NoteDeleted(from, &inner_);
        if (returning) index_.NoteReturned(inner_, to);
    }
    return status;
}

FsStatus IndexKeepingFileSystem::Copy(std::string_view from, std::string_view to) {
    NoteAddition(to);
    return inner_.Copy(from, to);
}

FsStatus IndexKeepingFileSystem::CreateFolder(std::string_view path) {
    NoteAddition(path);
    return inner_.CreateFolder(path);
}

void IndexKeepingFileSystem::ForgetCachedState() {
    index_.Suspect();
    inner_.ForgetCachedState();
}

std::string IndexKeepingFileSystem::FolderStamp(std::string_view folder) const { return inner_.FolderStamp(folder); }

std::unique_ptr<Listing> IndexKeepingFileSystem::List(std::string_view pattern) const { return inner_.List(pattern); }

std::string IndexKeepingFileSystem::ShortPath(std::string_view path) const { return inner_.ShortPath(path); }

std::string IndexKeepingFileSystem::ResolvedPath(std::string_view path) const { return inner_.ResolvedPath(path); }

}  // namespace zelvane
