#pragma once
// The main window's layout after a resize: the minimum size, the buttons along the bottom edge and
// the information display filling the space above them. Twips unless a name says pixels.

namespace zelvane {

struct MainWindowLayoutInput {
    int width = 0;  // the window's outer size
    int height = 0;
    bool minimized = false;
    int minimumWidth = 0;
    int minimumHeight = 0;
    int removeModWidth = 4455;  // cmdRemoveMod
    int removeModHeight = 735;
    int iniLeft = 120;  // cmdINI keeps its left
    int txtRawLeft = 120;
    int txtRawTop = 120;
    int twipsPerPixelX = 15;
    int twipsPerPixelY = 15;
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct MainWindowLayout {
    bool apply = false;    // false while minimized: nothing moves
    bool resized = false;  // the window was smaller than its minimum and takes the size below
    int width = 0;
    int height = 0;
    int removeModLeft = 0;
    int removeModTop = 0;
    int iniLeft = 0;
    int iniTop = 0;
    int txtRawLeft = 0;
    int txtRawTop = 0;
    int txtRawWidth = 0;
    int txtRawHeight = 0;
    PixelRect display;         // the information display, on txtRAW's rectangle
    int targetWidthTwips = 0;  // for SetTargetWidth: txtRAW.Width - 400
};

MainWindowLayout LayoutMainWindow(const MainWindowLayoutInput& input);

}  // namespace zelvane
