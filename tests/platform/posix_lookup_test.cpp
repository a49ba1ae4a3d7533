// How the POSIX file system finds names: case twins, code page 1252 names against UTF-8 host
// names, listings that keep up with the run's changes, and whether a file can be opened for
// reading.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "platform/seams/read_limits.hpp"
#include "tests/platform/host_folder_fixture.hpp"

namespace zelvane {
namespace {

using PosixLookup = HostFolderTest;

TEST_F(PosixLookup, CaseTwinsAreEachFoundByTheirOwnNameAndTheListingKeepsUp) {
    Put("backup/Appearance.2da", "upper");
    Put("backup/appearance.2da", "lower");
    std::string bytes;
    // a name in neither spelling: the first in name order
    ASSERT_EQ(fs->ReadAll(Win("backup/APPEARANCE.2DA"), bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(bytes, "upper");
    EXPECT_EQ(Names(Win("backup/appearance.2da")), (std::vector<std::string>{"Appearance.2da", "appearance.2da"}));
    // each exact spelling names its own file
    ASSERT_EQ(fs->ReadAll(Win("backup/appearance.2da"), bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(bytes, "lower");
    EXPECT_EQ(fs->Delete(Win("backup/appearance.2da")), FsStatus::Ok);
    EXPECT_EQ(Host("backup/Appearance.2da"), "upper");
    // the other twin is found now under any spelling
    ASSERT_EQ(fs->ReadAll(Win("backup/appearance.2da"), bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(bytes, "upper");
    EXPECT_EQ(fs->Copy(Win("backup/Appearance.2da"), Win("backup/APPEARANCE.2da.copy")), FsStatus::Ok);
    EXPECT_EQ(Names(Win("backup/*.*")), (std::vector<std::string>{"Appearance.2da", "APPEARANCE.2da.copy"}));
    EXPECT_EQ(fs->Delete(Win("backup/APPEARANCE.2DA")), FsStatus::Ok);
    EXPECT_EQ(fs->ReadAll(Win("backup/appearance.2da"), bytes, kTableLimit), FsStatus::FileNotFound);
    EXPECT_EQ(HostNames("backup"), std::vector<std::string>{"APPEARANCE.2da.copy"});
}

TEST_F(PosixLookup, CodePage1252NamesFindTheirUtf8Files) {
    Put("override/na\xC3\xAFve.tga", "naive");
    Put("override/\xC3\x9Cn\xC3\xAF/x.tga", "folder");
    std::string bytes;
    ASSERT_EQ(fs->ReadAll(Win("override/na\xEFve.tga"), bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(bytes, "naive");
    ASSERT_EQ(fs->ReadAll(Win("OVERRIDE/NA\xCFVE.TGA"), bytes, kTableLimit), FsStatus::Ok);  // capital I diaeresis
    ASSERT_EQ(fs->ReadAll(Win("override/\xFCN\xCF/X.tga"), bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(bytes, "folder");
    EXPECT_EQ(Names(Win("override/*.*")), (std::vector<std::string>{"na\xEFve.tga", "\xDCn\xEF"}));
    // what the program writes gets its UTF-8 name on the host
    EXPECT_EQ(fs->WriteAll(Win("override/\xC9t\xE9 \x80.txt"), "e"), FsStatus::Ok);
    EXPECT_EQ(Host("override/\xC3\x89t\xC3\xA9 \xE2\x82\xAC.txt"), "e");
    EXPECT_EQ(fs->Rename(Win("override/na\xEFve.tga"), Win("override/na\xEFve.tga.original")), FsStatus::Ok);
    EXPECT_EQ(Host("override/na\xC3\xAFve.tga.original"), "naive");
    EXPECT_EQ(fs->CreateFolder(Win("override/\xC6ther")), FsStatus::Ok);
    EXPECT_TRUE(Exists("override/\xC3\x86ther"));
    EXPECT_EQ(fs->ResolvedPath(Win("override/\xFCn\xEF/x.tga")), Win("override/\xDCn\xEF/x.tga"));
    EXPECT_EQ(fs->HostPathOf(Win("override/\xFCn\xEF/x.tga")), HostOf("override/\xC3\x9Cn\xC3\xAF/x.tga"));
}

TEST_F(PosixLookup, HostFoldersHandedOverInUtf8AreFoundAsTheyStand) {
    Put("\xD0\xB8\xD0\xB2\xD0\xB0\xD0\xBD/mods/j\xC3\xBCrgen/x.tga", "x");  // Cyrillic, then u umlaut
    std::string bytes;
    EXPECT_EQ(fs->ReadAll(Win("\xD0\xB8\xD0\xB2\xD0\xB0\xD0\xBD/mods/j\xC3\xBCrgen/x.tga"), bytes, kTableLimit),
              FsStatus::Ok);
    EXPECT_EQ(fs->ReadAll(Win("\xD0\xB8\xD0\xB2\xD0\xB0\xD0\xBD/MODS/J\xDCRGEN/X.TGA"), bytes, kTableLimit),
              FsStatus::Ok);
    EXPECT_EQ(fs->ReadAll(HostOf("\xD0\xB8\xD0\xB2\xD0\xB0\xD0\xBD/mods/j\xC3\xBCrgen/x.tga"), bytes, kTableLimit),
              FsStatus::Ok);
    EXPECT_EQ(bytes, "x");
    EXPECT_EQ(fs->HostPathOf(Win("\xD0\xB8\xD0\xB2\xD0\xB0\xD0\xBD/mods/J\xDCRGEN/x.tga")),
              HostOf("\xD0\xB8\xD0\xB2\xD0\xB0\xD0\xBD/mods/j\xC3\xBCrgen/x.tga"));
    // what is written there gets 1252 names mapped as ever
    EXPECT_EQ(fs->WriteAll(Win("\xD0\xB8\xD0\xB2\xD0\xB0\xD0\xBD/mods/\xE9.txt"), "e"), FsStatus::Ok);
    EXPECT_EQ(Host("\xD0\xB8\xD0\xB2\xD0\xB0\xD0\xBD/mods/\xC3\xA9.txt"), "e");
}

TEST_F(PosixLookup, HostNamesThatCodePage1252CannotHoldMatchNoOtherName) {
    Put("override/nai\xCC\x88ve.tga", "decomposed");  // i and a combining diaeresis
    Put("override/na\xEFve.tga", "latin-1 bytes");    // not UTF-8 at all
    Put("override/a\xE6\x97\xA5.tga", "japanese");
    Put("override/ab.tga", "ab");
    std::string bytes;
    EXPECT_EQ(fs->ReadAll(Win("override/na\xEFve.tga"), bytes, kTableLimit), FsStatus::FileNotFound);
    EXPECT_EQ(fs->ReadAll(Win("override/nai?ve.tga"), bytes, kTableLimit), FsStatus::BadName);
    EXPECT_EQ(fs->ReadAll(Win("override/a?.tga"), bytes, kTableLimit), FsStatus::BadName);
    ASSERT_EQ(fs->ReadAll(Win("override/AB.tga"), bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(bytes, "ab");
    // listings show them as Windows programs see them under Wine
    EXPECT_EQ(Names(Win("override/*.tga")), (std::vector<std::string>{"a?.tga", "ab.tga", "na?ve.tga", "nai?ve.tga"}));
    EXPECT_EQ(fs->WriteAll(Win("override/na\xEFve.tga"), "new"), FsStatus::Ok);  // a file of its own
    EXPECT_EQ(Host("override/na\xC3\xAFve.tga"), "new");
    EXPECT_EQ(Host("override/na\xEFve.tga"), "latin-1 bytes");
}

// Linux lets a name hold a backslash. Listed, it must not read as a folder and a name in it: the
// file a\b.tga is shown as a?b.tga, a name that no path can name, and the file b.tga in the folder
// a stays the only one that path finds.
TEST_F(PosixLookup, AHostNameWithABackslashIsNeverTwoComponents) {
    Put("override/a\\b.tga", "a name with a backslash");
    Put("override/\xC3\xA9\\b.tga", "another, in UTF-8");
    Put("override/a/b.tga", "b.tga in the folder a");
    EXPECT_EQ(Names(Win("override/*.*")), (std::vector<std::string>{"a", "a?b.tga", "\xE9?b.tga"}));
    std::string bytes;
    ASSERT_EQ(fs->ReadAll(Win("override") + "\\a\\b.tga", bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(bytes, "b.tga in the folder a");
    // Where a link leads is told the same way.
    Put("override/x\\y/z.tga", "z");
    Link("override/to z.tga", "x\\y/z.tga");
    fs->ForgetCachedState();
    EXPECT_EQ(fs->ResolvedPath(Win("override/to z.tga")), Win("override") + "\\x?y\\z.tga");
}

TEST_F(PosixLookup, AListingShowsTheRunsOwnChangesAndThePlayersAfterForgetting) {
    Put("override/a.tga", "a");
    EXPECT_EQ(Names(Win("override/*.*")), std::vector<std::string>{"a.tga"});
    EXPECT_EQ(fs->WriteAll(Win("override/B.tga"), "b"), FsStatus::Ok);
    EXPECT_EQ(fs->CreateFolder(Win("override/sub")), FsStatus::Ok);
    EXPECT_EQ(fs->Rename(Win("override/a.tga"), Win("override/sub/a.tga")), FsStatus::Ok);
    EXPECT_EQ(Names(Win("override/*.*")), (std::vector<std::string>{"B.tga", "sub"}));
    EXPECT_EQ(Names(Win("override/sub/*.*")), std::vector<std::string>{"a.tga"});
    // the player adds a file while a prompt is open
    Put("override/c.tga", "c");
    fs->ForgetCachedState();
    EXPECT_EQ(Names(Win("override/*.*")), (std::vector<std::string>{"B.tga", "c.tga", "sub"}));
    std::string bytes;
    EXPECT_EQ(fs->ReadAll(Win("override/C.TGA"), bytes, kTableLimit), FsStatus::Ok);
}

TEST_F(PosixLookup, FilesDeletedAndMadeAgainAreListedOnceInNameOrder) {
    for (const char* name : {"b.tga", "a.tga", "C.tga", "d.tga"}) Put(std::string("override/") + name, name);
    EXPECT_EQ(Names(Win("override/*.*")), (std::vector<std::string>{"a.tga", "b.tga", "C.tga", "d.tga"}));
    EXPECT_EQ(fs->Delete(Win("override/b.tga")), FsStatus::Ok);
    EXPECT_EQ(fs->Delete(Win("override/c.tga")), FsStatus::Ok);
    EXPECT_EQ(Names(Win("override/*.*")), (std::vector<std::string>{"a.tga", "d.tga"}));
    EXPECT_EQ(Names(Win("override/B.TGA")), std::vector<std::string>{});
    std::string bytes;
    EXPECT_EQ(fs->ReadAll(Win("override/b.tga"), bytes, kTableLimit), FsStatus::FileNotFound);
    // made again: the same spelling, and another one than the deleted file had
    EXPECT_EQ(fs->WriteAll(Win("override/b.tga"), "again"), FsStatus::Ok);
    EXPECT_EQ(fs->WriteAll(Win("override/c.TGA"), "other"), FsStatus::Ok);
    EXPECT_EQ(Names(Win("override/*.*")), (std::vector<std::string>{"a.tga", "b.tga", "c.TGA", "d.tga"}));
    EXPECT_EQ(Names(Win("override/C.tga")), std::vector<std::string>{"c.TGA"});
    ASSERT_EQ(fs->ReadAll(Win("override/B.tga"), bytes, kTableLimit), FsStatus::Ok);
    EXPECT_EQ(bytes, "again");
    EXPECT_EQ(HostNames("override"), (std::vector<std::string>{"a.tga", "b.tga", "c.TGA", "d.tga"}));
}

// Ok when the entry is a regular file (a link followed) that this process can open for reading.
std::string OpenForReadDisagreements(const FileSystem& fs,
                                     const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string disagreements;
    for (const auto& [windows, host] : entries) {
        const int fd = ::open(host.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        struct stat st {};
        const bool opened = fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
        if (fd >= 0) ::close(fd);
        if (opened != (fs.OpenForRead(windows) == FsStatus::Ok)) {
            disagreements += host + (opened ? " opens\n" : " does not open\n");
        }
    }
    return disagreements;
}

TEST_F(PosixLookup, OpenForReadAnswersAsAnOpenForReadingWould) {
    const std::vector<std::string> names = {"plain.tga",    "locked.tga", "owner.tga", "to-plain.tga", "to-locked.tga",
                                            "dangling.tga", "folder.tga", "pipe.tga",  "missing.tga"};
    Put("override/plain.tga", "p");
    Put("override/locked.tga", "l");
    Put("override/owner.tga", "o");
    ASSERT_EQ(::chmod(HostOf("override/locked.tga").c_str(), 0), 0);
    ASSERT_EQ(::chmod(HostOf("override/owner.tga").c_str(), 0600), 0);
    Link("override/to-plain.tga", "plain.tga");
    Link("override/to-locked.tga", "locked.tga");
    Link("override/dangling.tga", "nothing.tga");
    Folder("override/folder.tga");
    ASSERT_EQ(::mkfifo(HostOf("override/pipe.tga").c_str(), 0644), 0);
    std::vector<std::pair<std::string, std::string>> entries;
    for (const std::string& name : names) entries.emplace_back(Win("override/" + name), HostOf("override/" + name));
    Attributes a;
    ASSERT_EQ(fs->GetAttributes(Win("override/plain.tga"), a), FsStatus::Ok);  // the entries' states are known
    EXPECT_EQ(OpenForReadDisagreements(*fs, entries), "");

    // another user, to whom the locked and the owner's file are closed
    if (::geteuid() != 0) GTEST_SKIP() << "not root: no other user to ask as";
    ASSERT_EQ(::chmod(root.c_str(), 0755), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        PosixFileSystem other(root + "/wine");
        Attributes known;
        other.GetAttributes(Win("override/plain.tga"), known);
        const std::string disagreements = OpenForReadDisagreements(other, entries);
        std::fputs(disagreements.c_str(), stderr);
        ::_exit(disagreements.empty() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "as user 65534, status " << status;
}

}  // namespace
}  // namespace zelvane
