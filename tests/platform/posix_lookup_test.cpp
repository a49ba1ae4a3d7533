// How the POSIX side finds and reads names: case twins, code page 1252 names against UTF-8 host
// names, whether a file can be opened for reading, and the one way to read a host file (only
// regular files, never waiting, within a limit), also a line at a time.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include "platform/posix/host_names.hpp"
#include "platform/posix/host_read.hpp"
#include "platform/posix/text_lines.hpp"
#include "tests/platform/host_folder_fixture.hpp"

namespace zelvane::posix {
namespace {

using PosixLookup = HostFolderTest;

TEST_F(PosixLookup, CaseTwinsAreEachFoundByTheirOwnNameAndOthersByNameOrder) {
    Put("backup/Appearance.2da", "upper");
    Put("backup/appearance.2da", "lower");
    EXPECT_EQ(Read(Win("backup/APPEARANCE.2DA")), "upper");
    EXPECT_EQ(Read(Win("backup/appearance.2da")), "lower");
    EXPECT_EQ(fs->Delete(Win("backup/appearance.2da")), FsStatus::Ok);
    EXPECT_EQ(Read(Win("backup/appearance.2da")), "upper");  // the other twin now
    EXPECT_EQ(fs->Delete(Win("backup/APPEARANCE.2DA")), FsStatus::Ok);
    EXPECT_EQ(Read(Win("backup/appearance.2da")), "<file not found>");
}

// 1252 names find their UTF-8 files, and what the program makes gets its UTF-8 name on the host; a
// host folder handed over in UTF-8 (here Cyrillic) is found as it stands, not its namesake in 1252.
// Names 1252 cannot hold, or that hold a backslash, are listed as Windows programs see them under
// Wine, with a "?" that no path can name, and match no other name.
TEST_F(PosixLookup, CodePage1252NamesFindTheirUtf8FilesAndNoOthers) {
    const std::string cyrillic = "\xD0\xB8\xD0\xB2\xD0\xB0\xD0\xBD";
    Put("override/\xC3\x9Cn\xC3\xAF/na\xC3\xAFve.tga", "naive");
    Put(cyrillic + "/mods/j\xC3\xBCrgen/x.tga", "x");
    const std::string twin = "\xD0\xBF\xD0\xB5\xD1\x82\xD1\x80";  // as many letters: the same 1252 reading
    Put(twin + "/x.tga", "the other folder's");
    Put("odd/nai\xCC\x88ve.tga", "decomposed");  // i and a combining diaeresis
    Put("odd/na\xEFve.tga", "latin-1 bytes");    // not UTF-8 at all
    Put("odd/a/b.tga", "b.tga in the folder a");
    std::ofstream(root + "/odd/a\\b.tga") << "a name with a backslash";  // HostOf would take it for a folder
    EXPECT_EQ(Read(Win("OVERRIDE/\xFCN\xCF/NA\xCFVE.TGA")), "naive");    // I diaeresis
    EXPECT_EQ(Names(Win("override/*.*")), std::vector<std::string>{"\xDCn\xEF\\"});
    EXPECT_EQ(fs->ResolvedPath(Win("override/\xFCn\xEF/x.tga")), Win("override/\xDCn\xEF/x.tga"));
    ASSERT_EQ(fs->CreateFolder(Win("override/\xC6ther")), FsStatus::Ok);
    ASSERT_EQ(fs->WriteAll(Win("override/\xC6ther/\xC9t\xE9 \x80.txt"), "e"), FsStatus::Ok);
    EXPECT_EQ(Bytes("override/\xC3\x86ther/\xC3\x89t\xC3\xA9 \xE2\x82\xAC.txt"), "e");
    EXPECT_EQ(Read(Win(cyrillic + "/MODS/J\xDCRGEN/X.TGA")), "x");
    EXPECT_EQ(fs->HostPathOf(Win(cyrillic + "/mods/J\xDCRGEN/x.tga")), HostOf(cyrillic + "/mods/j\xC3\xBCrgen/x.tga"));
    EXPECT_EQ(Read(Win(twin + "/x.tga")), "the other folder's");

    EXPECT_EQ(Read(Win("odd/na\xEFve.tga")), "<file not found>");
    EXPECT_EQ(Read(Win("odd/nai?ve.tga")), "<bad name>");
    EXPECT_EQ(Names(Win("odd/*.*")), (std::vector<std::string>{"a\\", "a?b.tga", "na?ve.tga", "nai?ve.tga"}));
    EXPECT_EQ(Read(Win("odd") + "\\a\\b.tga"), "b.tga in the folder a");
    EXPECT_EQ(fs->WriteAll(Win("odd/na\xEFve.tga"), "new"), FsStatus::Ok);  // a file of its own
    EXPECT_EQ(Bytes("odd/na\xC3\xAFve.tga"), "new");
    EXPECT_EQ(Bytes("odd/na\xEFve.tga"), "latin-1 bytes");
}

// Ok when the entry is a regular file (a link followed) that this process can open for reading;
// once as root, once as another user, to whom the locked and the owner's file are closed.
TEST_F(PosixLookup, OpenForReadAnswersAsAnOpenForReadingWould) {
    for (const char* name : {"plain.tga", "locked.tga", "owner.tga"}) Put(std::string("override/") + name, name);
    ASSERT_EQ(::chmod(HostOf("override/locked.tga").c_str(), 0), 0);
    ASSERT_EQ(::chmod(HostOf("override/owner.tga").c_str(), 0600), 0);
    ASSERT_EQ(::chmod(root.c_str(), 0755), 0);
    Link("override/to-locked.tga", "override/locked.tga");
    Link("override/dangling.tga", "override/nothing.tga");
    const auto opened = [this](const FileSystem& each) {
        Attributes known;  // the entries' states are known
        EXPECT_EQ(each.GetAttributes(Win("override/plain.tga"), known), FsStatus::Ok);
        std::string found;
        for (const char* name : {"plain.tga", "locked.tga", "owner.tga", "to-locked.tga", "dangling.tga"}) {
            if (each.OpenForRead(Win(std::string("override/") + name)) == FsStatus::Ok)
                found += std::string(name) + " ";
        }
        return found;
    };
    const bool privileged = ::geteuid() == 0;
    EXPECT_EQ(opened(*fs), privileged ? "plain.tga locked.tga owner.tga to-locked.tga " : "plain.tga owner.tga ");
    if (!privileged) GTEST_SKIP() << "not root: no other user to ask as";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
        ::_exit(opened(PosixFileSystem(root + "/wine")) == "plain.tga " ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "as user 65534, status " << status;
}

// Unix and Windows line ends alike; only one "\r" right before the "\n" (or the end) is part of it.
TEST(TextLines, SplitsUnixAndWindowsLinesAndKeepsTheRest) {
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(TextLines("a\nb\r\nc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(TextLines("a\r\n\r\n\nb\n"), (Lines{"a", "", "", "b"}));
    EXPECT_EQ(TextLines("a\r\r\nb\rc\r"), (Lines{"a\r", "b\rc"}));
    EXPECT_EQ(TextLines(std::string_view("a\0b\n", 4)), (Lines{std::string_view("a\0b", 3)}));
    EXPECT_EQ(TextLines(""), Lines{});
    EXPECT_EQ(TextLines("\r"), (Lines{""}));
}

// 1252 where the name can be; else its own bytes, or "?" (a name no path can name) for what would
// read as another name: a backslash, bytes that are no UTF-8.
TEST(HostNames, AHostNameIs1252WhereItCanBeAndNeverAnotherName) {
    EXPECT_EQ(WindowsNameOf("Sp\xC3\xAFl"), "Sp\xEFl");
    EXPECT_EQ(WindowsNameOf("\xE2\x82\xAC \xC2\x81"), "\x80 \x81");  // the euro sign; a C1 control
    EXPECT_EQ(WindowsNameOf("\xD0\x94\xD0\xBC"), "\xD0\x94\xD0\xBC");
    EXPECT_EQ(WindowsNameOf("\xC3\xA9\xE6\x97\xA5"), "\xC3\xA9\xE6\x97\xA5");  // one letter too many
    EXPECT_EQ(WindowsNameOf("na\xEFve"), "na?ve");
    EXPECT_EQ(WindowsNameOf("\xC3\xA9\\b.tga"), "\xE9?b.tga");
    EXPECT_EQ(Cp1252NameOf("a\\b.tga"), "a?b.tga");
}

// A pipe, and a regular file of size 0 that reads on past its size (/proc/self/pagemap
// would not end at all): none is read until memory runs out or waited on. What a line reader is
// asked for later is read later: the file grows meanwhile.
TEST_F(PosixLookup, OnlyRegularFilesAreReadAndLinesOneAtATimeUpToALineTooLong) {
    std::string bytes = "untouched";
    EXPECT_EQ(ReadHostFile("/proc/self/maps", 100, bytes), FsStatus::TooLarge);
    EXPECT_EQ(bytes, "untouched");
    HostLineReader endless("/proc/self/maps", 100, 1 << 20);
    while (endless.Next()) {
    }
    EXPECT_EQ(endless.Status(), FsStatus::TooLarge);
    ASSERT_EQ(::mkfifo(HostOf("pipe").c_str(), 0600), 0);
    HostLineReader pipe(HostOf("pipe"), 1 << 20, 64);
    EXPECT_EQ(pipe.Status(), FsStatus::NotRegularFile);
    EXPECT_EQ(pipe.Next(), std::nullopt);

    Put("answers.txt", "0\r\n\nlast without a line end");
    HostLineReader lines(HostOf("answers.txt"), 1 << 20, 64);
    EXPECT_EQ(lines.Next(), "0");
    std::ofstream(HostOf("answers.txt"), std::ios::app) << "\n" << std::string(100, 'x') << "\nafter";
    EXPECT_EQ(lines.Next(), "");
    EXPECT_EQ(lines.Next(), "last without a line end");
    EXPECT_EQ(lines.Status(), FsStatus::Ok);
    EXPECT_EQ(lines.Next(), std::nullopt);
    EXPECT_EQ(lines.Status(), FsStatus::TooLarge);
}

}  // namespace
}  // namespace zelvane::posix
