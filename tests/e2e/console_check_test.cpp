// zelvane-console --check on copies of the gallery of broken descriptions and of the bundled
// example: the printed diagnostics, the exit status, and not a byte changed on disk.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.hpp"

namespace zelvane::e2e {
namespace {

namespace fs = std::filesystem;

const fs::path kGallery = ZELVANE_CHECK_GALLERY;
const fs::path kExamples = ZELVANE_EXAMPLES;

std::vector<std::string> Cases() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kGallery)) {
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The status --check must give for a summary line "E errors, W warnings, N notes".
int StatusOf(const std::string& printed) {
    const std::size_t start = printed.rfind('\n', printed.size() - 2);
    const std::string summary = printed.substr(start == std::string::npos ? 0 : start + 1);
    if (!summary.starts_with("0 errors")) return 1;
    return summary.find(", 0 warnings") == std::string::npos ? 2 : 0;
}

// The diagnostics as --check prints them: each names the description by the path the check was
// given ("/tmp/x/case/uninstall/uninstall_data.ini:12: warning: ...").
std::string NamedBy(const std::string& folder, const std::string& diagnostics) {
    std::string out;
    std::size_t start = 0;
    while (start < diagnostics.size()) {
        std::size_t end = diagnostics.find('\n', start);
        end = end == std::string::npos ? diagnostics.size() : end + 1;
        const std::string line = diagnostics.substr(start, end - start);
        out += (line.starts_with("uninstall_data.ini:") ? folder + "/uninstall/" : "") + line;
        start = end;
    }
    return out;
}

class ConsoleCheckGallery : public ::testing::TestWithParam<std::string> {};

TEST_P(ConsoleCheckGallery, PrintsTheExpectedDiagnosticsAndChangesNothing) {
    TempFolder temp;
    const std::string folder = temp.Path() + "/" + GetParam();
    fs::copy(kGallery / GetParam(), folder, fs::copy_options::recursive);
    const std::string expected = ReadFile(folder + "/expected.txt");
    const auto before = Snapshot(folder);

    std::vector<std::string> arguments{"--check", "--program-folder", folder};
    if (Exists(folder + "/mod")) arguments.insert(arguments.end(), {"--mod-folder", folder + "/mod"});
    if (Exists(folder + "/game")) arguments.insert(arguments.end(), {"--game-folder", folder + "/game"});
    const ConsoleRun run = RunConsole(arguments);

    EXPECT_EQ(run.out, NamedBy(folder, expected));
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.exitCode, StatusOf(expected));
    EXPECT_EQ(Snapshot(folder), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, ConsoleCheckGallery, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

TEST(ConsoleCheck, TheBundledExamplePassesWithoutAWarning) {
    TempFolder temp;
    fs::copy(kExamples, temp.Path(), fs::copy_options::recursive);
    const auto before = Snapshot(temp.Path());

    const ConsoleRun plain = RunConsole({"--check", "--program-folder", temp.Path() + "/mod"});
    EXPECT_EQ(plain.out, "0 errors, 0 warnings, 0 notes\n");
    EXPECT_EQ(plain.exitCode, 0);

    const ConsoleRun withGame =
        RunConsole({"--check", "--program-folder", temp.Path() + "/mod", "--game-folder", temp.Path() + "/game"});
    EXPECT_EQ(
        withGame.out,
        NamedBy(
            temp.Path() + "/mod",
            "uninstall_data.ini:11: note: #qdelete_file_0= path \"override\\ex_robe_notes.txt\" is in the game folder\n"
            "uninstall_data.ini:17: note: #qrestore_file_0= path \"override\\ex_robe_icon.tga\" is in the game "
            "folder, and \"override\\ex_robe_icon.tga.original\" is there to restore\n"
            "uninstall_data.ini:23: note: 2da table \"override\\appearance.2da\": The table in use differs from the "
            "backup: 1 row added.\n"
            "uninstall_data.ini:23: note: 2da table \"override\\appearance.2da\": row 2 (label 2) added: 'Ex_Robe'\n"
            "uninstall_data.ini:31: note: file-list entry \"override\\ex_robe01.uti\" is in the game folder\n"
            "uninstall_data.ini:32: note: file-list entry \"override\\ex_robe01.tga\" is only in a subfolder of "
            "override, at \"override\\robes\\ex_robe01.tga\"; for K2 the run asks before deleting it there\n"
            "0 errors, 0 warnings, 6 notes\n"));
    EXPECT_EQ(withGame.exitCode, 0);
    EXPECT_EQ(Snapshot(temp.Path()), before);
}

// The blank description shipped for authors to start from: start-up reads it without an error, and
// the check finds nothing in it.
TEST(ConsoleCheck, TheTemplateLoadsAndChecksCleanly) {
    TempFolder temp;
    fs::create_directories(temp.Path() + "/uninstall");
    fs::copy_file(kExamples / "uninstall_data.template.ini", temp.Path() + "/uninstall/uninstall_data.ini");
    const ConsoleRun check = RunConsole({"--check", temp.Path()});
    EXPECT_EQ(check.out, "0 errors, 0 warnings, 0 notes\n");
    EXPECT_EQ(check.exitCode, 0);

    WriteFile(temp.Path() + "/answers.txt", "1\n");  // No to the confirmation
    const ConsoleRun run = RunConsole({"--no-open", "--answers", temp.Path() + "/answers.txt", temp.Path()});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Prompt: Confirm Remove Mod"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("INI Errors"), std::string::npos);
    EXPECT_EQ(run.out.find("Message:"), std::string::npos);
}

TEST(ConsoleCheck, MissingDescriptionIsAnError) {
    TempFolder temp;
    MakeFolders(temp.Path() + "/uninstall");
    const ConsoleRun run = RunConsole({"--check", "--program-folder", temp.Path()});
    EXPECT_EQ(run.out, temp.Path() + "/uninstall/uninstall_data.ini: error: the file \"" + WindowsForm(temp.Path()) +
                           "\\uninstall\\uninstall_data.ini\" was not found; start-up would stop with \"The "
                           "uninstall_data.ini file was not found.\"\n1 error, 0 warnings, 0 notes\n");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Snapshot(temp.Path()).empty());
}

TEST(ConsoleCheck, NeedsNoAnswers) {
    // The check reads no answers: standard input is /dev/null.
    TempFolder temp;
    WriteFile(temp.Path() + "/uninstall/uninstall_data.ini", "#game=2\r\n");
    const ConsoleRun run = RunConsole({"--check", "--program-folder", temp.Path()});
    EXPECT_EQ(run.out, "0 errors, 0 warnings, 0 notes\n");
    EXPECT_EQ(run.exitCode, 0);
}

TEST(ConsoleCheck, HelpNamesTheCheck) {
    const ConsoleRun run = RunConsole({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("--check"), std::string::npos);
    EXPECT_NE(run.out.find("--mod-folder"), std::string::npos);
    EXPECT_NE(run.out.find("--game-folder"), std::string::npos);
    EXPECT_NE(run.out.find("uninstall_data.ini:LINE: error|warning|note: text"), std::string::npos);
}

}  // namespace
}  // namespace zelvane::e2e
