#include "platform/pattern_match.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace zelvane {
namespace {

// Wildcards as Windows matches them: without letter case, "*.*" and "name.*" also where there is
// no dot, a trailing dot for "no extension", "?" exactly one character.
TEST(WildcardMatch, MatchesAsWindowsDoes) {
    const struct {
        const char* pattern;
        std::vector<const char*> matching, others;
    } cases[] = {
        {"*.*", {"appearance.2da", "README", ".hidden"}, {}},
        {"*.2da", {"SPELLS.2DA"}, {"spells.2da.bak", "spells2da"}},
        {"*.2DA", {"a.b.2da"}, {}},
        {"x?.tga", {"x1.tga"}, {"x.tga", "x12.tga"}},
        {"dialog.*", {"dialog"}, {"dialogs"}},
        {"*.", {"override"}, {"x.tga"}},
        {"dialog.tlk", {}, {"dialog.tlk2"}},
        {"", {}, {"x"}},
        {"*", {}, {""}},
        {"*a*b*c", {"xxaxxbxxbxc"}, {"xxaxxcxxb"}},
        {"\xC9*", {"\xE9t\xE9.txt"}, {}},
    };
    for (const auto& c : cases) {
        for (const char* name : c.matching) EXPECT_TRUE(WildcardMatch(c.pattern, name)) << c.pattern << " " << name;
        for (const char* name : c.others) EXPECT_FALSE(WildcardMatch(c.pattern, name)) << c.pattern << " " << name;
    }
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
