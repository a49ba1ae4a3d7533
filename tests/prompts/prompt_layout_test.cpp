#include "prompts/prompt_layout.hpp"

#include <gtest/gtest.h>

namespace zelvane {
namespace {

PromptLayoutInput ThreeButtons(int autoWidth) {
    PromptLayoutInput input;
    input.autoWidthPixels = autoWidth;
    input.bodyActualWidthPixels = autoWidth;
    input.bodyActualHeightPixels = 40;
    input.buttonCount = 3;
    input.buttonWidth = 1300;
    input.buttonHeight = 380;
    return input;
}

TEST(PromptLayout, BodyGoesOnTheLabelsCorner) {
    const PromptBodyPlacement measured = PlacePromptBody(900, 195, 15, 15, 320, -1);
    EXPECT_EQ(measured.xPixels, 60);
    EXPECT_EQ(measured.yPixels, 13);
    EXPECT_EQ(measured.requestedWidthPixels, 320);
    EXPECT_EQ(measured.targetWidthTwips, -1);

    const PromptBodyPlacement fixed = PlacePromptBody(900, 195, 15, 15, 320, 7500);
    EXPECT_EQ(fixed.requestedWidthPixels, 505);
    EXPECT_EQ(fixed.targetWidthTwips, 7300);
}

TEST(PromptLayout, FixedWindowWidthRoundsHalvesToEven) {
    EXPECT_EQ(FixedBodyWindowWidth(7500, 15), 505);
    EXPECT_EQ(FixedBodyWindowWidth(7506, 12), 630);  // 630.5
    EXPECT_EQ(FixedBodyWindowWidth(7518, 12), 632);  // 631.5
    EXPECT_EQ(FixedBodyWindowWidth(7507, 15), 505);
    EXPECT_EQ(FixedBodyWindowWidth(7508, 15), 506);
    EXPECT_EQ(FixedBodyWindowWidth(7508, 0), 7513);  // a missing factor is never a division by zero
}

TEST(PromptLayout, ThreeButtonsAreCentredInAWideDialog) {
    // 900 + 320 * 15 + 300 = 6000 twips wide; the row is 3 * 1300 + 2 * 240 = 4380.
    const PromptLayout layout = LayoutPrompt(ThreeButtons(320));
    EXPECT_EQ(layout.rightEdge, 5700);
    EXPECT_EQ(layout.dialogWidth, 6000);
    EXPECT_EQ(layout.buttonLefts, (std::vector<int>{810, 2350, 3890}));
    EXPECT_EQ(layout.buttonWidth, 1300);
    EXPECT_EQ(layout.buttonHeight, 380);
}

TEST(PromptLayout, NarrowBodyWidensTheDialogToTheRow) {
    const PromptLayout layout = LayoutPrompt(ThreeButtons(10));
    EXPECT_EQ(layout.dialogWidth, 4800);
    EXPECT_EQ(layout.buttonLefts, (std::vector<int>{210, 1750, 3290}));
}

TEST(PromptLayout, HeightFollowsTheBodyAndTheDesignedButton) {
    const PromptLayout layout = LayoutPrompt(ThreeButtons(320));
    EXPECT_EQ(layout.buttonTop, 195 + 40 * 15 + 120);
    EXPECT_EQ(layout.dialogHeight, 915 + 415 + 500);  // the designed 415, not the 380 given
}

TEST(PromptLayout, FixedWidthUsesTheWidthReadBack) {
    PromptLayoutInput input = ThreeButtons(320);
    input.formatWidthTwips = 7500;
    input.bodyActualWidthPixels = 500;
    const PromptLayout layout = LayoutPrompt(input);
    EXPECT_EQ(layout.body.requestedWidthPixels, 505);
    EXPECT_EQ(layout.rightEdge, 900 + 500 * 15);
    EXPECT_EQ(layout.dialogWidth, 8700);
}

TEST(PromptLayout, FewerThanTwoButtonsGiveOne) {
    for (const int count : {-3, 0, 1}) {
        PromptLayoutInput input = ThreeButtons(41);
        input.buttonCount = count;
        const PromptLayout layout = LayoutPrompt(input);
        ASSERT_EQ(layout.buttonLefts.size(), 1u);
        // (1200 + 615 - 1300) / 2 = 257.5 goes to the even 258.
        EXPECT_EQ(layout.buttonLefts[0], 258);
    }
    PromptLayoutInput input = ThreeButtons(43);
    input.buttonCount = 1;
    EXPECT_EQ(LayoutPrompt(input).buttonLefts[0], 272);  // 272.5
}

TEST(PromptLayout, FiveButtonsInARow) {
    PromptLayoutInput input = ThreeButtons(10);
    input.buttonCount = 5;
    input.buttonWidth = 1000;
    const PromptLayout layout = LayoutPrompt(input);
    EXPECT_EQ(layout.dialogWidth, 5 * 1000 + 4 * 240 + 420);
    EXPECT_EQ(layout.buttonLefts, (std::vector<int>{210, 1450, 2690, 3930, 5170}));
}

TEST(PromptLayout, ExtremeInputsStayWithinRange) {
    PromptLayoutInput input;
    input.autoWidthPixels = 2147483647;
    input.bodyActualHeightPixels = 2147483647;
    input.buttonCount = 2147483647;
    input.buttonWidth = 2147483647;
    const PromptLayout layout = LayoutPrompt(input);
    EXPECT_EQ(layout.buttonLefts.size(), static_cast<std::size_t>(kPromptMaxButtons));
    EXPECT_EQ(layout.dialogWidth, 2147483647);
    EXPECT_EQ(layout.dialogHeight, 2147483647);
}

// A work area of 1024 x 768 pixels at 15 twips per pixel (the taskbar left out: 738 pixels high).
constexpr int kWorkWidth = 1024 * 15;
constexpr int kWorkHeight = 738 * 15;

PromptLayoutInput Request(int autoWidth, int formatWidth, int buttons, int buttonWidth) {
    PromptLayoutInput input;
    input.autoWidthPixels = autoWidth;
    input.formatWidthTwips = formatWidth;
    input.buttonCount = buttons;
    input.buttonWidth = buttonWidth;
    return input;
}

// The layout of a fitted prompt, its body window as wide as the fitted width asks.
PromptLayout FittedLayout(PromptLayoutInput input, const PromptFit& fit) {
    input.formatWidthTwips = fit.formatWidthTwips;
    input.buttonWidth = fit.buttonWidth;
    input.bodyActualWidthPixels = fit.formatWidthTwips == -1
                                      ? input.autoWidthPixels
                                      : FixedBodyWindowWidth(fit.formatWidthTwips, input.twipsPerPixelX);
    input.bodyActualHeightPixels = 300;
    return LayoutPrompt(input);
}

TEST(PromptFit, APromptThatFitsKeepsItsArithmetic) {
    const PromptFit measured = FitPromptToWorkArea(Request(600, -1, 2, 1300), kWorkWidth);
    EXPECT_FALSE(measured.wrapBody);
    EXPECT_EQ(measured.formatWidthTwips, -1);
    EXPECT_EQ(measured.buttonWidth, 1300);

    const PromptFit fixed = FitPromptToWorkArea(Request(600, 7500, 3, 1300), kWorkWidth);
    EXPECT_FALSE(fixed.wrapBody);
    EXPECT_EQ(fixed.formatWidthTwips, 7500);

    // Exactly as wide as the work area: 900 + 944 * 15 + 300 = 15360.
    EXPECT_FALSE(FitPromptToWorkArea(Request(944, -1, 2, 1300), kWorkWidth).wrapBody);
    EXPECT_TRUE(FitPromptToWorkArea(Request(945, -1, 2, 1300), kWorkWidth).wrapBody);
}

TEST(PromptFit, AMeasuredBodyWiderThanTheScreenWrapsInsideIt) {
    // The 2da replacement prompt measured 1,949 pixels: twice as wide as the screen.
    const PromptLayoutInput input = Request(1949, -1, 3, 1300);
    const PromptFit fit = FitPromptToWorkArea(input, kWorkWidth);
    ASSERT_TRUE(fit.wrapBody);
    const PromptLayout layout = FittedLayout(input, fit);
    EXPECT_LE(layout.dialogWidth, kWorkWidth);
    EXPECT_GE(layout.dialogWidth, kWorkWidth - 2 * 15);  // as wide as fits, no narrower
    for (int left : layout.buttonLefts) EXPECT_LE(left + layout.buttonWidth, layout.dialogWidth);
    EXPECT_EQ(layout.buttonWidth, 1300);
}

TEST(PromptFit, AFixedWidthWiderThanTheScreenIsNarrowed) {
    const PromptLayoutInput input = Request(0, 40000, 1, 1300);
    const PromptFit fit = FitPromptToWorkArea(input, kWorkWidth);
    ASSERT_TRUE(fit.wrapBody);
    EXPECT_LT(fit.formatWidthTwips, 40000);
    EXPECT_LE(FittedLayout(input, fit).dialogWidth, kWorkWidth);
}

TEST(PromptFit, AButtonRowWiderThanTheScreenIsNarrowed) {
    // Four buttons of 5000 twips: a row of 21140 twips.
    const PromptLayoutInput input = Request(100, -1, 4, 5000);
    const PromptFit fit = FitPromptToWorkArea(input, kWorkWidth);
    EXPECT_LT(fit.buttonWidth, 5000);
    const PromptLayout layout = FittedLayout(input, fit);
    EXPECT_LE(layout.dialogWidth, kWorkWidth);
    EXPECT_GE(layout.buttonLefts.front(), 0);
    EXPECT_LE(layout.buttonLefts.back() + layout.buttonWidth, layout.dialogWidth);
}

TEST(PromptFit, TheBodyHeightIsCappedToTheWorkArea) {
    const PromptLayoutInput input = Request(600, -1, 2, 1300);
    const int maxBody = MaxBodyHeightPixels(input, kWorkHeight);
    PromptLayoutInput tall = input;
    tall.bodyActualWidthPixels = 600;
    tall.bodyActualHeightPixels = maxBody;
    EXPECT_LE(LayoutPrompt(tall).dialogHeight, kWorkHeight);
    tall.bodyActualHeightPixels = maxBody + 1;
    EXPECT_GT(LayoutPrompt(tall).dialogHeight, kWorkHeight);
    EXPECT_EQ(MaxBodyHeightPixels(input, 0), 1);  // never zero or negative
}

}  // namespace
}  // namespace zelvane
