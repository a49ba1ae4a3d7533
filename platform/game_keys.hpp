#pragma once
// Where the registry names the games' folders, all under HKEY_LOCAL_MACHINE: the games' own
// installers write "Path"; Steam writes "InstallLocation" in its uninstall entry of each game;
// GOG's installers write "path" under GOG.com\Games\<id>. Steam and GOG are 32-bit writers: on a
// 64-bit system their keys are seen below Software\Wow6432Node by a reader of the 64-bit view.

#include <string>
#include <string_view>

#include "platform/pattern_match.hpp"

namespace zelvane {

struct GameKeys {
    int game;                     // 1 (K1) or 2 (K2)
    std::string_view steamAppId;  // Steam's app id
    std::string_view gogId;       // GOG's game id
    std::string_view pathKey;     // the game's own key, value "Path"
};

inline constexpr GameKeys kGameKeys[] = {
    {1, "32370", "1207666283", "Software\\BioWare\\SW\\KOTOR"},
    {2, "208580", "1421404581", "Software\\LucasArts\\KotOR2"},
};

inline constexpr std::string_view kPathValue = "Path";
inline constexpr std::string_view kSteamLocationValue = "InstallLocation";
inline constexpr std::string_view kGogPathValue = "path";

// The keys of game 1 or 2; nullptr for any other number.
inline const GameKeys* KeysOfGame(int game) {
    for (const GameKeys& keys : kGameKeys) {
        if (keys.game == game) return &keys;
    }
    return nullptr;
}

// Steam's uninstall entry of the game.
inline std::string SteamUninstallKey(const GameKeys& keys) {
    return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Steam App " + std::string(keys.steamAppId);
}

// GOG's key of the game.
inline std::string GogGameKey(const GameKeys& keys) { return "Software\\GOG.com\\Games\\" + std::string(keys.gogId); }

// The same key as a reader of the 64-bit view sees a 32-bit writer's key ("Software\X" gives
// "Software\Wow6432Node\X").
inline std::string Wow6432NodeKey(std::string_view key) {
    constexpr std::string_view kSoftware = "Software\\";
    return "Software\\Wow6432Node\\" + std::string(key.substr(kSoftware.size()));
}

// The game whose "Path" key this is (case and surrounding backslashes ignored): 1 or 2, 0 for any
// other key.
inline int GameOfKey(std::string_view keyPath) {
    while (keyPath.starts_with('\\')) keyPath.remove_prefix(1);
    while (keyPath.ends_with('\\')) keyPath.remove_suffix(1);
    for (const GameKeys& keys : kGameKeys) {
        if (NamesEqual(keyPath, keys.pathKey)) return keys.game;
    }
    return 0;
}

}  // namespace zelvane
