#include "widgets/win32/open_file_dialog.hpp"

#include <commdlg.h>

#include <vector>

#include "widgets/common_dialog.hpp"

namespace zelvane::win32 {
namespace {

std::string& Selection() {
    static std::string selection;
    return selection;
}

void CentreOnScreen(HWND frame) {
    RECT r{};
    if (!GetWindowRect(frame, &r)) return;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
    SetWindowPos(frame, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);  // 0x15
}

}  // namespace

const std::string& OpenDialogSelection() { return Selection(); }

static_assert(sizeof(void*) != 4 || kOpenFileNameSize == 76, "the 32-bit ANSI OPENFILENAME is 76 bytes");

UINT_PTR CALLBACK OpenDialogHookProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        CentreOnScreen(GetParent(dialog));
    } else if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header != nullptr && header->code == CDN_INITDONE) {
            // The frame reaches its final size only after WM_INITDIALOG: centre it again at that size.
            CentreOnScreen(GetParent(dialog));
        } else if (header != nullptr && header->code == CDN_SELCHANGE) {
            char path[MAX_PATH] = {};
            const LRESULT length =
                SendMessageA(GetParent(dialog), CDM_GETFILEPATH, sizeof path, reinterpret_cast<LPARAM>(path));
            Selection() = length > 0 ? std::string(path) : std::string();
        }
    }
    return 0;
}

std::string ShowOpenFileDialog(HWND owner, const OpenFileRequest& request) {
    OpenDialogOptions options;
    options.initialFolder = request.initialFolder;
    options.filter = request.filter;
    options.title = request.title;
    options.fileName = request.fileName;

    // The filter pairs end with a double NUL.
    std::string filter = request.filter;
    filter.append(2, '\0');
    // The name in a NUL-filled buffer large enough for any path the dialog may return.
    std::vector<char> file(request.fileName.size() + 4096, '\0');
    request.fileName.copy(file.data(), request.fileName.size());
    std::vector<char> fileTitle(MAX_PATH + 1, '\0');

    OPENFILENAMEA ofn{};
    ofn.lStructSize = kOpenFileNameSize;
    ofn.hwndOwner = owner;
    ofn.hInstance = GetModuleHandleA(nullptr);
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrFileTitle = fileTitle.data();
    ofn.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
    ofn.lpstrInitialDir = request.initialFolder.empty() ? nullptr : request.initialFolder.c_str();
    ofn.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
    ofn.Flags = static_cast<DWORD>(OpenDialogFlags(options));
    ofn.lpfnHook = &OpenDialogHookProc;

    Selection().clear();
    if (GetOpenFileNameA(&ofn) != TRUE) return {};
    const std::string folder(file.data(), ofn.nFileOffset);
    const std::string name(file.data() + ofn.nFileOffset);
    return folder + name;
}

}  // namespace zelvane::win32
