#include "removal/removal_log.hpp"

#include "prompts/rtf_envelope.hpp"
#include "removal/log_line.hpp"
#include "util/display_paths.hpp"

namespace zelvane {

std::string LogDocumentHeader() {
    std::string header;
    header += kRtfFontHeader;
    header += kLogCrLf;
    header += kRtfColorTable;
    header += kLogCrLf;
    header += "\\viewkind4\\uc1\\pard" + ColourCode(Colour::Text) + "\\f0\\fs24 ";
    return header;
}

std::string EscapeRtfText(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '{' || c == '}') {
            out += '\\';
            out += c;
        } else if (byte > 127) {
            out += "\\'";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

std::string LogDisplay(std::string_view path) { return EscapeRtfText(Display(path)); }

void AppendLine(std::string& log, std::string_view text) {
    log += text;
    log += kLogCrLf;
}

void AppendBlankLines(std::string& log, int count) {
    for (int i = 0; i < count; ++i) log += kBlankLine;
}

}  // namespace zelvane
