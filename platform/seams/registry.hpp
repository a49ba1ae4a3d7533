#pragma once
// The registry seam: one raw value read from a key.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zelvane {

inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002u;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;

struct RegistryValue {
    std::uint32_t type = kRegSz;
    std::string data;  // raw bytes as stored, a terminating NUL included when the writer stored one
};

class Registry {
public:
    virtual ~Registry() = default;
    // nullopt when the key or the value is missing or cannot be read.
    virtual std::optional<RegistryValue> Query(std::uint32_t root, std::string_view keyPath,
                                               std::string_view valueName) const = 0;
};

}  // namespace zelvane
