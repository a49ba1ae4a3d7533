#include "platform/posix/host_walk.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>

#include "platform/pattern_match.hpp"
#include "platform/posix/host_names.hpp"
#include "util/text/case_folding.hpp"
#include "util/text/code_page_1252.hpp"
#include "util/text/utf8.hpp"
#include "platform/posix/host_errors.hpp"

namespace zelvane::posix {
namespace {

// Links followed one after another before a path counts as going round in a circle (as the host's).
constexpr int kMaxLinkHops = 40;
// Steps up from a folder before it counts as lying nowhere near a root.
constexpr int kMaxDepth = 4096;

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

// Takes over a descriptor of a folder, with its identity.
FsStatus Hold(int fd, HostFolder& out) {
    auto held = std::make_shared<const Descriptor>(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return StatusFromErrno(errno);
    out = HostFolder{std::move(held), st.st_dev, st.st_ino};
    return FsStatus::Ok;
}

// The names of a host path (a link's target), to walk first: the first one last.
void PushHostNames(std::string_view path, std::vector<std::string>& into) {
    std::size_t end = path.size();
    while (end > 0) {
        const std::size_t slash = path.rfind('/', end - 1);
        const std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
        if (end > start) into.emplace_back(path.substr(start, end - start));
        if (slash == std::string_view::npos) break;
        end = slash;
    }
}

// Appends a name to a host path taken as text, "." and ".." as the host reads them.
void AppendName(std::string& path, std::string_view name) {
    if (name.empty() || name == ".") return;
    if (name == "..") {
        path.erase(std::min(path.rfind('/'), path.size()));
        return;
    }
    path += '/';
    path += name;
}

// A path written the POSIX way ("/home/me") is the same as one on drive Z:.
std::string OnDrive(std::string_view windowsPath) {
    return windowsPath.starts_with('/') ? "Z:" + std::string(windowsPath) : std::string(windowsPath);
}

std::optional<std::string> RealPath(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (!real) return std::nullopt;
    return std::string(real.get());
}

}  // namespace

HeldFolder HostWalk::Root() {
    if (!hostRoot_.valid()) {
        const int fd = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) Hold(fd, hostRoot_);
    }
    return HeldFolder{hostRoot_, ""};
}

FsStatus HostWalk::DriveFolder(const std::string& drive, HeldFolder& out) {
    if (drive == "Z:") {
        out = Root();
        return out.folder.valid() ? FsStatus::Ok : FsStatus::PathNotFound;
    }
    if (auto it = driveFolders_.find(drive); it != driveFolders_.end()) {
        out = it->second;
        return FsStatus::Ok;
    }
    // The prefix is the player's own: its drive links are followed by the host, once per walk.
    const std::string root = drives_.RootOf(drive);
    const int fd = ::open(root.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return FsStatus::PathNotFound;
    HeldFolder held;
    if (Hold(fd, held.folder) != FsStatus::Ok) return FsStatus::PathNotFound;
    const std::optional<std::string> path = RealPath(root);
    if (!path) return FsStatus::PathNotFound;
    held.path = *path == "/" ? "" : *path;
    out = driveFolders_[drive] = std::move(held);
    return FsStatus::Ok;
}

std::optional<HostEntry> HostWalk::FromListing(const HostFolder& folder, const std::string& given) {
    const FolderListing* entries = cache_.Listing(folder);
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

std::optional<HostEntry> HostWalk::Lookup(const HostFolder& folder, const std::string& given,
                                          std::optional<struct stat>& lstat) {
    if (cache_.Listed(folder)) {
        std::optional<HostEntry> entry = FromListing(folder, given);
        if (entry) {
            if (const struct stat* known = cache_.KnownState(folder, entry->host)) lstat = *known;
        }
        return entry;
    }
    // Most names are spelled as stored: one stat answers; only a miss reads the folder.
    const std::string host = Cp1252ToUtf8(given);
    struct stat st {};
    if (cache_.StatAt(folder, host, st, false) == 0) {
        lstat = st;
        return HostEntry{host, given, TypeOf(st.st_mode)};
    }
    return FromListing(folder, given);
}

// Enters the folder of the host name names.back(), or puts the names of the link it is in its
// place. FileNotFound when there is no such entry, PathNotFound when it is neither a folder nor a
// link; the name then stays pending.
FsStatus HostWalk::Enter(HeldFolder& at, PendingNames& names, int& hops) {
    const std::string& host = names.back().text;
    const int fd = ::openat(at.folder.get(), host.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        HostFolder child;
        if (const FsStatus s = Hold(fd, child); s != FsStatus::Ok) return s;
        at.folder = std::move(child);
        AppendName(at.path, host);
        names.pop_back();
        return FsStatus::Ok;
    }
    const int error = errno;
    if (error == ENOENT) return FsStatus::FileNotFound;
    if (error != ENOTDIR && error != ELOOP) return StatusFromErrno(error);
    const std::optional<std::string> target = ReadLinkAt(at.folder.get(), host);
    if (!target) return FsStatus::PathNotFound;  // a file
    if (++hops > kMaxLinkHops) return FsStatus::BadName;
    names.pop_back();
    std::vector<std::string> targetNames;
    PushHostNames(*target, targetNames);
    for (std::string& name : targetNames) names.push_back(Pending{std::move(name), false});
    if (target->starts_with('/')) at = Root();
    return FsStatus::Ok;
}

// Walks the name names.back(): a host name as it stands ("." and ".." as the host reads them), a
// Windows name found as Windows finds it. On failure the name stays pending, as a host name.
FsStatus HostWalk::Step(HeldFolder& at, PendingNames& names, int& hops) {
    Pending& next = names.back();
    if (!next.windows) {
        if (next.text.empty() || next.text == ".") {
            names.pop_back();
            return FsStatus::Ok;
        }
        if (next.text != "..") return Enter(at, names, hops);
        const int fd = ::openat(at.folder.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return FsStatus::PathNotFound;
        if (Hold(fd, at.folder) != FsStatus::Ok) return FsStatus::PathNotFound;
        AppendName(at.path, "..");
        names.pop_back();
        return FsStatus::Ok;
    }
    const std::string given = std::move(next.text);
    next = Pending{Cp1252ToUtf8(given), false};
    if (cache_.Listed(at.folder)) {
        const std::optional<HostEntry> entry = FromListing(at.folder, given);
        if (!entry) return FsStatus::FileNotFound;
        names.back().text = entry->host;
        return Enter(at, names, hops);
    }
    // Most names are spelled as stored: the folder is read only when that spelling is not there.
    const FsStatus s = Enter(at, names, hops);
    if (s != FsStatus::FileNotFound) return s;
    const std::optional<HostEntry> entry = FromListing(at.folder, given);
    if (!entry || entry->host == names.back().text) return FsStatus::FileNotFound;
    names.back().text = entry->host;
    return Enter(at, names, hops);
}

FsStatus HostWalk::WalkAll(HeldFolder& at, PendingNames& names, int& hops) {
    while (!names.empty()) {
        if (const FsStatus s = Step(at, names, hops); s != FsStatus::Ok) return s;
    }
    return FsStatus::Ok;
}

std::size_t HostWalk::Start(const WindowsPath& path, std::size_t count, FolderKeys& keys, const HeldFolder*& held) {
    keys.text = path.drive;
    keys.ends.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        keys.text += '\\';
        keys.text += path.names[i];
        keys.ends[i] = keys.text.size();
    }
    for (std::size_t i = count; i > 0; --i) {
        if ((held = cache_.Held(keys.Of(i - 1))) != nullptr) return i;
    }
    return 0;
}

FsStatus HostWalk::Descend(const WindowsPath& path, const FolderKeys& keys, std::size_t& i, std::size_t count,
                           HeldFolder& at, PendingNames& names, int& hops) {
    for (; i < count; ++i) {
        names.assign(1, Pending{path.names[i], true});
        if (const FsStatus s = WalkAll(at, names, hops); s != FsStatus::Ok) return s;
        cache_.Hold(std::string(keys.Of(i)), at);
    }
    return FsStatus::Ok;
}

Placement HostWalk::Place(std::string_view windowsPath, bool allowWildcards, bool lookUpLast) {
    Placement out;
    WindowsPath parsed;
    out.status = ReadDrivePath(OnDrive(windowsPath), allowWildcards, parsed);
    if (out.status != FsStatus::Ok) return out;
    out.drive = windowsPath.starts_with('/') ? "" : parsed.drive;

    HeldFolder at;
    if (DriveFolder(parsed.drive, at) != FsStatus::Ok) {
        out.status = FsStatus::PathNotFound;
        return out;
    }
    if (parsed.names.empty()) {
        out.folder = std::move(at.folder);
        out.isRoot = true;
        out.exists = true;
        return out;
    }
    const std::size_t folders = parsed.names.size() - 1;
    FolderKeys keys;
    const HeldFolder* held = nullptr;
    std::size_t next = Start(parsed, folders, keys, held);
    if (next == folders && held != nullptr) {
        at.folder = held->folder;  // the usual case: no walk, so no host path is needed
    } else {
        if (held != nullptr) at = *held;
        PendingNames names;
        int hops = 0;
        if (Descend(parsed, keys, next, folders, at, names, hops) != FsStatus::Ok) {
            out.status = FsStatus::PathNotFound;
            return out;
        }
    }

    out.folder = std::move(at.folder);
    out.given = std::move(parsed.names.back());
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
            if (cache_.StatAt(out.folder, out.entry.host, st, true) != 0 || !S_ISDIR(st.st_mode)) {
                out.status = FsStatus::BadName;
            }
        }
    } else {
        out.entry = HostEntry{Cp1252ToUtf8(out.given), out.given, DT_UNKNOWN};
        out.status = FsStatus::FileNotFound;
    }
    return out;
}

FsStatus HostWalk::OpenFolder(std::string_view windowsPath, HostFolder& out) {
    Placement p = Place(windowsPath);
    if (p.status != FsStatus::Ok) return p.status == FsStatus::FileNotFound ? FsStatus::PathNotFound : p.status;
    HeldFolder at{p.folder, ""};
    if (!p.isRoot) {
        int hops = 0;
        PendingNames names{Pending{p.entry.host, false}};
        const FsStatus s = WalkAll(at, names, hops);
        if (s != FsStatus::Ok) return s == FsStatus::FileNotFound ? FsStatus::PathNotFound : s;
    }
    out = std::move(at.folder);
    return FsStatus::Ok;
}

FsStatus HostWalk::FollowLastLink(Placement& p) {
    int hops = 0;
    for (;;) {
        struct stat st {};
        if (p.lstat) {
            st = *p.lstat;
        } else if (!p.exists) {
            return FsStatus::Ok;  // the lookup found no such entry
        } else if (cache_.StatAt(p.folder, p.entry.host, st, false) != 0) {
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
        HeldFolder at = target->starts_with('/') ? Root() : HeldFolder{p.folder, ""};
        if (slash != std::string::npos) {
            std::vector<std::string> folderNames;
            PushHostNames(std::string_view(*target).substr(0, slash), folderNames);
            PendingNames names;
            for (std::string& name : folderNames) names.push_back(Pending{std::move(name), false});
            const FsStatus s = WalkAll(at, names, hops);
            if (s != FsStatus::Ok) return s == FsStatus::FileNotFound ? FsStatus::PathNotFound : s;
        }
        p.folder = std::move(at.folder);
        p.entry = HostEntry{base, Cp1252NameOf(base), DT_UNKNOWN};
        p.lstat.reset();
        p.exists = true;  // not known yet: asked on the next round
    }
}

Resolution HostWalk::Resolve(std::string_view windowsPath) {
    WindowsPath parsed;
    if (ReadDrivePath(OnDrive(windowsPath), false, parsed) != FsStatus::Ok) return {Resolution::Kind::Unreadable, {}};
    HeldFolder at;
    if (DriveFolder(parsed.drive, at) != FsStatus::Ok) return {Resolution::Kind::NoDrive, {}};
    const auto reached = [](const HeldFolder& folder) {
        return Resolution{Resolution::Kind::Host, folder.path.empty() ? std::string("/") : folder.path};
    };
    if (parsed.names.empty()) return reached(at);

    const std::size_t folders = parsed.names.size() - 1;
    FolderKeys keys;
    const HeldFolder* held = nullptr;
    std::size_t i = Start(parsed, folders, keys, held);
    if (held != nullptr) at = *held;
    PendingNames names;
    int hops = 0;
    FsStatus s = Descend(parsed, keys, i, folders, at, names, hops);
    if (s == FsStatus::Ok) {
        // The last name: an entry that is no link ends the path as it stands, a link is followed.
        std::optional<struct stat> lstat;
        const std::optional<HostEntry> entry = Lookup(at.folder, parsed.names.back(), lstat);
        if (!entry) return {Resolution::Kind::Host, at.path + "/" + Cp1252ToUtf8(parsed.names.back())};
        const bool mayBeLink = lstat ? S_ISLNK(lstat->st_mode) : entry->type == DT_LNK || entry->type == DT_UNKNOWN;
        if (!mayBeLink) return {Resolution::Kind::Host, at.path + "/" + entry->host};
        names.assign(1, Pending{entry->host, false});
        s = WalkAll(at, names, hops);
        if (s == FsStatus::Ok) return reached(at);
    }
    if (s == FsStatus::BadName) return {Resolution::Kind::Circle, {}};
    // Stopped at names.back(): from there on, the names are appended as they stand.
    std::string host = at.path;
    for (auto it = names.rbegin(); it != names.rend(); ++it) AppendName(host, it->text);
    for (std::size_t j = i + 1; j < parsed.names.size(); ++j) AppendName(host, Cp1252ToUtf8(parsed.names[j]));
    return {Resolution::Kind::Host, host.empty() ? std::string("/") : host};
}

std::string HostWalk::Mapped(std::string_view windowsPath) {
    WindowsPath parsed;
    if (ReadDrivePath(OnDrive(windowsPath), false, parsed) != FsStatus::Ok) return {};
    HeldFolder at;
    if (DriveFolder(parsed.drive, at) != FsStatus::Ok) return {};
    std::string walked = drives_.RootOf(parsed.drive);
    const auto join = [&walked](const std::string& name) {
        if (!walked.ends_with('/')) walked += '/';
        walked += name;
    };
    if (parsed.names.empty()) return walked;
    int hops = 0;
    for (std::size_t i = 0; i + 1 < parsed.names.size(); ++i) {
        std::optional<struct stat> lstat;
        const std::optional<HostEntry> entry = Lookup(at.folder, parsed.names[i], lstat);
        if (!entry) return {};
        PendingNames names{Pending{entry->host, false}};
        if (WalkAll(at, names, hops) != FsStatus::Ok) return {};
        join(entry->host);
    }
    std::optional<struct stat> lstat;
    const std::optional<HostEntry> entry = Lookup(at.folder, parsed.names.back(), lstat);
    if (!entry) {
        join(Cp1252ToUtf8(parsed.names.back()));
        return walked;
    }
    if (parsed.trailingSeparator) {
        struct stat st {};
        if (cache_.StatAt(at.folder, entry->host, st, true) != 0 || !S_ISDIR(st.st_mode)) return {};
    }
    join(entry->host);
    return walked;
}

bool HostWalk::Inside(const HostFolder& folder, const std::vector<HostFolder>& roots) {
    if (cache_.KnownInside(folder)) return true;
    // The walk up ends at a root or at a folder already proved inside; every folder passed on the
    // way is then inside as well, so the folders below it need one step each.
    std::vector<HostFolder> passed;
    HostFolder current = folder;
    for (int step = 0; step < kMaxDepth; ++step) {
        const bool reached =
            cache_.KnownInside(current) ||
            std::any_of(roots.begin(), roots.end(), [&](const HostFolder& r) { return current.SameAs(r); });
        if (reached) {
            for (const HostFolder& f : passed) cache_.NoteInside(f);
            cache_.NoteInside(current);
            return true;
        }
        passed.push_back(HostFolder{nullptr, current.dev, current.ino});  // its identity, not its descriptor
        const int fd = ::openat(current.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return false;
        HostFolder parent;
        if (Hold(fd, parent) != FsStatus::Ok) return false;
        if (parent.SameAs(current)) return false;  // the top of the host's tree
        current = std::move(parent);
    }
    return false;
}

}  // namespace zelvane::posix
