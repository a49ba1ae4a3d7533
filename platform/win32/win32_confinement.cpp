#include "platform/win32/win32_confinement.hpp"

#include <algorithm>

#include "platform/paths/windows_path.hpp"
#include "platform/win32/win32_errors.hpp"

namespace zelvane {
namespace {

// Vista's functions, looked up at run time: the program still starts on XP (_WIN32_WINNT 0x0501).
using FinalPathFunction = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
using SetInformationFunction = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
constexpr DWORD kFileNameNormalized = 0x0;  // FILE_NAME_NORMALIZED
constexpr DWORD kVolumeNameDos = 0x0;       // VOLUME_NAME_DOS
constexpr int kFileDispositionInfo = 4;     // FILE_INFO_BY_HANDLE_CLASS FileDispositionInfo

struct DispositionInfo {
    BOOLEAN deleteFile;
};

FARPROC Kernel32Function(const char* name) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel != nullptr ? GetProcAddress(kernel, name) : nullptr;
}

FinalPathFunction FinalPathFunctionOfSystem() {
    static const FinalPathFunction function = reinterpret_cast<FinalPathFunction>(
        reinterpret_cast<void (*)()>(Kernel32Function("GetFinalPathNameByHandleA")));
    return function;
}

SetInformationFunction SetInformationFunctionOfSystem() {
    static const SetInformationFunction function = reinterpret_cast<SetInformationFunction>(
        reinterpret_cast<void (*)()>(Kernel32Function("SetFileInformationByHandle")));
    return function;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The path with "." and ".." applied and made absolute, as Windows reads it; "" on failure.
std::string FullPathOf(const std::string& path) {
    DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    for (int attempt = 0; attempt < 4 && size != 0; ++attempt) {
        std::string buffer(static_cast<std::size_t>(size) + 1, '\0');
        const DWORD got = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (got == 0) return {};
        if (got < buffer.size()) return buffer.substr(0, got);
        size = got;
    }
    return {};
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder.ends_with('\\') ? folder + name : folder + "\\" + name;
}

bool BelowAnyRoot(const std::vector<std::string>& finalRoots, const std::string& path) {
    return std::any_of(finalRoots.begin(), finalRoots.end(),
                       [&](const std::string& root) { return !root.empty() && IsPathBelow(path, root); });
}

// The roots as they stand now, each with its own links followed.
std::vector<std::string> FinalRoots(const FileSystem& fs, const std::vector<std::string>& roots) {
    std::vector<std::string> finals;
    for (const std::string& root : roots) finals.push_back(HasFinalPaths() ? FinalPathOf(root) : fs.ResolvedPath(root));
    return finals;
}

// The check where the system cannot tell final paths: the path as ResolvedPath follows it.
FsStatus ConfineByPath(const FileSystem& fs, const std::vector<std::string>& roots, const std::string& path) {
    const std::string resolved = fs.ResolvedPath(path);
    if (resolved.empty() || !BelowAnyRoot(FinalRoots(fs, roots), resolved)) return FsStatus::OutsideRoots;
    return FsStatus::Ok;
}

}  // namespace

bool HasFinalPaths() { return FinalPathFunctionOfSystem() != nullptr; }

std::string FinalPathOfHandle(HANDLE handle) {
    const FinalPathFunction getFinalPath = FinalPathFunctionOfSystem();
    if (getFinalPath == nullptr) return {};
    std::string final;
    DWORD size = getFinalPath(handle, nullptr, 0, kFileNameNormalized | kVolumeNameDos);
    for (int attempt = 0; attempt < 4 && size != 0; ++attempt) {
        std::string buffer(static_cast<std::size_t>(size) + 1, '\0');
        const DWORD got = getFinalPath(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                       kFileNameNormalized | kVolumeNameDos);
        if (got == 0) return {};
        if (got < buffer.size()) {
            final = buffer.substr(0, got);
            break;
        }
        size = got;
    }
    if (final.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + final.substr(8);
    if (final.rfind("\\\\?\\", 0) == 0) return final.substr(4);
    return final;
}

std::string FinalPathOf(const std::string& path) {
    FileHandle handle(
        CreateFileA(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.Valid()) return {};
    if (!HasFinalPaths()) return path;
    return FinalPathOfHandle(handle.Get());
}

FsStatus Confine(const FileSystem& fs, const std::vector<std::string>& roots, const std::string& path,
                 bool followLastLink, ConfinedPath& out) {
    out.path = path;
    if (roots.empty()) return FsStatus::Ok;
    if (!HasFinalPaths()) return ConfineByPath(fs, roots, path);

    std::string full = FullPathOf(path);
    while (full.size() > 3 && full.back() == '\\') full.pop_back();
    const std::size_t cut = full.rfind('\\');
    if (full.empty() || cut == std::string::npos || cut + 1 >= full.size()) return FsStatus::OutsideRoots;
    const std::string name = full.substr(cut + 1);
    std::string folder = full.substr(0, cut);
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';  // "C:" is the current folder of C:, "C:\" its root

    // Shared for reading and writing but not for deletion: while it is open the folder can be
    // neither renamed nor removed, and (on NTFS) no folder above it either.
    out.folder = FileHandle(CreateFileA(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!out.folder.Valid()) {
        const FsStatus status = LastFsStatus();
        return status == FsStatus::FileNotFound ? FsStatus::PathNotFound : status;
    }
    const std::string finalFolder = FinalPathOfHandle(out.folder.Get());
    if (finalFolder.empty()) return FsStatus::OutsideRoots;  // where it lies cannot be told
    out.path = Join(finalFolder, name);

    if (followLastLink) {
        const DWORD bits = GetFileAttributesA(out.path.c_str());
        if (bits != INVALID_FILE_ATTRIBUTES && (bits & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            // Changed through a link: what counts is where it leads, and the change is made there.
            out.target = FileHandle(CreateFileA(out.path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
            if (!out.target.Valid()) return FsStatus::OutsideRoots;  // a link that leads nowhere known
            out.path = FinalPathOfHandle(out.target.Get());
            if (out.path.empty()) return FsStatus::OutsideRoots;
        }
    }
    return BelowAnyRoot(FinalRoots(fs, roots), out.path) ? FsStatus::Ok : FsStatus::OutsideRoots;
}

FsStatus DeleteConfined(const FileSystem& fs, const std::vector<std::string>& roots, const std::string& path) {
    const SetInformationFunction setInformation = SetInformationFunctionOfSystem();
    if (roots.empty() || !HasFinalPaths() || setInformation == nullptr) {
        if (!roots.empty()) {
            if (FsStatus s = ConfineByPath(fs, roots, path); s != FsStatus::Ok) return s;
        }
        return DeleteFileA(path.c_str()) ? FsStatus::Ok : LastFsStatus();
    }
    FileHandle entry(CreateFileA(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!entry.Valid()) return LastFsStatus();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(entry.Get(), &info)) return LastFsStatus();
    // DeleteFile removes no folder, a junction included.
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return FsStatus::AccessDenied;
    const std::string final = FinalPathOfHandle(entry.Get());
    if (final.empty() || !BelowAnyRoot(FinalRoots(fs, roots), final)) return FsStatus::OutsideRoots;
    // As DeleteFile: a read-only file stays.
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) return FsStatus::AccessDenied;
    DispositionInfo disposition{TRUE};
    if (!setInformation(entry.Get(), kFileDispositionInfo, &disposition, sizeof disposition)) return LastFsStatus();
    return FsStatus::Ok;
}

}  // namespace zelvane
