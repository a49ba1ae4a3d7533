#include "util/common.hpp"

#include <cstdint>
#include <optional>

#include "util/strings.hpp"

namespace zelvane {

std::string StripQuotes(std::string_view text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    auto last = text.find_last_not_of(' ');
    std::string_view trimmed = text.substr(first, last - first + 1);
    if (trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"') {
        trimmed = trimmed.substr(1, trimmed.size() - 2);
    }
    return std::string(trimmed);
}

bool FileExists(const FileSystem& fs, std::string_view path) {
    std::string p = StripQuotes(path);
    if (!p.empty() && p.back() == '\\') p.pop_back();
    if (p.empty()) return false;
    return fs.OpenForRead(p) == FsStatus::Ok;
}

std::string ReadRefusal(const FileSystem& fs, std::string_view path, std::size_t limit) {
    if (fs.OpenForRead(path) == FsStatus::NotRegularFile) return "is not a regular file (a pipe, a socket or a device)";
    std::uint64_t size = 0;
    if (fs.FileSize(path, size) == FsStatus::Ok && size > limit) {
        return "is larger than " + std::to_string(limit >> 20) + " MiB";
    }
    return "";
}

bool FolderExists(const FileSystem& fs, std::string_view path) {
    if (path.empty()) return false;
    Attributes attributes;
    return fs.GetAttributes(path, attributes) == FsStatus::Ok && attributes.directory;
}

std::string AddBackslash(std::string_view text) {
    std::string out(text);
    if (out.empty() || out.back() != '\\') out += '\\';
    return out;
}

std::string GetFileName(std::string_view path) {
    int p = FindLast(path, "\\", -1, CompareMode::CaseInsensitive);
    if (p > 0) return std::string(path.substr(static_cast<std::size_t>(p)));
    return std::string(path);
}

std::string GetBaseName(std::string_view path) {
    std::string name = GetFileName(path);
    int q = FindLast(name, ".", -1, CompareMode::CaseInsensitive);
    if (q > 0) return name.substr(0, static_cast<std::size_t>(q - 1));
    return name;
}

std::string GetFolderPart(const FileSystem& fs, std::string_view path) {
    if (FolderExists(fs, path)) return std::string(path);
    int p = FindLast(path, "\\", -1, CompareMode::CaseInsensitive);
    if (p > 0) return std::string(path.substr(0, static_cast<std::size_t>(p)));
    return std::string(path);
}

std::string ParentFolder(std::string_view path) {
    if (path.size() == 3 && InStr(1, path, ":\\") == 2) return std::string(path);
    std::string p(path);
    if (!p.empty() && p.back() == '\\') p.pop_back();
    int last = FindLast(p, "\\", -1, CompareMode::CaseInsensitive);
    if (last == 0) return p;
    if (last == 3 && p.substr(1, 2) == ":\\") return p.substr(0, 3);
    return p.substr(0, static_cast<std::size_t>(last - 1));
}

namespace {

// The stored name of the directory entry a path names, or nullopt.
std::optional<std::string> StoredName(const FileSystem& fs, std::string_view path) {
    if (path.find_first_of("*?") != std::string_view::npos) return std::nullopt;
    auto listing = fs.List(path);
    if (!listing) return std::nullopt;
    auto entry = listing->Next();
    if (!entry) return std::nullopt;
    return entry->name;
}

}  // namespace

std::string GetLongPath(const FileSystem& fs, std::string_view path) {
    if (path.find('~') == std::string_view::npos || !FileExists(fs, path)) return std::string(path);
    std::string result;
    std::size_t scan = 0;  // 0-based index of the character after which the next "\" is searched
    if (path.size() >= 2 && path[1] == ':') {
        result = std::string(path.substr(0, 2));
        scan = 2;
    }
    while (true) {
        auto next = path.find('\\', scan + 1);
        std::string_view prefix = next == std::string_view::npos ? path : path.substr(0, next);
        auto name = StoredName(fs, prefix);
        if (!name) return std::string(path);
        result += '\\';
        result += *name;
        if (next == std::string_view::npos) break;
        scan = next;
    }
    return result;
}

std::string GetShortPath(const FileSystem& fs, std::string_view path) {
    if (path.empty()) return {};
    std::string shortPath = fs.ShortPath(path);
    if (shortPath.empty()) return {};
    // The path itself was found by the file system just now.
    if (shortPath == path) return shortPath;
    // Never hand out a name that no file or folder has.
    Attributes attributes;
    if (fs.GetAttributes(shortPath, attributes) != FsStatus::Ok) return {};
    return shortPath;
}

bool KillFile(FileSystem& fs, UserInterface& ui, std::string_view path, bool reportErrors) {
    if (!FileExists(fs, path)) return true;
    FsStatus status = fs.SetAttributes(path, Attributes{});
    if (status == FsStatus::Ok) status = fs.Delete(path);
    if (status == FsStatus::Ok) return true;
    if (reportErrors) ShowErrorMessage(ui, FileSystemError(status), "Public Function KillFile");
    return false;
}

std::string AppVersion() { return ZELVANE_VERSION; }

std::string ErrorMessageText(const ProgramError& error, std::string_view location) {
    std::string text = "Error: " + std::to_string(error.Number());
    text += kCrLf;
    text += error.Description();
    text += kCrLf;
    text += kCrLf;
    text += "LOCATION:";
    text += kCrLf;
    text += location;
    return text;
}

void ShowErrorMessage(UserInterface& ui, const ProgramError& error, std::string_view location) {
    ui.ShowMessage(ErrorMessageText(error, location), "Oops!", kMbOk | kMbIconExclamation);
}

void ReportFailure(UserInterface& ui, const std::exception& failure, std::string_view location) {
    ShowErrorMessage(ui, FailureOf(failure), location);
}

}  // namespace zelvane
