#include "platform/posix/wine_registry.hpp"

#include <array>
#include <cstdlib>
#include <vector>

#include "platform/posix/host_read.hpp"
#include "platform/seams/read_limits.hpp"
#include "util/text/code_page_1252.hpp"
#include "util/text/utf8.hpp"

namespace zelvane {
namespace {

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(out, c);
    }
    return out;
}

// One character of UTF-8 text (a byte that is no UTF-8 stands for itself), appended as UTF-16.
std::size_t AppendUtf8Char(std::u16string& out, std::string_view text, std::size_t at) {
    char32_t c = 0;
    std::size_t length = DecodeUtf8(text, at, c);
    if (length == 0) {
        c = static_cast<unsigned char>(text[at]);
        length = 1;
    }
    if (c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<char16_t>(c);
    }
    return length;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads escaped text from `at` up to the unescaped `end` character; `at` is left after it.
// nullopt when the text does not end on the line.
std::optional<std::u16string> Unescape(std::string_view line, std::size_t& at, char end) {
    std::u16string out;
    while (at < line.size()) {
        const char c = line[at];
        if (c == end) {
            ++at;
            return out;
        }
        if (c != '\\') {
            at += AppendUtf8Char(out, line, at);
            continue;
        }
        if (++at >= line.size()) return std::nullopt;
        const char e = line[at++];
        switch (e) {
            case 'a': out += u'\a'; break;
            case 'b': out += u'\b'; break;
            case 'e': out += char16_t{27}; break;
            case 'f': out += u'\f'; break;
            case 'n': out += u'\n'; break;
            case 'r': out += u'\r'; break;
            case 't': out += u'\t'; break;
            case 'v': out += u'\v'; break;
            case 'x': {
                char16_t value = 0;
                int digits = 0;
                while (digits < 4 && at < line.size() && HexDigit(line[at]) >= 0) {
                    value = static_cast<char16_t>(value * 16 + HexDigit(line[at++]));
                    ++digits;
                }
                out += digits > 0 ? value : u'x';
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    char16_t value = static_cast<char16_t>(e - '0');
                    for (int digits = 1; digits < 3 && at < line.size() && line[at] >= '0' && line[at] <= '7';
                         ++digits) {
                        value = static_cast<char16_t>(value * 8 + (line[at++] - '0'));
                    }
                    out += value;
                } else {
                    out += static_cast<char16_t>(static_cast<unsigned char>(e));
                }
        }
    }
    return std::nullopt;
}

std::string Fold(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        const char16_t lower = (c >= 'A' && c <= 'Z') ? static_cast<char16_t>(c + 32) : c;
        AppendUtf8(out, lower);
    }
    return out;
}

std::string Fold(std::string_view utf8) {
    std::u16string wide;
    for (std::size_t i = 0; i < utf8.size();) i += AppendUtf8Char(wide, utf8, i);
    return Fold(std::u16string_view(wide));
}

std::string TrimmedKey(std::string folded) {
    while (!folded.empty() && folded.front() == '\\') folded.erase(folded.begin());
    while (!folded.empty() && folded.back() == '\\') folded.pop_back();
    return folded;
}

std::string MapKey(const std::string& foldedKey, const std::string& foldedName) {
    return TrimmedKey(foldedKey) + '\0' + foldedName;
}

// "hex(2):41,00,42,00" (with "\" continuations joined) as UTF-16 text cut at its NUL.
std::u16string HexString(std::string_view bytes) {
    std::vector<unsigned char> data;
    int high = -1;
    for (char c : bytes) {
        const int d = HexDigit(c);
        if (d < 0) {
            high = -1;
            continue;
        }
        if (high < 0) {
            high = d;
        } else {
            data.push_back(static_cast<unsigned char>(high * 16 + d));
            high = -1;
        }
    }
    std::u16string out;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        if (c == 0) break;
        out += c;
    }
    return out;
}

}  // namespace

WineRegistry::WineRegistry(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);
        AddLine(line);
    }
}

void WineRegistry::AddLine(std::string_view line) {
    if (!pending_.empty()) {
        pending_ += line;
    } else {
        pending_ = std::string(line);
    }
    if (pending_.ends_with('\\') && pending_.find("=hex") != std::string::npos) {
        pending_.pop_back();
        return;
    }
    const std::string current = std::move(pending_);
    pending_.clear();
    std::string_view l = current;
    while (!l.empty() && (l.front() == ' ' || l.front() == '\t')) l.remove_prefix(1);
    if (l.empty() || l.front() == ';' || l.front() == '#') return;
    std::size_t at = 1;
    if (l.front() == '[') {
        auto name = Unescape(l, at, ']');
        key_ = name ? Fold(std::u16string_view(*name)) : std::string();
        return;
    }
    if (key_.empty()) return;
    std::u16string valueName;
    if (l.front() == '"') {
        auto name = Unescape(l, at, '"');
        if (!name) return;
        valueName = *name;
    } else if (l.front() != '@') {
        return;
    }
    if (at >= l.size() || l[at] != '=') return;
    std::string_view data = l.substr(at + 1);
    Value value;
    if (data.starts_with("str(")) {
        const std::size_t close = data.find("):");
        if (close == std::string_view::npos) return;
        const std::string type(data.substr(4, close - 4));  // hexadecimal, as Wine writes it
        value.type = static_cast<std::uint32_t>(std::strtoul(type.c_str(), nullptr, 16));
        data.remove_prefix(close + 2);
    }
    if (data.starts_with('"')) {
        std::size_t p = 1;
        auto decoded = Unescape(data, p, '"');
        if (!decoded) return;
        value.text = *decoded;
    } else if (data.starts_with("hex(1):") || data.starts_with("hex(2):")) {
        value.type = data[4] == '1' ? kRegSz : kRegExpandSz;
        value.text = HexString(data.substr(7));
    } else {
        return;
    }
    values_[MapKey(key_, Fold(std::u16string_view(valueName)))] = std::move(value);
}

std::optional<WineRegistry> WineRegistry::FromPrefix(const std::string& prefixFolder) {
    // A line at a time and within a limit: a huge or endless file is refused, and only the line
    // being read is held besides the values.
    posix::HostLineReader lines(prefixFolder + "/system.reg", kWineRegistryLimit, kWineRegistryLimit);
    WineRegistry registry;
    while (const std::optional<std::string> line = lines.Next()) registry.AddLine(*line);
    if (lines.Status() != FsStatus::Ok) return std::nullopt;
    return registry;
}

std::optional<RegistryValue> WineRegistry::Query(std::uint32_t root, std::string_view keyPath,
                                                 std::string_view valueName) const {
    if (root != kHkeyLocalMachine) return std::nullopt;
    const auto it = values_.find(MapKey(Fold(keyPath), Fold(valueName)));
    if (it == values_.end()) return std::nullopt;
    RegistryValue value;
    value.type = it->second.type;
    for (char16_t c : it->second.text) value.data += Cp1252Of(c);
    value.data += '\0';
    return value;
}

std::optional<std::string> WineRegistry::Utf8String(std::string_view keyPath, std::string_view valueName) const {
    const auto it = values_.find(MapKey(Fold(keyPath), Fold(valueName)));
    if (it == values_.end()) return std::nullopt;
    return Utf16ToUtf8(it->second.text);
}

}  // namespace zelvane
