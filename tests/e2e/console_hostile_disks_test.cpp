// End-to-end: zelvane-console on disks and files a new player may have, run for real on folders made
// here: a volume that refuses every change of mode, backups that are links, pipes or devices, a
// game folder that takes no new file, files that read without end, a program folder unpacked
// inside the game, and files that share their bytes with files outside (hard links). Each run
// that changes something is first made as a dry run, which must refuse the same and change
// nothing (dry_run_check.hpp).

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/e2e/dry_run_check.hpp"
#include "tests/e2e/e2e_support.hpp"
#include "tests/e2e/mod_install_test.hpp"

namespace zelvane::e2e {
namespace {

const std::string kQ = "\\cf1 QRestore2da: ";

bool HaveStrace() { return std::system("strace -V >/dev/null 2>&1") == 0; }

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

std::string NotRestored(const std::string& backup, const std::string& reason) {
    return kQ + "\\cf10 Backup not restored: \\cf1 Backup\\\\" + backup + "\\cf10  (" + reason + ")\\cf1\\par" + kCrLf;
}

class ConsoleHostileDisks : public ModInstallTest {
protected:
    void K2Game() {
        Game("dialog.tlk", kTlk);
        Registry(2);
    }
    std::vector<std::string> Arguments() const {
        return {"--no-open", "--program-folder", mod, "--answers", answersFile, "--registry", registryFile};
    }
    ConsoleRun Run() { return RunConsole(Arguments()); }
    // The dry run first, then the real run (dry_run_check.hpp).
    ConsoleRun RunBothWays() { return RunAfterDryRun(Arguments(), {game, mod}, logPath); }
    std::string Log() const { return ReadFile(logPath); }

