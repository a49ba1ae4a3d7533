#pragma once
// Where the games are on a Linux machine, answered as the registry's two "Path" values:
//   1. a Wine prefix's system.reg (HKEY_LOCAL_MACHINE\Software\Wow6432Node\... first, then the
//      plain view) for BioWare\SW\KOTOR and LucasArts\KotOR2;
//   2. Steam: every library of ~/.steam/steam, ~/.local/share/Steam and the Flatpak installation,
//      the games by their app manifests (K1 32370, K2 208580) in steamapps/common, the K2 native
//      port's steamassets folder (which holds dialog.tlk and the override the port reads);
//   3. each game's Proton prefix (steamapps/compatdata/<appid>/pfx) as a Wine prefix.
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

struct GameSearch {
    std::string winePrefix;  // the prefix to read first (--wine-prefix, $WINEPREFIX or ~/.wine)
    std::string home;        // the home folder Steam is looked for in
};

// Every game folder found, in the order above.
std::vector<FoundGame> FindGames(const GameSearch& search);

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

// The registry key of a game's "Path" value: 1 or 2, 0 for any other key.
int GameOfKey(std::string_view keyPath);

}  // namespace zelvane
