#include "platform/memory/windows_path.hpp"

#include <array>

#include "platform/pattern_match.hpp"
#include "util/text/case_folding.hpp"

namespace zelvane::winpath {
namespace {

bool IsDeviceName(std::string_view name) {
    const std::string folded = LowerCase(name.substr(0, name.find('.')));
    static constexpr std::array<std::string_view, 4> kPlain = {"con", "prn", "aux", "nul"};
    for (auto device : kPlain) {
        if (folded == device) return true;
    }
    return folded.size() == 4 && (folded.starts_with("com") || folded.starts_with("lpt")) && folded[3] >= '1' &&
           folded[3] <= '9';
}

FsStatus CheckName(std::string_view name, bool allowWildcards) {
    if (name.size() > 255) return FsStatus::BadName;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32) return FsStatus::BadName;
        switch (c) {
            case '<': case '>': case ':': case '"': case '|':
                return FsStatus::BadName;
            case '*': case '?':
                if (!allowWildcards) return FsStatus::BadName;
                break;
            default:
                break;
        }
    }
    if (IsDeviceName(name)) return FsStatus::BadName;
    return FsStatus::Ok;
}

}  // namespace

FsStatus ParsePath(std::string_view path, bool allowWildcards, ParsedPath& out) {
    out = ParsedPath{};
    if (path.size() < 2 || path[1] != ':') return FsStatus::PathNotFound;
    const char letter = path[0];
    if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'))) return FsStatus::BadName;
    out.drive = {static_cast<char>(letter & ~0x20), ':'};

    std::vector<std::string> raw;
    std::string current;
    for (std::size_t i = 2; i < path.size(); ++i) {
        const char c = path[i];
        if (c == '\\' || c == '/') {
            if (!current.empty()) raw.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) raw.push_back(std::move(current));
    out.trailingSeparator = !path.empty() && (path.back() == '\\' || path.back() == '/') && !raw.empty();

    for (std::size_t i = 0; i < raw.size(); ++i) {
        std::string& part = raw[i];
        if (part == ".") continue;
        if (part == "..") {
            if (!out.parts.empty()) out.parts.pop_back();
            continue;
        }
        const bool last = i + 1 == raw.size();
        // A pattern keeps its dots: "*." means "names without extension".
        if (!(allowWildcards && last && HasWildcards(part))) {
            while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
        }
        if (part.empty()) return FsStatus::BadName;
        if (const FsStatus s = CheckName(part, allowWildcards && last); s != FsStatus::Ok) return s;
        out.parts.push_back(std::move(part));
    }
    return FsStatus::Ok;
}

std::string JoinPath(const std::string& drive, const std::vector<std::string>& parts) {
    std::string out = drive;
    if (parts.empty()) return out + "\\";
    for (const auto& part : parts) {
        out += '\\';
        out += part;
    }
    return out;
}

}  // namespace zelvane::winpath
