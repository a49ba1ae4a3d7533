#include "app/win32/document_links.hpp"

#include <richedit.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

namespace zelvane::win32 {
namespace {

// Links longer than this are not followed (no address is that long).
constexpr LONG kMaxLinkLength = 32 * 1024;

std::string LinkText(HWND display, const CHARRANGE& range) {
    const LONG length = range.cpMax - range.cpMin;
    if (length <= 0 || length > kMaxLinkLength) return {};
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    TEXTRANGEA request{};
    request.chrg = range;
    request.lpstrText = buffer.data();
    const LRESULT got = SendMessageA(display, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&request));
    if (got <= 0) return {};
    return std::string(buffer.data(), static_cast<std::size_t>(std::min<LRESULT>(got, length)));
}

}  // namespace

std::string ClickedLink(const NMHDR& notification, HWND display) {
    if (display == nullptr || notification.hwndFrom != display || notification.code != EN_LINK) return {};
    const auto& link = reinterpret_cast<const ENLINK&>(notification);
    if (link.msg != WM_LBUTTONUP) return {};
    return LinkText(display, link.chrg);
}

void OpenLink(HWND owner, const std::string& link, const std::string& programFolder) {
    // Shown normally: a link to a document must not start its program hidden.
    ShellExecuteA(owner, "OPEN", link.c_str(), "", programFolder.empty() ? nullptr : programFolder.c_str(),
                  SW_SHOWNORMAL);
}

}  // namespace zelvane::win32
