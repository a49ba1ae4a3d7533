#include "platform/posix/posix_file_system.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <vector>

#include "platform/memory/windows_path.hpp"
#include "platform/pattern_match.hpp"
#include "platform/posix/host_errors.hpp"
#include "platform/posix/host_paths.hpp"

namespace zelvane {
namespace {

using posix::HostPath;
using posix::StatusFromErrno;

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports a failing close (a late write error).
    int Close() {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }

private:
    int fd_;
};

bool Stat(const std::string& host, struct stat& st) {
    if (::stat(host.c_str(), &st) == 0) return true;
    return ::lstat(host.c_str(), &st) == 0;  // a dangling link is still an entry
}

bool WriteBitClear(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

Attributes AttributesOf(const struct stat& st, std::string_view name) {
    Attributes a;
    a.directory = S_ISDIR(st.st_mode);
    a.readOnly = WriteBitClear(st);
    a.hidden = name.starts_with('.');
    return a;
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Whether an existing file may be replaced or removed, with the Windows rules.
FsStatus CheckReplaceable(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return FsStatus::AccessDenied;
    if (WriteBitClear(st)) return FsStatus::AccessDenied;
    return FsStatus::Ok;
}

FsStatus WriteBytes(const std::string& host, std::string_view bytes, mode_t mode = 0666) {
    Descriptor fd(::open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode));
    if (!fd.valid()) return StatusFromErrno(errno);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return StatusFromErrno(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (fd.Close() != 0) return StatusFromErrno(errno);
    return FsStatus::Ok;
}

FsStatus ReadBytes(const std::string& host, std::string& bytes) {
    Descriptor fd(::open(host.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) return StatusFromErrno(errno);
    std::string out;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return StatusFromErrno(errno);
        }
        if (n == 0) break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    bytes = std::move(out);
    return FsStatus::Ok;
}

// Renames without ever replacing an existing target.
int RenameNoReplace(const std::string& from, const std::string& to, bool directory) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return -1;
#endif
    if (!directory) {
        // A hard link fails on an existing target; the old name goes afterwards.
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            return 0;
        }
        if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP) return -1;
    }
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from.c_str(), to.c_str());
}

class HostListing final : public Listing {
public:
    explicit HostListing(std::vector<DirEntry> entries) : entries_(std::move(entries)) {}
    std::optional<DirEntry> Next() override {
        if (next_ >= entries_.size()) return std::nullopt;
        return entries_[next_++];
    }

private:
    std::vector<DirEntry> entries_;
    std::size_t next_ = 0;
};

// Links followed one after another before a path counts as going round in a circle (as the host's).
constexpr int kMaxLinkHops = 40;

