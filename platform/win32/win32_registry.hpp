#pragma once
// The Windows registry behind the Registry seam: read-only queries of one value.

#include "platform/seams/registry.hpp"

namespace zelvane {

class Win32Registry final : public Registry {
public:
    std::optional<RegistryValue> Query(std::uint32_t root, std::string_view keyPath,
                                       std::string_view valueName) const override;
};

}  // namespace zelvane
