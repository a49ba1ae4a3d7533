#include "platform/posix/posix_file_system.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <vector>

#include "platform/pattern_match.hpp"
#include "platform/posix/host_errors.hpp"
#include "platform/posix/host_names.hpp"
#include "platform/posix/host_read.hpp"
#include "util/text/case_folding.hpp"
#include "util/text/code_page_1252.hpp"

namespace zelvane {
namespace {

using posix::Descriptor;
using posix::FolderListing;
using posix::HostEntry;
using posix::HostFolder;
using posix::Placement;
using posix::Resolution;
using posix::StatusFromErrno;

bool WriteBitClear(const struct stat& st) { return (st.st_mode & S_IWUSR) == 0; }

Attributes AttributesOf(const struct stat& st, std::string_view name) {
    Attributes a;
    a.directory = S_ISDIR(st.st_mode);
    a.readOnly = WriteBitClear(st);
    a.hidden = name.starts_with('.');
    return a;
}

// The process's file mode mask, read once: only this process could change it, and it does not.
mode_t CurrentUmask() {
    static const mode_t mask = [] {
        const mode_t current = ::umask(0);
        ::umask(current);
        return current;
    }();
    return mask;
}

// Whether an existing file may be replaced, with the Windows rules: a folder or a read-only file
// may not.
// Only a regular file is replaced: a folder, a pipe or a socket in the way is refused, never
// waited on or renamed over.
FsStatus CheckReplaceable(const struct stat& st) {
    if (!S_ISREG(st.st_mode)) return FsStatus::AccessDenied;
    if (WriteBitClear(st)) return FsStatus::AccessDenied;
    return FsStatus::Ok;
}

FsStatus WriteBytes(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return StatusFromErrno(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    return FsStatus::Ok;
}

// Reads a descriptor to its end, but no further than size bytes (a file that grows meanwhile is
// cut there, not followed), handing each piece on; stops at the first failing piece.
template <typename Sink>
FsStatus ReadPieces(int fd, std::uintmax_t size, Sink&& sink) {
    std::vector<char> buffer(65536);
    std::uintmax_t left = size;
    for (;;) {
        // One byte more than is left tells the end from a file that grew.
        const std::size_t wanted = static_cast<std::size_t>(std::min<std::uintmax_t>(buffer.size(), left + 1));
        const ssize_t n = ::read(fd, buffer.data(), wanted);
        if (n < 0) {
            if (errno == EINTR) continue;
            return StatusFromErrno(errno);
        }
        if (n == 0) return FsStatus::Ok;
        const std::size_t kept =
            static_cast<std::size_t>(std::min<std::uintmax_t>(static_cast<std::uintmax_t>(n), left));
        left -= kept;
        if (kept > 0) {
            if (const FsStatus s = sink(std::string_view(buffer.data(), kept)); s != FsStatus::Ok) return s;
        }
        if (kept < static_cast<std::size_t>(n)) return FsStatus::Ok;  // grew past its size: cut
    }
}

// Flushes a folder's names to the medium.
FsStatus SyncFolder(const HostFolder& folder) {
    Descriptor fd(::openat(folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid()) return StatusFromErrno(errno);
    if (::fsync(fd.get()) != 0) return StatusFromErrno(errno);
    return FsStatus::Ok;
}

// Renames without ever replacing an existing target.
int RenameNoReplace(const HostFolder& fromFolder, const std::string& from, const HostFolder& toFolder,
                    const std::string& to, bool directory) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(fromFolder.get(), from.c_str(), toFolder.get(), to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return -1;
#endif
    if (!directory) {
        // A hard link fails on an existing target; the old name goes afterwards.
        if (::linkat(fromFolder.get(), from.c_str(), toFolder.get(), to.c_str(), 0) == 0) {
            ::unlinkat(fromFolder.get(), from.c_str(), 0);
            return 0;
        }
        // ENOTSUP and EOPNOTSUPP are one number on Linux, two elsewhere.
        // NOLINTNEXTLINE(misc-redundant-expression)
        if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP) return -1;
    }
    struct stat st {};
    if (::fstatat(toFolder.get(), to.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::renameat(fromFolder.get(), from.c_str(), toFolder.get(), to.c_str());
}

unsigned char TypeOf(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return DT_DIR;
    if (S_ISLNK(st.st_mode)) return DT_LNK;
    return DT_REG;
}

class HostListing final : public Listing {
public:
    explicit HostListing(std::vector<DirEntry> entries) : entries_(std::move(entries)) {}
    std::optional<DirEntry> Next() override {
        if (next_ >= entries_.size()) return std::nullopt;
        return std::move(entries_[next_++]);
    }

private:
    std::vector<DirEntry> entries_;
    std::size_t next_ = 0;
};

}  // namespace

PosixFileSystem::PosixFileSystem() : PosixFileSystem(posix::DefaultWinePrefix()) {}
PosixFileSystem::PosixFileSystem(std::string winePrefix) : drives_(std::move(winePrefix)) {}

void PosixFileSystem::SetRoots(std::vector<std::string> roots) {
    roots_ = std::move(roots);
    cache_.RootsChanged();
    rootFolders_.assign(roots_.size(), HostFolder{});
    for (std::size_t i = 0; i < roots_.size(); ++i) walk_.OpenFolder(roots_[i], rootFolders_[i]);
}

FsStatus PosixFileSystem::Confine(const HostFolder& folder) const {
    if (roots_.empty()) return FsStatus::Ok;
    std::vector<HostFolder> open;
    for (std::size_t i = 0; i < roots_.size(); ++i) {
        // A root that was not there when it was set may have been made since.
        if (!rootFolders_[i].valid()) walk_.OpenFolder(roots_[i], rootFolders_[i]);
        if (rootFolders_[i].valid()) open.push_back(rootFolders_[i]);
    }
    return walk_.Inside(folder, open) ? FsStatus::Ok : FsStatus::OutsideRoots;
}

bool PosixFileSystem::SameVolume(std::string_view a, std::string_view b) const {
    const Placement first = walk_.Place(a);
    const Placement second = walk_.Place(b);
    const auto usable = [](const Placement& p) {
        return p.status == FsStatus::Ok || p.status == FsStatus::FileNotFound;
    };
    return usable(first) && usable(second) && first.folder.dev == second.folder.dev;
}

std::string PosixFileSystem::FolderStamp(std::string_view folder) const {
    // The clock first: a change after it shows in the state read below, or gets a later time.
    struct timespec now {};
    if (::clock_gettime(CLOCK_REALTIME_COARSE, &now) != 0) return {};
    // Never the state kept for the entry: a change inside the folder does not touch that. The name
    // as spelled is asked first, as a lookup would; another spelling is looked up.
    Placement p = walk_.Place(folder, false, false);
    if (p.status != FsStatus::Ok) return {};
    struct stat st {};
    int rc = p.isRoot ? ::fstat(p.folder.get(), &st) : ::fstatat(p.folder.get(), p.entry.host.c_str(), &st, 0);
    if (rc != 0 && errno == ENOENT && !p.isRoot) {
        p = walk_.Place(folder);
        if (p.status != FsStatus::Ok) return {};
        rc = ::fstatat(p.folder.get(), p.entry.host.c_str(), &st, 0);
    }
    if (rc != 0 || !S_ISDIR(st.st_mode)) return {};
    posix::TimeGrain grain;
    if (p.isRoot || st.st_dev == p.folder.dev) {
        grain = grains_.Of(st.st_dev, p.folder.get());
    } else {  // a mount point: its own file system
        const Descriptor fd(::openat(p.folder.get(), p.entry.host.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!fd.valid()) return {};
        grain = grains_.Of(st.st_dev, fd.get());
    }
    return posix::FolderStampOf(st, now, grain);
}

FsStatus PosixFileSystem::GetAttributes(std::string_view path, Attributes& out) const {
    const Placement p = walk_.Place(path);
    if (p.status != FsStatus::Ok) return p.status;
    struct stat st {};
    bool link = false;
    if (p.isRoot) {
        if (::fstat(p.folder.get(), &st) != 0) return StatusFromErrno(errno);
    } else {
        if (p.lstat) {
            st = *p.lstat;
        } else if (cache_.StatAt(p.folder, p.entry.host, st, false) != 0) {
            return StatusFromErrno(errno);
        }
        link = S_ISLNK(st.st_mode);
        struct stat target {};
        // A dangling link is still an entry, with the state of the link itself.
        if (link && cache_.StatAt(p.folder, p.entry.host, target, true) == 0) st = target;
    }
    out = AttributesOf(st, p.entry.name);
    out.link = link;
    return FsStatus::Ok;
}

FsStatus PosixFileSystem::SetAttributes(std::string_view path, const Attributes& attributes) {
    Placement p = walk_.Place(path);
    if (p.status != FsStatus::Ok) return p.status;
    if (p.isRoot) return FsStatus::AccessDenied;
    if (const FsStatus s = walk_.FollowLastLink(p); s != FsStatus::Ok) return s;
    if (const FsStatus s = Confine(p.folder); s != FsStatus::Ok) return s;
    if (!p.exists) return FsStatus::FileNotFound;  // a dangling link
    const struct stat& st = *p.lstat;
    // A file with other names: its mode is theirs as well, and one of them may lie anywhere on the
    // volume. It keeps its mode; its deletion does not depend on it here (Delete).
    if (S_ISREG(st.st_mode) && st.st_nlink > 1) return FsStatus::Ok;
    // Only the read-only flag has a POSIX form; hidden, system and archive cannot be set here.
    mode_t mode = st.st_mode & 07777;
    mode = attributes.readOnly ? (mode & ~mode_t{0222}) : (mode | (mode_t{0222} & ~CurrentUmask()) | S_IWUSR);
    if (mode == (st.st_mode & 07777)) return FsStatus::Ok;
    cache_.Changed(p.folder, p.entry.host);
    // Never through a link put in its place meanwhile.
    if (::fchmodat(p.folder.get(), p.entry.host.c_str(), mode, AT_SYMLINK_NOFOLLOW) == 0) return FsStatus::Ok;
    if (errno != ENOTSUP && errno != EOPNOTSUPP) return StatusFromErrno(errno);
    Descriptor fd(::openat(p.folder.get(), p.entry.host.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) return StatusFromErrno(errno);
    if (::fchmod(fd.get(), mode) != 0) return StatusFromErrno(errno);
    return FsStatus::Ok;
}

namespace {

// What kind of entry a state is: Ok for a regular file.
FsStatus KindOf(const struct stat& st) {
    if (S_ISREG(st.st_mode)) return FsStatus::Ok;
    return S_ISDIR(st.st_mode) ? FsStatus::AccessDenied : FsStatus::NotRegularFile;
}

// Opens an existing regular file for reading (host_read.hpp); what its lookup already read of the
// entry (no link) tells its kind without a call.
FsStatus OpenRegular(const Placement& p, Descriptor& out, struct stat& st) {
    if (p.status != FsStatus::Ok) return p.status;
    if (p.isRoot) return FsStatus::AccessDenied;
    const bool known = p.lstat && !S_ISLNK(p.lstat->st_mode);
    if (known) {
        if (const FsStatus kind = KindOf(*p.lstat); kind != FsStatus::Ok) return kind;
    }
    return posix::OpenRegularFile(p.folder.get(), p.entry.host, out, st, known);
}

}  // namespace

FsStatus PosixFileSystem::OpenForRead(std::string_view path) const {
    const Placement p = walk_.Place(path);
    if (p.status != FsStatus::Ok) return p.status;
    if (p.isRoot) return FsStatus::AccessDenied;
    // The kind from the entry's state (kept from its lookup where it was read): nothing is opened,
    // so a device is never acted on.
    struct stat st {};
    if (p.lstat) {
        st = *p.lstat;
    } else if (cache_.StatAt(p.folder, p.entry.host, st, false) != 0) {
        return StatusFromErrno(errno);
    }
    const bool link = S_ISLNK(st.st_mode);
    if (link && cache_.StatAt(p.folder, p.entry.host, st, true) != 0) return StatusFromErrno(errno);
    if (const FsStatus kind = KindOf(st); kind != FsStatus::Ok) return kind;
    // The access check answers as an open for reading would, privileges and access lists
    // included, in one call instead of three.
    if (::faccessat(p.folder.get(), p.entry.host.c_str(), R_OK, AT_EACCESS | (link ? 0 : AT_SYMLINK_NOFOLLOW)) != 0) {
        return StatusFromErrno(errno);
    }
    return FsStatus::Ok;
}

FsStatus PosixFileSystem::FileSize(std::string_view path, std::uint64_t& size) const {
    Descriptor fd(-1);
    struct stat st {};
    if (const FsStatus s = OpenRegular(walk_.Place(path), fd, st); s != FsStatus::Ok) return s;
    size = static_cast<std::uint64_t>(st.st_size);
    return FsStatus::Ok;
}

FsStatus PosixFileSystem::ReadAll(std::string_view path, std::string& bytes, std::size_t limit) const {
    Descriptor fd(-1);
    struct stat st {};
    if (const FsStatus s = OpenRegular(walk_.Place(path), fd, st); s != FsStatus::Ok) return s;
    return posix::ReadWhole(fd.get(), st, limit, bytes);
}

FsStatus PosixFileSystem::ReadHead(std::string_view path, std::string& bytes, std::size_t count) const {
    Descriptor fd(-1);
    struct stat st {};
    if (const FsStatus s = OpenRegular(walk_.Place(path), fd, st); s != FsStatus::Ok) return s;
    return posix::ReadFirst(fd.get(), count, bytes);
}

namespace {

// A name in a folder for a file while it is being written.
std::string TemporaryName(std::string_view purpose, unsigned attempt) {
    return ".zelvane-" + std::string(purpose) + "-" + std::to_string(::getpid()) + "-" + std::to_string(attempt) +
           ".tmp";
}

// Makes a new file under a temporary name in the folder, with the ordinary mode of a new file
// (the process's umask decides; nothing is copied from elsewhere), has `write` fill it, flushes
// it and closes it. The name is removed again on failure.
template <typename Writer>
FsStatus WriteTemporaryFile(const HostFolder& folder, std::string_view purpose, std::string& name, Writer&& write) {
    static unsigned counter = 0;
    Descriptor fd(-1);
    for (int attempt = 0; attempt < 100 && !fd.valid(); ++attempt) {
        name = TemporaryName(purpose, counter++);
        fd = Descriptor(
            ::openat(folder.get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!fd.valid() && errno != EEXIST) return StatusFromErrno(errno);
    }
    if (!fd.valid()) return FsStatus::IoError;
    FsStatus s = write(fd.get());
    if (s == FsStatus::Ok && ::fsync(fd.get()) != 0) s = StatusFromErrno(errno);
    if (fd.Close() != 0 && s == FsStatus::Ok) s = StatusFromErrno(errno);
    if (s != FsStatus::Ok) ::unlinkat(folder.get(), name.c_str(), 0);
    return s;
}

// Gives a temporary file the target's name, replacing what had it; the temporary name is removed
// again on failure.
FsStatus RenameIntoPlace(const HostFolder& folder, const std::string& temporary, const std::string& target) {
    if (::renameat(folder.get(), temporary.c_str(), folder.get(), target.c_str()) == 0) return FsStatus::Ok;
    const int error = errno;
    ::unlinkat(folder.get(), temporary.c_str(), 0);
    return StatusFromErrno(error);
}

}  // namespace

FsStatus PosixFileSystem::WriteAll(std::string_view path, std::string_view bytes) {
    Placement p = walk_.Place(path);
    if (p.status != FsStatus::Ok && p.status != FsStatus::FileNotFound) return p.status;
    if (p.isRoot) return FsStatus::AccessDenied;
    if (const FsStatus s = walk_.FollowLastLink(p); s != FsStatus::Ok) return s;
    if (const FsStatus s = Confine(p.folder); s != FsStatus::Ok) return s;
    if (p.exists) {
        if (const FsStatus s = CheckReplaceable(*p.lstat); s != FsStatus::Ok) return s;
    }
    // A new file renamed over the old one: the old one's bytes are never written into, so a name
    // outside that shares them (a hard link) keeps them. The bytes reach the medium before the
    // name does (the log is written under a temporary name and renamed into place once the
    // earlier log is gone).
    std::string temporary;
    const FsStatus written =
        WriteTemporaryFile(p.folder, "write", temporary, [&](int fd) { return WriteBytes(fd, bytes); });
    if (written != FsStatus::Ok) return written;
    if (const FsStatus s = RenameIntoPlace(p.folder, temporary, p.entry.host); s != FsStatus::Ok) return s;
    if (p.exists)
        cache_.Changed(p.folder, p.entry.host);
    else
        cache_.Added(p.folder, HostEntry{p.entry.host, p.entry.name, DT_REG});
    return FsStatus::Ok;
}

FsStatus PosixFileSystem::Delete(std::string_view path) {
    Placement p = walk_.Place(path);
    if (p.status != FsStatus::Ok) return p.status;
    if (p.isRoot) return FsStatus::AccessDenied;
    if (const FsStatus s = Confine(p.folder); s != FsStatus::Ok) return s;
    struct stat st {};
    if (p.lstat) {
        st = *p.lstat;
    } else if (cache_.StatAt(p.folder, p.entry.host, st, false) != 0) {
        return StatusFromErrno(errno);
    }
    if (S_ISLNK(st.st_mode)) {
        // The link itself goes; what it leads to decides, as for the file it stands for.
        struct stat target {};
        if (cache_.StatAt(p.folder, p.entry.host, target, true) == 0) st = target;
    }
    // No folder goes this way. A read-only file does: the permissions of its folder decide, and its
    // mode is never changed for it (a hard link outside would keep the change).
    if (S_ISDIR(st.st_mode)) return FsStatus::AccessDenied;
    if (::unlinkat(p.folder.get(), p.entry.host.c_str(), 0) != 0) return StatusFromErrno(errno);
    cache_.Removed(p.folder, p.entry.host);
    return FsStatus::Ok;
}

FsStatus PosixFileSystem::Rename(std::string_view from, std::string_view to) {
    Placement source = walk_.Place(from);
    if (source.status != FsStatus::Ok) return source.status;
    Placement target = walk_.Place(to);
    if (target.status != FsStatus::Ok && target.status != FsStatus::FileNotFound &&
        target.status != FsStatus::PathNotFound) {
        return target.status;
    }
    if (!source.drive.empty() && !target.drive.empty() && !NamesEqual(source.drive, target.drive)) {
        return FsStatus::NotSameDevice;
    }
    if (target.status == FsStatus::PathNotFound) return FsStatus::PathNotFound;
    if (source.isRoot || target.isRoot) return FsStatus::AccessDenied;
    if (const FsStatus s = Confine(source.folder); s != FsStatus::Ok) return s;
    if (const FsStatus s = Confine(target.folder); s != FsStatus::Ok) return s;

    struct stat sourceStat {};
    if (source.lstat) {
        sourceStat = *source.lstat;
    } else if (cache_.StatAt(source.folder, source.entry.host, sourceStat, false) != 0) {
        return StatusFromErrno(errno);
    }
    std::string destination = target.entry.host;
    if (target.exists) {
        const bool sameEntry = target.folder.SameAs(source.folder) && target.entry.host == source.entry.host;
        if (!sameEntry) return FsStatus::AlreadyExists;
        // Only the letter case changes: the new name goes beside the old one.
        if (target.given == source.entry.name) return FsStatus::Ok;
        destination = Cp1252ToUtf8(target.given);
    }
    const bool directory = S_ISDIR(sourceStat.st_mode);
    // Nothing is flushed: a rename keeps the file under one name or the other whenever the power
    // fails, and what this program writes itself is flushed as it is written.
    if (RenameNoReplace(source.folder, source.entry.host, target.folder, destination, directory) != 0) {
        return StatusFromErrno(errno);
    }
    cache_.Removed(source.folder, source.entry.host);
    cache_.Added(target.folder, HostEntry{destination, posix::Cp1252NameOf(destination), TypeOf(sourceStat)});
    if (directory) cache_.FolderMoved();
    return FsStatus::Ok;
}

FsStatus PosixFileSystem::Copy(std::string_view from, std::string_view to) {
    Descriptor source(-1);
    struct stat sourceStat {};
    if (const FsStatus s = OpenRegular(walk_.Place(from), source, sourceStat); s != FsStatus::Ok) return s;

    Placement target = walk_.Place(to);
    if (target.status != FsStatus::Ok && target.status != FsStatus::FileNotFound) return target.status;
    if (target.isRoot) return FsStatus::AccessDenied;
    if (const FsStatus s = walk_.FollowLastLink(target); s != FsStatus::Ok) return s;
    if (const FsStatus s = Confine(target.folder); s != FsStatus::Ok) return s;
    if (target.exists) {
        const struct stat& targetStat = *target.lstat;
        if (targetStat.st_dev == sourceStat.st_dev && targetStat.st_ino == sourceStat.st_ino) {
            return FsStatus::SharingViolation;  // a file cannot be copied onto itself
        }
        if (const FsStatus s = CheckReplaceable(targetStat); s != FsStatus::Ok) return s;
    }
    // The copy is a new file with the ordinary mode of one: no mode is copied or set, so a volume
    // that refuses every change of mode (a shared NTFS or exFAT partition, a FUSE driver without
    // chmod) takes it all the same. It holds what the source held when it was opened; a source
    // that grows meanwhile is cut there, not followed.
    std::string temporary;
    const FsStatus written = WriteTemporaryFile(target.folder, "copy", temporary, [&](int fd) {
        return ReadPieces(source.get(), static_cast<std::uintmax_t>(sourceStat.st_size),
                          [fd](std::string_view piece) { return WriteBytes(fd, piece); });
    });
    if (written != FsStatus::Ok) return written;
    if (const FsStatus s = RenameIntoPlace(target.folder, temporary, target.entry.host); s != FsStatus::Ok) return s;
    if (target.exists)
        cache_.Changed(target.folder, target.entry.host);
    else
        cache_.Added(target.folder, HostEntry{target.entry.host, target.entry.name, DT_REG});
    return SyncFolder(target.folder);
}

FsStatus PosixFileSystem::CreateFolder(std::string_view path) {
    const Placement p = walk_.Place(path);
    if (p.exists) return FsStatus::AlreadyExists;  // also "file\"
    if (p.status != FsStatus::FileNotFound) return p.status;
    if (const FsStatus s = Confine(p.folder); s != FsStatus::Ok) return s;
    if (::mkdirat(p.folder.get(), p.entry.host.c_str(), 0777) != 0) return StatusFromErrno(errno);
    cache_.Added(p.folder, HostEntry{p.entry.host, p.entry.name, DT_DIR});
    return FsStatus::Ok;
}

FsStatus PosixFileSystem::CanCreateFileIn(std::string_view folder) const {
    HostFolder held;
    if (const FsStatus s = walk_.OpenFolder(folder, held); s != FsStatus::Ok) return s;
    if (const FsStatus s = Confine(held); s != FsStatus::Ok) return s;
    // As the kernel would answer a new entry there now: permissions, access lists, an immutable
    // folder and a read-only mount (EROFS) included.
    if (::faccessat(held.get(), ".", W_OK | X_OK, AT_EACCESS) != 0) return StatusFromErrno(errno);
    return FsStatus::Ok;
}

std::unique_ptr<Listing> PosixFileSystem::List(std::string_view pattern) const {
    const Placement p = walk_.Place(pattern, true);
    if (p.isRoot) return nullptr;  // "C:\" names no entries
    if (p.status != FsStatus::Ok && p.status != FsStatus::FileNotFound) return nullptr;
    const auto* entries = cache_.Listing(p.folder);
    if (entries == nullptr) return nullptr;
    std::vector<DirEntry> found;
    const auto add = [&](const FolderListing::Record& entry) {
        const std::string_view name = entries->Name(entry);
        DirEntry out{std::string(name), {}};
        out.attributes.hidden = name.starts_with('.');
        unsigned char type = entry.type;
        struct stat st {};
        if (type == DT_UNKNOWN && cache_.StatAt(p.folder, std::string(entries->Host(entry)), st, false) == 0) {
            type = TypeOf(st);
        }
        if (type == DT_LNK) {
            out.attributes.link = true;
            out.attributes.directory =
                cache_.StatAt(p.folder, std::string(entries->Host(entry)), st, true) == 0 && S_ISDIR(st.st_mode);
        } else {
            out.attributes.directory = type == DT_DIR;
        }
        found.push_back(std::move(out));
    };
    if (p.pattern) {
        const bool all = p.given == "*.*" || p.given == "*";  // every name matches: no need to ask
        found.reserve(entries->Records().size());
        for (const FolderListing::Record& entry : entries->Records()) {
            if (!entry.removed && (all || WildcardMatch(p.given, entries->Name(entry)))) add(entry);
        }
    } else {
        const auto [first, last] = entries->Range(LowerCase(p.given));
        for (const auto* entry = first; entry != last; ++entry) {
            if (!entry->removed) add(*entry);
        }
    }
    return std::make_unique<HostListing>(std::move(found));
}

std::string PosixFileSystem::ResolvedPath(std::string_view path) const {
    const Resolution resolved = walk_.Resolve(path);
    switch (resolved.kind) {
        case Resolution::Kind::Host: return drives_.WindowsPathOf(resolved.host);
        case Resolution::Kind::Circle: return "";
        case Resolution::Kind::Unreadable:
        case Resolution::Kind::NoDrive: break;
    }
    return std::string(path);
}

std::string PosixFileSystem::ShortPath(std::string_view path) const {
    return walk_.Place(path).status == FsStatus::Ok ? std::string(path) : std::string();
}

}  // namespace zelvane
