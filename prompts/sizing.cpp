#include "prompts/sizing.hpp"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "util/legacy_number.hpp"
#include "widgets/rounding.hpp"

namespace zelvane {
namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::string_view kCrLfText = "\r\n";
constexpr std::string_view kParLineEnd = "\\par \r\n";

std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement) {
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t hit = text.find(find); hit != npos; hit = text.find(find, from)) {
        out.append(text.substr(from, hit - from));
        out.append(replacement);
        from = hit + find.size();
    }
    out.append(text.substr(from));
    return out;
}

// Lines separated by CRLF; an empty text has no lines at all.
std::vector<std::string_view> SplitAtCrLf(std::string_view text) {
    std::vector<std::string_view> lines;
    if (text.empty()) return lines;
    std::size_t from = 0;
    for (std::size_t hit = text.find(kCrLfText); hit != npos; hit = text.find(kCrLfText, from)) {
        lines.push_back(text.substr(from, hit - from));
        from = hit + kCrLfText.size();
    }
    lines.push_back(text.substr(from));
    return lines;
}

// The point size that "\fs" with the given digits names: half the value, rounded half to even.
// nullopt when the value cannot be read or does not fit a 32-bit size.
std::optional<std::int64_t> HalfPointsToPoints(std::string_view digits) {
    const std::optional<double> value = ReadLegacyNumber(digits);
    if (!value) return std::nullopt;
    const double points = RoundHalfEven(*value / 2.0);
    if (!(points >= -2147483648.0 && points <= 2147483647.0)) return std::nullopt;
    return static_cast<std::int64_t>(points);
}

// The fragment's line ends made uniform: "\par " CRLF, "\par " and CRLF all become "\par " CRLF.
std::string UniformLineEnds(std::string_view text) {
    std::string s = ReplaceAll(text, kParLineEnd, "**SREP1**");
    s = ReplaceAll(s, "\\par ", "**SREP2**");
    s = ReplaceAll(s, kCrLfText, "**SREP3**");
    s = ReplaceAll(s, "**SREP1**", kParLineEnd);
    s = ReplaceAll(s, "**SREP2**", kParLineEnd);
    s = ReplaceAll(s, "**SREP3**", kParLineEnd);
    return s;
}

}  // namespace

std::string StripRtfCodes(std::string_view text) {
    const std::string s = ReplaceAll(text, "\\\\", "\\");
    std::size_t backslash = s.find('\\');
    if (backslash == npos) return s;
    std::string out;
    out.reserve(s.size());
    out.append(s, 0, backslash);
    // s[backslash] is the backslash at the current search position; out holds what precedes it.
    while (true) {
        const std::size_t space = s.find(' ', backslash + 1);
        if (space == npos) {  // no space ends this control word, nor any later one: all stay
            out.append(s, backslash, npos);
            return out;
        }
        // The backslash, the word and its space go; the character that moves into their place is
        // passed over by the next search, even when it is itself a backslash.
        const std::size_t moved = space + 1;
        if (moved >= s.size()) return out;
        out.push_back(s[moved]);
        backslash = s.find('\\', moved + 1);
        if (backslash == npos) {
            out.append(s, moved + 1, npos);
            return out;
        }
        out.append(s, moved + 1, backslash - (moved + 1));
    }
}

void DetermineFonts(std::string_view header, std::vector<std::string>& fontTable) {
    std::string_view s = header;
    const std::size_t colorTable = s.find("{\\colortbl");
    if (colorTable != npos) s = s.substr(0, colorTable >= 2 ? colorTable - 2 : 0);
    const std::size_t fontTableStart = s.find("{\\fonttbl");
    if (fontTableStart != npos) s = s.substr(fontTableStart + 9);

    fontTable.clear();
    constexpr std::string_view kCharset = "\\fcharset";
    std::size_t semicolon = npos;
    bool semicolonKnown = false;
    for (std::size_t p = s.find(kCharset); p != npos; p = s.find(kCharset, p + 1)) {
        // The first ";" after p; a later p reuses it while it still lies after p.
        if (!semicolonKnown || (semicolon != npos && semicolon < p + 1)) {
            semicolon = s.find(';', p + 1);
            semicolonKnown = true;
        }
        if (semicolon == npos) {
            fontTable.emplace_back("Times New Roman");
            continue;
        }
        // The name follows "\fcharset", a one-digit number and a space.
        const std::size_t nameStart = p + kCharset.size() + 2;
        // A face name is at most 31 characters (a font is created from no more), so a run of
        // entries sharing one far-off ";" keeps its memory and time linear.
        constexpr std::size_t kMaxFaceName = 31;
        if (nameStart >= semicolon)
            fontTable.emplace_back();
        else
            fontTable.emplace_back(s.substr(nameStart, std::min(semicolon - nameStart, kMaxFaceName)));
    }
}

