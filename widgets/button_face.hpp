#pragma once
// What one paint of a gradient button draws, worked out from its state and properties, as a plan of
// plain values that the window code carries out step by step. Pixels throughout.

#include <array>
#include <cstdint>
#include <vector>

#include "widgets/button_properties.hpp"

namespace zelvane {

struct FaceRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const FaceRect&, const FaceRect&) = default;
};

struct FacePoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const FacePoint&, const FacePoint&) = default;
};

inline constexpr std::uint32_t kDtWordBreak = 0x10;
inline constexpr std::uint32_t kDtCenterWordBreak = 0x11;  // DT_CENTER | DT_WORDBREAK
inline constexpr std::uint32_t kDtCalcRectWordBreak = 0x410;
inline constexpr std::uint32_t kEdgeNone = 0;
inline constexpr std::uint32_t kEdgeRaised = 0x05;
inline constexpr std::uint32_t kEdgeSunken = 0x0A;
inline constexpr std::uint32_t kBfRect = 0x0F;
inline constexpr std::uint32_t kIldTransparent = 1;
inline constexpr std::uint32_t kDstIconDisabled = 0x23;  // DST_ICON | DSS_DISABLED
inline constexpr int kFocusRectInset = 4;

// The pen colours of one ring of a double border (COLORREF values).
struct BorderRing {
    std::uint32_t top = 0;
    std::uint32_t right = 0;
    std::uint32_t bottom = 0;
    std::uint32_t left = 0;
};

// Ring 0 is the outermost pixel ring of the face, ring 1 the one just inside it.
extern const std::array<BorderRing, 2> kBlueBorderRings;
extern const std::array<BorderRing, 2> kGoldBorderRings;

// The corners of the face inset by ring k, clockwise from the top left, and the first again.
std::array<FacePoint, 5> SetPolyPoints(const FaceRect& face, int k);

// The rectangle the caption is measured in (DT_CALCRECT | DT_WORDBREAK): the inner size, less the
// icon's width when there is a picture.
FaceRect CaptionMeasureRect(int innerWidth, int innerHeight, bool hasPicture, int iconWidth);

// The caption colour of a state: DownColor pressed, HoverColor hovered, ForeColor otherwise.
std::uint32_t CaptionColor(const OrvoButtonProperties& properties, bool pressed, bool hover);

struct ButtonFaceInput {
    bool pressed = false;
    bool hover = false;
    bool focus = false;
    bool enabled = true;
    bool spaceHeld = false;
    bool hasPicture = false;
    bool designMode = false;  // shown in a form designer rather than in a running program
    int innerWidth = 0;
    int innerHeight = 0;
    int windowWidth = 0;  // the gradient covers the window
    int windowHeight = 0;
    int captionWidth = 0;  // as measured in CaptionMeasureRect
    int captionHeight = 0;
    int lineHeight = 0;  // height of one line of caption text
    int iconWidth = 32;
    int iconHeight = 32;
};

enum class FaceBorder { None, Blue, Gold, DottedFocus };

struct CaptionPass {
    FaceRect rect;
    std::uint32_t color = 0;  // possibly a system colour, translated before drawing
    std::uint32_t format = kDtCenterWordBreak;
};

struct IconPlacement {
    bool draw = false;
    int x = 0;
    int y = 0;
    bool disabledLook = false;  // DrawState with DST_ICON | DSS_DISABLED instead of the image list
};

struct BorderSegment {
    FacePoint from;
    FacePoint to;
    std::uint32_t color = 0;
};

struct ButtonPaintPlan {
    bool paints = false;  // false while Space is held: nothing is drawn
    std::uint32_t textColor = 0;
    FaceRect measureRect;
    FaceRect faceRect;  // filled with the COLOR_BTNFACE brush first
    bool gradient = false;
    FaceRect gradientRect;
    std::uint32_t gradientColor1 = 0;  // raw colour values, translated before conversion
    std::uint32_t gradientColor2 = 0;
    std::int32_t gradientDirection = 3;
    std::vector<CaptionPass> captionPasses;  // one when enabled, two (embossed) when disabled
    IconPlacement icon;
    std::uint32_t edge = kEdgeNone;  // DrawEdge over the face with BF_RECT, unless none
    FaceBorder border = FaceBorder::None;
    FaceRect focusRect;                         // for DottedFocus
    std::vector<BorderSegment> borderSegments;  // for Blue and Gold: ring 0 then ring 1, top, right, bottom, left
};

ButtonPaintPlan PlanButtonFace(const ButtonFaceInput& in, const OrvoButtonProperties& props);

}  // namespace zelvane
