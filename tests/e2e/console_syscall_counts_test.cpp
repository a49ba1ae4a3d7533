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

#include "tests/support/strace_summary.hpp"
#include "bench/synthetic_tree.hpp"
#include "tests/e2e/e2e_support.hpp"

namespace zelvane::e2e {
namespace {

TEST(ConsoleSyscallCounts, CallsAboutFilesPerEntryStayWithinTheBudget) {
    if (std::system("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
    // Measured: about 6 plain, 13 with 20 tables (their copies and prompts).
    for (const auto& [tables, budget] : {std::pair{std::size_t{0}, 7.5}, std::pair{std::size_t{20}, 17.0}}) {
        SCOPED_TRACE(std::to_string(tables) + " tables");
        bench::TreeShape shape = bench::Scaled(10);  // 5,000 files in 50 folders, 500 entries, 200 moved
        shape.tables = tables;
        const bench::SyntheticInstall plan = bench::PlanInstall(shape);
        TempFolder temp;
        const std::string game = temp.Path() + "/game", mod = temp.Path() + "/mod";
        const auto inGame = [&](std::string relative) {
            for (char& c : relative) c = c == '\\' ? '/' : c;
            return game + "/" + relative;
        };
        for (const std::string& folder : plan.folders) MakeFolders(inGame(folder));
        for (const bench::PlannedFile& file : plan.files) WriteFile(inGame(file.path), file.bytes);
        WriteFile(game + "/dialog.tlk", kTlk);
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
        EXPECT_TRUE(ReadFile(mod + "/uninstall/removal_results.rtf").ends_with(Totals(0, 0)));
        for (const std::string& table : plan.tables) EXPECT_FALSE(Exists(mod + "/backup/" + table)) << table;

        std::map<std::string, double> calls = bench::StraceSummary(ReadFile(temp.Path() + "/strace.txt"));
        double fileCalls = 0;
        for (const char* name :
             {"openat", "open", "close", "newfstatat", "fstat", "statx", "stat", "lstat", "faccessat", "faccessat2",
              "access", "unlinkat", "unlink", "getdents64", "readlink", "fcntl"})
            fileCalls += calls[name];
        ASSERT_GE(calls["unlinkat"], static_cast<double>(plan.deleted.size()));
        const double perEntry = fileCalls / static_cast<double>(plan.entries.size());
        std::cout << "[ counts   ] " << tables << " tables: " << perEntry << " calls about files per entry\n";
        EXPECT_LE(perEntry, budget);
    }
}

}  // namespace
}  // namespace zelvane::e2e
