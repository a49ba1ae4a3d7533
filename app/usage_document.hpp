#pragma once
// The usage guide for mod authors and the shell's "open document" with its error messages.

#include <string>
#include <string_view>

#include "platform/seams/file_system.hpp"
#include "platform/seams/user_interface.hpp"

namespace zelvane {

// The guide as embedded in the program (RTF, 10-line title block).
std::string_view UsageGuide();
// The guide with the version line inserted after its 10th line.
std::string StampedUsageGuide(std::string_view guide);
// Writes program folder\uninstall\Zelvane Usage.rtf and opens it. Returns false (after telling the
// user) when the document could not be written.
bool WriteUsageDocument(FileSystem& fs, UserInterface& ui, std::string_view programFolder, std::string_view guide);
}  // namespace zelvane
