// The stamps of host folders: what changes them, what keeps them, and when they are withheld
// because a change could keep the folder's times.

#include <fcntl.h>

#include <chrono>
#include <thread>

#include "platform/posix/folder_stamp.hpp"
#include "tests/platform/host_folder_fixture.hpp"

namespace zelvane {
namespace {

using posix::FolderStampOf;
using posix::TimeGrain;

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

}  // namespace
}  // namespace zelvane
