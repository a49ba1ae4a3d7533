#pragma once
// A folder the run must change (the program folder, the game folder) on read-only media stops the
// run before anything is asked or changed, with the folder named and what to do about it.

#include <ostream>
#include <string>
#include <string_view>

namespace zelvane::console {

// The lines printed for such a folder; `role` is "program folder" or "game folder".
std::string ReadOnlyMediaMessage(std::string_view role, std::string_view hostFolder);

// True, with the message printed on `err`, when the host folder lies on read-only media.
bool StopForReadOnlyMedia(std::string_view role, const std::string& hostFolder, std::ostream& err);

}  // namespace zelvane::console
