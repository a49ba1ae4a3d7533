#pragma once
// The system sounds of the rich prompt.

#include <string_view>

namespace zelvane {

// The alias of a sound number: 0 ".Default" ... 6 "SystemStart"; any other number gives "".
std::string_view SystemSoundName(int soundNumber);
// The sound number that belongs to a prompt icon: 1 -> 1, 2 -> 4, 3 -> 2, 4 -> 4, anything else 0.
int SoundForIcon(int iconType);

}  // namespace zelvane
