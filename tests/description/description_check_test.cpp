// The check of a description. Each case of the gallery (check_gallery/<case>/uninstall/uninstall_data.ini,
// with an optional mod/ and game/ folder) gives exactly the diagnostics of its expected.txt, changes
// nothing, and its start-up errors agree with start-up's own loader.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "description/description_check.hpp"
#include "description/loader.hpp"
#include "platform/memory/memory_file_system.hpp"

namespace zelvane {
namespace {

namespace fs = std::filesystem;

const fs::path kGallery = ZELVANE_CHECK_GALLERY;

std::string ReadHostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string Printed(const std::vector<Diagnostic>& diagnostics) {
    std::string printed;
    for (const Diagnostic& d : diagnostics) printed += FormatDiagnostic(d) + "\n";
    return printed;
}

class CheckGallery : public ::testing::TestWithParam<std::string> {};

TEST_P(CheckGallery, GivesItsExpectedDiagnosticsAndChangesNothing) {
    // The case's files (expected.txt aside) in a memory file system under C:\Gallery\<case>.
    const fs::path source = kGallery / GetParam();
    const std::string folder = "C:\\Gallery\\" + GetParam();
    MemoryFileSystem memory;
    for (const auto& entry : fs::recursive_directory_iterator(source)) {
        std::string path = folder + "\\" + fs::relative(entry.path(), source).string();
        std::replace(path.begin(), path.end(), '/', '\\');
        if (entry.is_directory()) memory.AddFolder(path);
        if (entry.is_regular_file() && entry.path().filename() != "expected.txt") {
            memory.AddFile(path, ReadHostFile(entry.path()));
        }
    }
    CheckOptions options{folder, "", "", 15};
    if (fs::is_directory(source / "mod")) options.modFolder = folder + "\\mod";
    if (fs::is_directory(source / "game")) options.gameFolder = folder + "\\game";
    const std::vector<Diagnostic> diagnostics = CheckDescription(memory, options);
    EXPECT_EQ(Printed(diagnostics), ReadHostFile(source / "expected.txt"));
    EXPECT_EQ(memory.MutationCount(), 0u);

    // What the check calls a start-up error is exactly what makes start-up's loader stop.
    UninstallDescription loaded;
    loaded.DescriptionPath = folder + "\\uninstall\\uninstall_data.ini";
    const LoadResult load = LoadUninstallDescription(loaded, LoaderContext{memory, folder, loaded.DescriptionPath, 15});
    EXPECT_EQ(load.outcome != LoadOutcome::EndOfFile, std::any_of(diagnostics.begin(), diagnostics.end(), [](auto& d) {
                  return d.severity == Severity::Error && d.text.find("start-up would") != std::string::npos;
              }));
}

std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kGallery)) {
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckGallery, ::testing::ValuesIn(CaseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

TEST(DescriptionCheck, VerdictSummaryAndTheNameOfTheFile) {
    const std::vector<Diagnostic> mixed = {{1, Severity::Note, "a"},
                                           {2, Severity::Warning, "b"},
                                           {3, Severity::Error, "c"},
                                           {4, Severity::Warning, "d"}};
    EXPECT_EQ(CheckSummary(mixed), "1 error, 2 warnings, 1 note");
    EXPECT_EQ(CheckStatus({{1, Severity::Warning, "a"}, {2, Severity::Warning, "b"}}), 2);
    EXPECT_EQ(CheckStatus(mixed), 1);
    EXPECT_EQ(FormatDiagnostic({12, Severity::Error, "text"}, "Mod/uninstall/uninstall_data.ini"),
              "Mod/uninstall/uninstall_data.ini:12: error: text");
}

// Each description lies in C:\Mods\Robes, beside a backup of appearance.2da.
TEST(DescriptionCheck, DescriptionsAndTheirDiagnostics) {
    const std::string path = "C:\\Mods\\Robes\\uninstall\\uninstall_data.ini";
    const CheckOptions robes{"C:\\Mods\\Robes", "", "", 15};
    std::vector<std::pair<std::string, std::string>> cases = {
        {"#game=3\r\n#game=2\r\n", ""},  // the last value counts
        {"#game_select=true\r\n", ""},
        {"#game=2\r\n#confirm_message_begin#\r\n\r\n#confirm_message_end#\r\n", ""},  // one empty line: an empty text
        {"#game=2\r\n#qrestore_2da=true\r\n#qrestore_2da_files=Appearance.2DA,feat.2da\r\n", ""},
        // Only a description that restores tables leaves a listed table to the restore.
        {"#game=2\r\n#qrestore_2da=false\r\n#qrestore_2da_files=appearance.2da\r\n#file_list\r\n"
         "override\\appearance.2da\r\n",
         ""},
        // Three edits away, only a long key is still a likely meaning.
        {"#game=2\r\n#confirm_mssage_tle=Remove\r\n",
         "uninstall_data.ini:2: warning: #confirm_mssage_tle= is no key, "
         "so the line is ignored; did you mean #confirm_message_title=?\n"},
        {"#game=2\r\n#explicit_instructions_icon=1\r\n#explicit_instructions_icon=4\r\n", ""},
        {"#game=2\r\n#gxyz=2\r\n",
         "uninstall_data.ini:2: warning: #gxyz= is no key, so the line is ignored (comment lines begin with ;)\n"},
    };
    for (const std::string icon : {"0", "5"}) {
        cases.emplace_back("#game=2\r\n#explicit_instructions_icon=" + icon + "\r\n",
                           "uninstall_data.ini:2: warning: #explicit_instructions_icon= value \"" + icon +
                               "\" is not an icon from 1 to 4, so icon 4 is shown\n");
    }
    // An entry with a blank reads as prose from its third word, or when it ends as a sentence does.
    for (const std::string entry : {"my old robe.uti", "Version 1.2:", "Enjoy v1.2!", "Got v1.2?", "Files v1.2,"}) {
        cases.emplace_back(
            "#game=2\r\n#file_list\r\n" + entry + "\r\n",
            "uninstall_data.ini:3: warning: file-list entry \"" + entry +
                "\" looks like prose, but every line after #file_list that does not begin with ;, # or a "
                "space names a file to delete\n");
    }
    for (const auto& [text, expected] : cases) {
        MemoryFileSystem memory;
        memory.AddFile(path, text);
        memory.AddFile("C:\\Mods\\Robes\\backup\\appearance.2da", "2DA V2.0");
        EXPECT_EQ(Printed(CheckDescription(memory, robes)), expected) << text;
    }
    MemoryFileSystem special;
    special.AddSpecialFile(path);
    EXPECT_EQ(Printed(CheckDescription(special, robes)),
              "uninstall_data.ini: error: the file \"" + path +
                  "\" is not a regular file (a pipe, a socket or a device); start-up would stop with \"The "
                  "uninstall_data.ini file is not a regular file (a pipe, a socket or a device).\"\n");
}

}  // namespace
}  // namespace zelvane
