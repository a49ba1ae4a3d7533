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

#include <memory>
#include <string>
#include <vector>

namespace zelvane::e2e {

class RealMount {
public:
    enum class Kind { Ntfs, Exfat };

    // Makes a fresh image of the kind in `folder` and mounts it at `folder`/<kind>; nullptr with
    // the reason in `whyNot` when that cannot be done here.
    static std::unique_ptr<RealMount> Make(Kind kind, const std::string& folder, std::string& whyNot);
    ~RealMount();
    RealMount(const RealMount&) = delete;
    RealMount& operator=(const RealMount&) = delete;

    const std::string& Path() const { return mountPoint_; }
    static const char* Name(Kind kind) { return kind == Kind::Ntfs ? "NTFS (ntfs-3g)" : "exFAT (exfat-fuse)"; }

private:
    RealMount() = default;
    std::string image_;
    std::string loopDevice_;  // exfat-fuse mounts a block device: the image through a loop device
    std::string mountPoint_;
};

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
    std::string FolderOn(RealMount::Kind kind, const std::string& name);
    // The folder seen again, read-only, at a new mount point beside it (a bind mount remounted
    // read-only, as a hibernated Windows partition is mounted); unmounted when the test ends.
    std::string ReadOnlyView(const std::string& folder);

private:
    std::vector<std::string> made_;
    std::vector<std::string> views_;
    static std::unique_ptr<RealMount> ntfs_;
    static std::unique_ptr<RealMount> exfat_;
    static std::string whyNot_;
};

}  // namespace zelvane::e2e
