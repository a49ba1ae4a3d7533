// What every file system behind the FileSystem seam promises, stated once and run against each of
// them: the in-memory one, the dry-run overlay over it, a forwarding wrapper over it, and the
// host's own on a fresh temporary folder (POSIX, or Win32 in the Windows build, under Wine).
// "game" and "program" are the two roots, "outside" holds the player's files.

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

using enum FsStatus;
using Statuses = std::vector<FsStatus>;
using Names = std::vector<std::string>;

// Each disk lays out a fresh folder in its own storage: paths relative to it, with backslashes.
// Link answers false where the disk cannot make one; Pipe makes what is no regular file (a pipe,
// or where none can be made, a device) and gives its path; Bytes reads past the seam.
struct MemoryDisk {
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
        return view.ReadAll(Win(relative), bytes, 1 << 20) == Ok ? bytes : "<missing>";
    }
};

struct ForwardingDisk : MemoryDisk {
    ResolvedPathCache cache{memory};
    FileSystem& fs() { return cache; }
};

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
    std::string W(const std::string& relative) const { return d.Win(relative); }
    // What a pattern lists, sorted (the order is each file system's own), folders marked with "\".
    Names Listed(const std::string& pattern) {
        Names names = ListedNames(fs, W(pattern));
        std::sort(names.begin(), names.end());
        return names;
    }
    bool IsReadOnly(const std::string& relative) {
        Attributes a;
        return fs.GetAttributes(W(relative), a) == Ok && a.readOnly;
    }
    void ExpectOutsideUntouched() {
        EXPECT_EQ(Listed("outside\\*"), (Names{"save.sav", "sub\\"}));
        EXPECT_EQ(d.Bytes("outside\\save.sav") + "|" + d.Bytes("outside\\sub\\a.tga"), "mine|theirs");
        EXPECT_FALSE(IsReadOnly("outside\\save.sav"));
    }

    Disk d;
    FileSystem& fs = d.fs();
};

using Disks = ::testing::Types<MemoryDisk, OverlayDisk, ForwardingDisk, HostDisk>;
TYPED_TEST_SUITE(FileSystemContract, Disks);

TYPED_TEST(FileSystemContract, NamesIgnoreLetterCaseAndReadsTakeOnlyRegularFilesWithinTheirLimit) {
    FileSystem& fs = this->fs;
    const std::string tlk = this->W("game\\dialog.tlk"), override = this->W("game\\override");
    const std::string pipe = this->d.Pipe("game\\pipe.2da");  // without a writer: never waited on
    std::string bytes = "untouched";
    std::uint64_t size = 0;
    Attributes a;
    EXPECT_EQ((Statuses{fs.GetAttributes(this->W("game\\none.tga"), a), fs.GetAttributes(this->W("nogame\\n.tga"), a),
                        fs.OpenForRead(this->W("game\\none.tga")), fs.OpenForRead(this->W("nogame\\none.tga")),
                        fs.ReadAll(tlk, bytes, 12), fs.OpenForRead(override), fs.ReadAll(override, bytes, 100)}),
              (Statuses{FileNotFound, PathNotFound, FileNotFound, PathNotFound, TooLarge, AccessDenied, AccessDenied}));
    EXPECT_EQ(bytes, "untouched");
    std::string head;
    EXPECT_EQ((Statuses{fs.GetAttributes(this->W("game\\OVERRIDE"), a), fs.FileSize(tlk, size),
                        fs.ReadHead(tlk, head, 8), fs.ReadAll(this->W("GAME\\Dialog.TLK"), bytes, 13)}),
              Statuses(4, Ok));
    EXPECT_EQ(std::to_string(size) + " " + head + "|" + bytes, "13 TLK V3.0|TLK V3.0 text");
    EXPECT_TRUE(a.directory);
    EXPECT_NE(fs.ShortPath(tlk), "");
    EXPECT_EQ(fs.ShortPath(this->W("game\\none.tga")), "");

    bytes = "untouched";
    EXPECT_EQ((Statuses{fs.OpenForRead(pipe), fs.FileSize(pipe, size), fs.ReadAll(pipe, bytes, 100),
                        fs.ReadHead(pipe, bytes, 8)}),
              (Statuses{NotRegularFile, NotRegularFile, NotRegularFile, NotRegularFile}));
    EXPECT_NE(fs.Copy(pipe, this->W("game\\copy.2da")), Ok);  // a device is a bad name to copy
    EXPECT_EQ(bytes + "|" + this->d.Bytes("game\\copy.2da"), "untouched|<missing>");
}

