#pragma once
// Display forms of paths for RTF text: backslashes doubled, folder names proper-cased.

#include <string>
#include <string_view>

namespace zelvane {

struct FolderContext {
    std::string programFolder;  // no trailing backslash
    std::string gameFolder;     // as located, empty before the game folder is known
};

std::string DoubleSlash(std::string_view text);
std::string ProperCasePath(std::string_view displayText);
std::string LastFolder(std::string_view path);
std::string PathRelative(std::string_view path, std::string_view anchor, const FolderContext& folders);
// ProperCasePath(DoubleSlash(text)).
std::string Display(std::string_view text);

}  // namespace zelvane
