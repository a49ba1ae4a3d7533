#include "widgets/button_face.hpp"

#include <gtest/gtest.h>

namespace zelvane {
namespace {

// cmdRemoveMod's face: 4455 x 735 twips at 15 twips per pixel, one line of caption.
ButtonFaceInput Face(bool hover = false, bool focus = false, bool pressed = false) {
    ButtonFaceInput input;
    input.innerWidth = input.windowWidth = 297;
    input.innerHeight = input.windowHeight = 49;
    input.captionWidth = 100;
    input.captionHeight = input.lineHeight = 13;
    input.hover = hover;
    input.focus = focus;
    input.pressed = pressed;
    return input;
}

TEST(ButtonFace, NormalStateHasItsGradientOnlyWithOwnColours) {
    OrvoButtonProperties props;
    ButtonPaintPlan plan = PlanButtonFace(Face(), props);
    ASSERT_TRUE(plan.paints);
    EXPECT_EQ(plan.faceRect, (FaceRect{0, 0, 297, 49}));
    EXPECT_FALSE(plan.gradient);
    EXPECT_EQ(plan.edge, kEdgeRaised);
    EXPECT_EQ(plan.border, FaceBorder::None);
    ASSERT_EQ(plan.captionPasses.size(), 1u);
    EXPECT_EQ(plan.captionPasses[0].rect, (FaceRect{4, 18, 293, 31}));
    EXPECT_EQ(plan.captionPasses[0].format, kDtCenterWordBreak);
    EXPECT_EQ(plan.captionPasses[0].color, kColorBtnText);
    EXPECT_FALSE(plan.icon.draw);

    props.GradientUpColor1 = 0x112233;
    props.GradientUpColor2 = 0x445566;
    ButtonFaceInput input = Face();
    input.windowWidth = 299;
    input.windowHeight = 51;
    plan = PlanButtonFace(input, props);
    EXPECT_TRUE(plan.gradient);
    EXPECT_EQ(plan.gradientColor1, 0x112233u);
    EXPECT_EQ(plan.gradientColor2, 0x445566u);
    EXPECT_EQ(plan.gradientRect, (FaceRect{0, 0, 299, 51}));
    EXPECT_EQ(plan.gradientDirection, 3);
    input.designMode = true;
    EXPECT_FALSE(PlanButtonFace(input, props).gradient);
    props.GradientUpColor2 = kColorBtnFace;  // one default colour is enough to keep the plain face
    EXPECT_FALSE(PlanButtonFace(Face(), props).gradient);
}

TEST(ButtonFace, HoverShowsTheGoldBorderOrWithFocusTheBlueOne) {
    ButtonPaintPlan plan = PlanButtonFace(Face(true), OrvoButtonProperties{});
    EXPECT_EQ(plan.textColor, 0xFF0000u);
    EXPECT_TRUE(plan.gradient);
    EXPECT_EQ(plan.gradientColor1, 0xFFFFFFu);
    EXPECT_EQ(plan.gradientColor2, 0xDCDCDAu);
    EXPECT_EQ(plan.edge, kEdgeNone);
    EXPECT_EQ(plan.border, FaceBorder::Gold);
    ASSERT_EQ(plan.borderSegments.size(), 8u);
    EXPECT_EQ(plan.borderSegments[0].color, 0xA6E9FFu);  // ring 0 top
    EXPECT_EQ(plan.borderSegments[2].color, 0x0096E7u);  // ring 0 bottom
    EXPECT_EQ(plan.borderSegments[6].color, 0x31B2FFu);  // ring 1 bottom
    EXPECT_EQ(plan.borderSegments[0].from, (FacePoint{0, 0}));
    EXPECT_EQ(plan.borderSegments[0].to, (FacePoint{296, 0}));
    EXPECT_EQ(plan.borderSegments[2].from, (FacePoint{296, 48}));
    EXPECT_EQ(plan.borderSegments[4].from, (FacePoint{1, 1}));
    EXPECT_EQ(plan.borderSegments[6].from, (FacePoint{295, 47}));

    plan = PlanButtonFace(Face(true, true), OrvoButtonProperties{});
    EXPECT_EQ(plan.border, FaceBorder::Blue);
    EXPECT_EQ(plan.edge, kEdgeNone);
    ASSERT_EQ(plan.borderSegments.size(), 8u);
    const std::uint32_t blue[] = {0xF7D7BD, 0xF0D1B5, 0xE7AE8C, 0xF0D1B5, 0xFFDFBF, 0xE7AE8C, 0xEF826B, 0xE7AE8C};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(plan.borderSegments[i].color, blue[i]) << i;

    // Without the gold border the raised edge stays.
    plan = PlanButtonFace(Face(true), RemoveModButtonProperties());
    EXPECT_EQ(plan.edge, kEdgeRaised);
    EXPECT_EQ(plan.border, FaceBorder::None);
    EXPECT_EQ(plan.gradientColor2, 0xC0A4D4u);
    EXPECT_EQ(plan.gradientDirection, 4);
}

TEST(ButtonFace, PressedIsSunkenWithoutAFocusMarkAndMovesTheCaptionByOne) {
    const ButtonPaintPlan plan = PlanButtonFace(Face(false, true, true), OrvoButtonProperties{});
    EXPECT_EQ(plan.textColor, 0xFF0000u);  // DownColor follows HoverColor
    EXPECT_EQ(plan.gradientColor1, 0xF0F0EEu);
    EXPECT_EQ(plan.gradientColor2, 0xC8CBC3u);
    EXPECT_EQ(plan.edge, kEdgeSunken);
    EXPECT_EQ(plan.border, FaceBorder::None);
    EXPECT_EQ(plan.captionPasses[0].rect, (FaceRect{5, 19, 294, 32}));
    ButtonFaceInput held = Face(false, false, true);
    held.spaceHeld = true;  // the space bar held paints nothing
    EXPECT_FALSE(PlanButtonFace(held, OrvoButtonProperties{}).paints);
}

TEST(ButtonFace, FocusAloneShowsTheDottedRectangleOrTheBlueBorder) {
    OrvoButtonProperties props;
    ButtonPaintPlan plan = PlanButtonFace(Face(false, true), props);
    EXPECT_EQ(plan.border, FaceBorder::DottedFocus);
    EXPECT_EQ(plan.focusRect, (FaceRect{4, 4, 293, 45}));
    EXPECT_EQ(plan.edge, kEdgeRaised);
    props.UseBlueXPFocusRect = true;
    plan = PlanButtonFace(Face(false, true), props);
    EXPECT_EQ(plan.border, FaceBorder::Blue);
    EXPECT_EQ(plan.borderSegments.size(), 8u);
}

TEST(ButtonFace, DisabledCaptionIsEmbossed) {
    OrvoButtonProperties props;
    props.Enabled = false;
    ButtonFaceInput input = Face();
    input.enabled = false;
    input.hasPicture = true;
    const ButtonPaintPlan plan = PlanButtonFace(input, props);
    ASSERT_EQ(plan.captionPasses.size(), 2u);
    EXPECT_EQ(plan.captionPasses[0].color, kColorBtnHighlight);
    EXPECT_EQ(plan.captionPasses[1].color, kColorBtnShadow);
    const FaceRect& r = plan.captionPasses[0].rect;
    EXPECT_EQ(plan.captionPasses[1].rect, (FaceRect{r.left - 1, r.top, r.right - 1, r.bottom}));
    EXPECT_TRUE(plan.icon.disabledLook);
}

TEST(ButtonFace, CaptionAndIconBesideEachOther) {
    ButtonFaceInput input = Face();
    input.hasPicture = true;
    EXPECT_EQ(CaptionMeasureRect(297, 49, false, 32), (FaceRect{0, 0, 297, 49}));
    ButtonPaintPlan plan = PlanButtonFace(input, OrvoButtonProperties{});
    EXPECT_EQ(plan.measureRect, (FaceRect{0, 0, 265, 49}));
    // (297 - 132) / 2 = 82.5 -> 82, + 32 + 10; one line: no centring.
    EXPECT_EQ(plan.captionPasses[0].rect, (FaceRect{124, 18, 293, 31}));
    EXPECT_EQ(plan.captionPasses[0].format, kDtWordBreak);
    ASSERT_TRUE(plan.icon.draw);
    EXPECT_EQ(plan.icon.x, 74);  // (297 - 136) / 2 = 80.5 -> 80, - 6
    EXPECT_EQ(plan.icon.y, 9);   // 17 / 2 + 0.5 = 9
    EXPECT_FALSE(plan.icon.disabledLook);
    input.captionHeight = 26;  // two lines are centred
    plan = PlanButtonFace(input, OrvoButtonProperties{});
    EXPECT_EQ(plan.captionPasses[0].format, kDtCenterWordBreak);
    EXPECT_EQ(plan.captionPasses[0].rect.top, 12);  // 23 / 2 = 11.5 -> 12

    input = Face();
    input.hasPicture = true;
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
    plan = PlanButtonFace(input, OrvoButtonProperties{});
    EXPECT_EQ(plan.icon.x, 9);
    EXPECT_EQ(plan.icon.y, 10);
}

TEST(ButtonFace, CaptionsOfTheMainWindowButtons) {
    EXPECT_EQ(RemoveModButtonProperties().Caption, "&Remove Mod");
    EXPECT_EQ(ModdersButtonProperties().Caption, "For &Modders - How To Use This Program In Your Own Mods");
}

}  // namespace
}  // namespace zelvane
