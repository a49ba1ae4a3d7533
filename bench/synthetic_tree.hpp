#pragma once
// A synthetic K2 install for measuring a removal run: an override folder with many files in nested
// subfolders, and a description whose file list names the mod's files.

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <string>
#include <vector>

namespace zelvane::bench {

// Of the files a tenth are listed, a 25th moved by the player into subfolders; a folder per 100.
struct TreeShape {
    std::size_t files = 50000;            // files in override and below, mod files and tables included
    std::size_t playerDirectPercent = 0;  // share of the player's files directly in override
    bool upperCaseList = false;           // the list in upper case, the files on disk in lower case
    std::size_t tables = 0;               // 2da tables in subfolders of override with a backup to restore
};

inline TreeShape Scaled(std::size_t divisor) { return {50000 / divisor}; }

struct PlannedFile {
    std::string path;  // relative to the game folder, backslashes
    std::string bytes;
};

// What to make, relative to the game folder, and what the run deletes.
struct SyntheticInstall {
    std::vector<std::string> folders;  // override first, then every subfolder, parents before children
    std::vector<PlannedFile> files;    // in creation order
    std::vector<std::string> entries;  // the file-list lines, "override\..." relative to the game folder
    std::vector<std::string> deleted;  // where the listed files lie (relative), in list order
    std::vector<std::string> tables;   // file names of the 2da tables (backups in backup\ beside the program)
};

// Folder k (1-based) lies below folder (k - 1) / 5, so the tree is five wide and about four deep;
// the player's files are spread evenly (some directly in override), the moved mod files every 7th
// folder, the tables every 13th.
inline SyntheticInstall PlanInstall(const TreeShape& shape) {
    const std::size_t folders = std::max<std::size_t>(shape.files / 100, 1), listed = shape.files / 10;
    SyntheticInstall out{{"override"}, {}, {}, {}, {}};
    for (std::size_t k = 1; k <= folders; ++k)
        out.folders.push_back(out.folders[(k - 1) / 5] + "\\Sub" + std::to_string(k));
    auto subfolder = [&](std::size_t i) { return out.folders[1 + i % folders] + "\\"; };
    for (std::size_t i = 0; i < listed; ++i) {
        const std::string name = "mod_" + std::to_string(i) + ".tga";
        out.deleted.push_back((i < listed - shape.files / 25 ? "override\\" : subfolder(i * 7)) + name);
        out.files.push_back({out.deleted.back(), "x"});
        out.entries.push_back("override\\" + name);
        for (char& c : out.entries.back()) c = shape.upperCaseList ? static_cast<char>(std::toupper(c)) : c;
    }
    for (std::size_t i = 0; i < shape.tables; ++i) {
        out.tables.push_back("table_" + std::to_string(i) + ".2da");
        out.files.push_back({subfolder(i * 13) + out.tables.back(), "2DA V2.0 modded"});
    }
    const std::size_t playerFiles = shape.files - listed - shape.tables;
    for (std::size_t i = 0; i < playerFiles; ++i) {
        const bool direct = i < playerFiles * shape.playerDirectPercent / 100;
        out.files.push_back({(direct ? "override\\" : subfolder(i)) + "player_" + std::to_string(i) + ".2da", "x"});
    }
    return out;
}

// The description file: "#file_list" followed by the entries, CR LF line ends; the 2da restore of
// the tables when there are any.
inline std::string FileListDescription(const std::vector<std::string>& entries,
                                       const std::vector<std::string>& tables = {}) {
    std::string text = "#game=2\r\n", list;
    for (const std::string& table : tables) list += (list.empty() ? "" : ",") + table;
    if (!tables.empty()) text += "#qrestore_2da=1\r\n#qrestore_2da_files=" + list + "\r\n";
    text += "#file_list\r\n";
    for (const std::string& e : entries) text += e + "\r\n";
    return text;
}

}  // namespace zelvane::bench
