// Crash consistency on real disk: a rich K2 removal by zelvane-console is killed just before each
// change it makes to the file system (strace stops every creating open, delete, rename, new folder
// and new mode with SIGKILL before it is carried out). After every kill no table and no .original
// content is lost and nothing outside the game and program folders has changed; a second run then
// completes and leaves the end state a single run leaves. What a kill cannot show, the order of the
// flushes a power cut needs, is read from a trace of the same run.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tables/table_bytes.hpp"
#include "tests/e2e/e2e_support.hpp"
#include "tests/tables/table_maker.hpp"

namespace zelvane::e2e {
namespace {

// Every system call that can change a file or folder; opens count when they can write or create.
// ("?" lets strace pass over calls that the machine does not have, such as open on arm64.)
const std::string kChangingCalls =
    "?open,?openat,?openat2,?creat,?unlink,?unlinkat,?rename,?renameat,?renameat2,?mkdir,?mkdirat,?rmdir,?chmod,"
    "?fchmod,?fchmodat,?truncate,?ftruncate,?link,?linkat,?symlink,?symlinkat";

// The contents no run may lose: the tables in use, the backups and the game's own .original file.
const std::vector<std::string> kKept = {"2DA V2.0 appearance in use",
                                        "2DA V2.0 appearance original",
                                        "2DA V2.0 spells in use",
                                        "2DA V2.0 spells original",
                                        "2DA V2.0 feat in use",
                                        "2DA V2.0 skills in use",
                                        "game icon"};

// One change of the run: the call and which invocation of that call it is (strace counts each
// call on its own).
struct ChangePoint {
    std::string call;
    int invocation = 0;
    std::string line;  // as traced, for the report
};

bool IsChange(const std::string& call, const std::string& arguments) {
    if (call != "open" && call != "openat" && call != "openat2") return true;
    return arguments.find("O_WRONLY") != std::string::npos || arguments.find("O_RDWR") != std::string::npos ||
           arguments.find("O_CREAT") != std::string::npos || arguments.find("O_TRUNC") != std::string::npos;
}

// A line of an strace log that records a call: the call's name, its arguments (and what follows
// them) and the line as traced.
struct TraceLine {
    std::string call;
    std::string arguments;
    std::string line;
};

std::vector<TraceLine> TraceLines(const std::string& trace) {
    static const std::regex kLine(R"(^(?:\d+\s+)?([a-z0-9_]+)\((.*)$)");
    std::vector<TraceLine> out;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (std::regex_match(line, match, kLine)) out.push_back({match[1], match[2], line});
    }
    return out;
}

std::vector<ChangePoint> ChangePoints(const std::string& trace) {
    std::vector<ChangePoint> points;
    std::map<std::string, int> invocations;
    for (const TraceLine& traced : TraceLines(trace)) {
        if (traced.call == "exit" || traced.call == "exit_group") continue;
        const int invocation = ++invocations[traced.call];
        if (IsChange(traced.call, traced.arguments)) points.push_back({traced.call, invocation, traced.line});
    }
    return points;
}

int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    if (status == -1) return -1;
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

// The leak checker of a sanitizer build cannot work in a process that strace follows.
const std::string kUntraceable = "ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\" ";

bool HaveStrace() { return Shell("command -v strace >/dev/null 2>&1") == 0; }

class ConsoleCrashConsistency : public ::testing::Test {
protected:
    TempFolder temp;
    std::string root = temp.Path() + "/case";
    std::string game = root + "/game";
    std::string mod = root + "/mod";
    std::string outside = root + "/outside";
    std::string registryFile = root + "/registry.txt";
    std::string answersFile = root + "/answers.txt";

