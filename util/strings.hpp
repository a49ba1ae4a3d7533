#pragma once
// String functions the path helpers build on. Positions are 1-based; 0 means not found. Letter
// case is compared as LowerCase folds it (util/text/case_folding.hpp).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "util/text/case_folding.hpp"

namespace zelvane {

enum class CompareMode { Exact = 0, CaseInsensitive = 1 };

// Last occurrence of find at or before start (-1 = from the end). Position 1 is never examined.
// A start of 0 throws InvalidArgumentError.
int FindLast(std::string_view text, std::string_view find, int start, CompareMode mode);
std::vector<std::string> SplitText(std::string_view text, std::string_view delimiter);
std::string ReplaceText(std::string_view text, std::string_view find, std::string_view replacement, int start,
                        int count, CompareMode mode);

// First occurrence of find at or after start (1-based), 0 when absent (exact comparison).
int InStr(int start, std::string_view text, std::string_view find, CompareMode mode = CompareMode::Exact);
bool StartsWithKey(std::string_view line, std::string_view lowerKey);  // first len(key) chars, lower-cased
// The lines of a text as sequential text input reads them: CR or CR LF ends a line, LF alone does
// not. Each line is a view into the text, without its line end, and where it begins.
struct InputLine {
    std::size_t offset = 0;
    std::string_view text;
};
std::vector<InputLine> InputLines(std::string_view text);
// The same lines as strings of their own.
std::vector<std::string> SplitInputLines(std::string_view text);

inline constexpr std::string_view kCrLf = "\r\n";

}  // namespace zelvane
