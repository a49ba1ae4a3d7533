#pragma once
// The registry seam read from a text file, one value a line:
//   HKEY_LOCAL_MACHINE\Software\BioWare\SW\KOTOR|Path|C:\Games\Kotor
//   HKEY_LOCAL_MACHINE\Software\LucasArts\KotOR2|Path|%GAMES%\Kotor2|REG_EXPAND_SZ
// (root\key|value name|data[|type]). Keys and value names compare case-insensitively; a later
// line for the same value replaces an earlier one. Blank lines and lines starting with ';' or
// '#' are ignored; lines may end with CR LF. Every value is stored with a terminating NUL. Data
// in UTF-8 is taken to code page 1252 (a name 1252 cannot hold keeps its bytes); data that is no
// UTF-8 is taken as 1252 already.

#include <string>
#include <vector>

#include "platform/seams/read_limits.hpp"
#include "platform/seams/registry.hpp"

namespace zelvane {

class FileRegistry final : public Registry {
public:
    // Reads the file once; an empty path or a missing file gives a registry without values. A
    // file that is not a regular file (a device, a pipe, a folder) or is larger than kMaxFileSize
    // is not read: the registry has no values and Error() says why.
    explicit FileRegistry(const std::string& filePath = {});

    static constexpr std::size_t kMaxFileSize = kRegistryFileLimit;
    // Empty when the file was read (or there was none to read).
    const std::string& Error() const { return error_; }

    std::optional<RegistryValue> Query(std::uint32_t root, std::string_view keyPath,
                                       std::string_view valueName) const override;

    struct Entry {
        std::uint32_t root = 0;
        std::string key;
        std::string valueName;
        RegistryValue value;
    };
    // Parses the text of such a file; malformed lines are skipped.
    static std::vector<Entry> Parse(std::string_view text);

private:
    std::vector<Entry> entries_;
    std::string error_;
};

}  // namespace zelvane
