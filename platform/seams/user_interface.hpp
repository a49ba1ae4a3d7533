#pragma once
// The user-interface seam: every dialog, message box and shell action the core asks for.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zelvane {

// Standard message box styles, with the system's values.
inline constexpr std::uint32_t kMbOk = 0x0;
inline constexpr std::uint32_t kMbIconHand = 0x10;
inline constexpr std::uint32_t kMbIconExclamation = 0x30;
inline constexpr std::uint32_t kMbIconInformation = 0x40;
inline constexpr std::uint32_t kMbSystemModal = 0x1000;

// The sixteen parameters of the rich prompt, in their order.
struct PromptRequest {
    std::string msgText;
    std::string msgTitle;
    int iconType = 0;
    int buttonCount = 1;
    bool onTop = true;
    int fontSize = 12;
    std::array<std::string, 4> captions;
    int focusIndex = 0;
    bool playSound = false;
    int buttonWidth = 1300;
    int buttonHeight = 380;
    int autoWidth = 0;     // pixels
    int formatWidth = -1;  // twips, or -1 for autoWidth
};

struct OpenFileRequest {
    std::string initialFolder;
    std::string filter;  // description NUL pattern
    std::string title;
    std::string fileName;
};

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // Returns the 0-based index of the pressed button, or -1 when the prompt was closed otherwise.
    virtual int MsgBoxEx(PromptRequest request) = 0;
    // The system's standard message box with one OK button.
    virtual void ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) = 0;
    // The shell's folder dialog, pre-selecting startFolder when not empty; "" when cancelled.
    virtual std::string BrowseFolderDialog(std::string_view startFolder, std::string_view title) = 0;
    // The open-file dialog; the chosen full path, or "" when cancelled.
    virtual std::string OpenFileDialog(const OpenFileRequest& request) = 0;
    // Opens a document with its associated program; returns the shell's code (33 or more is success).
    virtual int ShellOpen(std::string_view file, std::string_view parameters, std::string_view directory,
                          int showCommand) = 0;
    // Lets the window process its pending messages once.
    virtual void DoEvents() = 0;

    virtual int TwipsPerPixelX() const = 0;
    virtual int TwipsPerPixelY() const = 0;
    // Width in twips of a plain text in the given face, size (points) and weight.
    virtual int TextWidthTwips(std::string_view text, std::string_view face, int points, bool bold) = 0;
};

}  // namespace zelvane
