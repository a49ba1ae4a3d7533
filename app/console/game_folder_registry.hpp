#pragma once
// --game-folder: a registry whose "Path" value of either game is the folder given, so that a run
// takes it as it takes the game's registry entry (after the checks of a browsed folder, which
// the console makes first).

#include <string>

#include "platform/seams/registry.hpp"

namespace zelvane::console {

class GameFolderRegistry final : public Registry {
public:
    explicit GameFolderRegistry(std::string windowsFolder) : folder_(std::move(windowsFolder)) {}

    std::optional<RegistryValue> Query(std::uint32_t root, std::string_view keyPath,
                                       std::string_view valueName) const override;

private:
    std::string folder_;
};

}  // namespace zelvane::console
