#include "platform/posix/game_registry.hpp"

#include <dirent.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <memory>

#include "platform/pattern_match.hpp"
#include "platform/posix/host_paths.hpp"
#include "platform/posix/steam_library.hpp"
#include "platform/posix/wine_registry.hpp"

namespace zelvane {
namespace {

struct GameKeys {
    int game;
    const char* appId;
    const char* key;
};

constexpr GameKeys kGames[] = {
    {1, "32370", "Software\\BioWare\\SW\\KOTOR"},
    {2, "208580", "Software\\LucasArts\\KotOR2"},
};

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

// The "Path" values of a Wine prefix: for each game, the Wow6432Node view (where a 32-bit
// installer writes on a 64-bit prefix), then the plain one.
void FromWinePrefix(const std::string& prefix, const std::string& kind, int onlyGame, std::vector<FoundGame>& out) {
    const auto registry = WineRegistry::FromPrefix(prefix);
    if (!registry) return;
    for (const GameKeys& g : kGames) {
        if (onlyGame != 0 && g.game != onlyGame) continue;
        const std::string plain = g.key;
        const std::string redirected = "Software\\Wow6432Node\\" + plain.substr(std::string("Software\\").size());
        for (const std::string& key : {redirected, plain}) {
            const auto text = registry->Utf8String(key, "Path");
            const auto raw = registry->Query(kHkeyLocalMachine, key, "Path");
            if (!text || !raw || raw->type != kRegSz || text->empty()) continue;
            FoundGame found;
            found.game = g.game;
            found.windowsPath = raw->data.substr(0, raw->data.find('\0'));
            found.prefix = prefix;
            found.origin = kind + " " + prefix + " (HKEY_LOCAL_MACHINE\\" + key + " \"Path\")";
            const posix::HostPath host = posix::ResolveHostPath(*text, prefix);
            if (host.status == FsStatus::Ok || host.status == FsStatus::FileNotFound) {
                found.hostFolder = Canonical(host.host);
                if (found.hostFolder.empty()) {
                    // Missing: its folder with the links followed, and its name.
                    const std::size_t slash = host.host.rfind('/');
                    const std::string folder = Canonical(host.host.substr(0, slash));
                    found.hostFolder = folder.empty() ? host.host : folder + host.host.substr(slash);
                }
            }
            found.exists = IsFolder(found.hostFolder);
            out.push_back(std::move(found));
        }
    }
}

std::vector<std::string> SteamRoots(const std::string& home) {
    std::vector<std::string> roots;
    std::vector<std::string> seen;
    constexpr const char* kPlaces[] = {"/.steam/steam", "/.local/share/Steam",
                                       "/.var/app/com.valvesoftware.Steam/.local/share/Steam"};
    for (const char* place : kPlaces) {
        const std::string root = home + place;
        const std::string canonical = Canonical(root);
        if (canonical.empty() || !IsFolder(canonical)) continue;
        bool known = false;
        for (const std::string& s : seen) known = known || s == canonical;
        if (known) continue;
        seen.push_back(canonical);
        roots.push_back(root);
    }
    return roots;
}

}  // namespace

int GameOfKey(std::string_view keyPath) {
    while (keyPath.starts_with('\\')) keyPath.remove_prefix(1);
    while (keyPath.ends_with('\\')) keyPath.remove_suffix(1);
    for (const GameKeys& g : kGames) {
        if (NamesEqual(keyPath, g.key)) return g.game;
    }
    return 0;
}

std::vector<FoundGame> FindGames(const GameSearch& search) {
    std::vector<FoundGame> found;
    if (!search.winePrefix.empty()) FromWinePrefix(search.winePrefix, "the Wine prefix", 0, found);

    std::vector<std::string> libraries;
    for (const std::string& root : SteamRoots(search.home)) {
        for (std::string& library : SteamLibraries(root)) {
            bool known = false;
            for (const std::string& l : libraries) known = known || Canonical(l) == Canonical(library);
            if (!known) libraries.push_back(std::move(library));
        }
    }
    for (const std::string& library : libraries) {
        for (const GameKeys& g : kGames) {
            const std::string folder = SteamAppFolder(library, g.appId);
            if (folder.empty()) continue;
            FoundGame game;
            game.game = g.game;
            game.hostFolder = folder;
            game.origin = "the Steam library " + library + " (app " + g.appId + ")";
            if (g.game == 2) {
                if (const std::string assets = FindInFolder(folder, "steamassets"); IsFolder(assets)) {
                    game.hostFolder = assets;
                    game.origin =
                        "the Steam library " + library + " (app " + g.appId + ", the native port's steamassets)";
                }
            }
            game.exists = IsFolder(game.hostFolder);
            found.push_back(std::move(game));
        }
    }
    for (const std::string& library : libraries) {
        for (const GameKeys& g : kGames) {
            const std::string prefix = library + "/steamapps/compatdata/" + g.appId + "/pfx";
            if (IsFolder(prefix)) FromWinePrefix(prefix, "the Proton prefix", g.game, found);
        }
    }
    return found;
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
