// The console's own limits on what it reads, at the size just over each.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/console/console_host.hpp"
#include "tests/e2e/e2e_support.hpp"

namespace zelvane::console {
namespace {

// An answers line holds at most 64 KiB; a longer one ends the answers.
TEST(ConsoleLimits, AnAnswersLineOver64KiBEndsTheAnswers) {
    e2e::TempFolder t;
    const std::string full(64 * 1024, 'y');
    e2e::WriteFile(t.Path() + "/answers.txt", full + "\n" + full + "y\nYes\n");
    const OpenedAnswers answers = OpenAnswersFile(t.Path() + "/answers.txt");
    ASSERT_NE(answers.lines, nullptr);
    EXPECT_EQ(answers.lines->Next(), full);
    EXPECT_EQ(answers.lines->Next(), std::nullopt);
}

}  // namespace
}  // namespace zelvane::console
