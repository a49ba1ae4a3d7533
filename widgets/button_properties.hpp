#pragma once
// The saved properties of an Orvo_Button gradient button, with their defaults, and the settings of
// the program's own buttons.

#include <cstdint>
#include <optional>
#include <string>

namespace zelvane {

inline constexpr std::uint32_t kColorBtnFace = 0x8000000F;       // system colour COLOR_BTNFACE
inline constexpr std::uint32_t kColorBtnShadow = 0x80000010;     // COLOR_BTNSHADOW
inline constexpr std::uint32_t kColorBtnText = 0x80000012;       // COLOR_BTNTEXT
inline constexpr std::uint32_t kColorBtnHighlight = 0x80000014;  // COLOR_BTNHIGHLIGHT

struct ButtonFont {
    std::string face;
    double points = 8.25;
    bool bold = false;
};

struct OrvoButtonProperties {
    std::string Caption;  // the control's own name unless set
    bool Enabled = true;
    std::uint32_t ForeColor = kColorBtnText;
    std::uint32_t HoverColor = 0xFF0000;
    std::optional<std::uint32_t> DownColor;  // HoverColor when not set
    std::optional<ButtonFont> Font;          // the container's font when not set
    std::uint32_t GradientUpColor1 = kColorBtnFace;
    std::uint32_t GradientUpColor2 = kColorBtnFace;
    std::uint32_t GradientDownColor1 = 0xF0F0EE;
    std::uint32_t GradientDownColor2 = 0xC8CBC3;
    std::uint32_t GradientHoverColor1 = 0xFFFFFF;
    std::uint32_t GradientHoverColor2 = 0xDCDCDA;
    bool UseGoldXPBorder = true;
    bool UseBlueXPFocusRect = false;
    std::int32_t GradientDirection = 3;

    std::uint32_t EffectiveDownColor() const { return DownColor.value_or(HoverColor); }
};

// "&Remove Mod" of the main window.
inline OrvoButtonProperties RemoveModButtonProperties() {
    OrvoButtonProperties p;
    p.Caption = "&Remove Mod";
    p.Font = ButtonFont{"MS Sans Serif", 13.5, true};
    p.GradientDownColor1 = 0xC8CBC3;
    p.GradientDownColor2 = 0xF4F4F2;
    p.GradientHoverColor2 = 0xC0A4D4;
    p.UseGoldXPBorder = false;
    p.GradientDirection = 4;
    return p;
}

// "For &Modders - ..." of the main window.
inline OrvoButtonProperties ModdersButtonProperties() {
    OrvoButtonProperties p;
    p.Caption = "For &Modders - How To Use This Program In Your Own Mods";
    p.Font = ButtonFont{"MS Sans Serif", 8.25, true};
    p.HoverColor = 0xFF00FF;
    p.GradientDownColor1 = 0xC8CBC3;
    p.GradientDownColor2 = 0xF4F4F2;
    p.GradientHoverColor2 = 0xD4AAA4;
    p.UseGoldXPBorder = false;
    p.GradientDirection = 4;
    return p;
}

// cmdOK(0) of the rich prompt; its captions are set per prompt.
inline OrvoButtonProperties PromptButtonProperties() {
    OrvoButtonProperties p;
    p.Caption = "";
    p.Font = ButtonFont{"MS Sans Serif", 8.25, false};
    p.GradientHoverColor2 = 0xCFF1EF;
    return p;
}

}  // namespace zelvane