std::vector<std::string> HostComponents(std::string_view host) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= host.size()) {
        const std::size_t end = std::min(host.find('/', start), host.size());
        if (end > start) parts.emplace_back(host.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

void AppendComponent(std::string& resolved, const std::string& part) {
    if (part == ".") return;
    if (part == "..") {
        resolved.erase(std::min(resolved.rfind('/'), resolved.size()));
        return;
    }
    resolved += '/';
    resolved += part;
}

std::optional<std::string> ReadLink(const std::string& host) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink(host.c_str(), buffer.data(), buffer.size());
        if (n < 0) return std::nullopt;
        if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

// An absolute host path with every link on the way followed, component by component; from the
// first component that does not exist on, the rest is appended as it stands. A dangling link
// counts as its target. nullopt when the links go round in a circle or cannot be read.
std::optional<std::string> FollowHostLinks(std::string_view host) {
    std::vector<std::string> components = HostComponents(host);
    std::deque<std::string> pending(components.begin(), components.end());
    std::string resolved;  // "" is the root
    int hops = 0;
    while (!pending.empty()) {
        const std::string part = std::move(pending.front());
        pending.pop_front();
        if (part == "." || part == "..") {
            AppendComponent(resolved, part);
            continue;
        }
        const std::string candidate = resolved + "/" + part;
        struct stat st {};
        if (::lstat(candidate.c_str(), &st) != 0) {
            resolved = candidate;
            for (const std::string& rest : pending) AppendComponent(resolved, rest);
            break;
        }
        if (!S_ISLNK(st.st_mode)) {
            resolved = candidate;
            continue;
        }
        if (++hops > kMaxLinkHops) return std::nullopt;
        const std::optional<std::string> target = ReadLink(candidate);
        if (!target) return std::nullopt;
        if (target->starts_with('/')) resolved.clear();
        const std::vector<std::string> targetParts = HostComponents(*target);
        pending.insert(pending.begin(), targetParts.begin(), targetParts.end());
    }
    return resolved.empty() ? std::string("/") : resolved;
}

bool IsHostPrefix(std::string_view root, std::string_view path) {
    if (root == "/") return true;
    return path.starts_with(root) && (path.size() == root.size() || path[root.size()] == '/');
}

}  // namespace

PosixFileSystem::PosixFileSystem() : prefix_(posix::DefaultWinePrefix()) {}
PosixFileSystem::PosixFileSystem(std::string winePrefix) : prefix_(std::move(winePrefix)) {}

std::string PosixFileSystem::HostPathOf(std::string_view path) const {
    const HostPath p = posix::ResolveHostPath(path, prefix_);
    return p.status == FsStatus::Ok || p.status == FsStatus::FileNotFound ? p.host : "";
}

FsStatus PosixFileSystem::GetAttributes(std::string_view path, Attributes& out) const {
    const HostPath p = posix::ResolveHostPath(path, prefix_);
    if (p.status != FsStatus::Ok) return p.status;
    struct stat st {};
    if (!Stat(p.host, st)) return StatusFromErrno(errno);
    out = AttributesOf(st, p.name);
    return FsStatus::Ok;
}

FsStatus PosixFileSystem::SetAttributes(std::string_view path, const Attributes& attributes) {
    const HostPath p = posix::ResolveHostPath(path, prefix_);
    if (p.status != FsStatus::Ok) return p.status;
    struct stat st {};
    if (::stat(p.host.c_str(), &st) != 0) return StatusFromErrno(errno);
    // Only the read-only flag has a POSIX form; hidden, system and archive cannot be set here.
    mode_t mode = st.st_mode & 07777;
    mode = attributes.readOnly ? (mode & ~mode_t{0222}) : (mode | (mode_t{0222} & ~CurrentUmask()) | S_IWUSR);
    if (mode == (st.st_mode & 07777)) return FsStatus::Ok;
    if (::chmod(p.host.c_str(), mode) != 0) return StatusFromErrno(errno);
    return FsStatus::Ok;
}

FsStatus PosixFileSystem::OpenForRead(std::string_view path) const {
    const HostPath p = posix::ResolveHostPath(path, prefix_);
    if (p.status != FsStatus::Ok) return p.status;
    struct stat st {};
    if (::stat(p.host.c_str(), &st) != 0) return StatusFromErrno(errno);
    if (!S_ISREG(st.st_mode)) return FsStatus::AccessDenied;
    Descriptor fd(::open(p.host.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) return StatusFromErrno(errno);
    return FsStatus::Ok;
}

FsStatus PosixFileSystem::ReadAll(std::string_view path, std::string& bytes) const {
    const HostPath p = posix::ResolveHostPath(path, prefix_);
    if (p.status != FsStatus::Ok) return p.status;
    struct stat st {};
    if (::stat(p.host.c_str(), &st) != 0) return StatusFromErrno(errno);
    if (!S_ISREG(st.st_mode)) return FsStatus::AccessDenied;
    return ReadBytes(p.host, bytes);
}

FsStatus PosixFileSystem::WriteAll(std::string_view path, std::string_view bytes) {
    const HostPath p = posix::ResolveHostPath(path, prefix_);
    if (p.status != FsStatus::Ok && p.status != FsStatus::FileNotFound) return p.status;
    if (p.isRoot) return FsStatus::AccessDenied;
    struct stat st {};
    if (p.status == FsStatus::Ok && Stat(p.host, st)) {
        if (FsStatus s = CheckReplaceable(st); s != FsStatus::Ok) return s;
    }
    return WriteBytes(p.host, bytes);
}

FsStatus PosixFileSystem::Delete(std::string_view path) {
    const HostPath p = posix::ResolveHostPath(path, prefix_);
    if (p.status != FsStatus::Ok) return p.status;
    if (p.isRoot) return FsStatus::AccessDenied;
    struct stat st {};
    if (!Stat(p.host, st)) return StatusFromErrno(errno);
    if (FsStatus s = CheckReplaceable(st); s != FsStatus::Ok) return s;
    if (::unlink(p.host.c_str()) != 0) return StatusFromErrno(errno);
    return FsStatus::Ok;
}

FsStatus PosixFileSystem::Rename(std::string_view from, std::string_view to) {
    const HostPath source = posix::ResolveHostPath(from, prefix_);
    if (source.status != FsStatus::Ok) return source.status;
    const HostPath target = posix::ResolveHostPath(to, prefix_);
    if (target.status != FsStatus::Ok && target.status != FsStatus::FileNotFound &&
        target.status != FsStatus::PathNotFound) {
        return target.status;
    }
    if (!source.drive.empty() && !target.drive.empty() && !NamesEqual(source.drive, target.drive)) {
        return FsStatus::NotSameDevice;
    }
    if (target.status == FsStatus::PathNotFound) return FsStatus::PathNotFound;
    if (source.isRoot || target.isRoot) return FsStatus::AccessDenied;

    struct stat sourceStat {};
    if (!Stat(source.host, sourceStat)) return StatusFromErrno(errno);
    std::string destination = target.host;
    if (target.status == FsStatus::Ok) {
        struct stat targetStat {};
        const bool sameEntry = Stat(target.host, targetStat) && targetStat.st_dev == sourceStat.st_dev &&
                               targetStat.st_ino == sourceStat.st_ino && target.host == source.host;
        if (!sameEntry) return FsStatus::AlreadyExists;
        // Only the letter case changes: the new name goes beside the old one.
        const std::string& wanted = target.given;
        if (wanted == source.name) return FsStatus::Ok;
        destination = source.host.substr(0, source.host.size() - source.name.size()) + wanted;
    }
    if (RenameNoReplace(source.host, destination, S_ISDIR(sourceStat.st_mode)) != 0) return StatusFromErrno(errno);
    return FsStatus::Ok;
}

FsStatus PosixFileSystem::Copy(std::string_view from, std::string_view to) {
    const HostPath source = posix::ResolveHostPath(from, prefix_);
    if (source.status != FsStatus::Ok) return source.status;
    struct stat sourceStat {};
    if (::stat(source.host.c_str(), &sourceStat) != 0) return StatusFromErrno(errno);
    if (!S_ISREG(sourceStat.st_mode)) return FsStatus::AccessDenied;

    const HostPath target = posix::ResolveHostPath(to, prefix_);
    if (target.status != FsStatus::Ok && target.status != FsStatus::FileNotFound) return target.status;
    if (target.isRoot) return FsStatus::AccessDenied;
    struct stat targetStat {};
    if (target.status == FsStatus::Ok && Stat(target.host, targetStat)) {
        if (targetStat.st_dev == sourceStat.st_dev && targetStat.st_ino == sourceStat.st_ino) {
            return FsStatus::SharingViolation;  // a file cannot be copied onto itself
        }
        if (FsStatus s = CheckReplaceable(targetStat); s != FsStatus::Ok) return s;
    }
    std::string bytes;
    if (FsStatus s = ReadBytes(source.host, bytes); s != FsStatus::Ok) return s;
    if (FsStatus s = WriteBytes(target.host, bytes); s != FsStatus::Ok) return s;
    // The copy takes the source's attributes, as the system's copy does.
    if (::chmod(target.host.c_str(), sourceStat.st_mode & 07777) != 0) return StatusFromErrno(errno);
    return FsStatus::Ok;
}

FsStatus PosixFileSystem::CreateFolder(std::string_view path) {
    const HostPath p = posix::ResolveHostPath(path, prefix_);
    if (p.status == FsStatus::Ok) return FsStatus::AlreadyExists;
    if (p.status == FsStatus::BadName && !p.host.empty()) return FsStatus::AlreadyExists;  // "file\"
    if (p.status != FsStatus::FileNotFound) return p.status;
    if (::mkdir(p.host.c_str(), 0777) != 0) return StatusFromErrno(errno);
    return FsStatus::Ok;
}

std::unique_ptr<Listing> PosixFileSystem::List(std::string_view pattern) const {
    const HostPath p = posix::ResolveHostPath(pattern, prefix_, true);
    if (p.isRoot) return nullptr;  // "C:\" names no entries
    std::string folder;
    std::string wanted;
    if (p.status == FsStatus::Ok && p.pattern) {
        folder = p.host;
        wanted = p.name;
    } else if (p.status == FsStatus::Ok || p.status == FsStatus::FileNotFound) {
        folder = p.host.substr(0, p.host.size() - p.name.size());
        wanted = p.name;
    } else {
        return nullptr;
    }
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return nullptr;
    std::vector<DirEntry> entries;
    const bool wild = p.pattern;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (!(wild ? WildcardMatch(wanted, name) : NamesEqual(wanted, name))) continue;
        const std::string host = folder.ends_with('/') ? folder + std::string(name) : folder + "/" + std::string(name);
        struct stat st {};
        if (!Stat(host, st)) continue;  // vanished meanwhile
        Attributes attributes = AttributesOf(st, name);
        struct stat own {};
        attributes.link = ::lstat(host.c_str(), &own) == 0 && S_ISLNK(own.st_mode);
        entries.push_back({std::string(name), attributes});
    }
    std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) { return NameLess(a.name, b.name); });
    return std::make_unique<HostListing>(std::move(entries));
}