    // A fresh tree after an earlier run: a file list with a read-only file and a file moved into a
    // subfolder, queued deletes, a queued restore and two 2da backups, one of whose tables lies in
    // a subfolder; Backup Uninstall and a read-only log of the earlier run. And what a mod archive
    // or a player may put into the program folder: a backup that is a pipe, one that is a link to
    // the table in use, and an information document larger than any (that takes no room).
    void MakeTree() {
        Shell("rm -rf '" + root + "'");
        WriteFile(mod + "/uninstall/uninstall_data.ini",
                  CrLfLines({"#game=2", "#qdelete_file_0=override\\k2_notes.txt", "#qdelete_file_begin_0#",
                             "Delete the notes?", "#qdelete_file_end_0#", "#qrestore_file_0=override\\k2_icon.tga",
                             "#qrestore_file_begin_0#", "Restore the icon?", "#qrestore_file_end_0#", "#qrestore_2da=1",
                             "#qrestore_2da_files=appearance.2da,spells.2da", "#file_list", "override\\k2_item.uti",
                             "override\\k2_moved.tga", "override\\k2_locked.uti", "Movies\\k2_intro.bik"}));
        WriteFile(mod + "/uninstall/removal_results.rtf", "{\\rtf1 an earlier log}");
        SetMode(mod + "/uninstall/removal_results.rtf", 0444);
        WriteFile(mod + "/Backup Uninstall/appearance.2da", "displaced by an earlier run");
        SetMode(mod + "/Backup Uninstall/appearance.2da", 0444);
        WriteFile(mod + "/Backup Uninstall/original install backup.appearance.2da", "safety copy of an earlier run");
        WriteFile(game + "/override/k2_locked.uti", "read-only item");
        SetMode(game + "/override/k2_locked.uti", 0444);
        WriteFile(game + "/Movies/k2_intro.bik", "mod movie");
        WriteFile(mod + "/backup/appearance.2da", "2DA V2.0 appearance original");
        WriteFile(mod + "/backup/spells.2da", "2DA V2.0 spells original");
        WriteFile(game + "/dialog.tlk", kTlk);
        WriteFile(game + "/override/k2_item.uti", "item");
        WriteFile(game + "/override/Sub Folder/k2_moved.tga", "moved texture");
        WriteFile(game + "/override/k2_notes.txt", "notes");
        WriteFile(game + "/override/k2_icon.tga", "mod icon");
        WriteFile(game + "/override/k2_icon.tga.original", "game icon");
        WriteFile(game + "/override/appearance.2da", "2DA V2.0 appearance in use");
        WriteFile(game + "/override/Sub Folder/spells.2da", "2DA V2.0 spells in use");
        WriteFile(game + "/override/keep.uti", "another mod's file");
        WriteFile(game + "/override/feat.2da", "2DA V2.0 feat in use");
        WriteFile(game + "/override/skills.2da", "2DA V2.0 skills in use");
        ::mkfifo((mod + "/backup/feat.2da").c_str(), 0644);
        ::symlink((game + "/override/skills.2da").c_str(), (mod + "/backup/skills.2da").c_str());
        WriteFile(mod + "/uninstall/uninstall_info.rtf", "{\\rtf1 ");
        ::truncate((mod + "/uninstall/uninstall_info.rtf").c_str(), 5 << 20);
        WriteFile(outside + "/save.sav", "hours of play");
        WriteFile(registryFile, "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|" + WindowsForm(game) + "\n");
        std::string answers;
        for (int i = 0; i < 12; ++i) answers += "0\n";  // Yes to everything
        WriteFile(answersFile, answers);
    }

    std::string ConsoleCommand() const {
        return std::string("'") + ZELVANE_CONSOLE + "' --no-open --program-folder '" + mod + "' --answers '" +
               answersFile + "' --registry '" + registryFile + "'" + moreArguments + " >'" + temp.Path() +
               "/out.txt' 2>&1 </dev/null";
    }
    std::string moreArguments;  // after the ones every run has

    std::map<std::string, std::string> Everything() const {
        auto files = Snapshot(game);
        for (const auto& [path, bytes] : Snapshot(mod)) files.emplace("mod/" + path, bytes);
        return files;
    }

