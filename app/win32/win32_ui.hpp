#pragma once
// The Windows user interface behind the UserInterface seam.

#include <windows.h>

#include <string_view>

#include "platform/seams/user_interface.hpp"

namespace zelvane::win32 {

class Win32UserInterface final : public UserInterface {
public:
    // The owner of prompts, dialogs and message boxes.
    void SetMainWindow(HWND window) { mainWindow_ = window; }
    HWND MainWindow() const { return mainWindow_; }

    int MsgBoxEx(PromptRequest request) override;
    void ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) override;
    std::string BrowseFolderDialog(std::string_view startFolder, std::string_view title) override;
    std::string OpenFileDialog(const OpenFileRequest& request) override;
    int ShellOpen(std::string_view file, std::string_view parameters, std::string_view directory,
                  int showCommand) override;
    void DoEvents() override;
    int TwipsPerPixelX() const override;
    int TwipsPerPixelY() const override;
    int TextWidthTwips(std::string_view text, std::string_view face, int points, bool bold) override;

private:
    HWND OwnerWindow() const;
    HWND mainWindow_ = nullptr;
};

// The one user interface of the program.
Win32UserInterface& ProgramUserInterface();

}  // namespace zelvane::win32
