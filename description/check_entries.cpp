// The paths of the file list and the q-entries, and the names of the 2da list.

#include <map>

#include "description/check_parts.hpp"
#include "platform/paths/windows_path.hpp"
#include "util/entry_name.hpp"
#include "util/strings.hpp"

namespace zelvane::check {
namespace {

// A line of the file list that reads like a sentence rather than a file name.
bool LooksLikeProse(std::string_view entry) {
    if (entry.find(' ') == std::string_view::npos || entry.find_first_of("\\/") != std::string_view::npos) return false;
    std::size_t words = 0;
    bool inWord = false;
    for (const char c : entry) {
        const bool blank = c == ' ' || c == '\t';
        if (!blank && !inWord) ++words;
        inWord = !blank;
    }
    const char last = entry.back();
    return words >= 3 || entry.find('.') == std::string_view::npos || last == '.' || last == ':' || last == '!' ||
           last == '?' || last == ',';
}

// The key under which two entries name the same file.
std::string SameFileKey(std::string_view path) {
    std::string key = LowerCase(path);
    for (char& c : key) {
        if (c == '/') c = '\\';
    }
    return key;
}

void AddPathProblems(std::vector<Diagnostic>& out, int line, const std::string& what, std::string_view path) {
    for (const std::string& problem : PathProblems(path)) Add(out, line, Severity::Warning, what + " " + problem);
}

}  // namespace

std::vector<std::string> PathProblems(std::string_view path) {
    std::vector<std::string> problems;
    if (path.empty()) {
        problems.emplace_back("names no file");
        return problems;
    }
    // What the run makes of the entry: its own reading of it.
    const EntryName name = ResolveEntry(path);
    if (path.front() == ' ' || path.front() == '\t') {
        problems.emplace_back("begins with a blank, which becomes part of the name");
    }
    bool dots = false;
    bool trailing = false;
    for (std::string_view part : SplitPathNames(path)) {
        if (part == "..") {
            dots = true;
        } else if (part != "." && StoredName(part) != part) {
            trailing = true;
        }
    }
    if (name.kind == EntryKind::Outside) {
        problems.emplace_back(
            dots && path.find(':') == std::string_view::npos
                ? "leaves the game folder with \"..\"; the run refuses it"
                : "is an absolute path; entries are relative to the game folder, and the run refuses it");
    } else if (name.kind == EntryKind::NotPlainName) {
        problems.emplace_back("names a stream or a device, not a plain file; the run never deletes it");
    } else if (IsPathSeparator(path.front())) {
        problems.emplace_back("begins with a separator, which the run reads below the game folder all the same");
    }
    if (dots && name.kind == EntryKind::File) {
        problems.emplace_back("uses \"..\"; the run reads it as " + Quoted(name.relative));
    }
    if (path.find_first_of("*?") != std::string_view::npos) {
        problems.emplace_back(
            "contains a wildcard; an entry names one file, so the run finds none and logs File Not Found");
    }
    if (trailing) {
        problems.emplace_back(
            name.kind == EntryKind::File
                ? "has a name that ends with a space or a dot, which Windows drops; the run reads it as " +
                      Quoted(name.relative)
                : std::string("has a name that ends with a space or a dot, which Windows drops"));
    } else if (path.back() == '\t') {
        problems.emplace_back("ends with a tab, so it names no file and the run logs File Not Found");
    }
    if (path.find('/') != std::string_view::npos) {
        problems.emplace_back("uses \"/\" between names; write \"\\\" (the subfolder search of override expects it)");
    }
    return problems;
}

std::vector<Diagnostic> CheckEntries(const DescriptionText& text) {
    std::vector<Diagnostic> out;
    std::map<std::string, int> firstLine;
    for (const int n : text.entryLines) {
        const std::string& entry = text.Line(n).text;
        const std::string what = "file-list entry " + Quoted(entry);
        if (text.InsideBlock(n)) {
            Add(out, n, Severity::Warning,
                "this line of a text block stands after #file_list, so it is also a file-list entry; put the text "
                "blocks above #file_list");
            continue;
        }
        if (LooksLikeProse(entry)) {
            Add(out, n, Severity::Warning,
                what +
                    " looks like prose, but every line after #file_list that does not begin with ;, # or a space "
                    "names a file to delete");
            continue;
        }
        AddPathProblems(out, n, what, entry);
        if (const EntryName name = ResolveEntry(entry);
            name.kind == EntryKind::File && name.relative.find('\\') == std::string::npos) {
            Add(out, n, Severity::Warning,
                what + " has no folder: the run looks for it in the game's main folder, not in override");
        }
        const auto [it, inserted] = firstLine.emplace(SameFileKey(entry), n);
        if (!inserted) {
            Add(out, n, Severity::Warning,
                what + " repeats line " + std::to_string(it->second) + ", so the run logs it as File Not Found");
        }
    }
    for (const DescriptionLine& line : text.lines) {
        if (IsQueuedEntry(line)) {
            AddPathProblems(out, line.number, line.key->Text() + " path " + Quoted(line.Value()), line.Value());
        }
    }

    for (const DescriptionLine& line : text.lines) {
        if (!line.Carries("#qrestore_2da_files=") || line.Value().empty()) continue;
        const int n = line.number;
        for (const std::string& name : SplitText(line.Value(), ",")) {
            const std::size_t first = name.find_first_not_of(" \t");
            if (first == std::string::npos) {
                Add(out, n, Severity::Warning,
                    "the 2da list has an empty item (two commas together, or a comma at an end), which is reported as "
                    "missing");
                continue;
            }
            const std::size_t last = name.find_last_not_of(" \t");
            if (first != 0 || last + 1 != name.size()) {
                Add(out, n, Severity::Warning,
                    "the 2da list item " + Quoted(name) +
                        " has blanks around it, so it never matches its backup and is reported as missing; separate "
                        "the names by \",\" alone");
            }
            const std::string trimmed = LowerCase(std::string_view(name).substr(first, last + 1 - first));
            if (!trimmed.ends_with(".2da") || trimmed.find_first_of("\\/") != std::string::npos) {
                Add(out, n, Severity::Warning,
                    "the 2da list item " + Quoted(name) + " is not a .2da file name, so no backup ever matches it");
            }
        }
    }
    return out;
}

}  // namespace zelvane::check
