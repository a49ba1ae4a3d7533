#pragma once
// Where the games are on a Linux machine, answered as the registry's two "Path" values:
//   1. a Wine prefix's system.reg (HKEY_LOCAL_MACHINE\Software\Wow6432Node\... first, then the
//      plain view) for BioWare\SW\KOTOR and LucasArts\KotOR2, then GOG's keys of the games
//      (value "path"), taken only when their folder holds the game's dialog.tlk;
//   2. Steam: every library of ~/.steam/steam, ~/.local/share/Steam, the Flatpak and the Snap
//      installation, the games by their app manifests (K1 32370, K2 208580) in steamapps/common,
//      the K2 native port's steamassets folder (which holds dialog.tlk and the override the port
//      reads);
//   3. each game's Proton prefix (steamapps/compatdata/<appid>/pfx) as a Wine prefix;
//   4. the prefixes of the usual launchers as Wine prefixes: Lutris (~/Games/*), Heroic
//      (~/Games/Heroic/Prefixes/* and its default/*) and Bottles (~/.local/share/bottles/bottles/*
//      and the Flatpak's), each a folder with drive_c and system.reg.
// The first found folder that exists answers. A folder named by the file system's own prefix is
// given as that prefix names it ("C:\Games\Kotor"); any other as its host path on drive Z:.

#include <functional>
#include <string>
#include <vector>

#include "platform/seams/registry.hpp"

namespace zelvane {

struct FoundGame {
    int game = 0;             // 1 (K1) or 2 (K2)
    std::string hostFolder;   // the folder on this machine; "" when a folder on the way is missing
    std::string windowsPath;  // as the prefix's registry names it (code page 1252); "" for Steam
    std::string prefix;       // the Wine prefix whose registry names it; "" for Steam
    std::string origin;       // where it was found, for the player
    bool exists = false;      // the folder is there
};

// A place the search looked in, and what it found there: "not there", "no prefix" (a folder of
// launcher prefixes that holds none), "no game", "only folders that are missing", or the games
// whose folder exists ("K1", "K2", "K1 and K2").
struct SearchedPlace {
    std::string what;    // "the Wine prefix", "the Steam library", "the Lutris prefixes", ...
    std::string folder;  // the host folder; "<folder>/*" for a folder of launcher prefixes
    std::string outcome;
};

struct GameSearch {
    std::string winePrefix;  // the prefix to read first (--wine-prefix, $WINEPREFIX or ~/.wine)
    std::string home;        // the home folder Steam is looked for in
};

struct GameSearchResult {
    std::vector<FoundGame> found;         // every game folder found, in the order above
    std::vector<SearchedPlace> searched;  // every place looked in, in the same order
};

GameSearchResult SearchGames(const GameSearch& search);

class GameRegistry final : public Registry {
public:
    // filesPrefix: the Wine prefix the file system maps drive letters through; hostToWindows:
    // the run's Windows path of a host path (on drive Z:).
    using HostToWindows = std::function<std::string(const std::string& hostPath)>;
    GameRegistry(std::vector<FoundGame> found, std::string filesPrefix, HostToWindows hostToWindows);

    std::optional<RegistryValue> Query(std::uint32_t root, std::string_view keyPath,
                                       std::string_view valueName) const override;

    // The path the run is given for a found folder.
    std::string RunPath(const FoundGame& found) const;
    // The folder that answers for a game, or nullptr.
    const FoundGame* Answer(int game) const;
    const std::vector<FoundGame>& Found() const { return found_; }

private:
    std::vector<FoundGame> found_;
    std::string filesPrefix_;
    HostToWindows hostToWindows_;
};

}  // namespace zelvane
