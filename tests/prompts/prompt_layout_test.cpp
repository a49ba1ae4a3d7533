// The prompt window: where its body and buttons go, how it is fitted to the screen, which button an
// Alt + letter presses, and the sound it plays.
#include "prompts/prompt_layout.hpp"

#include <gtest/gtest.h>

#include "prompts/accelerators.hpp"
#include "prompts/prompt_sounds.hpp"

namespace zelvane {
namespace {

PromptLayoutInput Buttons(int autoWidth, int count = 3, int width = 1300) {
    PromptLayoutInput input;
    input.autoWidthPixels = input.bodyActualWidthPixels = autoWidth;
    input.bodyActualHeightPixels = 40;
    input.buttonCount = count;
    input.buttonWidth = width;
    input.buttonHeight = 380;
    return input;
}

TEST(PromptLayout, BodyGoesOnTheLabelsCornerAndAFixedWidthRoundsHalvesToEven) {
    const auto place = [](int formatWidth) {
        const PromptBodyPlacement p = PlacePromptBody(900, 195, 15, 15, 320, formatWidth);
        return std::vector<int>{p.xPixels, p.yPixels, p.requestedWidthPixels, p.targetWidthTwips};
    };
    EXPECT_EQ(place(-1), (std::vector<int>{60, 13, 320, -1}));
    EXPECT_EQ(place(7500), (std::vector<int>{60, 13, 505, 7300}));
    EXPECT_EQ(FixedBodyWindowWidth(7506, 12), 630);  // 630.5
    EXPECT_EQ(FixedBodyWindowWidth(7518, 12), 632);  // 631.5
    EXPECT_EQ(FixedBodyWindowWidth(7508, 15), 506);
    EXPECT_EQ(FixedBodyWindowWidth(7508, 0), 7513);  // a missing factor is never a division by zero
}

TEST(PromptLayout, ButtonsAreCentredInARowThatSetsTheLeastWidth) {
    // 900 + 320 * 15 + 300 = 6000 twips wide; the row is 3 * 1300 + 2 * 240 = 4380.
    PromptLayout layout = LayoutPrompt(Buttons(320));
    // The height has the designed 415, not the 380 given.
    EXPECT_EQ((std::vector<int>{layout.rightEdge, layout.dialogWidth, layout.dialogHeight, layout.buttonTop,
                                layout.buttonWidth, layout.buttonHeight}),
              (std::vector<int>{5700, 6000, 915 + 415 + 500, 195 + 40 * 15 + 120, 1300, 380}));
    EXPECT_EQ(layout.buttonLefts, (std::vector<int>{810, 2350, 3890}));
    layout = LayoutPrompt(Buttons(10));  // a narrow body widens the dialog to the row
    EXPECT_EQ(layout.dialogWidth, 4800);
    EXPECT_EQ(layout.buttonLefts, (std::vector<int>{210, 1750, 3290}));
    layout = LayoutPrompt(Buttons(10, 5, 1000));
    EXPECT_EQ(layout.dialogWidth, 5 * 1000 + 4 * 240 + 420);
    EXPECT_EQ(layout.buttonLefts, (std::vector<int>{210, 1450, 2690, 3930, 5170}));
    for (const int count : {-3, 0, 1}) {  // fewer than two give one, (1200 + 615 - 1300) / 2 = 257.5
        EXPECT_EQ(LayoutPrompt(Buttons(41, count)).buttonLefts, std::vector<int>{258}) << count;
    }
    EXPECT_EQ(LayoutPrompt(Buttons(43, 1)).buttonLefts, std::vector<int>{272});  // 272.5
}

TEST(PromptLayout, AFixedWidthUsesTheWidthReadBack) {
    PromptLayoutInput input = Buttons(320);
    input.formatWidthTwips = 7500;
    input.bodyActualWidthPixels = 500;
    const PromptLayout layout = LayoutPrompt(input);
    EXPECT_EQ(layout.body.requestedWidthPixels, 505);
    EXPECT_EQ(layout.rightEdge, 900 + 500 * 15);
    EXPECT_EQ(layout.dialogWidth, 8700);

    PromptLayoutInput extreme;
    extreme.autoWidthPixels = extreme.bodyActualHeightPixels = 2147483647;
    extreme.buttonCount = extreme.buttonWidth = 2147483647;
    const PromptLayout huge = LayoutPrompt(extreme);
    EXPECT_EQ(huge.buttonLefts.size(), static_cast<std::size_t>(kPromptMaxButtons));
    EXPECT_EQ(huge.dialogWidth, 2147483647);
    EXPECT_EQ(huge.dialogHeight, 2147483647);
}

// A work area of 1024 x 738 pixels at 15 twips per pixel.
constexpr int kWorkWidth = 1024 * 15;
constexpr int kWorkHeight = 738 * 15;

PromptLayout Fitted(PromptLayoutInput input) {
    const PromptFit fit = FitPromptToWorkArea(input, kWorkWidth);
    input.formatWidthTwips = fit.formatWidthTwips;
    input.buttonWidth = fit.buttonWidth;
    input.bodyActualWidthPixels = fit.formatWidthTwips == -1
                                      ? input.autoWidthPixels
                                      : FixedBodyWindowWidth(fit.formatWidthTwips, input.twipsPerPixelX);
    input.bodyActualHeightPixels = 300;
    return LayoutPrompt(input);
}

TEST(PromptFit, APromptWiderThanTheScreenIsWrappedInsideIt) {
    // Exactly as wide as the work area: 900 + 944 * 15 + 300 = 15360.
    EXPECT_FALSE(FitPromptToWorkArea(Buttons(944, 2), kWorkWidth).wrapBody);
    EXPECT_TRUE(FitPromptToWorkArea(Buttons(945, 2), kWorkWidth).wrapBody);
    PromptLayoutInput fixed = Buttons(600);
    fixed.formatWidthTwips = 7500;
    EXPECT_EQ(FitPromptToWorkArea(fixed, kWorkWidth).formatWidthTwips, 7500);

    // The 2da replacement prompt measured 1,949 pixels: twice as wide as the screen.
    PromptLayout layout = Fitted(Buttons(1949));
    EXPECT_LE(layout.dialogWidth, kWorkWidth);
    EXPECT_GE(layout.dialogWidth, kWorkWidth - 2 * 15);  // as wide as fits, no narrower
    EXPECT_EQ(layout.buttonWidth, 1300);
    fixed.formatWidthTwips = 40000;
    EXPECT_LE(Fitted(fixed).dialogWidth, kWorkWidth);
    // Four buttons of 5000 twips: a row of 21140 twips is narrowed.
    layout = Fitted(Buttons(100, 4, 5000));
    EXPECT_LT(layout.buttonWidth, 5000);
    EXPECT_LE(layout.dialogWidth, kWorkWidth);
    EXPECT_GE(layout.buttonLefts.front(), 0);
    EXPECT_LE(layout.buttonLefts.back() + layout.buttonWidth, layout.dialogWidth);
}

TEST(PromptFit, TheBodyHeightIsCappedToTheWorkArea) {
    PromptLayoutInput tall = Buttons(600, 2);
    const int maxBody = MaxBodyHeightPixels(tall, kWorkHeight);
    tall.bodyActualHeightPixels = maxBody;
    EXPECT_LE(LayoutPrompt(tall).dialogHeight, kWorkHeight);
    tall.bodyActualHeightPixels = maxBody + 1;
    EXPECT_GT(LayoutPrompt(tall).dialogHeight, kWorkHeight);
    EXPECT_EQ(MaxBodyHeightPixels(tall, 0), 1);  // never zero or negative
}

// Alt + a letter presses the first button whose caption begins with "&" and that letter.
TEST(Accelerators, OnlyCaptionsBeginningWithTheMarkCount) {
    EXPECT_EQ(FindAcceleratorButton({"&Yes", "&No"}, 'n'), 1);
    EXPECT_EQ(FindAcceleratorButton({"&Yes", "&No"}, 'Y'), 0);
    EXPECT_EQ(FindAcceleratorButton({"&Yes", "&No"}, 'X'), -1);
    EXPECT_EQ(FindAcceleratorButton({"&Ok", "&OK"}, 'o'), 0);
    EXPECT_EQ(FindAcceleratorButton({"Kotor &1", "Kotor &2 TSL", "&Abort"}, 'K'), -1);
    EXPECT_EQ(FindAcceleratorButton({"Kotor &1", "Kotor &2 TSL", "&Abort"}, 'A'), 2);
    EXPECT_EQ(FindAcceleratorButton({"&1st"}, '1'), -1);  // digits are not examined
    EXPECT_EQ(FindAcceleratorButton({"", "&", "&&x"}, '&'), -1);
}

TEST(PromptSounds, AliasesOfTheSoundNumbers) {
    const std::vector<std::string> aliases = {".Default",   "SystemAsterisk", "SystemExclamation", "SystemExit",
                                              "SystemHand", "SystemQuestion", "SystemStart",       ""};
    for (int n = 0; n < 8; ++n) EXPECT_EQ(SystemSoundName(n), aliases[n]) << n;
    EXPECT_EQ(SystemSoundName(-1), "");
}

}  // namespace
}  // namespace zelvane
