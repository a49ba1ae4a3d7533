#include "widgets/button_face.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "widgets/rounding.hpp"

namespace zelvane {
namespace {

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
    return text;
}

std::string Rect(const FaceRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// A paint plan in one line: face, caption colour, edge, border, gradient, caption passes, icon.
std::string Summary(const ButtonPaintPlan& p) {
    if (!p.paints) return "nothing";
    const char* borders[] = {"none", "blue", "gold", "dotted "};
    std::string s = "face " + Rect(p.faceRect) + " text " + Hex(p.textColor) + " edge " + Hex(p.edge) + " border " +
                    borders[static_cast<int>(p.border)];
    if (p.border == FaceBorder::DottedFocus) s += Rect(p.focusRect);
    if (p.gradient) {
        s += " gradient " + Hex(p.gradientColor1) + ">" + Hex(p.gradientColor2) + " in " + Rect(p.gradientRect) +
             " dir " + std::to_string(p.gradientDirection);
    }
    for (const CaptionPass& c : p.captionPasses)
        s += " caption " + Rect(c.rect) + " " + Hex(c.format) + " " + Hex(c.color);
    for (const BorderSegment& b : p.borderSegments)
        s += " " + Rect({b.from.x, b.from.y, b.to.x, b.to.y}) + " " + Hex(b.color);
    if (p.icon.draw) s += " icon " + std::to_string(p.icon.x) + "," + std::to_string(p.icon.y);
    return s + (p.icon.disabledLook ? " disabled" : "");
}

// cmdRemoveMod's face: 4455 x 735 twips at 15 twips per pixel, one line of caption; every state as
// the input starts it (a default state a caller leaves unset is part of the face), then changed.
ButtonFaceInput Face(const std::function<void(ButtonFaceInput&)>& change = {}) {
    ButtonFaceInput input;
    input.innerWidth = input.windowWidth = 297;
    input.innerHeight = input.windowHeight = 49;
    input.captionWidth = 100;
    input.captionHeight = input.lineHeight = 13;
    if (change) change(input);
    return input;
}

TEST(ButtonFace, EachStatePaintsItsFace) {
    OrvoButtonProperties standard, own, blueFocus, disabled;
    own.GradientUpColor1 = 0x112233;
    own.GradientUpColor2 = 0x445566;
    OrvoButtonProperties halfOwn = own;
    halfOwn.GradientUpColor2 = kColorBtnFace;  // one default colour is enough to keep the plain face
    blueFocus.UseBlueXPFocusRect = true;
    disabled.Enabled = false;
    const auto wide = [](ButtonFaceInput& f) { f.windowWidth = 299, f.windowHeight = 51; };
    const auto hovering = [](ButtonFaceInput& f) { f.hover = true; };
    const auto focused = [](ButtonFaceInput& f) { f.focus = true; };
    const auto picture = [](ButtonFaceInput& f) { f.hasPicture = true; };
    const std::string plain = "face 0,0,297,49 text 80000012 edge 5 border none caption 4,18,293,31 11 80000012";
    const std::string blueRings =
        " 0,0,296,0 F7D7BD 296,0,296,48 F0D1B5 296,48,0,48 E7AE8C 0,48,0,0 F0D1B5 1,1,295,1 "
        "FFDFBF 295,1,295,47 E7AE8C 295,47,1,47 EF826B 1,47,1,1 E7AE8C";
    const std::vector<std::tuple<ButtonFaceInput, OrvoButtonProperties, std::string>> cases = {
        {Face(), standard, plain},
        {Face(wide), own,
         "face 0,0,297,49 text 80000012 edge 5 border none gradient 112233>445566 in 0,0,299,51 dir 3 "
         "caption 4,18,293,31 11 80000012"},
        {Face([&](ButtonFaceInput& f) { wide(f), f.designMode = true; }), own, plain},
        {Face(), halfOwn, plain},
        {Face(hovering), standard,
         "face 0,0,297,49 text FF0000 edge 0 border gold gradient FFFFFF>DCDCDA in 0,0,297,49 dir 3 "
         "caption 4,18,293,31 11 FF0000 0,0,296,0 A6E9FF 296,0,296,48 31B2FF 296,48,0,48 96E7 0,48,0,0 31B2FF "
         "1,1,295,1 8CDBFF 295,1,295,47 6BCBFF 295,47,1,47 31B2FF 1,47,1,1 6BCBFF"},
        {Face([](ButtonFaceInput& f) { f.hover = f.focus = true; }), standard,
         "face 0,0,297,49 text FF0000 edge 0 border blue "
         "gradient FFFFFF>DCDCDA in 0,0,297,49 dir 3 caption 4,18,293,31 11 FF0000" +
             blueRings},
        // Without the gold border the raised edge stays.
        {Face(hovering), RemoveModButtonProperties(),
         "face 0,0,297,49 text FF0000 edge 5 border none gradient "
         "FFFFFF>C0A4D4 in 0,0,297,49 dir 4 caption 4,18,293,31 11 FF0000"},
        // Pressed: sunken, no focus mark, the caption moved by one; DownColor follows HoverColor.
        {Face([](ButtonFaceInput& f) { f.focus = f.pressed = true; }), standard,
         "face 0,0,297,49 text FF0000 edge A border "
         "none gradient F0F0EE>C8CBC3 in 0,0,297,49 dir 3 caption 5,19,294,32 11 FF0000"},
        {Face([](ButtonFaceInput& f) { f.pressed = f.spaceHeld = true; }), standard, "nothing"},
        {Face(focused), standard,
         "face 0,0,297,49 text 80000012 edge 5 border dotted 4,4,293,45 caption 4,18,293,31 11 80000012"},
        {Face(focused), blueFocus,
         "face 0,0,297,49 text 80000012 edge 5 border blue caption 4,18,293,31 11 80000012" + blueRings},
        // Disabled: the caption embossed, the icon greyed.
        {Face([&](ButtonFaceInput& f) { picture(f), f.enabled = false; }), disabled,
         "face 0,0,297,49 text 80000012 "
         "edge 5 border none caption 124,18,293,31 10 80000014 caption 123,18,292,31 10 80000010 icon 74,9 disabled"},
        // Beside a picture: (297 - 132) / 2 = 82.5 -> 82, + 32 + 10; one line is not centred. The icon at
        // (297 - 136) / 2 = 80.5 -> 80, - 6, and 17 / 2 + 0.5 = 9.
        {Face(picture), standard,
         "face 0,0,297,49 text 80000012 edge 5 border none caption 124,18,293,31 10 80000012 icon 74,9"},
        // Two lines are centred: 23 / 2 = 11.5 -> 12.
        {Face([&](ButtonFaceInput& f) { picture(f), f.captionHeight = 26; }), standard,
         "face 0,0,297,49 text 80000012 edge 5 border none caption 124,12,293,38 11 80000012 icon 74,9"},
    };
    for (const auto& [input, props, expected] : cases) EXPECT_EQ(Summary(PlanButtonFace(input, props)), expected);
}

TEST(ButtonFace, TheIconKeepsClearOfTheEdges) {
    struct Case {
        int innerWidth, innerHeight, captionWidth, pressed, x, y;
    } const cases[] = {
        {297, 48, 100, 0, 74, 8},   // 8 + 0.5 goes to the even 8
        {297, 50, 100, 0, 74, 10},  // 9 + 0.5 goes to 10
        {100, 50, 60, 0, 10, 10},   // no room: the icon sits at 10
        {120, 50, 70, 0, 8, 10},    // (120 - 106) / 2 - 6 = 1, but never left of 8
        {120, 49, 70, 1, 9, 10},
        {200, 49, 70, 0, 41, 9},  // room: centred in what the caption leaves, (200 - 106) / 2 - 6 = 41
    };
    for (const Case& c : cases) {
        ButtonFaceInput f = Face();
        f.hasPicture = true, f.pressed = c.pressed, f.captionWidth = c.captionWidth;
        f.innerWidth = c.innerWidth, f.innerHeight = c.innerHeight;
        const IconPlacement icon = PlanButtonFace(f, {}).icon;
        EXPECT_EQ((FacePoint{icon.x, icon.y}), (FacePoint{c.x, c.y})) << c.innerWidth << "x" << c.innerHeight;
    }
}

TEST(ButtonProperties, FontsAndColoursOfEachButton) {
    std::string all;
    for (const OrvoButtonProperties& p :
         {PromptButtonProperties(), RemoveModButtonProperties(), ModdersButtonProperties()}) {
        char text[300];
        std::snprintf(text, sizeof text,
                      "%s: %s %.2f %s, fore %X, hover %X, down %X>%X, hover gradient %X>%X, %s, dir %d\n",
                      p.Caption.c_str(), p.Font->face.c_str(), p.Font->points, p.Font->bold ? "bold" : "regular",
                      p.ForeColor, p.HoverColor, p.GradientDownColor1, p.GradientDownColor2, p.GradientHoverColor1,
                      p.GradientHoverColor2, p.UseGoldXPBorder ? "gold" : "no gold", p.GradientDirection);
        all += text;
    }
    EXPECT_EQ(all,
              ": MS Sans Serif 8.25 regular, fore 80000012, hover FF0000, down F0F0EE>C8CBC3, hover gradient "
              "FFFFFF>CFF1EF, gold, dir 3\n"
              "&Remove Mod: MS Sans Serif 13.50 bold, fore 80000012, hover FF0000, down C8CBC3>F4F4F2, hover gradient "
              "FFFFFF>C0A4D4, no gold, dir 4\n"
              "For &Modders - How To Use This Program In Your Own Mods: MS Sans Serif 8.25 bold, fore 80000012, hover "
              "FF00FF, down C8CBC3>F4F4F2, hover gradient FFFFFF>D4AAA4, no gold, dir 4\n");
}

TEST(Rounding, DividesToTheNearestWithHalvesToEvenAndByZeroToZero) {
    EXPECT_EQ((std::vector{DivideRoundHalfEven(5, 2), DivideRoundHalfEven(7, 2), DivideRoundHalfEven(-5, 2),
                           DivideRoundHalfEven(7, -2), DivideRoundHalfEven(7, 0)}),
              (std::vector<std::int64_t>{2, 4, -2, -4, 0}));
    // Exact beyond what a double holds, whichever the signs.
    EXPECT_EQ(DivideRoundHalfEven((std::int64_t{1} << 62) + 1, -1), -(std::int64_t{1} << 62) - 1);
}

}  // namespace
}  // namespace zelvane
