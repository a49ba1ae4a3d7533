// End-to-end: layouts in which a removal used to lose a table or refuse an entry for the wrong
// reason, run by the real zelvane-console on real folders: two backups whose names differ only in
// letter case, the program folder inside override, the program folder on another volume than the
// game, entries with trailing dots, wildcards and prose, and a save of the log that fails.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.hpp"
#include "tests/e2e/mod_install_test.hpp"

namespace zelvane::e2e {
namespace {

const std::string kQ = "\\cf1 QRestore2da: ";

// A small tmpfs mounted on a folder while the object lives: a volume of its own.
class Tmpfs {
public:
    Tmpfs(const std::string& folder, const std::string& size) : folder_(folder) {
        MakeFolders(folder);
        const std::string options = "size=" + size;
        mounted_ = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~Tmpfs() {
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    Tmpfs(const Tmpfs&) = delete;
    Tmpfs& operator=(const Tmpfs&) = delete;
    bool Mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
};

dev_t DeviceOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_dev : 0;
}

class ConsoleNoTableLost : public ModInstallTest {
protected:
    void K2Game() {
        Game("dialog.tlk", kTlk);
        Registry(2);
    }
    ConsoleRun Run() {
        return RunConsole({"--no-open", "--program-folder", mod, "--answers", answersFile, "--registry", registryFile});
    }
    // The log of the program folder the test settled on.
    std::string Log() const { return ReadFile(mod + "/uninstall/removal_results.rtf"); }
};

// backup/Appearance.2da and backup/appearance.2da: the second replacement keeps what the first put
// into Backup Uninstall and names its own copies freely. Every table stays somewhere.
TEST_F(ConsoleNoTableLost, TwoBackupsDifferingOnlyInCaseLoseNoTable) {
    K2Game();
    Game("override/appearance.2da", "2DA V2.0 in use");
    Mod("backup/Appearance.2da", "2DA V2.0 first backup");
    Mod("backup/appearance.2da", "2DA V2.0 second backup");
    Description({"#game=2", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da", "#file_list"});
    Answers({"0", "0", "0"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;

    const std::string log = Log();
    EXPECT_NE(log.find(kQ +
                       "\\cf4 Kept \\cf1 Backup Uninstall\\\\appearance.2da\\cf4  (put there earlier in this "
                       "run); the new copy is named \\cf1 Backup Uninstall\\\\appearance (2).2da\\par" +
                       kCrLf),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("\\cf6\\b 0 errors.\\b0\\par"), std::string::npos) << log;
    EXPECT_EQ(log.find("Delete Successful - \\cf1 Backup Uninstall"), std::string::npos) << log;

    const auto everything = [&] {
        auto files = Snapshot(game);
        for (const auto& [path, bytes] : Snapshot(mod)) files.emplace("mod/" + path, bytes);
        return files;
    }();
    for (const char* table : {"2DA V2.0 in use", "2DA V2.0 first backup", "2DA V2.0 second backup"}) {
        EXPECT_TRUE(ContainsContent(everything, table)) << table << " is gone";
    }
    // The first pass displaced the table in use, the second the first backup; both safety copies.
    std::multiset<std::string> kept;
    for (const auto& [path, bytes] : Snapshot(mod + "/Backup Uninstall")) kept.insert(bytes);
    EXPECT_EQ(kept, (std::multiset<std::string>{"2DA V2.0 in use", "2DA V2.0 first backup", "2DA V2.0 first backup",
                                                "2DA V2.0 second backup"}));
    EXPECT_EQ(ReadFile(mod + "/Backup Uninstall/appearance (2).2da"), "2DA V2.0 first backup");
    EXPECT_EQ(Snapshot(game + "/override"),
              (std::map<std::string, std::string>{{"appearance.2da", "2DA V2.0 second backup"}}));
}

// A K2 mod unpacked into override\ModTool: its own backup is not the table in use, nor are the
// mod's distribution files the files of the file list.
TEST_F(ConsoleNoTableLost, AProgramFolderInsideOverrideIsNeverOfferedAsTheTableInUse) {
    mod = game + "/override/ModTool";
    K2Game();
    Mod("backup/appearance.2da", "2DA V2.0 original");
    Mod("k2_item.uti", "the mod's own copy");
    Game("override/sub/appearance.2da", "2DA V2.0 in use");
    Game("override/sub/k2_robe.uti", "installed robe");
    Description({"#game=2", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da", "#file_list",
                 "override\\k2_item.uti", "override\\k2_robe.uti"});
    // Confirmation, the subfolder prompt for the robe, the found-file prompt.
    Answers({"0", "0", "0"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;

    EXPECT_NE(run.out.find("\\game\\override\\sub\\appearance.2da"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("ModTool\\backup\\appearance.2da"), std::string::npos) << run.out;
    EXPECT_EQ(ReadFile(game + "/override/sub/appearance.2da"), "2DA V2.0 original");
    EXPECT_EQ(ReadFile(mod + "/Backup Uninstall/appearance.2da"), "2DA V2.0 in use");
    EXPECT_EQ(ReadFile(mod + "/Backup Uninstall/original install backup.appearance.2da"), "2DA V2.0 original");
    EXPECT_FALSE(Exists(mod + "/backup/appearance.2da"));
    EXPECT_EQ(ReadFile(mod + "/k2_item.uti"), "the mod's own copy");
    EXPECT_FALSE(Exists(game + "/override/sub/k2_robe.uti"));
    const std::string log = Log();
    EXPECT_NE(log.find("\\cf10 File Not Found: \\cf1 Override\\\\k2_item.uti\\cf1\\par"), std::string::npos) << log;
    EXPECT_NE(log.find(kQ + "\\cf3 Renamed \\cf1 Override\\\\Modtool\\\\Backup\\\\appearance.2da\\cf3  to \\cf1 "
                            "Override\\\\Sub\\\\appearance.2da\\par"),
              std::string::npos)
        << log;
}

// The program folder on another volume: the table in use is replaced, the backup is copied into
// the game, compared and only then deleted.
TEST_F(ConsoleNoTableLost, AProgramFolderOnAnotherVolumeRestoresTheTable) {
    Tmpfs volume(temp.Path() + "/volume", "4m");
    std::string shmFolder;
    if (volume.Mounted()) {
        mod = temp.Path() + "/volume/mod";
    } else if (DeviceOf("/dev/shm") != 0 && DeviceOf("/dev/shm") != DeviceOf(temp.Path())) {
        shmFolder = "/dev/shm/zelvane-e2e-" + std::to_string(::getpid());
        mod = shmFolder + "/mod";
    } else {
        GTEST_SKIP() << "\n*** NO SECOND VOLUME: no tmpfs could be mounted and /dev/shm is on the same device as "
                     << temp.Path() << "; the move between volumes is NOT tested here ***\n";
    }
    ASSERT_NE(DeviceOf(temp.Path()), 0u);
    K2Game();
    Game("override/appearance.2da", "2DA V2.0 in use");
    Mod("backup/appearance.2da", "2DA V2.0 original");
    Description({"#game=2", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da", "#file_list"});
    ASSERT_NE(DeviceOf(mod), DeviceOf(game));
    Answers({"0", "0"});
    const ConsoleRun run = Run();
    const std::string log = Log();
    const auto modFiles = Snapshot(mod);
    if (!shmFolder.empty()) std::filesystem::remove_all(shmFolder);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;

    EXPECT_EQ(log, Header(2) + kBanner + kQ +
                       "\\cf3 FileCopy \\cf1 Override\\\\appearance.2da\\cf3  to \\cf1 Backup Uninstall\\\\"
                       "appearance.2da\\par" +
                       kCrLf + kQ + "\\cf3 Delete Successful - \\cf1 Override\\\\appearance.2da\\par" + kCrLf + kQ +
                       "\\cf3 FileCopy \\cf1 Backup\\\\appearance.2da\\cf3  to \\cf1 Backup Uninstall\\\\original "
                       "install backup.appearance.2da\\par" +
                       kCrLf + kQ +
                       "\\cf3 Moved \\cf1 Backup\\\\appearance.2da\\cf3  to \\cf1 Override\\\\appearance.2da\\cf3 "
                       " (another volume: copied, compared, then deleted from the backup folder)\\par" +
                       kCrLf + Totals(0, 0));
    EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), "2DA V2.0 original");
    EXPECT_EQ(modFiles.count("backup/appearance.2da"), 0u);
    EXPECT_EQ(modFiles.at("Backup Uninstall/appearance.2da"), "2DA V2.0 in use");
    EXPECT_EQ(modFiles.at("Backup Uninstall/original install backup.appearance.2da"), "2DA V2.0 original");
}

// A table both in the file list and restored from its backup: the file list leaves it to the
// restore, so "No" to the replacement keeps the table as another mod left it; --check calls the
// double listing an error.
TEST_F(ConsoleNoTableLost, ATableInTheFileListIsLeftToTheRestore) {
    K2Game();
    Game("override/appearance.2da", "2DA V2.0 changed by another mod");
    Game("override/ex_robe.uti", "robe");
    Mod("backup/appearance.2da", "2DA V2.0 original");
    Description({"#game=2", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da", "#file_list",
                 "override\\appearance.2da", "override\\ex_robe.uti"});
    Answers({"0", "1"});  // Yes to the confirmation, No to the replacement
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), "2DA V2.0 changed by another mod");
    EXPECT_EQ(ReadFile(mod + "/backup/appearance.2da"), "2DA V2.0 original");
    EXPECT_FALSE(Exists(game + "/override/ex_robe.uti"));
    EXPECT_NE(Log().find("\\cf4 Left to the 2da restore: \\cf1 Override\\\\appearance.2da\\cf1\\par"),
              std::string::npos);

    const ConsoleRun check = RunConsole({"--check", "--program-folder", mod});
    EXPECT_EQ(check.exitCode, 1) << check.out;
    EXPECT_NE(check.out.find(":5: error: file-list entry \"override\\appearance.2da\" names a table that "
                             "#qrestore_2da= puts back from its backup"),
              std::string::npos)
        << check.out;
}

// Trailing dots and spaces, wildcards, prose and devices in the file list and the queued entries.
TEST_F(ConsoleNoTableLost, EntriesAreReadAsWindowsReadsThem) {
    K2Game();
    Game("override/a.uti", "a");
    Game("override/b.uti", "b");
    Game("override/c.uti", "c");
    Game("override/keep.uti", "another mod's file");
    Description({"#game=2", "#qdelete_file_0=override\\c.uti ", "#qdelete_file_begin_0#", "Delete c?",
                 "#qdelete_file_end_0#", "#qdelete_file_1=override\\*.uti", "#qdelete_file_begin_1#", "Delete all?",
                 "#qdelete_file_end_1#", "#file_list", "override\\a.uti ", "override\\b.uti.", "override\\*.uti",
                 "Thanks for playing. Have fun.", "Note: read me first", "override\\CON", "override\\keep.uti:zone"});
    Answers({"0", "0"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 5) << run.out << run.err;  // the log counts errors
    EXPECT_EQ(Log(), Header(2) + "\\cf3 Delete Successful - \\cf1 Override\\\\a.uti \\cf1\\par" + kCrLf +
                         "\\cf3 Delete Successful - \\cf1 Override\\\\b.uti.\\cf1\\par" + kCrLf +
                         "\\cf10 File Not Found: \\cf1 Override\\\\*.uti\\cf1\\par" + kCrLf +
                         "\\cf10 File Not Found: \\cf1 Thanks for playing. Have fun.\\cf1\\par" + kCrLf +
                         "\\cf10 File Not Found: \\cf1 Note: read me first\\cf1\\par" + kCrLf +
                         "\\cf10 Refused (not a plain file name): \\cf1 Override\\\\CON\\cf1\\par" + kCrLf +
                         "\\cf10 Refused (not a plain file name): \\cf1 Override\\\\keep.uti:zone\\cf1\\par" + kCrLf +
                         kPar + kPar + kPar +
                         "\\cf1 QDeleteFile: \\cf3 Delete Successful - \\cf1 Override\\\\c.uti \\par" + kCrLf +
                         "\\cf1\\b QDeleteFile: \\cf10 Prompt Failure \\cf6 (File Not Found): \\cf1 "
                         "Override\\\\*.uti\\cf1\\b0\\par" +
                         kCrLf + kPar + kPar +
                         "\\cf10\\b\\fs32 FYI:\\fs28  \\b0  \\ul Prompt Failure\\ulnone  means you were going to be "
                         "prompted to make a decision but you weren't for the reason specified.\\cf1\\fs24\\par" +
                         kCrLf + Totals(2, 3));
    EXPECT_EQ(Snapshot(game + "/override"), (std::map<std::string, std::string>{{"keep.uti", "another mod's file"}}));
}

// A log that cannot be saved (the program's volume is full) keeps the earlier log whole and
// leaves no temporary file; the player is told, as for every failed save.
TEST_F(ConsoleNoTableLost, AFailedSaveKeepsTheEarlierLog) {
    Tmpfs volume(temp.Path() + "/volume", "1m");
    if (!volume.Mounted()) GTEST_SKIP() << "\n*** NO TMPFS COULD BE MOUNTED: the full disk is NOT tested here ***\n";
    mod = temp.Path() + "/volume/mod";
    K2Game();
    // A long file list of missing files: its log is about twice the size of the description.
    std::vector<std::string> lines = {"#game=2", "#file_list"};
    for (int i = 0; i < 400; ++i) lines.push_back("override\\not_here_" + std::to_string(1000 + i) + ".uti");
    Description(lines);
    Mod("uninstall/removal_results.rtf", "{\\rtf1 the earlier log}");
    Answers({"0"});
    // Fill the volume so that the working copy of the description fits, but the log does not.
    struct statvfs vfs {};
    ASSERT_EQ(::statvfs(mod.c_str(), &vfs), 0);
    const unsigned long long keep = 5;  // pages: the description takes 3, the log 6
    ASSERT_GT(vfs.f_bavail, keep);
    WriteFile(temp.Path() + "/volume/filler", std::string((vfs.f_bavail - keep) * vfs.f_frsize, 'x'));

    const ConsoleRun run = Run();
    EXPECT_NE(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("Message: Oops!"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Disk full"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("cmdRemoveMod_Click"), std::string::npos) << run.out;  // at the save, not at start-up
    EXPECT_EQ(Log(), "{\\rtf1 the earlier log}");
    EXPECT_FALSE(Exists(mod + "/uninstall/removal_results.rtf.saving"));
}

}  // namespace
}  // namespace zelvane::e2e
