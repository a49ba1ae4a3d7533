// The roots of the in-memory file system: every change is checked where it lands at the moment
// it is made, with the links on the way followed; reads are never confined.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_file_system.hpp"
#include "platform/seams/read_limits.hpp"

namespace zelvane {
namespace {

const std::string kGame = "C:\\Games\\Kotor";
const std::string kProgram = "C:\\Mods\\Tool";
const std::string kSaves = "D:\\Saves";

class MemoryConfinement : public ::testing::Test {
protected:
    MemoryConfinement() {
        fs.AddFile(kGame + "\\override\\x.tga", "x");
        fs.AddFile(kProgram + "\\uninstall\\uninstall_data.ini", "ini");
        fs.AddFile(kSaves + "\\save.sav", "hours of play");
        fs.AddFile(kSaves + "\\sub\\a.tga", "a");
        fs.SetRoots({kGame, kProgram});
    }
    void ExpectSavesUntouched() {
        EXPECT_EQ(fs.Contents(kSaves + "\\save.sav"), "hours of play");
        EXPECT_EQ(fs.Contents(kSaves + "\\sub\\a.tga"), "a");
        EXPECT_EQ(fs.AttributesOf(kSaves + "\\save.sav")->readOnly, false);
        EXPECT_FALSE(fs.Exists(kSaves + "\\new.txt"));
        EXPECT_FALSE(fs.Exists(kSaves + "\\gone.sav"));
    }
    MemoryFileSystem fs;
};

TEST_F(MemoryConfinement, EveryKindOfChangeOutsideTheRootsIsRefused) {
    const std::string out = kSaves + "\\save.sav";
    EXPECT_EQ(fs.SetAttributes(out, Attributes{.readOnly = true}), FsStatus::OutsideRoots);
    EXPECT_EQ(fs.WriteAll(out, "overwritten"), FsStatus::OutsideRoots);
    EXPECT_EQ(fs.WriteAll(kSaves + "\\new.txt", "new"), FsStatus::OutsideRoots);
    EXPECT_EQ(fs.Delete(out), FsStatus::OutsideRoots);
    EXPECT_EQ(fs.Rename(out, kGame + "\\override\\stolen.sav"), FsStatus::OutsideRoots);
    EXPECT_EQ(fs.Rename(kGame + "\\override\\x.tga", kSaves + "\\x.tga"), FsStatus::OutsideRoots);
    EXPECT_EQ(fs.Copy(kGame + "\\override\\x.tga", out), FsStatus::OutsideRoots);
    EXPECT_EQ(fs.CreateFolder(kSaves + "\\folder"), FsStatus::OutsideRoots);
    EXPECT_EQ(fs.Refusals(), 8u);
    ExpectSavesUntouched();
    EXPECT_TRUE(fs.Exists(kGame + "\\override\\x.tga"));
    EXPECT_FALSE(fs.Exists(kSaves + "\\folder"));
    // A root itself is no place below a root; a sibling whose name begins like a root is outside.
    EXPECT_EQ(fs.Delete(kGame), FsStatus::OutsideRoots);
    EXPECT_EQ(fs.WriteAll("C:\\Games\\Kotor2\\x.tga", "x"), FsStatus::OutsideRoots);
}

TEST_F(MemoryConfinement, ReadingAndCopyingFromOutsideIsFine) {
    std::string bytes;
    EXPECT_EQ(fs.ReadAll(kSaves + "\\save.sav", bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(fs.Copy(kSaves + "\\save.sav", kGame + "\\override\\save.sav"), FsStatus::Ok);
    EXPECT_EQ(fs.Contents(kGame + "\\override\\save.sav"), "hours of play");
}

TEST_F(MemoryConfinement, ChangesInsideTheRootsGoAheadWhateverTheSpellingOfThePath) {
    fs.SetShortName(kProgram + "\\uninstall", "UNINST~1");
    EXPECT_EQ(fs.WriteAll("c:\\MODS\\tool\\UNINST~1\\uninstall_data20A.ini", "copy"), FsStatus::Ok);
    EXPECT_EQ(fs.Contents(kProgram + "\\uninstall\\uninstall_data20A.ini"), "copy");
    EXPECT_EQ(fs.Delete(kGame + "\\override\\..\\override\\x.tga"), FsStatus::Ok);
    EXPECT_EQ(fs.CreateFolder(kProgram + "\\Backup Uninstall"), FsStatus::Ok);
    EXPECT_EQ(fs.Refusals(), 0u);
}

TEST_F(MemoryConfinement, LinksOnTheWayAndAtTheEndAreFollowedBeforeTheCheck) {
    fs.AddLink(kProgram + "\\uninstall\\uninstall_data20A.ini", kSaves + "\\save.sav");
    fs.AddLink(kProgram + "\\uninstall\\removal_results.rtf", kSaves + "\\gone.sav");  // dangling
    fs.AddLink(kGame + "\\override\\linked", kSaves);
    EXPECT_EQ(fs.Copy(kProgram + "\\uninstall\\uninstall_data.ini", kProgram + "\\uninstall\\uninstall_data20A.ini"),
              FsStatus::OutsideRoots);
    EXPECT_EQ(fs.Delete(kProgram + "\\uninstall\\uninstall_data20A.ini"), FsStatus::OutsideRoots);
    EXPECT_EQ(fs.WriteAll(kProgram + "\\uninstall\\removal_results.rtf", "log"), FsStatus::OutsideRoots);
    EXPECT_EQ(fs.Delete(kGame + "\\override\\linked\\sub\\a.tga"), FsStatus::OutsideRoots);
    EXPECT_EQ(fs.WriteAll(kGame + "\\override\\linked\\new.txt", "x"), FsStatus::OutsideRoots);
    ExpectSavesUntouched();
}

TEST_F(MemoryConfinement, ALinkThatStaysInsideAndARootThatIsALinkAreFine) {
    fs.AddFile(kGame + "\\textures\\t.tga", "t");
    fs.AddLink(kGame + "\\override\\textures", kGame + "\\textures");
    EXPECT_EQ(fs.Delete(kGame + "\\override\\textures\\t.tga"), FsStatus::Ok);
    // A game folder reached through a link: its files lie where the link leads.
    fs.AddLink("E:\\Links\\Kotor", kGame);
    fs.SetRoots({"E:\\Links\\Kotor"});
    EXPECT_EQ(fs.Delete(kGame + "\\override\\x.tga"), FsStatus::Ok);
    EXPECT_EQ(fs.WriteAll("E:\\Links\\other.txt", "x"), FsStatus::OutsideRoots);
}

TEST_F(MemoryConfinement, NoRootsConfineNothing) {
    fs.SetRoots({});
    EXPECT_EQ(fs.WriteAll(kSaves + "\\new.txt", "new"), FsStatus::Ok);
    EXPECT_TRUE(fs.Roots().empty());
}

// The check is made when the change is made, not when the path was first looked at.
TEST_F(MemoryConfinement, AFolderSwappedForALinkBeforeAChangeIsCaughtAtThatChange) {
    fs.AddFile(kGame + "\\override\\sub\\a.tga", "the mod's a");
    std::vector<FsOp> seen;
    fs.OnMutation([&](std::uint64_t index, FsOp op, std::string_view) {
        seen.push_back(op);
        if (index == 1) fs.ReplaceWithLink(kGame + "\\override\\sub", kSaves + "\\sub");
    });
    EXPECT_EQ(fs.SetAttributes(kGame + "\\override\\sub\\a.tga", Attributes{}), FsStatus::Ok);
    EXPECT_EQ(fs.Delete(kGame + "\\override\\sub\\a.tga"), FsStatus::OutsideRoots);
    EXPECT_EQ(seen, (std::vector<FsOp>{FsOp::SetAttributes, FsOp::Delete}));
    ExpectSavesUntouched();
    EXPECT_EQ(fs.ResolvedPath(kGame + "\\override\\sub\\a.tga"), kSaves + "\\sub\\a.tga");
}

TEST_F(MemoryConfinement, ReplaceWithLinkTakesAwayALinkItselfAndNotWhatItLeadsTo) {
    fs.AddLink(kGame + "\\override\\first", kSaves + "\\sub");
    fs.ReplaceWithLink(kGame + "\\override\\first", kGame + "\\override");
    EXPECT_EQ(fs.Contents(kSaves + "\\sub\\a.tga"), "a");
    EXPECT_EQ(fs.ResolvedPath(kGame + "\\override\\first\\x.tga"), kGame + "\\override\\x.tga");
}

TEST_F(MemoryConfinement, EachDriveIsAVolumeOfItsOwnAndLinksCountWhereTheyLead) {
    fs.AddFile(kProgram + "\\backup\\a.2da", "2da");
    EXPECT_TRUE(fs.SameVolume(kProgram + "\\backup\\a.2da", kGame + "\\override\\a.2da"));
    EXPECT_FALSE(fs.SameVolume(kProgram + "\\backup\\a.2da", kSaves + "\\a.2da"));
    fs.AddLink(kGame + "\\override\\linked", kSaves);
    EXPECT_FALSE(fs.SameVolume(kProgram + "\\backup\\a.2da", kGame + "\\override\\linked\\a.2da"));
    EXPECT_EQ(fs.Rename(kGame + "\\override\\x.tga", "E:\\x.tga"), FsStatus::OutsideRoots);
    fs.SetRoots({});
    EXPECT_EQ(fs.Rename(kGame + "\\override\\x.tga", kSaves + "\\x.tga"), FsStatus::NotSameDevice);
}

}  // namespace
}  // namespace zelvane
