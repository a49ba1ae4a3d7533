// The budget of system calls of a whole console run, counted with `strace -c -f` on synthetic K2
// installs of 5,000 files in the layouts of the benchmark: the calls about files per listed entry
// stay a small constant (a lookup, an access check and an unlink per file, the walk of override
// shared by all entries). A walk of the tree per entry or after each prompt, a folder read again
// for every file checked, or an existence test that opens the file would each break it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <map>
#include <string>

#include "bench/strace_summary.hpp"
#include "bench/synthetic_tree.hpp"
#include "tests/e2e/e2e_support.hpp"

namespace zelvane::e2e {
namespace {

std::string HostForm(const std::string& game, std::string relative) {
    for (char& c : relative) c = c == '\\' ? '/' : c;
    return game + "/" + relative;
}

struct Budget {
    const char* name;
    std::size_t tables;
    double fileCallsPerEntry;  // measured: about 6 plain, 13 with 20 tables (their copies and prompts)
};

void PrintTo(const Budget& budget, std::ostream* out) { *out << budget.name; }

class ConsoleSyscallCounts : public ::testing::TestWithParam<Budget> {};

TEST_P(ConsoleSyscallCounts, CallsAboutFilesPerEntryStayWithinTheBudget) {
    if (std::system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
    bench::TreeShape shape = bench::Scaled(10);  // 5,000 files in 50 folders, 500 entries, 200 moved
    shape.tables = GetParam().tables;
    const bench::SyntheticInstall plan = bench::PlanInstall(shape);
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
    std::string answers;
    for (std::size_t i = 0; i < 2 + plan.tables.size(); ++i) answers += "0\n";
    WriteFile(temp.Path() + "/answers.txt", answers);
    MakeFolders(temp.Path() + "/home");

    // The leak checker of a sanitizer build cannot work in a process that strace follows.
    const std::string command = "cd " + temp.Path() + " && HOME=" + temp.Path() +
                                "/home ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\" strace -c -f "
                                "-o strace.txt " ZELVANE_CONSOLE
                                " --no-open --no-color --program-folder mod "
                                "--registry registry.txt --answers answers.txt </dev/null >console.out 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile(temp.Path() + "/console.out");
    const std::string log = ReadFile(mod + "/uninstall/removal_results.rtf");
    EXPECT_NE(log.find("\\cf6\\b 0 errors."), std::string::npos) << log;
    EXPECT_NE(log.find("\\cf6\\b 0 files not found."), std::string::npos);
    for (const std::string& path : plan.deleted) EXPECT_FALSE(Exists(HostForm(game, path))) << path;
    for (const std::string& table : plan.tables) EXPECT_FALSE(Exists(mod + "/backup/" + table)) << table;

    const std::map<std::string, double> calls = bench::StraceSummary(ReadFile(temp.Path() + "/strace.txt"));
    double fileCalls = 0;
    for (const char* name : {"openat", "open", "close", "newfstatat", "fstat", "statx", "stat", "lstat", "faccessat",
                             "faccessat2", "access", "unlinkat", "unlink", "getdents64", "readlink", "fcntl"}) {
        fileCalls += calls.contains(name) ? calls.at(name) : 0;
    }
    ASSERT_GE(calls.contains("unlinkat") ? calls.at("unlinkat") : 0, static_cast<double>(plan.deleted.size()));
    const double perEntry = fileCalls / static_cast<double>(plan.entries.size());
    std::cout << "[ counts   ] " << GetParam().name << ": " << perEntry << " calls about files per entry\n";
    EXPECT_LE(perEntry, GetParam().fileCallsPerEntry);
}

INSTANTIATE_TEST_SUITE_P(Layouts, ConsoleSyscallCounts,
                         ::testing::Values(Budget{"Plain", 0, 7.5}, Budget{"Tables", 20, 17.0}),
                         [](const ::testing::TestParamInfo<Budget>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelvane::e2e
