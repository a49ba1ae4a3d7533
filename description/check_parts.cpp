#include "description/check_parts.hpp"

#include <cstdio>

#include "util/strings.hpp"

namespace zelvane::check {

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (u < 0x20 || u == 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

void Add(std::vector<Diagnostic>& out, int line, Severity severity, std::string text) {
    out.push_back(Diagnostic{line, severity, std::move(text)});
}

bool IsQueuedEntry(const DescriptionLine& line) {
    return line.Carries("#qdelete_file_") || line.Carries("#qrestore_file_");
}

std::vector<std::string> Listed2daNames(const DescriptionText& text) {
    std::vector<std::string> names;
    for (const DescriptionLine& line : text.lines) {
        if (!line.Carries("#qrestore_2da_files=") || line.Value().empty()) continue;
        for (std::string& name : SplitText(line.Value(), ",")) names.push_back(std::move(name));
    }
    return names;
}

std::optional<std::string> LastValue(const DescriptionText& text, std::string_view key) {
    std::optional<std::string> value;
    for (const DescriptionLine& line : text.lines) {
        if (line.Carries(key)) value = std::string(line.Value());
    }
    return value;
}

}  // namespace zelvane::check
