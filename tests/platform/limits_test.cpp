// Paths at their edges: a drive letter alone, and the 40 links a host path may pass through.
#include <string>

#include "platform/paths/windows_path.hpp"
#include "tests/platform/host_folder_fixture.hpp"

namespace zelvane {
namespace {

TEST(PathLimits, ADriveLetterAloneIsTheRootOfItsDrive) {
    WindowsPath path;
    ASSERT_EQ(ReadDrivePath("C:", false, path), FsStatus::Ok);
    EXPECT_EQ(path.Text(), "C:\\");
}

class PosixLimits : public HostFolderTest {};

TEST_F(PosixLimits, APathFollowsFortyLinksButNotFortyOne) {
    Put("real/x.txt", "x");
    Link("l1", "real");
    for (int i = 2; i <= 41; ++i) Link("l" + std::to_string(i), "l" + std::to_string(i - 1));
    std::string bytes;
    EXPECT_EQ(fs->ReadAll(Win("l40/x.txt"), bytes, 10), FsStatus::Ok);
    EXPECT_EQ(bytes, "x");
    EXPECT_EQ(fs->HostPathOf(Win("l40/x.txt")), HostOf("l40/x.txt"));
    EXPECT_NE(fs->ReadAll(Win("l41/x.txt"), bytes, 10), FsStatus::Ok);
    EXPECT_EQ(fs->HostPathOf(Win("l41/x.txt")), "");
}

}  // namespace
}  // namespace zelvane
