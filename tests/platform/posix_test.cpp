// What only the POSIX side does, on a fresh host folder: Wine's drives, the owner write bit as the
// read-only flag, hard links, links as the last component, what reaches the medium, the stamps of
// folders (what changes them, what keeps them, and when they are withheld because a change could
// keep the folder's times), the lock that keeps a second run off a folder, how names are found
// (case twins, code page 1252 names against UTF-8 host names, whether a file opens for reading),
// the one way to read a host file (only regular files, never waiting, within a limit), also a line
// at a time, and the registries the program reads on the host (a registry file, Wine's system.reg)
// and Steam's files.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "platform/posix/file_registry.hpp"
#include "platform/posix/folder_stamp.hpp"
#include "platform/posix/host_names.hpp"
#include "platform/posix/host_read.hpp"
#include "platform/posix/instance_lock.hpp"
#include "platform/posix/steam_library.hpp"
#include "platform/posix/wine_registry.hpp"
#include "tests/platform/host_folder_fixture.hpp"

namespace zelvane::posix {
namespace {

class PosixFs : public ::testing::Test, public zelvane::HostFolder {  // not posix::HostFolder
protected:
    // The bytes the file system reads at a Windows path, or why it reads none.
    std::string Read(const std::string& windows) {
        std::string bytes;
        const FsStatus status = fs->ReadAll(windows, bytes, 1 << 20);
        return status == FsStatus::Ok ? bytes : "<" + std::string(FsStatusName(status)) + ">";
    }
    mode_t Mode(const std::string& relative) const {
        struct stat st {};
        return ::stat(HostOf(relative).c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }
    std::vector<std::string> Names(const std::string& pattern) const { return ListedNames(*fs, pattern); }
    // Where the temporary folder's file system gives coarse times, waits until the folder's last
    // change lies outside the window in which a stamp is withheld.
    void Settle(const std::string& relative) {
        const int fd = ::open(HostOf(relative).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        grain = TimeGrainOf(fd);
        ::close(fd);
        ASSERT_NE(grain, TimeGrain::Foreign) << "the temporary folder lies on a network file system";
        if (grain == TimeGrain::Coarse) std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    }
    // The stamp after a change: another one, or none while the change is too recent to tell.
    void ExpectChanged(const std::string& after, const std::string& before) const {
        EXPECT_FALSE(grain == TimeGrain::FineAfterQuery && after.empty());
        EXPECT_FALSE(!after.empty() && after == before) << after;
    }

    PosixFileSystem* const fs = static_cast<PosixFileSystem*>(&zelvane::HostFolder::fs());
    TimeGrain grain = TimeGrain::Coarse;  // of the folder settled last
};

using enum FsStatus;
using Statuses = std::vector<FsStatus>;

TEST_F(PosixFs, DrivesMapThroughTheWinePrefixAndBack) {
    Put("wine/drive_c/Games/Kotor/override/x.tga", "x");
    Put("outside/save.sav", "mine");
    Folder("wine/dosdevices");
    ASSERT_EQ(::symlink("../drive_c", HostOf("wine/dosdevices/c:").c_str()), 0);  // as Wine makes it
    Link("wine/drive_c/Games/Kotor/override/out", "outside");
    EXPECT_EQ(Read(R"(c:\games\KOTOR\Override\X.tga)"), "x");
    EXPECT_EQ(fs->ResolvedPath(R"(c:\games\kotor\Override\X.tga)"), R"(C:\Games\Kotor\override\x.tga)");
    EXPECT_EQ(fs->ResolvedPath(Win("wine/drive_c/Games/Kotor")), R"(C:\Games\Kotor)");
    EXPECT_EQ(fs->ResolvedPath(R"(C:\Games\Kotor\override\out\save.sav)"), Win("outside/save.sav"));
    EXPECT_EQ(fs->ResolvedPath(R"(C:\)"), R"(C:\)");
    EXPECT_EQ(fs->ResolvedPath(R"(D:\x)"), R"(D:\x)");  // a drive the prefix does not have
    Attributes a;
    EXPECT_EQ((Statuses{fs->OpenForRead(HostOf("outside/save.sav")),  // a plain host path
                        fs->GetAttributes(R"(D:\Games)", a),
                        fs->Rename(R"(C:\Games\Kotor\override\x.tga)", Win("x.tga"))}),
              (Statuses{Ok, PathNotFound, NotSameDevice}));
    EXPECT_EQ(Bytes("wine/drive_c/Games/Kotor/override/x.tga"), "x");
}

// Read-only is the owner write bit, even for root, and not even root adds to an immutable folder;
// whether a file may go is its folder's business, as for any POSIX file.
TEST_F(PosixFs, ReadOnlyIsTheOwnerWriteBitAndTheFolderDecidesARemoval) {
    Put("game/override/a.2da", "orig");
    ASSERT_EQ(::chmod(HostOf("game/override/a.2da").c_str(), 0644), 0);
    ASSERT_EQ(fs->SetAttributes(Win("game/override/a.2da"), {.readOnly = true, .hidden = true}), Ok);
    EXPECT_EQ(Mode("game/override/a.2da"), 0444u);
    Attributes a;
    ASSERT_EQ(fs->GetAttributes(Win("game/override/a.2da"), a), Ok);
    EXPECT_FALSE(a.hidden);  // no such thing here
    EXPECT_EQ(fs->Delete(Win("game/override/a.2da")), Ok);

    const std::string immutable = "chattr +i '" + HostOf("game/override") + "' 2>/dev/null";
    if (std::system(immutable.c_str()) != 0) GTEST_SKIP() << "chattr +i is not possible here";
    EXPECT_EQ((Statuses{fs->CanCreateFileIn(Win("game/override")), fs->WriteAll(Win("game/override/x.txt"), "x")}),
              (Statuses{AccessDenied, AccessDenied}));
    std::system(("chattr -i '" + HostOf("game/override") + "'").c_str());
}

// A file that shares its bytes and its mode with a name outside the roots (a hard link): a
// read-only one is deleted without its mode changed, what replaces it is a new file. Delete and
// Rename act on a link itself; a write follows it, also where it leads nowhere yet.
TEST_F(PosixFs, HardLinksAndALinkAsLastComponent) {
    Put("outside/profile", "the player's");
    Put("outside/notes", "the player's notes");
    Put("game/override/x.tga", "x");
    Put("outside/save.sav", "mine");
    ASSERT_EQ(::chmod(HostOf("outside/profile").c_str(), 0444), 0);
    ASSERT_EQ(::link(HostOf("outside/profile").c_str(), HostOf("game/profile").c_str()), 0);
    ASSERT_EQ(::link(HostOf("outside/notes").c_str(), HostOf("game/notes").c_str()), 0);
    Link("game/override/evil.tga", "outside/save.sav");
    Link("game/override/later.tga", "game/later.tga");
    Link("game/override/a", "game/override/b");
    Link("game/override/b", "game/override/a");
    fs->SetRoots({Win("game")});
    EXPECT_EQ(fs->ResolvedPath(Win("game/override/a/x.tga")), "");
    EXPECT_EQ((Statuses{fs->SetAttributes(Win("game/profile"), {}), fs->Delete(Win("game/profile")),
                        fs->WriteAll(Win("game/notes"), "a log"),
                        fs->Rename(Win("game/override/evil.tga"), Win("game/override/evil2.tga")),
                        fs->Delete(Win("game/override/evil2.tga")),
                        fs->WriteAll(Win("game/override/later.tga"), "later"),
                        fs->WriteAll(Win("game/override/a/x.tga"), "x"), fs->WriteAll(Win("game/override/a"), "x"),
                        fs->Delete(Win("game/override/a"))}),
              (Statuses{Ok, Ok, Ok, Ok, Ok, Ok, PathNotFound, BadName, Ok}));
    EXPECT_EQ(Mode("outside/profile"), 0444u);
    EXPECT_EQ(Bytes("game/notes") + "|" + Bytes("outside/notes"), "a log|the player's notes");
    EXPECT_FALSE(std::filesystem::is_symlink(HostOf("game/override/evil2.tga")));
    EXPECT_EQ(Bytes("outside/save.sav") + "|" + Bytes("game/later.tga"), "mine|later");
    // A root that is not there yet counts once it is.
    fs->SetRoots({Win("later")});
    EXPECT_EQ(fs->WriteAll(Win("game/override/x.tga"), "y"), OutsideRoots);
    Folder("later");
    fs->ForgetCachedState();
    EXPECT_EQ(fs->WriteAll(Win("later/x.tga"), "y"), Ok);
}

TEST_F(PosixFs, APathFollowsFortyLinksButNotFortyOne) {
    Put("real/x.txt", "x");
    Link("l1", "real");
    for (int i = 2; i <= 41; ++i) Link("l" + std::to_string(i), "l" + std::to_string(i - 1));
    EXPECT_EQ(Read(Win("l40/x.txt")), "x");
    EXPECT_EQ(fs->HostPathOf(Win("l40/x.txt")), HostOf("l40/x.txt"));
    EXPECT_NE(Read(Win("l41/x.txt")), "x");
    EXPECT_EQ(fs->HostPathOf(Win("l41/x.txt")), "");
}

// Whole or nothing, and no mode copied or set, so a volume that refuses every change of mode takes
// copies too; a rename to another volume is refused.
TEST_F(PosixFs, ACopyIsWholeOrNothingWithTheOrdinaryModeOfANewFile) {
    Put("backup/appearance.2da", "the table in use");
    // the memory of this process reads as a regular file that fails at its first byte
    EXPECT_EQ(fs->Copy("Z:\\proc\\self\\mem", Win("backup/appearance.2da")), IoError);
    EXPECT_EQ(Bytes("backup/appearance.2da"), "the table in use");
    EXPECT_EQ(Names(Win("backup/*")), std::vector<std::string>{"appearance.2da"});
    const mode_t mask = ::umask(022);
    ::umask(mask);
    for (const mode_t source : {mode_t{0777}, mode_t{0444}}) {
        Put("override/big.2da", std::string(200000, 'n'));
        ASSERT_EQ(::chmod(HostOf("override/big.2da").c_str(), source), 0);
        std::filesystem::remove(HostOf("backup/big.2da"));
        fs->ForgetCachedState();
        ASSERT_EQ(fs->Copy(Win("override/big.2da"), Win("backup/big.2da")), Ok);
        EXPECT_EQ(Mode("backup/big.2da"), 0666 & ~mask) << std::oct << source;
        EXPECT_EQ(Bytes("backup/big.2da"), std::string(200000, 'n'));
    }
    std::string other = "/dev/shm/zelvane-volume-XXXXXX";
    struct stat here {
    }, there{};
    if (::mkdtemp(other.data()) == nullptr || ::stat(root.c_str(), &here) != 0 || ::stat(other.c_str(), &there) != 0 ||
        here.st_dev == there.st_dev) {
        ::rmdir(other.c_str());
        GTEST_SKIP() << "no second volume at /dev/shm";
    }
    EXPECT_FALSE(fs->SameVolume(Win("backup/appearance.2da"), "Z:" + other + "\\a.2da"));
    EXPECT_EQ(fs->Rename(Win("backup/appearance.2da"), "Z:" + other + "\\a.2da"), NotSameDevice);
    std::filesystem::remove_all(other);
}

TEST_F(PosixFs, AWriteOntoAPipeIsRefusedWithoutWaiting) {
    ASSERT_EQ(::mkfifo(HostOf("log.rtf").c_str(), 0644), 0);
    const pid_t child = ::fork();  // a watchdog ends it should the write wait for a reader
    if (child == 0) {
        ::alarm(60);
        ::_exit(fs->WriteAll(Win("log.rtf"), "the log") == AccessDenied ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(std::filesystem::status(HostOf("log.rtf")).type(), std::filesystem::file_type::fifo);
}

TEST_F(PosixFs, ChangesWithTheFoldersEntriesAndWithTheFolderAtThatPath) {
    Put("override/sub/a.tga", "a");
    Settle("override/sub");
    const std::string sub = Win("override/sub");
    const std::string first = fs->FolderStamp(sub);
    ASSERT_FALSE(first.empty());
    Put("override/sub/a.tga", "changed");  // new bytes leave the folder's entries as they were
    fs->ForgetCachedState();
    EXPECT_EQ(fs->FolderStamp(Win("OVERRIDE\\SUB")), first);  // any letter case names it
    // a file added by another program, right after the stamp was read
    Put("override/sub/b.tga", "b");
    const std::string added = fs->FolderStamp(sub);  // the cache is not asked: the disk is
    ExpectChanged(added, first);
    // the run's own deletion, a rename within the folder, another folder put at the same path
    ASSERT_EQ(fs->Delete(sub + "\\b.tga"), FsStatus::Ok);
    const std::string deleted = fs->FolderStamp(sub);
    ExpectChanged(deleted, added);
    std::filesystem::rename(HostOf("override/sub/a.tga"), HostOf("override/sub/c.tga"));
    const std::string renamed = fs->FolderStamp(sub);
    ExpectChanged(renamed, deleted);
    std::filesystem::rename(HostOf("override/sub"), HostOf("override/old"));
    Folder("override/sub");
    fs->ForgetCachedState();
    ExpectChanged(fs->FolderStamp(sub), renamed);
}

TEST_F(PosixFs, NoStampForWhatIsNoFolder) {
    Put("override/a.tga", "a");
    Link("override/up", "");
    for (const char* none : {"override/a.tga", "override/missing", "missing/sub", "override/a.tga/sub"}) {
        EXPECT_EQ(fs->FolderStamp(Win(none)), "") << none;
    }
    // a link to a folder: the stamp of the folder it leads to
    Settle("");
    EXPECT_EQ(fs->FolderStamp(Win("override/up")), fs->FolderStamp(Win()));
}

TEST(FolderStampOf, WithheldWhileALaterChangeCouldKeepTheFoldersTimes) {
    const struct timespec now { 1000, 500'000'000 };
    const struct {
        struct timespec time;
        TimeGrain grain;
        bool withheld;
    } cases[] = {
        // times kept in nanoseconds: a tick of the coarse clock, at least 10 ms; one set ahead
        {{1000, 499'000'000}, TimeGrain::Coarse, true},
        {{1000, 600'000'000}, TimeGrain::Coarse, true},
        {{1000, 400'000'000}, TimeGrain::Coarse, false},
        {{999, 0}, TimeGrain::Coarse, true},  // whole seconds: two of them (FAT)
        {{998, 0}, TimeGrain::Coarse, false},
        // a later change gets a later time whatever the clock: no window; another machine's: never
        {{1000, 499'999'999}, TimeGrain::FineAfterQuery, false},
        {{900, 0}, TimeGrain::Foreign, true},
    };
    for (const auto& c : cases) {
        struct stat st {};
        st.st_dev = 8;
        st.st_ino = 42;
        st.st_mode = S_IFDIR | 0755;
        st.st_mtim = st.st_ctim = c.time;
        const std::string ns = std::to_string(c.time.tv_sec * 1'000'000'000LL + c.time.tv_nsec);
        EXPECT_EQ(FolderStampOf(st, now, c.grain), c.withheld ? "" : "8:42:" + ns + ":" + ns) << ns;
        st.st_mode = S_IFREG | 0644;
        EXPECT_EQ(FolderStampOf(st, now, TimeGrain::FineAfterQuery), "");  // no folder
    }
}

using Check = PosixInstanceCheck;

// A run as user 65534 in a child process that holds the folder's lock, when it can, until it goes;
// held: whether its run found the folder held by another.
struct OtherUsersRun {
    explicit OtherUsersRun(const std::string& path) {
        int ready[2];
        if (::pipe(ready) != 0) return;
        if ((pid = ::fork()) == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
            Check check(path);
            const char seen = check.AnotherInstanceRunning() ? 'y' : 'n';
            if (::write(ready[1], &seen, 1) == 1) ::pause();
            ::_exit(1);
        }
        ::close(ready[1]);
        char seen = '?';
        EXPECT_EQ(::read(ready[0], &seen, 1), 1);
        ::close(ready[0]);
        held = seen == 'y';
    }
    ~OtherUsersRun() {
        if (pid > 0 && ::kill(pid, SIGKILL) == 0) ::waitpid(pid, nullptr, 0);
    }
    pid_t pid = -1;
    bool held = false;
};

// A run excludes a second run and probes of the same folder, by whatever path it is named; probes
// share it. Nothing is written for the lock.
TEST_F(PosixFs, ARunExcludesOthersOfTheSameFolderUntilItEnds) {
    const std::string folder = root + "/mod";
    Folder("mod");
    Link("link", "mod");
    Folder("other");
    {
        Check probe(folder, Check::Mode::Probe);
        EXPECT_FALSE(Check(folder, Check::Mode::Probe).AnotherInstanceRunning());
        EXPECT_TRUE(Check(folder).AnotherInstanceRunning());
    }
    {
        Check first(folder);
        EXPECT_FALSE(first.AnotherInstanceRunning());
        EXPECT_EQ(first.Unavailable(), "");
        for (const std::string& same : {root + "/link", root + "/other/../mod/"}) {
            EXPECT_TRUE(Check(same).AnotherInstanceRunning()) << same;
        }
        EXPECT_TRUE(Check(folder, Check::Mode::Probe).AnotherInstanceRunning());
        EXPECT_FALSE(Check(root + "/other").AnotherInstanceRunning());
    }
    EXPECT_FALSE(Check(folder).AnotherInstanceRunning());
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    Check missing(root + "/missing");
    EXPECT_FALSE(missing.AnotherInstanceRunning());
    EXPECT_EQ(missing.Unavailable(), "No such file or directory");
}

// A run as root and the player's own run of the player's folder exclude each other, both ways, and
// the system drops the lock of a run that is killed.
TEST_F(PosixFs, RootAndAnotherUserExcludeEachOtherFromAFolder) {
    if (::geteuid() != 0) GTEST_SKIP() << "not root: no other user to run as";
    const std::string folder = root + "/mod";
    Folder("mod");
    ASSERT_EQ(::chmod(root.c_str(), 0755), 0);
    ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    {
        Check rootRun(folder);
        EXPECT_TRUE(OtherUsersRun(folder).held);
    }
    {
        const OtherUsersRun player(folder);
        ASSERT_FALSE(player.held);
        EXPECT_TRUE(Check(folder).AnotherInstanceRunning());
    }
    EXPECT_FALSE(Check(folder).AnotherInstanceRunning());  // a killed run's lock goes with it
}

TEST_F(PosixFs, CaseTwinsAreEachFoundByTheirOwnNameAndOthersByNameOrder) {
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
TEST_F(PosixFs, CodePage1252NamesFindTheirUtf8FilesAndNoOthers) {
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
TEST_F(PosixFs, OpenForReadAnswersAsAnOpenForReadingWould) {
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

// 1252 where the name can be; else its own bytes, or "?" (a name no path can name) for what would
// read as another name: a backslash, bytes that are no UTF-8.
TEST(HostNames, AHostNameIs1252WhereItCanBeAndNeverAnotherName) {
    EXPECT_EQ(WindowsNameOf("\xE2\x82\xAC \xC2\x81"), "\x80 \x81");  // the euro sign; a C1 control
    EXPECT_EQ(WindowsNameOf("na\xEFve"), "na?ve");
    EXPECT_EQ(WindowsNameOf("\xC3\xA9\\b.tga"), "\xE9?b.tga");
}

// A pipe, and a regular file of size 0 that reads on past its size (/proc/self/pagemap
// would not end at all): none is read until memory runs out or waited on. What a line reader is
// asked for later is read later: the file grows meanwhile.
TEST_F(PosixFs, OnlyRegularFilesAreReadAndLinesOneAtATimeUpToALineTooLong) {
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

constexpr std::string_view kText =
    "; the registry of a test machine\r\n# another comment\n\n"
    "HKEY_LOCAL_MACHINE\\Software\\BioWare\\SW\\KOTOR|Path|C:\\Games\\Kotor\r\n"
    "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|%GAMES%\\Kotor2|REG_EXPAND_SZ\n"
    "HKEY_LOCAL_MACHINE\\Software\\Pipes|Data|a|b\nHKEY_LOCAL_MACHINE\\Software\\Empty|Path|\n"
    "HKEY_CURRENT_USER\\Software\\BioWare\\SW\\KOTOR|Path|C:\\User\nnot a line\nHKEY_NOWHERE\\x|y|z\n"
    "HKEY_LOCAL_MACHINE\\Later|Path|one\nHKLM\\later|path|two\nHKEY_LOCAL_MACHINE\\u|Path|Z:\\Sp\xc3\xafl\\\xd0\x94\n";

// Keys and value names ignore letter case, a later line wins, every string ends in a NUL and UTF-8
// is taken to code page 1252 where it can be (1252 cannot hold the Д).
TEST_F(PosixFs, RegistryFileValuesAreFoundByKeyAndNameInCodePage1252) {
    const struct {
        std::uint32_t root;
        const char* key;
        const char* name;
        std::uint32_t type;
        std::string data;  // "<none>": no such value
    } cases[] = {
        {kHkeyLocalMachine, "software\\bioware\\sw\\kotor", "PATH", kRegSz, std::string("C:\\Games\\Kotor\0", 15)},
        {kHkeyLocalMachine, "Software\\LucasArts\\KotOR2", "Path", kRegExpandSz, std::string("%GAMES%\\Kotor2\0", 15)},
        {kHkeyLocalMachine, "Software\\Pipes", "Data", kRegSz, std::string("a|b\0", 4)},
        {kHkeyLocalMachine, "Software\\Empty", "Path", kRegSz, std::string("\0", 1)},
        {0x80000001u, "Software\\BioWare\\SW\\KOTOR", "Path", kRegSz, std::string("C:\\User\0", 8)},
        {kHkeyLocalMachine, "Later", "Path", kRegSz, std::string("two\0", 4)},
        {kHkeyLocalMachine, "u", "Path", kRegSz, std::string("Z:\\Sp\xefl\\\xd0\x94\0", 11)},
        {kHkeyLocalMachine, "Software\\BioWare\\SW\\KOTOR", "Other", kRegSz, "<none>"},
        {kHkeyLocalMachine, "Software\\BioWare\\SW", "Path", kRegSz, "<none>"},
        {0x80000003u, "Software\\BioWare\\SW\\KOTOR", "Path", kRegSz, "<none>"},
    };
    Put("registry.txt", std::string(kText));
    const FileRegistry registry(HostOf("registry.txt"));
    for (const auto& c : cases) {
        const auto value = registry.Query(c.root, c.key, c.name);
        EXPECT_EQ(value ? value->data : "<none>", c.data) << c.key;
        EXPECT_EQ(value ? value->type : c.type, c.type) << c.key;
    }
    EXPECT_FALSE(FileRegistry("").Query(kHkeyLocalMachine, "Software\\BioWare\\SW\\KOTOR", "Path"));
}

// --registry /dev/zero would otherwise be read until memory runs out.
TEST_F(PosixFs, RegistryFilesThatAreNotRegularOrTooLargeAreRefusedWithAReason) {
    const std::string path = HostOf("registry.txt");
    const std::string fifo = HostOf("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // no writer: no wait
    for (const std::string& file : {std::string("/dev/zero"), std::string("/tmp"), fifo}) {
        EXPECT_EQ(FileRegistry(file).Error(), "the registry file " + file + " is not a regular file");
    }
    EXPECT_EQ(FileRegistry("/nonexistent/registry.txt").Error(), "");

    std::string big(FileRegistry::kMaxFileSize - kText.size(), ';');
    big.back() = '\n';
    std::ofstream(path, std::ios::binary) << big << kText;  // at the limit
    EXPECT_EQ(FileRegistry(path).Error(), "");
    EXPECT_TRUE(FileRegistry(path).Query(kHkeyLocalMachine, "Software\\BioWare\\SW\\KOTOR", "Path"));
    std::ofstream(path, std::ios::binary | std::ios::app) << ";";
    const FileRegistry overTheLimit(path);
    EXPECT_EQ(overTheLimit.Error(), "the registry file " + path + " is larger than 1 MiB");
    EXPECT_FALSE(overTheLimit.Query(kHkeyLocalMachine, "Software\\BioWare\\SW\\KOTOR", "Path"));
}

const char* const kSystemReg =
    "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
    "[Software\\\\Wow6432Node\\\\BioWare\\\\SW\\\\KOTOR] 1700000000\n#time=1d9a1b2c3d4e5f6\n"
    "\"Path\"=\"C:\\\\Games\\\\Star Wars \\\"KotOR\\\"\"\n\"Version\"=dword:00000001\n"
    "\"Na\\xefve\"=\"caf\\xe9 \\x20ac\\x2603 t\\tab\"\n\"Octal\"=\"a\\101\\0\"\n\r\n"
    "[Software\\\\LucasArts\\\\KotOR2] 1700000001\n\"Path\"=str(2):\"%ProgramFiles%\\\\KotOR2\"\n"
    "\"Hex\"=hex(1):43,00,3a,00,5c,00,\\\n  4b,00,00,00\n@=\"default\"\n"
    "[Software\\\\A] 1\n\"Path\"=\"unterminated\n\"Other\n\"Good\"=\"yes\"\n[broken\n\"X\"=\"y\"\n";

// Wine's escapes, any letter case and slashes around a key; \xe9 is one UTF-16 unit, the euro sign
// is in code page 1252, the snowman is not; broken lines are skipped.
TEST(WineRegistry, ReadsKeysAndValuesWithWinesEscapes) {
    const std::string kotor = "Software\\Wow6432Node\\BioWare\\SW\\KOTOR";
    const struct {
        std::string key;
        const char* name;
        std::string data;  // "<none>": no such string value
    } cases[] = {
        {kotor, "Path", std::string("C:\\Games\\Star Wars \"KotOR\"") + '\0'},
        {"\\SOFTWARE\\wow6432node\\bioware\\sw\\kotor\\", "PATH", std::string("C:\\Games\\Star Wars \"KotOR\"") + '\0'},
        {kotor, "Na\xefve", std::string("caf\xe9 \x80\x3f t\tab") + '\0'},
        {kotor, "Octal", std::string("aA\0\0", 4)},
        {kotor, "Version", "<none>"},
        {"Software\\BioWare\\SW\\KOTOR", "Path", "<none>"},
        {"Software\\LucasArts\\KotOR2", "Hex", std::string("C:\\K") + '\0'},
        {"Software\\LucasArts\\KotOR2", "", std::string("default") + '\0'},
        {"Software\\A", "Path", "<none>"},
        {"Software\\A", "Good", std::string("yes") + '\0'},
    };
    const WineRegistry registry(kSystemReg);
    for (const auto& c : cases) {
        const auto value = registry.Query(kHkeyLocalMachine, c.key, c.name);
        EXPECT_EQ(value ? value->data : "<none>", c.data) << c.key << " " << c.name;
    }
    EXPECT_EQ(registry.Utf8String(kotor, "Na\xc3\xafve"), std::string("caf\xc3\xa9 \xe2\x82\xac\xe2\x98\x83 t\tab"));
    EXPECT_EQ(registry.Query(kHkeyLocalMachine, "Software\\LucasArts\\KotOR2", "Path")->type, kRegExpandSz);
    EXPECT_FALSE(registry.Query(0x80000001u, "Software\\LucasArts\\KotOR2", "Path"));
}

// Every level of blocks is a call deeper in the parser: a file nested 200,000 deep ends where
// the nesting passes 64 levels instead of running out of stack.
TEST(SteamFiles, NestingBeyondSixtyFourLevelsEndsTheText) {
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "\"k\" {";
    const auto nodes = ParseVdf(text);
    ASSERT_EQ(nodes.size(), 1u);
    int depth = 1;
    for (const VdfNode* node = &nodes[0]; !node->children.empty(); node = &node->children[0]) ++depth;
    EXPECT_EQ(depth, 64);
}

TEST(SteamFiles, KeyValuesWithEscapesCommentsAndConditions) {
    const auto nodes = ParseVdf(
        "// comment\n\"AppState\"\n{\n\t\"appid\"\t\t\"208580\"\n\t\"installdir\"\t\"Knights \\\"II\\\"\"\n"
        "\t\"UserConfig\" { \"language\" \"english\" [$LINUX] }\n\tbare value\n}\n");
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_EQ(nodes[0].key, "AppState");
    ASSERT_TRUE(nodes[0].Child("INSTALLDIR") && nodes[0].Child("userconfig") && nodes[0].Child("bare"));
    EXPECT_EQ(nodes[0].Child("installdir")->value, "Knights \"II\"");
    EXPECT_EQ(nodes[0].Child("userconfig")->Child("language")->value, "english");
    EXPECT_EQ(nodes[0].Child("bare")->value, "value");
}

}  // namespace
}  // namespace zelvane::posix
