#pragma once
// How a Windows path is walked on the host. It is read as Windows reads it
// (platform/paths/windows_path.hpp) and walked from its drive's folder (wine_drives.hpp) one name
// at a time, each relative to an open directory descriptor and opened with O_NOFOLLOW; a link on
// the way is read and followed here, hop by hop, its target's names walked in its place, so the
// folder finally held is the one the links really lead to, and a link swapped in later cannot
// redirect an operation made relative to it.
// Names are found as Windows finds them: the exact name first, else the first entry in name order
// that matches ignoring case, through the folder's listing (folder_cache.hpp). A name that the code
// page 1252 reading finds nowhere but whose bytes are UTF-8 is looked up as it stands, so host
// paths handed over unconverted (a player's folder named in UTF-8) still work; bytes that are no
// UTF-8 never take this way, so a name 1252 cannot hold is not found by chance.

#include <sys/stat.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/paths/windows_path.hpp"
#include "platform/posix/descriptor.hpp"
#include "platform/posix/folder_cache.hpp"
#include "platform/posix/wine_drives.hpp"
#include "platform/seams/file_system.hpp"

namespace zelvane::posix {

// Where a Windows path leads: the folder that holds its last name, held open, and that name in it.
struct Placement {
    // Ok: the entry exists; FileNotFound: only the last name is missing (entry.host is the name
    // it would get); any other status: the path is unusable and nothing else is set.
    FsStatus status = FsStatus::Ok;
    HostFolder folder;  // holds the entry; for a drive's root, the root itself
    HostEntry entry;
    bool exists = false;  // the entry exists (also when status is BadName for "file\")
    std::string given;    // the last name as the Windows path spells it
    std::string drive;    // "C:", or "" for a path written the POSIX way
    bool isRoot = false;
    bool pattern = false;              // the last name is a wildcard pattern (entry is not looked up)
    std::optional<struct stat> lstat;  // the entry's own state, when the lookup already read it
};

// Where a Windows path leads with every link on the way followed, its last name included.
struct Resolution {
    enum class Kind {
        Host,        // host: what exists of the path resolved, the rest appended as written
        Unreadable,  // the text reads as no path on a drive
        NoDrive,     // its drive has no folder
        Circle,      // links that go round in a circle
    };
    Kind kind = Kind::Host;
    std::string host;
};

class HostWalk {
public:
    HostWalk(const WineDrives& drives, FolderCache& cache) : drives_(drives), cache_(cache) {}

    // allowWildcards lets the last name be a pattern. lookUpLast false: the last name is not
    // looked up (entry.host is its name as spelled, exists is false), for a caller that asks the
    // host about it itself.
    Placement Place(std::string_view windowsPath, bool allowWildcards = false, bool lookUpLast = true);
    // The folder a Windows path names, every name walked and every link followed.
    FsStatus OpenFolder(std::string_view windowsPath, HostFolder& out);
    // When the entry of a placement is a link, follows it (and the links it leads to) to the
    // folder and name it finally names, the folders on the way walked as above. Afterwards the
    // placement's entry is no link; `exists` tells whether it is there. BadName for links in a
    // circle, AccessDenied for a link whose target ends in a folder ("..", "/").
    FsStatus FollowLastLink(Placement& placement);
    // Every link on the way followed, the last name's too; from the first name that does not
    // exist (or is no folder) on, the rest is appended as written. A dangling link counts as its
    // target.
    Resolution Resolve(std::string_view windowsPath);
    // The host path of a Windows path as walked: each name as stored on the host, the links on the
    // way left as they are; "" when a folder on the way does not exist.
    std::string Mapped(std::string_view windowsPath);

    // Whether the folder lies inside (or is) one of the roots: walks ".." up from it. A folder
    // found inside is remembered (folder_cache.hpp), so each folder is walked up from once.
    bool Inside(const HostFolder& folder, const std::vector<HostFolder>& roots);

private:
    // A name still to walk: as the Windows path spells it, or a host name from a link's target.
    struct Pending {
        std::string text;
        bool windows = false;
    };
    using PendingNames = std::vector<Pending>;  // the next one last

    // The prefixes of a path's names under which the folders they lead to are held.
    struct FolderKeys {
        std::string text;
        std::vector<std::size_t> ends;
        std::string_view Of(std::size_t i) const { return std::string_view(text).substr(0, ends[i]); }
    };

    FsStatus WalkAll(HeldFolder& at, PendingNames& names, int& hops);
    FsStatus Step(HeldFolder& at, PendingNames& names, int& hops);
    FsStatus Enter(HeldFolder& at, PendingNames& names, int& hops);
    // The folder to walk the first `count` names of a path from: the deepest one held for one of
    // their prefixes (nullptr when none is: the drive's). Returns how many names it stands for.
    std::size_t Start(const WindowsPath& path, std::size_t count, FolderKeys& keys, const HeldFolder*& held);
    // Walks the names [i, count) as folders, holding each; on failure i is the name that stopped
    // the walk and `names` what was still pending of it.
    FsStatus Descend(const WindowsPath& path, const FolderKeys& keys, std::size_t& i, std::size_t count, HeldFolder& at,
                     PendingNames& names, int& hops);
    std::optional<HostEntry> Lookup(const HostFolder& folder, const std::string& given,
                                    std::optional<struct stat>& lstat);
    std::optional<HostEntry> FromListing(const HostFolder& folder, const std::string& given);
    FsStatus DriveFolder(const std::string& drive, HeldFolder& out);
    HeldFolder Root();

    const WineDrives& drives_;
    FolderCache& cache_;
    HostFolder hostRoot_;
    std::map<std::string, HeldFolder> driveFolders_;  // kept for the life of the walk
};

}  // namespace zelvane::posix
