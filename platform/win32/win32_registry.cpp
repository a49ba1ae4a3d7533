#include "platform/win32/win32_registry.hpp"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace zelvane {
namespace {

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY* Receive() { return &key_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// Predefined keys are sign-extended 32-bit values (HKEY_LOCAL_MACHINE is (HKEY)(LONG)0x80000002).
HKEY RootKey(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(root))));
}

}  // namespace

std::optional<RegistryValue> Win32Registry::Query(std::uint32_t root, std::string_view keyPath,
                                                  std::string_view valueName) const {
    const std::string path(keyPath);
    const std::string name(valueName);
    RegistryKey key;
    // The games are 32-bit programs: their keys live in the 32-bit view, which a 64-bit build must
    // ask for explicitly (the flag is ignored by 32-bit Windows).
    if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.Receive()) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<BYTE> data(size);
    if (size > 0 && RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    RegistryValue value;
    value.type = type;
    value.data.assign(reinterpret_cast<const char*>(data.data()), std::min<std::size_t>(size, data.size()));
    return value;
}

}  // namespace zelvane
