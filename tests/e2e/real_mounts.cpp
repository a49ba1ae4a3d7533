#include "tests/e2e/real_mounts.hpp"

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

namespace zelvane::e2e {
namespace {

namespace fs = std::filesystem;

constexpr long kFuseSuperMagic = 0x65735546;

// Runs a shell command line to its end (root's tools found in the system folders too); what it
// printed is kept for the reason of a failure.
bool Command(const std::string& line, std::string& output) {
    output.clear();
    FILE* pipe = ::popen(("PATH=\"$PATH:/usr/sbin:/sbin\" " + line + " </dev/null 2>&1").c_str(), "r");
    if (pipe == nullptr) return false;
    char buffer[4096];
    for (std::size_t got = 0; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
    const int status = ::pclose(pipe);
    while (!output.empty() && (output.back() == '\n' || output.back() == ' ')) output.pop_back();
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Unmounts every mount point below the folder, deepest first, then the loop devices of its exFAT
// image, waiting a moment for a mount a killed run may still hold.
void Unmount(const std::string& folder) {
    std::vector<std::string> points;
    std::ifstream info("/proc/self/mountinfo");
    for (std::string line; std::getline(info, line);) {
        std::istringstream fields(line);
        std::string id, parent, device, root, point;
        fields >> id >> parent >> device >> root >> point;
        if (point.starts_with(folder + "/")) points.insert(points.begin(), point);
    }
    for (const std::string& point : points) {
        bool unmounted = ::umount2(point.c_str(), 0) == 0;
        for (int attempt = 0; !unmounted && errno == EBUSY && attempt < 50; ++attempt) {
            ::usleep(100 * 1000);
            unmounted = ::umount2(point.c_str(), 0) == 0;
        }
        if (!unmounted) ::umount2(point.c_str(), MNT_DETACH);
    }
    std::string listed, ignored;
    Command("losetup -j '" + folder + "/exfat.img'", listed);
    std::istringstream lines(listed);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("/dev/loop")) Command("losetup -d " + line.substr(0, line.find(':')), ignored);
    }
    std::error_code error;
    fs::remove_all(folder, error);
}

std::string Work() { return ZELVANE_MOUNT_WORK; }
std::string Set() { return Work() + "/" + std::to_string(::getpid()); }
std::string PointOf(MountKind kind) { return Set() + (kind == MountKind::Ntfs ? "/ntfs" : "/exfat"); }
std::string whyNot;  // "" when both mounts are made

// Formats a fresh image of the kind and mounts it; the reason when that cannot be done here.
std::string Mount(MountKind kind) {
    const bool ntfs = kind == MountKind::Ntfs;
    const std::string name = ntfs ? "NTFS (ntfs-3g)" : "exFAT (exfat-fuse)";
    const std::string image = Set() + (ntfs ? "/ntfs.img" : "/exfat.img");
    const std::string point = PointOf(kind);
    fs::create_directories(point);
    std::string output, loop;
    std::ofstream(image).close();
    fs::resize_file(image, 32 * 1024 * 1024);
    if (!Command(ntfs ? "mkntfs -F -Q -q '" + image + "'" : "mkfs.exfat '" + image + "'", output)) {
        return "cannot format the " + name + " image: " + output;
    }
    if (!ntfs && !Command("losetup -f --show '" + image + "'", loop)) {
        return "cannot attach the exFAT image to a loop device: " + loop;
    }
    struct statfs st {};
    if (!Command((ntfs ? "ntfs-3g -o umask=000 '" + image : "mount.exfat-fuse -o umask=000 '" + loop) + "' '" + point +
                     "'",
                 output) ||
        ::statfs(point.c_str(), &st) != 0 || st.f_type != kFuseSuperMagic) {
        return "cannot mount the " + name + " image: " + output;
    }
    return "";
}

}  // namespace

void RealMountTest::SetUpTestSuite() {
    if (::geteuid() != 0) {
        whyNot = "not root: the images are mounted as a player's system mounts them, by root";
        return;
    }
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        whyNot = "no usable /dev/fuse on this machine";
        return;
    }
    fs::create_directories(Set());
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(Work(), error)) {  // the sets of processes that died
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        if (::kill(static_cast<pid_t>(std::stol(name)), 0) != 0 && errno == ESRCH) Unmount(entry.path().string());
    }
    // The mount points are reached by the player's runs: every folder on the way must be open to them.
    ::chmod(Work().c_str(), 0755);
    ::chmod(Set().c_str(), 0755);
    for (fs::path p = Work(); p != p.root_path(); p = p.parent_path()) {
        struct stat st {};
        if (::stat(p.c_str(), &st) != 0 || (st.st_mode & 0001) == 0) {
            whyNot = "the build folder lies below " + p.string() + ", which other users cannot enter";
            return;
        }
    }
    whyNot = Mount(MountKind::Ntfs);
    if (whyNot.empty()) whyNot = Mount(MountKind::Exfat);
}

void RealMountTest::TearDownTestSuite() { Unmount(Set()); }

void RealMountTest::SetUp() {
    if (whyNot.empty()) return;
    const char* allow = std::getenv("ZELVANE_ALLOW_NO_FUSE");
    if (allow != nullptr && std::string(allow) == "1") {
        GTEST_SKIP() << "SKIPPED LOUDLY: no real NTFS/exFAT mount here (" << whyNot
                     << "); ZELVANE_ALLOW_NO_FUSE=1 allows it, so shared Windows partitions were NOT tested";
    }
    FAIL() << "no real NTFS/exFAT mount here: " << whyNot
           << " (set ZELVANE_ALLOW_NO_FUSE=1 to skip the tests on real mounts instead)";
}

void RealMountTest::TearDown() {
    for (const std::string& view : views_) {
        if (::umount2(view.c_str(), 0) != 0) ::umount2(view.c_str(), MNT_DETACH);
        ::rmdir(view.c_str());
    }
    std::error_code error;
    for (const std::string& folder : made_) fs::remove_all(folder, error);
}

std::string RealMountTest::FolderOn(MountKind kind, const std::string& name) {
    const std::string folder = PointOf(kind) + "/" + name;
    fs::create_directories(folder);
    made_.push_back(folder);
    return folder;
}

std::string RealMountTest::ReadOnlyView(const std::string& folder) {
    const std::string view = folder + ".read-only";
    fs::create_directories(view);
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
