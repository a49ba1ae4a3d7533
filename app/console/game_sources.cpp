#include "app/console/game_sources.hpp"

#include <cstdlib>
#include <vector>

#include "app/console/host_path_form.hpp"
#include "app/console/terminal_text.hpp"
#include "platform/posix/file_registry.hpp"
#include "platform/posix/game_registry.hpp"

namespace zelvane::console {
namespace {

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    return home != nullptr ? home : "";
}

std::string RunPathOf(const std::string& hostPath) { return HostToWindowsPath(hostPath); }

GameRegistry SearchedRegistry(const std::string& winePrefix) {
    return GameRegistry(FindGames(GameSearch{winePrefix, HomeFolder()}), winePrefix, RunPathOf);
}

}  // namespace

std::unique_ptr<Registry> ChooseRegistry(const ConsoleOptions& options, const std::string& winePrefix) {
    if (!options.gameFolder.empty()) {
        std::vector<FoundGame> settled;
        for (int game : {1, 2}) {
            FoundGame found;
            found.game = game;
            found.windowsPath = UserPathToWindows(options.gameFolder);
            found.origin = "--game-folder";
            found.exists = true;
            settled.push_back(found);
        }
        return std::make_unique<GameRegistry>(std::move(settled), winePrefix, RunPathOf);
    }
    if (!options.registryFile.empty()) return std::make_unique<FileRegistry>(options.registryFile);
    return std::make_unique<GameRegistry>(SearchedRegistry(winePrefix));
}

void PrintFoundGames(const std::string& winePrefix, std::ostream& out) {
    const GameRegistry registry = SearchedRegistry(winePrefix);
    if (registry.Found().empty()) {
        out << "No game folder found.\n";
        return;
    }
    for (const FoundGame& found : registry.Found()) {
        out << (found.game == 1 ? "K1 " : "K2 ")
            << (found.hostFolder.empty() ? TerminalLine(found.windowsPath) + " (not found)"
                                         : HostTerminalLine(found.hostFolder));
        if (!found.hostFolder.empty() && !found.exists) out << " (missing)";
        if (registry.Answer(found.game) == &found) out << " (used by a run)";
        out << "\n   run path: " << TerminalLine(registry.RunPath(found)) << "\n   found in: "
            << HostTerminalLine(found.origin) << "\n";
    }
}

}  // namespace zelvane::console
