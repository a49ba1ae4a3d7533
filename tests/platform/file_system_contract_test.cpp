// What every file system behind the FileSystem seam promises, stated once and run against each of
// them: the in-memory one, the dry-run overlay over it, a forwarding wrapper over it, and the
// host's own on a fresh temporary folder (POSIX, or Win32 in the Windows build, under Wine).
// Each runs on a "game" and a "program" folder, the two roots, beside an "outside" one that holds
// the player's files.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/memory/memory_file_system.hpp"
#include "tests/platform/host_folder_fixture.hpp"
#include "util/resolved_path_cache.hpp"

namespace zelvane {
namespace {

// Each disk lays out a fresh folder in its own storage: paths relative to it, with backslashes.
// Link answers false where the disk cannot make one; Pipe makes what is no regular file (a pipe,
// or where none can be made, a device) and gives its path; Bytes reads past the seam.
struct MemoryDisk {
    static bool UnderWine() { return false; }
    MemoryFileSystem memory;
    FileSystem& fs() { return memory; }
    std::string Win(const std::string& relative) const { return "C:\\T\\" + relative; }
    void Put(const std::string& relative, const std::string& bytes) { memory.AddFile(Win(relative), bytes); }
    void Folder(const std::string& relative) { memory.AddFolder(Win(relative)); }
    bool Link(const std::string& relative, const std::string& target) {
        memory.AddLink(Win(relative), Win(target));
        return true;
    }
    std::string Pipe(const std::string& relative) {
        memory.AddSpecialFile(Win(relative));
        return Win(relative);
    }
    bool SwapForLink(const std::string& relative, const std::string& target) {
        memory.ReplaceWithLink(Win(relative), Win(target));
        return true;
    }
    std::string Bytes(const std::string& relative) { return memory.Contents(Win(relative)).value_or("<missing>"); }
};

struct OverlayDisk : MemoryDisk {
    OverlayFileSystem view{memory};
    FileSystem& fs() { return view; }
    std::string Bytes(const std::string& relative) {
        std::string bytes;
        return view.ReadAll(Win(relative), bytes, 1 << 20) == FsStatus::Ok ? bytes : "<missing>";
    }
};

struct ForwardingDisk : MemoryDisk {
    ResolvedPathCache cache{memory};
    FileSystem& fs() { return cache; }
};

// The host's own file system on a fresh folder in its temporary folder.
struct HostDisk : HostFolder {
    std::string Pipe(const std::string& relative) {
#ifdef _WIN32
        (void)relative;
        return "\\\\.\\NUL";  // no pipe lives in a folder
#else
        EXPECT_EQ(::mkfifo(HostOf(relative).c_str(), 0600), 0);
        return Win(relative);
#endif
    }
    // The folder moves out of both roots; a link takes its place.
    bool SwapForLink(const std::string& relative, const std::string& target) {
        std::filesystem::rename(HostOf(relative), HostOf("moved away"));
        return Link(relative, target);
    }
};

Attributes ReadOnly() { return Attributes{.readOnly = true}; }

template <typename Disk>
class FileSystemContract : public ::testing::Test {
protected:
    FileSystemContract() {
        d.Put("game\\dialog.tlk", "TLK V3.0 text");
        d.Put("game\\override\\x.tga", "x");
        d.Put("program\\uninstall\\data.ini", "ini");
        d.Put("outside\\save.sav", "mine");
        d.Put("outside\\sub\\a.tga", "theirs");
    }
    FileSystem& fs() { return d.fs(); }
    std::string W(const std::string& relative) const { return d.Win(relative); }
    // What a pattern lists, sorted (the order is each file system's own), folders marked with "\".
    std::vector<std::string> Names(const std::string& pattern) {
        std::vector<std::string> names = ListedNames(fs(), W(pattern));
        std::sort(names.begin(), names.end());
        return names;
    }
    bool IsReadOnly(const std::string& relative) {
        Attributes a;
        return fs().GetAttributes(W(relative), a) == FsStatus::Ok && a.readOnly;
    }
    // Changes each refused as outside the roots, in the order they were asked for.
    static void ExpectRefused(const std::vector<FsStatus>& statuses) {
        for (std::size_t i = 0; i < statuses.size(); ++i)
            EXPECT_EQ(statuses[i], FsStatus::OutsideRoots) << "change " << i;
    }
    void ExpectOutsideUntouched() {
        EXPECT_EQ(Names("outside\\*"), (std::vector<std::string>{"save.sav", "sub\\"}));
        EXPECT_EQ(d.Bytes("outside\\save.sav"), "mine");
        EXPECT_FALSE(IsReadOnly("outside\\save.sav"));
        EXPECT_EQ(d.Bytes("outside\\sub\\a.tga"), "theirs");
    }

