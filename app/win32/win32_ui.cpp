#include "app/win32/win32_ui.hpp"

#include <shellapi.h>

#include <string>

#include "prompts/win32/msgbox_ex.hpp"
#include "util/win32/browse_folder_dialog.hpp"
#include "widgets/win32/handles.hpp"
#include "widgets/win32/message_pump.hpp"
#include "widgets/win32/open_file_dialog.hpp"
#include "widgets/win32/twips.hpp"

namespace zelvane::win32 {

Win32UserInterface& ProgramUserInterface() {
    static Win32UserInterface ui;
    return ui;
}

HWND Win32UserInterface::OwnerWindow() const { return IsWindow(mainWindow_) ? mainWindow_ : nullptr; }

int Win32UserInterface::MsgBoxEx(PromptRequest request) { return ShowMsgBoxEx(OwnerWindow(), std::move(request)); }

void Win32UserInterface::ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) {
    const std::string body(text);
    const std::string caption(title);
    // A system-modal box stays on top of everything; a visible owner keeps it modal to the program.
    HWND owner = OwnerWindow();
    if (owner != nullptr && !IsWindowVisible(owner)) owner = nullptr;
    MessageBoxA(owner, body.c_str(), caption.c_str(), style);
}

std::string Win32UserInterface::BrowseFolderDialog(std::string_view startFolder, std::string_view title) {
    return ShowBrowseFolderDialog(OwnerWindow(), startFolder, title);
}

std::string Win32UserInterface::OpenFileDialog(const OpenFileRequest& request) {
    return ShowOpenFileDialog(nullptr, request);
}

int Win32UserInterface::ShellOpen(std::string_view file, std::string_view parameters, std::string_view directory,
                                  int showCommand) {
    const std::string f(file), p(parameters), d(directory);
    const HINSTANCE result = ShellExecuteA(nullptr, "Open", f.c_str(), p.empty() ? nullptr : p.c_str(),
                                           d.empty() ? nullptr : d.c_str(), showCommand);
    return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

void Win32UserInterface::DoEvents() { win32::DoEvents(); }

int Win32UserInterface::TwipsPerPixelX() const { return win32::TwipsPerPixelX(); }
int Win32UserInterface::TwipsPerPixelY() const { return win32::TwipsPerPixelY(); }

int Win32UserInterface::TextWidthTwips(std::string_view text, std::string_view face, int points, bool bold) {
    UniqueFont font(CreatePointFont(face, points, bold));
    WindowDc screen(nullptr);
    SelectedObject selected(screen.Get(), font.Get());
    SIZE size{};
    const std::string copy(text);
    if (!GetTextExtentPoint32A(screen.Get(), copy.c_str(), static_cast<int>(copy.size()), &size)) return 0;
    return size.cx * win32::TwipsPerPixelX();
}

}  // namespace zelvane::win32