    const std::string outside = temp.Path() + "/outside";
};

// On a shared NTFS or exFAT partition (or a FUSE driver without chmod) the player may write and
// delete but not change a mode. Here every change of mode is refused as it is there (strace fails
// each chmod with EPERM): start-up's working copy and the copies of the 2da restore are made all
// the same, and get the ordinary mode of a new file, not the partition's 0777.
// (On real ntfs-3g and exfat-fuse mounts this same removal is what to run.)
TEST_F(ConsoleHostileDisks, CopiesNeedNoChangeOfMode) {
    if (!HaveStrace()) GTEST_SKIP() << "\n*** strace is not installed: the refused chmod is NOT tested here ***\n";
    K2Game();
    Game("override/appearance.2da", "2DA V2.0 in use");
    Mod("backup/appearance.2da", "2DA V2.0 original");
    Description({"#game=2", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da", "#file_list"});
    for (const std::string& file :
         {game + "/override/appearance.2da", mod + "/backup/appearance.2da", mod + "/uninstall/uninstall_data.ini"}) {
        SetMode(file, 0777);  // as such a partition shows every file
    }
    Answers({"0", "0"});
    // The leak checker cannot run under ptrace; the sanitizer build would fail the run for that alone.
    std::string command = "cd '" + temp.Path() +
                          "' && HOME=/nonexistent ASAN_OPTIONS=detect_leaks=0 strace -f -qq -o /dev/null " +
                          "-e inject=?chmod,?fchmod,?fchmodat,?fchmodat2:error=EPERM '" + ZELVANE_CONSOLE + "'";
    for (const std::string& argument : Arguments()) command += " '" + argument + "'";
    command += " </dev/null >out.txt 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadFile(temp.Path() + "/out.txt");

    EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), "2DA V2.0 original");
    EXPECT_EQ(ReadFile(mod + "/Backup Uninstall/appearance.2da"), "2DA V2.0 in use");
    EXPECT_EQ(ReadFile(mod + "/Backup Uninstall/original install backup.appearance.2da"), "2DA V2.0 original");
    const mode_t mask = ::umask(022);
    ::umask(mask);
    EXPECT_EQ(ModeOf(mod + "/Backup Uninstall/appearance.2da"), 0666 & ~mask);
    EXPECT_NE(Log().find("\\cf6\\b 0 errors.\\b0\\par"), std::string::npos) << Log();
}

// Backups that are a link (to a file that reads without end, to the table in use) or a pipe are
// found out before anything is changed; so is a game folder that takes no new file. The table in
// use stays, nothing is copied aside, and one counted line says why.
TEST_F(ConsoleHostileDisks, TheRestoreIsProvedPossibleBeforeTheTableInUseIsDeleted) {
    K2Game();
    Game("override/appearance.2da", "2DA V2.0 appearance in use");
    Game("override/feat.2da", "2DA V2.0 feat in use");
    Game("override/spells.2da", "2DA V2.0 spells in use");
    MakeFolders(mod + "/backup");
    ASSERT_EQ(::symlink("/proc/self/pagemap", (mod + "/backup/appearance.2da").c_str()), 0);
    ASSERT_EQ(::symlink((game + "/override/feat.2da").c_str(), (mod + "/backup/feat.2da").c_str()), 0);
    ASSERT_EQ(::mkfifo((mod + "/backup/spells.2da").c_str(), 0644), 0);
    Description({"#game=2", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da,feat.2da,spells.2da", "#file_list"});
    Answers({"0", "0", "0", "0"});
    const ConsoleRun run = RunBothWays();
    ASSERT_EQ(run.exitCode, 5) << run.out << run.err;
    EXPECT_EQ(Log(),
              Header(2) + kBanner + NotRestored("appearance.2da", "the backup is a link, so nothing was changed") +
                  NotRestored("feat.2da", "the backup is a link, so nothing was changed") +
                  NotRestored("spells.2da", "the backup is not a regular file, so nothing was changed") + Totals(3, 0));
    EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), "2DA V2.0 appearance in use");
    EXPECT_EQ(ReadFile(game + "/override/feat.2da"), "2DA V2.0 feat in use");
    EXPECT_FALSE(Exists(mod + "/Backup Uninstall"));
}

TEST_F(ConsoleHostileDisks, AGameFolderThatTakesNoNewFileKeepsItsTable) {
    K2Game();
    Game("override/appearance.2da", "2DA V2.0 in use");
    Mod("backup/appearance.2da", "2DA V2.0 original");
    Description({"#game=2", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da", "#file_list"});
    ImmutableFile frozen(game + "/override");  // not even root adds a file to it
    if (!frozen.Applied()) GTEST_SKIP() << "chattr +i is not possible here";
    Answers({"0", "0"});
    const ConsoleRun run = RunBothWays();
    ASSERT_EQ(run.exitCode, 5) << run.out << run.err;
    EXPECT_EQ(Log(), Header(2) + kBanner +
                         NotRestored("appearance.2da",
                                     "Override\\\\ cannot take the backup: Path/File access error, "
                                     "so nothing was changed") +
                         Totals(1, 0));
    EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), "2DA V2.0 in use");
    EXPECT_EQ(ReadFile(mod + "/backup/appearance.2da"), "2DA V2.0 original");
    EXPECT_FALSE(Exists(mod + "/Backup Uninstall"));
}

// Every file the program reads must be a regular file of a size its kind never exceeds: a pipe is
// not waited on, a device or a file that reads on is not read without end, and a header is read
// alone, whatever the size of its file.
TEST_F(ConsoleHostileDisks, FilesThatCouldBlockOrNeverEndAreRefusedWithAReason) {
    K2Game();
    Description({"#game=2", "#file_list"});
    ASSERT_EQ(::mkfifo((temp.Path() + "/answers.fifo").c_str(), 0600), 0);
    ConsoleRun run = RunConsole(
        {"--no-open", "--program-folder", mod, "--answers", temp.Path() + "/answers.fifo", "--registry", registryFile});
    EXPECT_EQ(run.exitCode, 64);
    EXPECT_EQ(run.err, "zelvane-console: the answers file " + temp.Path() + "/answers.fifo is not a regular file\n");

    // An information document of 5 MiB that takes no room; a dialog.tlk of 3 GB likewise, whose
    // header alone is read.
    Mod("uninstall/uninstall_info.rtf", "{\\rtf1 ");
    ASSERT_EQ(::truncate((mod + "/uninstall/uninstall_info.rtf").c_str(), 5 << 20), 0);
    ASSERT_EQ(::truncate((game + "/dialog.tlk").c_str(), off_t{3} << 30), 0);
    Answers({"0"});
    run = RunConsole({"--no-open", "--program-folder", mod, "--answers", answersFile, "--game-folder", game});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Message: Error\n" + std::string(60, '-') +
                           "\nThe uninstall_info.rtf file is larger than 4 MiB, so it is not shown.\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Uninstall_Info.rtf Was NOT FOUND\n"), std::string::npos) << run.out;
    EXPECT_NE(Log().find("\\cf6\\b 0 errors."), std::string::npos);

    std::filesystem::remove(mod + "/uninstall/uninstall_data.ini");
    ASSERT_EQ(::mkfifo((mod + "/uninstall/uninstall_data.ini").c_str(), 0644), 0);
    run = Run();
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    EXPECT_NE(run.out.find("Message: Aborting\n" + std::string(60, '-') +
                           "\nThe uninstall_data.ini file is not a regular file (a pipe, a socket or a device).\n"
                           "Cannot continue without it.\n"),
              std::string::npos)
        << run.out;
}

// The games' own files on this machine: a system.reg of 2 GB is refused by its size, and a Steam
// library list nested 200,000 deep ends where the nesting passes 64 levels, without a crash.
TEST_F(ConsoleHostileDisks, HugeRegistriesAndDeepSteamFilesFindNothingAndCrashNothing) {
    const std::string prefix = temp.Path() + "/prefix";
    WriteFile(prefix + "/system.reg", "WINE REGISTRY Version 2\n");
    ASSERT_EQ(::truncate((prefix + "/system.reg").c_str(), off_t{2} << 30), 0);
    const std::string home = temp.Path() + "/home";
    std::string nested;
    for (int i = 0; i < 200000; ++i) nested += "\"k\"{";
    WriteFile(home + "/.steam/steam/steamapps/libraryfolders.vdf", "\"libraryfolders\"{" + nested);
    const ConsoleRun run = RunConsoleWithEnvironment({"--find-games", "--wine-prefix", prefix}, {"HOME=" + home});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_TRUE(run.out.starts_with("No game folder found.\nLooked in:\n  the Wine prefix " + prefix + ": no game\n"))
        << run.out << run.err;
}

