// The console as a Linux player runs it against a shared Windows partition: an NTFS image through
// ntfs-3g and an exFAT image through exfat-fuse, mounted by root with umask=000 (every file mode
// 0777, owned by root, and chmod refused to everyone else), the run made as an unprivileged user.
// There nobody may change a file's mode, so a copy that insists on one fails; and a partition that
// Windows left hibernated is mounted read-only.
//
// The images and mount points live in the build folder, one set per test process, unmounted when
// the suite ends or by the next process. Mounting needs root, /dev/fuse, loop devices and ntfs-3g,
// exfat-fuse and exfatprogs (tools/install-deps.sh); without them the tests fail with the reason,
// or, with ZELVANE_ALLOW_NO_FUSE=1, skip saying why.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/posix/instance_lock.hpp"
#include "tests/e2e/e2e_support.hpp"

namespace zelvane::e2e {
namespace {

enum class MountKind { Ntfs, Exfat };

const std::string kWork = ZELVANE_MOUNT_WORK;
const std::string kSet = kWork + "/" + std::to_string(::getpid());
std::string PointOf(MountKind kind) { return kSet + (kind == MountKind::Ntfs ? "/ntfs" : "/exfat"); }

// Runs a shell command line to its end (root's tools found in the system folders too): "" when it
// succeeds, else what it printed. `unmount FOLDER` unmounts every mount point below the folder,
// deepest first (a mount a killed run may still hold after a second's wait, else lazily), then the
// loop devices of its exFAT image, and removes the folder.
std::string Failure(const std::string& line) {
    const std::string unmount =
        "unmount() { for p in $(findmnt -rno TARGET | grep -F \"$1/\" | sort -r); do umount \"$p\" || "
        "{ sleep 1; umount \"$p\"; } || umount -l \"$p\"; done; "
        "losetup -j \"$1/exfat.img\" | cut -d: -f1 | xargs -r -n1 losetup -d; rm -rf \"$1\"; }; ";
    const ConsoleRun run =
        RunConsole(Launch{{"-c", "PATH=\"$PATH:/usr/sbin:/sbin\"; " + unmount + line}, {}, "", "/bin/sh"});
    return run.exitCode == 0 ? "" : run.out + run.err + "(failed)";
}

// Both mounts, made once for the test suite, after the sets of processes that died are unmounted;
// the reason they could not be made, or "".
std::string MountBoth() {
    if (::geteuid() != 0) return "not root: the images are mounted as a player's system mounts them, by root";
    if (::access("/dev/fuse", R_OK | W_OK) != 0) return "no usable /dev/fuse on this machine";
    std::filesystem::create_directories(kSet);
    // The mount points are reached by the player's runs: every folder on the way must be open to them.
    ::chmod(kWork.c_str(), 0755);
    ::chmod(kSet.c_str(), 0755);
    for (std::filesystem::path p = kWork; p != p.root_path(); p = p.parent_path()) {
        struct stat st {};
        if (::stat(p.c_str(), &st) != 0 || (st.st_mode & 0001) == 0)
            return "the build folder lies below " + p.string() + ", which other users cannot enter";
    }
    const std::string why =
        Failure("for set in '" + kWork + "'/*; do [ -d \"/proc/${set##*/}\" ] || unmount \"$set\"; done; cd '" + kSet +
                "' && mkdir ntfs exfat && truncate -s 32M ntfs.img exfat.img && mkntfs -F -Q -q ntfs.img && "
                "mkfs.exfat exfat.img && ntfs-3g -o umask=000 ntfs.img ntfs && "
                "mount.exfat-fuse -o umask=000 \"$(losetup -f --show exfat.img)\" exfat && "
                "[ \"$(stat -f -c %T ntfs exfat | sort -u)\" = fuseblk ]");
    return why.empty() ? "" : "cannot make the NTFS (ntfs-3g) and exFAT (exfat-fuse) mounts: " + why;
}

std::string whyNot;  // "" when both mounts are made

class ConsoleOnMountsTest : public ::testing::TestWithParam<MountKind> {
protected:
    static void SetUpTestSuite() { whyNot = MountBoth(); }
    static void TearDownTestSuite() { Failure("unmount '" + kSet + "'"); }
    void SetUp() override {
        const char* allow = std::getenv("ZELVANE_ALLOW_NO_FUSE");
        if (!whyNot.empty() && allow != nullptr && std::string(allow) == "1") {
            GTEST_SKIP() << "SKIPPED LOUDLY: no real NTFS/exFAT mount here (" << whyNot
                         << "); ZELVANE_ALLOW_NO_FUSE=1 allows it, so shared Windows partitions were NOT tested";
        }
        ASSERT_EQ(whyNot, "") << "no real NTFS/exFAT mount here (set ZELVANE_ALLOW_NO_FUSE=1 to skip the tests on "
                                 "real mounts instead)";
        GiveToUser(elsewhere.Path(), kNobody);
    }
    void TearDown() override { Failure("unmount '" + there + "'"); }
    // The folder seen again, read-only, at a new mount point beside it (a bind mount remounted
    // read-only, as a hibernated Windows partition is mounted).
    static std::string ReadOnlyView(const std::string& folder) {
        const std::string view = folder + ".read-only";
        EXPECT_EQ(Failure("mkdir '" + view + "' && mount --bind '" + folder + "' '" + view +
                          "' && mount -o remount,bind,ro '" + view + "'"),
                  "");
        return view;
    }
    // A K2 mod that installed a file and replaced appearance.2da; the installer's backup of the
    // table lies beside the program.
    static void MakeMod(const std::string& game, const std::string& mod, bool selectable = false) {
        WriteFile(mod + "/uninstall/uninstall_data.ini",
                  CrLf(std::string(selectable ? "#game_select=1" : "#game=2") +
                       "\n#qrestore_2da=1\n#qrestore_2da_files=appearance.2da\n#file_list\noverride\\k2_item.uti\n"));
        WriteFile(mod + "/backup/appearance.2da", "2DA V2.0 original");
        WriteTree(game, {{"dialog.tlk", kTlk},
                         {"override/k2_item.uti", "item"},
                         {"override/appearance.2da", "2DA V2.0 modded"}});
    }
    // The run as the player, answering Yes twice (or Yes and K2), the registry naming the game.
    ConsoleRun RunAsPlayer(const std::string& game, const std::string& mod, const std::string& answers = "0\n0\n") {
        const std::string registry = elsewhere.Path() + "/registry.txt";
        WriteFile(registry, "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|" + WindowsForm(game) + "\n");
        WriteFile(elsewhere.Path() + "/answers.txt", answers);
        GiveToUser(elsewhere.Path(), kNobody);
        return RunConsole({.arguments = {"--no-open", "--program-folder", mod, "--answers",
                                         elsewhere.Path() + "/answers.txt", "--registry", registry},
                           .user = kNobody});
    }
    // Both folders as the complete run leaves them.
    static void ExpectRemovedAndRestored(const std::string& game, const std::string& mod, const ConsoleRun& run) {
        ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
        EXPECT_EQ(Snapshot(game), (Files{{"dialog.tlk", kTlk}, {"override/appearance.2da", "2DA V2.0 original"}}));
        const Files modFiles = Snapshot(mod);
        EXPECT_EQ(modFiles.count("backup/appearance.2da"), 0u);
        EXPECT_EQ(modFiles.count("uninstall/uninstall_data20A.ini"), 0u);
        EXPECT_EQ(ReadFile(mod + "/Backup Uninstall/appearance.2da"), "2DA V2.0 modded");
        EXPECT_TRUE(ReadFile(mod + "/uninstall/removal_results.rtf").ends_with(Totals(0, 0)));
    }
    TempFolder elsewhere;                               // the other folder, on the machine's own disk
    std::string there = PointOf(GetParam()) + "/test";  // the test's folder on the mount
};

// The lock of a program folder is a flock on the folder; on these FUSE mounts the kernel keeps it.
// Once it is free, a program folder there, and a game folder there, see a 2da restore to the end.
TEST_P(ConsoleOnMountsTest, AProgramFolderThereIsLockedAgainstASecondRunAndEitherFolderThereRunsToTheEnd) {
    const std::string mod = there + "/mod", game = elsewhere.Path() + "/game";
    MakeMod(game, mod);
    {
        const PosixInstanceCheck running(mod);
        const ConsoleRun run = RunAsPlayer(game, mod);
        EXPECT_EQ(run.exitCode, 4) << run.out << run.err;
        EXPECT_EQ(run.err, "zelvane-console: another run is using the program folder " + mod +
                               "; wait for it to finish, then start again.\n");
        EXPECT_TRUE(Exists(game + "/override/k2_item.uti"));
    }
    ExpectRemovedAndRestored(game, mod, RunAsPlayer(game, mod));
    MakeMod(there + "/game", elsewhere.Path() + "/mod");
    ExpectRemovedAndRestored(there + "/game", elsewhere.Path() + "/mod",
                             RunAsPlayer(there + "/game", elsewhere.Path() + "/mod"));
}

// A game folder on read-only media stops the run before anything is changed: before the first
// prompt, or as soon as the game is chosen at one; a program folder there, before start-up.
TEST_P(ConsoleOnMountsTest, ReadOnlyMediaStopTheRunBeforeAnythingIsChanged) {
    const auto told = [](const std::string& role, const std::string& folder) {
        return "zelvane-console: the " + role + " " + folder +
               " is on read-only media; nothing was changed.\n"
               "zelvane-console: a Windows partition is mounted read-only when Windows was hibernated or shut down "
               "with Fast Startup: start Windows and shut it down fully (hold Shift while choosing Shut down), then "
               "mount the partition again. Otherwise remount it read-write (mount -o remount,rw).\n";
    };
    const std::string mod = elsewhere.Path() + "/mod";
    MakeMod(there + "/game", mod);
    const std::string game = ReadOnlyView(there + "/game");
    for (const bool selectable : {false, true}) {
        MakeMod(elsewhere.Path() + "/unused", mod, selectable);
        const ConsoleRun run = RunAsPlayer(game, mod, selectable ? "0\n1\n" : "0\n0\n");
        EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
        EXPECT_EQ(run.err, told("game folder", game));
        EXPECT_EQ(run.out.find("Prompt:") != std::string::npos, selectable) << run.out;
        EXPECT_EQ(ReadFile(mod + "/backup/appearance.2da"), "2DA V2.0 original");
        EXPECT_FALSE(Exists(mod + "/uninstall/removal_results.rtf"));
    }

    const std::string program = there + "/mod";
    MakeMod(elsewhere.Path() + "/game", program);
    const ConsoleRun run = RunAsPlayer(elsewhere.Path() + "/game", ReadOnlyView(program));
    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
    EXPECT_EQ(run.err, told("program folder", program + ".read-only"));
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Exists(elsewhere.Path() + "/game/override/k2_item.uti"));
}

INSTANTIATE_TEST_SUITE_P(SharedPartitions, ConsoleOnMountsTest, ::testing::Values(MountKind::Ntfs, MountKind::Exfat),
                         [](const ::testing::TestParamInfo<MountKind>& info) {
                             return std::string(info.param == MountKind::Ntfs ? "Ntfs" : "Exfat");
                         });

}  // namespace
}  // namespace zelvane::e2e
