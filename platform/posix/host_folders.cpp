#include "platform/posix/host_folders.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/memory/windows_path.hpp"
#include "platform/pattern_match.hpp"
#include "platform/posix/host_errors.hpp"
#include "platform/posix/host_names.hpp"
#include "util/text/case_folding.hpp"
#include "util/text/code_page_1252.hpp"
#include "util/text/utf8.hpp"

namespace zelvane::posix {
namespace {

// Links followed one after another before a path counts as going round in a circle (as the host's).
constexpr int kMaxLinkHops = 40;
// Steps up from a folder before it counts as lying nowhere near a root.
constexpr int kMaxDepth = 4096;
// Folders held open by path at most: a quarter of the descriptors the process may have open, at
// least 256 (the soft limit is raised to the hard one first, as far as 65,536). Beyond, they are
// let go and opened again when needed.
std::size_t HeldFoldersAllowed() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 256;
    const rlim_t wanted = std::min<rlim_t>(limit.rlim_max, 65536);
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < wanted) {
        struct rlimit raised = limit;
        raised.rlim_cur = wanted;
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
    }
    const rlim_t quarter = limit.rlim_cur == RLIM_INFINITY ? 16384 : limit.rlim_cur / 4;
    return std::clamp<std::size_t>(static_cast<std::size_t>(quarter), 256, 16384);
}

unsigned char TypeOf(mode_t mode) {
    if (S_ISDIR(mode)) return DT_DIR;
    if (S_ISLNK(mode)) return DT_LNK;
    if (S_ISREG(mode)) return DT_REG;
    return DT_UNKNOWN;
}

std::optional<std::string> ReadLinkAt(int folder, const std::string& name) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlinkat(folder, name.c_str(), buffer.data(), buffer.size());
        if (n < 0) return std::nullopt;
        if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

Descriptor::~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
}

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

int Descriptor::Close() {
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc;
}

HostFolders::HostFolders(std::string winePrefix)
    : prefix_(std::move(winePrefix)), maxHeldFolders_(HeldFoldersAllowed()) {}

int HostFolders::StatAt(const HostFolder& folder, const std::string& name, struct stat& st, bool follow) {
    auto& states = states_[FolderId{folder.dev, folder.ino}];
    if (const auto it = states.find(name); it != states.end() && !(follow && S_ISLNK(it->second.st_mode))) {
        st = it->second;
        return 0;
    }
    ++counters.stats;
    if (::fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return -1;
    states[name] = st;
    if (!follow || !S_ISLNK(st.st_mode)) return 0;
    ++counters.stats;
    return ::fstatat(folder.get(), name.c_str(), &st, 0);
}

int HostFolders::StatFolder(const HostFolder& folder, struct stat& st) {
    ++counters.stats;
    return ::fstat(folder.get(), &st);
}

FsStatus HostFolders::Hold(int fd, HostFolder& out) {
    auto held = std::make_shared<const Descriptor>(fd);
    struct stat st {};
    ++counters.stats;
    if (::fstat(fd, &st) != 0) return StatusFromErrno(errno);
    out = HostFolder{std::move(held), st.st_dev, st.st_ino};
    return FsStatus::Ok;
}

const HostFolder& HostFolders::HostRoot() {
    if (!hostRoot_.valid()) {
        const int fd = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) Hold(fd, hostRoot_);
    }
    return hostRoot_;
}

FsStatus HostFolders::DriveFolder(const std::string& drive, HostFolder& out) {
    if (drive == "Z:") {
        out = HostRoot();
        return out.valid() ? FsStatus::Ok : FsStatus::PathNotFound;
    }
    if (auto it = drives_.find(drive); it != drives_.end()) {
        out = it->second;
        return FsStatus::Ok;
    }
    // The prefix is the player's own: its drive links are followed by the host, once per run.
    const std::string path = prefix_ + "/dosdevices/" + static_cast<char>(drive[0] | 0x20) + ":";
    const int fd = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return FsStatus::PathNotFound;
    if (Hold(fd, out) != FsStatus::Ok) return FsStatus::PathNotFound;
    drives_[drive] = out;
    return FsStatus::Ok;
}

