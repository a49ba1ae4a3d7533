#pragma once
// The RTF header shared by the removal log and every rich prompt.

#include <string>
#include <string_view>

namespace zelvane {

extern const char* const kRtfFontHeader;  // "{\rtf1\ansi...Times New Roman;}}" (no CRLF)
extern const char* const kRtfColorTable;  // "{\colortbl ;\red0...;}" (no CRLF)

// msgText unchanged when it begins with "{\rtf1", else wrapped in the prompt envelope.
std::string BuildPromptRtf(std::string_view msgText, int fontSize);

}  // namespace zelvane
