#pragma once
// Host names (UTF-8) as the Windows side sees them (code page 1252), mapped as Wine maps them. The
// conversions are util/text's; what is added here is what a name on the host needs.
//
// A character 1252 cannot hold (and each byte of a name that is not valid UTF-8) becomes '?',
// Windows' default character. '?' is a wildcard, so no Windows file name holds it: a host name
// that 1252 cannot hold shows with '?' in listings and can never be found under another name. A
// backslash in a host name (Linux allows one) becomes '?' as well: in a Windows path it would part
// the name into a folder and a name in it. The other way, a 1252 name is its host name in UTF-8
// (Cp1252ToUtf8), the undefined bytes included, as the C1 controls of the same number.

#include <string>
#include <string_view>

namespace zelvane::posix {

// The name as a Windows program lists it.
std::string Cp1252NameOf(std::string_view hostName);

// A host name in a path handed to Windows code: its 1252 form when 1252 holds every character
// of it, else (valid UTF-8) its bytes as they stand. Such a path stays usable, as a name that is
// not found as 1252 but is valid UTF-8 is looked up as it stands; a listing still shows the name
// with '?'. Bytes that are no UTF-8 keep their '?': read as 1252 they would name another entry.
std::string WindowsNameOf(std::string_view hostName);

}  // namespace zelvane::posix
