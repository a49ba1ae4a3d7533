#include "util/registry_lookup.hpp"

namespace zelvane {

std::string ReadRegistryString(const Registry& registry, std::uint32_t root, std::string_view keyPath,
                               std::string_view valueName) {
    auto value = registry.Query(root, keyPath, valueName);
    if (!value || value->type != kRegSz) return {};
    auto nul = value->data.find('\0');
    return nul == std::string::npos ? value->data : value->data.substr(0, nul);
}

}  // namespace zelvane