TYPED_TEST(FileSystemContract, WriteAllCreatesOrReplacesAFileButNoReadOnlyOne) {
    FileSystem& fs = this->fs;
    const std::string log = this->W("game\\log.rtf");
    EXPECT_EQ(fs.WriteAll(log, std::string("{\\rtf1\0}", 8)), Ok);
    EXPECT_EQ(this->d.Bytes("game\\log.rtf"), std::string("{\\rtf1\0}", 8));
    EXPECT_EQ(fs.WriteAll(this->W("GAME\\LOG.RTF"), "2"), Ok);
    EXPECT_EQ(this->Listed("game\\*.rtf"), Names{"log.rtf"});
    EXPECT_EQ(this->d.Bytes("game\\log.rtf"), "2");
    EXPECT_EQ((Statuses{fs.WriteAll(this->W("nogame\\log.rtf"), ""), fs.WriteAll(this->W("game\\override"), ""),
                        fs.WriteAll(this->W("game\\l?g.rtf"), ""), fs.SetAttributes(log, {.readOnly = true})}),
              (Statuses{PathNotFound, AccessDenied, BadName, Ok}));
    EXPECT_TRUE(this->IsReadOnly("game\\log.rtf"));
    EXPECT_EQ((Statuses{fs.WriteAll(log, "3"), fs.Copy(this->W("game\\dialog.tlk"), log)}),
              (Statuses{AccessDenied, AccessDenied}));
    EXPECT_EQ(this->d.Bytes("game\\log.rtf"), "2");
    ASSERT_EQ(fs.SetAttributes(log, {}), Ok);
    EXPECT_FALSE(this->IsReadOnly("game\\log.rtf"));
    EXPECT_EQ((Statuses{fs.WriteAll(log, "3"), fs.SetAttributes(this->W("game\\none.rtf"), {})}),
              (Statuses{Ok, FileNotFound}));
}

TYPED_TEST(FileSystemContract, RenameMovesButNeverOverwrites) {
    FileSystem& fs = this->fs;
    this->d.Put("game\\override\\x.tga.original", "original");
    const std::string original = this->W("game\\override\\x.tga.original");
    EXPECT_EQ((Statuses{fs.Rename(original, this->W("game\\override\\X.TGA")),
                        fs.Rename(this->W("game\\none"), this->W("game\\n2")),
                        fs.Rename(original, this->W("nogame\\x.tga")), fs.Rename(original, this->W("game\\y*.tga"))}),
              (Statuses{AlreadyExists, FileNotFound, PathNotFound, BadName}));
    // a read-only file moves to another folder with its flag
    ASSERT_EQ(fs.SetAttributes(original, {.readOnly = true}), Ok);
    EXPECT_EQ(fs.Rename(original, this->W("program\\x.tga")), Ok);
    EXPECT_EQ(this->d.Bytes("program\\x.tga") + "|" + this->d.Bytes("game\\override\\x.tga.original"),
              "original|<missing>");
    EXPECT_TRUE(this->IsReadOnly("program\\x.tga"));
    // a folder with what it holds, and a name that gets only a new letter case
    EXPECT_EQ(fs.Rename(this->W("game\\override"), this->W("program\\moved")), Ok);
    EXPECT_EQ(this->d.Bytes("program\\moved\\x.tga"), "x");
    EXPECT_EQ(fs.Rename(this->W("program\\moved\\x.tga"), this->W("program\\moved\\X.TGA")), Ok);
    if (HostFolder::UnderWine()) GTEST_SKIP() << "Wine keeps the stored letter case of a name renamed to a new case";
    EXPECT_EQ(this->Listed("program\\moved\\*"), Names{"X.TGA"});
}

TYPED_TEST(FileSystemContract, CopyReplacesAWritableFileAndNothingElse) {
    FileSystem& fs = this->fs;
    const std::string tlk = this->W("game\\dialog.tlk");
    this->d.Put("program\\backup\\x.tga", "old");
    EXPECT_EQ(fs.Copy(this->W("game\\override\\x.tga"), this->W("PROGRAM\\Backup\\X.tga")), Ok);
    EXPECT_EQ(this->d.Bytes("program\\backup\\x.tga") + this->d.Bytes("game\\override\\x.tga"), "xx");
    EXPECT_EQ(this->Listed("program\\backup\\*"), Names{"x.tga"});  // no temporary name left behind
    EXPECT_EQ((Statuses{fs.Copy(this->W("game\\none"), this->W("program\\n")), fs.Copy(tlk, this->W("nogame\\d")),
                        fs.Copy(this->W("game\\override"), this->W("program\\o")),
                        fs.Copy(tlk, this->W("game\\override")), fs.Copy(tlk, this->W("GAME\\Dialog.TLK"))}),
              (Statuses{FileNotFound, PathNotFound, AccessDenied, AccessDenied, SharingViolation}));
    EXPECT_EQ(this->d.Bytes("game\\dialog.tlk") + "|" + this->d.Bytes("program\\o"), "TLK V3.0 text|<missing>");
}

