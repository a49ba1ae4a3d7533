// The designed properties of the program's three buttons: what the player sees on each.
#include "widgets/button_properties.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace zelvane {
namespace {

std::string Summary(const OrvoButtonProperties& p) {
    char text[200];
    std::snprintf(text, sizeof text, "%s %.2f %s, fore %X, hover %X, down %X>%X, hover gradient %X>%X, %s, dir %d",
                  p.Font->face.c_str(), p.Font->points, p.Font->bold ? "bold" : "regular", p.ForeColor, p.HoverColor,
                  p.GradientDownColor1, p.GradientDownColor2, p.GradientHoverColor1, p.GradientHoverColor2,
                  p.UseGoldXPBorder ? "gold" : "no gold", p.GradientDirection);
    return text;
}

TEST(ButtonProperties, FontsAndColoursOfEachButton) {
    EXPECT_EQ(Summary(PromptButtonProperties()),
              "MS Sans Serif 8.25 regular, fore 80000012, hover FF0000, down F0F0EE>C8CBC3, hover gradient "
              "FFFFFF>CFF1EF, gold, dir 3");
    EXPECT_EQ(PromptButtonProperties().Caption, "");
    EXPECT_EQ(Summary(RemoveModButtonProperties()),
              "MS Sans Serif 13.50 bold, fore 80000012, hover FF0000, down C8CBC3>F4F4F2, hover gradient "
              "FFFFFF>C0A4D4, no gold, dir 4");
    EXPECT_EQ(Summary(ModdersButtonProperties()),
              "MS Sans Serif 8.25 bold, fore 80000012, hover FF00FF, down C8CBC3>F4F4F2, hover gradient "
              "FFFFFF>D4AAA4, no gold, dir 4");
}

}  // namespace
}  // namespace zelvane
