#include "platform/pattern_match.hpp"

#include <gtest/gtest.h>

namespace zelvane {
namespace {

// Wildcards as Windows matches them: without letter case, "*.*" and "name.*" also where there is
// no dot, a trailing dot for "no extension", "?" exactly one character.
TEST(WildcardMatch, MatchesAsWindowsDoes) {
    const struct {
        const char* pattern;
        const char* name;
        bool matches;
    } cases[] = {
        {"*.*", "appearance.2da", true},
        {"*.*", "README", true},
        {"*.*", ".hidden", true},
        {"*.2da", "SPELLS.2DA", true},
        {"*.2DA", "a.b.2da", true},
        {"*.2da", "spells.2da.bak", false},
        {"*.2da", "spells2da", false},
        {"x?.tga", "x1.tga", true},
        {"x?.tga", "x.tga", false},
        {"x?.tga", "x12.tga", false},
        {"dialog.*", "dialog", true},
        {"dialog.*", "dialogs", false},
        {"*.", "override", true},
        {"*.", "x.tga", false},
        {"dialog.tlk", "dialog.tlk2", false},
        {"", "x", false},
        {"*", "", false},
        {"*a*b*c", "xxaxxbxxbxc", true},
        {"*a*b*c", "xxaxxcxxb", false},
        {"\xC9*", "\xE9t\xE9.txt", true},
    };
    for (const auto& c : cases) EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
}

TEST(NameComparison, FoldsCodePage1252AndOrdersWithoutLetterCase) {
    EXPECT_TRUE(NamesEqual("\xC4rger.txt", "\xE4RGER.TXT"));  // Ä / ä
    EXPECT_FALSE(NamesEqual("ab", "abc"));
    EXPECT_TRUE(NameLess("alpha", "Beta"));
    EXPECT_TRUE(NameLess("Alpha", "beta"));
    EXPECT_FALSE(NameLess("beta", "Alpha"));
    EXPECT_TRUE(NameLess("a", "ab"));
}

}  // namespace
}  // namespace zelvane
