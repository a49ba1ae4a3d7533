#include "widgets/button_face.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

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
    OrvoButtonProperties own;
    own.GradientUpColor1 = 0x112233;
    own.GradientUpColor2 = 0x445566;
    OrvoButtonProperties halfOwn = own;
    halfOwn.GradientUpColor2 = kColorBtnFace;  // one default colour is enough to keep the plain face
    OrvoButtonProperties blueFocus;
    blueFocus.UseBlueXPFocusRect = true;
    OrvoButtonProperties disabled;
    disabled.Enabled = false;
    const auto wide = [](ButtonFaceInput& f) { f.windowWidth = 299, f.windowHeight = 51; };
    const auto hovering = [](ButtonFaceInput& f) { f.hover = true; };
    const auto focused = [](ButtonFaceInput& f) { f.focus = true; };
    const auto picture = [](ButtonFaceInput& f) { f.hasPicture = true; };
    const std::string plain = "face 0,0,297,49 text 80000012 edge 5 border none caption 4,18,293,31 11 80000012";
    const std::string hover =
        "face 0,0,297,49 text FF0000 edge 0 border gold gradient FFFFFF>DCDCDA in 0,0,297,49 "
        "dir 3 caption 4,18,293,31 11 FF0000";
    // clang-format off
    const std::vector<std::tuple<ButtonFaceInput, OrvoButtonProperties, std::string>> cases = {
        {Face(), {}, plain},
        {Face(wide), own, "face 0,0,297,49 text 80000012 edge 5 border none gradient 112233>445566 in 0,0,299,51 dir 3 "
                    "caption 4,18,293,31 11 80000012"},
        {Face([&](ButtonFaceInput& f) { wide(f), f.designMode = true; }), own, plain}, {Face(), halfOwn, plain},
        {Face(hovering), {}, hover},
        {Face([](ButtonFaceInput& f) { f.hover = f.focus = true; }), {}, "face 0,0,297,49 text FF0000 edge 0 border blue gradient FFFFFF>DCDCDA in 0,0,297,49 "
                               "dir 3 caption 4,18,293,31 11 FF0000"},
        // Without the gold border the raised edge stays.
        {Face(hovering), RemoveModButtonProperties(), "face 0,0,297,49 text FF0000 edge 5 border none gradient "
                                                  "FFFFFF>C0A4D4 in 0,0,297,49 dir 4 caption 4,18,293,31 11 FF0000"},
        // Pressed: sunken, no focus mark, the caption moved by one; DownColor follows HoverColor.
        {Face([](ButtonFaceInput& f) { f.focus = f.pressed = true; }), {}, "face 0,0,297,49 text FF0000 edge A border none gradient F0F0EE>C8CBC3 in "
                                      "0,0,297,49 dir 3 caption 5,19,294,32 11 FF0000"},
        {Face([](ButtonFaceInput& f) { f.pressed = f.spaceHeld = true; }), {}, "nothing"},
        {Face(focused), {}, "face 0,0,297,49 text 80000012 edge 5 border dotted 4,4,293,45 caption 4,18,293,31 "
                                "11 80000012"},
        {Face(focused), blueFocus, "face 0,0,297,49 text 80000012 edge 5 border blue caption 4,18,293,31 11 "
                                       "80000012"},
        // Disabled: the caption embossed, the icon greyed.
        {Face([&](ButtonFaceInput& f) { picture(f), f.enabled = false; }), disabled, "face 0,0,297,49 text 80000012 edge 5 border none caption 124,18,293,31 10 80000014 "
                                "caption 123,18,292,31 10 80000010 icon 74,9 disabled"},
        // Beside a picture: (297 - 132) / 2 = 82.5 -> 82, + 32 + 10; one line is not centred. The icon at
        // (297 - 136) / 2 = 80.5 -> 80, - 6, and 17 / 2 + 0.5 = 9.
        {Face(picture), {}, "face 0,0,297,49 text 80000012 edge 5 border none caption 124,18,293,31 "
                                              "10 80000012 icon 74,9"},
        // Two lines are centred: 23 / 2 = 11.5 -> 12.
        {Face([&](ButtonFaceInput& f) { picture(f), f.captionHeight = 26; }), {}, "face 0,0,297,49 text 80000012 edge 5 border none caption 124,12,293,38 11 80000012 icon 74,9"},
    };
    // clang-format on
    for (const auto& [input, props, expected] : cases) EXPECT_EQ(Summary(PlanButtonFace(input, props)), expected);
}

