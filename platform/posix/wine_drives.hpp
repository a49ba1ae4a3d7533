#pragma once
// The drives of a Wine prefix on the host, mapped as Wine maps them: Z: is the host's root, every
// other letter the folder that <prefix>/dosdevices/<letter>: leads to. Windows names are code page
// 1252, host names UTF-8 (host_names.hpp).

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelvane::posix {

// The Wine prefix from $WINEPREFIX, else ~/.wine.
std::string DefaultWinePrefix();

class WineDrives {
public:
    explicit WineDrives(std::string prefix) : prefix_(std::move(prefix)) {}

    // The host path by which Wine reaches the root of a drive ("C:"): "/" for Z:, else
    // <prefix>/dosdevices/<letter>:, its links not followed.
    std::string RootOf(std::string_view drive) const;

    // A host path whose links are followed already, as a Windows path: on the drive of the prefix
    // whose folder holds it (the deepest one), else on Z:.
    std::string WindowsPathOf(std::string_view host) const;

    // Where the drives lead is read again when next asked.
    void Forget() { folders_.reset(); }

private:
    // The drives other than Z: with the host folders they lead to, read once.
    const std::vector<std::pair<std::string, std::string>>& Folders() const;

    std::string prefix_;
    mutable std::optional<std::vector<std::pair<std::string, std::string>>> folders_;
};

}  // namespace zelvane::posix
