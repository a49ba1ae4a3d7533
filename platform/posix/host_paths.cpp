#include "platform/posix/host_paths.hpp"

#include <dirent.h>
#include <sys/stat.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <vector>
#include <memory>
#include <optional>

#include "platform/memory/windows_path.hpp"
#include "platform/pattern_match.hpp"
#include "platform/posix/host_names.hpp"
#include "util/text/code_page_1252.hpp"
#include "util/text/utf8.hpp"

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
        const std::string shown = Cp1252NameOf(candidate);
        if (NamesEqual(shown, name) && (!best || NameLess(shown, bestName))) {
            best = std::string(candidate);
            bestName = shown;
        }
    }
    // A host name handed over as it stands, in UTF-8.
    if (!best && IsNonAsciiUtf8(name) && EntryExists(Join(folder, name))) best = name;
    return best;
}

// Links followed one after another before a path counts as going round in a circle (as the host's).
constexpr int kMaxLinkHops = 40;

std::optional<std::string> ReadLink(const std::string& host) {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink(host.c_str(), buffer.data(), buffer.size());
        if (n < 0) return std::nullopt;
        if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

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
