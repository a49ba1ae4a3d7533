#include "description/check_model.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>

#include "description/numbered_key.hpp"
#include "util/strings.hpp"

namespace zelvane::check {
namespace {

constexpr std::array<std::string_view, 16> kSingleKeys = {
    "#default_format_width=",
    "#window_caption=",
    "#game=",
    "#game_select=",
    "#confirm_message_begin#",
    "#confirm_message_title=",
    "#confirm_message_format_width=",
    "#confirm_message_beep=",
    "#explicit_instructions_begin#",
    "#explicit_instructions_title=",
    "#explicit_instructions_icon=",
    "#explicit_instructions_format_width=",
    "#explicit_instructions_beep=",
    "#qrestore_2da=",
    "#qrestore_2da_files=",
    "#file_list",
};

constexpr std::array<std::string_view, 4> kNumberedStems = {
    "#qdelete_file_", "#qdelete_file_format_width_", "#qrestore_file_", "#qrestore_file_format_width_"};

bool IsEntryLine(std::string_view line) {
    return !line.empty() && line.front() != ';' && line.front() != '#' && line.front() != ' ';
}

}  // namespace

std::optional<std::string> KeyOf(std::string_view line) {
    const std::string lower = LowerCase(line.substr(0, 48));
    for (std::string_view key : kSingleKeys) {
        if (std::string_view(lower).starts_with(key)) return std::string(key);
    }
    for (std::string_view stem : kNumberedStems) {
        if (const auto key = FindNumberedKey(lower, stem)) return lower.substr(0, key->length);
    }
    return std::nullopt;
}

BlockCut CutBlock(std::string_view bytes, std::string_view beginMarker, std::string_view endMarker) {
    BlockCut cut;
    cut.begin = bytes.find(beginMarker);
    cut.end = bytes.find(endMarker);
    if (cut.begin == std::string_view::npos || cut.end == std::string_view::npos) {
        cut.status = BlockCut::Status::Missing;
        return cut;
    }
    // The loader's arithmetic on 1-based positions: start b + len(B) + 2, length e - (b + len(B) + 4).
    const long long b = static_cast<long long>(cut.begin) + 1;
    const long long e = static_cast<long long>(cut.end) + 1;
    const long long start = b + static_cast<long long>(beginMarker.size()) + 2;
    const long long length = e - (b + static_cast<long long>(beginMarker.size()) + 4);
    if (length < 0) {
        cut.status = BlockCut::Status::Negative;
        return cut;
    }
    if (length > 0 && static_cast<std::size_t>(start) <= bytes.size()) {
        cut.text = std::string(bytes.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(length)));
    }
    return cut;
}

int DescriptionText::LineOf(std::size_t offset) const {
    const auto after = std::upper_bound(lines.begin(), lines.end(), offset,
                                        [](std::size_t o, const Line& line) { return o < line.offset; });
    return static_cast<int>(std::max<std::ptrdiff_t>(after - lines.begin(), 1));
}

bool DescriptionText::InsideBlock(int line) const {
    for (const auto& [begin, end] : blockLines) {
        if (line > begin && line < end) return true;
    }
    return false;
}

DescriptionText ReadDescriptionText(std::string bytes) {
    DescriptionText d;
    d.bytes = std::move(bytes);
    const std::string_view all = d.bytes;
    // Cut as sequential text input cuts: CR or CR LF ends a line, LF alone does not.
    std::size_t begin = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i] != '\r') continue;
        d.lines.push_back(Line{begin, std::string(all.substr(begin, i - begin))});
        if (i + 1 < all.size() && all[i + 1] == '\n') ++i;
        begin = i + 1;
    }
    if (begin < all.size()) d.lines.push_back(Line{begin, std::string(all.substr(begin))});

    std::map<std::string, std::shared_ptr<const BlockCut>, std::less<>> cuts;  // by begin marker
    bool confirmSeen = false;
    bool explicitSeen = false;
    for (std::size_t i = 0; i < d.lines.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        const std::string& line = d.lines[i].text;
        if (d.fileListLine == 0 && StartsWithKey(line, "#file_list")) {
            d.fileListLine = number;
        } else if (d.fileListLine != 0 && IsEntryLine(line)) {
            d.entryLines.push_back(number);
        }

        const std::string lower = LowerCase(std::string_view(line).substr(0, 48));
        auto use = [&](std::string what, std::string beginMarker, std::string endMarker) {
            BlockUse u{number, std::move(what), std::move(beginMarker), std::move(endMarker), {}};
            auto& cut = cuts[u.beginMarker];
            if (!cut) {
                cut = std::make_shared<const BlockCut>(CutBlock(all, u.beginMarker, u.endMarker));
                if (cut->status == BlockCut::Status::Ok) d.blockLines.emplace_back(d.LineOf(cut->begin), d.LineOf(cut->end));
            }
            u.cut = cut;
            d.blockUses.push_back(std::move(u));
        };
        if (!confirmSeen && lower.starts_with("#confirm_message_begin#")) {
            confirmSeen = true;
            use("#confirm_message_begin#", "#confirm_message_begin#", "#confirm_message_end#");
        }
        if (!explicitSeen && lower.starts_with("#explicit_instructions_begin#")) {
            explicitSeen = true;
            use("#explicit_instructions_begin#", "#explicit_instructions_begin#", "#explicit_instructions_end#");
        }
        for (const QKind kind : {QKind::Delete, QKind::Restore}) {
            const std::string_view stem = kind == QKind::Delete ? "qdelete_file_" : "qrestore_file_";
            const auto key = FindNumberedKey(lower, "#" + std::string(stem));
            if (!key) continue;
            const std::string n = std::to_string(key->number);
            QEntry entry{kind, key->number, number, lower.substr(0, key->length), line.substr(key->length), 0};
            entry.use = d.blockUses.size();
            use(entry.key, "#" + std::string(stem) + "begin_" + n + "#", "#" + std::string(stem) + "end_" + n + "#");
            d.qEntries.push_back(std::move(entry));
        }
    }
    return d;
}

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

std::vector<std::string> Listed2daNames(const DescriptionText& text) {
    std::vector<std::string> names;
    for (const Line& line : text.lines) {
        if (!StartsWithKey(line.text, "#qrestore_2da_files=")) continue;
        const std::string_view list = std::string_view(line.text).substr(20);
        if (list.empty()) continue;
        for (std::string& name : SplitText(list, ",")) names.push_back(std::move(name));
    }
    return names;
}

std::optional<std::string> LastValue(const DescriptionText& text, std::string_view key) {
    std::optional<std::string> value;
    for (const Line& line : text.lines) {
        if (StartsWithKey(line.text, key)) value = line.text.substr(key.size());
    }
    return value;
}

}  // namespace zelvane::check
