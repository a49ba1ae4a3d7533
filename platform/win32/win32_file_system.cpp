#include "platform/win32/win32_file_system.hpp"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/win32/win32_confinement.hpp"
#include "platform/win32/win32_errors.hpp"
#include "platform/win32/win32_file_handle.hpp"

namespace zelvane {
namespace {

// A NUL-terminated copy; a path with an embedded NUL names no file.
bool ToCString(std::string_view path, std::string& out) {
    if (path.find('\0') != std::string_view::npos || path.empty()) return false;
    out.assign(path);
    return true;
}

Attributes FromWin32Attributes(DWORD bits) {
    Attributes a;
    a.directory = (bits & FILE_ATTRIBUTE_DIRECTORY) != 0;
    a.readOnly = (bits & FILE_ATTRIBUTE_READONLY) != 0;
    a.hidden = (bits & FILE_ATTRIBUTE_HIDDEN) != 0;
    a.system = (bits & FILE_ATTRIBUTE_SYSTEM) != 0;
    a.archive = (bits & FILE_ATTRIBUTE_ARCHIVE) != 0;
    a.link = (bits & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    return a;
}

DWORD ToWin32Attributes(const Attributes& a) {
    DWORD bits = 0;
    if (a.readOnly) bits |= FILE_ATTRIBUTE_READONLY;
    if (a.hidden) bits |= FILE_ATTRIBUTE_HIDDEN;
    if (a.system) bits |= FILE_ATTRIBUTE_SYSTEM;
    if (a.archive) bits |= FILE_ATTRIBUTE_ARCHIVE;
    return bits == 0 ? FILE_ATTRIBUTE_NORMAL : bits;
}

class FindListing final : public Listing {
public:
    FindListing(HANDLE find, const WIN32_FIND_DATAA& first) : find_(find), pending_(first), hasPending_(true) {}
    FindListing() = default;
    ~FindListing() override {
        if (find_ != INVALID_HANDLE_VALUE) FindClose(find_);
    }
    FindListing(const FindListing&) = delete;
    FindListing& operator=(const FindListing&) = delete;

    std::optional<DirEntry> Next() override {
        while (hasPending_) {
            DirEntry entry{pending_.cFileName, FromWin32Attributes(pending_.dwFileAttributes)};
            hasPending_ = find_ != INVALID_HANDLE_VALUE && FindNextFileA(find_, &pending_) != FALSE;
            if (entry.name == "." || entry.name == "..") continue;
            return entry;
        }
        return std::nullopt;
    }

private:
    HANDLE find_ = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA pending_{};
    bool hasPending_ = false;
};

// The path with "." and ".." applied and made absolute, as Windows reads it; "" on failure.
std::string FullPathOf(const std::string& path) {
    DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    for (int attempt = 0; attempt < 4 && size != 0; ++attempt) {
        std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
        const DWORD got = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (got == 0) return {};
        if (got < buffer.size()) return std::string(buffer.data(), got);
        size = got;
    }
    return {};
}

std::string AddTail(const std::string& folder, const std::string& tail) {
    return folder.ends_with('\\') ? folder + tail : folder + "\\" + tail;
}

// The length of the root of a full path: "C:\\" or "\\\\server\\share\\".
std::size_t RootLength(const std::string& full) {
    if (full.size() >= 3 && full[1] == ':' && full[2] == '\\') return 3;
    if (full.rfind("\\\\", 0) != 0) return 0;
    std::size_t end = full.find('\\', 2);
    if (end != std::string::npos) end = full.find('\\', end + 1);
    return end == std::string::npos ? full.size() : end + 1;
}

// The copy is made under a temporary name beside the target, flushed, and only then moved over
// the target: a copy that fails halfway leaves the old target (or none) and no partial file, and
// one that succeeded is on the medium before its original may be deleted.
FsStatus CopyDurably(const std::string& source, const std::string& target) {
    const std::size_t cut = target.find_last_of("\\/");
    const std::string folder = cut == std::string::npos ? std::string() : target.substr(0, cut + 1);
    const std::string temporary = folder + "~zelvane-copy-" + std::to_string(GetCurrentProcessId()) + ".tmp";
    if (!CopyFileA(source.c_str(), temporary.c_str(), FALSE)) {
        const FsStatus status = LastFsStatus();
        DeleteFileA(temporary.c_str());
        return status;
    }
    // A read-only copy (CopyFile carries the source's attributes over) is opened for the flush
    // with its read-only bit cleared for that moment.
    const DWORD attributes = GetFileAttributesA(temporary.c_str());
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly) SetFileAttributesA(temporary.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    FsStatus status = FsStatus::Ok;
    {
        FileHandle copy(
            CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!copy.Valid() || !FlushFileBuffers(copy.Get())) status = LastFsStatus();
    }
    if (readOnly) SetFileAttributesA(temporary.c_str(), attributes);
    if (status == FsStatus::Ok &&
        !MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        status = LastFsStatus();
    }
    if (status != FsStatus::Ok) {
        SetFileAttributesA(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(temporary.c_str());
    }
    return status;
}

// Whether two paths name one existing file (the same file index on the same volume).
bool SameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION info[2]{};
    const std::string* paths[2] = {&a, &b};
    for (int i = 0; i < 2; ++i) {
        FileHandle file(CreateFileA(paths[i]->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!file.Valid() || !GetFileInformationByHandle(file.Get(), &info[i])) return false;
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

// Opens a file on a disk for reading, with its size; a device or a pipe is refused.
FsStatus OpenDiskFile(const std::string& path, FileHandle& out, ULONGLONG& size) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return LastFsStatus();
    if (GetFileType(file.Get()) != FILE_TYPE_DISK) return FsStatus::NotRegularFile;
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(file.Get(), &length)) return LastFsStatus();
    size = static_cast<ULONGLONG>(length.QuadPart);
    out = std::move(file);
    return FsStatus::Ok;
}

// Reads at most `most` bytes; stops early at the end of the file.
FsStatus ReadUpTo(HANDLE file, std::size_t most, std::string& out) {
    char buffer[64 * 1024];
    while (out.size() < most) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(sizeof buffer, most - out.size()));
        DWORD got = 0;
        if (!ReadFile(file, buffer, wanted, &got, nullptr)) return LastFsStatus();
        if (got == 0) break;
        out.append(buffer, got);
    }
    return FsStatus::Ok;
}

}  // namespace

FsStatus Win32FileSystem::GetAttributes(std::string_view path, Attributes& out) const {
    std::string p;
    if (!ToCString(path, p)) return FsStatus::BadName;
    const DWORD bits = GetFileAttributesA(p.c_str());
    if (bits == INVALID_FILE_ATTRIBUTES) return LastFsStatus();
    out = FromWin32Attributes(bits);
    return FsStatus::Ok;
}

FsStatus Win32FileSystem::SetAttributes(std::string_view path, const Attributes& attributes) {
    std::string p;
    if (!ToCString(path, p)) return FsStatus::BadName;
    ConfinedPath confined;
    if (FsStatus s = Confine(*this, roots_, p, true, confined); s != FsStatus::Ok) return s;
    if (!SetFileAttributesA(confined.path.c_str(), ToWin32Attributes(attributes))) return LastFsStatus();
    return FsStatus::Ok;
}

FsStatus Win32FileSystem::OpenForRead(std::string_view path) const {
    std::string p;
    if (!ToCString(path, p)) return FsStatus::BadName;
    // Without FILE_FLAG_BACKUP_SEMANTICS a folder cannot be opened, as a file must be.
    FileHandle file;
    ULONGLONG size = 0;
    return OpenDiskFile(p, file, size);
}

FsStatus Win32FileSystem::FileSize(std::string_view path, std::uint64_t& size) const {
    std::string p;
    if (!ToCString(path, p)) return FsStatus::BadName;
    FileHandle file;
    ULONGLONG length = 0;
    if (FsStatus s = OpenDiskFile(p, file, length); s != FsStatus::Ok) return s;
    size = length;
    return FsStatus::Ok;
}

FsStatus Win32FileSystem::ReadAll(std::string_view path, std::string& bytes, std::size_t limit) const {
    std::string p;
    if (!ToCString(path, p)) return FsStatus::BadName;
    FileHandle file;
    ULONGLONG size = 0;
    if (FsStatus s = OpenDiskFile(p, file, size); s != FsStatus::Ok) return s;
    if (size > limit) return FsStatus::TooLarge;
    std::string content;
    content.reserve(static_cast<std::size_t>(size));
    // One byte more than the limit allows tells a file that grew past it.
    const std::size_t most = limit == static_cast<std::size_t>(-1) ? limit : limit + 1;
    if (FsStatus s = ReadUpTo(file.Get(), most, content); s != FsStatus::Ok) return s;
    if (content.size() > limit) return FsStatus::TooLarge;
    bytes = std::move(content);
    return FsStatus::Ok;
}

FsStatus Win32FileSystem::ReadHead(std::string_view path, std::string& bytes, std::size_t count) const {
    std::string p;
    if (!ToCString(path, p)) return FsStatus::BadName;
    FileHandle file;
    ULONGLONG size = 0;
    if (FsStatus s = OpenDiskFile(p, file, size); s != FsStatus::Ok) return s;
    std::string content;
    if (FsStatus s = ReadUpTo(file.Get(), count, content); s != FsStatus::Ok) return s;
    bytes = std::move(content);
    return FsStatus::Ok;
}

FsStatus Win32FileSystem::WriteAll(std::string_view path, std::string_view bytes) {
    std::string p;
    if (!ToCString(path, p)) return FsStatus::BadName;
    ConfinedPath confined;
    if (FsStatus s = Confine(*this, roots_, p, true, confined); s != FsStatus::Ok) return s;
    p = confined.path;
    // A read-only file is never replaced, also where the process could open it anyway (an
    // administrator under Wine, whose host permissions do not stop it).
    const DWORD existing = GetFileAttributesA(p.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return FsStatus::AccessDenied;
    }
    // A new file beside the target, moved over it once its bytes are on the medium: the old file
    // is never written into, so another name of it (a hard link) keeps its bytes.
    const std::size_t cut = p.find_last_of("\\/");
    const std::string folder = cut == std::string::npos ? std::string() : p.substr(0, cut + 1);
    const std::string temporary = folder + "~zelvane-write-" + std::to_string(GetCurrentProcessId()) + ".tmp";
    FsStatus status = FsStatus::Ok;
    {
        FileHandle file(
            CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) return LastFsStatus();
        while (status == FsStatus::Ok && !bytes.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
            DWORD written = 0;
            if (!WriteFile(file.Get(), bytes.data(), chunk, &written, nullptr)) {
                status = LastFsStatus();
            } else if (written == 0) {
                status = FsStatus::IoError;
            } else {
                bytes.remove_prefix(written);
            }
        }
        if (status == FsStatus::Ok && !FlushFileBuffers(file.Get())) status = LastFsStatus();
    }
    if (status == FsStatus::Ok &&
        !MoveFileExA(temporary.c_str(), p.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        status = LastFsStatus();
    }
    if (status != FsStatus::Ok) DeleteFileA(temporary.c_str());
    return status;
}

FsStatus Win32FileSystem::Delete(std::string_view path) {
    std::string p;
    if (!ToCString(path, p)) return FsStatus::BadName;
    return DeleteConfined(*this, roots_, p);
}

FsStatus Win32FileSystem::Rename(std::string_view from, std::string_view to) {
    std::string source, target;
    if (!ToCString(from, source) || !ToCString(to, target)) return FsStatus::BadName;
    // Both ends as they are named: a link at either end is renamed, or collided with, itself.
    ConfinedPath confinedSource;
    ConfinedPath confinedTarget;
    if (FsStatus s = Confine(*this, roots_, source, false, confinedSource); s != FsStatus::Ok) return s;
    if (FsStatus s = Confine(*this, roots_, target, false, confinedTarget); s != FsStatus::Ok) return s;
    source = confinedSource.path;
    target = confinedTarget.path;
    // No MOVEFILE_REPLACE_EXISTING: an existing target is never overwritten; no MOVEFILE_COPY_ALLOWED:
    // a rename stays on its volume, as the caller's error handling expects.
    // Not written through: the file keeps one name or the other whenever the power fails.
    return MoveFileExA(source.c_str(), target.c_str(), 0) ? FsStatus::Ok : LastFsStatus();
}

FsStatus Win32FileSystem::Copy(std::string_view from, std::string_view to) {
    std::string source, target;
    if (!ToCString(from, source) || !ToCString(to, target)) return FsStatus::BadName;
    ConfinedPath confined;
    if (FsStatus s = Confine(*this, roots_, target, true, confined); s != FsStatus::Ok) return s;
    target = confined.path;
    const DWORD existing = GetFileAttributesA(target.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0) return FsStatus::AccessDenied;
    // The copy goes to a new file moved over the target, which CopyFile's own refusal of a file
    // onto itself never sees: a copy onto itself is refused here, as CopyFile refuses it.
    if (SameFile(source, target)) return FsStatus::SharingViolation;
    return CopyDurably(source, target);
}

FsStatus Win32FileSystem::CreateFolder(std::string_view path) {
    std::string p;
    if (!ToCString(path, p)) return FsStatus::BadName;
    ConfinedPath confined;
    if (FsStatus s = Confine(*this, roots_, p, false, confined); s != FsStatus::Ok) return s;
    return CreateDirectoryA(confined.path.c_str(), nullptr) ? FsStatus::Ok : LastFsStatus();
}

FsStatus Win32FileSystem::CanCreateFileIn(std::string_view folder) const {
    std::string p;
    if (!ToCString(folder, p)) return FsStatus::BadName;
    const DWORD bits = GetFileAttributesA(p.c_str());
    if (bits == INVALID_FILE_ATTRIBUTES || (bits & FILE_ATTRIBUTE_DIRECTORY) == 0) return FsStatus::PathNotFound;
    ConfinedPath confined;
    if (FsStatus s = Confine(*this, roots_, AddTail(p, "x"), false, confined); s != FsStatus::Ok) return s;
    FileHandle opened(CreateFileA(p.c_str(), FILE_ADD_FILE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!opened.Valid()) return LastFsStatus();
    char volume[MAX_PATH + 1] = {};
    DWORD flags = 0;
    if (GetVolumePathNameA(p.c_str(), volume, sizeof volume) &&
        GetVolumeInformationA(volume, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
        (flags & FILE_READ_ONLY_VOLUME) != 0) {
        return FsStatus::WriteProtected;
    }
    return FsStatus::Ok;
}

std::unique_ptr<Listing> Win32FileSystem::List(std::string_view pattern) const {
    std::string p;
    if (!ToCString(pattern, p)) return nullptr;
    WIN32_FIND_DATAA data{};
    const HANDLE find = FindFirstFileA(p.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // The folder exists but nothing in it matches: an empty listing.
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) return std::make_unique<FindListing>();
        return nullptr;
    }
    return std::make_unique<FindListing>(find, data);
}

namespace {

// The serial number of the volume that holds the folder of a path (the path itself when it ends
// with a backslash), read from an open handle so that junctions on the way count where they lead.
std::optional<DWORD> VolumeSerialOfFolder(std::string_view path) {
    std::string p;
    if (!ToCString(path, p)) return std::nullopt;
    std::string full = FullPathOf(p);
    const std::size_t cut = full.rfind('\\');
    if (full.empty() || cut == std::string::npos) return std::nullopt;
    full.erase(cut + 1);
    FileHandle folder(CreateFileA(full.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!folder.Valid() || !GetFileInformationByHandle(folder.Get(), &info)) return std::nullopt;
    return info.dwVolumeSerialNumber;
}

}  // namespace

bool Win32FileSystem::SameVolume(std::string_view a, std::string_view b) const {
    const std::optional<DWORD> first = VolumeSerialOfFolder(a);
    const std::optional<DWORD> second = VolumeSerialOfFolder(b);
    return first && second && *first == *second;
}

std::string Win32FileSystem::ResolvedPath(std::string_view path) const {
    std::string p;
    if (!ToCString(path, p)) return {};
    const std::string full = FullPathOf(p);
    const std::size_t root = RootLength(full);
    if (root == 0) return {};
    // Cut components off the end until what is left can be opened; what was cut is appended.
    std::string head = full;
    while (!head.empty() && head.back() == '\\' && head.size() > root) head.pop_back();
    std::string tail;
    for (;;) {
        const std::string finalPath = FinalPathOf(head);
        if (!finalPath.empty()) return tail.empty() ? finalPath : AddTail(finalPath, tail);
        const DWORD bits = GetFileAttributesA(head.c_str());
        // An entry that exists but cannot be opened through: a link whose target is gone or
        // unreachable. Where it leads is unknown.
        if (bits != INVALID_FILE_ATTRIBUTES && (bits & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return {};
        if (head.size() <= root) return full;  // not even the volume can be opened
        const std::size_t cut = std::max(head.rfind('\\'), root - 1);
        tail = head.substr(cut + 1) + (tail.empty() ? "" : "\\" + tail);
        head.erase(cut + 1 > root ? cut : root);
    }
}

std::string Win32FileSystem::ShortPath(std::string_view path) const {
    std::string p;
    if (!ToCString(path, p)) return {};
    // Ask for the size first and never accept a cut-off name: a truncated short name could name
    // another file or none at all.
    DWORD size = GetShortPathNameA(p.c_str(), nullptr, 0);
    for (int attempt = 0; attempt < 4 && size != 0; ++attempt) {
        std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
        const DWORD got = GetShortPathNameA(p.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (got == 0) return {};
        if (got < buffer.size()) return std::string(buffer.data(), got);
        size = got;  // the name grew in between: try again with the new size
    }
    return {};
}

}  // namespace zelvane
