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
//    (a rename, copy, write, new folder, or new attributes of a folder), throws the index away
//    and the next search walks the tree afresh.
// IndexKeepingFileSystem wraps a file system and does both for every change made through it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/seams/file_system.hpp"
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

    // The file at this path no longer exists.
    void NoteDeleted(std::string_view path);
    // The attributes of this path changed; a folder's attributes decide whether it is walked.
    void NoteAttributesChanged(const FileSystem& fs, std::string_view path);
    // Something may have been added to the tree: the next search walks it again.
    void Invalidate();

    void SetStrategy(SearchStrategy strategy);
    SearchStrategy Strategy() const { return strategy_; }
    bool Built() const { return built_; }
    std::uint64_t Walks() const { return walks_; }  // complete walks of the tree so far
    std::size_t Files() const { return entries_.size(); }

private:
    struct Entry {
        std::string relative;     // path below the searched folder, as listed
        bool present = true;      // false once known to be gone
        bool caseTwin = false;    // another name of its folder differs from it only in letter case
    };

    bool Build(const FileSystem& fs, std::string_view pattern, const std::function<void()>& doEvents);
    void WalkEntries(const FileSystem& fs, Listing& listing, const std::string& folder,
                     const std::string& relativeFolder, const std::function<void()>& doEvents);
    bool StillThere(const FileSystem& fs, const std::string& folder, const Entry& entry) const;

    SearchStrategy strategy_;
    bool built_ = false;
    std::uint64_t walks_ = 0;
    std::string patternKey_;  // lower-cased pattern the index was built for
    std::string folderKey_;   // lower-cased folder of that pattern
    std::vector<Entry> entries_;                                          // in visiting order
    std::unordered_map<std::string, std::vector<std::size_t>> byName_;    // lower-cased name -> entries
    std::unordered_map<std::string, std::size_t> byPath_;                 // lower-cased relative path
};

// Forwards every call to another file system and keeps a SearchIndex true for the changes made
// through it.
class IndexKeepingFileSystem final : public FileSystem {
public:
    IndexKeepingFileSystem(FileSystem& inner, SearchIndex& index) : inner_(inner), index_(index) {}

    FsStatus GetAttributes(std::string_view path, Attributes& out) const override;
    FsStatus SetAttributes(std::string_view path, const Attributes& attributes) override;
    FsStatus OpenForRead(std::string_view path) const override;
    FsStatus ReadAll(std::string_view path, std::string& bytes) const override;
    FsStatus WriteAll(std::string_view path, std::string_view bytes) override;
    FsStatus Delete(std::string_view path) override;
    FsStatus Rename(std::string_view from, std::string_view to) override;
    FsStatus Copy(std::string_view from, std::string_view to) override;
    FsStatus CreateFolder(std::string_view path) override;
    std::unique_ptr<Listing> List(std::string_view pattern) const override;
    std::string ShortPath(std::string_view path) const override;
    std::string ResolvedPath(std::string_view path) const override;
    void SetRoots(std::vector<std::string> roots) override { inner_.SetRoots(std::move(roots)); }
    std::vector<std::string> Roots() const override { return inner_.Roots(); }
    bool SameVolume(std::string_view a, std::string_view b) const override { return inner_.SameVolume(a, b); }
    // The player had control: files may have come and gone anywhere, so the index goes too.
    void ForgetCachedState() override {
        index_.Invalidate();
        inner_.ForgetCachedState();
    }

private:
    FileSystem& inner_;
    SearchIndex& index_;
};

}  // namespace zelvane
