// What only the in-memory file system does: Windows' own rules the host file systems cannot show
// here (locks, read-only media, short names, drives), links as it models them, and its faults; and
// what only the dry-run overlay over it does: the plan, and the questions a run asks the disk first.

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "platform/memory/memory_file_system.hpp"
#include "platform/overlay/overlay_file_system.hpp"
#include "tests/platform/host_folder_fixture.hpp"

namespace zelvane {
namespace {

using enum FsStatus;
using Statuses = std::vector<FsStatus>;
using Names = std::vector<std::string>;

class MemoryFs : public ::testing::Test {
protected:
    MemoryFs() {
        fs.AddFile(R"(C:\Games\Kotor\dialog.tlk)", "TLK V3.0");
        fs.AddFile(R"(C:\Games\Kotor\Override\x.tga)", "tga");
        fs.AddFile(R"(D:\Saves\save.sav)", "mine");
    }
    MemoryFileSystem fs;
};

// Listings come in creation order (or name order, as NTFS lists), with hidden and system entries,
// and keep what they held when the folder changes or the file system goes.
TEST_F(MemoryFs, ListingsKeepTheirOrderAndOutliveChanges) {
    fs.AddFile(R"(C:\L\b.txt)", "", Attributes{.hidden = true});
    fs.AddFolder(R"(C:\L\A)", Attributes{.system = true});
    fs.AddFile(R"(C:\L\c.2da)", "");
    EXPECT_EQ(ListedNames(fs, R"(C:\L\*.*)"), (Names{"b.txt", "A\\", "c.2da"}));
    auto listing = fs.List(R"(C:\L\*)");
    EXPECT_TRUE(listing->Next()->attributes.hidden);
    EXPECT_TRUE(listing->Next()->attributes.system);
    ASSERT_EQ(fs.Delete(R"(C:\L\c.2da)"), Ok);
    EXPECT_EQ(listing->Next()->name, "c.2da");
    fs.ListInNameOrder();
    EXPECT_EQ(ListedNames(fs, R"(C:\L\*.*)"), (Names{"A\\", "b.txt"}));
    auto gone = std::make_unique<MemoryFileSystem>();
    gone->AddFile(R"(C:\a\x)", "");
    listing = gone->List(R"(C:\a\*)");
    gone.reset();
    EXPECT_EQ(listing->Next()->name, "x");
}

// What Windows refuses: a locked file, a read-only file's removal, any change on a read-only medium.
TEST_F(MemoryFs, LocksReadOnlyFilesAndMediaRefuseAsWindowsDoes) {
    const std::string tlk = R"(C:\Games\Kotor\dialog.tlk)", x = R"(C:\Games\Kotor\Override\x.tga)";
    fs.Lock(tlk);
    std::string bytes = "untouched";
    EXPECT_EQ((Statuses{fs.OpenForRead(tlk), fs.ReadAll(tlk, bytes, 100), fs.Delete(tlk),
                        fs.Rename(tlk, R"(C:\Games\d.tlk)"), fs.Copy(tlk, R"(C:\Games\d.tlk)"),
                        fs.SetAttributes(tlk, {.readOnly = true})}),  // allowed on a locked file
              (Statuses{SharingViolation, SharingViolation, SharingViolation, SharingViolation, SharingViolation, Ok}));
    fs.Lock(tlk, false);
    EXPECT_EQ(fs.Delete(tlk), AccessDenied);
    EXPECT_EQ(bytes, "untouched");

    fs.SetReadOnlyMedium(R"(C:\Games)");
    EXPECT_EQ((Statuses{fs.Delete(x), fs.WriteAll(R"(C:\Games\new.txt)", "new"), fs.SetAttributes(x, {}),
                        fs.Rename(x, R"(C:\Games\y.tga)"), fs.CreateFolder(R"(C:\Games\New)"),
                        fs.Copy(R"(D:\Saves\save.sav)", R"(C:\Games\s.sav)"), fs.CanCreateFileIn(R"(C:\Games\Kotor)"),
                        fs.Copy(x, R"(C:\x.tga)")}),  // reading is fine
              (Statuses{WriteProtected, WriteProtected, WriteProtected, WriteProtected, WriteProtected, WriteProtected,
                        WriteProtected, Ok}));
}

// A short name stands for its entry, also for the roots, until the entry is renamed.
TEST_F(MemoryFs, ShortNamesStandForTheirEntriesUntilRenamed) {
    fs.AddFile(R"(C:\Program Files\Star Wars\dialog.tlk)", "");
    fs.SetShortName(R"(C:\Program Files)", "PROGRA~1");
    fs.SetShortName(R"(C:\Program Files\Star Wars)", "STARWA~1");
    fs.SetRoots({R"(C:\Program Files\Star Wars)"});
    EXPECT_EQ(fs.WriteAll(R"(C:\PROGRA~1\STARWA~1\new.txt)", "in"), Ok);
    fs.SetRoots({});
    ASSERT_EQ(fs.Rename(R"(C:\PROGRA~1\STARWA~1)", R"(C:\Program Files\Star Wars 2)"), Ok);
    EXPECT_FALSE(fs.Exists(R"(C:\Program Files\STARWA~1)"));
}

// Each drive is a volume, and so is a folder put on one of its own; links count where they lead. A
// file on the way to a path is no folder, and the model refuses to be built into nonsense.
TEST_F(MemoryFs, RenamesStayOnTheirVolume) {
    const std::string backup = R"(C:\mods\tool\backup\a.2da)";
    fs.AddFile(backup, "backup");
    fs.PutOnOwnVolume(R"(C:\mods\tool)");
    fs.AddLink(R"(C:\Games\Kotor\Saves)", R"(D:\Saves)");
    EXPECT_FALSE(fs.SameVolume(backup, R"(C:\Games\Kotor\a.2da)"));
    EXPECT_TRUE(fs.SameVolume(backup, R"(C:\mods\tool\a.2da)"));
    EXPECT_FALSE(fs.SameVolume(R"(C:\Games\Kotor\x.tga)", R"(C:\Games\Kotor\Saves\x.tga)"));
    Attributes a;
    EXPECT_EQ((Statuses{fs.Rename(backup, R"(C:\Games\Kotor\a.2da)"),
                        fs.Rename(R"(C:\Games\Kotor\dialog.tlk)", R"(D:\dialog.tlk)"),
                        fs.Copy(backup, R"(C:\Games\Kotor\a.2da)"), fs.GetAttributes(R"(C:\)", a),
                        fs.GetAttributes(R"(Q:\x)", a), fs.GetAttributes(R"(C:\Games\Kotor\dialog.tlk\x)", a)}),
              (Statuses{NotSameDevice, NotSameDevice, Ok, Ok, PathNotFound, PathNotFound}));
    EXPECT_THROW(fs.AddFile(R"(C:\Games\Kotor\dialog.tlk\x)", ""), std::invalid_argument);
    EXPECT_THROW(fs.Lock(R"(C:\none)"), std::invalid_argument);
}

// Links are followed by every operation, removal included, also link to link; a circle names nothing.
TEST_F(MemoryFs, LinksAreFollowedByEveryOperation) {
    fs.AddLink(R"(C:\Games\Kotor\Override\Linked)", R"(D:\Saves)");
    fs.AddLink(R"(C:\Hop)", R"(C:\Games\Kotor\Override\Linked)");
    fs.AddLink(R"(C:\Loop\a)", R"(C:\Loop\b)");
    fs.AddLink(R"(C:\Loop\b)", R"(C:\Loop\a)");
    EXPECT_EQ(fs.ResolvedPath(R"(c:\HOP\new\b.tga)"), R"(D:\Saves\new\b.tga)");
    EXPECT_EQ(fs.ResolvedPath(R"(C:\Loop\a\x)"), "");
    Attributes a;
    EXPECT_EQ((Statuses{fs.GetAttributes(R"(C:\Loop\a)", a), fs.Delete(R"(C:\Hop\save.sav)")}),
              (Statuses{BadName, Ok}));
    EXPECT_FALSE(fs.Exists(R"(D:\Saves\save.sav)"));
}

TEST_F(MemoryFs, InjectedFaultsHitTheirOperationAndChangeNothing) {
    const std::string x = R"(C:\Games\Kotor\Override\x.tga)";
    fs.FailOperation(FsOp::Delete, "OVERRIDE\\x", IoError);
    fs.FailOperation(FsOp::List, "", IoError);
    fs.FailOperation(FsOp::CanCreateFileIn, "kotor", AccessDenied);
    EXPECT_EQ((Statuses{fs.Delete(x), fs.Delete(x), fs.OpenForRead(x), fs.CanCreateFileIn(R"(C:\Games\Kotor)")}),
              (Statuses{IoError, IoError, Ok, AccessDenied}));  // every call, and only its own operation
    EXPECT_EQ(fs.List(R"(C:\Games\*.*)"), nullptr);
    fs.ClearFaults();
    EXPECT_EQ(fs.Delete(x), Ok);

    fs.FailMutation(fs.MutationCount(), DiskFull);  // the next change, once
    const auto before = fs.Snapshot();
    EXPECT_EQ(fs.Copy(R"(D:\Saves\save.sav)", R"(C:\b.txt)"), DiskFull);
    EXPECT_EQ(fs.Snapshot(), before);
    EXPECT_EQ(fs.Copy(R"(D:\Saves\save.sav)", R"(C:\b.txt)"), Ok);
    EXPECT_EQ(fs.CallCount(FsOp::Copy), 2u);
    EXPECT_EQ(fs.CallCount(FsOp::OpenForRead), 1u);
}

class OverlayFs : public ::testing::Test {
protected:
    OverlayFs() {
        under.AddFile(R"(C:\Game\dialog.tlk)", "TLK V3.0");
        under.AddFile(R"(C:\Game\Override\a.tga)", "a");
        under.AddFile(R"(C:\Game\Override\locked.tga)", "ro", Attributes{.readOnly = true});
        under.AddFile(R"(C:\Game\Backup\a.tga)", "old a");
        under.AddFolder(R"(C:\Game\Empty)");
    }
    MemoryFileSystem under;
};

TEST_F(OverlayFs, ThePlanListsEveryChangeInOrderWithItsOutcome) {
    OverlayFileSystem view(under);
    view.Delete(R"(C:\Game\Override\locked.tga)");
    view.Rename(R"(C:\Game\Backup\a.tga)", R"(C:\Game\Override\a.tga)");
    view.CreateFolder(R"(C:\Game\Empty)");
    view.WriteAll(R"(C:\Game\z.rtf)", "");
    view.WriteAll(R"(C:\Game\log.rtf)", "{\\rtf1}");
    // what the view made follows what was there, in the order it was made
    EXPECT_EQ(ListedNames(view, R"(C:\Game\*)"),
              (Names{"dialog.tlk", "Override\\", "Backup\\", "Empty\\", "z.rtf", "log.rtf"}));
    std::string plan;
    for (const PlannedChange& change : view.Plan()) {
        plan += std::string(PlannedKindName(change.kind)) + " " + change.path + " " + change.target + ": " +
                std::string(FsStatusName(change.outcome)) + "\n";
    }
    EXPECT_EQ(plan,
              "delete C:\\Game\\Override\\locked.tga : access denied\n"
              "rename C:\\Game\\Backup\\a.tga C:\\Game\\Override\\a.tga: already exists\n"
              "create folder C:\\Game\\Empty : already exists\n"
              "write C:\\Game\\z.rtf : done\n"
              "write C:\\Game\\log.rtf : done\n");
}

// What a run asks before it changes anything is answered by the disk below (a folder made in the
// view by the folder below that would hold it), so that a dry run refuses what the real run would.
TEST_F(OverlayFs, QuestionsBeforeAChangeAreAnsweredByTheDisk) {
    under.FailOperation(FsOp::CanCreateFileIn, R"(C:\Game\Override)", AccessDenied);
    under.PutOnOwnVolume(R"(C:\Game\Backup)");
    OverlayFileSystem view(under);
    std::string bytes;
    std::uint64_t size = 0;
    EXPECT_EQ(
        (Statuses{view.CreateFolder(R"(C:\Game\Override\Made)"), view.CreateFolder(R"(C:\Game\Backup\Made)"),
                  view.WriteAll(R"(C:\Game\Backup\new.2da)", "new"), view.CanCreateFileIn(R"(C:\Game\Override\Made)"),
                  view.CanCreateFileIn(R"(C:\Game\Backup\Made)"), view.ReadAll(R"(C:\Game\Backup\new.2da)", bytes, 2),
                  view.FileSize(R"(C:\Game\Backup\new.2da)", size)}),
        (Statuses{Ok, Ok, Ok, AccessDenied, Ok, TooLarge, Ok}));
    EXPECT_EQ(size, 3u);
    EXPECT_FALSE(view.SameVolume(R"(C:\Game\Backup\Made\x)", R"(C:\Game\Override\x)"));
    EXPECT_TRUE(view.SameVolume(R"(C:\Game\Backup\Made\x)", R"(C:\Game\Backup\x)"));
    view.SetRoots({R"(C:\Game\Backup)"});
    EXPECT_EQ(under.Roots(), std::vector<std::string>{R"(C:\Game\Backup)"});
    EXPECT_EQ(view.CanCreateFileIn(R"(C:\Game)"), OutsideRoots);
    EXPECT_EQ(under.MutationCount(), 0u);
}

}  // namespace
}  // namespace zelvane
