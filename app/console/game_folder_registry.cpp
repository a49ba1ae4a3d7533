#include "app/console/game_folder_registry.hpp"

#include "platform/game_keys.hpp"

namespace zelvane::console {

std::optional<RegistryValue> GameFolderRegistry::Query(std::uint32_t root, std::string_view keyPath,
                                                       std::string_view valueName) const {
    if (root != kHkeyLocalMachine || GameOfKey(keyPath) == 0 || !NamesEqual(valueName, kPathValue)) {
        return std::nullopt;
    }
    return RegistryValue{kRegSz, folder_ + '\0'};
}

}  // namespace zelvane::console
