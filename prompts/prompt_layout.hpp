#pragma once
// The arithmetic of a rich prompt's layout: where its body window goes, how wide and tall the dialog
// is and where its buttons sit. Twips unless a name says pixels.

#include <cstdint>
#include <vector>

namespace zelvane {

inline constexpr int kPromptLabelLeft = 900;  // lblMSG: the body's top-left corner
inline constexpr int kPromptLabelTop = 195;
inline constexpr int kPromptButtonDesignLeft = 360;  // cmdOK(0) as designed
inline constexpr int kPromptButtonDesignHeight = 415;
inline constexpr int kPromptButtonGap = 240;
inline constexpr int kPromptMaxButtons = 32768;  // the control array's index range

// Where the body window is created and how wide it is asked to be, before its size is read back.
struct PromptBodyPlacement {
    int xPixels = 0;
    int yPixels = 0;
    int requestedWidthPixels = 0;
    int targetWidthTwips = -1;  // the line width for SetTargetWidth in fixed mode, -1 in measured mode
};

// formatWidth / tppX + 5 pixels, rounded half to even: the window width of a fixed-width body.
int FixedBodyWindowWidth(int formatWidthTwips, int twipsPerPixelX);

PromptBodyPlacement PlacePromptBody(int labelLeft, int labelTop, int twipsPerPixelX, int twipsPerPixelY,
                                    int autoWidthPixels, int formatWidthTwips);

struct PromptLayoutInput {
    int labelLeft = kPromptLabelLeft;
    int labelTop = kPromptLabelTop;
    int twipsPerPixelX = 15;
    int twipsPerPixelY = 15;
    int autoWidthPixels = 0;
    int formatWidthTwips = -1;
    // The body window's size as read back after it was moved (pixels).
    int bodyActualWidthPixels = 0;
    int bodyActualHeightPixels = 0;
    int buttonCount = 1;  // below 2 gives one button
    int buttonWidth = 1300;
    int buttonHeight = 380;
    // Button 0's height when the dialog height is computed: the buttons get buttonHeight only later.
    int designedButtonHeight = kPromptButtonDesignHeight;
};

struct PromptLayout {
    PromptBodyPlacement body;
    int rightEdge = 0;    // the body's right edge
    int dialogWidth = 0;  // outer size of the dialog window
    int dialogHeight = 0;
    int buttonTop = 0;    // every button's top
    int buttonWidth = 0;  // every button's size
    int buttonHeight = 0;
    std::vector<int> buttonLefts;  // one per button, index 0 first
};

PromptLayout LayoutPrompt(const PromptLayoutInput& input);

// A prompt always fits the work area of its monitor. When the layout above does, it is kept as it
// is; otherwise the body is wrapped at the widest width that fits (laid out as a fixed-width body)
// and the buttons are narrowed when their row alone is wider than the work area.
struct PromptFit {
    bool wrapBody = false;
    int formatWidthTwips = -1;  // the formatWidth to lay the body out with
    int buttonWidth = 0;
};

// input holds the caller's request (autoWidthPixels, formatWidthTwips, buttons); the body's actual
// size is not needed yet.
PromptFit FitPromptToWorkArea(const PromptLayoutInput& input, int workWidthTwips);

// The tallest body (pixels) that keeps the dialog inside a work area workHeightTwips high; a taller
// body is shown at this height with a scroll bar.
int MaxBodyHeightPixels(const PromptLayoutInput& input, int workHeightTwips);

}  // namespace zelvane
