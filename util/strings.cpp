#include "util/strings.hpp"

#include "util/program_error.hpp"

namespace zelvane {

namespace {

bool MatchesAt(std::string_view text, std::size_t index, std::string_view find, CompareMode mode) {
    if (index + find.size() > text.size()) return false;
    for (std::size_t i = 0; i < find.size(); ++i) {
        char a = text[index + i];
        char b = find[i];
        if (mode == CompareMode::CaseInsensitive) {
            a = LowerCase(a);
            b = LowerCase(b);
        }
        if (a != b) return false;
    }
    return true;
}

}  // namespace

int InStr(int start, std::string_view text, std::string_view find, CompareMode mode) {
    if (start < 1) start = 1;
    auto first = static_cast<std::size_t>(start - 1);
    if (first > text.size()) return 0;
    if (find.empty()) return start;
    if (mode == CompareMode::Exact) {
        auto pos = text.find(find, first);
        return pos == std::string_view::npos ? 0 : static_cast<int>(pos) + 1;
    }
    for (std::size_t i = first; i + find.size() <= text.size(); ++i) {
        if (MatchesAt(text, i, find, mode)) return static_cast<int>(i) + 1;
    }
    return 0;
}

int FindLast(std::string_view text, std::string_view find, int start, CompareMode mode) {
    if (start == 0) throw InvalidArgumentError();
    const long length = static_cast<long>(text.size());
    long from = start;
    if (from < 0) from = length + 1 - static_cast<long>(find.size());
    if (from > length) return 0;
    // Position 1 is never examined.
    for (long p = from; p >= 2; --p) {
        if (MatchesAt(text, static_cast<std::size_t>(p - 1), find, mode)) return static_cast<int>(p);
    }
    return 0;
}

std::vector<std::string> SplitText(std::string_view text, std::string_view delimiter) {
    if (text.empty() || delimiter.empty()) return {std::string(text)};
    std::vector<std::string> pieces;
    std::size_t pieceStart = 0;
    std::size_t search = 0;
    while (true) {
        auto match = text.find(delimiter, search);
        if (match == std::string_view::npos) break;
        // Overlapping matches (a delimiter found inside the previous one) end no piece of their own.
        if (match >= pieceStart) {
            pieces.emplace_back(text.substr(pieceStart, match - pieceStart));
            pieceStart = match + delimiter.size();
        }
        search = match + 1;
    }
    pieces.emplace_back(text.substr(std::min(pieceStart, text.size())));
    return pieces;
}

std::string ReplaceText(std::string_view text, std::string_view find, std::string_view replacement, int start,
                        int count, CompareMode mode) {
    std::string result(text);
    if (find == replacement || text.empty() || find.empty()) return result;
    if (start > static_cast<int>(text.size())) return result;
    int done = 0;
    int p = InStr(start, result, find, mode);
    while (p >= 1) {
        result.replace(static_cast<std::size_t>(p - 1), find.size(), replacement);
        ++done;
        if (done == count) break;  // -1 never stops early
        p = InStr(p + static_cast<int>(replacement.size()), result, find, mode);
    }
    return result;
}

bool StartsWithKey(std::string_view line, std::string_view lowerKey) {
    if (line.size() < lowerKey.size()) return false;
    for (std::size_t i = 0; i < lowerKey.size(); ++i) {
        if (LowerCase(line[i]) != lowerKey[i]) return false;
    }
    return true;
}

std::vector<InputLine> InputLines(std::string_view text) {
    std::vector<InputLine> lines;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') continue;
        lines.push_back(InputLine{begin, text.substr(begin, i - begin)});
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        begin = i + 1;
    }
    if (begin < text.size()) lines.push_back(InputLine{begin, text.substr(begin)});
    return lines;
}

std::vector<std::string> SplitInputLines(std::string_view text) {
    std::vector<std::string> lines;
    for (const InputLine& line : InputLines(text)) lines.emplace_back(line.text);
    return lines;
}

}  // namespace zelvane
