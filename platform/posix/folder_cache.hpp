#pragma once
// What a run has read of the host's folders, kept as long as it holds:
//  - the listing of each folder read (folder_listing.hpp) and the state (stat) of each entry
//    looked up, kept true by the run's own changes reported to it;
//  - the folders held open by the Windows path that led to them, with their host paths;
//  - the folders proved to lie inside the roots of a confined file system.
// A folder moved by the run lets go of what is kept by path; control going to the player
// (Forget) lets go of everything, for the player may have changed anything meanwhile.

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "platform/posix/descriptor.hpp"
#include "platform/posix/folder_listing.hpp"

namespace zelvane::posix {

// A folder held open, and its host path with every link on the way followed ("" for the root).
struct HeldFolder {
    HostFolder folder;
    std::string path;
};

class FolderCache {
public:
    explicit FolderCache(std::size_t heldLimit = HeldFoldersAllowed()) : heldLimit_(heldLimit) {}

    // The entries of a folder in name order, read once; nullptr when it cannot be read.
    const FolderListing* Listing(const HostFolder& folder);
    bool Listed(const HostFolder& folder) const { return listings_.contains(IdOf(folder)); }

    // The state of an entry itself (a link not followed), read once and kept; following a link
    // asks the host each time. 0, or -1 with errno, as fstatat.
    int StatAt(const HostFolder& folder, const std::string& name, struct stat& st, bool follow);
    // The kept state of an entry, nullptr when it was not read.
    const struct stat* KnownState(const HostFolder& folder, const std::string& name) const;

    // The folder held for a Windows path (as the walk spells it), nullptr when none is.
    const HeldFolder* Held(std::string_view windowsPath) const;
    // Beyond the limit of folders held, every one is let go first.
    void Hold(std::string windowsPath, HeldFolder folder);

    bool KnownInside(const HostFolder& folder) const { return inside_.contains(IdOf(folder)); }
    void NoteInside(const HostFolder& folder) { inside_.insert(IdOf(folder)); }
    void RootsChanged() { inside_.clear(); }

    // The run's own changes.
    void Added(const HostFolder& folder, const HostEntry& entry);
    void Removed(const HostFolder& folder, const std::string& host);
    void Changed(const HostFolder& folder, const std::string& host);  // new bytes or a new mode
    void FolderMoved();                                               // a folder got another path
    void Forget();

private:
    using FolderId = std::pair<dev_t, ino_t>;
    static FolderId IdOf(const HostFolder& folder) { return {folder.dev, folder.ino}; }

    // Hashes strings and views alike, so that a prefix of a path is looked up without a copy.
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
    };

    std::size_t heldLimit_;
    std::map<FolderId, FolderListing> listings_;
    std::map<FolderId, std::unordered_map<std::string, struct stat>> states_;  // by host name
    std::unordered_map<std::string, HeldFolder, KeyHash, std::equal_to<>> held_;
    std::set<FolderId> inside_;
};

}  // namespace zelvane::posix