// A mod unpacked into override lists its own files, by mistake, among those it installed: none is
// deleted (its backup is a table the 2da restore puts back, its description is refused), so that
// the backup is still there for the 2da restore.
TEST_F(ConsoleHostileDisks, TheProgramsOwnFilesAreNeverDeletedByTheFileList) {
    mod = game + "/override/ModTool";
    logPath = mod + "/uninstall/removal_results.rtf";
    K2Game();
    Game("override/appearance.2da", "2DA V2.0 in use");
    Mod("backup/appearance.2da", "2DA V2.0 original");
    Description({"#game=2", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da", "#file_list",
                 "override\\ModTool\\backup\\appearance.2da", "override\\ModTool\\uninstall\\uninstall_data.ini"});
    Answers({"0", "0"});
    const ConsoleRun run = RunBothWays();
    ASSERT_EQ(run.exitCode, 5) << run.out << run.err;
    const std::string log = Log();
    EXPECT_NE(log.find("\\cf4 Left to the 2da restore: \\cf1 Override\\\\Modtool\\\\Backup\\\\"
                       "appearance.2da\\cf1\\par" +
                       kCrLf +
                       "\\cf10 Refused (one of this program's own files): \\cf1 "
                       "Override\\\\Modtool\\\\Uninstall\\\\uninstall_data.ini\\cf1\\par" +
                       kCrLf),
              std::string::npos)
        << log;
    EXPECT_NE(log.find(kQ + "\\cf3 Renamed \\cf1 Override\\\\Modtool\\\\Backup\\\\appearance.2da\\cf3  to \\cf1 "
                            "Override\\\\appearance.2da\\par"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("\\cf6\\b 1 errors."), std::string::npos);
    EXPECT_TRUE(Exists(mod + "/uninstall/uninstall_data.ini"));
    EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), "2DA V2.0 original");
}

// Files of the game and of the program folder that are hard links to the player's files outside:
// a read-only one is deleted without its mode changed, and what replaces the log being saved or
// the usage guide is a new file, so the player's files keep their bytes and their modes.
TEST_F(ConsoleHostileDisks, HardLinksChangeNothingOutside) {
    K2Game();
    WriteFile(outside + "/profile", "the player's profile");
    SetMode(outside + "/profile", 0444);
    WriteFile(outside + "/notes", "the player's notes");
    WriteFile(outside + "/guide", "the player's guide");
    MakeFolders(game + "/override");
    MakeFolders(mod + "/uninstall");
    ASSERT_EQ(::link((outside + "/profile").c_str(), (game + "/override/k2_profile.txt").c_str()), 0);
    ASSERT_EQ(::link((outside + "/notes").c_str(), (mod + "/uninstall/removal_results.rtf.saving").c_str()), 0);
    ASSERT_EQ(::link((outside + "/guide").c_str(), (mod + "/uninstall/Zelvane Usage.rtf").c_str()), 0);
    Description({"#game=2", "#file_list", "override\\k2_profile.txt"});
    Answers({"0"});
    ConsoleRun run = RunBothWays();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_FALSE(Exists(game + "/override/k2_profile.txt"));
    EXPECT_NE(Log().find("\\cf3 Delete Successful - \\cf1 Override\\\\k2_profile.txt"), std::string::npos) << Log();
    run = RunConsole({"--no-open", "--usage", "--program-folder", mod, "--answers", answersFile});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(ReadFile(mod + "/uninstall/Zelvane Usage.rtf"), "the player's guide");
    EXPECT_EQ(Snapshot(outside), (std::map<std::string, std::string>{{"guide", "the player's guide"},
                                                                     {"notes", "the player's notes"},
                                                                     {"profile", "the player's profile"}}));
    EXPECT_EQ(ModeOf(outside + "/profile"), 0444u);
}

// Linux lets a name hold a backslash. Such a name is one name, never a path: a folder in override
// named "..\..\outside" is searched as that folder, and the table in the real folder outside
// the game is never taken for the table in use.
TEST_F(ConsoleHostileDisks, AHostNameWithABackslashIsNeverAPath) {
    K2Game();
    MakeFolders(game + "/override/..\\..\\outside");
    MakeFolders(outside);
    WriteFile(outside + "/appearance.2da", "2DA V2.0 outside");
    Mod("backup/appearance.2da", "2DA V2.0 original");
    Description({"#game=2", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da", "#file_list"});
    Answers({"0", "0", "0"});
    const ConsoleRun run = RunBothWays();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), "2DA V2.0 original");
    EXPECT_EQ(ReadFile(outside + "/appearance.2da"), "2DA V2.0 outside");
    EXPECT_EQ(Log().find("outside"), std::string::npos) << Log();
}

}  // namespace
}  // namespace zelvane::e2e
