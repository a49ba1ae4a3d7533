// The check of a description. The gallery of broken descriptions (check_gallery/<case>/uninstall/
// uninstall_data.ini, with an optional mod/ and game/ folder): each case gives exactly the diagnostics
// of its expected.txt (the summary line is shown once, below), the check changes nothing, and its start-up errors agree with start-up's own
// loader. The tests after it show what the gallery cannot.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "description/description_check.hpp"
#include "description/loader.hpp"
#include "platform/memory/memory_file_system.hpp"

namespace zelvane {
namespace {

namespace fs = std::filesystem;

const fs::path kGallery = ZELVANE_CHECK_GALLERY;
const std::string kRoot = "C:\\Gallery";

std::string ReadHostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> Cases() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kGallery)) {
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The case's files (expected.txt aside) in a memory file system under C:\Gallery\<case>.
std::string LoadCase(MemoryFileSystem& memory, const std::string& name) {
    const std::string folder = kRoot + "\\" + name;
    for (const auto& entry : fs::recursive_directory_iterator(kGallery / name)) {
        const std::string relative = fs::relative(entry.path(), kGallery / name).string();
        if (relative == "expected.txt") continue;
        std::string windows = folder + "\\" + relative;
        std::replace(windows.begin(), windows.end(), '/', '\\');
        if (entry.is_directory()) {
            memory.AddFolder(windows);
        } else {
            memory.AddFile(windows, ReadHostFile(entry.path()));
        }
    }
    return folder;
}

class CheckGallery : public ::testing::TestWithParam<std::string> {};

TEST_P(CheckGallery, GivesItsExpectedDiagnosticsAndChangesNothing) {
    MemoryFileSystem memory;
    const std::string folder = LoadCase(memory, GetParam());
    CheckOptions options;
    options.programFolder = folder;
    if (fs::is_directory(kGallery / GetParam() / "mod")) options.modFolder = folder + "\\mod";
    if (fs::is_directory(kGallery / GetParam() / "game")) options.gameFolder = folder + "\\game";
    const auto before = memory.Snapshot();

    const std::vector<Diagnostic> diagnostics = CheckDescription(memory, options);

    std::string printed;
    for (const Diagnostic& d : diagnostics) printed += FormatDiagnostic(d) + "\n";
    EXPECT_EQ(printed, ReadHostFile(kGallery / GetParam() / "expected.txt"));
    EXPECT_EQ(memory.MutationCount(), 0u);
    EXPECT_EQ(memory.Snapshot(), before);

    // What the check calls a start-up error is exactly what makes start-up's loader stop.
    UninstallDescription loaded;
    loaded.DescriptionPath = folder + "\\uninstall\\uninstall_data.ini";
    const LoadResult load = LoadUninstallDescription(loaded, LoaderContext{memory, folder, loaded.DescriptionPath, 15});
    const bool startupError = std::any_of(diagnostics.begin(), diagnostics.end(), [](const Diagnostic& d) {
        return d.severity == Severity::Error && d.text.find("start-up would") != std::string::npos;
    });
    EXPECT_EQ(load.outcome != LoadOutcome::EndOfFile, startupError);
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckGallery, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

TEST(DescriptionCheck, VerdictSummaryAndTheNameOfTheFile) {
    EXPECT_EQ(CheckSummary({}), "0 errors, 0 warnings, 0 notes");
    EXPECT_EQ(CheckSummary({{1, Severity::Note, "a"},
                            {2, Severity::Warning, "b"},
                            {3, Severity::Error, "c"},
                            {4, Severity::Warning, "d"}}),
              "1 error, 2 warnings, 1 note");
    EXPECT_EQ(CheckStatus({}), 0);
    EXPECT_EQ(CheckStatus({{1, Severity::Note, "a"}}), 0);
    EXPECT_EQ(CheckStatus({{1, Severity::Warning, "a"}, {2, Severity::Warning, "b"}}), 2);
    EXPECT_EQ(CheckStatus({{1, Severity::Warning, "a"}, {2, Severity::Error, "b"}}), 1);
    EXPECT_EQ(FormatDiagnostic({12, Severity::Error, "text"}, "Mod/uninstall/uninstall_data.ini"),
              "Mod/uninstall/uninstall_data.ini:12: error: text");
}

TEST(DescriptionCheck, AFileStartUpCannotReadIsTheStartUpStop) {
    MemoryFileSystem memory;
    const CheckOptions options{"C:\\Mods\\Robes", "", "", 15};
    auto d = CheckDescription(memory, options);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(FormatDiagnostic(d[0]),
              "uninstall_data.ini: error: the file \"C:\\Mods\\Robes\\uninstall\\uninstall_data.ini\" was not found; "
              "start-up would stop with \"The uninstall_data.ini file was not found.\"");
    memory.AddSpecialFile("C:\\Mods\\Robes\\uninstall\\uninstall_data.ini");
    d = CheckDescription(memory, options);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(FormatDiagnostic(d[0]),
              "uninstall_data.ini: error: the file \"C:\\Mods\\Robes\\uninstall\\uninstall_data.ini\" is not a regular "
              "file (a pipe, a socket or a device); start-up would stop with \"The uninstall_data.ini file is not a "
              "regular file (a pipe, a socket or a device).\"");
}

TEST(DescriptionCheck, CleanDescriptions) {
    for (const char* text : {
             "#window_caption=Remove the Robes\r\n#game=2\r\n#default_format_width=450\r\n#confirm_message_begin#\r\n"
             "This removes \\b Example Robes\\b0 .\r\n#confirm_message_end#\r\n#qdelete_file_0=override\\a.2da\r\n"
             "#qdelete_file_format_width_0=400\r\n#qdelete_file_begin_0#\r\nDelete?\r\n#qdelete_file_end_0#\r\n"
             "#file_list\r\n; installed files\r\noverride\\ex_robe01.uti\r\n",
             "#game=3\r\n#game=2\r\n",  // the last value counts
             "#game_select=true\r\n",
             "#game=2\r\n#confirm_message_begin#\r\n\r\n#confirm_message_end#\r\n",  // one empty line: an empty text
             "#game=2\r\n#qrestore_2da=true\r\n#qrestore_2da_files=Appearance.2DA,feat.2da\r\n",
             // Only a description that restores tables leaves a listed table to the restore.
             "#game=2\r\n#qrestore_2da=false\r\n#qrestore_2da_files=appearance.2da\r\n#file_list\r\n"
             "override\\appearance.2da\r\n",
         }) {
        MemoryFileSystem memory;
        memory.AddFile("C:\\Mods\\Robes\\uninstall\\uninstall_data.ini", text);
        memory.AddFile("C:\\Mods\\Robes\\backup\\appearance.2da", "2DA V2.0");
        const auto d = CheckDescription(memory, CheckOptions{"C:\\Mods\\Robes", "", "", 15});
        EXPECT_TRUE(d.empty()) << text << FormatDiagnostic(d.front());
    }
}

}  // namespace
}  // namespace zelvane
