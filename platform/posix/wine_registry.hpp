#pragma once
// The machine registry of a Wine prefix, read from its system.reg: sections
//   [Software\\Wow6432Node\\BioWare\\SW\\KOTOR] 1700000000
//   "Path"="C:\\Games\\Star Wars - KotOR"
// with Wine's escapes decoded in key and value names and in the data (\\ \" \n \t ..., \xHHHH
// for one UTF-16 unit, \ooo octal). Strings ("..." and str(N):"...") and hex(1)/hex(2) strings
// are kept; other types are skipped. Keys and value names compare case-insensitively.

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/seams/registry.hpp"

namespace zelvane {

class WineRegistry final : public Registry {
public:
    explicit WineRegistry(std::string_view systemRegText);
    // The system.reg of a prefix folder, read a line at a time; nullopt when it cannot be read,
    // is not a regular file or is larger than kWineRegistryLimit.
    static std::optional<WineRegistry> FromPrefix(const std::string& prefixFolder);

    // Keys relative to HKEY_LOCAL_MACHINE; the data is code page 1252 with a terminating NUL
    // (a character 1252 cannot hold becomes '?').
    std::optional<RegistryValue> Query(std::uint32_t root, std::string_view keyPath,
                                       std::string_view valueName) const override;

    // A string value as UTF-8.
    std::optional<std::string> Utf8String(std::string_view keyPath, std::string_view valueName) const;

private:
    WineRegistry() = default;
    // One line of the file, in order; a hex value continued on the next lines waits for them.
    void AddLine(std::string_view line);

    struct Value {
        std::uint32_t type = kRegSz;
        std::u16string text;
    };
    std::map<std::string, Value> values_;  // by folded "key\0name"
    std::string key_;                      // the section being read, folded
    std::string pending_;                  // a hex value continued on the next lines
};

}  // namespace zelvane