    // What must hold at every moment: the tables and the .original content somewhere, the files
    // of the game that the mod does not own as they were, nothing outside changed.
    void CheckInvariants(const std::string& when) {
        const auto files = Everything();
        for (const std::string& kept : kKept) EXPECT_TRUE(ContainsContent(files, kept)) << kept << " lost " << when;
        EXPECT_EQ(ReadFile(game + "/override/keep.uti"), "another mod's file") << when;
        EXPECT_EQ(ReadFile(game + "/dialog.tlk"), kTlk) << when;
        EXPECT_EQ(Snapshot(outside), (std::map<std::string, std::string>{{"save.sav", "hours of play"}})) << when;
        std::set<std::string> top;
        for (const auto& [path, bytes] : Snapshot(root)) top.insert(path.substr(0, path.find('/')));
        EXPECT_EQ(top, (std::set<std::string>{"answers.txt", "game", "mod", "outside", "registry.txt"})) << when;
    }

    // A run without a kill gives the changes it makes and its end state; then the run is killed
    // before each of those changes in turn, on a fresh tree: what must hold at every moment holds,
    // and a run after the kill ends as the run without one ended.
    void KillBeforeEachChange(const std::function<void()>& makeTree,
                              const std::function<void(const std::string&)>& invariants,
                              const std::function<void(const std::string&)>& endState, int status,
                              std::size_t atLeast) {
        makeTree();
        const std::string tracePath = temp.Path() + "/trace.txt";
        const std::string out = temp.Path() + "/out.txt";
        ASSERT_EQ(Shell(kUntraceable + "strace -f -qq -o '" + tracePath + "' -e trace=" + kChangingCalls + " " +
                        ConsoleCommand()),
                  status)
            << ReadFile(out);
        endState("after a run without a kill");
        const std::vector<ChangePoint> points = ChangePoints(ReadFile(tracePath));
        ASSERT_GE(points.size(), atLeast) << ReadFile(tracePath);
        std::cout << "[ crash    ] " << points.size() << " changes, a kill before each\n";

        for (std::size_t i = 0; i < points.size(); ++i) {
            const ChangePoint& point = points[i];
            const std::string when = "after a kill before change " + std::to_string(i + 1) + " of " +
                                     std::to_string(points.size()) + ": " + point.line;
            makeTree();
            const int killed =
                Shell(kUntraceable + "strace -f -qq -o /dev/null -e inject=" + point.call +
                      ":error=EIO:signal=KILL:when=" + std::to_string(point.invocation) + " " + ConsoleCommand());
            EXPECT_EQ(killed, 128 + SIGKILL) << when << "\n" << ReadFile(out);
            invariants(when);
            ASSERT_EQ(Shell(ConsoleCommand()), status) << when << "\n" << ReadFile(out);
            endState(when + ", then a run to the end");
            if (HasFailure()) break;  // one report is enough to go on
        }
    }

