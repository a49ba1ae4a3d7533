// What a whole console run asks of the host, counted with `strace -c -f`: on synthetic K2
// installs of two sizes in the layouts of the benchmark, the system calls per entry of the file
// list stay within a small bound and do not grow with the tree, each folder of override is read
// about once (no walk of the tree after each prompt), and each listed file costs one unlink.

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include "bench/strace_summary.hpp"
#include "bench/synthetic_tree.hpp"
#include "platform/posix/folder_stamp.hpp"
#include "tests/e2e/e2e_support.hpp"

namespace zelvane::e2e {
namespace {

using bench::PlanInstall;
using bench::SyntheticInstall;
using bench::TreeShape;

std::string HostForm(const std::string& game, const std::string& relative) {
    std::string out = game + "/" + relative;
    for (char& c : out) {
        if (c == '\\') c = '/';
    }
    return out;
}

struct Counted {
    double perEntry = 0;           // every system call
    double fileCallsPerEntry = 0;  // the calls about files and folders (a sanitizer's own are others)
    double reads = 0;              // getdents64 (two for a small folder read once)
    double unlinks = 0;
    bool stampsAtOnce = false;  // the folders' stamps hold right after a change (fine-grained times)
    std::string log;
};

// Makes the install in a fresh folder and runs the console on it under strace.
Counted RunCounted(const TreeShape& shape) {
    const SyntheticInstall plan = PlanInstall(shape);
    TempFolder temp;
    const std::string game = temp.Path() + "/game";
    const std::string mod = temp.Path() + "/mod";
    for (const std::string& folder : plan.folders) MakeFolders(HostForm(game, folder));
    for (const bench::PlannedFile& file : plan.files) WriteFile(HostForm(game, file.path), file.bytes);
    WriteFile(game + "/dialog.tlk", std::string("TLK V3.0") + std::string(8, '\0'));
    WriteFile(mod + "/uninstall/uninstall_data.ini", bench::FileListDescription(plan.entries, plan.tables));
    for (const std::string& table : plan.tables) WriteFile(mod + "/backup/" + table, "2DA V2.0 original");
    WriteFile(temp.Path() + "/registry.txt",
              "HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|" + WindowsForm(game) + "\n");
    std::string answers = "0\n0\n";
    for (std::size_t i = 0; i < plan.tables.size(); ++i) answers += "0\n";
    WriteFile(temp.Path() + "/answers.txt", answers);
    MakeFolders(temp.Path() + "/home");

    // The leak checker of a sanitizer build cannot work in a process that strace follows.
    const std::string command =
        "cd " + temp.Path() + " && HOME=" + temp.Path() +
        "/home ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\" strace -c -f -o strace.txt " +
        ZELVANE_CONSOLE + " --no-open --no-color --program-folder mod --registry registry.txt" +
        " --answers answers.txt </dev/null >console.out 2>&1";
    Counted counted;
    const int folder = ::open(game.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    counted.stampsAtOnce = folder >= 0 && posix::TimeGrainOf(folder) == posix::TimeGrain::FineAfterQuery;
    if (folder >= 0) ::close(folder);
    if (std::system(command.c_str()) != 0) return counted;
    const std::map<std::string, double> calls = bench::StraceSummary(ReadFile(temp.Path() + "/strace.txt"));
    const auto count = [&](const char* name) { return calls.count(name) ? calls.at(name) : 0.0; };
    counted.perEntry = count("total") / static_cast<double>(plan.entries.size());
    double fileCalls = 0;
    for (const char* name : {"openat", "open", "close", "newfstatat", "fstat", "statx", "stat", "lstat", "faccessat",
                             "faccessat2", "access", "unlinkat", "unlink", "getdents64", "readlink", "fcntl"}) {
        fileCalls += count(name);
    }
    counted.fileCallsPerEntry = fileCalls / static_cast<double>(plan.entries.size());
    counted.reads = count("getdents64");
    counted.unlinks = count("unlinkat") + count("unlink");
    counted.log = ReadFile(mod + "/uninstall/removal_results.rtf");
    for (const std::string& path : plan.deleted) EXPECT_FALSE(Exists(HostForm(game, path))) << path;
    return counted;
}

class ConsoleSyscallCounts : public ::testing::TestWithParam<int> {};

TEST_P(ConsoleSyscallCounts, StayFewPerEntryAndDoNotGrowWithTheTree) {
    if (std::system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
    const int layout = GetParam();
    Counted sizes[2];
    int i = 0;
    for (const std::size_t divisor : {50u, 10u}) {  // 1,000 and 5,000 files
        TreeShape shape = bench::Scaled(divisor);
        if (layout == 1) shape.playerDirectPercent = 20;
        if (layout == 2) shape.upperCaseList = true;
        if (layout == 3) shape.tables = 20;
        const SyntheticInstall plan = PlanInstall(shape);
        Counted& c = sizes[i++];
        c = RunCounted(shape);
        ASSERT_NE(c.log.find("\\cf6\\b 0 errors."), std::string::npos) << c.log;
        EXPECT_NE(c.log.find("\\cf6\\b 0 files not found."), std::string::npos);
        // one unlink per listed file and per table replaced, and a few for the run's own files
        EXPECT_GE(c.unlinks, static_cast<double>(plan.deleted.size()));
        EXPECT_LE(c.unlinks, static_cast<double>(plan.deleted.size() + plan.tables.size()) + 5);
        // about 25 calls per entry measured at 1,000 files, where the start weighs most (tables:
        // 35 with their copies and prompts); a walk of the tree per entry would be hundreds
        EXPECT_LE(c.perEntry, 60) << "files: " << shape.files;
        // at 5,000 files 5.4 to 6.9 calls about files per entry (tables 13): a lookup, an access
        // check and an unlink per file, the walk shared; an existence test that opens the file, or
        // folders let go and opened again, would add two or more
        std::cout << "[ counts   ] " << shape.files << " files: " << c.perEntry << " calls per entry, "
                  << c.fileCallsPerEntry << " about files\n";
        if (shape.files >= 5000) {
            EXPECT_LE(c.fileCallsPerEntry, plan.tables.empty() ? 7.5 : 17.0);
        }
        // each folder of override read about once, and a table's folder again when the table is put
        // back; a walk of the tree after each of the tables' 40 prompts would be 80 per folder
        // (where times are coarse, a folder the run has just changed has no stamp yet, and the
        // tree is walked again after the prompt that follows)
        const double folders = static_cast<double>(plan.folders.size() + 2 * plan.tables.size());
        if (c.stampsAtOnce || plan.tables.empty()) {
            EXPECT_LE(c.reads, 4 * folders + 10) << "files: " << shape.files;
        }
    }
    // linear: the cost per entry of the larger tree is about that of the smaller one
    EXPECT_LE(sizes[1].perEntry, sizes[0].perEntry * 1.3 + 2);
}

std::string LayoutName(const ::testing::TestParamInfo<int>& info) {
    const char* const names[] = {"Moved", "Player20", "UpperCase", "Tables"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Layouts, ConsoleSyscallCounts, ::testing::Values(0, 1, 2, 3), LayoutName);

}  // namespace
}  // namespace zelvane::e2e
