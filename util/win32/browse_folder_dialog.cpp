#include "util/win32/browse_folder_dialog.hpp"

#include <shlobj.h>

namespace zelvane::win32 {
namespace {

constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;  // 3

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data != 0) SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

// The item list the dialog returns belongs to us.
class ItemList {
public:
    explicit ItemList(LPITEMIDLIST list) : list_(list) {}
    ~ItemList() {
        if (list_ != nullptr) CoTaskMemFree(list_);
    }
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;
    LPITEMIDLIST Get() const { return list_; }

private:
    LPITEMIDLIST list_;
};

}  // namespace

std::string PaddedBrowseTitle(std::string_view title) {
    std::string padded(title);
    if (padded.size() >= 2 && padded.size() < 80) padded.resize(80, ' ');
    return padded;
}

std::string ShowBrowseFolderDialog(HWND owner, std::string_view startFolder, std::string_view title) {
    // Both texts live on this frame for the whole time the dialog is shown.
    const std::string shownTitle = PaddedBrowseTitle(title);
    const std::string start(startFolder);

    BROWSEINFOA request{};
    request.hwndOwner = owner;
    request.pidlRoot = nullptr;
    request.pszDisplayName = nullptr;
    request.lpszTitle = shownTitle.c_str();
    request.ulFlags = kBrowseFlags;
    request.lpfn = &BrowseCallback;
    request.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
    request.iImage = 0;

    ItemList chosen(SHBrowseForFolderA(&request));
    if (chosen.Get() == nullptr) return {};
    char path[MAX_PATH + 1] = {};
    if (!SHGetPathFromIDListA(chosen.Get(), path)) return {};
    return std::string(path);
}

}  // namespace zelvane::win32
