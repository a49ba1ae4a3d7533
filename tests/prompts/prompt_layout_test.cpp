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

}  // namespace
}  // namespace zelvane
