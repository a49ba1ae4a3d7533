#include "prompts/prompt_sounds.hpp"

#include <array>

namespace zelvane {

std::string_view SystemSoundName(int soundNumber) {
    static constexpr std::array<std::string_view, 7> kNames = {".Default",   "SystemAsterisk", "SystemExclamation",
                                                               "SystemExit", "SystemHand",     "SystemQuestion",
                                                               "SystemStart"};
    if (soundNumber < 0 || soundNumber >= static_cast<int>(kNames.size())) return {};
    return kNames[static_cast<std::size_t>(soundNumber)];
}

int SoundForIcon(int iconType) {
    switch (iconType) {
        case 1: return 1;
        case 2: return 4;
        case 3: return 2;
        case 4: return 4;
        default: return 0;
    }
}

}  // namespace zelvane
