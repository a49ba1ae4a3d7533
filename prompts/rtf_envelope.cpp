#include "prompts/rtf_envelope.hpp"

#include <string>

namespace zelvane {

const char* const kRtfFontHeader =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Times New Roman;}}";

const char* const kRtfColorTable =
    "{\\colortbl ;\\red0\\green0\\blue0;\\red128\\green0\\blue0;\\red0\\green128\\blue0;"
    "\\red128\\green128\\blue0;\\red0\\green0\\blue128;\\red128\\green0\\blue128;\\red0\\green128\\blue128;"
    "\\red128\\green128\\blue128;\\red192\\green192\\blue192;\\red255\\green0\\blue0;\\red0\\green255\\blue0;"
    "\\red255\\green255\\blue0;\\red0\\green0\\blue255;\\red255\\green0\\blue255;\\red0\\green255\\blue255;"
    "\\red255\\green255\\blue255;}";

std::string BuildPromptRtf(std::string_view msgText, int fontSize) {
    if (msgText.substr(0, 6) == "{\\rtf1") return std::string(msgText);
    // Twice the size in half-points; computed wide so that no size overflows.
    const long long halfPoints = 2LL * fontSize;
    std::string rtf;
    rtf.reserve(msgText.size() + 512);
    rtf += kRtfFontHeader;
    rtf += "\r\n";
    rtf += kRtfColorTable;
    rtf += "\r\n";
    rtf += "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs";
    rtf += std::to_string(halfPoints);
    rtf += ' ';
    rtf += msgText;
    rtf += "\r\n}";
    return rtf;
}

}  // namespace zelvane
