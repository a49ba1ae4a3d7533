// The description compared with folders on disk: the mod's own files, and a game folder searched
// the way the removal run searches it.

#include <algorithm>
#include <set>

#include "description/check_parts.hpp"
#include "util/common.hpp"
#include "util/search_index.hpp"
#include "util/strings.hpp"

namespace zelvane::check {
namespace {

// Every file below the folder, as paths relative to it; folder links are not followed.
void ListFiles(const FileSystem& fs, const std::string& folder, const std::string& relative,
               std::vector<std::string>& files) {
    auto listing = fs.List(AddBackslash(folder) + "*.*");
    if (!listing) return;
    while (auto entry = listing->Next()) {
        if (entry->name == "." || entry->name == "..") continue;
        const std::string path = relative + entry->name;
        if (entry->attributes.directory) {
            if (!entry->attributes.link) ListFiles(fs, AddBackslash(folder) + entry->name, path + "\\", files);
        } else {
            files.push_back(path);
        }
    }
}

// A path that the run would refuse is not looked up at all.
bool Usable(std::string_view path) { return PathProblems(path).empty(); }

std::string KindOf(const DescriptionLine& entry) { return entry.key->Text() + " path " + Quoted(entry.Value()); }

}  // namespace

std::vector<Diagnostic> CheckModFolder(const FileSystem& fs, const DescriptionText& text,
                                       const std::string& modFolder) {
    std::vector<Diagnostic> out;
    if (!FolderExists(fs, modFolder)) {
        Add(out, 0, Severity::Error, "the mod folder " + Quoted(modFolder) + " does not exist");
        return out;
    }
    std::set<std::string> removed;  // lower-cased relative paths that some entry takes care of
    auto look = [&](int line, const std::string& what, const std::string& path) {
        removed.insert(LowerCase(path));
        if (!Usable(path)) return;
        if (!FileExists(fs, AddBackslash(modFolder) + path)) {
            Add(out, line, Severity::Warning, what + " is not among the mod's files");
        }
    };
    for (const int n : text.entryLines) {
        if (!text.InsideBlock(n)) look(n, "file-list entry " + Quoted(text.Line(n).text), text.Line(n).text);
    }
    for (const DescriptionLine& line : text.lines) {
        if (IsQueuedEntry(line)) look(line.number, KindOf(line), std::string(line.Value()));
    }
    // The 2da tables the list names are put back from their backups rather than deleted.
    for (const std::string& name : Listed2daNames(text)) removed.insert("override\\" + LowerCase(name));

    std::vector<std::string> files;
    ListFiles(fs, modFolder, "", files);
    // Reported in name order, whatever order the folder lists them in.
    std::sort(files.begin(), files.end(),
              [](const std::string& a, const std::string& b) { return LowerCase(a) < LowerCase(b); });
    for (const std::string& file : files) {
        const std::string lower = LowerCase(file);
        if (lower.ends_with(".original") || removed.contains(lower)) continue;
        Add(out, text.fileListLine, Severity::Warning, "the mod's file " + Quoted(file) + " is removed by no entry");
    }
    return out;
}

std::vector<Diagnostic> CheckGameFolder(const FileSystem& fs, const DescriptionText& text,
                                        const std::string& gameFolder, GameChoice choice) {
    std::vector<Diagnostic> out;
    if (!FolderExists(fs, gameFolder)) {
        Add(out, 0, Severity::Error, "the game folder " + Quoted(gameFolder) + " does not exist");
        return out;
    }
    const std::string root = AddBackslash(gameFolder);
    SearchIndex index;
    const bool searchesSubfolders = choice.select || choice.game == 2;
    for (const int n : text.entryLines) {
        const std::string& entry = text.Line(n).text;
        if (text.InsideBlock(n) || !Usable(entry)) continue;
        const std::string what = "file-list entry " + Quoted(entry);
        if (FileExists(fs, root + entry)) {
            Add(out, n, Severity::Note, what + " is in the game folder");
            continue;
        }
        if (StartsWithKey(entry, "override\\")) {
            SearchState state;
            index.FindFile(fs, root + "override\\*.*", GetFileName(entry), true, state);
            if (state.found && FileExists(fs, state.result)) {
                const std::string found = Quoted(state.result.substr(root.size()));
                Add(out, n, Severity::Note,
                    searchesSubfolders ? what + " is only in a subfolder of override, at " + found +
                                             "; for K2 the run asks before deleting it there"
                                       : what + " is only in a subfolder of override, at " + found +
                                             "; for K1 the run does not search there and logs File Not Found");
                continue;
            }
        }
        Add(out, n, Severity::Note, what + " is not in the game folder; the run logs File Not Found");
    }
    for (const DescriptionLine& entry : text.lines) {
        if (!IsQueuedEntry(entry) || !Usable(entry.Value())) continue;
        const std::string path(entry.Value());
        const bool present = FileExists(fs, root + path);
        if (entry.Carries("#qdelete_file_")) {
            Add(out, entry.number, Severity::Note,
                KindOf(entry) + (present ? " is in the game folder" : " is not in the game folder"));
            continue;
        }
        const bool original = FileExists(fs, root + path + ".original");
        Add(out, entry.number, Severity::Note,
            KindOf(entry) + (present ? " is in the game folder" : " is not in the game folder") +
                (original ? ", and " + Quoted(path + ".original") + " is there to restore"
                          : ", and there is no " + Quoted(path + ".original") + " to restore"));
    }
    return out;
}

}  // namespace zelvane::check
