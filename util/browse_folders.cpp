#include "util/browse_folders.hpp"

namespace zelvane {

std::string FolderBrowser::BrowseForFolder(UserInterface& ui, std::string_view startFolder, std::string_view title,
                                           int startMode) {
    std::string start;
    if (startMode == 0) {
        start = startFolder;
    } else if (startMode == -1) {
        start = lastBrowsedFolder_.empty() ? std::string(startFolder) : lastBrowsedFolder_;
    } else {
        start = lastBrowsedFolder_;
    }
    std::string chosen = ui.BrowseFolderDialog(start, title);
    auto nul = chosen.find('\0');
    if (nul != std::string::npos) chosen.resize(nul);
    lastBrowsedFolder_ = chosen;
    return chosen;
}

}  // namespace zelvane