std::string PosixFileSystem::ResolvedPath(std::string_view path) const {
    const std::string text = path.starts_with('/') ? "Z:" + std::string(path) : std::string(path);
    winpath::ParsedPath parsed;
    if (winpath::ParsePath(text, false, parsed) != FsStatus::Ok) return std::string(path);

    // The deepest part of the path that exists, found case-insensitively; the rest as given.
    std::size_t existing = parsed.parts.size();
    std::string host;
    for (;;) {
        const std::vector<std::string> head(parsed.parts.begin(), parsed.parts.begin() + static_cast<std::ptrdiff_t>(existing));
        const HostPath p = posix::ResolveHostPath(winpath::JoinPath(parsed.drive, head), prefix_);
        if (p.status == FsStatus::Ok || (p.status == FsStatus::FileNotFound && existing > 0)) {
            host = p.host;
            break;
        }
        if (existing == 0) return std::string(path);  // not even the drive is there
        --existing;
    }
    for (std::size_t i = existing; i < parsed.parts.size(); ++i) AppendComponent(host, parsed.parts[i]);

    const std::optional<std::string> resolved = FollowHostLinks(host);
    if (!resolved) return "";

    // Back to a Windows path: the drive of the prefix whose folder holds it, the deepest one first.
    std::string drive = "Z:";
    std::string root = "/";
    const std::string devices = prefix_ + "/dosdevices";
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(devices.c_str()), ::closedir);
    while (dir) {
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) break;
        const std::string_view name = entry->d_name;
        const char letter = name.empty() ? '\0' : static_cast<char>(name[0] | 0x20);
        if (name.size() != 2 || name[1] != ':' || letter < 'a' || letter >= 'z') continue;
        const std::optional<std::string> folder = FollowHostLinks(devices + "/" + std::string(name));
        if (!folder || *folder == "/" || !IsHostPrefix(*folder, *resolved)) continue;
        if (root == "/" || folder->size() > root.size()) {
            root = *folder;
            drive = {static_cast<char>(letter - 'a' + 'A'), ':'};
        }
    }
    std::string windows = drive;
    for (const std::string& part : HostComponents(std::string_view(*resolved).substr(root == "/" ? 0 : root.size()))) {
        windows += '\\';
        windows += part;
    }
    return windows.size() == 2 ? windows + '\\' : windows;
}

std::string PosixFileSystem::ShortPath(std::string_view path) const {
    const HostPath p = posix::ResolveHostPath(path, prefix_);
    return p.status == FsStatus::Ok ? std::string(path) : std::string();
}

}  // namespace zelvane