    Disk d;
};

using Disks = ::testing::Types<MemoryDisk, OverlayDisk, ForwardingDisk, HostDisk>;
TYPED_TEST_SUITE(FileSystemContract, Disks);

TYPED_TEST(FileSystemContract, NamesIgnoreLetterCaseAndMissingFilesAreToldFromMissingFolders) {
    FileSystem& fs = this->fs();
    std::string bytes;
    EXPECT_EQ(fs.ReadAll(this->W("GAME\\Override\\X.TGA"), bytes, 100), FsStatus::Ok);
    EXPECT_EQ(bytes, "x");
    Attributes a;
    EXPECT_EQ(fs.GetAttributes(this->W("game\\override"), a), FsStatus::Ok);
    EXPECT_TRUE(a.directory);
    EXPECT_EQ(fs.GetAttributes(this->W("game\\none.tga"), a), FsStatus::FileNotFound);
    EXPECT_EQ(fs.GetAttributes(this->W("nogame\\none.tga"), a), FsStatus::PathNotFound);
    EXPECT_EQ(fs.OpenForRead(this->W("game\\none.tga")), FsStatus::FileNotFound);
    EXPECT_EQ(fs.OpenForRead(this->W("nogame\\none.tga")), FsStatus::PathNotFound);
    EXPECT_NE(fs.ShortPath(this->W("game\\dialog.tlk")), "");
    EXPECT_EQ(fs.ShortPath(this->W("game\\none.tga")), "");
}

TYPED_TEST(FileSystemContract, ReadsTakeOnlyRegularFilesWithinTheirLimit) {
    FileSystem& fs = this->fs();
    const std::string tlk = this->W("game\\dialog.tlk");
    std::string bytes = "untouched";
    std::uint64_t size = 0;
    EXPECT_EQ(fs.FileSize(tlk, size), FsStatus::Ok);
    EXPECT_EQ(size, 13u);
    EXPECT_EQ(fs.ReadAll(tlk, bytes, 12), FsStatus::TooLarge);
    EXPECT_EQ(bytes, "untouched");
    EXPECT_EQ(fs.ReadHead(tlk, bytes, 8), FsStatus::Ok);
    EXPECT_EQ(bytes, "TLK V3.0");
    EXPECT_EQ(fs.ReadAll(tlk, bytes, 13), FsStatus::Ok);
    EXPECT_EQ(bytes, "TLK V3.0 text");
    EXPECT_EQ(fs.OpenForRead(this->W("game\\override")), FsStatus::AccessDenied);
    EXPECT_EQ(fs.ReadAll(this->W("game\\override"), bytes, 100), FsStatus::AccessDenied);

    const std::string pipe = this->d.Pipe("game\\pipe.2da");  // without a writer: never waited on
    bytes = "untouched";
    EXPECT_EQ(fs.OpenForRead(pipe), FsStatus::NotRegularFile);
    EXPECT_EQ(fs.FileSize(pipe, size), FsStatus::NotRegularFile);
    EXPECT_EQ(fs.ReadAll(pipe, bytes, 100), FsStatus::NotRegularFile);
    EXPECT_EQ(fs.ReadHead(pipe, bytes, 8), FsStatus::NotRegularFile);
    EXPECT_NE(fs.Copy(pipe, this->W("game\\copy.2da")), FsStatus::Ok);  // a device is a bad name to copy
    EXPECT_EQ(bytes, "untouched");
    EXPECT_EQ(this->d.Bytes("game\\copy.2da"), "<missing>");
}

TYPED_TEST(FileSystemContract, WriteAllCreatesOrReplacesAFileButNoReadOnlyOne) {
    FileSystem& fs = this->fs();
    const std::string log = this->W("game\\log.rtf");
    EXPECT_EQ(fs.WriteAll(log, std::string("{\\rtf1\0}", 8)), FsStatus::Ok);
    EXPECT_EQ(this->d.Bytes("game\\log.rtf"), std::string("{\\rtf1\0}", 8));
    EXPECT_EQ(fs.WriteAll(this->W("GAME\\LOG.RTF"), "2"), FsStatus::Ok);
    EXPECT_EQ(this->Names("game\\*.rtf").size(), 1u);
    EXPECT_EQ(this->d.Bytes("game\\log.rtf"), "2");
    EXPECT_EQ(fs.WriteAll(this->W("nogame\\log.rtf"), ""), FsStatus::PathNotFound);
    EXPECT_EQ(fs.WriteAll(this->W("game\\override"), ""), FsStatus::AccessDenied);
    EXPECT_EQ(fs.WriteAll(this->W("game\\l?g.rtf"), ""), FsStatus::BadName);

    ASSERT_EQ(fs.SetAttributes(log, ReadOnly()), FsStatus::Ok);
    EXPECT_TRUE(this->IsReadOnly("game\\log.rtf"));
    EXPECT_EQ(fs.WriteAll(log, "3"), FsStatus::AccessDenied);
    EXPECT_EQ(fs.Copy(this->W("game\\dialog.tlk"), log), FsStatus::AccessDenied);
    EXPECT_EQ(this->d.Bytes("game\\log.rtf"), "2");
    ASSERT_EQ(fs.SetAttributes(log, {}), FsStatus::Ok);
    EXPECT_FALSE(this->IsReadOnly("game\\log.rtf"));
    EXPECT_EQ(fs.WriteAll(log, "3"), FsStatus::Ok);
    EXPECT_EQ(fs.SetAttributes(this->W("game\\none.rtf"), {}), FsStatus::FileNotFound);
}

TYPED_TEST(FileSystemContract, RenameMovesButNeverOverwrites) {
    FileSystem& fs = this->fs();
    this->d.Put("game\\override\\x.tga.original", "original");
    const std::string original = this->W("game\\override\\x.tga.original");
    EXPECT_EQ(fs.Rename(original, this->W("game\\override\\X.TGA")), FsStatus::AlreadyExists);
    EXPECT_EQ(this->d.Bytes("game\\override\\x.tga"), "x");
    EXPECT_EQ(this->d.Bytes("game\\override\\x.tga.original"), "original");
    EXPECT_EQ(fs.Rename(this->W("game\\none"), this->W("game\\n2")), FsStatus::FileNotFound);
    EXPECT_EQ(fs.Rename(original, this->W("nogame\\x.tga")), FsStatus::PathNotFound);
    EXPECT_EQ(fs.Rename(original, this->W("game\\y*.tga")), FsStatus::BadName);
    // a read-only file moves to another folder with its flag
    ASSERT_EQ(fs.SetAttributes(original, ReadOnly()), FsStatus::Ok);
    EXPECT_EQ(fs.Rename(original, this->W("program\\x.tga")), FsStatus::Ok);
    EXPECT_EQ(this->d.Bytes("program\\x.tga"), "original");
    EXPECT_EQ(this->d.Bytes("game\\override\\x.tga.original"), "<missing>");
    EXPECT_TRUE(this->IsReadOnly("program\\x.tga"));
    // a folder with what it holds, and a name that gets only a new letter case
    EXPECT_EQ(fs.Rename(this->W("game\\override"), this->W("program\\moved")), FsStatus::Ok);
    EXPECT_EQ(this->d.Bytes("program\\moved\\x.tga"), "x");
    EXPECT_EQ(fs.Rename(this->W("program\\moved\\x.tga"), this->W("program\\moved\\X.TGA")), FsStatus::Ok);
    if (this->d.UnderWine()) GTEST_SKIP() << "Wine keeps the stored letter case of a name renamed to a new case";
    EXPECT_EQ(this->Names("program\\moved\\*"), std::vector<std::string>{"X.TGA"});
}

TYPED_TEST(FileSystemContract, CopyReplacesAWritableFileAndNothingElse) {
    FileSystem& fs = this->fs();
    this->d.Put("program\\backup\\x.tga", "old");
    EXPECT_EQ(fs.Copy(this->W("game\\override\\x.tga"), this->W("PROGRAM\\Backup\\X.tga")), FsStatus::Ok);
    EXPECT_EQ(this->d.Bytes("program\\backup\\x.tga"), "x");
    EXPECT_EQ(this->d.Bytes("game\\override\\x.tga"), "x");
    EXPECT_EQ(this->Names("program\\backup\\*").size(), 1u);  // no temporary name left behind
    EXPECT_EQ(fs.Copy(this->W("game\\none"), this->W("program\\n")), FsStatus::FileNotFound);
    EXPECT_EQ(fs.Copy(this->W("game\\dialog.tlk"), this->W("nogame\\d")), FsStatus::PathNotFound);
    EXPECT_EQ(fs.Copy(this->W("game\\override"), this->W("program\\o")), FsStatus::AccessDenied);
    EXPECT_EQ(fs.Copy(this->W("game\\dialog.tlk"), this->W("game\\override")), FsStatus::AccessDenied);
    EXPECT_EQ(fs.Copy(this->W("game\\dialog.tlk"), this->W("GAME\\Dialog.TLK")), FsStatus::SharingViolation);
    EXPECT_EQ(this->d.Bytes("game\\dialog.tlk"), "TLK V3.0 text");
    EXPECT_EQ(this->d.Bytes("program\\o"), "<missing>");
}

TYPED_TEST(FileSystemContract, DeleteTakesFilesAndCreateFolderMakesNewFolders) {
    FileSystem& fs = this->fs();
    EXPECT_EQ(fs.Delete(this->W("game\\override")), FsStatus::AccessDenied);
    EXPECT_EQ(fs.Delete(this->W("game\\*.tlk")), FsStatus::BadName);
    EXPECT_EQ(fs.Delete(this->W("game\\override\\x.tga")), FsStatus::Ok);
    EXPECT_EQ(this->d.Bytes("game\\override\\x.tga"), "<missing>");
    EXPECT_EQ(fs.Delete(this->W("game\\override\\x.tga")), FsStatus::FileNotFound);
    EXPECT_EQ(fs.Delete(this->W("nogame\\x.tga")), FsStatus::PathNotFound);

    EXPECT_EQ(fs.CreateFolder(this->W("game\\Backup Uninstall")), FsStatus::Ok);
    EXPECT_EQ(this->Names("game\\backup uninstall"), std::vector<std::string>{"Backup Uninstall\\"});
    EXPECT_EQ(fs.CreateFolder(this->W("GAME\\backup uninstall")), FsStatus::AlreadyExists);
    EXPECT_EQ(fs.CreateFolder(this->W("game\\dialog.tlk")), FsStatus::AlreadyExists);
    EXPECT_EQ(fs.CreateFolder(this->W("nogame\\sub")), FsStatus::PathNotFound);
    EXPECT_EQ(fs.CanCreateFileIn(this->W("game\\backup uninstall")), FsStatus::Ok);
    EXPECT_EQ(fs.CanCreateFileIn(this->W("game\\missing")), FsStatus::PathNotFound);
    EXPECT_EQ(fs.CanCreateFileIn(this->W("game\\dialog.tlk")), FsStatus::PathNotFound);
    EXPECT_TRUE(fs.SameVolume(this->W("game\\override\\x.tga"), this->W("program\\uninstall\\x.tga")));
    EXPECT_FALSE(fs.SameVolume(this->W("game\\override\\x.tga"), this->W("nogame\\sub\\x.tga")));
}

TYPED_TEST(FileSystemContract, ListingsMatchTheirPatternIgnoringLetterCase) {
    for (const char* name : {"b.txt", "A.2da", "c.2DA", "README"}) this->d.Put(std::string("list\\") + name, "");
    this->d.Folder("list\\Sub");
    EXPECT_EQ(this->Names("list\\*.*"), (std::vector<std::string>{"A.2da", "README", "Sub\\", "b.txt", "c.2DA"}));
    EXPECT_EQ(this->Names("LIST\\*.2da"), (std::vector<std::string>{"A.2da", "c.2DA"}));
    EXPECT_EQ(this->Names("list\\B.TXT"), std::vector<std::string>{"b.txt"});
    EXPECT_EQ(this->Names("list\\none.*"), std::vector<std::string>{});
    EXPECT_EQ(this->Names("nolist\\*.*"), std::vector<std::string>{"<null>"});
}

TYPED_TEST(FileSystemContract, EveryChangeOutsideBothRootsIsRefusedAndChangesNothing) {
    FileSystem& fs = this->fs();
    this->d.Folder("game2");  // a name that begins like a root
    fs.SetRoots({this->W("game"), this->W("program")});
    const std::string out = this->W("outside\\save.sav");
    this->ExpectRefused({fs.SetAttributes(out, ReadOnly()), fs.WriteAll(out, "overwritten"),
                         fs.WriteAll(this->W("outside\\new.txt"), "new"), fs.Delete(out),
                         fs.Rename(out, this->W("game\\save.sav")),
                         fs.Rename(this->W("game\\override\\x.tga"), this->W("outside\\x.tga")),
                         fs.Copy(this->W("game\\override\\x.tga"), out), fs.CreateFolder(this->W("outside\\folder")),
                         fs.CanCreateFileIn(this->W("outside")), fs.WriteAll(this->W("game2\\x.tga"), "x")});
    this->ExpectOutsideUntouched();
    EXPECT_EQ(this->d.Bytes("game\\override\\x.tga"), "x");
    // Inside either root anything goes, and what lies outside may be read and copied in.
    EXPECT_EQ(fs.Copy(out, this->W("program\\uninstall\\save.sav")), FsStatus::Ok);
    EXPECT_EQ(fs.WriteAll(this->W("GAME\\override\\..\\new.txt"), "new"), FsStatus::Ok);
    EXPECT_EQ(this->d.Bytes("game\\new.txt"), "new");
    EXPECT_EQ(fs.CanCreateFileIn(this->W("program")), FsStatus::Ok);
    fs.SetRoots({});
    EXPECT_EQ(fs.WriteAll(this->W("outside\\new.txt"), "new"), FsStatus::Ok);
}

// A change lands where the links on its way lead, and is checked there.
TYPED_TEST(FileSystemContract, LinksAreFollowedToWhereAChangeLands) {
    FileSystem& fs = this->fs();
    if (!this->d.Link("game\\override\\evil.tga", "outside\\save.sav")) GTEST_SKIP() << "no links can be made here";
    ASSERT_TRUE(this->d.Link("game\\override\\out", "outside"));
    ASSERT_TRUE(this->d.Link("game\\gone.tga", "outside\\gone.sav"));
    ASSERT_TRUE(this->d.Link("program\\uninstall\\table.2da", "game\\override\\x.tga"));
    fs.SetRoots({this->W("game"), this->W("program")});
    const std::string evil = this->W("game\\override\\evil.tga");
    const std::string out = this->W("game\\override\\out");
    Attributes a;
    ASSERT_EQ(fs.GetAttributes(out, a), FsStatus::Ok);
    EXPECT_TRUE(a.link && a.directory);
    EXPECT_EQ(this->Names("game\\override\\*"), (std::vector<std::string>{"evil.tga", "out\\", "x.tga"}));
    EXPECT_EQ(fs.ResolvedPath(evil), this->W("outside\\save.sav"));
    EXPECT_EQ(fs.ResolvedPath(this->W("GAME\\override\\OUT\\sub\\new\\b.tga")), this->W("outside\\sub\\new\\b.tga"));
    EXPECT_EQ(fs.ResolvedPath(this->W("game\\gone.tga")), this->W("outside\\gone.sav"));
    this->ExpectRefused({fs.WriteAll(evil, "overwritten"), fs.Copy(this->W("game\\dialog.tlk"), evil),
                         fs.SetAttributes(evil, ReadOnly()), fs.WriteAll(this->W("game\\gone.tga"), "log"),
                         fs.Delete(out + "\\save.sav"), fs.Rename(out + "\\save.sav", this->W("game\\save.sav")),
                         fs.Rename(this->W("game\\override\\x.tga"), out + "\\x.tga"),
                         fs.WriteAll(out + "\\sub\\log.rtf", "log"), fs.CreateFolder(out + "\\folder")});
    this->ExpectOutsideUntouched();
    EXPECT_EQ(this->d.Bytes("outside\\gone.sav"), "<missing>");
    // Reading through a link is no change, and a link from one root into the other stays inside.
    std::string bytes;
    EXPECT_EQ(fs.ReadAll(out + "\\save.sav", bytes, 100), FsStatus::Ok);
    EXPECT_EQ(fs.WriteAll(this->W("program\\uninstall\\table.2da"), "via program"), FsStatus::Ok);
    if constexpr (!std::is_same_v<TypeParam, OverlayDisk>) {  // the view holds it under the link's name
        EXPECT_EQ(this->d.Bytes("game\\override\\x.tga"), "via program");
    }
    // A root reached through a link is the folder it leads to.
    ASSERT_TRUE(this->d.Link("gamelink", "game"));
    fs.ForgetCachedState();  // made behind the file system's back
    fs.SetRoots({this->W("GAMELINK")});
    EXPECT_EQ(fs.WriteAll(this->W("game\\override\\a.tga"), "a"), FsStatus::Ok);
    EXPECT_EQ(fs.WriteAll(this->W("program\\uninstall\\c.rtf"), "c"), FsStatus::OutsideRoots);
}

// The check is made when the change is made: a folder already changed in, then swapped for a link
// to outside while a prompt was open, takes no further change once control is back.
TYPED_TEST(FileSystemContract, AFolderSwappedForALinkIsCheckedAgainAtTheNextChange) {
    FileSystem& fs = this->fs();
    this->d.Put("game\\override\\sub\\a.tga", "the mod's");
    fs.SetRoots({this->W("game"), this->W("program")});
    ASSERT_EQ(fs.WriteAll(this->W("game\\override\\sub\\b.tga"), "b"), FsStatus::Ok);
    if (!this->d.SwapForLink("game\\override\\sub", "outside\\sub")) GTEST_SKIP() << "no links can be made here";
    fs.ForgetCachedState();
    this->ExpectRefused({fs.Delete(this->W("game\\override\\sub\\a.tga")),
                         fs.WriteAll(this->W("game\\override\\sub\\a.tga"), "x"),
                         fs.Rename(this->W("game\\override\\sub\\a.tga"), this->W("game\\a.tga"))});
    this->ExpectOutsideUntouched();
}

}  // namespace
}  // namespace zelvane
