#pragma once
// Real file systems mounted as a Linux player's system mounts a shared Windows partition: an NTFS
// image through ntfs-3g and an exFAT image through exfat-fuse, both mounted by root with
// umask=000 (every file mode 0777, owned by root, and chmod refused to everyone else). The images
// and mount points live in the build folder, one set per test process; they are unmounted when
// the test suite ends, and a set left by a process that died is unmounted by the next one.
//
// Mounting needs root, /dev/fuse, loop devices and the Debian packages ntfs-3g, exfat-fuse and
// exfatprogs (tools/install-deps.sh). Where they are missing the tests fail with the reason;
// ZELVANE_ALLOW_NO_FUSE=1 turns that into a skip that says why.

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelvane::e2e {

enum class MountKind { Ntfs, Exfat };

// The base of the tests on real mounts: both file systems, mounted once for the test suite.
class RealMountTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    // Fails (or skips, with ZELVANE_ALLOW_NO_FUSE=1) the test when the mounts could not be made.
    void SetUp() override;
    // Removes what the test made on the mounts, read-only views first.
    void TearDown() override;

    // A fresh folder on the mount of a kind, removed when the test ends.
    std::string FolderOn(MountKind kind, const std::string& name);
    // The folder seen again, read-only, at a new mount point beside it (a bind mount remounted
    // read-only, as a hibernated Windows partition is mounted); unmounted when the test ends.
    std::string ReadOnlyView(const std::string& folder);

private:
    std::vector<std::string> made_;
    std::vector<std::string> views_;
};

}  // namespace zelvane::e2e
