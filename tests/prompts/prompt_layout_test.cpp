#include "prompts/prompt_layout.hpp"

#include <gtest/gtest.h>

#include "prompts/accelerators.hpp"
#include "prompts/prompt_sounds.hpp"

namespace zelvane {
namespace {

PromptLayoutInput Buttons(int autoWidth, int count = 3, int width = 1300) {
    return {.autoWidthPixels = autoWidth,
            .bodyActualWidthPixels = autoWidth,
            .bodyActualHeightPixels = 40,
            .buttonCount = count,
            .buttonWidth = width};
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

// A layout in one line: body's right edge, dialog size, button top, button size and lefts.
std::string Summary(const PromptLayout& l) {
    std::string s = std::to_string(l.rightEdge) + " " + std::to_string(l.dialogWidth) + "x" +
                    std::to_string(l.dialogHeight) + " top " + std::to_string(l.buttonTop) + " buttons " +
                    std::to_string(l.buttonWidth) + "x" + std::to_string(l.buttonHeight) + " at";
    for (const int left : l.buttonLefts) s += " " + std::to_string(left);
    return s;
}

TEST(PromptLayout, ButtonsAreCentredInARowThatSetsTheLeastWidth) {
    PromptLayoutInput fixed = Buttons(320);
    fixed.formatWidthTwips = 7500;  // a fixed width lays out with the width read back
    fixed.bodyActualWidthPixels = 500;
    const std::pair<PromptLayoutInput, std::string> cases[] = {
        // 900 + 320 * 15 + 300 = 6000 twips wide; the row is 3 * 1300 + 2 * 240 = 4380. The height has
        // the designed 415, not the 380 given.
        {Buttons(320), "5700 6000x1830 top 915 buttons 1300x380 at 810 2350 3890"},
        {Buttons(10), "1050 4800x1830 top 915 buttons 1300x380 at 210 1750 3290"},  // a narrow body widens to the row
        {Buttons(10, 5, 1000), "1050 6380x1830 top 915 buttons 1000x380 at 210 1450 2690 3930 5170"},
        {Buttons(41, 1), "1515 1815x1830 top 915 buttons 1300x380 at 258"},  // (1200 + 615 - 1300) / 2 = 257.5
        {Buttons(43, 1), "1545 1845x1830 top 915 buttons 1300x380 at 272"},  // 272.5
        {fixed, "8400 8700x1830 top 915 buttons 1300x380 at 2160 3700 5240"},
        {Buttons(41, 0), "1515 1815x1830 top 915 buttons 1300x380 at 258"},  // no buttons are one
        {Buttons(41, -3), "1515 1815x1830 top 915 buttons 1300x380 at 258"}};
    for (const auto& [input, layout] : cases) EXPECT_EQ(Summary(LayoutPrompt(input)), layout);
    EXPECT_EQ(LayoutPrompt(fixed).body.requestedWidthPixels, 505);
    PromptLayoutInput extreme;
    extreme.autoWidthPixels = extreme.bodyActualHeightPixels = 2147483647;
    extreme.buttonCount = extreme.buttonWidth = 2147483647;
    const PromptLayout huge = LayoutPrompt(extreme);
    EXPECT_EQ(huge.buttonLefts.size(), static_cast<std::size_t>(kPromptMaxButtons));
    EXPECT_EQ((std::pair(huge.dialogWidth, huge.dialogHeight)), std::pair(2147483647, 2147483647));
}

// A work area of 1024 x 738 pixels at 15 twips per pixel.
constexpr int kWorkWidth = 1024 * 15;
constexpr int kWorkHeight = 738 * 15;

// What is kept, wrapped or narrowed: whether the body is wrapped, its format width and the buttons' width.
std::string Fit(const PromptLayoutInput& input) {
    const PromptFit fit = FitPromptToWorkArea(input, kWorkWidth);
    return std::to_string(fit.wrapBody) + " " + std::to_string(fit.formatWidthTwips) + " " +
           std::to_string(fit.buttonWidth);
}

// Exactly as wide as the work area, 900 + 944 * 15 + 300 = 15360, is kept. Wider is wrapped at the
// widest fixed width whose window fits: 15360 - 900 - 300 - 5 * 15 = 14085 twips, a window of 944
// pixels. A row of 21140 twips is narrowed: (15360 - 420 - 3 * 240) / 4 = 3555.
TEST(PromptFit, APromptWiderThanTheScreenIsWrappedInsideIt) {
    PromptLayoutInput fixed = Buttons(600), tooWide = Buttons(600);
    fixed.formatWidthTwips = 7500;
    tooWide.formatWidthTwips = 40000;
    // The 2da replacement prompt measured 1,949 pixels: twice as wide as the screen.
    EXPECT_EQ((std::vector{Fit(Buttons(944, 2)), Fit(Buttons(945, 2)), Fit(Buttons(1949)), Fit(fixed), Fit(tooWide),
                           Fit(Buttons(100, 4, 5000))}),
              (std::vector<std::string>{"0 -1 1300", "1 14085 1300", "1 14085 1300", "0 7500 1300", "1 14085 1300",
                                        "0 -1 3555"}));
}

// The tallest body that keeps the dialog inside the work area, (11070 - 195 - 120 - 415 - 500) / 15 pixels
// with the label's top, the gaps and the designed buttons; never below one pixel.
TEST(PromptFit, TheBodyHeightIsCappedToTheWorkArea) {
    EXPECT_EQ(MaxBodyHeightPixels(Buttons(600, 2), kWorkHeight), 656);
    EXPECT_EQ(MaxBodyHeightPixels(Buttons(600, 2), 0), 1);
}

// Alt + a letter presses the first button whose caption begins with "&" and that letter; digits are not
// examined.
TEST(Accelerators, OnlyCaptionsBeginningWithTheMarkCount) {
    const std::vector<std::string> yesNo = {"&Yes", "&No"}, games = {"Kotor &1", "Kotor &2 TSL", "&Abort"};
    EXPECT_EQ((std::vector{FindAcceleratorButton(yesNo, 'n'), FindAcceleratorButton(yesNo, 'Y'),
                           FindAcceleratorButton(yesNo, 'X'), FindAcceleratorButton({"&Ok", "&OK"}, 'o'),
                           FindAcceleratorButton(games, 'K'), FindAcceleratorButton(games, 'A'),
                           FindAcceleratorButton({"&1st"}, '1'), FindAcceleratorButton({"", "&", "&&x"}, '&')}),
              (std::vector{1, 0, -1, 0, -1, 2, -1, -1}));
}

TEST(PromptSounds, AliasesOfTheSoundNumbers) {
    std::string aliases;
    for (int n = -1; n <= 8; ++n) aliases += std::string(SystemSoundName(n)) + "|";
    EXPECT_EQ(aliases,
              "|.Default|SystemAsterisk|SystemExclamation|SystemExit|SystemHand|SystemQuestion|SystemStart|||");
}

}  // namespace
}  // namespace zelvane
