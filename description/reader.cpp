#include "description/reader.hpp"

#include <algorithm>
#include <array>
#include <map>
#include <set>

#include "util/strings.hpp"

namespace zelvane {
namespace {

constexpr std::array<std::string_view, 16> kKeys = {
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

constexpr std::array<std::string_view, 4> kNumberedStems = {"#qdelete_file_", "#qdelete_file_format_width_",
                                                            "#qrestore_file_", "#qrestore_file_format_width_"};

// Long enough for every key, the numbered ones with two digits included.
constexpr std::size_t kKeyPrefixLength = 48;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// stem + N + "=", N from 0 to 99 written without leading zeros (07 and 100 are no key).
std::optional<LineKey> NumberedKey(std::string_view lower, std::string_view stem) {
    if (!lower.starts_with(stem)) return std::nullopt;
    const std::string_view rest = lower.substr(stem.size());
    if (rest.size() >= 2 && IsDigit(rest[0]) && rest[1] == '=') return LineKey{stem, rest[0] - '0', stem.size() + 2};
    if (rest.size() >= 3 && rest[0] != '0' && IsDigit(rest[0]) && IsDigit(rest[1]) && rest[2] == '=') {
        return LineKey{stem, (rest[0] - '0') * 10 + (rest[1] - '0'), stem.size() + 3};
    }
    return std::nullopt;
}

std::optional<BlockUse> BlockAsked(const DescriptionLine& line, bool& confirmAsked, bool& explicitAsked) {
    if (line.Carries("#confirm_message_begin#") && !std::exchange(confirmAsked, true)) {
        return BlockUse{"#confirm_message_begin#", "#confirm_message_end#", {}};
    }
    if (line.Carries("#explicit_instructions_begin#") && !std::exchange(explicitAsked, true)) {
        return BlockUse{"#explicit_instructions_begin#", "#explicit_instructions_end#", {}};
    }
    for (const std::string_view stem : {"#qdelete_file_", "#qrestore_file_"}) {
        if (!line.Carries(stem)) continue;
        const std::string n = std::to_string(line.key->number);
        return BlockUse{std::string(stem) + "begin_" + n + "#", std::string(stem) + "end_" + n + "#", {}};
    }
    return std::nullopt;
}

}  // namespace

std::optional<LineKey> KeyOf(std::string_view line) {
    if (!line.starts_with('#')) return std::nullopt;  // every key begins with it
    const std::string lower = LowerCase(line.substr(0, kKeyPrefixLength));
    for (const std::string_view key : kKeys) {
        if (std::string_view(lower).starts_with(key)) return LineKey{key, -1, key.size()};
    }
    for (const std::string_view stem : kNumberedStems) {
        if (auto key = NumberedKey(lower, stem)) return key;
    }
    return std::nullopt;
}

BlockCut CutBlock(std::string_view bytes, std::string_view beginMarker, std::string_view endMarker) {
    BlockCut cut;
    cut.begin = bytes.find(beginMarker);
    cut.end = bytes.find(endMarker);
    if (cut.begin == std::string_view::npos || cut.end == std::string_view::npos) return cut;
    // The text starts two characters after the begin marker and ends two before the end marker:
    // the end marker needs at least those four characters after the begin marker.
    cut.start = cut.begin + beginMarker.size() + 2;
    if (cut.end < cut.start + 2) {
        cut.status = BlockCut::Status::Negative;
        return cut;
    }
    cut.status = BlockCut::Status::Ok;
    cut.length = cut.end - 2 - cut.start;
    return cut;
}

std::string LineKey::Text() const {
    return number < 0 ? std::string(stem) : std::string(stem) + std::to_string(number) + "=";
}

std::string_view DescriptionLine::Value() const { return std::string_view(text).substr(key ? key->length : 0); }

int DescriptionText::LineOf(std::size_t offset) const {
    const auto after = std::upper_bound(lines.begin(), lines.end(), offset,
                                        [](std::size_t o, const DescriptionLine& line) { return o < line.offset; });
    return static_cast<int>(std::max<std::ptrdiff_t>(after - lines.begin(), 1));
}

bool DescriptionText::InsideBlock(int n) const {
    return std::any_of(blockLines.begin(), blockLines.end(),
                       [n](const std::pair<int, int>& block) { return n > block.first && n < block.second; });
}

DescriptionText ReadDescription(std::string bytes) {
    DescriptionText d;
    d.bytes = std::move(bytes);
    bool confirmAsked = false;
    bool explicitAsked = false;
    const std::vector<InputLine> inputs = InputLines(d.bytes);
    d.lines.reserve(inputs.size());
    for (const InputLine& input : inputs) {
        DescriptionLine line{static_cast<int>(d.lines.size()) + 1, input.offset, std::string(input.text),
                             KeyOf(input.text), std::nullopt};
        if (d.fileListLine == 0 && line.Carries("#file_list")) {
            d.fileListLine = line.number;
        } else if (d.fileListLine != 0 && IsFileListEntry(line.text)) {
            d.entryLines.push_back(line.number);
        }
        line.block = BlockAsked(line, confirmAsked, explicitAsked);
        d.lines.push_back(std::move(line));
    }
    CutBlocks(d, d.bytes);
    std::set<std::string_view> cut;
    for (const DescriptionLine& line : d.lines) {
        if (!line.block || line.block->cut.status != BlockCut::Status::Ok) continue;
        if (cut.insert(line.block->beginMarker).second) {
            d.blockLines.emplace_back(d.LineOf(line.block->cut.begin), d.LineOf(line.block->cut.end));
        }
    }
    return d;
}

void CutBlocks(DescriptionText& text, std::string_view bytes) {
    std::map<std::string_view, BlockCut> cuts;  // by begin marker
    for (DescriptionLine& line : text.lines) {
        if (!line.block) continue;
        BlockUse& use = *line.block;
        const auto [it, fresh] = cuts.try_emplace(use.beginMarker);
        if (fresh) it->second = CutBlock(bytes, use.beginMarker, use.endMarker);
        use.cut = it->second;
    }
}

bool IsFileListEntry(std::string_view line) {
    return !line.empty() && line.front() != ';' && line.front() != '#' && line.front() != ' ';
}

}  // namespace zelvane