TYPED_TEST(FileSystemContract, DeleteTakesFilesAndCreateFolderMakesNewFolders) {
    FileSystem& fs = this->fs;
    const std::string x = this->W("game\\override\\x.tga");
    EXPECT_EQ((Statuses{fs.Delete(this->W("game\\override")), fs.Delete(this->W("game\\*.tlk")), fs.Delete(x)}),
              (Statuses{AccessDenied, BadName, Ok}));
    EXPECT_EQ(this->d.Bytes("game\\override\\x.tga"), "<missing>");
    EXPECT_EQ((Statuses{fs.Delete(x), fs.Delete(this->W("nogame\\x.tga")),
                        fs.CreateFolder(this->W("game\\Backup Uninstall"))}),
              (Statuses{FileNotFound, PathNotFound, Ok}));
    EXPECT_EQ(this->Listed("game\\backup uninstall"), Names{"Backup Uninstall\\"});
    EXPECT_EQ((Statuses{fs.CreateFolder(this->W("GAME\\backup uninstall")),
                        fs.CreateFolder(this->W("game\\dialog.tlk")), fs.CreateFolder(this->W("nogame\\sub")),
                        fs.CanCreateFileIn(this->W("game\\backup uninstall")),
                        fs.CanCreateFileIn(this->W("game\\missing")), fs.CanCreateFileIn(this->W("game\\dialog.tlk"))}),
              (Statuses{AlreadyExists, AlreadyExists, PathNotFound, Ok, PathNotFound, PathNotFound}));
    EXPECT_TRUE(fs.SameVolume(x, this->W("program\\uninstall\\x.tga")));
    EXPECT_FALSE(fs.SameVolume(x, this->W("nogame\\sub\\x.tga")));
}

TYPED_TEST(FileSystemContract, ListingsMatchTheirPatternIgnoringLetterCase) {
    for (const char* name : {"b.txt", "A.2da", "c.2DA", "README"}) this->d.Put(std::string("list\\") + name, "");
    this->d.Folder("list\\Sub");
    EXPECT_EQ(this->Listed("list\\*.*"), (Names{"A.2da", "README", "Sub\\", "b.txt", "c.2DA"}));
    EXPECT_EQ(this->Listed("LIST\\*.2da"), (Names{"A.2da", "c.2DA"}));
    EXPECT_EQ(this->Listed("list\\B.TXT"), Names{"b.txt"});
    EXPECT_EQ(this->Listed("list\\none.*"), Names{});
    EXPECT_EQ(this->Listed("nolist\\*.*"), Names{"<null>"});
}

TYPED_TEST(FileSystemContract, EveryChangeOutsideBothRootsIsRefusedAndChangesNothing) {
    FileSystem& fs = this->fs;
    this->d.Folder("game2");  // a name that begins like a root
    fs.SetRoots({this->W("game"), this->W("program")});
    const std::string out = this->W("outside\\save.sav"), x = this->W("game\\override\\x.tga");
    EXPECT_EQ((Statuses{fs.SetAttributes(out, {.readOnly = true}), fs.WriteAll(out, "overwritten"),
                        fs.WriteAll(this->W("outside\\new.txt"), "new"), fs.Delete(out),
                        fs.Rename(out, this->W("game\\save.sav")), fs.Rename(x, this->W("outside\\x.tga")),
                        fs.Copy(x, out), fs.CreateFolder(this->W("outside\\folder")),
                        fs.CanCreateFileIn(this->W("outside")), fs.WriteAll(this->W("game2\\x.tga"), "x")}),
              Statuses(10, OutsideRoots));
    this->ExpectOutsideUntouched();
    EXPECT_EQ(this->d.Bytes("game\\override\\x.tga"), "x");
    // Inside either root anything goes, and what lies outside may be read and copied in.
    EXPECT_EQ((Statuses{fs.Copy(out, this->W("program\\uninstall\\save.sav")),
                        fs.WriteAll(this->W("GAME\\override\\..\\new.txt"), "new"),
                        fs.CanCreateFileIn(this->W("program"))}),
              (Statuses{Ok, Ok, Ok}));
    EXPECT_EQ(this->d.Bytes("game\\new.txt"), "new");
    fs.SetRoots({});
    EXPECT_EQ(fs.WriteAll(this->W("outside\\new.txt"), "new"), Ok);
}