int FontNumeric(std::string_view text, int limit) {
    // "\f" + N occurs exactly when N's digits begin a digit run that follows "\f" (or "\F": the text
    // is compared lower-cased). The smallest such N of a run is its first digit, so the answer is
    // the smallest first digit of all runs, when it is within the limit.
    if (limit < 0) return -1;
    int smallest = 10;
    for (std::size_t i = text.find('\\'); i != npos && i + 2 < text.size(); i = text.find('\\', i + 1)) {
        const char f = text[i + 1];
        const char digit = text[i + 2];
        if ((f == 'f' || f == 'F') && digit >= '0' && digit <= '9' && digit - '0' < smallest) {
            smallest = digit - '0';
            if (smallest == 0) break;
        }
    }
    if (smallest > 9 || smallest > limit) return -1;
    return smallest;
}

int AutoDetermineWidth(std::string& text, int fontSize, std::string_view fontName, UserInterface& ui) {
    std::int64_t size = fontSize;
    std::int64_t largest = 0;
    bool wholeDocument = false;
    std::vector<std::string> fontTable;
    std::string header;
    std::string work;

    if (std::string_view(text).substr(0, 6) == "{\\rtf1") {
        // A whole document is measured on a copy; the caller's text stays as it is.
        work = text;
        const std::size_t par = work.find("\\par");
        if (par != npos) {
            header = work.substr(0, par + 5);
            DetermineFonts(header, fontTable);
        }
        const std::size_t fs = work.find("\\fs");
        if (fs != npos) {
            const std::size_t space = work.find(' ', fs + 1);
            if (space != npos) {
                if (const auto points = HalfPointsToPoints(std::string_view(work).substr(fs + 3, space - fs - 3))) {
                    size = *points;
                    largest = size;
                }
                work.erase(0, space + 1);
            }
            wholeDocument = true;
            if (!work.empty() && work.back() == '}') work.pop_back();
        }
    } else {
        text = UniformLineEnds(text);
        work = text;
    }

    const std::vector<std::string_view> lines = SplitAtCrLf(work);
    bool bold = false;
    std::size_t longestLength = 0;
    std::size_t longestIndex = 0;
    std::string longestStripped;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::string_view line = lines[index];
        bold = line.find("\\b ") != npos;
        std::size_t space = npos;
        bool spaceKnown = false;
        for (std::size_t p = line.find("\\fs"); p != npos; p = line.find("\\fs", p + 1)) {
            if (!spaceKnown || (space != npos && space < p + 1)) {
                space = line.find(' ', p + 1);
                spaceKnown = true;
            }
            if (space == npos) break;  // no later "\fs" has a space after it either
            const auto points = HalfPointsToPoints(line.substr(p + 3, space - p - 3));
            if (points && *points > largest) largest = *points;
        }
        std::string stripped = StripRtfCodes(line);
        if (stripped.size() > longestLength) {
            longestLength = stripped.size();
            longestIndex = index;
            longestStripped = std::move(stripped);
        }
    }

    if (largest < size) largest = size - 1;

    std::string face(fontName);
    if (wholeDocument && !lines.empty()) {
        // A font number outside the table leaves the face as it was: the font name argument.
        const auto useEntry = [&](int n) {
            if (n >= 0 && static_cast<std::size_t>(n) < fontTable.size()) face = fontTable[static_cast<std::size_t>(n)];
        };
        int n = FontNumeric(lines[longestIndex], 100);
        if (n != -1) {
            useEntry(n);
        } else {
            bool found = false;
            for (std::size_t i = longestIndex + 1; longestIndex > 0 && i-- > 0;) {
                n = FontNumeric(lines[i], 100);
                if (n != -1) {
                    useEntry(n);
                    found = true;
                    break;
                }
            }
            if (!found) {
                const std::size_t viewkind = header.find("\\viewkind");
                if (viewkind != npos) {
                    const std::size_t from = viewkind + 8;
                    const std::string_view tail = std::string_view(header).substr(from, header.size() - from - 1);
                    n = FontNumeric(tail, 100);
                    if (n != -1) useEntry(n);
                }
            }
        }
    }

    const std::int32_t points = ClampToInt32(largest + 1);
    std::int64_t widthTwips = 0;
    if (!lines.empty()) widthTwips = ui.TextWidthTwips(longestStripped, face, points, bold);
    if (widthTwips < 0) widthTwips = 0;  // a window width is never negative

    const int twipsPerPixel = ui.TwipsPerPixelX();
    if (twipsPerPixel <= 0) return 50;
    // The width is never negative, so the margin makes every prompt at least 50 pixels wide.
    return ClampToInt32(DivideRoundHalfEven(widthTwips, twipsPerPixel) + 50);
}

}  // namespace zelvane
