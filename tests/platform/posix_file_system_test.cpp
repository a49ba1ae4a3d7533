// What only the POSIX file system does, on a fresh host folder: Wine's drives, the owner write bit
// as the read-only flag, hard links, links as the last component, what reaches the medium, the
// stamps of folders (what changes them, what keeps them, and when they are withheld because a
// change could keep the folder's times), and the lock that keeps a second run off a folder.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "platform/posix/folder_stamp.hpp"
#include "platform/posix/instance_lock.hpp"
#include "tests/platform/host_folder_fixture.hpp"

namespace zelvane {
namespace {

using PosixFs = HostFolderTest;
using enum FsStatus;
using Statuses = std::vector<FsStatus>;
using posix::FolderStampOf;
using posix::TimeGrain;

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

// A pipe at the name of a write is refused at once and left as it is.
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

class PosixFolderStamp : public HostFolderTest {
protected:
    // Where the temporary folder's file system gives coarse times, waits until the folder's last
    // change lies outside the window in which a stamp is withheld.
    void Settle(const std::string& relative) {
        const int fd = ::open(HostOf(relative).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        grain = posix::TimeGrainOf(fd);
        ::close(fd);
        ASSERT_NE(grain, TimeGrain::Foreign) << "the temporary folder lies on a network file system";
        if (grain == TimeGrain::Coarse) std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    }
    // The stamp after a change: another one, or none while the change is too recent to tell.
    void ExpectChanged(const std::string& after, const std::string& before) const {
        EXPECT_FALSE(grain == TimeGrain::FineAfterQuery && after.empty());
        EXPECT_FALSE(!after.empty() && after == before) << after;
    }

    TimeGrain grain = TimeGrain::Coarse;
};

TEST_F(PosixFolderStamp, ChangesWithTheFoldersEntriesAndWithTheFolderAtThatPath) {
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

TEST_F(PosixFolderStamp, NoStampForWhatIsNoFolder) {
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

class InstanceLock : public HostFolderTest {
protected:
    InstanceLock() { Folder("mod"); }
    const std::string folder = root + "/mod";
};

// A run excludes a second run and probes of the same folder, by whatever path it is named; probes
// share it. Nothing is written for the lock.
TEST_F(InstanceLock, ARunExcludesOthersOfTheSameFolderUntilItEnds) {
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
TEST_F(InstanceLock, RootAndAnotherUserExcludeEachOther) {
    if (::geteuid() != 0) GTEST_SKIP() << "not root: no other user to run as";
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

}  // namespace
}  // namespace zelvane