TYPED_TEST(FileSystemContract, LinksAreFollowedToWhereAChangeLands) {
    FileSystem& fs = this->fs;
    if (!this->d.Link("game\\override\\evil.tga", "outside\\save.sav")) GTEST_SKIP() << "no links can be made here";
    ASSERT_TRUE(this->d.Link("game\\override\\out", "outside"));
    ASSERT_TRUE(this->d.Link("game\\gone.tga", "outside\\gone.sav"));
    ASSERT_TRUE(this->d.Link("program\\uninstall\\table.2da", "game\\override\\x.tga"));
    fs.SetRoots({this->W("game"), this->W("program")});
    const std::string evil = this->W("game\\override\\evil.tga"), out = this->W("game\\override\\out");
    Attributes a;
    ASSERT_EQ(fs.GetAttributes(out, a), Ok);
    EXPECT_TRUE(a.link && a.directory);
    EXPECT_EQ(this->Listed("game\\override\\*"), (Names{"evil.tga", "out\\", "x.tga"}));
    EXPECT_EQ(fs.ResolvedPath(evil), this->W("outside\\save.sav"));
    EXPECT_EQ(fs.ResolvedPath(this->W("GAME\\override\\OUT\\sub\\new\\b.tga")), this->W("outside\\sub\\new\\b.tga"));
    EXPECT_EQ(fs.ResolvedPath(this->W("game\\gone.tga")), this->W("outside\\gone.sav"));
    EXPECT_EQ((Statuses{fs.WriteAll(evil, "overwritten"), fs.Copy(this->W("game\\dialog.tlk"), evil),
                        fs.SetAttributes(evil, {.readOnly = true}), fs.WriteAll(this->W("game\\gone.tga"), "log"),
                        fs.Delete(out + "\\save.sav"), fs.Rename(out + "\\save.sav", this->W("game\\save.sav")),
                        fs.Rename(this->W("game\\override\\x.tga"), out + "\\x.tga"),
                        fs.WriteAll(out + "\\sub\\log.rtf", "log"), fs.CreateFolder(out + "\\folder")}),
              Statuses(9, OutsideRoots));
    this->ExpectOutsideUntouched();
    EXPECT_EQ(this->d.Bytes("outside\\gone.sav"), "<missing>");
    // Reading through a link is no change, and a link from one root into the other stays inside.
    std::string bytes;
    EXPECT_EQ(fs.ReadAll(out + "\\save.sav", bytes, 100), Ok);
    EXPECT_EQ(fs.WriteAll(this->W("program\\uninstall\\table.2da"), "via program"), Ok);
    if constexpr (!std::is_same_v<TypeParam, OverlayDisk>) {  // the view holds it under the link's name
        EXPECT_EQ(this->d.Bytes("game\\override\\x.tga"), "via program");
    }
    // A root reached through a link is the folder it leads to.
    ASSERT_TRUE(this->d.Link("gamelink", "game"));
    fs.ForgetCachedState();  // made behind the file system's back
    fs.SetRoots({this->W("GAMELINK")});
    EXPECT_EQ((Statuses{fs.WriteAll(this->W("game\\override\\a.tga"), "a"),
                        fs.WriteAll(this->W("program\\uninstall\\c.rtf"), "c")}),
              (Statuses{Ok, OutsideRoots}));
}

// The check is made when the change is made: a folder already changed in, then swapped for a link
// to outside while a prompt was open, takes no further change once control is back.
TYPED_TEST(FileSystemContract, AFolderSwappedForALinkIsCheckedAgainAtTheNextChange) {
    FileSystem& fs = this->fs;
    this->d.Put("game\\override\\sub\\a.tga", "the mod's");
    fs.SetRoots({this->W("game"), this->W("program")});
    const std::string a = this->W("game\\override\\sub\\a.tga");
    ASSERT_EQ(fs.WriteAll(this->W("game\\override\\sub\\b.tga"), "b"), Ok);
    if (!this->d.SwapForLink("game\\override\\sub", "outside\\sub")) GTEST_SKIP() << "no links can be made here";
    fs.ForgetCachedState();
    EXPECT_EQ((Statuses{fs.Delete(a), fs.WriteAll(a, "x"), fs.Rename(a, this->W("game\\a.tga"))}),
              Statuses(3, OutsideRoots));
    this->ExpectOutsideUntouched();
}

}  // namespace
}  // namespace zelvane