TEST(ButtonFace, TheTwoRingsOfTheBorders) {
    ButtonPaintPlan plan = PlanButtonFace(Face([](ButtonFaceInput& f) { f.hover = true; }), OrvoButtonProperties{});
    ASSERT_EQ(plan.borderSegments.size(), 8u);
    EXPECT_EQ(plan.borderSegments[0].color, 0xA6E9FFu);  // ring 0 top
    EXPECT_EQ(plan.borderSegments[2].color, 0x0096E7u);  // ring 0 bottom
    EXPECT_EQ(plan.borderSegments[6].color, 0x31B2FFu);  // ring 1 bottom
    EXPECT_EQ(plan.borderSegments[0].from, (FacePoint{0, 0}));
    EXPECT_EQ(plan.borderSegments[0].to, (FacePoint{296, 0}));
    EXPECT_EQ(plan.borderSegments[1].to, (FacePoint{296, 48}));
    EXPECT_EQ(plan.borderSegments[2].from, (FacePoint{296, 48}));
    EXPECT_EQ(plan.borderSegments[4].from, (FacePoint{1, 1}));
    EXPECT_EQ(plan.borderSegments[6].from, (FacePoint{295, 47}));
    plan = PlanButtonFace(Face([](ButtonFaceInput& f) { f.hover = f.focus = true; }), {});
    ASSERT_EQ(plan.borderSegments.size(), 8u);
    const std::uint32_t blue[] = {0xF7D7BD, 0xF0D1B5, 0xE7AE8C, 0xF0D1B5, 0xFFDFBF, 0xE7AE8C, 0xEF826B, 0xE7AE8C};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(plan.borderSegments[i].color, blue[i]) << i;
}

TEST(ButtonFace, TheIconKeepsClearOfTheEdges) {
    ButtonFaceInput input = Face([](ButtonFaceInput& f) { f.hasPicture = true; });
    input.innerHeight = 48;  // 8 + 0.5 goes to the even 8
    EXPECT_EQ(PlanButtonFace(input, OrvoButtonProperties{}).icon.y, 8);
    input.innerHeight = 50;  // 9 + 0.5 goes to 10
    EXPECT_EQ(PlanButtonFace(input, OrvoButtonProperties{}).icon.y, 10);
    input.innerWidth = 100;
    input.captionWidth = 60;  // no room: the icon sits at 10
    EXPECT_EQ(PlanButtonFace(input, OrvoButtonProperties{}).icon.x, 10);
    input.innerWidth = 120;
    input.captionWidth = 70;  // (120 - 106) / 2 - 6 = 1, but never left of 8
    EXPECT_EQ(PlanButtonFace(input, OrvoButtonProperties{}).icon.x, 8);
    input.innerHeight = 49;
    input.pressed = true;
    const ButtonPaintPlan plan = PlanButtonFace(input, OrvoButtonProperties{});
    EXPECT_EQ(plan.icon.x, 9);
    EXPECT_EQ(plan.icon.y, 10);
    input.innerWidth = 200;
    input.pressed = false;  // room: centred in what the caption leaves, (200 - 106) / 2 - 6 = 41
    EXPECT_EQ(PlanButtonFace(input, OrvoButtonProperties{}).icon.x, 41);
}

TEST(ButtonFace, CaptionsOfTheMainWindowButtons) {
    EXPECT_EQ(RemoveModButtonProperties().Caption, "&Remove Mod");
    EXPECT_EQ(ModdersButtonProperties().Caption, "For &Modders - How To Use This Program In Your Own Mods");
}

}  // namespace
}  // namespace zelvane
