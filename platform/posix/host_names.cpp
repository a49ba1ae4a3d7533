#include "platform/posix/host_names.hpp"

#include <algorithm>

#include "util/text/code_page_1252.hpp"
#include "util/text/utf8.hpp"

namespace zelvane::posix {

std::string Cp1252NameOf(std::string_view hostName) {
    std::string name = Utf8ToCp1252(hostName);
    // A backslash is a separator in every Windows path: in a host name it is a character no
    // Windows name holds, so that the name is never read as a folder and a name in it.
    std::replace(name.begin(), name.end(), '\\', kUnmappableCharacter);
    return name;
}

std::string WindowsNameOf(std::string_view hostName) {
    std::string windows = Cp1252NameOf(hostName);
    // Bytes that are no UTF-8 would name another entry when read as 1252: they keep their '?', and
    // so does a backslash, which would make two names of one.
    if (Cp1252ToUtf8(windows) == hostName || !IsNonAsciiUtf8(hostName) ||
        hostName.find('\\') != std::string_view::npos) {
        return windows;
    }
    return std::string(hostName);
}

}  // namespace zelvane::posix
