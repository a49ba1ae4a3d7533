// The check of a description: its printed form, its verdict, and what the gallery cannot show
// (check_gallery_test.cpp runs the gallery).
#include "description/description_check.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/memory_file_system.hpp"

namespace zelvane {
namespace {

const std::string kProgram = "C:\\Mods\\Robes";
const std::string kDescription = kProgram + "\\uninstall\\uninstall_data.ini";

TEST(DiagnosticForm, FollowsTheCompilerConventionAndCounts) {
    EXPECT_EQ(FormatDiagnostic({12, Severity::Warning, "text"}), "uninstall_data.ini:12: warning: text");
    EXPECT_EQ(FormatDiagnostic({7, Severity::Note, "text"}), "uninstall_data.ini:7: note: text");
    EXPECT_EQ(FormatDiagnostic({0, Severity::Error, "text"}), "uninstall_data.ini: error: text");
    EXPECT_EQ(FormatDiagnostic({12, Severity::Error, "text"}, "Mod/uninstall/uninstall_data.ini"),
              "Mod/uninstall/uninstall_data.ini:12: error: text");
    const std::vector<std::pair<std::vector<Diagnostic>, std::string>> verdicts = {
        {{}, "0 errors, 0 warnings, 0 notes"},
        {{{1, Severity::Note, "a"}}, "0 errors, 0 warnings, 1 note"},
        {{{1, Severity::Warning, "a"}, {2, Severity::Warning, "b"}}, "0 errors, 2 warnings, 0 notes"},
        {{{1, Severity::Warning, "a"}, {2, Severity::Error, "b"}}, "1 error, 1 warning, 0 notes"},
    };
    const int statuses[] = {0, 0, 2, 1};
    for (std::size_t i = 0; i < verdicts.size(); ++i) {
        EXPECT_EQ(CheckSummary(verdicts[i].first), verdicts[i].second);
        EXPECT_EQ(CheckStatus(verdicts[i].first), statuses[i]) << verdicts[i].second;
    }
}

TEST(DescriptionCheck, AFileStartUpCannotReadIsTheStartUpStop) {
    MemoryFileSystem fs;
    auto d = CheckDescription(fs, CheckOptions{kProgram, "", "", 15});
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(FormatDiagnostic(d[0]),
              "uninstall_data.ini: error: the file \"C:\\Mods\\Robes\\uninstall\\uninstall_data.ini\" was not found; "
              "start-up would stop with \"The uninstall_data.ini file was not found.\"");
    fs.AddSpecialFile(kDescription);
    d = CheckDescription(fs, CheckOptions{kProgram, "", "", 15});
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
        MemoryFileSystem fs;
        fs.AddFile(kDescription, text);
        fs.AddFile(kProgram + "\\backup\\appearance.2da", "2DA V2.0");
        const auto d = CheckDescription(fs, CheckOptions{kProgram, "", "", 15});
        EXPECT_TRUE(d.empty()) << text << FormatDiagnostic(d.front());
    }
}

}  // namespace
}  // namespace zelvane
