#include "platform/posix/host_paths.hpp"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <optional>

#include "platform/memory/windows_path.hpp"
#include "platform/pattern_match.hpp"
#include "platform/posix/code_page_1252.hpp"

namespace zelvane::posix {
namespace {

bool IsDirectory(const std::string& host) {
    struct stat st {};
    return ::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool EntryExists(const std::string& host) {
    struct stat st {};
    return ::lstat(host.c_str(), &st) == 0;
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

// The stored host name of the entry of a folder that matches a code page 1252 name, or nullopt.
std::optional<std::string> FindEntry(const std::string& folder, const std::string& name) {
    const std::string exact = Cp1252ToUtf8(name);
    if (EntryExists(Join(folder, exact))) return exact;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return std::nullopt;
    std::optional<std::string> best;
    std::string bestName;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view candidate = entry->d_name;
        if (candidate == "." || candidate == "..") continue;
        const std::string shown = Utf8ToCp1252(candidate);
        if (NamesEqual(shown, name) && (!best || NameLess(shown, bestName))) {
            best = std::string(candidate);
            bestName = shown;
        }
    }
    // A host name handed over as it stands, in UTF-8.
    if (!best && IsNonAsciiUtf8(name) && EntryExists(Join(folder, name))) best = name;
    return best;
}

}  // namespace

std::string DefaultWinePrefix() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0') return prefix;
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.wine";
}

HostPath ResolveHostPath(std::string_view windowsPath, const std::string& prefix, bool allowWildcards) {
    HostPath result;
    // A plain POSIX path is the same as one on drive Z:.
    const bool posixPath = windowsPath.starts_with('/');
    const std::string text = posixPath ? "Z:" + std::string(windowsPath) : std::string(windowsPath);

    winpath::ParsedPath parsed;
    result.status = winpath::ParsePath(text, allowWildcards, parsed);
    if (result.status != FsStatus::Ok) return result;
    result.drive = posixPath ? "" : parsed.drive;

    std::string folder;
    if (parsed.drive == "Z:") {
        folder = "/";
    } else {
        std::string letter(1, static_cast<char>(parsed.drive[0] | 0x20));
        folder = prefix + "/dosdevices/" + letter + ":";
        if (!IsDirectory(folder)) {
            result.status = FsStatus::PathNotFound;
            return result;
        }
    }
    if (parsed.parts.empty()) {
        result.host = folder;
        result.isRoot = true;
        return result;
    }
    for (std::size_t i = 0; i + 1 < parsed.parts.size(); ++i) {
        auto found = FindEntry(folder, parsed.parts[i]);
        if (!found || !IsDirectory(Join(folder, *found))) {
            result.status = FsStatus::PathNotFound;
            return result;
        }
        folder = Join(folder, *found);
    }
    const std::string& last = parsed.parts.back();
    result.given = last;
    if (allowWildcards && HasWildcards(last)) {
        result.host = folder;
        result.name = last;
        result.pattern = true;
        return result;
    }
    if (auto found = FindEntry(folder, last)) {
        result.host = Join(folder, *found);
        result.name = *found;
        if (parsed.trailingSeparator && !IsDirectory(result.host)) result.status = FsStatus::BadName;
    } else {
        result.name = Cp1252ToUtf8(last);
        result.host = Join(folder, result.name);
        result.status = FsStatus::FileNotFound;
    }
    return result;
}

}  // namespace zelvane::posix
