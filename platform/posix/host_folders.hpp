#pragma once
// Folders of the host held open. A Windows path is walked from its drive's folder one component at
// a time, each relative to an open directory descriptor and opened with O_NOFOLLOW; a link on the
// way is read and followed here, hop by hop, so the folder finally held is the one the links
// really lead to, and a link swapped in later cannot redirect an operation made relative to it.
// Names are found as Windows finds them (the exact name first, else the first entry in name order
// that matches ignoring case), through a listing of the folder with case-folded code page 1252
// names that is read once, kept true by the changes reported to it, and dropped by Forget(); the
// state (stat) of each entry looked up is kept the same way.
// A name that the code page 1252 reading finds nowhere but whose bytes are UTF-8 is looked up as
// it stands, so host paths handed over unconverted (a player's folder named in UTF-8) still work;
// bytes that are no UTF-8 never take this way, so a name 1252 cannot hold is not found by chance.

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/posix/folder_listing.hpp"
#include "platform/seams/file_system.hpp"

namespace zelvane::posix {

// What the host was asked, for tests that check the cost of a run by counts.
struct HostCounters {
    std::uint64_t directoryReads = 0;  // folder listings read from the disk
    std::uint64_t stats = 0;           // stat-like calls made to find entries and read their state
    std::uint64_t folderOpens = 0;     // folders opened on the way down a path
    std::uint64_t rootChecks = 0;      // steps up from a folder while proving it lies inside a root
    std::uint64_t hostPathReads = 0;   // host paths of folders read from /proc
    std::uint64_t unlinks = 0;         // files deleted
    std::uint64_t folderStamps = 0;    // folders' states read for their stamps
};

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor();
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports a failing close (a late write error).
    int Close();

private:
    int fd_;
};

// A folder held open (O_PATH), with its identity on the host.
struct HostFolder {
    std::shared_ptr<const Descriptor> fd;
    dev_t dev = 0;
    ino_t ino = 0;

    int get() const { return fd ? fd->get() : -1; }
    bool valid() const { return fd && fd->valid(); }
    bool SameAs(const HostFolder& other) const { return dev == other.dev && ino == other.ino; }
};

struct HostEntry {
    std::string host;  // the name on the host, as stored
    std::string name;  // the same in code page 1252, as Windows programs see it
    unsigned char type = 0;  // DT_* of the listing (DT_UNKNOWN when not known)
};

// Where a Windows path leads: the folder that holds its last component, held open, and that
// component in it.
struct Placement {
    // Ok: the entry exists; FileNotFound: only the last component is missing (entry.host is the
    // name it would get); any other status: the path is unusable and nothing else is set.
    FsStatus status = FsStatus::Ok;
    HostFolder folder;      // holds the entry; for a drive's root, the root itself
    HostEntry entry;
    bool exists = false;    // the entry exists (also when status is BadName for "file\")
    std::string given;      // the last component as the Windows path spells it
    std::string drive;      // "C:", or "" for a path written the POSIX way
    bool isRoot = false;
    bool pattern = false;   // the last component is a wildcard pattern (entry is not looked up)
    std::optional<struct stat> lstat;  // the entry's own state, when the lookup already read it
};

class HostFolders {
public:
    explicit HostFolders(std::string winePrefix);

    // prefix is the Wine prefix folder; allowWildcards lets the last component be a pattern.
    // lookUpLast false: the last component is not looked up (entry.host is its name as spelled,
    // exists is false), for a caller that asks the host about it itself.
    Placement Place(std::string_view windowsPath, bool allowWildcards = false, bool lookUpLast = true);
    // The folder a Windows path names, every component walked and every link followed.
    FsStatus OpenFolder(std::string_view windowsPath, HostFolder& out);

    // When the entry of a placement is a link, follows it (and the links it leads to) to the
    // folder and name it finally names, the folders on the way walked as above. Afterwards the
    // placement's entry is no link; `exists` tells whether it is there. BadName for links in a
    // circle, AccessDenied for a link whose target ends in a folder ("..", "/").
    FsStatus FollowLastLink(Placement& placement);

    // Whether the folder lies inside (or is) one of the roots: walks ".." up from it. A folder
    // found inside is remembered like the listings (until a folder moves, control goes to the
    // player or the roots change), so each folder is walked up from once per run.
    bool Inside(const HostFolder& folder, const std::vector<HostFolder>& roots);
    void RootsChanged() { inside_.clear(); }

    // The host path of a folder held open, as the host names it (/proc/self/fd), kept like the
    // listings; nullopt when it has none (deleted).
    std::optional<std::string> HostPathOf(const HostFolder& folder);

    // The entries of a folder in name order, read once; nullptr when it cannot be read.
    const FolderListing* Listing(const HostFolder& folder);

    // The run's own changes, to keep the listings and the states read true.
    void Added(const HostFolder& folder, HostEntry entry);
    void Removed(const HostFolder& folder, const std::string& host);
    void Changed(const HostFolder& folder, const std::string& host);  // new bytes or attributes
    void FolderMoved();  // a folder got another path: the folders held by path are let go
    void Forget();       // listings and held folders are dropped; the drives stay

    // Counted stat-like calls. The state of an entry itself (not following a link) is read once
    // and kept like the listings; following a link asks the host each time.
    int StatAt(const HostFolder& folder, const std::string& name, struct stat& st, bool follow);
    int StatFolder(const HostFolder& folder, struct stat& st);

    HostCounters counters;

private:
    using FolderId = std::pair<dev_t, ino_t>;

    std::optional<HostEntry> Lookup(const HostFolder& folder, const std::string& given, std::optional<struct stat>& lstat);
    std::optional<HostEntry> FromListing(const HostFolder& folder, const std::string& given);
    FsStatus Descend(HostFolder& folder, const std::string& given, int& hops);
    FsStatus OpenChild(HostFolder& folder, const std::string& host, int& hops);
    FsStatus WalkHostPath(HostFolder& folder, const std::string& target, int& hops);
    FsStatus DriveFolder(const std::string& drive, HostFolder& out);
    FsStatus Hold(int fd, HostFolder& out);
    const HostFolder& HostRoot();

    std::string prefix_;
    std::size_t maxHeldFolders_;
    HostFolder hostRoot_;
    std::map<std::string, HostFolder> drives_;
    // Hashes strings and views alike, so that a prefix of a path is looked up without a copy.
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
    };
    std::unordered_map<std::string, HostFolder, KeyHash, std::equal_to<>> folders_;  // by the Windows path that led to them
    std::map<FolderId, FolderListing> listings_;
    std::map<FolderId, std::unordered_map<std::string, struct stat>> states_;  // by host name
    std::set<FolderId> inside_;                    // folders proved to lie inside the roots
    std::map<FolderId, std::string> hostPaths_;    // host paths of folders held open
};

}  // namespace zelvane::posix