    // The end state of a completed removal, whichever way it got there.
    void CheckEndState(const std::string& when) {
        CheckInvariants(when);
        const auto override = Snapshot(game + "/override");
        EXPECT_EQ(override.count("k2_item.uti"), 0u) << when;
        EXPECT_EQ(override.count("Sub Folder/k2_moved.tga"), 0u) << when;
        EXPECT_EQ(override.count("k2_notes.txt"), 0u) << when;
        EXPECT_EQ(override.count("k2_locked.uti"), 0u) << when;
        EXPECT_FALSE(Exists(game + "/Movies/k2_intro.bik")) << when;
        EXPECT_FALSE(ContainsContent(override, "mod icon")) << when;
        EXPECT_TRUE(ContainsContent(override, "game icon")) << when;
        EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), "2DA V2.0 appearance original") << when;
        EXPECT_TRUE(ContainsContent(override, "2DA V2.0 spells original")) << when;
        EXPECT_FALSE(ContainsContent(override, "2DA V2.0 appearance in use")) << when;
        EXPECT_FALSE(ContainsContent(override, "2DA V2.0 spells in use")) << when;
        // The backups that are no regular file of the program folder are never restored.
        EXPECT_EQ(ReadFile(game + "/override/feat.2da"), "2DA V2.0 feat in use") << when;
        EXPECT_EQ(ReadFile(game + "/override/skills.2da"), "2DA V2.0 skills in use") << when;
        const auto kept = Snapshot(mod + "/Backup Uninstall");
        for (const char* table : {"2DA V2.0 appearance in use", "2DA V2.0 spells in use",
                                  "2DA V2.0 appearance original", "2DA V2.0 spells original"}) {
            EXPECT_TRUE(ContainsContent(kept, table)) << table << " not kept in Backup Uninstall " << when;
        }
        const std::string log = ReadFile(mod + "/uninstall/removal_results.rtf");
        EXPECT_TRUE(log.starts_with("{\\rtf1\\ansi") && log.ends_with("}")) << when << "\n" << log;
        EXPECT_FALSE(Exists(mod + "/uninstall/uninstall_data20A.ini")) << when;
        EXPECT_FALSE(Exists(mod + "/uninstall/removal_results.rtf.saving")) << when;
    }
};

