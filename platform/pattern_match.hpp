#pragma once
// Windows-style name comparison and wildcard matching, shared by the non-Windows file systems.
// Letters compare case-insensitively, as LowerCase folds them (util/text/case_folding.hpp).

#include <string>
#include <string_view>

namespace zelvane {

bool NamesEqual(std::string_view a, std::string_view b);
// Orders names as NTFS lists them: by the case-folded text, then by the raw text.
bool NameLess(std::string_view a, std::string_view b);

// True when the name matches a pattern of '*' (any run) and '?' (one character),
// case-insensitively. As on Windows, "name.*" also matches "name" (so "*.*" matches every name)
// and a pattern ending in "." matches names without any dot ("*." lists files without extension).
bool WildcardMatch(std::string_view pattern, std::string_view name);

bool HasWildcards(std::string_view text);

}  // namespace zelvane
