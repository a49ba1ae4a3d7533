#pragma once
// Steam's own files on this machine: the text key-value format of libraryfolders.vdf and the
// app manifests (appmanifest_<appid>.acf), the libraries an installation lists, and the folder
// an installed app lives in.

#include <string>
#include <string_view>
#include <vector>

namespace zelvane {

struct VdfNode {
    std::string key;
    std::string value;              // for a key with a plain value
    std::vector<VdfNode> children;  // for a key with a { } block
    bool block = false;

    // The first child of that key (case ignored), or nullptr.
    const VdfNode* Child(std::string_view name) const;
};

// The top-level nodes of a text; what cannot be parsed ends the text, and so does a block nested
// more than 64 deep (the parser recurses once per level).
std::vector<VdfNode> ParseVdf(std::string_view text);

// The library folders of a Steam installation: the installation itself, then the folders its
// steamapps/libraryfolders.vdf lists (both the old and the current layout), each once.
std::vector<std::string> SteamLibraries(const std::string& steamRoot);

// The folder of an installed app in a library, from its app manifest: <library>/steamapps/common/
// <installdir>; "" when the library has no manifest for it.
std::string SteamAppFolder(const std::string& library, const std::string& appId);

}  // namespace zelvane
