#pragma once
// Measuring a prompt body before the prompt is built.

#include <string>
#include <string_view>
#include <vector>

#include "platform/seams/user_interface.hpp"

namespace zelvane {

std::string StripRtfCodes(std::string_view text);
void DetermineFonts(std::string_view header, std::vector<std::string>& fontTable);
int FontNumeric(std::string_view text, int limit);
// Width in pixels of the body's longest line (+50). Rewrites a fragment's line ends to "\par " CRLF
// in text itself. Measures with ui.TextWidthTwips.
int AutoDetermineWidth(std::string& text, int fontSize, std::string_view fontName, UserInterface& ui);

}  // namespace zelvane
