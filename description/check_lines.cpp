// Line-level mistakes that start-up passes in silence: the encoding and line ends of the file,
// keys that are not read, and the texts of the blocks.

#include <algorithm>
#include <array>
#include <set>

#include "description/check_parts.hpp"
#include "description/values.hpp"
#include "util/strings.hpp"

namespace zelvane::check {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Every key and marker, numbers written as N.
constexpr std::array<std::string_view, 26> kKnownForms = {"#default_format_width=",
                                                          "#window_caption=",
                                                          "#game=",
                                                          "#game_select=",
                                                          "#confirm_message_begin#",
                                                          "#confirm_message_end#",
                                                          "#confirm_message_title=",
                                                          "#confirm_message_format_width=",
                                                          "#confirm_message_beep=",
                                                          "#explicit_instructions_begin#",
                                                          "#explicit_instructions_end#",
                                                          "#explicit_instructions_title=",
                                                          "#explicit_instructions_icon=",
                                                          "#explicit_instructions_format_width=",
                                                          "#explicit_instructions_beep=",
                                                          "#qdelete_file_N=",
                                                          "#qdelete_file_format_width_N=",
                                                          "#qdelete_file_begin_N#",
                                                          "#qdelete_file_end_N#",
                                                          "#qrestore_file_N=",
                                                          "#qrestore_file_format_width_N=",
                                                          "#qrestore_file_begin_N#",
                                                          "#qrestore_file_end_N#",
                                                          "#qrestore_2da=",
                                                          "#qrestore_2da_files=",
                                                          "#file_list"};

// The text with its first run of digits written as N; the digits themselves in `digits`.
std::string WithN(std::string_view text, std::string& digits) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size() && !IsDigit(text[i])) out += text[i++];
    if (i == text.size()) return out;
    while (i < text.size() && IsDigit(text[i])) digits += text[i++];
    out += 'N';
    out += text.substr(i);
    return out;
}

// A marker line, numbered markers with any digits: the block search finds these, no key is needed.
bool IsMarkerLine(std::string_view lower) {
    std::string digits;
    const std::string form = WithN(lower, digits);
    for (std::string_view marker : {"#confirm_message_end#", "#explicit_instructions_end#", "#qdelete_file_begin_N#",
                                    "#qdelete_file_end_N#", "#qrestore_file_begin_N#", "#qrestore_file_end_N#"}) {
        if (std::string_view(form).starts_with(marker)) return true;
    }
    return false;
}

// The word that should have been a key: up to the first "=", else to the second "#", else to a blank.
std::string Head(std::string_view lower) {
    lower = lower.substr(0, 48);
    // A tab, an LF or another control character ends it too (lines that end with LF alone hold LFs).
    const auto control =
        std::find_if(lower.begin(), lower.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    lower = lower.substr(0, static_cast<std::size_t>(control - lower.begin()));
    if (const std::size_t eq = lower.find('='); eq != std::string_view::npos)
        return std::string(lower.substr(0, eq + 1));
    if (const std::size_t hash = lower.find('#', 1); hash != std::string_view::npos) {
        return std::string(lower.substr(0, hash + 1));
    }
    return std::string(lower.substr(0, lower.find(' ')));
}

// Edit distance with transpositions (optimal string alignment), counted up to `limit`: anything
// farther gives limit + 1, found as soon as a whole row is beyond it.
std::size_t Distance(std::string_view a, std::string_view b, std::size_t limit) {
    const std::size_t lengthGap = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
    if (lengthGap > limit) return limit + 1;
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t rowBest = d[i][0];
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
            rowBest = std::min(rowBest, d[i][j]);
        }
        // A transposition reaches back two rows, so stop only when two rows in a row are beyond.
        if (rowBest > limit && i > 1 && *std::min_element(d[i - 1].begin(), d[i - 1].end()) > limit) return limit + 1;
    }
    return std::min(d[a.size()][b.size()], limit + 1);
}

// The key or marker the head most likely means, or "" when none is near.
std::string NearestKey(std::string_view head) {
    std::string digits;
    const std::string form = WithN(head, digits);
    std::string_view best;
    std::size_t bestDistance = 4;
    for (std::string_view known : kKnownForms) {
        const std::size_t distance = Distance(form, known, 3);
        if (distance < bestDistance) {
            best = known;
            bestDistance = distance;
        }
    }
    if (best.empty() || (bestDistance == 3 && best.size() < 14)) return {};
    std::string key(best);
    if (const std::size_t n = key.find('N'); n != std::string::npos) key.replace(n, 1, digits.empty() ? "0" : digits);
    return key;
}

// "#qdelete_file_07=", "#qrestore_file_format_width_100=": the shape of a q-entry key whose number is not 0 to 99.
bool IsMisnumberedKey(std::string_view lower) {
    for (std::string_view stem :
         {"#qdelete_file_format_width_", "#qrestore_file_format_width_", "#qdelete_file_", "#qrestore_file_"}) {
        if (!lower.starts_with(stem)) continue;
        std::size_t i = stem.size();
        const std::size_t first = i;
        while (i < lower.size() && IsDigit(lower[i])) ++i;
        return i > first && i < lower.size() && lower[i] == '=';
    }
    return false;
}

void CheckBraces(std::string_view text, const DescriptionLine& line, std::vector<Diagnostic>& out) {
    int depth = 0;
    int opening = 0;
    int closing = 0;
    bool underflow = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;  // \{ \} \\ stand for themselves
        } else if (text[i] == '{') {
            ++opening;
            ++depth;
        } else if (text[i] == '}') {
            ++closing;
            if (--depth < 0) underflow = true;
        }
    }
    if (depth == 0 && !underflow) return;
    Add(out, line.number, Severity::Warning,
        "the text of " + line.key->Text() + " has unbalanced braces (" + std::to_string(opening) + " \"{\" and " +
            std::to_string(closing) + " \"}\"), so its rich text is broken");
}

