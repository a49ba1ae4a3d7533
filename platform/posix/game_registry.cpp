#include "platform/posix/game_registry.hpp"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>

#include "platform/game_keys.hpp"
#include "platform/pattern_match.hpp"
#include "platform/posix/posix_file_system.hpp"
#include "platform/posix/steam_library.hpp"
#include "platform/posix/wine_registry.hpp"

namespace zelvane {
namespace {

bool IsFolder(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Canonical(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

// The entry of a folder with that name in any letter case, or "".
std::string FindInFolder(const std::string& folder, std::string_view name) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return {};
    while (const dirent* entry = ::readdir(dir.get())) {
        if (NamesEqual(entry->d_name, name)) return folder + "/" + entry->d_name;
    }
    return {};
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The folder a registry value of a prefix names, on this machine: its links followed; a missing
// folder as its parent with the links followed and its name; "" when its drive is not mapped.
std::string HostFolderOfValue(const std::string& utf8Path, const std::string& prefix) {
    const std::string host = PosixFileSystem(prefix).HostPathOf(utf8Path);
    if (host.empty()) return {};
    std::string folder = Canonical(host);
    if (folder.empty()) {
        const std::size_t slash = host.rfind('/');
        const std::string parent = Canonical(host.substr(0, slash));
        folder = parent.empty() ? host : parent + host.substr(slash);
    }
    return folder;
}

// The folders a Wine prefix's registry names for the games: for each game its "Path" value, in
// the Wow6432Node view (where a 32-bit installer writes on a 64-bit prefix), then the plain one;
// then GOG's key of the game in both views, whose "path" counts only when it holds dialog.tlk.
void FromWinePrefix(const std::string& prefix, const std::string& kind, int onlyGame, std::vector<FoundGame>& out) {
    const auto registry = WineRegistry::FromPrefix(prefix);
    if (!registry) return;
    for (const GameKeys& g : kGameKeys) {
        if (onlyGame != 0 && g.game != onlyGame) continue;
        const std::string gog = GogGameKey(g);
        const std::pair<std::string, std::string_view> places[] = {
            {Wow6432NodeKey(g.pathKey), kPathValue},
            {std::string(g.pathKey), kPathValue},
            {Wow6432NodeKey(gog), kGogPathValue},
            {gog, kGogPathValue},
        };
        for (const auto& [key, value] : places) {
            const auto text = registry->Utf8String(key, value);
            const auto raw = registry->Query(kHkeyLocalMachine, key, value);
            if (!text || !raw || raw->type != kRegSz || text->empty()) continue;
            FoundGame found;
            found.game = g.game;
            found.windowsPath = raw->data.substr(0, raw->data.find('\0'));
            found.prefix = prefix;
            found.origin = kind + " " + prefix + " (HKEY_LOCAL_MACHINE\\" + key + " \"" + std::string(value) + "\")";
            found.hostFolder = HostFolderOfValue(*text, prefix);
            found.exists = IsFolder(found.hostFolder);
            if (value == kGogPathValue && !IsRegularFile(FindInFolder(found.hostFolder, "dialog.tlk"))) continue;
            out.push_back(std::move(found));
        }
    }
}

// The places of Steam's installations in a home folder, those not there included; an installation
// reached by two of them (~/.steam/steam is usually a link to another) comes once.
std::vector<std::string> SteamRoots(const std::string& home) {
    std::vector<std::string> roots;
    std::vector<std::string> seen;
    constexpr const char* kPlaces[] = {"/.steam/steam", "/.local/share/Steam",
                                       "/.var/app/com.valvesoftware.Steam/.local/share/Steam",
                                       "/snap/steam/common/.local/share/Steam"};
    for (const char* place : kPlaces) {
        const std::string root = home + place;
        const std::string canonical = Canonical(root);
        if (canonical.empty() || !IsFolder(canonical)) {
            roots.push_back(root);
            continue;
        }
        if (std::find(seen.begin(), seen.end(), canonical) != seen.end()) continue;
        seen.push_back(canonical);
        roots.push_back(root);
    }
    return roots;
}

// What a place gave: the games among found[from...] whose folder exists.
std::string Outcome(const std::vector<FoundGame>& found, std::size_t from) {
    bool games[3] = {};
    bool named = false;
    for (std::size_t i = from; i < found.size(); ++i) {
        named = true;
        if (found[i].exists) games[found[i].game] = true;
    }
    if (games[1] && games[2]) return "K1 and K2";
    if (games[1]) return "K1";
    if (games[2]) return "K2";
    return named ? "only folders that are missing" : "no game";
}

// The folders of launchers that hold one Wine prefix each.
struct PrefixFolder {
    const char* kind;    // one prefix
    const char* kinds;   // the folder of them
    const char* folder;  // below the home folder
};

constexpr PrefixFolder kLauncherPrefixes[] = {
    {"the Lutris prefix", "the Lutris prefixes", "/Games"},
    {"the Heroic prefix", "the Heroic prefixes", "/Games/Heroic/Prefixes"},
    {"the Heroic prefix", "the Heroic prefixes", "/Games/Heroic/Prefixes/default"},
    {"the Bottles prefix", "the Bottles prefixes", "/.local/share/bottles/bottles"},
    {"the Bottles prefix", "the Bottles prefixes", "/.var/app/com.usebottles.bottles/data/bottles/bottles"},
};

// The Wine prefixes in a folder (each a folder with drive_c and system.reg), by name.
std::vector<std::string> PrefixesIn(const std::string& folder) {
    std::vector<std::string> prefixes;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return prefixes;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        const std::string prefix = folder + "/" + name;
        if (IsFolder(prefix + "/drive_c") && IsRegularFile(prefix + "/system.reg")) prefixes.push_back(prefix);
    }
    std::sort(prefixes.begin(), prefixes.end());
    return prefixes;
}

class GameSearcher {
public:
    explicit GameSearcher(GameSearchResult& result) : result_(result) {}

    // Reads a Wine prefix once (the same folder by another path is not read again).
    void Prefix(const std::string& prefix, const std::string& kind, int onlyGame) {
        const std::string canonical = Canonical(prefix);
        if (!canonical.empty()) {
            if (std::find(read_.begin(), read_.end(), canonical) != read_.end()) return;
            read_.push_back(canonical);
        }
        if (!IsFolder(prefix)) {
            result_.searched.push_back({kind, prefix, "not there"});
            return;
        }
        const std::size_t before = result_.found.size();
        FromWinePrefix(prefix, kind, onlyGame, result_.found);
        result_.searched.push_back({kind, prefix, Outcome(result_.found, before)});
    }

    void SteamLibrary(const std::string& library) {
        const std::size_t before = result_.found.size();
        for (const GameKeys& g : kGameKeys) {
            const std::string appId(g.steamAppId);
            const std::string folder = SteamAppFolder(library, appId);
            if (folder.empty()) continue;
            FoundGame game;
            game.game = g.game;
            game.hostFolder = folder;
            game.origin = "the Steam library " + library + " (app " + appId + ")";
            if (g.game == 2) {
                if (const std::string assets = FindInFolder(folder, "steamassets"); IsFolder(assets)) {
                    game.hostFolder = assets;
                    game.origin =
                        "the Steam library " + library + " (app " + appId + ", the native port's steamassets)";
                }
            }
            game.exists = IsFolder(game.hostFolder);
            result_.found.push_back(std::move(game));
        }
        result_.searched.push_back({"the Steam library", library, Outcome(result_.found, before)});
    }

    void Launcher(const std::string& home, const PrefixFolder& launcher) {
        const std::string folder = home + launcher.folder;
        if (!IsFolder(folder)) {
            result_.searched.push_back({launcher.kinds, folder + "/*", "not there"});
            return;
        }
        const std::vector<std::string> prefixes = PrefixesIn(folder);
        if (prefixes.empty()) result_.searched.push_back({launcher.kinds, folder + "/*", "no prefix"});
        for (const std::string& prefix : prefixes) Prefix(prefix, launcher.kind, 0);
    }

private:
    GameSearchResult& result_;
    std::vector<std::string> read_;  // the prefixes read, with their links followed
};

}  // namespace

GameSearchResult SearchGames(const GameSearch& search) {
    GameSearchResult result;
    GameSearcher searcher(result);
    if (!search.winePrefix.empty()) searcher.Prefix(search.winePrefix, "the Wine prefix", 0);

    std::vector<std::string> libraries;
    for (const std::string& root : SteamRoots(search.home)) {
        if (!IsFolder(root)) {
            result.searched.push_back({"the Steam installation", root, "not there"});
            continue;
        }
        for (std::string& library : SteamLibraries(root)) {
            bool known = false;
            for (const std::string& l : libraries) known = known || Canonical(l) == Canonical(library);
            if (known) continue;
            searcher.SteamLibrary(library);
            libraries.push_back(std::move(library));
        }
    }
    for (const std::string& library : libraries) {
        for (const GameKeys& g : kGameKeys) {
            const std::string prefix = library + "/steamapps/compatdata/" + std::string(g.steamAppId) + "/pfx";
            if (IsFolder(prefix)) searcher.Prefix(prefix, "the Proton prefix", g.game);
        }
    }
    for (const PrefixFolder& launcher : kLauncherPrefixes) searcher.Launcher(search.home, launcher);
    return result;
}

GameRegistry::GameRegistry(std::vector<FoundGame> found, std::string filesPrefix, HostToWindows hostToWindows)
    : found_(std::move(found)), filesPrefix_(std::move(filesPrefix)), hostToWindows_(std::move(hostToWindows)) {}

std::string GameRegistry::RunPath(const FoundGame& found) const {
    if (!found.prefix.empty() && found.prefix == filesPrefix_) return found.windowsPath;
    if (found.hostFolder.empty()) return found.windowsPath;
    return hostToWindows_(found.hostFolder);
}

const FoundGame* GameRegistry::Answer(int game) const {
    for (const FoundGame& f : found_) {
        if (f.game == game && f.exists) return &f;
    }
    return nullptr;
}

std::optional<RegistryValue> GameRegistry::Query(std::uint32_t root, std::string_view keyPath,
                                                 std::string_view valueName) const {
    if (root != kHkeyLocalMachine || !NamesEqual(valueName, "Path")) return std::nullopt;
    const FoundGame* found = Answer(GameOfKey(keyPath));
    if (found == nullptr) return std::nullopt;
    RegistryValue value;
    value.type = kRegSz;
    value.data = RunPath(*found) + '\0';
    return value;
}

}  // namespace zelvane
