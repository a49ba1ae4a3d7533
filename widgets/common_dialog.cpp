#include "widgets/common_dialog.hpp"

namespace zelvane {
namespace {

constexpr std::int32_t kOfnEnableHook = 0x20;
constexpr std::int32_t kOfnAllowMultiSelect = 0x200;
// OFN_LONGNAMES | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, with and without the hook.
constexpr std::int32_t kOpenFlagsHooked = 0x281024;
constexpr std::int32_t kOpenFlagsPlain = 0x281004;

// The folder of a chosen path: everything before the file name, up to and including the last
// backslash; "" for a bare name.
std::string FolderOfChosenFile(std::string_view path) {
    const std::size_t slash = path.find_last_of('\\');
    if (slash == std::string_view::npos) return {};
    return std::string(path.substr(0, slash + 1));
}

}  // namespace

std::int32_t OpenDialogFlags(const OpenDialogOptions& options) {
    const bool hooked = options.hookChoice && options.ownHook;
    std::int32_t flags = 0;
    if (options.flags > 0) {
        // Or-ed in, so that explicit flags that already ask for the hook stay what they are.
        flags = options.flags | (hooked ? kOfnEnableHook : 0);
    } else {
        flags = hooked ? kOpenFlagsHooked : kOpenFlagsPlain;
    }
    if (options.allowMultiple) flags |= kOfnAllowMultiSelect;
    return flags;
}

std::string OpenDialogState::CommonDialogShowOpen(UserInterface& ui, const OpenDialogOptions& options) {
    OpenFileRequest request;
    request.initialFolder =
        options.startInLastFolder && !lastOpenFolder_.empty() ? lastOpenFolder_ : options.initialFolder;
    request.filter = options.filter;
    request.title = options.title;
    request.fileName = options.fileName;
    std::string chosen = ui.OpenFileDialog(request);
    if (chosen.empty()) return {};
    lastOpenFolder_ = FolderOfChosenFile(chosen);
    return chosen;
}

}  // namespace zelvane
