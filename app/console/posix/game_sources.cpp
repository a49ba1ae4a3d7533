#include "app/console/posix/game_sources.hpp"

#include <cstdlib>
#include <vector>

#include "app/console/console_host.hpp"
#include "app/console/game_folder_registry.hpp"
#include "app/console/posix/host_path_form.hpp"
#include "app/console/terminal_text.hpp"
#include "platform/game_keys.hpp"
#include "platform/posix/file_registry.hpp"
#include "platform/posix/game_registry.hpp"

namespace zelvane::console {
namespace {

constexpr const char* kWhatToPass =
    "Pass the game's folder with --game-folder DIR (the folder that holds dialog.tlk) or its Wine prefix with "
    "--wine-prefix DIR.";

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    return home != nullptr ? home : "";
}

std::string RunPathOf(const std::string& hostPath) { return HostToWindowsPath(hostPath); }

GameSearchResult Search(const std::string& winePrefix) { return SearchGames(GameSearch{winePrefix, HomeFolder()}); }

void PrintPlaces(const std::vector<SearchedPlace>& places, std::ostream& out) {
    out << "Looked in:\n";
    for (const SearchedPlace& place : places) {
        out << "  " << place.what << " " << HostTerminalLine(place.folder) << ": " << place.outcome << "\n";
    }
}

// The search's answers. When the run asks for a game the search found no folder for, the player
// is told where it looked and what to pass.
class SearchedRegistry final : public Registry {
public:
    SearchedRegistry(GameSearchResult search, const std::string& winePrefix, std::ostream& out)
        : registry_(std::move(search.found), winePrefix, RunPathOf), searched_(std::move(search.searched)), out_(out) {}

    std::optional<RegistryValue> Query(std::uint32_t root, std::string_view keyPath,
                                       std::string_view valueName) const override {
        std::optional<RegistryValue> value = registry_.Query(root, keyPath, valueName);
        const int game = GameOfKey(keyPath);
        if (!value && game != 0 && NamesEqual(valueName, kPathValue)) {
            out_ << "No K" << game << " game folder found.\n";
            PrintPlaces(searched_, out_);
            out_ << kWhatToPass << "\n\n" << std::flush;
        }
        return value;
    }

private:
    GameRegistry registry_;
    std::vector<SearchedPlace> searched_;
    std::ostream& out_;
};

}  // namespace

std::unique_ptr<Registry> ChooseRegistry(const ConsoleOptions& options, const std::string& winePrefix,
                                         std::ostream& out) {
    if (!options.gameFolder.empty()) {
        return std::make_unique<GameFolderRegistry>(TypedPathToWindows(options.gameFolder));
    }
    if (!options.registryFile.empty()) return std::make_unique<FileRegistry>(options.registryFile);
    return std::make_unique<SearchedRegistry>(Search(winePrefix), winePrefix, out);
}

void PrintFoundGames(const std::string& winePrefix, std::ostream& out) {
    GameSearchResult search = Search(winePrefix);
    const std::vector<SearchedPlace> searched = search.searched;
    const GameRegistry registry(std::move(search.found), winePrefix, RunPathOf);
    if (registry.Found().empty()) out << "No game folder found.\n";
    for (const FoundGame& found : registry.Found()) {
        out << (found.game == 1 ? "K1 " : "K2 ")
            << (found.hostFolder.empty() ? TerminalLine(found.windowsPath) + " (not found)"
                                         : HostTerminalLine(found.hostFolder));
        if (!found.hostFolder.empty() && !found.exists) out << " (missing)";
        if (registry.Answer(found.game) == &found) out << " (used by a run)";
        out << "\n   run path: " << TerminalLine(registry.RunPath(found))
            << "\n   found in: " << HostTerminalLine(found.origin) << "\n";
    }
    PrintPlaces(searched, out);
    if (registry.Answer(1) == nullptr && registry.Answer(2) == nullptr) out << kWhatToPass << "\n";
}

}  // namespace zelvane::console
