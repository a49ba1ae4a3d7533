// Crash consistency on real disk: a removal by zelvane-console is killed just before each change it
// makes to the file system (strace stops every creating open, delete, rename, new folder and new
// mode with SIGKILL before it is carried out). After every kill no table and no .original content
// is lost and nothing outside the game and program folders has changed; a second run then
// completes and leaves the end state a single run leaves. What a kill cannot show, the order of
// the flushes a power cut needs, is read from a trace of the same run.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tables/table_bytes.hpp"
#include "tests/e2e/e2e_support.hpp"
#include "tests/tables/table_maker.hpp"

namespace zelvane::e2e {
namespace {

// A shell command line's status, 128 + the signal for one that was killed. The leak checker of a
// sanitizer build cannot work in a process that strace follows.
int Shell(const std::string& command) {
    const std::string line = "ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\" " + command;
    return RunConsole(Launch{{"-c", line}, {}, "", "/bin/sh"}).exitCode;
}

// One call of an strace -y log: its name, the files it names (a descriptor's path, joined to the
// quoted name after it: "unlinkat(5</a>, \"b\", 0)" names /a/b, "fsync(5</a>)" /a) and the line.
struct TracedCall {
    std::string call;
    std::vector<std::string> files;
    std::string line;
};

// Without std::regex, whose header GCC's sanitizer build warns about.
std::vector<TracedCall> TracedCalls(const std::string& trace) {
    std::vector<TracedCall> calls;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t at = line.find_first_not_of("0123456789 "), open = line.find('(');  // after the process id
        if (open == std::string::npos || line.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_", at) != open)
            continue;
        TracedCall c{line.substr(at, open - at), {}, line};
        for (std::size_t from = line.find('<'), end = 0;
             from != std::string::npos && (end = line.find('>', from)) != std::string::npos;
             from = line.find('<', end)) {
            if (!std::isdigit(static_cast<unsigned char>(line[from - 1]))) continue;
            std::string file = line.substr(from + 1, end - from - 1);
            if (line.compare(end + 1, 3, ", \"") == 0)
                file += "/" + line.substr(end + 4, line.find('"', end + 4) - end - 4);
            c.files.push_back(file);
        }
        calls.push_back(c);
    }
    return calls;
}

// Before call `before`: the first call that deletes `file` or (with `rename`) the last that renames
// a file to it; `before` where there is none.
std::size_t Find(const std::vector<TracedCall>& calls, bool rename, const std::string& file, std::size_t before) {
    std::size_t found = before;
    for (std::size_t i = 0; i < before && (rename || found == before); ++i) {
        const TracedCall& c = calls[i];
        if (rename ? c.call.starts_with("rename") && c.files.size() == 2 && c.files[1] == file
                   : c.call == "unlinkat" && c.files == std::vector{file})
            found = i;
    }
    return found;
}

// A file written under a temporary name and renamed to `file` before the call at `before`: its
// bytes flushed before it got the name, and (unless only the bytes count) its folder flushed
// after, so that both are on the medium before that call.
void ExpectOnTheMediumBefore(const std::vector<TracedCall>& calls, const std::string& file, std::size_t before,
                             bool nameToo = true) {
    const std::size_t renamed = Find(calls, true, file, before);
    ASSERT_LT(renamed, before) << file << " not in place before call " << before;
    const auto flushed = [&](const std::string& what, std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            if (calls[i].call.ends_with("sync") && calls[i].files == std::vector{what}) return true;
        return false;
    };
    EXPECT_TRUE(flushed(calls[renamed].files[0], 0, renamed)) << file << " was not flushed before it got its name";
    EXPECT_TRUE(!nameToo || flushed(file.substr(0, file.rfind('/')), renamed + 1, before))
        << "its folder was not flushed after " << file << " was put there";
}

std::string Table(const std::string& carth, bool laterRow) {
    std::vector<std::vector<std::string>> rows{{"0", "Bastila", "P_BAS"}, {"1", "Carth", carth}};
    if (laterRow) rows.push_back({"2", "Later", "P_LATER"});
    return WriteTable(zelvane::testing::MakeTable({"label", "race"}, rows)).value();
}
// The tables of a merge: the backup, the mod's own version (one cell changed), the table in use
// (that cell as the mod wrote it, and a row a later mod added) and the merge of both.
const std::string kBackup = Table("P_CAR", false);
const std::string kModsOwn = Table("P_CAR_NEW", false);
const std::string kInUse = Table("P_CAR_NEW", true);
const std::string kMerged = Table("P_CAR", true);
const std::string kLog = "<a removal log>";

// A file below the test's folder: its bytes before the run (kGone: none) and after a completed run
// ("": as before; kGone: deleted).
struct CaseFile {
    std::string path;
    std::string before;
    std::string after = {};
};

// Either removal after an earlier run, with another mod's file, a save outside and Yes to
// everything. The K2 removal: a file list with a read-only file and a file moved into a subfolder,
// a queued delete, a queued restore and two 2da backups, one of whose tables lies in a subfolder;
// Backup Uninstall and a read-only log of the earlier run; and what a mod archive or a player may
// put into the program folder: a backup that is a pipe, one that is a link to the table in use, and
// an information document larger than any (that takes no room; made below).
const std::vector<CaseFile> kK2{
    {"game/override/feat.2da", "2DA V2.0 feat in use"},
    {"game/override/skills.2da", "2DA V2.0 skills in use"},
    {"game/override/k2_item.uti", "item", kGone},
    {"game/override/Sub Folder/k2_moved.tga", "moved texture", kGone},
    {"game/override/k2_notes.txt", "notes", kGone},
    {"game/override/k2_locked.uti", "read-only item", kGone},
    {"game/Movies/k2_intro.bik", "mod movie", kGone},
    {"game/override/k2_icon.tga", "mod icon", "game icon"},
    {"game/override/k2_icon.tga.original", "game icon", kGone},
    {"game/override/appearance.2da", "2DA V2.0 appearance in use", "2DA V2.0 appearance original"},
    {"game/override/Sub Folder/spells.2da", "2DA V2.0 spells in use", "2DA V2.0 spells original"},
    {"mod/backup/appearance.2da", "2DA V2.0 appearance original", kGone},
    {"mod/backup/spells.2da", "2DA V2.0 spells original", kGone},
    {"mod/Backup Uninstall/appearance.2da", "displaced by an earlier run", "2DA V2.0 appearance in use"},
    {"mod/Backup Uninstall/original install backup.appearance.2da", "safety copy of an earlier run",
     "2DA V2.0 appearance original"},
    {"mod/Backup Uninstall/spells.2da", kGone, "2DA V2.0 spells in use"},
    {"mod/Backup Uninstall/original install backup.spells.2da", kGone, "2DA V2.0 spells original"},
    {"mod/uninstall/uninstall_data.ini",
     CrLf("#game=2\n#qdelete_file_0=override\\k2_notes.txt\n#qdelete_file_begin_0#\nDelete the notes?\n"
          "#qdelete_file_end_0#\n#qrestore_file_0=override\\k2_icon.tga\n#qrestore_file_begin_0#\nRestore the icon?\n"
          "#qrestore_file_end_0#\n#qrestore_2da=1\n#qrestore_2da_files=appearance.2da,spells.2da\n#file_list\n"
          "override\\k2_item.uti\noverride\\k2_moved.tga\noverride\\k2_locked.uti\nMovies\\k2_intro.bik\n")},
    {"mod/uninstall/removal_results.rtf", "{\\rtf1 an earlier log}", kLog},
    {"mod/uninstall/uninstall_info.rtf", "{\\rtf1 "},
    {"answers.txt", "0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n"}};
const std::vector<std::string> kK2Tables{"2DA V2.0 appearance in use", "2DA V2.0 appearance original",
                                         "2DA V2.0 spells in use", "2DA V2.0 spells original", "game icon"};
// The merge: a K1 removal whose 2da work is a merge (answered M), the mod's own files beside the
// program folder, and a read-only copy of an earlier run in Backup Uninstall.
const std::vector<CaseFile> kMerge{
    {"game/override/m_item.uti", "item", kGone},
    {"game/override/appearance.2da", kInUse, kMerged},
    {"files/override/appearance.2da", kModsOwn},
    {"mod/backup/appearance.2da", kBackup, kGone},
    {"mod/Backup Uninstall/appearance.2da", "displaced by an earlier run", kInUse},
    {"mod/Backup Uninstall/original install backup.appearance.2da", kGone, kBackup},
    {"mod/uninstall/uninstall_data.ini",
     CrLf("#game=1\n#qrestore_2da=1\n#qrestore_2da_files=appearance.2da\n#file_list\noverride\\m_item.uti\n")},
    {"mod/uninstall/removal_results.rtf", kGone, kLog},
    {"answers.txt", "0\nm\n"}};

// A file's bytes, kGone for none.
std::string At(const Files& files, const std::string& path) { return files.contains(path) ? files.at(path) : kGone; }

class ConsoleCrashConsistency : public ::testing::Test {
protected:
    void SetUp() override {
        if (Shell("command -v strace >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "\n*** strace is not installed (tools/install-deps.sh installs it): NOT tested ***\n";
    }

    TempFolder temp;
    std::string root = temp.Path() + "/case";
    std::string game = root + "/game";
    std::string mod = root + "/mod";
    std::string out = temp.Path() + "/out.txt";
    bool merge = false;   // the K1 merge rather than the rich K2 removal
    Files before, after;  // below root, after a completed run without the files it deletes

    void MakeTree() {
        Shell("rm -rf '" + root + "'");
        WriteTree(root, {{"outside/save.sav", "hours of play"},
                         {"game/dialog.tlk", kTlk},
                         {"game/override/keep.uti", "another mod's file"}});
        for (const CaseFile& file : merge ? kMerge : kK2)
            if (file.before != kGone) WriteFile(root + "/" + file.path, file.before);
        WriteFile(root + "/registry.txt", std::string("HKEY_LOCAL_MACHINE\\Software\\") +
                                              (merge ? "BioWare\\SW\\KOTOR" : "LucasArts\\KotOR2") + "|Path|" +
                                              WindowsForm(game) + "\n");
        SetMode(mod + "/Backup Uninstall/appearance.2da", 0444);
        if (!merge) {
            SetMode(mod + "/uninstall/removal_results.rtf", 0444);
            SetMode(game + "/override/k2_locked.uti", 0444);
            ::mkfifo((mod + "/backup/feat.2da").c_str(), 0644);
            ::symlink((game + "/override/skills.2da").c_str(), (mod + "/backup/skills.2da").c_str());
            ::truncate((mod + "/uninstall/uninstall_info.rtf").c_str(), 5 << 20);
        }
        if (!before.empty()) return;
        after = before = Snapshot(root);
        for (const CaseFile& file : merge ? kMerge : kK2)
            if (!file.after.empty()) after[file.path] = file.after;
        std::erase_if(after, [](const auto& file) { return file.second == kGone; });
    }

    // The run, and its status: the log counts the refusals of the pipe, the link and the oversized files.
    int Status() const { return merge ? 0 : 5; }
    std::string Console() const {
        return std::string("'") + ZELVANE_CONSOLE + "' --no-open --program-folder '" + mod + "' --answers '" + root +
               "/answers.txt' --registry '" + root + "/registry.txt'" +
               (merge ? " --mod-folder '" + root + "/files'" : "") + " >'" + out + "' 2>&1 </dev/null";
    }

    // What must hold at every moment: the tables and the .original content somewhere, every file a
    // run leaves alone as it was, nothing new outside the game and program folders.
    Files CheckInvariants(const std::string& when) {
        Files now = Snapshot(root);
        for (const std::string& bytes : merge ? std::vector{kBackup, kInUse} : kK2Tables)
            EXPECT_TRUE(std::ranges::any_of(now, [&](const auto& f) { return f.second == bytes; }))
                << "lost " << bytes << " " << when;
        for (const auto& [path, bytes] : before)
            EXPECT_TRUE(At(after, path) != bytes || At(now, path) == bytes) << path << " changed " << when;
        for (const auto& [path, bytes] : now)
            EXPECT_TRUE(path.starts_with("game/") || path.starts_with("mod/") || before.contains(path)) << path;
        return now;
    }

    // The end state of a completed removal, whichever way it got there: every file as a single run
    // leaves it, a complete log.
    void CheckEndState(const std::string& when, bool afterAKill = true) {
        Files now = CheckInvariants(when);
        std::string& log = now["mod/uninstall/removal_results.rtf"];
        EXPECT_TRUE(log.starts_with("{\\rtf1\\ansi") && log.ends_with("}")) << when << "\n" << log;
        log = kLog;
        // Where a kill came between a delete and the restore, the .original stays in place and the
        // table's backup goes to override, where the second run finds no table in use.
        for (const auto& [stays, place] :
             {std::pair{"k2_icon.tga.original", "k2_icon.tga"}, std::pair{"spells.2da", "Sub Folder/spells.2da"}}) {
            if (auto file = now.extract("game/override/" + std::string(afterAKill ? stays : "")))
                now.try_emplace("game/override/" + std::string(place), file.mapped());
        }
        for (const auto& [path, bytes] : after) EXPECT_EQ(At(now, path), bytes) << path << " " << when;
        for (const auto& [path, bytes] : now)  // a killed run's temporary file may stay
            EXPECT_TRUE(after.contains(path) || path.find("/.zelvane-") != std::string::npos) << path << " " << when;
    }

    // A traced run without a kill: the calls that change the file system or flush, and its end state.
    std::vector<TracedCall> TracedRun() {
        MakeTree();
        const std::string tracePath = temp.Path() + "/trace.txt";
        EXPECT_EQ(Shell("strace -f -qq -y -o '" + tracePath +
                        "' -e trace=?open,?openat,?openat2,?creat,?unlink,?unlinkat,?rename,?renameat,?renameat2,"
                        "?mkdir,?mkdirat,?rmdir,?chmod,?fchmod,?fchmodat,?truncate,?ftruncate,?link,?linkat,?symlink,"
                        "?symlinkat,fsync,fdatasync " +
                        Console()),
                  Status())
            << ReadFile(out);
        CheckEndState("after a run without a kill", false);
        return TracedCalls(ReadFile(tracePath));
    }

    // The run is killed before each change the traced run made, in turn, on a fresh tree. A change
    // is named by its call and which invocation of that call it is, as strace counts; opens count
    // when they can write or create.
    void KillBeforeEachChange(const std::vector<TracedCall>& calls, std::size_t atLeast) {
        std::vector<std::pair<TracedCall, int>> changes;
        std::map<std::string, int> invocations;
        for (const TracedCall& c : calls) {
            if (c.call == "exit" || c.call == "exit_group" || c.call.ends_with("sync")) continue;
            const int invocation = ++invocations[c.call];
            bool writes = !c.call.starts_with("open");
            for (const char* flag : {"O_WRONLY", "O_RDWR", "O_CREAT", "O_TRUNC"})
                writes = writes || c.line.find(flag) != std::string::npos;
            if (writes) changes.emplace_back(c, invocation);
        }
        ASSERT_GE(changes.size(), atLeast);
        for (std::size_t i = 0; i < changes.size() && !HasFailure(); ++i) {
            const std::string when = "after a kill before change " + std::to_string(i + 1) + " of " +
                                     std::to_string(changes.size()) + ": " + changes[i].first.line;
            MakeTree();
            EXPECT_EQ(Shell("strace -f -qq -o /dev/null -e inject=" + changes[i].first.call +
                            ":error=EIO:signal=KILL:when=" + std::to_string(changes[i].second) + " " + Console()),
                      128 + SIGKILL)
                << when << "\n"
                << ReadFile(out);
            CheckInvariants(when);
            ASSERT_EQ(Shell(Console()), Status()) << when << "\n" << ReadFile(out);
            CheckEndState(when + ", then a run to the end");
        }
    }
};

// What a power cut needs and a kill cannot show: the copy that keeps a table in use is on the
// medium, bytes and name, before that table is deleted; the new log before the earlier log goes;
// and no other flush, since each costs a commit of the file system.
TEST_F(ConsoleCrashConsistency, EveryCopyThatKeepsATableIsFlushedFirstAndAKillBeforeAnyChangeLosesNothing) {
    const std::vector<TracedCall> calls = TracedRun();
    for (const std::string table : {"override/appearance.2da", "override/Sub Folder/spells.2da"}) {
        const std::size_t deleted = Find(calls, false, game + "/" + table, calls.size());
        ASSERT_LT(deleted, calls.size()) << table << " not deleted";
        ExpectOnTheMediumBefore(calls, mod + "/Backup Uninstall/" + table.substr(table.rfind('/') + 1), deleted);
    }
    const std::size_t earlierLogGone = Find(calls, false, mod + "/uninstall/removal_results.rtf", calls.size());
    ASSERT_LT(earlierLogGone, calls.size());
    ExpectOnTheMediumBefore(calls, mod + "/uninstall/removal_results.rtf.saving", earlierLogGone, false);
    std::size_t flushes = 0;
    for (const TracedCall& c : calls) flushes += c.call.ends_with("sync") ? 1 : 0;
    EXPECT_LE(flushes, 2u * 2 + 2u * 2 + 2 + 1);  // two copies of two tables, the working copy, the log
    KillBeforeEachChange(calls, 20);
}

// A merge on the medium: the table in use is in Backup Uninstall, bytes and name, before the
// merged table is renamed over it; the merged table's bytes before it takes the name; the backup's
// safety copy before the backup is deleted.
TEST_F(ConsoleCrashConsistency, EveryCopyOfAMergeIsFlushedFirstAndAKillBeforeAnyChangeLosesNoTable) {
    merge = true;
    const std::vector<TracedCall> calls = TracedRun();
    const std::size_t merged = Find(calls, true, game + "/override/appearance.2da", calls.size());
    ASSERT_LT(merged, calls.size()) << "the merged table was not renamed into place";
    ExpectOnTheMediumBefore(calls, mod + "/Backup Uninstall/appearance.2da", merged);
    ExpectOnTheMediumBefore(calls, game + "/override/appearance.2da", merged + 1, false);
    const std::size_t backupGone = Find(calls, false, mod + "/backup/appearance.2da", calls.size());
    ASSERT_LT(backupGone, calls.size()) << "the backup was not deleted";
    ASSERT_GT(backupGone, merged);
    ExpectOnTheMediumBefore(calls, mod + "/Backup Uninstall/original install backup.appearance.2da", backupGone);
    KillBeforeEachChange(calls, 10);
}

}  // namespace
}  // namespace zelvane::e2e
