#include "platform/posix/posix_file_system.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/seams/read_limits.hpp"

namespace zelvane {
namespace {

namespace stdfs = std::filesystem;

// A fresh host folder, removed afterwards; `Win` gives its Windows (Z:) form.
class PosixFs : public ::testing::Test {
protected:
    PosixFs() {
        std::string pattern = (stdfs::temp_directory_path() / "zelvane-posix-XXXXXX").string();
        root = ::mkdtemp(pattern.data());
        fs = std::make_unique<PosixFileSystem>(root + "/wine");
    }
    ~PosixFs() override {
        std::error_code ignored;
        stdfs::remove_all(root, ignored);
    }

    std::string Win(const std::string& relative = "") const {
        std::string path = "Z:" + root + (relative.empty() ? "" : "/" + relative);
        for (char& c : path) {
            if (c == '/') c = '\\';
        }
        return path;
    }
    void Put(const std::string& relative, const std::string& bytes) {
        stdfs::create_directories((stdfs::path(root) / relative).parent_path());
        std::ofstream(stdfs::path(root) / relative, std::ios::binary) << bytes;
    }
    std::string Host(const std::string& relative) const {
        std::ifstream in(stdfs::path(root) / relative, std::ios::binary);
        if (!in) return "<missing>";
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void MakeReadOnly(const std::string& relative) {
        ASSERT_EQ(::chmod((stdfs::path(root) / relative).c_str(), 0444), 0);
    }
    std::vector<std::string> Names(const std::string& pattern) const {
        auto listing = fs->List(pattern);
        if (!listing) return {"<null>"};
        std::vector<std::string> names;
        while (auto entry = listing->Next()) names.push_back(entry->name);
        return names;
    }

    std::string root;
    std::unique_ptr<PosixFileSystem> fs;
};

TEST_F(PosixFs, ResolvesEveryComponentIgnoringCase) {
    Put("override/x.tga", "tga");
    std::string bytes;
    EXPECT_EQ(fs->ReadAll(Win("OVERRIDE/X.TGA"), bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(bytes, "tga");
    EXPECT_EQ(fs->HostPathOf(Win("Override/X.tga")), root + "/override/x.tga");
    // every folder on the way is looked up the same way, from the root of Z: on
    std::string upper = Win("override/x.tga");
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(fs->OpenForRead(upper), FsStatus::Ok);
    EXPECT_EQ(fs->Delete(Win("override/*.tga")), FsStatus::BadName);
    EXPECT_EQ(fs->OpenForRead(root + "/override/x.tga"), FsStatus::Ok);  // a plain POSIX path
    EXPECT_EQ(fs->OpenForRead(root + "\\Override\\X.TGA"), FsStatus::Ok);
}

TEST_F(PosixFs, PrefersTheExactNameThenTheFirstInNameOrder) {
    Put("data", "lower");
    Put("Data", "capital");
    std::string bytes;
    ASSERT_EQ(fs->ReadAll(Win("data"), bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(bytes, "lower");
    ASSERT_EQ(fs->ReadAll(Win("DATA"), bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(bytes, "capital");
}

TEST_F(PosixFs, TellsMissingFilesFromMissingFolders) {
    Put("game/dialog.tlk", "TLK V3.0");
    Attributes a;
    EXPECT_EQ(fs->GetAttributes(Win("game/none.tlk"), a), FsStatus::FileNotFound);
    EXPECT_EQ(fs->GetAttributes(Win("nogame/none.tlk"), a), FsStatus::PathNotFound);
    EXPECT_EQ(fs->GetAttributes(Win("game/dialog.tlk/x"), a), FsStatus::PathNotFound);
    EXPECT_EQ(fs->OpenForRead(Win("game")), FsStatus::AccessDenied);
    EXPECT_EQ(fs->OpenForRead(Win("game/none.tlk")), FsStatus::FileNotFound);
    EXPECT_EQ(fs->OpenForRead(Win("nogame/none.tlk")), FsStatus::PathNotFound);
    EXPECT_EQ(fs->GetAttributes(Win("game") + "\\", a), FsStatus::Ok);
    EXPECT_TRUE(a.directory);
}

TEST_F(PosixFs, OtherDrivesGoThroughTheWinePrefix) {
    Put("drive_q/Games/k.txt", "q");
    stdfs::create_directories(root + "/wine/dosdevices");
    stdfs::create_directory_symlink(root + "/drive_q", root + "/wine/dosdevices/q:");
    std::string bytes;
    EXPECT_EQ(fs->ReadAll(R"(Q:\games\K.TXT)", bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(bytes, "q");
    EXPECT_EQ(fs->ReadAll(R"(q:\Games\k.txt)", bytes, kTableLimit), FsStatus::Ok);
    Attributes a;
    EXPECT_EQ(fs->GetAttributes(R"(C:\Games)", a), FsStatus::PathNotFound);
    EXPECT_EQ(fs->List(R"(C:\*.*)"), nullptr);
    // a rename across drive letters is refused like on Windows
    EXPECT_EQ(fs->Rename(R"(Q:\Games\k.txt)", Win("k.txt")), FsStatus::NotSameDevice);
    EXPECT_EQ(Host("drive_q/Games/k.txt"), "q");
}

TEST_F(PosixFs, ReadOnlyFilesAreNotReplacedEvenForRoot) {
    Put("a.2da", "orig");
    Put("src.2da", "new");
    MakeReadOnly("a.2da");
    Attributes a;
    ASSERT_EQ(fs->GetAttributes(Win("a.2da"), a), FsStatus::Ok);
    EXPECT_TRUE(a.readOnly);
    EXPECT_EQ(fs->WriteAll(Win("a.2da"), "x"), FsStatus::AccessDenied);
    EXPECT_EQ(fs->Copy(Win("src.2da"), Win("A.2DA")), FsStatus::AccessDenied);
    EXPECT_EQ(Host("a.2da"), "orig");
    // clearing the flag makes it writable again
    EXPECT_EQ(fs->SetAttributes(Win("a.2da"), {}), FsStatus::Ok);
    ASSERT_EQ(fs->GetAttributes(Win("a.2da"), a), FsStatus::Ok);
    EXPECT_FALSE(a.readOnly);
    EXPECT_EQ(fs->WriteAll(Win("a.2da"), "x"), FsStatus::Ok);
}

// A file that shares its bytes and its mode with a name outside the folders the program may change
// (a hard link): a read-only one is deleted without its mode changed, what replaces it is a new
// file, and neither touches the name outside.
TEST_F(PosixFs, AHardLinkedFileChangesNothingOfItsOtherName) {
    Put("outside/profile", "the player's");
    Put("outside/notes", "the player's notes");
    MakeReadOnly("outside/profile");
    stdfs::create_directories(root + "/game");
    ASSERT_EQ(::link((root + "/outside/profile").c_str(), (root + "/game/profile").c_str()), 0);
    ASSERT_EQ(::link((root + "/outside/notes").c_str(), (root + "/game/notes").c_str()), 0);
    fs->SetRoots({Win("game")});

    EXPECT_EQ(fs->SetAttributes(Win("game/profile"), {}), FsStatus::Ok);
    EXPECT_EQ(fs->Delete(Win("game/profile")), FsStatus::Ok);
    EXPECT_EQ(Host("game/profile"), "<missing>");
    struct stat st {};
    ASSERT_EQ(::stat((root + "/outside/profile").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);

    EXPECT_EQ(fs->WriteAll(Win("game/notes"), "a log"), FsStatus::Ok);
    EXPECT_EQ(Host("game/notes"), "a log");
    EXPECT_EQ(Host("outside/notes"), "the player's notes");
}

// Every read of the seam: a pipe is never waited on, a file is read whole only within the limit
// of its kind, and a header alone whatever the size.
TEST_F(PosixFs, ReadsTakeOnlyRegularFilesWithinTheirLimit) {
    Put("game/dialog.tlk", "TLK V3.0" + std::string(5000, 's'));
    ASSERT_EQ(::mkfifo((root + "/game/pipe.2da").c_str(), 0600), 0);
    std::string bytes;
    std::uint64_t size = 0;
    EXPECT_EQ(fs->OpenForRead(Win("game/pipe.2da")), FsStatus::NotRegularFile);
    EXPECT_EQ(fs->FileSize(Win("game/pipe.2da"), size), FsStatus::NotRegularFile);
    EXPECT_EQ(fs->ReadAll(Win("game/pipe.2da"), bytes, 100), FsStatus::NotRegularFile);
    EXPECT_EQ(fs->ReadHead(Win("game/pipe.2da"), bytes, 8), FsStatus::NotRegularFile);
    EXPECT_EQ(fs->OpenForRead(Win("game")), FsStatus::AccessDenied);

    EXPECT_EQ(fs->FileSize(Win("GAME/DIALOG.TLK"), size), FsStatus::Ok);
    EXPECT_EQ(size, 5008u);
    EXPECT_EQ(fs->ReadAll(Win("game/dialog.tlk"), bytes, 5007), FsStatus::TooLarge);
    EXPECT_EQ(fs->ReadHead(Win("game/dialog.tlk"), bytes, 8), FsStatus::Ok);
    EXPECT_EQ(bytes, "TLK V3.0");
    EXPECT_EQ(fs->ReadAll(Win("game/dialog.tlk"), bytes, 5008), FsStatus::Ok);
    EXPECT_EQ(bytes.size(), 5008u);
}

// Whether a folder takes a new file now: as the kernel would answer it, and the roots too.
TEST_F(PosixFs, CanCreateFileInAnswersAsANewFileWould) {
    stdfs::create_directories(root + "/game/override");
    stdfs::create_directories(root + "/outside");
    Put("game/dialog.tlk", "TLK V3.0");
    fs->SetRoots({Win("game")});
    EXPECT_EQ(fs->CanCreateFileIn(Win("GAME/Override")), FsStatus::Ok);
    EXPECT_EQ(fs->CanCreateFileIn(Win("outside")), FsStatus::OutsideRoots);
    EXPECT_EQ(fs->CanCreateFileIn(Win("game/missing")), FsStatus::PathNotFound);
    EXPECT_EQ(fs->CanCreateFileIn(Win("game/dialog.tlk")), FsStatus::PathNotFound);
    // Not even root may add to an immutable folder.
    const std::string immutable = "chattr +i '" + root + "/game/override' 2>/dev/null";
    if (std::system(immutable.c_str()) != 0) GTEST_SKIP() << "chattr +i is not possible here";
    fs->ForgetCachedState();
    EXPECT_EQ(fs->CanCreateFileIn(Win("game/override")), FsStatus::AccessDenied);
    EXPECT_EQ(fs->WriteAll(Win("game/override/x.txt"), "x"), FsStatus::AccessDenied);
    std::system(("chattr -i '" + root + "/game/override'").c_str());
}

TEST_F(PosixFs, SetAttributesReadOnlyClearsTheWriteBits) {
    Put("f.txt", "f");
    Attributes ro;
    ro.readOnly = true;
    ro.hidden = true;  // cannot be set here, ignored
    ASSERT_EQ(fs->SetAttributes(Win("f.txt"), ro), FsStatus::Ok);
    struct stat st {};
    ASSERT_EQ(::stat((root + "/f.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0222, 0u);
    Attributes got;
    ASSERT_EQ(fs->GetAttributes(Win("f.txt"), got), FsStatus::Ok);
    EXPECT_TRUE(got.readOnly);
    EXPECT_FALSE(got.hidden);
    EXPECT_EQ(fs->SetAttributes(Win("none.txt"), {}), FsStatus::FileNotFound);
}

TEST_F(PosixFs, ReadOnlyFilesMayBeRenamedAndMoved) {
    Put("backup/spells.2da", "backup");
    stdfs::create_directories(root + "/override");
    MakeReadOnly("backup/spells.2da");
    EXPECT_EQ(fs->Rename(Win("backup/spells.2da"), Win("Override/spells.2da")), FsStatus::Ok);
    EXPECT_EQ(Host("override/spells.2da"), "backup");
    EXPECT_EQ(Host("backup/spells.2da"), "<missing>");
    Attributes a;
    ASSERT_EQ(fs->GetAttributes(Win("override/spells.2da"), a), FsStatus::Ok);
    EXPECT_TRUE(a.readOnly);
}

TEST_F(PosixFs, RenameNeverOverwrites) {
    Put("x.tga", "current");
    Put("x.tga.original", "original");
    EXPECT_EQ(fs->Rename(Win("x.tga.original"), Win("X.TGA")), FsStatus::AlreadyExists);
    EXPECT_EQ(Host("x.tga"), "current");
    EXPECT_EQ(Host("x.tga.original"), "original");
    EXPECT_EQ(fs->Rename(Win("none"), Win("n2")), FsStatus::FileNotFound);
    EXPECT_EQ(fs->Rename(Win("x.tga"), Win("missing/x.tga")), FsStatus::PathNotFound);
    EXPECT_EQ(fs->Rename(Win("x.tga"), Win("y*.tga")), FsStatus::BadName);
}

TEST_F(PosixFs, RenameMayChangeOnlyTheLetterCase) {
    Put("x.tga", "x");
    EXPECT_EQ(fs->Rename(Win("x.tga"), Win("X.TGA")), FsStatus::Ok);
    EXPECT_EQ(Host("X.TGA"), "x");
    EXPECT_EQ(Host("x.tga"), "<missing>");
}

TEST_F(PosixFs, ListsInNameOrderIgnoringCaseWithDotfilesHidden) {
    Put("list/b.txt", "");
    Put("list/A.2da", "");
    Put("list/c.2DA", "");
    Put("list/.hidden", "");
    stdfs::create_directories(root + "/list/Sub");
    EXPECT_EQ(Names(Win("List/*.*")), (std::vector<std::string>{".hidden", "A.2da", "b.txt", "c.2DA", "Sub"}));
    EXPECT_EQ(Names(Win("list/*.2da")), (std::vector<std::string>{"A.2da", "c.2DA"}));
    EXPECT_EQ(Names(Win("list/B.TXT")), std::vector<std::string>{"b.txt"});
    EXPECT_EQ(Names(Win("list/none.txt")), std::vector<std::string>{});
    EXPECT_EQ(Names(Win("nolist/*.*")), std::vector<std::string>{"<null>"});

    auto listing = fs->List(Win("list/*.*"));
    ASSERT_TRUE(listing);
    auto hidden = listing->Next();
    ASSERT_TRUE(hidden);
    EXPECT_TRUE(hidden->attributes.hidden);
    EXPECT_FALSE(hidden->attributes.system);
    for (int i = 0; i < 3; ++i) listing->Next();
    auto sub = listing->Next();
    ASSERT_TRUE(sub);
    EXPECT_TRUE(sub->attributes.directory);
}

TEST_F(PosixFs, CopyReplacesWritableTargets) {
    Put("src.2da", "new");
    Put("dst.2da", "old");
    EXPECT_EQ(fs->Copy(Win("src.2da"), Win("DST.2da")), FsStatus::Ok);
    EXPECT_EQ(Host("dst.2da"), "new");
    EXPECT_EQ(fs->Copy(Win("SRC.2da"), Win("src.2da")), FsStatus::SharingViolation);
    EXPECT_EQ(Host("src.2da"), "new");
    EXPECT_EQ(fs->Copy(Win("none"), Win("n2")), FsStatus::FileNotFound);
    EXPECT_EQ(fs->Copy(Win("src.2da"), Win("missing/x")), FsStatus::PathNotFound);
}

TEST_F(PosixFs, WriteAllAndCreateFolder) {
    EXPECT_EQ(fs->WriteAll(Win("removal_results.rtf"), std::string("{\\rtf1\0}", 8)), FsStatus::Ok);
    EXPECT_EQ(Host("removal_results.rtf"), std::string("{\\rtf1\0}", 8));
    EXPECT_EQ(fs->WriteAll(Win("missing/r.rtf"), ""), FsStatus::PathNotFound);
    EXPECT_EQ(fs->WriteAll(Win("r?.rtf"), ""), FsStatus::BadName);
    EXPECT_EQ(fs->CreateFolder(Win("Backup Uninstall")), FsStatus::Ok);
    EXPECT_TRUE(stdfs::is_directory(root + "/Backup Uninstall"));
    EXPECT_EQ(fs->CreateFolder(Win("BACKUP UNINSTALL")), FsStatus::AlreadyExists);
    EXPECT_EQ(fs->CreateFolder(Win("a/b")), FsStatus::PathNotFound);
    EXPECT_EQ(fs->WriteAll(Win("backup uninstall"), ""), FsStatus::AccessDenied);
    EXPECT_EQ(fs->Delete(Win("Backup Uninstall")), FsStatus::AccessDenied);
}

TEST_F(PosixFs, ShortPathIsThePathItselfWhenItExists) {
    Put("f.txt", "");
    EXPECT_EQ(fs->ShortPath(Win("F.TXT")), Win("F.TXT"));
    EXPECT_EQ(fs->ShortPath(Win("none.txt")), "");
}

TEST_F(PosixFs, FollowsSymbolicLinks) {
    Put("real/dialog.tlk", "TLK V3.0");
    stdfs::create_directory_symlink(root + "/real", root + "/game");
    std::string bytes;
    EXPECT_EQ(fs->ReadAll(Win("GAME/dialog.tlk"), bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(bytes, "TLK V3.0");
    Attributes a;
    ASSERT_EQ(fs->GetAttributes(Win("game"), a), FsStatus::Ok);
    EXPECT_TRUE(a.directory);
}

}  // namespace
}  // namespace zelvane
