#pragma once
// A synthetic K2 install for measuring the file-list phase: an override folder with many files in
// nested subfolders, and a description whose file list names the mod's files, some of which the
// player moved into subfolders.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/seams/file_system.hpp"

namespace zelvane::bench {

struct TreeShape {
    std::size_t files = 50000;     // files in override and below, mod files included
    std::size_t folders = 500;     // nested subfolders of override
    std::size_t listEntries = 5000;  // entries of the file list
    std::size_t moved = 2000;      // of those, moved into subfolders
    std::size_t missing = 0;       // further entries whose file is nowhere
};

// The shape scaled down: files, folders and entries divided by divisor (at least one folder).
inline TreeShape Scaled(std::size_t divisor) {
    TreeShape s;
    s.files /= divisor;
    s.folders = s.folders / divisor > 0 ? s.folders / divisor : 1;
    s.listEntries /= divisor;
    s.moved /= divisor;
    return s;
}

struct SyntheticInstall {
    std::vector<std::string> entries;  // the file-list lines, "override\..." relative to the game folder
    std::size_t treeEntries = 0;       // files and folders below override: one read of each is the minimum
};

// Writes the tree through the seam (so it works for the in-memory and the host file system) and
// returns the file list. The folder that holds override must exist. Folder k (1-based) lies below folder (k - 1) / 5, so the tree is five wide
// and about four deep; the player's files are spread evenly, the moved mod files every 7th folder.
inline SyntheticInstall BuildInstall(FileSystem& fs, const std::string& overrideFolder, const TreeShape& shape) {
    SyntheticInstall out;
    std::vector<std::string> folders{overrideFolder};
    fs.CreateFolder(overrideFolder);
    for (std::size_t k = 1; k <= shape.folders; ++k) {
        const std::string path = folders[(k - 1) / 5] + "\\Sub" + std::to_string(k);
        fs.CreateFolder(path);
        folders.push_back(path);
    }
    const std::size_t direct = shape.listEntries - shape.moved;
    const std::size_t playerFiles = shape.files - shape.listEntries;
    for (std::size_t i = 0; i < shape.listEntries; ++i) {
        const std::string name = "mod_" + std::to_string(i) + ".tga";
        out.entries.push_back("override\\" + name);
        const std::string folder = i < direct ? overrideFolder : folders[1 + (i * 7) % shape.folders];
        fs.WriteAll(folder + "\\" + name, "x");
    }
    for (std::size_t i = 0; i < playerFiles; ++i) {
        fs.WriteAll(folders[1 + i % shape.folders] + "\\player_" + std::to_string(i) + ".2da", "x");
    }
    for (std::size_t i = 0; i < shape.missing; ++i) out.entries.push_back("override\\gone_" + std::to_string(i) + ".uti");
    out.treeEntries = shape.files + shape.folders;
    return out;
}

// The description file: "#file_list" followed by the entries, CR LF line ends.
inline std::string FileListDescription(const std::vector<std::string>& entries) {
    std::string text = "#game=2\r\n#file_list\r\n";
    for (const std::string& e : entries) text += e + "\r\n";
    return text;
}

}  // namespace zelvane::bench
