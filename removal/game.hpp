#pragma once
// The two games a mod is removed from.

#include <optional>

namespace zelvane {

enum class Game { K1 = 1, K2 = 2 };

// The game that the description's number (#game=, read as the 16-bit integer it is) names:
// 1 K1, 2 K2, nothing for any other number.
inline std::optional<Game> GameOfNumber(int number) {
    if (number == 1) return Game::K1;
    if (number == 2) return Game::K2;
    return std::nullopt;
}

// The game's number, as the log and the registry keys write it.
inline int GameNumber(Game game) { return static_cast<int>(game); }

}  // namespace zelvane
