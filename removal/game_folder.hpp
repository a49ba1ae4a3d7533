#pragma once
// Locating the chosen game's main folder: the registry entry, else a browsed folder whose
// dialog.tlk carries the talk-table header.

#include "removal/game.hpp"
#include "removal/run_state.hpp"

namespace zelvane {

// Sets run.gameFolder and returns true, or shows the stop message and returns false.
// A dialog.tlk that exists but cannot be read throws the run's error.
bool LocateGameFolder(RunState& run);

// The folder the registry names for the game, as stored; "" when it names none.
std::string RegistryGameFolder(const Registry& registry, Game game);

// Where the folder dialog starts when the game's own registry entry is missing: the first folder
// that Steam's uninstall entry or GOG's key of the game names (each in both registry views) and
// that holds a normal file dialog.tlk; "" when none does.
std::string LauncherGameFolder(const FileSystem& fs, const Registry& registry, Game game);

enum class GameFolderCheck { Valid, InvalidFolder, InvalidTalkTable };

// The checks of a browsed folder: it exists, holds a normal file dialog.tlk (any letter case)
// and that file begins with the talk-table header. A dialog.tlk that exists but cannot be read
// throws the run's error.
GameFolderCheck CheckGameFolder(const FileSystem& fs, const std::string& folder);
// The stop message of a failed check ("Invalid game folder - shutting down." or "Invalid
// dialog.tlk file." with the hint about testing folders).
void ShowGameFolderStop(UserInterface& ui, GameFolderCheck check);

// The stored name of the normal file (not a folder, not hidden or system) that a lookup of
// folder\name finds, or "" when there is none.
std::string FindNormalFileName(const FileSystem& fs, std::string_view folder, std::string_view name);

}  // namespace zelvane
