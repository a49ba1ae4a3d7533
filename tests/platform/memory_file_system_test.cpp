#include "platform/memory/memory_file_system.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/seams/read_limits.hpp"

namespace zelvane {
namespace {

std::vector<std::string> Names(const FileSystem& fs, std::string_view pattern) {
    std::vector<std::string> names;
    auto listing = fs.List(pattern);
    if (!listing) return {"<null>"};
    while (auto entry = listing->Next()) names.push_back(entry->name);
    return names;
}

Attributes ReadOnly() {
    Attributes a;
    a.readOnly = true;
    return a;
}

class MemoryFs : public ::testing::Test {
protected:
    MemoryFs() {
        fs.AddFile(R"(C:\Games\Kotor\dialog.tlk)", "TLK V3.0rest");
        fs.AddFile(R"(C:\Games\Kotor\Override\x.tga)", "tga");
        fs.AddFile(R"(C:\Games\Kotor\Override\Sub\y.2da)", "2DA");
    }
    MemoryFileSystem fs;
};

// --- names and paths ---

TEST_F(MemoryFs, NamesAreCaseInsensitiveAndKeepTheStoredCase) {
    EXPECT_TRUE(fs.Exists(R"(c:\games\KOTOR\override\X.TGA)"));
    EXPECT_EQ(fs.Contents(R"(C:\GAMES\kotor\DIALOG.TLK)"), "TLK V3.0rest");
    EXPECT_EQ(Names(fs, R"(C:\games\kotor\OVERRIDE\X.TGA)"), std::vector<std::string>{"x.tga"});
    EXPECT_EQ(Names(fs, R"(C:\Games\*.*)"), std::vector<std::string>{"Kotor"});
}

TEST_F(MemoryFs, PathsAreReadAsWindowsReadsThem) {
    EXPECT_TRUE(fs.Exists(R"(C:/Games\\Kotor\.\Override\..\Override\x.tga. )"));
    Attributes a;
    EXPECT_EQ(fs.GetAttributes(R"(C:\Games\Kotor\)", a), FsStatus::Ok);
    EXPECT_TRUE(a.directory);
    EXPECT_EQ(fs.GetAttributes(R"(C:\)", a), FsStatus::Ok);
    EXPECT_TRUE(a.directory);
    EXPECT_EQ(fs.GetAttributes(R"(C:\Games\Kotor\dialog.tlk\)", a), FsStatus::BadName);
}

TEST_F(MemoryFs, MissingEntriesAndParentsAreTold) {
    Attributes a;
    EXPECT_EQ(fs.GetAttributes(R"(C:\Games\Kotor\none.tga)", a), FsStatus::FileNotFound);
    EXPECT_EQ(fs.GetAttributes(R"(C:\Games\Nope\none.tga)", a), FsStatus::PathNotFound);
    EXPECT_EQ(fs.GetAttributes(R"(C:\Games\Kotor\dialog.tlk\x)", a), FsStatus::PathNotFound);
    EXPECT_EQ(fs.GetAttributes(R"(Q:\x)", a), FsStatus::PathNotFound);
    EXPECT_EQ(fs.GetAttributes("", a), FsStatus::PathNotFound);
    EXPECT_EQ(fs.GetAttributes(R"(C:\Games\*.tga)", a), FsStatus::BadName);
    EXPECT_EQ(fs.GetAttributes(R"(C:\Games\CON)", a), FsStatus::BadName);
}

// --- listings ---

TEST_F(MemoryFs, ListingFollowsCreationOrderWithoutDotEntries) {
    fs.AddFile(R"(C:\L\b.txt)", "");
    fs.AddFolder(R"(C:\L\A)");
    fs.AddFile(R"(C:\L\c.2da)", "");
    fs.AddFile(R"(C:\L\README)", "");
    EXPECT_EQ(Names(fs, R"(C:\L\*.*)"), (std::vector<std::string>{"b.txt", "A", "c.2da", "README"}));
    EXPECT_EQ(Names(fs, R"(C:\L\*.2DA)"), std::vector<std::string>{"c.2da"});
    EXPECT_EQ(Names(fs, R"(C:\L\*.)"), (std::vector<std::string>{"A", "README"}));
    EXPECT_EQ(Names(fs, R"(C:\L\nothing.*)"), std::vector<std::string>{});
    EXPECT_EQ(Names(fs, R"(C:\Missing\*.*)"), std::vector<std::string>{"<null>"});
    EXPECT_EQ(Names(fs, R"(C:\L\b.txt\*.*)"), std::vector<std::string>{"<null>"});
}

TEST_F(MemoryFs, ListingReportsAttributesIncludingHiddenAndSystem) {
    Attributes hidden;
    hidden.hidden = true;
    Attributes system;
    system.system = true;
    fs.AddFile(R"(C:\L\h.txt)", "", hidden);
    fs.AddFolder(R"(C:\L\S)", system);
    auto listing = fs.List(R"(C:\L\*.*)");
    ASSERT_TRUE(listing);
    auto first = listing->Next();
    auto second = listing->Next();
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->attributes.hidden);
    EXPECT_FALSE(first->attributes.directory);
    EXPECT_TRUE(second->attributes.directory);
    EXPECT_TRUE(second->attributes.system);
    EXPECT_FALSE(listing->Next());
}

TEST_F(MemoryFs, ListingCountersFollowLiveListingsAndEntries) {
    EXPECT_EQ(fs.OpenListings(), 0u);
    {
        auto a = fs.List(R"(C:\Games\Kotor\*.*)");
        auto b = fs.List(R"(C:\Games\Kotor\Override\*.*)");
        EXPECT_EQ(fs.OpenListings(), 2u);
        a->Next();
        a->Next();
        a->Next();  // the end hands out nothing
        EXPECT_EQ(fs.EntriesRead(), 2u);
    }
    EXPECT_EQ(fs.OpenListings(), 0u);
    EXPECT_EQ(fs.CallCount(FsOp::List), 2u);
}

TEST(MemoryFsLifetime, ListingMayOutliveTheFileSystem) {
    std::unique_ptr<Listing> listing;
    {
        MemoryFileSystem fs;
        fs.AddFile(R"(C:\a\x)", "");
        listing = fs.List(R"(C:\a\*)");
    }
    ASSERT_TRUE(listing);
    EXPECT_EQ(listing->Next()->name, "x");
}

TEST_F(MemoryFs, ListingIsUnaffectedByChangesWhileOpen) {
    auto listing = fs.List(R"(C:\Games\Kotor\Override\*.*)");
    ASSERT_EQ(fs.Delete(R"(C:\Games\Kotor\Override\x.tga)"), FsStatus::Ok);
    EXPECT_EQ(listing->Next()->name, "x.tga");
    EXPECT_EQ(listing->Next()->name, "Sub");
}

// --- reading ---

TEST_F(MemoryFs, OpenForReadRefusesFoldersMissingAndLockedFiles) {
    EXPECT_EQ(fs.OpenForRead(R"(C:\Games\Kotor\dialog.tlk)"), FsStatus::Ok);
    EXPECT_EQ(fs.OpenForRead(R"(C:\Games\Kotor)"), FsStatus::AccessDenied);
    EXPECT_EQ(fs.OpenForRead(R"(C:\Games\Kotor\nope)"), FsStatus::FileNotFound);
    EXPECT_EQ(fs.OpenForRead(R"(C:\Games\Nope\nope)"), FsStatus::PathNotFound);
    fs.Lock(R"(C:\Games\Kotor\dialog.tlk)");
    EXPECT_EQ(fs.OpenForRead(R"(C:\Games\Kotor\dialog.tlk)"), FsStatus::SharingViolation);
    std::string bytes = "untouched";
    EXPECT_EQ(fs.ReadAll(R"(C:\Games\Kotor\dialog.tlk)", bytes, kTableLimit), FsStatus::SharingViolation);
    EXPECT_EQ(bytes, "untouched");
    fs.Lock(R"(C:\Games\Kotor\dialog.tlk)", false);
    EXPECT_EQ(fs.ReadAll(R"(C:\Games\Kotor\dialog.tlk)", bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(bytes, "TLK V3.0rest");
}

// Stand-ins for what a host holds beside regular files, and the bounded reads.
TEST_F(MemoryFs, ReadsTakeOnlyRegularFilesWithinTheirLimit) {
    fs.AddSpecialFile(R"(C:\Games\Kotor\Override\pipe.2da)");
    const std::string pipe = R"(C:\Games\Kotor\Override\pipe.2da)";
    std::string bytes = "untouched";
    std::uint64_t size = 0;
    EXPECT_EQ(Names(fs, R"(C:\Games\Kotor\Override\pipe.2da)"), std::vector<std::string>{"pipe.2da"});
    EXPECT_EQ(fs.OpenForRead(pipe), FsStatus::NotRegularFile);
    EXPECT_EQ(fs.FileSize(pipe, size), FsStatus::NotRegularFile);
    EXPECT_EQ(fs.ReadAll(pipe, bytes, kTableLimit), FsStatus::NotRegularFile);
    EXPECT_EQ(fs.ReadHead(pipe, bytes, 8), FsStatus::NotRegularFile);
    EXPECT_EQ(fs.Copy(pipe, R"(C:\Games\Kotor\copy.2da)"), FsStatus::NotRegularFile);
    EXPECT_EQ(bytes, "untouched");

    const std::string tlk = R"(C:\Games\Kotor\dialog.tlk)";
    EXPECT_EQ(fs.FileSize(tlk, size), FsStatus::Ok);
    EXPECT_EQ(size, 12u);
    EXPECT_EQ(fs.ReadAll(tlk, bytes, 11), FsStatus::TooLarge);
    EXPECT_EQ(bytes, "untouched");
    EXPECT_EQ(fs.ReadHead(tlk, bytes, 8), FsStatus::Ok);
    EXPECT_EQ(bytes, "TLK V3.0");
}

TEST_F(MemoryFs, CanCreateFileInTellsFoldersRootsMediaAndFaults) {
    const std::string override = R"(C:\Games\Kotor\Override)";
    fs.AddFolder(R"(D:\Elsewhere)");
    fs.SetRoots({R"(C:\Games\Kotor)"});
    EXPECT_EQ(fs.CanCreateFileIn(override), FsStatus::Ok);
    EXPECT_EQ(fs.CanCreateFileIn(R"(D:\Elsewhere)"), FsStatus::OutsideRoots);
    EXPECT_EQ(fs.CanCreateFileIn(override + R"(\x.tga)"), FsStatus::PathNotFound);
    EXPECT_EQ(fs.CanCreateFileIn(override + R"(\Missing)"), FsStatus::PathNotFound);
    EXPECT_EQ(fs.Refusals(), 0u);  // a question is no refused change
    fs.FailOperation(FsOp::CanCreateFileIn, "sub", FsStatus::AccessDenied);
    EXPECT_EQ(fs.CanCreateFileIn(override + R"(\Sub)"), FsStatus::AccessDenied);
    fs.SetReadOnlyMedium(R"(C:\Games)");
    EXPECT_EQ(fs.CanCreateFileIn(override), FsStatus::WriteProtected);
    EXPECT_EQ(fs.MutationCount(), 0u);
}

TEST_F(MemoryFs, GetAttributesTellsALinkAsTheListingDoes) {
    fs.AddLink(R"(C:\Games\Kotor\Override\link.tga)", R"(C:\Games\Kotor\Override\x.tga)");
    fs.AddLink(R"(C:\Games\Kotor\Linked)", R"(C:\Games\Kotor\Override)");
    Attributes a;
    ASSERT_EQ(fs.GetAttributes(R"(C:\Games\Kotor\Override\link.tga)", a), FsStatus::Ok);
    EXPECT_TRUE(a.link);
    ASSERT_EQ(fs.GetAttributes(R"(C:\Games\Kotor\Linked\x.tga)", a), FsStatus::Ok);
    EXPECT_FALSE(a.link);  // a link on the way does not make the file one
}

// --- delete ---

TEST_F(MemoryFs, DeleteRemovesOnlyWritableUnlockedFiles) {
    const std::string file = R"(C:\Games\Kotor\Override\x.tga)";
    fs.SetAttributes(file, ReadOnly());
    EXPECT_EQ(fs.Delete(file), FsStatus::AccessDenied);
    fs.SetAttributes(file, {});
    fs.Lock(file);
    EXPECT_EQ(fs.Delete(file), FsStatus::SharingViolation);
    fs.Lock(file, false);
    EXPECT_EQ(fs.Delete(R"(C:\Games\Kotor\Override\Sub)"), FsStatus::AccessDenied);
    EXPECT_EQ(fs.Delete(R"(C:\Games\Kotor\Override\*.tga)"), FsStatus::BadName);
    EXPECT_TRUE(fs.Exists(file));
    EXPECT_EQ(fs.Delete(file), FsStatus::Ok);
    EXPECT_FALSE(fs.Exists(file));
    EXPECT_EQ(fs.Delete(file), FsStatus::FileNotFound);
}

TEST_F(MemoryFs, ReadOnlyMediumRefusesEveryChangeBelowIt) {
    fs.SetReadOnlyMedium(R"(C:\Games)");
    const std::string file = R"(C:\Games\Kotor\Override\x.tga)";
    EXPECT_EQ(fs.Delete(file), FsStatus::WriteProtected);
    EXPECT_EQ(fs.WriteAll(file, "new"), FsStatus::WriteProtected);
    EXPECT_EQ(fs.WriteAll(R"(C:\Games\Kotor\new.txt)", "new"), FsStatus::WriteProtected);
    EXPECT_EQ(fs.SetAttributes(file, ReadOnly()), FsStatus::WriteProtected);
    EXPECT_EQ(fs.Rename(file, R"(C:\Games\Kotor\y.tga)"), FsStatus::WriteProtected);
    EXPECT_EQ(fs.CreateFolder(R"(C:\Games\New)"), FsStatus::WriteProtected);
    fs.AddFile(R"(C:\Other\a.txt)", "a");
    EXPECT_EQ(fs.Copy(R"(C:\Other\a.txt)", R"(C:\Games\a.txt)"), FsStatus::WriteProtected);
    EXPECT_EQ(fs.Copy(file, R"(C:\Other\x.tga)"), FsStatus::Ok);  // reading is fine
    EXPECT_EQ(fs.Contents(file), "tga");
}

// --- rename ---

TEST_F(MemoryFs, RenameNeverOverwrites) {
    fs.AddFile(R"(C:\Games\Kotor\Override\x.tga.original)", "orig");
    EXPECT_EQ(fs.Rename(R"(C:\Games\Kotor\Override\x.tga.original)", R"(C:\Games\Kotor\Override\X.TGA)"),
              FsStatus::AlreadyExists);
    EXPECT_EQ(fs.Contents(R"(C:\Games\Kotor\Override\x.tga)"), "tga");
    EXPECT_EQ(fs.Contents(R"(C:\Games\Kotor\Override\x.tga.original)"), "orig");
}

TEST_F(MemoryFs, RenameMovesBetweenFoldersWithAttributesAndListsLast) {
    fs.AddFile(R"(C:\Mod\backup\spells.2da)", "2DA V2.b", ReadOnly());
    EXPECT_EQ(fs.Rename(R"(C:\Mod\backup\spells.2da)", R"(C:\Games\Kotor\Override\spells.2da)"), FsStatus::Ok);
    EXPECT_FALSE(fs.Exists(R"(C:\Mod\backup\spells.2da)"));
    EXPECT_EQ(fs.Contents(R"(C:\Games\Kotor\Override\spells.2da)"), "2DA V2.b");
    EXPECT_TRUE(fs.AttributesOf(R"(C:\Games\Kotor\Override\spells.2da)")->readOnly);
    EXPECT_EQ(Names(fs, R"(C:\Games\Kotor\Override\*.*)"), (std::vector<std::string>{"x.tga", "Sub", "spells.2da"}));
}

TEST_F(MemoryFs, RenameFailureKinds) {
    const std::string file = R"(C:\Games\Kotor\Override\x.tga)";
    EXPECT_EQ(fs.Rename(R"(C:\Games\Kotor\none)", R"(C:\Games\Kotor\n2)"), FsStatus::FileNotFound);
    EXPECT_EQ(fs.Rename(file, R"(C:\Games\Missing\x.tga)"), FsStatus::PathNotFound);
    EXPECT_EQ(fs.Rename(file, R"(D:\x.tga)"), FsStatus::NotSameDevice);
    EXPECT_EQ(fs.Rename(file, R"(C:\Games\Kotor\*.tga)"), FsStatus::BadName);
    fs.Lock(file);
    EXPECT_EQ(fs.Rename(file, R"(C:\Games\Kotor\y.tga)"), FsStatus::SharingViolation);
    fs.Lock(file, false);
    EXPECT_EQ(fs.Rename(R"(C:\Games\Kotor)", R"(C:\Games\Kotor\Override\K)"), FsStatus::AccessDenied);
    EXPECT_EQ(fs.Contents(file), "tga");
}

TEST_F(MemoryFs, RenameMayChangeOnlyTheLetterCase) {
    EXPECT_EQ(fs.Rename(R"(C:\Games\Kotor\Override\x.tga)", R"(C:\Games\Kotor\Override\X.TGA)"), FsStatus::Ok);
    EXPECT_EQ(Names(fs, R"(C:\Games\Kotor\Override\*.*)"), (std::vector<std::string>{"X.TGA", "Sub"}));
}

TEST_F(MemoryFs, RenameMovesAFolderWithItsContents) {
    EXPECT_EQ(fs.Rename(R"(C:\Games\Kotor\Override\Sub)", R"(C:\Games\Sub2)"), FsStatus::Ok);
    EXPECT_EQ(fs.Contents(R"(C:\Games\Sub2\y.2da)"), "2DA");
}

// --- copy ---

TEST_F(MemoryFs, CopyReplacesWritableTargetsAndCopiesAttributes) {
    Attributes hidden;
    hidden.hidden = true;
    fs.AddFile(R"(C:\Mod\a.2da)", "new", hidden);
    fs.AddFile(R"(C:\Games\Kotor\Override\a.2da)", "old");
    EXPECT_EQ(fs.Copy(R"(C:\Mod\a.2da)", R"(C:\Games\Kotor\Override\A.2DA)"), FsStatus::Ok);
    EXPECT_EQ(fs.Contents(R"(C:\Games\Kotor\Override\a.2da)"), "new");
    EXPECT_TRUE(fs.AttributesOf(R"(C:\Games\Kotor\Override\a.2da)")->hidden);
    EXPECT_EQ(fs.Contents(R"(C:\Mod\a.2da)"), "new");
    // the existing entry keeps its stored name
    EXPECT_EQ(Names(fs, R"(C:\Games\Kotor\Override\a.2da)"), std::vector<std::string>{"a.2da"});
}

TEST_F(MemoryFs, CopyFailureKinds) {
    const std::string src = R"(C:\Games\Kotor\dialog.tlk)";
    fs.AddFile(R"(C:\Backup\dialog.tlk)", "keep", ReadOnly());
    EXPECT_EQ(fs.Copy(src, R"(C:\Backup\dialog.tlk)"), FsStatus::AccessDenied);
    EXPECT_EQ(fs.Contents(R"(C:\Backup\dialog.tlk)"), "keep");
    EXPECT_EQ(fs.Copy(src, R"(C:\Nowhere\dialog.tlk)"), FsStatus::PathNotFound);
    EXPECT_EQ(fs.Copy(R"(C:\Games\Kotor\none)", R"(C:\Backup\none)"), FsStatus::FileNotFound);
    EXPECT_EQ(fs.Copy(R"(C:\Games\Kotor\Override)", R"(C:\Backup\o)"), FsStatus::AccessDenied);
    EXPECT_EQ(fs.Copy(src, R"(C:\Games\Kotor\Override)"), FsStatus::AccessDenied);
    EXPECT_EQ(fs.Copy(src, R"(C:\GAMES\kotor\Dialog.tlk)"), FsStatus::SharingViolation);  // onto itself
    EXPECT_EQ(fs.Contents(src), "TLK V3.0rest");
    fs.Lock(src);
    EXPECT_EQ(fs.Copy(src, R"(C:\Backup\d2.tlk)"), FsStatus::SharingViolation);
    EXPECT_FALSE(fs.Exists(R"(C:\Backup\d2.tlk)"));
}

// --- write, attributes, folders ---

TEST_F(MemoryFs, WriteAllCreatesOrReplaces) {
    EXPECT_EQ(fs.WriteAll(R"(C:\Games\Kotor\new.rtf)", "{\\rtf1}"), FsStatus::Ok);
    EXPECT_EQ(fs.Contents(R"(C:\Games\Kotor\new.rtf)"), "{\\rtf1}");
    EXPECT_EQ(fs.WriteAll(R"(C:\Games\Kotor\NEW.rtf)", "2"), FsStatus::Ok);
    EXPECT_EQ(Names(fs, R"(C:\Games\Kotor\new.rtf)"), std::vector<std::string>{"new.rtf"});
    EXPECT_EQ(fs.Contents(R"(C:\Games\Kotor\new.rtf)"), "2");
    EXPECT_EQ(fs.WriteAll(R"(C:\Games\Missing\new.rtf)", ""), FsStatus::PathNotFound);
    EXPECT_EQ(fs.WriteAll(R"(C:\Games\Kotor\Override)", ""), FsStatus::AccessDenied);
    EXPECT_EQ(fs.WriteAll(R"(C:\Games\Kotor\n?.rtf)", ""), FsStatus::BadName);
    fs.SetAttributes(R"(C:\Games\Kotor\new.rtf)", ReadOnly());
    EXPECT_EQ(fs.WriteAll(R"(C:\Games\Kotor\new.rtf)", "3"), FsStatus::AccessDenied);
    EXPECT_EQ(fs.Contents(R"(C:\Games\Kotor\new.rtf)"), "2");
}

TEST_F(MemoryFs, SetAttributesAppliesFlagsButKeepsTheKind) {
    const std::string file = R"(C:\Games\Kotor\dialog.tlk)";
    Attributes all;
    all.directory = true;
    all.readOnly = all.hidden = all.system = all.archive = true;
    fs.Lock(file);  // allowed on a locked file
    EXPECT_EQ(fs.SetAttributes(file, all), FsStatus::Ok);
    Attributes got;
    EXPECT_EQ(fs.GetAttributes(file, got), FsStatus::Ok);
    EXPECT_FALSE(got.directory);
    EXPECT_TRUE(got.readOnly && got.hidden && got.system && got.archive);
    EXPECT_EQ(fs.SetAttributes(file, {}), FsStatus::Ok);
    EXPECT_FALSE(fs.AttributesOf(file)->readOnly);
    EXPECT_EQ(fs.SetAttributes(R"(C:\Games\Kotor\none)", {}), FsStatus::FileNotFound);
    EXPECT_EQ(fs.SetAttributes(R"(C:\Games\None\none)", {}), FsStatus::PathNotFound);
}

TEST_F(MemoryFs, CreateFolderNeedsItsParentAndANewName) {
    EXPECT_EQ(fs.CreateFolder(R"(C:\Games\Kotor\Backup Uninstall)"), FsStatus::Ok);
    EXPECT_TRUE(fs.AttributesOf(R"(C:\Games\Kotor\backup uninstall)")->directory);
    EXPECT_EQ(fs.CreateFolder(R"(C:\Games\Kotor\BACKUP UNINSTALL\)"), FsStatus::AlreadyExists);
    EXPECT_EQ(fs.CreateFolder(R"(C:\Games\Kotor\dialog.tlk)"), FsStatus::AlreadyExists);
    EXPECT_EQ(fs.CreateFolder(R"(C:\Games\A\B)"), FsStatus::PathNotFound);
}

// --- short names ---

TEST_F(MemoryFs, ShortPathReplacesComponentsWithTheirAliases) {
    fs.AddFile(R"(C:\Program Files\Star Wars\dialog.tlk)", "");
    fs.SetShortName(R"(C:\Program Files)", "PROGRA~1");
    fs.SetShortName(R"(C:\Program Files\Star Wars)", "STARWA~1");
    EXPECT_EQ(fs.ShortPath(R"(C:\program files\Star Wars\dialog.tlk)"), R"(C:\PROGRA~1\STARWA~1\dialog.tlk)");
    EXPECT_EQ(fs.ShortPath(R"(C:\Program Files\)"), R"(C:\PROGRA~1\)");
    EXPECT_EQ(fs.ShortPath(R"(C:\Games\Kotor\dialog.tlk)"), R"(C:\Games\Kotor\dialog.tlk)");
    EXPECT_EQ(fs.ShortPath(R"(C:\Program Files\none.tlk)"), "");
    // the alias names the same entry, and a lookup by alias lists the long name
    EXPECT_EQ(fs.Contents(R"(C:\PROGRA~1\STARWA~1\dialog.tlk)"), "");
    EXPECT_EQ(Names(fs, R"(C:\progra~1)"), std::vector<std::string>{"Program Files"});
    EXPECT_EQ(Names(fs, R"(C:\*~1)"), std::vector<std::string>{"Program Files"});
    // a renamed entry loses its alias
    ASSERT_EQ(fs.Rename(R"(C:\PROGRA~1\STARWA~1)", R"(C:\Program Files\Star Wars 2)"), FsStatus::Ok);
    EXPECT_FALSE(fs.Exists(R"(C:\Program Files\STARWA~1)"));
}

// --- faults and counters ---

TEST_F(MemoryFs, FailOperationHitsMatchingPathsOfThatOperation) {
    fs.FailOperation(FsOp::Delete, "OVERRIDE\\x", FsStatus::IoError);
    EXPECT_EQ(fs.Delete(R"(C:\Games\Kotor\Override\x.tga)"), FsStatus::IoError);
    EXPECT_EQ(fs.Delete(R"(C:\Games\Kotor\Override\x.tga)"), FsStatus::IoError);  // every call
    EXPECT_TRUE(fs.Exists(R"(C:\Games\Kotor\Override\x.tga)"));
    EXPECT_EQ(fs.OpenForRead(R"(C:\Games\Kotor\Override\x.tga)"), FsStatus::Ok);  // other operations unaffected
    EXPECT_EQ(fs.Delete(R"(C:\Games\Kotor\dialog.tlk)"), FsStatus::Ok);
    fs.FailOperation(FsOp::List, "", FsStatus::IoError);
    EXPECT_EQ(fs.List(R"(C:\Games\*.*)"), nullptr);
    fs.FailOperation(FsOp::ShortPath, "", FsStatus::IoError);
    EXPECT_EQ(fs.ShortPath(R"(C:\Games)"), "");
    fs.ClearFaults();
    EXPECT_EQ(fs.Delete(R"(C:\Games\Kotor\Override\x.tga)"), FsStatus::Ok);
}

TEST_F(MemoryFs, FailMutationFailsTheNthChangeOnceAndChangesNothing) {
    fs.FailMutation(1, FsStatus::DiskFull);
    EXPECT_EQ(fs.WriteAll(R"(C:\a.txt)", "a"), FsStatus::Ok);  // 0
    EXPECT_EQ(fs.OpenForRead(R"(C:\a.txt)"), FsStatus::Ok);    // not counted
    const auto before = fs.Snapshot();
    EXPECT_EQ(fs.Copy(R"(C:\a.txt)", R"(C:\b.txt)"), FsStatus::DiskFull);  // 1
    EXPECT_EQ(fs.Snapshot(), before);
    EXPECT_EQ(fs.Copy(R"(C:\a.txt)", R"(C:\b.txt)"), FsStatus::Ok);  // 2
    EXPECT_EQ(fs.MutationCount(), 3u);
    EXPECT_EQ(fs.CallCount(FsOp::Copy), 2u);
    EXPECT_EQ(fs.CallCount(FsOp::OpenForRead), 1u);
    EXPECT_EQ(fs.CallCount(FsOp::Rename), 0u);
}

TEST_F(MemoryFs, SnapshotHoldsEveryFileUnderItsStoredPath) {
    fs.AddFolder(R"(C:\Empty)");
    fs.AddFile(R"(d:\Other\z.txt)", "z");
    const std::map<std::string, std::string> expected = {
        {R"(C:\Games\Kotor\dialog.tlk)", "TLK V3.0rest"},
        {R"(C:\Games\Kotor\Override\Sub\y.2da)", "2DA"},
        {R"(C:\Games\Kotor\Override\x.tga)", "tga"},
        {R"(D:\Other\z.txt)", "z"},
    };
    EXPECT_EQ(fs.Snapshot(), expected);
}

// A folder on a volume of its own: renames into and out of it fail as between drives, copies work.
TEST_F(MemoryFs, AFolderOnItsOwnVolumeTakesNoRenamesAcross) {
    fs.AddFile(R"(C:\mods\tool\backup\a.2da)", "backup");
    fs.AddFolder(R"(C:\games\override)");
    fs.PutOnOwnVolume(R"(C:\mods\tool)");
    EXPECT_FALSE(fs.SameVolume(R"(C:\mods\tool\backup\a.2da)", R"(C:\games\override\a.2da)"));
    EXPECT_TRUE(fs.SameVolume(R"(C:\mods\tool\backup\a.2da)", R"(C:\mods\tool\new.2da)"));
    EXPECT_TRUE(fs.SameVolume(R"(C:\games\override\a.2da)", R"(C:\other.txt)"));
    EXPECT_FALSE(fs.SameVolume(R"(C:\games\override\a.2da)", R"(D:\x)"));
    EXPECT_FALSE(fs.SameVolume(R"(C:\nowhere\x\y)", R"(C:\nowhere\x\z)"));
    EXPECT_EQ(fs.Rename(R"(C:\mods\tool\backup\a.2da)", R"(C:\games\override\a.2da)"), FsStatus::NotSameDevice);
    EXPECT_EQ(fs.Contents(R"(C:\mods\tool\backup\a.2da)"), "backup");
    EXPECT_FALSE(fs.Exists(R"(C:\games\override\a.2da)"));
    EXPECT_EQ(fs.Rename(R"(C:\mods\tool\backup\a.2da)", R"(C:\mods\tool\a.2da)"), FsStatus::Ok);
    EXPECT_EQ(fs.Copy(R"(C:\mods\tool\a.2da)", R"(C:\games\override\a.2da)"), FsStatus::Ok);
    EXPECT_EQ(fs.Rename(R"(C:\games\override\a.2da)", R"(C:\mods\tool\b.2da)"), FsStatus::NotSameDevice);
}

TEST(MemoryFsBuilder, RejectsContradictoryTrees) {
    MemoryFileSystem fs;
    fs.AddFile(R"(C:\a\file)", "");
    EXPECT_THROW(fs.AddFile(R"(C:\a\file\x)", ""), std::invalid_argument);
    EXPECT_THROW(fs.AddFile(R"(C:\a)", ""), std::invalid_argument);
    EXPECT_THROW(fs.Lock(R"(C:\a\none)"), std::invalid_argument);
}

}  // namespace
}  // namespace zelvane
