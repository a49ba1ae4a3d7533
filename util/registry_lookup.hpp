#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/seams/registry.hpp"

namespace zelvane {

// A REG_SZ value cut at its first NUL; "" for any other type, a missing key or value.
std::string ReadRegistryString(const Registry& registry, std::uint32_t root, std::string_view keyPath,
                               std::string_view valueName);

}  // namespace zelvane
