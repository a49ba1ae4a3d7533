#include "widgets/button_face.hpp"

#include "widgets/rounding.hpp"

namespace zelvane {

const std::array<BorderRing, 2> kBlueBorderRings = {{
    {0xF7D7BD, 0xF0D1B5, 0xE7AE8C, 0xF0D1B5},
    {0xFFDFBF, 0xE7AE8C, 0xEF826B, 0xE7AE8C},
}};

const std::array<BorderRing, 2> kGoldBorderRings = {{
    {0xA6E9FF, 0x31B2FF, 0x0096E7, 0x31B2FF},
    {0x8CDBFF, 0x6BCBFF, 0x31B2FF, 0x6BCBFF},
}};

namespace {

int Half(std::int64_t value) { return ClampToInt32(DivideRoundHalfEven(value, 2)); }

void AddRings(const FaceRect& face, const std::array<BorderRing, 2>& rings, std::vector<BorderSegment>& segments) {
    for (int k = 0; k < 2; ++k) {
        const std::array<FacePoint, 5> p = SetPolyPoints(face, k);
        const BorderRing& ring = rings[static_cast<std::size_t>(k)];
        segments.push_back({p[0], p[1], ring.top});
        segments.push_back({p[1], p[2], ring.right});
        segments.push_back({p[2], p[3], ring.bottom});
        segments.push_back({p[3], p[4], ring.left});
    }
}

}  // namespace

std::array<FacePoint, 5> SetPolyPoints(const FaceRect& face, int k) {
    const FacePoint topLeft{face.left + k, face.top + k};
    return {topLeft, FacePoint{face.right - k - 1, face.top + k}, FacePoint{face.right - k - 1, face.bottom - k - 1},
            FacePoint{face.left + k, face.bottom - k - 1}, topLeft};
}

FaceRect CaptionMeasureRect(int innerWidth, int innerHeight, bool hasPicture, int iconWidth) {
    return FaceRect{0, 0, hasPicture ? innerWidth - iconWidth : innerWidth, innerHeight};
}

std::uint32_t CaptionColor(const OrvoButtonProperties& properties, bool pressed, bool hover) {
    if (pressed) return properties.EffectiveDownColor();
    if (hover) return properties.HoverColor;
    return properties.ForeColor;
}

ButtonPaintPlan PlanButtonFace(const ButtonFaceInput& in, const OrvoButtonProperties& props) {
    ButtonPaintPlan plan;
    if (in.spaceHeld) return plan;
    plan.paints = true;
    plan.textColor = CaptionColor(props, in.pressed, in.hover);
    plan.measureRect = CaptionMeasureRect(in.innerWidth, in.innerHeight, in.hasPicture, in.iconWidth);
    plan.faceRect = FaceRect{0, 0, in.innerWidth, in.innerHeight};

    // Face gradient; the normal state keeps the plain button face while its colours are the default.
    plan.gradientRect = FaceRect{0, 0, in.windowWidth, in.windowHeight};
    plan.gradientDirection = props.GradientDirection;
    if (in.pressed) {
        plan.gradient = true;
        plan.gradientColor1 = props.GradientDownColor1;
        plan.gradientColor2 = props.GradientDownColor2;
    } else if (in.hover) {
        plan.gradient = true;
        plan.gradientColor1 = props.GradientHoverColor1;
        plan.gradientColor2 = props.GradientHoverColor2;
    } else if (props.GradientUpColor1 != kColorBtnFace && props.GradientUpColor2 != kColorBtnFace && !in.designMode) {
        plan.gradient = true;
        plan.gradientColor1 = props.GradientUpColor1;
        plan.gradientColor2 = props.GradientUpColor2;
    }

    // Caption.
    const std::int64_t W = in.innerWidth;
    const std::int64_t H = in.innerHeight;
    const std::int64_t w = in.captionWidth;
    const std::int64_t h = in.captionHeight;
    const std::int64_t P = in.iconWidth;
    const int d = in.pressed ? 1 : 0;
    FaceRect caption;
    caption.top = Half(H - h) + d;
    caption.bottom = ClampToInt32(static_cast<std::int64_t>(caption.top) + h);
    caption.right = ClampToInt32(W - 4 + d);
    std::uint32_t format = kDtCenterWordBreak;
    if (!in.hasPicture) {
        caption.left = 4 + d;
    } else {
        caption.left = ClampToInt32(static_cast<std::int64_t>(Half(W - (P + w))) + P + 10 + d);
        const bool severalLines = in.lineHeight > 0 && h > in.lineHeight;
        format = severalLines ? kDtCenterWordBreak : kDtWordBreak;
    }
    if (in.enabled) {
        plan.captionPasses.push_back({caption, plan.textColor, format});
    } else {
        plan.captionPasses.push_back({caption, kColorBtnHighlight, format});
        FaceRect shadow = caption;
        shadow.left -= 1;
        shadow.right -= 1;
        plan.captionPasses.push_back({shadow, kColorBtnShadow, format});
    }

    // Icon beside the caption.
    if (in.hasPicture) {
        plan.icon.draw = true;
        std::int64_t x = 10;
        if (P + w + 10 < W) {
            x = Half(W - (P + w + 4)) - 6;
            if (x < 8) x = 8;
        }
        // (H - icon height) / 2 + 0.5, rounded: the same as rounding (H - icon height + 1) / 2.
        const std::int64_t y = Half(H - in.iconHeight + 1);
        plan.icon.x = ClampToInt32(x + d);
        plan.icon.y = ClampToInt32(y + d);
        plan.icon.disabledLook = !in.enabled;
    }

    // 3D edge.
    if (in.pressed)
        plan.edge = kEdgeSunken;
    else if (in.hover && props.UseGoldXPBorder)
        plan.edge = kEdgeNone;
    else
        plan.edge = kEdgeRaised;

    // Focus marks and XP borders.
    if (!in.pressed && !in.hover && in.focus) {
        plan.border = props.UseBlueXPFocusRect ? FaceBorder::Blue : FaceBorder::DottedFocus;
    } else if (in.hover && !in.pressed && in.focus) {
        plan.border = FaceBorder::Blue;
    } else if (in.hover && props.UseGoldXPBorder && !in.focus) {
        plan.border = FaceBorder::Gold;
    }
    if (plan.border == FaceBorder::DottedFocus) {
        plan.focusRect = FaceRect{plan.faceRect.left + kFocusRectInset, plan.faceRect.top + kFocusRectInset,
                                  plan.faceRect.right - kFocusRectInset, plan.faceRect.bottom - kFocusRectInset};
    } else if (plan.border == FaceBorder::Blue) {
        AddRings(plan.faceRect, kBlueBorderRings, plan.borderSegments);
    } else if (plan.border == FaceBorder::Gold) {
        AddRings(plan.faceRect, kGoldBorderRings, plan.borderSegments);
    }
    return plan;
}

}  // namespace zelvane
