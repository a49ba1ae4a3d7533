#pragma once
// The usage guide for mod authors, built into the program from resources/usage_guide.rtf.

#include <string_view>

namespace zelvane {

std::string_view EmbeddedUsageGuide();

}  // namespace zelvane
