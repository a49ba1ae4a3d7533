// How the POSIX file system finds names: case twins, code page 1252 names against UTF-8 host
// names, listings that keep up with the run's changes, and whether a file can be opened for
// reading.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>

#include "tests/platform/host_folder_fixture.hpp"

namespace zelvane {
namespace {

using PosixLookup = HostFolderTest;

TEST_F(PosixLookup, CaseTwinsAreEachFoundByTheirOwnNameAndOthersByNameOrder) {
    Put("backup/Appearance.2da", "upper");
    Put("backup/appearance.2da", "lower");
    std::string bytes;
    ASSERT_EQ(fs->ReadAll(Win("backup/APPEARANCE.2DA"), bytes, 100), FsStatus::Ok);
    EXPECT_EQ(bytes, "upper");
    ASSERT_EQ(fs->ReadAll(Win("backup/appearance.2da"), bytes, 100), FsStatus::Ok);
    EXPECT_EQ(bytes, "lower");
    EXPECT_EQ(fs->Delete(Win("backup/appearance.2da")), FsStatus::Ok);
    ASSERT_EQ(fs->ReadAll(Win("backup/appearance.2da"), bytes, 100), FsStatus::Ok);  // the other twin now
    EXPECT_EQ(bytes, "upper");
    EXPECT_EQ(fs->Delete(Win("backup/APPEARANCE.2DA")), FsStatus::Ok);
    EXPECT_EQ(fs->ReadAll(Win("backup/appearance.2da"), bytes, 100), FsStatus::FileNotFound);
}

TEST_F(PosixLookup, CodePage1252NamesFindTheirUtf8Files) {
    Put("override/\xC3\x9Cn\xC3\xAF/na\xC3\xAFve.tga", "naive");
    const std::string cyrillic = "\xD0\xB8\xD0\xB2\xD0\xB0\xD0\xBD";
    Put(cyrillic + "/mods/j\xC3\xBCrgen/x.tga", "x");
    std::string bytes;
    ASSERT_EQ(fs->ReadAll(Win("OVERRIDE/\xFCN\xCF/NA\xCFVE.TGA"), bytes, 100), FsStatus::Ok);  // I diaeresis
    EXPECT_EQ(bytes, "naive");
    EXPECT_EQ(Names(Win("override/*.*")), std::vector<std::string>{"\xDCn\xEF"});
    EXPECT_EQ(fs->ResolvedPath(Win("override/\xFCn\xEF/x.tga")), Win("override/\xDCn\xEF/x.tga"));
    // what the program makes gets its UTF-8 name on the host
    EXPECT_EQ(fs->WriteAll(Win("override/\xC9t\xE9 \x80.txt"), "e"), FsStatus::Ok);
    EXPECT_EQ(Host("override/\xC3\x89t\xC3\xA9 \xE2\x82\xAC.txt"), "e");
    EXPECT_EQ(fs->CreateFolder(Win("override/\xC6ther")), FsStatus::Ok);
    EXPECT_TRUE(Exists("override/\xC3\x86ther"));
    // a host folder handed over in UTF-8 (here Cyrillic) is found as it stands
    EXPECT_EQ(fs->ReadAll(Win(cyrillic + "/MODS/J\xDCRGEN/X.TGA"), bytes, 100), FsStatus::Ok);
    EXPECT_EQ(fs->HostPathOf(Win(cyrillic + "/mods/J\xDCRGEN/x.tga")), HostOf(cyrillic + "/mods/j\xC3\xBCrgen/x.tga"));
}

// Names 1252 cannot hold, or that hold a backslash, are listed as Windows programs see them under
// Wine, with a "?" that no path can name, and match no other name.
TEST_F(PosixLookup, HostNamesThatCodePage1252CannotHoldMatchNoOtherName) {
    Put("override/nai\xCC\x88ve.tga", "decomposed");  // i and a combining diaeresis
    Put("override/na\xEFve.tga", "latin-1 bytes");    // not UTF-8 at all
    Put("override/a\\b.tga", "a name with a backslash");
    Put("override/a/b.tga", "b.tga in the folder a");
    std::string bytes;
    EXPECT_EQ(fs->ReadAll(Win("override/na\xEFve.tga"), bytes, 100), FsStatus::FileNotFound);
    EXPECT_EQ(fs->ReadAll(Win("override/nai?ve.tga"), bytes, 100), FsStatus::BadName);
    EXPECT_EQ(Names(Win("override/*.*")), (std::vector<std::string>{"a", "a?b.tga", "na?ve.tga", "nai?ve.tga"}));
    ASSERT_EQ(fs->ReadAll(Win("override") + "\\a\\b.tga", bytes, 100), FsStatus::Ok);
    EXPECT_EQ(bytes, "b.tga in the folder a");
    EXPECT_EQ(fs->WriteAll(Win("override/na\xEFve.tga"), "new"), FsStatus::Ok);  // a file of its own
    EXPECT_EQ(Host("override/na\xC3\xAFve.tga"), "new");
    EXPECT_EQ(Host("override/na\xEFve.tga"), "latin-1 bytes");
}

TEST_F(PosixLookup, AListingShowsTheRunsOwnChangesAndThePlayersAfterForgetting) {
    Put("override/a.tga", "a");
    Put("override/.hidden", "");
    EXPECT_EQ(Names(Win("override/*.*")), (std::vector<std::string>{".hidden", "a.tga"}));
    auto listing = fs->List(Win("override/*.*"));
    EXPECT_TRUE(listing->Next()->attributes.hidden);
    EXPECT_EQ(fs->WriteAll(Win("override/B.tga"), "b"), FsStatus::Ok);
    EXPECT_EQ(fs->Delete(Win("override/.hidden")), FsStatus::Ok);
    EXPECT_EQ(fs->CreateFolder(Win("override/sub")), FsStatus::Ok);
    EXPECT_EQ(fs->Rename(Win("override/a.tga"), Win("override/sub/a.tga")), FsStatus::Ok);
    EXPECT_EQ(Names(Win("override/*.*")), (std::vector<std::string>{"B.tga", "sub"}));
    EXPECT_EQ(Names(Win("override/sub/*.*")), std::vector<std::string>{"a.tga"});
    Put("override/c.tga", "c");  // the player adds a file while a prompt is open
    fs->ForgetCachedState();
    EXPECT_EQ(Names(Win("override/*.*")), (std::vector<std::string>{"B.tga", "c.tga", "sub"}));
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
    Put("override/plain.tga", "p");
    Put("override/locked.tga", "l");
    Put("override/owner.tga", "o");
    ASSERT_EQ(::chmod(HostOf("override/locked.tga").c_str(), 0), 0);
    ASSERT_EQ(::chmod(HostOf("override/owner.tga").c_str(), 0600), 0);
    Link("override/to-locked.tga", "locked.tga");
    Link("override/dangling.tga", "nothing.tga");
    std::vector<std::pair<std::string, std::string>> entries;
    for (const char* name : {"plain.tga", "locked.tga", "owner.tga", "to-locked.tga", "dangling.tga"}) {
        entries.emplace_back(Win(std::string("override/") + name), HostOf(std::string("override/") + name));
    }
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
