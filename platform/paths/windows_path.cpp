#include "platform/paths/windows_path.hpp"

#include <algorithm>
#include <array>

#include "platform/pattern_match.hpp"

namespace zelvane {
namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Where a path text is rooted, as WindowsPath::Read takes it; drive is the upper-case letter of a
// Root::Drive path, else '\0', and the letter and its colon are taken off the text.
WindowsPath::Root ReadRoot(std::string_view& text, char& drive) {
    drive = '\0';
    if (text.size() >= 2 && text[1] == ':' && IsDriveLetter(text[0])) {
        drive = UpperAscii(text[0]);
        text.remove_prefix(2);
        return WindowsPath::Root::Drive;
    }
    if (text.size() >= 2 && IsPathSeparator(text[0]) && IsPathSeparator(text[1])) return WindowsPath::Root::Unc;
    if (!text.empty() && IsPathSeparator(text[0])) return WindowsPath::Root::Rooted;
    return WindowsPath::Root::Relative;
}

// The names of a path text one after another, empty ones (doubled separators) left out.
class NameReader {
public:
    explicit NameReader(std::string_view text) : rest_(text) {}

    bool Next(std::string_view& name) {
        while (!rest_.empty() && IsPathSeparator(rest_.front())) rest_.remove_prefix(1);
        if (rest_.empty()) return false;
        std::size_t end = 0;
        while (end < rest_.size() && !IsPathSeparator(rest_[end])) ++end;
        name = rest_.substr(0, end);
        rest_.remove_prefix(end);
        return true;
    }

private:
    std::string_view rest_;
};

// Whether a name of the text (its root taken off) is "." or "..".
bool HasDotName(std::string_view text) {
    for (std::size_t at = text.find('.'); at != std::string_view::npos; at = text.find('.', at + 1)) {
        if (at > 0 && !IsPathSeparator(text[at - 1])) continue;
        std::size_t end = at + 1;
        if (end < text.size() && text[end] == '.') ++end;
        if (end == text.size() || IsPathSeparator(text[end])) return true;
    }
    return false;
}

// Reads the names after the root: "." dropped, ".." takes the name before it away.
void ReadNames(std::string_view text, WindowsPath& out) {
    NameReader reader(text);
    for (std::string_view name; reader.Next(name);) {
        if (name == ".") continue;
        if (name == "..") {
            if (out.names.empty()) {
                out.aboveRoot = true;
            } else {
                out.names.pop_back();
            }
            continue;
        }
        out.names.emplace_back(name);
    }
}

bool SameRoot(const WindowsPath& a, const WindowsPath& b) { return a.root == b.root && a.drive == b.drive; }

// IsBelow on the texts (more = 1) or IsAtOrBelow (more = 0), name by name without reading the
// paths into names of their own; paths with a "." or ".." name are read in full.
bool TextBelow(std::string_view path, std::string_view folder, std::size_t more) {
    const std::string_view pathText = path;
    const std::string_view folderText = folder;
    char pathDrive = '\0';
    char folderDrive = '\0';
    const WindowsPath::Root pathRoot = ReadRoot(path, pathDrive);
    const WindowsPath::Root folderRoot = ReadRoot(folder, folderDrive);
    if (HasDotName(path) || HasDotName(folder)) {
        const WindowsPath folderPath = WindowsPath::Read(folderText);
        return more > 0 ? IsBelow(WindowsPath::Read(pathText), folderPath)
                        : IsAtOrBelow(WindowsPath::Read(pathText), folderPath);
    }
    if (pathRoot != folderRoot || pathDrive != folderDrive) return false;
    NameReader pathNames(path);
    NameReader folderNames(folder);
    std::size_t count = 0;
    std::string_view name;
    for (std::string_view folderName; folderNames.Next(folderName); ++count) {
        if (!pathNames.Next(name) || !NamesEqual(StoredName(folderName), StoredName(name))) return false;
    }
    if (count == 0 && folderRoot == WindowsPath::Root::Relative) return false;  // a folder that names nothing
    for (; more > 0; --more) {
        if (!pathNames.Next(name)) return false;
    }
    return true;
}

}  // namespace

std::vector<std::string_view> SplitPathNames(std::string_view text) {
    std::vector<std::string_view> names;
    NameReader reader(text);
    for (std::string_view name; reader.Next(name);) names.push_back(name);
    return names;
}

std::string_view StoredName(std::string_view name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.remove_suffix(1);
    return name;
}

