#pragma once
// frmMAIN: the program's main window with the information display and its two buttons.

#include <windows.h>

#include <string>

#include "description/uninstall_description.hpp"
#include "platform/win32/win32_file_system.hpp"
#include "platform/win32/win32_instance_check.hpp"
#include "platform/win32/win32_registry.hpp"
#include "util/browse_folders.hpp"
#include "widgets/win32/handles.hpp"

namespace zelvane::win32 {

inline constexpr const char* kMainWindowClass = "frmMAIN";
inline constexpr const char* kMainWindowDesignCaption = "Zelvane";

// Control ids of the main window.
enum MainControlId : int {
    kIdLabel1 = 1001,
    kIdTxtRaw = 1002,
    kIdCmdRemoveMod = 1003,
    kIdCmdIni = 1004,
    kIdLblNoRtf = 1005,
    kIdLblDo = 1006,
    kIdTxtDo = 1007,
};

bool RegisterMainWindowClass(HINSTANCE instance);

class FrmMain {
public:
    FrmMain();
    ~FrmMain();
    FrmMain(const FrmMain&) = delete;
    FrmMain& operator=(const FrmMain&) = delete;

    // Creates the hidden window with its design values.
    bool Create(HINSTANCE instance);
    // The start-up sequence; false when the program is to end at once.
    bool Form_Load();
    void Show(int showCommand);

    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Keys the information display would keep to itself: Alt+M, Alt+R and Tab work whatever has
    // the focus. True when the message was handled and is not to be dispatched.
    bool PreTranslateMessage(const MSG& message);

private:
    struct TwipsRect {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
    };

    void CreateControls();
    HWND CreateChild(const char* className, const char* text, DWORD style, const TwipsRect& r, int id, HFONT font);
    void MoveChild(HWND child, const TwipsRect& r);
    SIZE OuterSizeTwips() const;
    void SetOuterHeightTwips(int height);
    bool ShowDocument(const std::string& documentPath);
    void EnterIniErrorLook();
    void CentreOnScreen();

    void Form_Resize();
    bool Form_KeyDown(WPARAM keyCode, bool alt);
    void Form_Unload();
    void cmdRemoveMod_Click();
    void cmdINI_Click();
    void FocusFirstButton();
    void MoveFocus(bool backwards);
    bool KeepsKeysToItself(HWND window) const;
    LRESULT OnColorStatic(HDC dc, HWND control);

    UniqueWindow window_;
    HWND label1_ = nullptr;
    HWND txtRaw_ = nullptr;
    HWND txtDo_ = nullptr;
    HWND lblDo_ = nullptr;
    HWND lblNoRtf_ = nullptr;
    HWND cmdRemoveMod_ = nullptr;
    HWND cmdIni_ = nullptr;
    UniqueWindow richEdit_;  // the information display
    HWND lastFocus_ = nullptr;

    UniqueFont formFont_;
    UniqueFont label1Font_;
    UniqueFont txtRawFont_;
    UniqueFont lblNoRtfFont_;
    UniqueFont txtDoFont_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    UniqueIcon picButton1_;
    UniqueIcon picButton2_;

    TwipsRect txtRawRect_;
    int minimumWidth_ = 0;
    int minimumHeight_ = 0;
    bool loaded_ = false;
    bool iniErrorNotice_ = false;
    bool closeRequested_ = false;

    std::string programFolder_;
    UninstallDescription description_;
    Win32FileSystem fs_;
    Win32Registry registry_;
    Win32InstanceCheck instance_;
    FolderBrowser browser_;
};

}  // namespace zelvane::win32
