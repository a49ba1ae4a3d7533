#include "prompts/accelerators.hpp"

#include <gtest/gtest.h>

namespace zelvane {
namespace {

TEST(Accelerators, AltLetterPressesTheFirstMatchingButton) {
    const std::vector<std::string> yesNo = {"&Yes", "&No"};
    EXPECT_EQ(FindAcceleratorButton(yesNo, 'N'), 1);
    EXPECT_EQ(FindAcceleratorButton(yesNo, 'n'), 1);
    EXPECT_EQ(FindAcceleratorButton(yesNo, 'Y'), 0);
    EXPECT_EQ(FindAcceleratorButton(yesNo, 'X'), -1);
    EXPECT_EQ(FindAcceleratorButton({"&Ok", "&OK"}, 'o'), 0);
}

TEST(Accelerators, OnlyCaptionsBeginningWithTheMarkCount) {
    const std::vector<std::string> game = {"Kotor &1", "Kotor &2 TSL", "&Abort"};
    EXPECT_EQ(FindAcceleratorButton(game, '1'), -1);
    EXPECT_EQ(FindAcceleratorButton(game, 'K'), -1);
    EXPECT_EQ(FindAcceleratorButton(game, 'A'), 2);
    EXPECT_EQ(FindAcceleratorButton({"&1st"}, '1'), -1);  // digits are not examined
    EXPECT_EQ(FindAcceleratorButton({"", "&", "&&x"}, '&'), -1);
    EXPECT_EQ(FindAcceleratorButton({}, 'A'), -1);
}

TEST(Accelerators, CaptionAsShownAndItsLetter) {
    EXPECT_EQ(StripAccelerator("&Yes"), "Yes");
    EXPECT_EQ(StripAccelerator("Kotor &2 TSL"), "Kotor 2 TSL");
    EXPECT_EQ(StripAccelerator("Salt && &Pepper"), "Salt & Pepper");
    EXPECT_EQ(StripAccelerator("Trailing&"), "Trailing");
    EXPECT_EQ(AcceleratorLetter("&Yes"), 'Y');
    EXPECT_EQ(AcceleratorLetter("Kotor &1"), '1');
    EXPECT_EQ(AcceleratorLetter("Salt && &Pepper"), 'P');
    EXPECT_EQ(AcceleratorLetter("none"), '\0');
    EXPECT_EQ(AcceleratorLetter("&&"), '\0');
    EXPECT_EQ(AcceleratorLetter("end&"), '\0');
}

}  // namespace
}  // namespace zelvane
