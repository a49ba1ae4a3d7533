// Crash consistency on real disk: a removal by zelvane-console is killed just before each change it
// makes to the file system (strace stops every creating open, delete, rename, new folder and new
// mode with SIGKILL before it is carried out). After every kill no table and no .original content
// is lost and nothing outside the game and program folders has changed; a second run then
// completes and leaves the end state a single run leaves. What a kill cannot show, the order of
// the flushes a power cut needs, is read from a trace of the same run.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <cctype>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tables/table_bytes.hpp"
#include "tests/e2e/e2e_support.hpp"
#include "tests/tables/table_maker.hpp"

namespace zelvane::e2e {
namespace {

int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    if (status == -1) return -1;
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

// The leak checker of a sanitizer build cannot work in a process that strace follows.
const std::string kStrace = "ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\" strace -f -qq ";

// One call of an strace log: its name, the paths of its descriptors ("5</a/b>" with -y) and its
// quoted arguments, in order, and the line as traced.
struct TracedCall {
    std::string call;
    std::vector<std::string> paths;
    std::vector<std::string> names;
    std::string line;
};

// Without std::regex, whose header GCC's sanitizer build warns about.
std::vector<TracedCall> TracedCalls(const std::string& trace) {
    std::vector<TracedCall> calls;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        std::size_t at = line.find_first_not_of("0123456789 ");  // the process id of strace -f
        const std::size_t open = line.find('(', at);
        if (at == std::string::npos || open == std::string::npos ||
            line.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_", at) != open) {
            continue;
        }
        TracedCall call{line.substr(at, open - at), {}, {}, line};
        for (at = open; (at = line.find_first_of("<\"", at)) != std::string::npos;) {
            const std::size_t end = line.find(line[at] == '<' ? '>' : '"', at + 1);
            if (end == std::string::npos) break;
            const bool descriptor = line[at] == '<' && std::isdigit(static_cast<unsigned char>(line[at - 1]));
            if (line[at] == '"' || descriptor)
                (descriptor ? call.paths : call.names).push_back(line.substr(at + 1, end - at - 1));
            at = end + 1;
        }
        calls.push_back(call);
    }
    return calls;
}

bool IsFlushOf(const TracedCall& c, const std::string& path) {
    return (c.call == "fsync" || c.call == "fdatasync") && !c.paths.empty() && c.paths[0] == path;
}

// Before call `before`: the index of the first call that deletes folder/name or (with `rename`) of
// the last rename that gives a file of the folder that name; calls.size() where there is none.
std::size_t Find(const std::vector<TracedCall>& calls, bool rename, const std::string& folder, const std::string& name,
                 std::size_t before) {
    const std::size_t at = rename ? 1 : 0;  // the target of a rename, the one argument of a delete
    std::size_t found = calls.size();
    for (std::size_t i = 0; i < before && i < calls.size() && (rename || found == calls.size()); ++i) {
        const TracedCall& c = calls[i];
        const bool kind = rename ? c.call == "renameat" || c.call == "renameat2" : c.call == "unlinkat";
        if (kind && c.paths.size() > at && c.names.size() > at && c.paths[at] == folder && c.names[at] == name)
            found = i;
    }
    return found;
}

// A file written under a temporary name in `folder` and renamed to `name` there before the call at
// `before`: its bytes flushed before it got the name, and (unless only the bytes count) the
// folder flushed after, so that both are on the medium before that call.
void ExpectOnTheMediumBefore(const std::vector<TracedCall>& calls, const std::string& folder, const std::string& name,
                             std::size_t before, bool nameToo = true) {
    const std::size_t renamed = Find(calls, true, folder, name, before);
    ASSERT_LT(renamed, before) << folder << "/" << name << " not in place before call " << before;
    bool bytesFlushed = false;
    for (std::size_t i = 0; i < renamed; ++i) {
        bytesFlushed = bytesFlushed || IsFlushOf(calls[i], folder + "/" + calls[renamed].names[0]);
    }
    bool nameFlushed = !nameToo;
    for (std::size_t i = renamed + 1; i < before; ++i) nameFlushed = nameFlushed || IsFlushOf(calls[i], folder);
    EXPECT_TRUE(bytesFlushed) << folder << "/" << name << " was not flushed before it got its name";
    EXPECT_TRUE(nameFlushed) << folder << " was not flushed after " << name << " was put there";
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
// The content never lost at any moment, and the files a completed run deleted.
const std::vector<std::string> kMergeTables{kBackup, kInUse};
const std::vector<std::string> kK2Tables{"2DA V2.0 appearance in use",
                                         "2DA V2.0 appearance original",
                                         "2DA V2.0 spells in use",
                                         "2DA V2.0 spells original",
                                         "2DA V2.0 feat in use",
                                         "2DA V2.0 skills in use",
                                         "game icon"};
const std::vector<std::string> kMergeGone{"game/override/m_item.uti"};
const std::vector<std::string> kK2Gone{"game/override/k2_item.uti", "game/override/Sub Folder/k2_moved.tga",
                                       "game/override/k2_notes.txt", "game/override/k2_locked.uti",
                                       "game/Movies/k2_intro.bik"};

class ConsoleCrashConsistency : public ::testing::Test {
protected:
    void SetUp() override {
        if (Shell("command -v strace >/dev/null 2>&1") != 0) {
            GTEST_SKIP() << "\n*** strace is not installed (tools/install-deps.sh installs it): the crash-consistency "
                            "tests did NOT run ***\n";
        }
    }

    TempFolder temp;
    std::string root = temp.Path() + "/case";
    std::string game = root + "/game";
    std::string mod = root + "/mod";
    std::string files = root + "/files";
    std::string kept = mod + "/Backup Uninstall";
    std::string out = temp.Path() + "/out.txt";
    bool merge = false;  // the K1 merge rather than the rich K2 removal

    // Either tree after an earlier run, with another mod's file, a save outside and Yes to
    // everything. The K2 removal: a file list with a read-only file and a file moved into a
    // subfolder, a queued delete, a queued restore and two 2da backups, one of whose tables lies
    // in a subfolder; Backup Uninstall and a read-only log of the earlier run; and what a mod
    // archive or a player may put into the program folder: a backup that is a pipe, one that is a
    // link to the table in use, and an information document larger than any (that takes no room).
    // The merge: a K1 removal whose 2da work is a merge (answered M), the mod's own files beside
    // the program folder, and a read-only copy of an earlier run in Backup Uninstall.
    void MakeTree() {
        Shell("rm -rf '" + root + "'");
        WriteTree(root, {{"outside/save.sav", "hours of play"},
                         {"game/dialog.tlk", kTlk},
                         {"game/override/keep.uti", "another mod's file"},
                         {"mod/Backup Uninstall/appearance.2da", "displaced by an earlier run"}});
        SetMode(kept + "/appearance.2da", 0444);
        if (merge) {
            WriteTree(root, {{"mod/uninstall/uninstall_data.ini",
                              CrLf("#game=1\n#qrestore_2da=1\n#qrestore_2da_files=appearance.2da\n#file_list\n"
                                   "override\\m_item.uti\n")},
                             {"mod/backup/appearance.2da", kBackup},
                             {"files/override/appearance.2da", kModsOwn},
                             {"game/override/appearance.2da", kInUse},
                             {"game/override/m_item.uti", "item"},
                             {"registry.txt",
                              "HKEY_LOCAL_MACHINE\\Software\\BioWare\\SW\\KOTOR|Path|" + WindowsForm(game) + "\n"},
                             {"answers.txt", "0\nm\n"}});
            return;
        }
        WriteTree(root,
                  {{"mod/uninstall/uninstall_data.ini",
                    CrLf("#game=2\n#qdelete_file_0=override\\k2_notes.txt\n#qdelete_file_begin_0#\n"
                         "Delete the notes?\n#qdelete_file_end_0#\n#qrestore_file_0=override\\k2_icon.tga\n"
                         "#qrestore_file_begin_0#\nRestore the icon?\n#qrestore_file_end_0#\n#qrestore_2da=1\n"
                         "#qrestore_2da_files=appearance.2da,spells.2da\n#file_list\noverride\\k2_item.uti\n"
                         "override\\k2_moved.tga\noverride\\k2_locked.uti\nMovies\\k2_intro.bik\n")},
                   {"mod/uninstall/removal_results.rtf", "{\\rtf1 an earlier log}"},
                   {"mod/Backup Uninstall/original install backup.appearance.2da", "safety copy of an earlier run"},
                   {"mod/backup/appearance.2da", "2DA V2.0 appearance original"},
                   {"mod/backup/spells.2da", "2DA V2.0 spells original"},
                   {"mod/uninstall/uninstall_info.rtf", "{\\rtf1 "},
                   {"game/override/k2_locked.uti", "read-only item"},
                   {"game/Movies/k2_intro.bik", "mod movie"},
                   {"game/override/k2_item.uti", "item"},
                   {"game/override/Sub Folder/k2_moved.tga", "moved texture"},
                   {"game/override/k2_notes.txt", "notes"},
                   {"game/override/k2_icon.tga", "mod icon"},
                   {"game/override/k2_icon.tga.original", "game icon"},
                   {"game/override/appearance.2da", "2DA V2.0 appearance in use"},
                   {"game/override/Sub Folder/spells.2da", "2DA V2.0 spells in use"},
                   {"game/override/feat.2da", "2DA V2.0 feat in use"},
                   {"game/override/skills.2da", "2DA V2.0 skills in use"},
                   {"registry.txt", "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|" + WindowsForm(game) + "\n"},
                   {"answers.txt", "0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n0\n"}});
        SetMode(mod + "/uninstall/removal_results.rtf", 0444);
        SetMode(game + "/override/k2_locked.uti", 0444);
        ::mkfifo((mod + "/backup/feat.2da").c_str(), 0644);
        ::symlink((game + "/override/skills.2da").c_str(), (mod + "/backup/skills.2da").c_str());
        ::truncate((mod + "/uninstall/uninstall_info.rtf").c_str(), 5 << 20);
    }

    // The run; the log counts the refusals of the pipe, the link and the oversized files: 5.
    int Status() const { return merge ? 0 : 5; }
    std::string Console() const {
        return std::string("'") + ZELVANE_CONSOLE + "' --no-open --program-folder '" + mod + "' --answers '" + root +
               "/answers.txt' --registry '" + root + "/registry.txt'" + (merge ? " --mod-folder '" + files + "'" : "") +
               " >'" + out + "' 2>&1 </dev/null";
    }

    // What must hold at every moment: the tables and the .original content somewhere, the files
    // of the game that the mod does not own as they were, nothing outside changed.
    void CheckInvariants(const std::string& when) {
        Files everything = Snapshot(game);
        for (const auto& [path, bytes] : Snapshot(mod)) everything.emplace("mod/" + path, bytes);
        const std::vector<std::string>& lost = merge ? kMergeTables : kK2Tables;
        for (const std::string& bytes : lost) EXPECT_TRUE(ContainsContent(everything, bytes)) << "lost " << when;
        EXPECT_EQ(merge ? ReadFile(files + "/override/appearance.2da") : kModsOwn, kModsOwn) << when;
        EXPECT_EQ(ReadFile(game + "/override/keep.uti"), "another mod's file") << when;
        EXPECT_EQ(ReadFile(game + "/dialog.tlk"), kTlk) << when;
        EXPECT_EQ(Snapshot(root + "/outside"), (Files{{"save.sav", "hours of play"}})) << when;
        std::set<std::string> top;
        for (const auto& [path, bytes] : Snapshot(root)) top.insert(path.substr(0, path.find('/')));
        std::set<std::string> expected{"answers.txt", "game", "mod", "outside", "registry.txt"};
        if (merge) expected.insert("files");
        EXPECT_EQ(top, expected) << when;
    }

    // The end state of a completed removal, whichever way it got there.
    void CheckEndState(const std::string& when) {
        CheckInvariants(when);
        const std::string log = ReadFile(mod + "/uninstall/removal_results.rtf");
        EXPECT_TRUE(log.starts_with("{\\rtf1\\ansi") && log.ends_with("}")) << when << "\n" << log;
        const std::vector<std::string>& gone = merge ? kMergeGone : kK2Gone;
        for (const std::string& path : gone) EXPECT_FALSE(Exists(root + "/" + path)) << path << " " << when;
        for (const char* path :
             {"backup/appearance.2da", "uninstall/uninstall_data20A.ini", "uninstall/removal_results.rtf.saving"})
            EXPECT_FALSE(Exists(mod + "/" + path)) << path << " " << when;
        if (merge) {
            EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), kMerged) << when;
            EXPECT_EQ(ReadFile(kept + "/appearance.2da"), kInUse) << when;
            EXPECT_EQ(ReadFile(kept + "/original install backup.appearance.2da"), kBackup) << when;
            return;
        }
        // The backups that are no regular file of the program folder are never restored.
        EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), "2DA V2.0 appearance original") << when;
        EXPECT_EQ(ReadFile(game + "/override/feat.2da"), "2DA V2.0 feat in use") << when;
        EXPECT_EQ(ReadFile(game + "/override/skills.2da"), "2DA V2.0 skills in use") << when;
        const Files override = Snapshot(game + "/override");
        const Files keptFiles = Snapshot(kept);
        for (const std::string table : {"appearance", "spells"}) {
            for (const std::string version : {" in use", " original"}) {
                const std::string bytes = "2DA V2.0 " + table + version;
                EXPECT_EQ(ContainsContent(override, bytes), version == " original") << bytes << when;
                EXPECT_TRUE(ContainsContent(keptFiles, bytes)) << bytes << " not kept in Backup Uninstall " << when;
            }
        }
        EXPECT_FALSE(ContainsContent(override, "mod icon")) << when;
        EXPECT_TRUE(ContainsContent(override, "game icon")) << when;
    }

    // A traced run without a kill: the calls that change the file system, flush or end the run,
    // with the paths of their descriptors; the end state it leaves.
    std::vector<TracedCall> TracedRun() {
        MakeTree();
        const std::string tracePath = temp.Path() + "/trace.txt";
        EXPECT_EQ(Shell(kStrace + "-y -o '" + tracePath +
                        "' -e trace=?open,?openat,?openat2,?creat,?unlink,?unlinkat,?rename,?renameat,?renameat2,"
                        "?mkdir,?mkdirat,?rmdir,?chmod,?fchmod,?fchmodat,?truncate,?ftruncate,?link,?linkat,?symlink,"
                        "?symlinkat,fsync,fdatasync " +
                        Console()),
                  Status())
            << ReadFile(out);
        CheckEndState("after a run without a kill");
        return TracedCalls(ReadFile(tracePath));
    }

    // The run is killed before each change the traced run made, in turn, on a fresh tree: what
    // must hold at every moment holds, and a run after the kill ends as the run without one ended.
    void KillBeforeEachChange(const std::vector<TracedCall>& calls, std::size_t atLeast) {
        // Each change, as the call and which invocation of that call it is (strace counts each
        // call on its own); opens count when they can write or create.
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
        std::cout << "[ crash    ] " << changes.size() << " changes, a kill before each\n";
        for (std::size_t i = 0; i < changes.size() && !HasFailure(); ++i) {
            const std::string when = "after a kill before change " + std::to_string(i + 1) + " of " +
                                     std::to_string(changes.size()) + ": " + changes[i].first.line;
            MakeTree();
            EXPECT_EQ(Shell(kStrace + "-o /dev/null -e inject=" + changes[i].first.call +
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
// medium, its bytes and its name, before that table is deleted; the new log is on the medium
// before the earlier log goes; and the run flushes nothing else (two flushes per copy of a table
// and of the working copy, one for the log), since each flush costs a commit of the file system.
TEST_F(ConsoleCrashConsistency, EveryCopyThatKeepsATableIsFlushedFirstAndAKillBeforeAnyChangeLosesNothing) {
    const std::vector<TracedCall> calls = TracedRun();
    for (const auto& [folder, table] : {std::pair{game + "/override", std::string("appearance.2da")},
                                        std::pair{game + "/override/Sub Folder", std::string("spells.2da")}}) {
        const std::size_t deleted = Find(calls, false, folder, table, calls.size());
        ASSERT_LT(deleted, calls.size()) << table << " not deleted";
        ExpectOnTheMediumBefore(calls, kept, table, deleted);
    }
    // The new log is written under a temporary name, flushed, and named removal_results.rtf.saving;
    // the earlier log goes only after that.
    const std::string uninstall = mod + "/uninstall";
    const std::size_t earlierLogGone = Find(calls, false, uninstall, "removal_results.rtf", calls.size());
    ASSERT_LT(earlierLogGone, calls.size());
    ExpectOnTheMediumBefore(calls, uninstall, "removal_results.rtf.saving", earlierLogGone, false);
    std::size_t flushes = 0;
    for (const TracedCall& c : calls) flushes += c.call.ends_with("sync") ? 1 : 0;
    EXPECT_LE(flushes, 2u * 2 + 2u * 2 + 2 + 1);  // two copies of two tables, the working copy, the log
    KillBeforeEachChange(calls, 20);
}

// A merge on the medium: the table in use is in Backup Uninstall, bytes and name, before the
// merged table is renamed over it; the merged table's bytes are on the medium before it takes the
// name; the backup's safety copy is there before the backup is deleted. So a run after a kill
// finds the mod's changes already out where the merged table was in place, writes nothing, and
// ends as one run ends.
TEST_F(ConsoleCrashConsistency, EveryCopyOfAMergeIsFlushedFirstAndAKillBeforeAnyChangeLosesNoTable) {
    merge = true;
    const std::vector<TracedCall> calls = TracedRun();
    const std::size_t merged = Find(calls, true, game + "/override", "appearance.2da", calls.size());
    ASSERT_LT(merged, calls.size()) << "the merged table was not renamed into place";
    ExpectOnTheMediumBefore(calls, kept, "appearance.2da", merged);
    ExpectOnTheMediumBefore(calls, game + "/override", "appearance.2da", merged + 1, false);
    const std::size_t backupGone = Find(calls, false, mod + "/backup", "appearance.2da", calls.size());
    ASSERT_LT(backupGone, calls.size()) << "the backup was not deleted";
    ASSERT_GT(backupGone, merged);
    ExpectOnTheMediumBefore(calls, kept, "original install backup.appearance.2da", backupGone);
    KillBeforeEachChange(calls, 10);
}

}  // namespace
}  // namespace zelvane::e2e
