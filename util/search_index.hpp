#pragma once
// The names of a folder tree in the order the depth-first search visits them, so that a run that
// looks for many names walks the tree once instead of once per name. Every answer is the one
// RecurseFiles_FindFile would give at that moment: the first file of that name in depth-first
// listing order, system folders skipped, hidden folders entered.
//
// The index is built by the first search and kept true as the run changes files:
//  - a deleted file drops out (NoteDeleted, and every hit is checked against the file system
//    before it is given out, so a file that vanished by another way is skipped as well);
//  - anything that may add a file or folder to the tree, or change which folders are walked
//    (a rename, copy, write or new folder whose target lies in the tree, or new attributes of a
//    folder), throws the index away and the next search walks the tree afresh. A target lies in
//    the tree when its path does, or when its folder resolves into the tree's through links;
//    copies into `Backup Uninstall` and writes in the program folder keep the index;
//  - when control goes to the player the index is checked before its next use: it is kept when
//    the stamp of every folder it read is still the one the folder had (see
//    FileSystem::FolderStamp), and walked afresh otherwise;
//  - a file the run moves back into the place of one it deleted (the 2da restore's replacement)
//    is taken back without a walk when its folder, read again, lists it where the old one was.
// IndexKeepingFileSystem wraps a file system and does all of this for every change made through it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/seams/file_system.hpp"
#include "platform/seams/forwarding_file_system.hpp"
#include "util/name_store.hpp"
#include "util/recurse.hpp"

namespace zelvane {

enum class SearchStrategy {
    Walk,     // RecurseFiles_FindFile for every search
    Indexed,  // one walk, then answers from the index
};

class SearchIndex {
public:
    explicit SearchIndex(SearchStrategy strategy = SearchStrategy::Indexed) : strategy_(strategy) {}

    // The contract of RecurseFiles_FindFile: the caller clears state first; state.result is the
    // folder of the pattern + the path below it as listed. Searches without subfolders, and every
    // search under SearchStrategy::Walk, are plain walks.
    void FindFile(const FileSystem& fs, std::string_view pattern, std::string_view fileName, bool recurse,
                  SearchState& state, const std::function<void()>& doEvents = {});

    // The file at this path no longer exists. With the file system, the stamp of its folder is
    // taken again (the run's own change); without, the folder is read again when next checked.
    void NoteDeleted(std::string_view path, const FileSystem* fs = nullptr);
    // Whether this path names a file of the index that the run deleted.
    bool HeldAsDeleted(std::string_view path) const;
    // A file was moved to that path: taken back when its folder lists it where the deleted one
    // was, else the index is thrown away.
    void NoteReturned(const FileSystem& fs, std::string_view path);
    // The attributes of this path changed; a folder's attributes decide whether it is walked.
    void NoteAttributesChanged(const FileSystem& fs, std::string_view path);
    // Something may have been added to the tree: the next search walks it again.
    void Invalidate();
    // Whether a file or folder made at this path could add to the tree the index holds.
    bool MayAddTo(const FileSystem& fs, std::string_view path) const;
    // Control went to the player: the folders' stamps are compared before the index is used again.
    void Suspect() { suspect_ = built_; }
    // After control went to the player: keeps the index when no folder it read has changed.
    void Settle(const FileSystem& fs);

    void SetStrategy(SearchStrategy strategy);
    SearchStrategy Strategy() const { return strategy_; }
    bool Built() const { return built_; }
    std::uint64_t Walks() const { return walks_; }  // complete walks of the tree so far
    std::size_t Files() const { return entries_.size(); }

private:
    // Names and paths are views of names_, kept as long as the index.
    struct Entry {
        std::string_view relative;   // path below the searched folder, as listed
        std::string_view lowerPath;  // the same lower-cased
        std::string_view key;        // lower-cased file name, the key of byName_
        bool present = true;         // false once known to be gone
        bool caseTwin = false;       // another name of its folder differs from it only in letter case
        std::size_t folder = 0;      // the record of its folder
        std::size_t slot = 0;        // its place in that folder's listing
        std::size_t nextSame = 0;    // the next entry of the same key in visiting order, or kNone
    };
    // One folder as the walk read it.
    struct FolderRecord {
        std::string path;                     // full path, no trailing backslash
        std::string stamp;                    // FolderStamp before it was read; "" = read it again
        std::vector<std::string_view> names;  // every entry, in listing order
        std::vector<bool> removed;            // entries the run deleted since
    };
    // A name of a folder being walked, lower-cased, and its file (kNone for a folder).
    struct NameHere {
        std::string_view lower;
        std::size_t file;
    };

    bool Build(const FileSystem& fs, std::string_view pattern, const std::function<void()>& doEvents);
    void WalkEntries(const FileSystem& fs, Listing& listing, std::size_t record, const std::string& folder,
                     const std::string& relativeFolder, const std::function<void()>& doEvents);
    void AddFile(std::string_view name, std::string_view relativeFolder, std::string_view lowerRelativeFolder,
                 std::size_t record);
    bool StillThere(const FileSystem& fs, const std::string& folder, const Entry& entry) const;
    bool StampsHold(const FileSystem& fs) const;
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    // The entry of a file the walk saw at this path, or kNone.
    std::size_t Held(std::string_view path) const;
    // The first entry still worth checking for this key, or nullptr.
    std::size_t* FirstOfKey(std::string_view key);

    SearchStrategy strategy_;
    bool built_ = false;
    std::uint64_t walks_ = 0;
    std::string patternKey_;         // lower-cased pattern the index was built for
    std::string folderKey_;          // lower-cased folder of that pattern
    std::string resolvedFolderKey_;  // the same with every link on the way followed, "" when unknown
    bool suspect_ = false;           // control went to the player since the stamps were last compared
    NameStore names_;
    std::vector<FolderRecord> folders_;
    std::vector<Entry> entries_;  // in visiting order
    // Lower-cased file name -> the first entry of that name not known to be gone; the others
    // follow through Entry::nextSame.
    std::unordered_map<std::string_view, std::size_t> byName_;
    std::unordered_map<std::string_view, std::size_t> byPath_;  // lower-cased relative path -> its entry
    std::vector<std::size_t> lastOfKey_;  // while walking: the last entry of a key, by the first one
    std::vector<NameHere> namesHere_;     // while walking: the names of the folders being walked
};

// Forwards every call to another file system and keeps a SearchIndex true for the changes made
// through it.
class IndexKeepingFileSystem final : public ForwardingFileSystem {
public:
    IndexKeepingFileSystem(FileSystem& inner, SearchIndex& index) : ForwardingFileSystem(inner), index_(index) {}

    FsStatus SetAttributes(std::string_view path, const Attributes& attributes) override;
    FsStatus WriteAll(std::string_view path, std::string_view bytes) override;
    FsStatus Delete(std::string_view path) override;
    FsStatus Rename(std::string_view from, std::string_view to) override;
    FsStatus Copy(std::string_view from, std::string_view to) override;
    FsStatus CreateFolder(std::string_view path) override;
    void ForgetCachedState() override;

private:
    void NoteAddition(std::string_view path);

    SearchIndex& index_;
};

}  // namespace zelvane