// The tables of a merge: the backup, the mod's own version (one cell changed) and the table in
// use (that cell as the mod wrote it, and a row a later mod added).
using zelvane::testing::MakeTable;
std::string BackupTable() {
    return WriteTable(MakeTable({"label", "race"}, {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR"}})).value();
}
std::string ModsOwnTable() {
    return WriteTable(MakeTable({"label", "race"}, {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR_NEW"}})).value();
}
std::string InUseTable() {
    return WriteTable(MakeTable({"label", "race"},
                                {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR_NEW"}, {"2", "Later", "P_LATER"}}))
        .value();
}
std::string MergedTable() {
    return WriteTable(MakeTable({"label", "race"},
                                {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR"}, {"2", "Later", "P_LATER"}}))
        .value();
}

// A K1 removal whose 2da work is a merge (answered M), after an earlier run left a read-only copy
// in Backup Uninstall; the mod's own files lie beside the program folder.
class ConsoleCrashConsistencyOfAMerge : public ConsoleCrashConsistency {
protected:
    std::string files = root + "/files";

    void MakeMergeTree() {
        Shell("rm -rf '" + root + "'");
        WriteFile(mod + "/uninstall/uninstall_data.ini",
                  CrLfLines({"#game=1", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da", "#file_list",
                             "override\\m_item.uti"}));
        WriteFile(mod + "/Backup Uninstall/appearance.2da", "displaced by an earlier run");
        SetMode(mod + "/Backup Uninstall/appearance.2da", 0444);
        WriteFile(mod + "/backup/appearance.2da", BackupTable());
        WriteFile(files + "/override/appearance.2da", ModsOwnTable());
        WriteFile(game + "/dialog.tlk", kTlk);
        WriteFile(game + "/override/appearance.2da", InUseTable());
        WriteFile(game + "/override/m_item.uti", "item");
        WriteFile(game + "/override/keep.uti", "another mod's file");
        WriteFile(outside + "/save.sav", "hours of play");
        WriteFile(registryFile, "HKEY_LOCAL_MACHINE\\Software\\BioWare\\SW\\KOTOR|Path|" + WindowsForm(game) + "\n");
        WriteFile(answersFile, "0\nm\n");
        moreArguments = " --mod-folder '" + files + "'";
    }

    void CheckMergeInvariants(const std::string& when) {
        const auto files = Everything();
        EXPECT_TRUE(ContainsContent(files, BackupTable())) << "the backup lost " << when;
        EXPECT_TRUE(ContainsContent(files, InUseTable())) << "the table in use lost " << when;
        EXPECT_EQ(ReadFile(this->files + "/override/appearance.2da"), ModsOwnTable()) << when;
        EXPECT_EQ(ReadFile(game + "/override/keep.uti"), "another mod's file") << when;
        EXPECT_EQ(Snapshot(outside), (std::map<std::string, std::string>{{"save.sav", "hours of play"}})) << when;
        std::set<std::string> top;
        for (const auto& [path, bytes] : Snapshot(root)) top.insert(path.substr(0, path.find('/')));
        EXPECT_EQ(top, (std::set<std::string>{"answers.txt", "files", "game", "mod", "outside", "registry.txt"}))
            << when;
    }

    void CheckMergeEndState(const std::string& when) {
        CheckMergeInvariants(when);
        EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), MergedTable()) << when;
        EXPECT_FALSE(Exists(game + "/override/m_item.uti")) << when;
        EXPECT_FALSE(Exists(mod + "/backup/appearance.2da")) << when;
        EXPECT_EQ(ReadFile(mod + "/Backup Uninstall/appearance.2da"), InUseTable()) << when;
        EXPECT_EQ(ReadFile(mod + "/Backup Uninstall/original install backup.appearance.2da"), BackupTable()) << when;
        const std::string log = ReadFile(mod + "/uninstall/removal_results.rtf");
        EXPECT_TRUE(log.starts_with("{\\rtf1\\ansi") && log.ends_with("}")) << when << "\n" << log;
    }
};

TEST_F(ConsoleCrashConsistency, AKillBeforeAnyChangeLosesNothingAndASecondRunCompletes) {
    if (!HaveStrace()) {
        GTEST_SKIP() << "\n*** strace is not installed (tools/install-deps.sh installs it): the crash-consistency "
                        "test did NOT run ***\n";
    }
    // The log counts the refusals of the pipe, the link and the oversized files: status 5.
    KillBeforeEachChange([this] { MakeTree(); }, [this](const std::string& when) { CheckInvariants(when); },
                         [this](const std::string& when) { CheckEndState(when); }, 5, 20);
}

// A merge copies the table in use aside before the merged table is renamed over it, and keeps
// the backup's safety copy before the backup goes; a run after a kill finds the mod's changes
// already out where the merged table was in place, writes nothing, and ends as one run ends.
TEST_F(ConsoleCrashConsistencyOfAMerge, AKillBeforeAnyChangeOfAMergeLosesNoTable) {
    if (!HaveStrace()) {
        GTEST_SKIP() << "\n*** strace is not installed (tools/install-deps.sh installs it): the crash-consistency "
                        "test of a merge did NOT run ***\n";
    }
    KillBeforeEachChange([this] { MakeMergeTree(); }, [this](const std::string& when) { CheckMergeInvariants(when); },
                         [this](const std::string& when) { CheckMergeEndState(when); }, 0, 10);
}

// One call of a trace made with `strace -y`, which gives each descriptor with its path: "5</a/b>".
struct TracedCall {
    std::string call;
    std::vector<std::string> paths;  // of the descriptors, in argument order
    std::vector<std::string> names;  // the quoted arguments, in order
};

std::vector<TracedCall> TracedCalls(const std::string& trace) {
    static const std::regex kDescriptor(R"(\d+<([^>]*)>)");
    static const std::regex kQuoted(R"re("([^"]*)")re");
    std::vector<TracedCall> calls;
    for (const TraceLine& traced : TraceLines(trace)) {
        TracedCall call{traced.call, {}, {}};
        const std::string& arguments = traced.arguments;
        const std::sregex_iterator end;
        for (auto it = std::sregex_iterator(arguments.begin(), arguments.end(), kDescriptor); it != end; ++it) {
            call.paths.push_back((*it)[1]);
        }
        for (auto it = std::sregex_iterator(arguments.begin(), arguments.end(), kQuoted); it != end; ++it) {
            call.names.push_back((*it)[1]);
        }
        calls.push_back(std::move(call));
    }
    return calls;
}

bool IsFlushOf(const TracedCall& c, const std::string& path) {
    return (c.call == "fsync" || c.call == "fdatasync") && !c.paths.empty() && c.paths[0] == path;
}

// The index of the first call that deletes folder/name, or calls.size().
std::size_t DeletionOf(const std::vector<TracedCall>& calls, const std::string& folder, const std::string& name) {
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const TracedCall& c = calls[i];
        const bool deletes = c.call == "unlinkat" && !c.paths.empty() && !c.names.empty();
        if (deletes && c.paths[0] == folder && c.names[0] == name) return i;
    }
    return calls.size();
}

// The index of the last rename before `before` that gives a file of `folder` the name `name`, or
// calls.size().
std::size_t RenameInto(const std::vector<TracedCall>& calls, const std::string& folder, const std::string& name,
                       std::size_t before) {
    std::size_t found = calls.size();
    for (std::size_t i = 0; i < before && i < calls.size(); ++i) {
        const TracedCall& c = calls[i];
        const bool rename = c.call == "renameat" || c.call == "renameat2";
        if (rename && c.paths.size() == 2 && c.paths[1] == folder && c.names.size() >= 2 && c.names[1] == name)
            found = i;
    }
    return found;
}

// A file written under a temporary name in `folder` and renamed to `name` there before the call at
// `before`: its bytes flushed before it got the name, and the folder flushed after, so that both
// are on the medium before that call.
void ExpectOnTheMediumBefore(const std::vector<TracedCall>& calls, const std::string& folder, const std::string& name,
                             std::size_t before, const std::string& trace) {
    const std::size_t renamed = RenameInto(calls, folder, name, before);
    ASSERT_LT(renamed, before) << folder << "/" << name << " not in place before call " << before << "\n" << trace;
    const std::string temporary = folder + "/" + calls[renamed].names[0];
    bool bytesFlushed = false;
    for (std::size_t i = 0; i < renamed; ++i) bytesFlushed = bytesFlushed || IsFlushOf(calls[i], temporary);
    bool nameFlushed = false;
    for (std::size_t i = renamed + 1; i < before; ++i) nameFlushed = nameFlushed || IsFlushOf(calls[i], folder);
    EXPECT_TRUE(bytesFlushed) << folder << "/" << name << " was not flushed before its name was given\n" << trace;
    EXPECT_TRUE(nameFlushed) << folder << " was not flushed after " << name << " was put there\n" << trace;
}

// What a power cut needs and a kill cannot show: the copy that keeps a table in use is on the
// medium, its bytes and its name, before that table is deleted; the new log is on the medium
// before the earlier log goes; and the run flushes nothing else (two flushes per copy of a table
// and of the working copy, one for the log), since each flush costs a commit of the file system.
TEST_F(ConsoleCrashConsistency, EveryCopyThatKeepsATableIsFlushedBeforeTheTableGoes) {
    if (Shell("command -v strace >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "\n*** strace is not installed (tools/install-deps.sh installs it): the flush-order "
                        "test did NOT run ***\n";
    }
    MakeTree();
    const std::string tracePath = temp.Path() + "/trace.txt";
    ASSERT_EQ(Shell(kUntraceable + "strace -f -qq -y -o '" + tracePath +
                    "' -e trace=fsync,fdatasync,unlinkat,renameat2,renameat " + ConsoleCommand()),
              5)
        << ReadFile(temp.Path() + "/out.txt");
    CheckEndState("after a traced run");
    const std::string trace = ReadFile(tracePath);
    const std::vector<TracedCall> calls = TracedCalls(trace);
    const std::string kept = mod + "/Backup Uninstall";

    for (const auto& [folder, table] : {std::pair{game + "/override", std::string("appearance.2da")},
                                        std::pair{game + "/override/Sub Folder", std::string("spells.2da")}}) {
        const std::size_t deleted = DeletionOf(calls, folder, table);
        ASSERT_LT(deleted, calls.size()) << table << " not deleted\n" << trace;
        ExpectOnTheMediumBefore(calls, kept, table, deleted, trace);
    }

    // The new log is written as a new file under a temporary name, flushed, and given the name
    // removal_results.rtf.saving; the earlier log goes only after that.
    const std::string uninstall = mod + "/uninstall";
    const std::size_t earlierLogGone = DeletionOf(calls, uninstall, "removal_results.rtf");
    ASSERT_LT(earlierLogGone, calls.size()) << trace;
    std::size_t saving = calls.size();
    for (std::size_t i = 0; i < earlierLogGone; ++i) {
        const TracedCall& c = calls[i];
        const bool rename = c.call == "renameat" || c.call == "renameat2";
        if (rename && c.paths.size() == 2 && c.paths[1] == uninstall && c.names.size() >= 2 &&
            c.names[1] == "removal_results.rtf.saving") {
            saving = i;
        }
    }
    ASSERT_LT(saving, earlierLogGone) << "the new log was not in place before the earlier one went\n" << trace;
    bool logFlushed = false;
    for (std::size_t i = 0; i < saving; ++i) {
        logFlushed = logFlushed || IsFlushOf(calls[i], uninstall + "/" + calls[saving].names[0]);
    }
    EXPECT_TRUE(logFlushed) << "the earlier log went before the new one was on the medium\n" << trace;

    std::size_t flushes = 0;
    for (const TracedCall& c : calls) flushes += c.call == "fsync" || c.call == "fdatasync" ? 1 : 0;
    EXPECT_LE(flushes, 2u * 2 + 2u * 2 + 2 + 1) << trace;  // R3 and R6 of two tables, the working copy, the log
}

// A merge on the medium: the table in use is in Backup Uninstall, bytes and name, before the
// merged table is renamed over it; the merged table's bytes are on the medium before it takes the
// name; the backup's safety copy is there before the backup is deleted.
TEST_F(ConsoleCrashConsistencyOfAMerge, EveryCopyIsFlushedBeforeTheTableItKeepsIsReplacedOrDeleted) {
    if (!HaveStrace()) {
        GTEST_SKIP() << "\n*** strace is not installed (tools/install-deps.sh installs it): the flush-order "
                        "test of a merge did NOT run ***\n";
    }
    MakeMergeTree();
    const std::string tracePath = temp.Path() + "/trace.txt";
    ASSERT_EQ(Shell(kUntraceable + "strace -f -qq -y -o '" + tracePath +
                    "' -e trace=fsync,fdatasync,unlinkat,renameat2,renameat " + ConsoleCommand()),
              0)
        << ReadFile(temp.Path() + "/out.txt");
    CheckMergeEndState("after a traced run");
    const std::string trace = ReadFile(tracePath);
    const std::vector<TracedCall> calls = TracedCalls(trace);
    const std::string kept = mod + "/Backup Uninstall";

    const std::string override = game + "/override";
    const std::size_t merged = RenameInto(calls, override, "appearance.2da", calls.size());
    ASSERT_LT(merged, calls.size()) << "the merged table was not renamed into place\n" << trace;
    ExpectOnTheMediumBefore(calls, kept, "appearance.2da", merged, trace);
    bool mergedFlushed = false;
    for (std::size_t i = 0; i < merged; ++i) {
        mergedFlushed = mergedFlushed || IsFlushOf(calls[i], override + "/" + calls[merged].names[0]);
    }
    EXPECT_TRUE(mergedFlushed) << "the merged table took its name before its bytes were on the medium\n" << trace;

    const std::size_t backupGone = DeletionOf(calls, mod + "/backup", "appearance.2da");
    ASSERT_LT(backupGone, calls.size()) << "the backup was not deleted\n" << trace;
    ASSERT_GT(backupGone, merged) << trace;
    ExpectOnTheMediumBefore(calls, kept, "original install backup.appearance.2da", backupGone, trace);
}

}  // namespace
}  // namespace zelvane::e2e
