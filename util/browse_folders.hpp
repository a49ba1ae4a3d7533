#pragma once

#include <string>
#include <string_view>

#include "platform/seams/user_interface.hpp"

namespace zelvane {

// The folder-browse dialog with the memory of the last browsed folder.
class FolderBrowser {
public:
    // startMode 0: startFolder; -1: the last browsed folder, else startFolder; other: the last browsed folder or none.
    std::string BrowseForFolder(UserInterface& ui, std::string_view startFolder, std::string_view title, int startMode);
    const std::string& LastBrowsedFolder() const { return lastBrowsedFolder_; }

private:
    std::string lastBrowsedFolder_;
};

}  // namespace zelvane
