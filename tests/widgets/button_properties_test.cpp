#include "widgets/button_properties.hpp"

#include <gtest/gtest.h>

namespace zelvane {
namespace {

TEST(ButtonProperties, DefaultsOfAnUnsavedButton) {
    const OrvoButtonProperties p;
    EXPECT_TRUE(p.Enabled);
    EXPECT_EQ(p.ForeColor, 0x80000012u);
    EXPECT_EQ(p.HoverColor, 0xFF0000u);
    EXPECT_EQ(p.EffectiveDownColor(), 0xFF0000u);
    EXPECT_EQ(p.GradientUpColor1, 0x8000000Fu);
    EXPECT_EQ(p.GradientUpColor2, 0x8000000Fu);
    EXPECT_EQ(p.GradientDownColor1, 0xF0F0EEu);
    EXPECT_EQ(p.GradientDownColor2, 0xC8CBC3u);
    EXPECT_EQ(p.GradientHoverColor1, 0xFFFFFFu);
    EXPECT_EQ(p.GradientHoverColor2, 0xDCDCDAu);
    EXPECT_TRUE(p.UseGoldXPBorder);
    EXPECT_FALSE(p.UseBlueXPFocusRect);
    EXPECT_EQ(p.GradientDirection, 3);
    EXPECT_FALSE(p.Font.has_value());
}

TEST(ButtonProperties, DownColorFollowsHoverColorUntilSet) {
    OrvoButtonProperties p;
    p.HoverColor = 0x123456;
    EXPECT_EQ(p.EffectiveDownColor(), 0x123456u);
    p.DownColor = 0x654321;
    EXPECT_EQ(p.EffectiveDownColor(), 0x654321u);
}

TEST(ButtonProperties, MainWindowButtons) {
    const OrvoButtonProperties remove = RemoveModButtonProperties();
    EXPECT_EQ(remove.Caption, "&Remove Mod");
    EXPECT_EQ(remove.HoverColor, 0xFF0000u);
    EXPECT_EQ(remove.GradientDownColor1, 0xC8CBC3u);
    EXPECT_EQ(remove.GradientDownColor2, 0xF4F4F2u);
    EXPECT_EQ(remove.GradientHoverColor2, 0xC0A4D4u);
    EXPECT_FALSE(remove.UseGoldXPBorder);
    EXPECT_EQ(remove.GradientDirection, 4);
    ASSERT_TRUE(remove.Font.has_value());
    EXPECT_EQ(remove.Font->face, "MS Sans Serif");
    EXPECT_DOUBLE_EQ(remove.Font->points, 13.5);
    EXPECT_TRUE(remove.Font->bold);

    const OrvoButtonProperties modders = ModdersButtonProperties();
    EXPECT_EQ(modders.Caption, "For &Modders - How To Use This Program In Your Own Mods");
    EXPECT_EQ(modders.ForeColor, 0x80000012u);
    EXPECT_EQ(modders.HoverColor, 0xFF00FFu);
    EXPECT_EQ(modders.EffectiveDownColor(), 0xFF00FFu);
    EXPECT_EQ(modders.GradientDownColor1, 0xC8CBC3u);
    EXPECT_EQ(modders.GradientDownColor2, 0xF4F4F2u);
    EXPECT_EQ(modders.GradientHoverColor2, 0xD4AAA4u);
    EXPECT_FALSE(modders.UseGoldXPBorder);
    EXPECT_EQ(modders.GradientDirection, 4);
    EXPECT_DOUBLE_EQ(modders.Font->points, 8.25);
    EXPECT_TRUE(modders.Font->bold);
}

TEST(ButtonProperties, PromptButton) {
    const OrvoButtonProperties ok = PromptButtonProperties();
    EXPECT_EQ(ok.Caption, "");
    EXPECT_EQ(ok.GradientHoverColor2, 0xCFF1EFu);
    EXPECT_EQ(ok.GradientHoverColor1, 0xFFFFFFu);
    EXPECT_TRUE(ok.UseGoldXPBorder);
    EXPECT_EQ(ok.GradientDirection, 3);
    ASSERT_TRUE(ok.Font.has_value());
    EXPECT_EQ(ok.Font->face, "MS Sans Serif");
    EXPECT_FALSE(ok.Font->bold);
}

}  // namespace
}  // namespace zelvane
