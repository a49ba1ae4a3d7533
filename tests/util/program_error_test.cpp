#include "util/program_error.hpp"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace zelvane {
namespace {

TEST(ProgramError, UnexpectedFailuresAreNumberedAsTheHandlersReportThem) {
    const ProgramError own = FailureOf(ProgramError(53, "File not found"));
    EXPECT_EQ(own.Number(), 53);
    EXPECT_EQ(own.Description(), "File not found");
    const ProgramError memory = FailureOf(std::bad_alloc());
    EXPECT_EQ(memory.Number(), 7);
    EXPECT_EQ(memory.Description(), "Out of memory");
    const ProgramError other = FailureOf(std::length_error("vector"));
    EXPECT_EQ(other.Number(), 51);
    EXPECT_EQ(other.Description(), "Internal error");
}

}  // namespace
}  // namespace zelvane
