#pragma once
// The open-file dialog of the 2da restore, with the memory of the last folder a file was chosen in.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/seams/user_interface.hpp"

namespace zelvane {

struct OpenDialogOptions {
    std::string initialFolder;
    std::string filter;  // description NUL pattern pairs
    std::string title;
    std::string fileName;
    std::uintptr_t owner = 0;
    bool startInLastFolder = false;
    bool allowMultiple = false;
    std::int32_t flags = 0;  // explicit OPENFILENAME flags when above 0
    bool hookChoice = true;
    bool ownHook = true;
};

// OPENFILENAME flags the dialog is shown with.
std::int32_t OpenDialogFlags(const OpenDialogOptions& options);

class OpenDialogState {
public:
    // The full path of the chosen file, or "" when cancelled (LastOpenFolder unchanged then).
    std::string CommonDialogShowOpen(UserInterface& ui, const OpenDialogOptions& options);
    const std::string& LastOpenFolder() const { return lastOpenFolder_; }

private:
    std::string lastOpenFolder_;
};

}  // namespace zelvane
