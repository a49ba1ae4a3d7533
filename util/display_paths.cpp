#include "util/display_paths.hpp"

#include "util/strings.hpp"
#include "util/text/case_folding.hpp"

namespace zelvane {

std::string DoubleSlash(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        out += c;
        if (c == '\\') out += '\\';
    }
    return out;
}

namespace {

std::string ProperCase(std::string_view piece) {
    std::string lower = LowerCase(piece);
    bool wordStart = true;
    for (char& c : lower) {
        if (wordStart) c = UpperCase(c);
        wordStart = (c == ' ');
    }
    return lower;
}

}  // namespace

std::string ProperCasePath(std::string_view displayText) {
    std::vector<std::string> pieces = SplitText(displayText, "\\\\");
    if (pieces.size() < 2) return std::string(displayText);
    std::string out;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) out += "\\\\";
        out += (i + 1 < pieces.size()) ? ProperCase(pieces[i]) : pieces[i];
    }
    // Overlapping separators (three or more backslashes in a row) must not lose characters.
    if (LowerCase(out) != LowerCase(displayText)) return std::string(displayText);
    return out;
}

std::string LastFolder(std::string_view path) {
    std::string p(path);
    if (!p.empty() && p.back() == '\\') p.pop_back();
    int last = FindLast(p, "\\", -1, CompareMode::Exact);
    if (last >= 1) return p.substr(static_cast<std::size_t>(last));
    return p;
}

namespace {

std::string TailFrom(std::string_view path, int p) { return std::string(path.substr(static_cast<std::size_t>(p - 1))); }

}  // namespace

std::string PathRelative(std::string_view path, std::string_view anchor, const FolderContext& folders) {
    const std::string lowerPath = LowerCase(path);
    if (!anchor.empty()) {
        int p = InStr(1, lowerPath, LowerCase(anchor));
        if (p > 0) return ProperCasePath(TailFrom(path, p));
    } else {
        const std::string needles[] = {"override", "uninstall backup", "backup", LastFolder(folders.programFolder)};
        for (const std::string& needle : needles) {
            if (needle.empty()) continue;
            int p = InStr(1, lowerPath, LowerCase(needle));
            if (p > 0) return ProperCasePath(TailFrom(path, p));
        }
    }
    const std::string gameFolderName = LastFolder(folders.gameFolder);
    int q = gameFolderName.empty() ? 0 : InStr(1, lowerPath, LowerCase(gameFolderName));
    if (q == 0) return ProperCasePath(path);
    std::string t = ProperCasePath(TailFrom(path, q));
    auto r = t.find('\\');
    if (r != std::string::npos) return ProperCasePath(t.substr(r + 1));
    return t;
}

std::string Display(std::string_view text) { return ProperCasePath(DoubleSlash(text)); }

}  // namespace zelvane