bool IsDeviceName(std::string_view name) {
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    const auto equalsUpper = [](std::string_view text, std::string_view upper) {
        return text.size() == upper.size() &&
               std::equal(upper.begin(), upper.end(), text.begin(), [](char u, char c) { return u == UpperAscii(c); });
    };
    static constexpr std::array<std::string_view, 6> kNamed = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    if (std::any_of(kNamed.begin(), kNamed.end(), [&](std::string_view named) { return equalsUpper(stem, named); }))
        return true;
    if (stem.size() != 4) return false;
    if (!equalsUpper(stem.substr(0, 3), "COM") && !equalsUpper(stem.substr(0, 3), "LPT")) return false;
    const auto digit = static_cast<unsigned char>(stem[3]);
    // 1 to 9, and the superscripts 1 (0xB9), 2 (0xB2) and 3 (0xB3) of code page 1252.
    return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

NameKind KindOfName(std::string_view name) {
    bool wildcard = false;
    bool stream = false;
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 32) return NameKind::Unstorable;
        switch (c) {
            case '<':
            case '>':
            case '"':
            case '|': return NameKind::Unstorable;
            case '*':
            case '?': wildcard = true; break;
            case ':': stream = true; break;
            default: break;
        }
    }
    if (wildcard) return NameKind::Wildcard;
    if (stream) return NameKind::Stream;
    const std::string_view stored = StoredName(name);
    if (stored.size() > 255) return NameKind::TooLong;
    if (stored.empty()) return NameKind::Empty;
    if (IsDeviceName(stored)) return NameKind::Device;
    return NameKind::Plain;
}

WindowsPath WindowsPath::Read(std::string_view text) {
    WindowsPath out;
    char drive = '\0';
    out.root = ReadRoot(text, drive);
    if (out.root == Root::Drive) out.drive = {drive, ':'};
    ReadNames(text, out);
    std::string_view first;
    out.trailingSeparator = !text.empty() && IsPathSeparator(text.back()) && NameReader(text).Next(first);
    return out;
}

std::string WindowsPath::Text(std::size_t count) const {
    count = std::min(count, names.size());
    std::string out = root == Root::Drive ? drive : root == Root::Unc ? "\\" : "";
    if (count == 0) return root == Root::Relative ? out : out + "\\";
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0 || root != Root::Relative) out += '\\';
        out += names[i];
    }
    return out;
}

bool IsBelow(const WindowsPath& path, const WindowsPath& folder) {
    if (folder.root == WindowsPath::Root::Relative && folder.names.empty()) return false;
    if (!SameRoot(path, folder) || path.names.size() <= folder.names.size()) return false;
    return std::equal(folder.names.begin(), folder.names.end(), path.names.begin(),
                      [](const std::string& a, const std::string& b) {
                          return NamesEqual(StoredName(a), StoredName(b));
                      });
}

bool IsPathBelow(std::string_view path, std::string_view folder) { return TextBelow(path, folder, 1); }

bool IsAtOrBelow(const WindowsPath& path, const WindowsPath& folder) {
    WindowsPath inner = path;
    inner.names.emplace_back("x");  // a name in it
    return IsBelow(inner, folder);
}

bool IsPathAtOrBelow(std::string_view path, std::string_view folder) { return TextBelow(path, folder, 0); }

FsStatus ReadDrivePath(std::string_view text, bool allowWildcards, WindowsPath& out) {
    out = WindowsPath{};
    if (text.size() < 2 || text[1] != ':') return FsStatus::PathNotFound;
    if (!IsDriveLetter(text[0])) return FsStatus::BadName;
    out.root = WindowsPath::Root::Drive;
    out.drive = {UpperAscii(text[0]), ':'};
    const std::vector<std::string_view> written = SplitPathNames(text.substr(2));
    out.trailingSeparator = IsPathSeparator(text.back()) && !written.empty();
    out.names.reserve(written.size());
    for (std::size_t i = 0; i < written.size(); ++i) {
        const std::string_view name = written[i];
        if (name == ".") continue;
        if (name == "..") {
            if (!out.names.empty()) out.names.pop_back();
            continue;
        }
        const bool pattern = allowWildcards && i + 1 == written.size() && HasWildcards(name);
        if (pattern) {
            // A pattern keeps its dots: "*." means "names without an extension".
            if (KindOfName(name) != NameKind::Wildcard || name.find(':') != std::string_view::npos ||
                name.size() > 255 || IsDeviceName(name)) {
                return FsStatus::BadName;
            }
            out.names.emplace_back(name);
            continue;
        }
        if (KindOfName(name) != NameKind::Plain) return FsStatus::BadName;
        out.names.emplace_back(StoredName(name));
    }
    return FsStatus::Ok;
}

}  // namespace zelvane
