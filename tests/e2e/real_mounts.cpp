#include "tests/e2e/real_mounts.hpp"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace zelvane::e2e {
namespace {

constexpr long kFuseSuperMagic = 0x65735546;
constexpr off_t kImageSize = 32 * 1024 * 1024;

// Runs a program (found in $PATH or in the system folders root's tools live in) to its end; what
// it printed is kept for the reason of a failure. Its arguments are paths of the build folder.
bool Command(const std::vector<std::string>& arguments, std::string& output) {
    std::string line = "PATH=\"$PATH:/usr/sbin:/sbin\"";
    for (const std::string& argument : arguments) line += " '" + argument + "'";
    output.clear();
    FILE* pipe = ::popen((line + " </dev/null 2>&1").c_str(), "r");
    if (pipe == nullptr) return false;
    char buffer[4096];
    for (std::size_t got = 0; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
    const int status = ::pclose(pipe);
    while (!output.empty() && (output.back() == '\n' || output.back() == ' ')) output.pop_back();
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The mount points below a folder, deepest first.
std::vector<std::string> MountsBelow(const std::string& folder) {
    std::vector<std::string> found;
    std::ifstream info("/proc/self/mountinfo");
    for (std::string line; std::getline(info, line);) {
        std::istringstream fields(line);
        std::string id, parent, device, root, mountPoint;
        fields >> id >> parent >> device >> root >> mountPoint;
        if (mountPoint.starts_with(folder + "/")) found.insert(found.begin(), mountPoint);
    }
    return found;
}

// The sets of test processes that died without unmounting them.
void ReapSetsOfEndedProcesses(const std::string& work) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(work, error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
        if (::kill(static_cast<pid_t>(std::stol(name)), 0) == 0 || errno != ESRCH) continue;
        for (const std::string& mountPoint : MountsBelow(entry.path().string()))
            ::umount2(mountPoint.c_str(), MNT_DETACH);
        std::string listed;
        Command({"losetup", "-j", (entry.path() / "exfat.img").string()}, listed);
        std::istringstream lines(listed);
        for (std::string line, ignored; std::getline(lines, line);) {
            if (line.starts_with("/dev/loop")) Command({"losetup", "-d", line.substr(0, line.find(':'))}, ignored);
        }
        std::filesystem::remove_all(entry.path(), error);
    }
}

}  // namespace

std::unique_ptr<RealMount> RealMount::Make(Kind kind, const std::string& folder, std::string& whyNot) {
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        whyNot = "no usable /dev/fuse on this machine";
        return nullptr;
    }
    std::unique_ptr<RealMount> mount(new RealMount());
    const bool ntfs = kind == Kind::Ntfs;
    mount->image_ = folder + (ntfs ? "/ntfs.img" : "/exfat.img");
    mount->mountPoint_ = folder + (ntfs ? "/ntfs" : "/exfat");
    std::filesystem::create_directories(mount->mountPoint_);
    const int fd = ::open(mount->image_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const bool sized = fd >= 0 && ::ftruncate(fd, kImageSize) == 0;
    if (fd >= 0) ::close(fd);
    std::string output;
    if (!sized) {
        whyNot = "cannot make the image " + mount->image_;
    } else if (!(ntfs ? Command({"mkntfs", "-F", "-Q", "-q", mount->image_}, output)
                      : Command({"mkfs.exfat", mount->image_}, output))) {
        whyNot = std::string("cannot format the ") + Name(kind) + " image: " + output;
    } else if (!ntfs && !Command({"losetup", "-f", "--show", mount->image_}, mount->loopDevice_)) {
        whyNot = "cannot attach the exFAT image to a loop device: " + mount->loopDevice_;
        mount->loopDevice_.clear();
    } else if (struct statfs st{};
               !(ntfs ? Command({"ntfs-3g", "-o", "umask=000", mount->image_, mount->mountPoint_}, output)
                      : Command({"mount.exfat-fuse", "-o", "umask=000", mount->loopDevice_, mount->mountPoint_},
                                output)) ||
               ::statfs(mount->mountPoint_.c_str(), &st) != 0 || st.f_type != kFuseSuperMagic) {
        whyNot = std::string("cannot mount the ") + Name(kind) + " image: " + output;
    } else {
        return mount;
    }
    return nullptr;
}

RealMount::~RealMount() {
    bool unmounted = ::umount2(mountPoint_.c_str(), 0) == 0;
    for (int attempt = 0; !unmounted && errno == EBUSY && attempt < 50; ++attempt) {
        ::usleep(100 * 1000);  // a run that was killed may still hold a file there for a moment
        unmounted = ::umount2(mountPoint_.c_str(), 0) == 0;
    }
    if (!unmounted) ::umount2(mountPoint_.c_str(), MNT_DETACH);
    std::string ignored;
    if (!loopDevice_.empty()) Command({"losetup", "-d", loopDevice_}, ignored);
    std::error_code error;
    std::filesystem::remove(mountPoint_, error);
    std::filesystem::remove(image_, error);
}

std::unique_ptr<RealMount> RealMountTest::ntfs_;
std::unique_ptr<RealMount> RealMountTest::exfat_;
std::string RealMountTest::whyNot_;

void RealMountTest::SetUpTestSuite() {
    whyNot_.clear();
    if (::geteuid() != 0) {
        whyNot_ = "not root: the images are mounted as a player's system mounts them, by root";
        return;
    }
    const std::string work = ZELVANE_MOUNT_WORK;
    std::filesystem::create_directories(work);
    ReapSetsOfEndedProcesses(work);
    const std::string folder = work + "/" + std::to_string(::getpid());
    std::filesystem::create_directories(folder);
    // The mount points are reached by the player's runs: every folder on the way must be open to them.
    ::chmod(work.c_str(), 0755);
    ::chmod(folder.c_str(), 0755);
    for (std::filesystem::path p = work; p != p.root_path(); p = p.parent_path()) {
        struct stat st {};
        if (::stat(p.c_str(), &st) != 0 || (st.st_mode & 0001) == 0) {
            whyNot_ = "the build folder lies below " + p.string() + ", which other users cannot enter";
            return;
        }
    }
    ntfs_ = RealMount::Make(RealMount::Kind::Ntfs, folder, whyNot_);
    if (ntfs_) exfat_ = RealMount::Make(RealMount::Kind::Exfat, folder, whyNot_);
}

void RealMountTest::TearDownTestSuite() {
    exfat_.reset();
    ntfs_.reset();
    std::error_code error;
    std::filesystem::remove_all(std::string(ZELVANE_MOUNT_WORK) + "/" + std::to_string(::getpid()), error);
}

void RealMountTest::SetUp() {
    if (ntfs_ && exfat_) return;
    const char* allow = std::getenv("ZELVANE_ALLOW_NO_FUSE");
    if (allow != nullptr && std::string(allow) == "1") {
        GTEST_SKIP() << "SKIPPED LOUDLY: no real NTFS/exFAT mount here (" << whyNot_
                     << "); ZELVANE_ALLOW_NO_FUSE=1 allows it, so shared Windows partitions were NOT tested";
    }
    FAIL() << "no real NTFS/exFAT mount here: " << whyNot_
           << " (set ZELVANE_ALLOW_NO_FUSE=1 to skip the tests on real mounts instead)";
}

void RealMountTest::TearDown() {
    for (const std::string& view : views_) {
        if (::umount2(view.c_str(), 0) != 0) ::umount2(view.c_str(), MNT_DETACH);
        ::rmdir(view.c_str());
    }
    std::error_code error;
    for (const std::string& folder : made_) std::filesystem::remove_all(folder, error);
}

std::string RealMountTest::FolderOn(RealMount::Kind kind, const std::string& name) {
    const std::string folder = (kind == RealMount::Kind::Ntfs ? ntfs_ : exfat_)->Path() + "/" + name;
    std::filesystem::create_directories(folder);
    made_.push_back(folder);
    return folder;
}

std::string RealMountTest::ReadOnlyView(const std::string& folder) {
    const std::string view = folder + ".read-only";
    std::filesystem::create_directories(view);
    if (::mount(folder.c_str(), view.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        ADD_FAILURE() << "cannot bind " << folder << ": " << std::strerror(errno);
        return view;
    }
    views_.push_back(view);
    if (::mount(nullptr, view.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
        ADD_FAILURE() << "cannot remount " << view << " read-only: " << std::strerror(errno);
    }
    return view;
}

}  // namespace zelvane::e2e
