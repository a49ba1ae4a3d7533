#include "widgets/button_face.hpp"

#include <gtest/gtest.h>

namespace zelvane {
namespace {

// cmdRemoveMod's face: 4455 x 735 twips at 15 twips per pixel, one line of caption.
ButtonFaceInput Face() {
    ButtonFaceInput input;
    input.innerWidth = 297;
    input.innerHeight = 49;
    input.windowWidth = 297;
    input.windowHeight = 49;
    input.captionWidth = 100;
    input.captionHeight = 13;
    input.lineHeight = 13;
    return input;
}

TEST(ButtonFace, NormalStateWithDefaultColoursKeepsThePlainFace) {
    const OrvoButtonProperties props;
    const ButtonPaintPlan plan = PlanButtonFace(Face(), props);
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
}

TEST(ButtonFace, NormalStateWithOwnColoursHasItsGradient) {
    OrvoButtonProperties props;
    props.GradientUpColor1 = 0x112233;
    props.GradientUpColor2 = 0x445566;
    ButtonFaceInput input = Face();
    input.windowWidth = 299;
    input.windowHeight = 51;
    const ButtonPaintPlan plan = PlanButtonFace(input, props);
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

TEST(ButtonFace, HoverWithoutFocusShowsTheGoldBorderAndNoEdge) {
    const OrvoButtonProperties props;
    ButtonFaceInput input = Face();
    input.hover = true;
    const ButtonPaintPlan plan = PlanButtonFace(input, props);
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
    EXPECT_EQ(plan.borderSegments[4].from, (FacePoint{1, 1}));
}

TEST(ButtonFace, HoverWithFocusShowsTheBlueBorder) {
    const OrvoButtonProperties props;
    ButtonFaceInput input = Face();
    input.hover = true;
    input.focus = true;
    const ButtonPaintPlan plan = PlanButtonFace(input, props);
    EXPECT_EQ(plan.border, FaceBorder::Blue);
    EXPECT_EQ(plan.edge, kEdgeNone);
    ASSERT_EQ(plan.borderSegments.size(), 8u);
    EXPECT_EQ(plan.borderSegments[0].color, 0xF7D7BDu);
    EXPECT_EQ(plan.borderSegments[1].color, 0xF0D1B5u);
    EXPECT_EQ(plan.borderSegments[2].color, 0xE7AE8Cu);
    EXPECT_EQ(plan.borderSegments[3].color, 0xF0D1B5u);
    EXPECT_EQ(plan.borderSegments[4].color, 0xFFDFBFu);
    EXPECT_EQ(plan.borderSegments[6].color, 0xEF826Bu);
}

TEST(ButtonFace, HoverWithoutGoldBorderKeepsTheRaisedEdge) {
    const OrvoButtonProperties props = RemoveModButtonProperties();
    ButtonFaceInput input = Face();
    input.hover = true;
    const ButtonPaintPlan plan = PlanButtonFace(input, props);
    EXPECT_EQ(plan.edge, kEdgeRaised);
    EXPECT_EQ(plan.border, FaceBorder::None);
    EXPECT_EQ(plan.gradientColor2, 0xC0A4D4u);
    EXPECT_EQ(plan.gradientDirection, 4);
}

TEST(ButtonFace, PressedIsSunkenAndMovesTheCaptionByOne) {
    const OrvoButtonProperties props;
    ButtonFaceInput input = Face();
    input.pressed = true;
    input.focus = true;
    const ButtonPaintPlan plan = PlanButtonFace(input, props);
    EXPECT_EQ(plan.textColor, 0xFF0000u);  // DownColor follows HoverColor
    EXPECT_EQ(plan.gradientColor1, 0xF0F0EEu);
    EXPECT_EQ(plan.gradientColor2, 0xC8CBC3u);
    EXPECT_EQ(plan.edge, kEdgeSunken);
    EXPECT_EQ(plan.border, FaceBorder::None);  // no focus mark while pressed
    EXPECT_EQ(plan.captionPasses[0].rect, (FaceRect{5, 19, 294, 32}));
}

TEST(ButtonFace, FocusAloneShowsTheDottedRectangleOrTheBlueBorder) {
    OrvoButtonProperties props;
    ButtonFaceInput input = Face();
    input.focus = true;
    ButtonPaintPlan plan = PlanButtonFace(input, props);
    EXPECT_EQ(plan.border, FaceBorder::DottedFocus);
    EXPECT_EQ(plan.focusRect, (FaceRect{4, 4, 293, 45}));
    EXPECT_EQ(plan.edge, kEdgeRaised);
    props.UseBlueXPFocusRect = true;
    plan = PlanButtonFace(input, props);
    EXPECT_EQ(plan.border, FaceBorder::Blue);
    EXPECT_EQ(plan.borderSegments.size(), 8u);
}

TEST(ButtonFace, SpaceHeldPaintsNothing) {
    ButtonFaceInput input = Face();
    input.spaceHeld = true;
    input.pressed = true;
    EXPECT_FALSE(PlanButtonFace(input, OrvoButtonProperties{}).paints);
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
    EXPECT_EQ(plan.captionPasses[1].rect.left, plan.captionPasses[0].rect.left - 1);
    EXPECT_EQ(plan.captionPasses[1].rect.right, plan.captionPasses[0].rect.right - 1);
    EXPECT_EQ(plan.captionPasses[1].rect.top, plan.captionPasses[0].rect.top);
    EXPECT_TRUE(plan.icon.disabledLook);
}

TEST(ButtonFace, CaptionBesideAPicture) {
    ButtonFaceInput input = Face();
    input.hasPicture = true;
    EXPECT_EQ(CaptionMeasureRect(297, 49, true, 32), (FaceRect{0, 0, 265, 49}));
    EXPECT_EQ(CaptionMeasureRect(297, 49, false, 32), (FaceRect{0, 0, 297, 49}));
    ButtonPaintPlan plan = PlanButtonFace(input, OrvoButtonProperties{});
    EXPECT_EQ(plan.measureRect, (FaceRect{0, 0, 265, 49}));
    // (297 - 132) / 2 = 82.5 -> 82, + 32 + 10; one line: no centring.
    EXPECT_EQ(plan.captionPasses[0].rect, (FaceRect{124, 18, 293, 31}));
    EXPECT_EQ(plan.captionPasses[0].format, kDtWordBreak);
    input.captionHeight = 26;  // two lines are centred
    plan = PlanButtonFace(input, OrvoButtonProperties{});
    EXPECT_EQ(plan.captionPasses[0].format, kDtCenterWordBreak);
    EXPECT_EQ(plan.captionPasses[0].rect.top, 12);  // 23 / 2 = 11.5 -> 12
}

TEST(ButtonFace, IconPosition) {
    ButtonFaceInput input = Face();
    input.hasPicture = true;
    ButtonPaintPlan plan = PlanButtonFace(input, OrvoButtonProperties{});
    ASSERT_TRUE(plan.icon.draw);
    EXPECT_EQ(plan.icon.x, 74);  // (297 - 136) / 2 = 80.5 -> 80, - 6
    EXPECT_EQ(plan.icon.y, 9);   // 17 / 2 + 0.5 = 9
    EXPECT_FALSE(plan.icon.disabledLook);

    input.innerHeight = 48;  // 8 + 0.5 goes to the even 8
    EXPECT_EQ(PlanButtonFace(input, OrvoButtonProperties{}).icon.y, 8);
    input.innerHeight = 50;  // 9 + 0.5 goes to 10
    EXPECT_EQ(PlanButtonFace(input, OrvoButtonProperties{}).icon.y, 10);

    input = Face();
    input.hasPicture = true;
    input.innerWidth = 100;
    input.captionWidth = 60;  // no room: the icon sits at 10
    EXPECT_EQ(PlanButtonFace(input, OrvoButtonProperties{}).icon.x, 10);
    input.innerWidth = 120;
    input.captionWidth = 70;  // (120 - 106) / 2 - 6 = 1, but never left of 8
    EXPECT_EQ(PlanButtonFace(input, OrvoButtonProperties{}).icon.x, 8);
    input.pressed = true;
    plan = PlanButtonFace(input, OrvoButtonProperties{});
    EXPECT_EQ(plan.icon.x, 9);
    EXPECT_EQ(plan.icon.y, 10);
}

TEST(ButtonFace, PolyPointsOfTheRings) {
    const FaceRect face{0, 0, 297, 49};
    const std::array<FacePoint, 5> ring0 = SetPolyPoints(face, 0);
    EXPECT_EQ(ring0[0], (FacePoint{0, 0}));
    EXPECT_EQ(ring0[1], (FacePoint{296, 0}));
    EXPECT_EQ(ring0[2], (FacePoint{296, 48}));
    EXPECT_EQ(ring0[3], (FacePoint{0, 48}));
    EXPECT_EQ(ring0[4], ring0[0]);
    const std::array<FacePoint, 5> ring1 = SetPolyPoints(face, 1);
    EXPECT_EQ(ring1[0], (FacePoint{1, 1}));
    EXPECT_EQ(ring1[2], (FacePoint{295, 47}));
}

TEST(ButtonFace, BorderRingTables) {
    EXPECT_EQ(kBlueBorderRings[0].left, 0xF0D1B5u);
    EXPECT_EQ(kBlueBorderRings[1].right, 0xE7AE8Cu);
    EXPECT_EQ(kBlueBorderRings[1].left, 0xE7AE8Cu);
    EXPECT_EQ(kGoldBorderRings[0].right, 0x31B2FFu);
    EXPECT_EQ(kGoldBorderRings[0].left, 0x31B2FFu);
    EXPECT_EQ(kGoldBorderRings[1].top, 0x8CDBFFu);
    EXPECT_EQ(kGoldBorderRings[1].right, 0x6BCBFFu);
    EXPECT_EQ(kGoldBorderRings[1].left, 0x6BCBFFu);
}

}  // namespace
}  // namespace zelvane
