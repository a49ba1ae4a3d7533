#include "platform/pattern_match.hpp"

#include <gtest/gtest.h>

namespace zelvane {
namespace {

TEST(WildcardMatch, StarDotStarMatchesEveryNameAlsoWithoutDot) {
    EXPECT_TRUE(WildcardMatch("*.*", "appearance.2da"));
    EXPECT_TRUE(WildcardMatch("*.*", "README"));
    EXPECT_TRUE(WildcardMatch("*.*", ".hidden"));
    EXPECT_TRUE(WildcardMatch("*", "a.b.c"));
}

TEST(WildcardMatch, ExtensionPatternsAreCaseInsensitive) {
    EXPECT_TRUE(WildcardMatch("*.2da", "spells.2da"));
    EXPECT_TRUE(WildcardMatch("*.2da", "SPELLS.2DA"));
    EXPECT_TRUE(WildcardMatch("*.2DA", "feat.2da"));
    EXPECT_FALSE(WildcardMatch("*.2da", "spells.2da.bak"));
    EXPECT_FALSE(WildcardMatch("*.2da", "spells2da"));
    EXPECT_TRUE(WildcardMatch("*.2da", "a.b.2da"));
}

TEST(WildcardMatch, QuestionMarkIsExactlyOneCharacter) {
    EXPECT_TRUE(WildcardMatch("x?.tga", "x1.tga"));
    EXPECT_FALSE(WildcardMatch("x?.tga", "x.tga"));
    EXPECT_FALSE(WildcardMatch("x?.tga", "x12.tga"));
}

TEST(WildcardMatch, NameDotStarAlsoMatchesTheBareName) {
    EXPECT_TRUE(WildcardMatch("dialog.*", "dialog"));
    EXPECT_TRUE(WildcardMatch("dialog.*", "Dialog.TLK"));
    EXPECT_FALSE(WildcardMatch("dialog.*", "dialogs"));
}

TEST(WildcardMatch, TrailingDotMeansNoExtension) {
    EXPECT_TRUE(WildcardMatch("*.", "override"));
    EXPECT_FALSE(WildcardMatch("*.", "x.tga"));
}

TEST(WildcardMatch, PlainNamesCompareWholly) {
    EXPECT_TRUE(WildcardMatch("dialog.tlk", "DIALOG.TLK"));
    EXPECT_FALSE(WildcardMatch("dialog.tlk", "dialog.tlk2"));
    EXPECT_FALSE(WildcardMatch("", "x"));
    EXPECT_FALSE(WildcardMatch("*", ""));
}

TEST(WildcardMatch, BacktracksOverSeveralStars) {
    EXPECT_TRUE(WildcardMatch("*a*b*c", "xxaxxbxxbxc"));
    EXPECT_FALSE(WildcardMatch("*a*b*c", "xxaxxcxxb"));
}

TEST(NameComparison, FoldsCodePage1252Letters) {
    EXPECT_TRUE(NamesEqual("\xC4rger.txt", "\xE4RGER.TXT"));  // Ä / ä
    EXPECT_FALSE(NamesEqual("ab", "abc"));
    EXPECT_TRUE(WildcardMatch("\xC9*", "\xE9t\xE9.txt"));
}

TEST(NameComparison, NtfsLikeOrderIgnoresCase) {
    EXPECT_TRUE(NameLess("alpha", "Beta"));
    EXPECT_TRUE(NameLess("Alpha", "beta"));
    EXPECT_FALSE(NameLess("beta", "Alpha"));
    EXPECT_TRUE(NameLess("a", "ab"));
}

}  // namespace
}  // namespace zelvane