// Values that convert but do not do what they say: a beep of "true", an icon out of 1 to 4.
void CheckQuietValues(const DescriptionLine& line, std::vector<Diagnostic>& out) {
    const std::string_view value = line.Value();
    if (line.Carries("#confirm_message_beep=") || line.Carries("#explicit_instructions_beep=")) {
        const std::size_t first = value.find_first_not_of(" \t");
        const std::size_t last = value.find_last_not_of(" \t");
        const std::string word =
            first == std::string_view::npos ? "" : LowerCase(value.substr(first, last + 1 - first));
        const bool meantOn = word == "true" || word == "yes" || word == "on" || word == "-1";
        if (!ToBeep(value) && (meantOn || NumericPrefix(value) != 0.0)) {
            Add(out, line.number, Severity::Warning,
                line.key->Text() + " value " + Quoted(value) + " gives no sound: only 1 does");
        }
    }
    if (line.Carries("#explicit_instructions_icon=")) {
        const double icon = RoundHalfEven(NumericPrefix(value));
        // Beyond 32 bits the value does not convert at all, which is an error of its own.
        const bool converts = icon >= -2147483648.0 && icon <= 2147483647.0;
        if (converts && (icon < 1 || icon > 4)) {
            Add(out, line.number, Severity::Warning,
                line.key->Text() + " value " + Quoted(value) + " is not an icon from 1 to 4, so icon 4 is shown");
        }
    }
}

}  // namespace

std::vector<Diagnostic> CheckEncoding(const DescriptionText& text) {
    std::vector<Diagnostic> out;
    const std::string_view bytes = text.bytes;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        Add(out, 1, Severity::Warning,
            "the file begins with a UTF-8 byte-order mark, so its first line carries no key; save it as ANSI text "
            "(code page 1252)");
    }
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") || bytes.find('\0') != std::string_view::npos) {
        Add(out, 1, Severity::Warning,
            "the file is UTF-16 text, in which no line carries a key; save it as ANSI text (code page 1252)");
        return out;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n' || (i > 0 && bytes[i - 1] == '\r')) continue;
        if (bytes.find('\r') == std::string_view::npos) {
            Add(out, 1, Severity::Warning,
                "the lines end with LF alone, so start-up reads the whole file as one line; save it with CR LF line ends");
        } else {
            Add(out, text.LineOf(i), Severity::Warning,
                "this line ends with LF alone, so start-up reads the next line as part of it; save the file with CR LF "
                "line ends");
        }
        break;
    }
    return out;
}

bool IsUtf16(const DescriptionText& text) {
    const std::string_view bytes = text.bytes;
    return bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") || bytes.find('\0') != std::string_view::npos;
}

std::vector<Diagnostic> CheckKeyLines(const DescriptionText& text) {
    std::vector<Diagnostic> out;
    for (const DescriptionLine& line : text.lines) {
        const int n = line.number;
        const std::string& t = line.text;
        if (t.empty() || text.InsideBlock(n)) continue;
        if (t.front() == ' ' || t.front() == '\t') {
            const std::size_t first = t.find_first_not_of(" \t");
            if (first == std::string::npos) continue;
            if (const auto key = KeyOf(std::string_view(t).substr(first))) {
                Add(out, n, Severity::Warning,
                    std::string("the line begins with ") + (t.front() == ' ' ? "a space" : "a tab") + ", so its key " +
                        key->Text() + " is not read");
            }
            continue;
        }
        if (t.front() != '#') continue;
        if (line.key) {
            CheckQuietValues(line, out);
            continue;
        }
        const std::string lower = LowerCase(std::string_view(t).substr(0, 48));
        if (IsMarkerLine(lower)) continue;
        const std::string head = Head(lower);
        if (IsMisnumberedKey(lower)) {
            Add(out, n, Severity::Warning,
                head + " carries no key: entry numbers run from 0 to 99 without leading zeros, so the line is ignored");
            continue;
        }
        const std::string nearest = NearestKey(head);
        if (nearest.empty()) {
            Add(out, n, Severity::Warning, head + " is no key, so the line is ignored (comment lines begin with ;)");
        } else {
            Add(out, n, Severity::Warning, head + " is no key, so the line is ignored; did you mean " + nearest + "?");
        }
    }
    return out;
}

std::vector<Diagnostic> CheckBlockTexts(const DescriptionText& text) {
    std::vector<Diagnostic> out;
    std::set<std::string> seen;
    for (const DescriptionLine& line : text.lines) {
        if (!line.block || line.block->cut.status != BlockCut::Status::Ok) continue;
        const BlockUse& block = *line.block;
        const std::string_view blockText = block.cut.Text(text.bytes);
        const bool first = seen.insert(block.beginMarker).second;
        if (IsQueuedEntry(line) && blockText.empty()) {
            Add(out, line.number, Severity::Warning,
                "the prompt block of " + line.key->Text() + " is empty, so the player is asked with no text");
        }
        if (!first) continue;
        const DescriptionLine& beginLine = text.Line(text.LineOf(block.cut.begin));
        const std::size_t after = block.cut.begin + block.beginMarker.size() - beginLine.offset;
        if (after < beginLine.text.size()) {
            Add(out, beginLine.number, Severity::Warning,
                "text after the marker " + block.beginMarker +
                    " goes into the block's text without its first two characters; write it on the next line");
        }
        CheckBraces(blockText, line, out);
    }
    return out;
}

}  // namespace zelvane::check
