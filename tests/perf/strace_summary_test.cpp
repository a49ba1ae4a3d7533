// The summary of `strace -c` as strace 6 writes it: rows with and without errors, and the total.

#include "bench/strace_summary.hpp"

#include <gtest/gtest.h>

namespace zelvane::bench {
namespace {

TEST(StraceSummary, GivesTheCallsOfEachRowAndTheTotal) {
    const std::map<std::string, double> calls = StraceSummary(
        "% time     seconds  usecs/call     calls    errors syscall\n"
        "------ ----------- ----------- --------- --------- ----------------\n"
        " 41.20    0.000412          13        31           getdents64\n"
        " 30.00    0.000300           2       120        18 newfstatat\n"
        "  0.00    0.000000           0         7           unlinkat\n"
        "------ ----------- ----------- --------- --------- ----------------\n"
        "100.00    0.001000           6       158        18 total\n");
    EXPECT_EQ(calls, (std::map<std::string, double>{
                         {"getdents64", 31}, {"newfstatat", 120}, {"unlinkat", 7}, {"total", 158}}));
}

}  // namespace
}  // namespace zelvane::bench
