#pragma once
// Where zelvane-console takes the game folder from on Linux: --game-folder settles it, --registry
// gives the registry values, else the games are looked for on this machine (Wine and the
// launchers' prefixes, Steam, Proton).

#include <memory>
#include <ostream>
#include <string>

#include "app/console/console_options.hpp"
#include "platform/seams/registry.hpp"

namespace zelvane::console {

// The registry the run reads the game folder from. winePrefix: the file system's prefix. When the
// search finds no folder for the game a run asks for, the places it looked in and the options to
// pass are written to `out` before the run asks for the folder.
std::unique_ptr<Registry> ChooseRegistry(const ConsoleOptions& options, const std::string& winePrefix,
                                         std::ostream& out);

// --find-games: every folder found, where it came from, the path a run is given and which
// folder a run takes ("No game folder found." when there is none), then every place looked in;
// the options to pass when a run would find no folder.
void PrintFoundGames(const std::string& winePrefix, std::ostream& out);

}  // namespace zelvane::console
