// The links of the in-memory file system: ResolvedPath and the operations that follow them.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/memory/memory_file_system.hpp"

namespace zelvane {
namespace {

class MemoryLinks : public ::testing::Test {
protected:
    MemoryLinks() {
        fs.AddFile("C:\\Games\\Kotor\\override\\x.tga", "x");
        fs.AddFile("D:\\Saves\\save.sav", "mine");
        fs.AddFile("D:\\Saves\\sub\\a.tga", "a");
    }
    std::vector<std::string> Names(const std::string& pattern) const {
        std::vector<std::string> names;
        auto listing = fs.List(pattern);
        if (!listing) return {"<null>"};
        while (auto entry = listing->Next()) names.push_back(entry->name + (entry->attributes.directory ? "\\" : ""));
        return names;
    }
    MemoryFileSystem fs;
};

TEST_F(MemoryLinks, WithoutLinksThePathIsItsOwnResolution) {
    EXPECT_EQ(fs.ResolvedPath("C:\\Games\\Kotor\\override\\x.tga"), "C:\\Games\\Kotor\\override\\x.tga");
    EXPECT_EQ(fs.ResolvedPath("C:\\Games\\Kotor\\override\\..\\new\\y.tga"), "C:\\Games\\Kotor\\new\\y.tga");
}

TEST_F(MemoryLinks, TheLinkedPrefixIsReplacedWhateverTheLetterCase) {
    fs.AddLink("C:\\Games\\Kotor\\override\\Linked", "D:\\Saves");
    fs.AddLink("C:\\Games\\Kotor\\override\\evil.tga", "D:\\Saves\\save.sav");
    EXPECT_EQ(fs.ResolvedPath("c:\\games\\KOTOR\\Override\\LINKED\\sub\\a.tga"), "D:\\Saves\\sub\\a.tga");
    EXPECT_EQ(fs.ResolvedPath("C:\\Games\\Kotor\\override\\linked\\missing\\b.tga"), "D:\\Saves\\missing\\b.tga");
    EXPECT_EQ(fs.ResolvedPath("C:\\Games\\Kotor\\override\\Evil.tga"), "D:\\Saves\\save.sav");
}

TEST_F(MemoryLinks, ChainsAreFollowedAndCirclesResolveToNothing) {
    fs.AddLink("C:\\Games\\Kotor\\override\\first", "C:\\Hop");
    fs.AddLink("C:\\Hop", "D:\\Saves\\sub");
    EXPECT_EQ(fs.ResolvedPath("C:\\Games\\Kotor\\override\\first\\a.tga"), "D:\\Saves\\sub\\a.tga");
    fs.AddLink("C:\\Loop\\a", "C:\\Loop\\b");
    fs.AddLink("C:\\Loop\\b", "C:\\Loop\\a");
    EXPECT_EQ(fs.ResolvedPath("C:\\Loop\\a\\x"), "");
    EXPECT_FALSE(fs.Exists("C:\\Loop\\a\\x"));
    Attributes ignored;
    EXPECT_EQ(fs.GetAttributes("C:\\Loop\\a", ignored), FsStatus::BadName);
}

TEST_F(MemoryLinks, ADanglingLinkResolvesToItsTarget) {
    fs.AddLink("C:\\Games\\Kotor\\override\\gone.tga", "D:\\Saves\\gone.sav");
    EXPECT_EQ(fs.ResolvedPath("C:\\Games\\Kotor\\override\\gone.tga"), "D:\\Saves\\gone.sav");
    EXPECT_FALSE(fs.Exists("C:\\Games\\Kotor\\override\\gone.tga"));
}

TEST_F(MemoryLinks, LinksAreListedWithTheirTargetsAttributesAndFollowedByOperations) {
    fs.AddLink("C:\\Games\\Kotor\\override\\Linked", "D:\\Saves");
    fs.AddLink("C:\\Games\\Kotor\\override\\evil.tga", "D:\\Saves\\save.sav");
    EXPECT_EQ(Names("C:\\Games\\Kotor\\override\\*.*"), (std::vector<std::string>{"x.tga", "Linked\\", "evil.tga"}));
    EXPECT_EQ(Names("C:\\Games\\Kotor\\override\\linked\\*.*"), (std::vector<std::string>{"save.sav", "sub\\"}));
    EXPECT_EQ(fs.Contents("C:\\Games\\Kotor\\override\\evil.tga"), "mine");
    EXPECT_EQ(fs.ShortPath("C:\\Games\\Kotor\\override\\evil.tga"), "C:\\Games\\Kotor\\override\\evil.tga");
    // A link holds no bytes of its own: the snapshot shows each file once, where it is.
    EXPECT_EQ(fs.Snapshot().count("C:\\Games\\Kotor\\override\\evil.tga"), 0u);
    EXPECT_EQ(fs.Snapshot().size(), 3u);
    // Removing through a link removes what it leads to, so a test sees any touch of the target.
    ASSERT_EQ(fs.Delete("C:\\Games\\Kotor\\override\\Linked\\sub\\a.tga"), FsStatus::Ok);
    EXPECT_FALSE(fs.Exists("D:\\Saves\\sub\\a.tga"));
}

TEST_F(MemoryLinks, ALinkNeedsAFreeName) {
    EXPECT_THROW(fs.AddLink("C:\\Games\\Kotor\\override\\x.tga", "D:\\Saves"), std::invalid_argument);
    EXPECT_THROW(fs.AddLink("C:\\Games\\Kotor\\override\\y*.tga", "D:\\Saves"), std::invalid_argument);
}

}  // namespace
}  // namespace zelvane