const FolderListing* HostFolders::Listing(const HostFolder& folder) {
    const FolderId id{folder.dev, folder.ino};
    if (auto it = listings_.find(id); it != listings_.end()) return &it->second;
    const Descriptor fd(::openat(folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) return nullptr;
    ++counters.directoryReads;
    FolderListing entries;
    // The folder's entries straight from the kernel: a DIR stream would stat the descriptor and
    // set its flags again, three calls per folder for nothing.
    std::vector<char> buffer(32768);
    for (;;) {
        const ssize_t n = ::getdents64(fd.get(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return nullptr;
        if (n == 0) break;
        for (ssize_t at = 0; at < n;) {
            const auto* d = reinterpret_cast<const struct dirent64*>(buffer.data() + at);
            at += d->d_reclen;
            const std::string_view host = d->d_name;
            if (host == "." || host == "..") continue;
            entries.Append(host, d->d_type);
        }
    }
    entries.Sort();
    return &listings_.emplace(id, std::move(entries)).first->second;
}

std::optional<HostEntry> HostFolders::FromListing(const HostFolder& folder, const std::string& given) {
    const FolderListing* entries = Listing(folder);
    if (entries == nullptr) return std::nullopt;
    const auto [first, last] = entries->Range(LowerCase(given));
    const FolderListing::Record* firstLive = nullptr;
    for (const auto* r = first; r != last; ++r) {
        if (r->removed) continue;
        if (entries->Name(*r) == given) return entries->Entry(*r);
        if (firstLive == nullptr) firstLive = r;
    }
    if (firstLive != nullptr) return entries->Entry(*firstLive);
    // A host name handed over as it stands (a folder of the player's, in UTF-8) that the 1252
    // reading finds nowhere: the entry of exactly those bytes.
    if (!IsNonAsciiUtf8(given)) return std::nullopt;
    const auto [rawFirst, rawLast] = entries->Range(LowerCase(Cp1252NameOf(given)));
    for (const auto* r = rawFirst; r != rawLast; ++r) {
        if (!r->removed && entries->Host(*r) == given) return entries->Entry(*r);
    }
    return std::nullopt;
}

std::optional<HostEntry> HostFolders::Lookup(const HostFolder& folder, const std::string& given,
                                             std::optional<struct stat>& lstat) {
    if (listings_.contains(FolderId{folder.dev, folder.ino})) {
        std::optional<HostEntry> entry = FromListing(folder, given);
        if (entry) {
            const auto& states = states_[FolderId{folder.dev, folder.ino}];
            if (const auto it = states.find(entry->host); it != states.end()) lstat = it->second;
        }
        return entry;
    }
    // Most names are spelled as stored: one stat answers; only a miss reads the folder.
    const std::string host = Cp1252ToUtf8(given);
    struct stat st {};
    if (StatAt(folder, host, st, false) == 0) {
        lstat = st;
        return HostEntry{host, given, TypeOf(st.st_mode)};
    }
    return FromListing(folder, given);
}

FsStatus HostFolders::OpenChild(HostFolder& folder, const std::string& host, int& hops) {
    ++counters.folderOpens;
    const int fd = ::openat(folder.get(), host.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) return Hold(fd, folder);
    const int error = errno;
    if (error == ENOENT) return FsStatus::FileNotFound;
    if (error != ENOTDIR && error != ELOOP) return StatusFromErrno(error);
    // A link (or a file): links are followed here, one hop at a time.
    const std::optional<std::string> target = ReadLinkAt(folder.get(), host);
    if (!target) return FsStatus::PathNotFound;
    if (++hops > kMaxLinkHops) return FsStatus::BadName;
    HostFolder start = target->starts_with('/') ? HostRoot() : folder;
    if (const FsStatus s = WalkHostPath(start, *target, hops); s != FsStatus::Ok) return s;
    folder = std::move(start);
    return FsStatus::Ok;
}

FsStatus HostFolders::WalkHostPath(HostFolder& folder, const std::string& target, int& hops) {
    std::size_t start = 0;
    while (start < target.size()) {
        const std::size_t end = std::min(target.find('/', start), target.size());
        const std::string part = target.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            ++counters.folderOpens;
            const int fd = ::openat(folder.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
            if (fd < 0) return FsStatus::PathNotFound;
            if (Hold(fd, folder) != FsStatus::Ok) return FsStatus::PathNotFound;
            continue;
        }
        const FsStatus s = OpenChild(folder, part, hops);
        if (s == FsStatus::FileNotFound) return FsStatus::PathNotFound;
        if (s != FsStatus::Ok) return s;
    }
    return FsStatus::Ok;
}

FsStatus HostFolders::Descend(HostFolder& folder, const std::string& given, int& hops) {
    if (listings_.contains(FolderId{folder.dev, folder.ino})) {
        const std::optional<HostEntry> entry = FromListing(folder, given);
        if (!entry) return FsStatus::PathNotFound;
        return OpenChild(folder, entry->host, hops);
    }
    const std::string host = Cp1252ToUtf8(given);
    const FsStatus s = OpenChild(folder, host, hops);
    if (s != FsStatus::FileNotFound) return s;
    const std::optional<HostEntry> entry = FromListing(folder, given);
    if (!entry || entry->host == host) return FsStatus::PathNotFound;
    return OpenChild(folder, entry->host, hops);
}

Placement HostFolders::Place(std::string_view windowsPath, bool allowWildcards, bool lookUpLast) {
    Placement out;
    // A plain POSIX path is the same as one on drive Z:.
    const bool posixPath = windowsPath.starts_with('/');
    const std::string text = posixPath ? "Z:" + std::string(windowsPath) : std::string(windowsPath);
    winpath::ParsedPath parsed;
    out.status = winpath::ParsePath(text, allowWildcards, parsed);
    if (out.status != FsStatus::Ok) return out;
    out.drive = posixPath ? "" : parsed.drive;

    HostFolder folder;
    if (DriveFolder(parsed.drive, folder) != FsStatus::Ok) {
        out.status = FsStatus::PathNotFound;
        return out;
    }
    if (parsed.parts.empty()) {
        out.folder = std::move(folder);
        out.isRoot = true;
        out.exists = true;
        return out;
    }

    // The folders on the way, from the deepest one already held. Their keys are the prefixes of
    // one string, ending at ends[i].
    const std::size_t folders = parsed.parts.size() - 1;
    std::string key = parsed.drive;
    std::vector<std::size_t> ends(folders);
    for (std::size_t i = 0; i < folders; ++i) {
        key += '\\';
        key += parsed.parts[i];
        ends[i] = key.size();
    }
    const std::string_view keys = key;
    std::size_t next = 0;
    for (std::size_t i = folders; i > 0; --i) {
        if (auto it = folders_.find(keys.substr(0, ends[i - 1])); it != folders_.end()) {
            folder = it->second;
            next = i;
            break;
        }
    }
    int hops = 0;
    for (std::size_t i = next; i < folders; ++i) {
        if (Descend(folder, parsed.parts[i], hops) != FsStatus::Ok) {
            out.status = FsStatus::PathNotFound;
            return out;
        }
        if (folders_.size() >= maxHeldFolders_) folders_.clear();
        folders_.insert_or_assign(std::string(keys.substr(0, ends[i])), folder);
    }

    out.folder = std::move(folder);
    out.given = parsed.parts.back();
    if (allowWildcards && HasWildcards(out.given)) {
        out.pattern = true;
        return out;
    }
    if (!lookUpLast) {
        out.entry = HostEntry{Cp1252ToUtf8(out.given), out.given, DT_UNKNOWN};
        return out;
    }
    if (std::optional<HostEntry> entry = Lookup(out.folder, out.given, out.lstat)) {
        out.entry = std::move(*entry);
        out.exists = true;
        if (parsed.trailingSeparator) {
            struct stat st {};
            if (StatAt(out.folder, out.entry.host, st, true) != 0 || !S_ISDIR(st.st_mode)) out.status = FsStatus::BadName;
        }
    } else {
        out.entry = HostEntry{Cp1252ToUtf8(out.given), out.given, DT_UNKNOWN};
        out.status = FsStatus::FileNotFound;
    }
    return out;
}

FsStatus HostFolders::OpenFolder(std::string_view windowsPath, HostFolder& out) {
    Placement p = Place(windowsPath);
    if (p.status != FsStatus::Ok) return p.status == FsStatus::FileNotFound ? FsStatus::PathNotFound : p.status;
    HostFolder folder = p.folder;
    if (!p.isRoot) {
        int hops = 0;
        const FsStatus s = OpenChild(folder, p.entry.host, hops);
        if (s != FsStatus::Ok) return s == FsStatus::FileNotFound ? FsStatus::PathNotFound : s;
    }
    out = std::move(folder);
    return FsStatus::Ok;
}

FsStatus HostFolders::FollowLastLink(Placement& p) {
    int hops = 0;
    for (;;) {
        struct stat st {};
        if (p.lstat) {
            st = *p.lstat;
        } else if (!p.exists) {
            return FsStatus::Ok;  // the lookup found no such entry
        } else if (StatAt(p.folder, p.entry.host, st, false) != 0) {
            if (errno != ENOENT) return StatusFromErrno(errno);
            p.exists = false;
            return FsStatus::Ok;
        }
        p.lstat = st;
        p.exists = true;
        if (!S_ISLNK(st.st_mode)) return FsStatus::Ok;
        if (++hops > kMaxLinkHops) return FsStatus::BadName;
        const std::optional<std::string> target = ReadLinkAt(p.folder.get(), p.entry.host);
        if (!target) return FsStatus::IoError;
        const std::size_t slash = target->rfind('/');
        const std::string base = slash == std::string::npos ? *target : target->substr(slash + 1);
        if (base.empty() || base == "." || base == "..") return FsStatus::AccessDenied;
        HostFolder start = target->starts_with('/') ? HostRoot() : p.folder;
        if (slash != std::string::npos) {
            if (const FsStatus s = WalkHostPath(start, target->substr(0, slash), hops); s != FsStatus::Ok) return s;
        }
        p.folder = std::move(start);
        p.entry = HostEntry{base, Cp1252NameOf(base), DT_UNKNOWN};
        p.lstat.reset();
        p.exists = true;  // not known yet: asked on the next round
    }
}

bool HostFolders::Inside(const HostFolder& folder, const std::vector<HostFolder>& roots) {
    if (inside_.contains(FolderId{folder.dev, folder.ino})) return true;
    // The walk up ends at a root or at a folder already proved inside; every folder passed on the
    // way is then inside as well, so the folders below it need one step each.
    std::vector<FolderId> passed;
    HostFolder current = folder;
    for (int step = 0; step < kMaxDepth; ++step) {
        const FolderId id{current.dev, current.ino};
        const bool reached = inside_.contains(id) || std::any_of(roots.begin(), roots.end(), [&](const HostFolder& r) {
                                 return current.SameAs(r);
                             });
        if (reached) {
            inside_.insert(passed.begin(), passed.end());
            inside_.insert(id);
            return true;
        }
        passed.push_back(id);
        ++counters.rootChecks;
        const int fd = ::openat(current.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return false;
        auto held = std::make_shared<const Descriptor>(fd);
        struct stat st {};
        if (::fstat(fd, &st) != 0) return false;
        HostFolder parent{std::move(held), st.st_dev, st.st_ino};
        if (parent.SameAs(current)) return false;  // the top of the host's tree
        current = std::move(parent);
    }
    return false;
}

void HostFolders::Changed(const HostFolder& folder, const std::string& host) {
    if (const auto it = states_.find(FolderId{folder.dev, folder.ino}); it != states_.end()) it->second.erase(host);
}

void HostFolders::Added(const HostFolder& folder, HostEntry entry) {
    Changed(folder, entry.host);
    const auto it = listings_.find(FolderId{folder.dev, folder.ino});
    if (it == listings_.end()) return;
    it->second.Add(entry);
}

void HostFolders::Removed(const HostFolder& folder, const std::string& host) {
    Changed(folder, host);
    const auto it = listings_.find(FolderId{folder.dev, folder.ino});
    if (it == listings_.end()) return;
    it->second.Remove(host);
}

std::optional<std::string> HostFolders::HostPathOf(const HostFolder& folder) {
    const FolderId id{folder.dev, folder.ino};
    if (const auto it = hostPaths_.find(id); it != hostPaths_.end()) return it->second;
    ++counters.hostPathReads;
    const std::string self = "/proc/self/fd/" + std::to_string(folder.get());
    std::vector<char> buffer(4096);
    const ssize_t n = ::readlink(self.c_str(), buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size() || buffer[0] != '/') return std::nullopt;
    std::string path(buffer.data(), static_cast<std::size_t>(n));
    if (path.ends_with(" (deleted)")) return std::nullopt;
    return hostPaths_.emplace(id, std::move(path)).first->second;
}

void HostFolders::FolderMoved() {
    folders_.clear();
    inside_.clear();
    hostPaths_.clear();
}

void HostFolders::Forget() {
    listings_.clear();
    states_.clear();
    folders_.clear();
    inside_.clear();
    hostPaths_.clear();
}

}  // namespace zelvane::posix
