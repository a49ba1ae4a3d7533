// The check of a description: its printed form, its verdict, and the cases the gallery does not
// show one by one (check_gallery_test.cpp runs the gallery).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "description/check_parts.hpp"
#include "description/description_check.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "tests/description/load_fixture.hpp"

namespace zelvane {
namespace {

using testing::CrLfLines;

class DescriptionCheck : public ::testing::Test {
protected:
    const std::string program = "C:\\Mods\\Robes";
    MemoryFileSystem fs;

    std::vector<Diagnostic> Check(std::string_view text) {
        fs.AddFile(program + "\\uninstall\\uninstall_data.ini", text);
        return CheckDescription(fs, CheckOptions{program, "", "", 15});
    }
    std::vector<Diagnostic> Check(std::initializer_list<std::string_view> lines) { return Check(CrLfLines(lines)); }
};

TEST(DiagnosticForm, FollowsTheCompilerConvention) {
    EXPECT_EQ(FormatDiagnostic({12, Severity::Warning, "text"}), "uninstall_data.ini:12: warning: text");
    EXPECT_EQ(FormatDiagnostic({3, Severity::Error, "text"}), "uninstall_data.ini:3: error: text");
    EXPECT_EQ(FormatDiagnostic({7, Severity::Note, "text"}), "uninstall_data.ini:7: note: text");
    EXPECT_EQ(FormatDiagnostic({0, Severity::Error, "text"}), "uninstall_data.ini: error: text");
    EXPECT_EQ(FormatDiagnostic({12, Severity::Error, "text"}, "Mod/uninstall/uninstall_data.ini"),
              "Mod/uninstall/uninstall_data.ini:12: error: text");
}

TEST(DiagnosticForm, SummaryCountsAndStatus) {
    const std::vector<Diagnostic> none;
    EXPECT_EQ(CheckSummary(none), "0 errors, 0 warnings, 0 notes");
    EXPECT_EQ(CheckStatus(none), 0);
    const std::vector<Diagnostic> notes{{1, Severity::Note, "a"}};
    EXPECT_EQ(CheckSummary(notes), "0 errors, 0 warnings, 1 note");
    EXPECT_EQ(CheckStatus(notes), 0);
    const std::vector<Diagnostic> warnings{{1, Severity::Warning, "a"}, {2, Severity::Warning, "b"}};
    EXPECT_EQ(CheckSummary(warnings), "0 errors, 2 warnings, 0 notes");
    EXPECT_EQ(CheckStatus(warnings), 2);
    const std::vector<Diagnostic> errors{{1, Severity::Warning, "a"}, {2, Severity::Error, "b"}};
    EXPECT_EQ(CheckSummary(errors), "1 error, 1 warning, 0 notes");
    EXPECT_EQ(CheckStatus(errors), 1);
}

TEST_F(DescriptionCheck, AFileStartUpRefusesToReadIsTheStartUpStop) {
    fs.AddSpecialFile(program + "\\uninstall\\uninstall_data.ini");
    const auto d = CheckDescription(fs, CheckOptions{program, "", "", 15});
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(FormatDiagnostic(d[0]),
              "uninstall_data.ini: error: the file \"C:\\Mods\\Robes\\uninstall\\uninstall_data.ini\" is not a regular "
              "file (a pipe, a socket or a device); start-up would stop with \"The uninstall_data.ini file is not a "
              "regular file (a pipe, a socket or a device).\"");
}

TEST_F(DescriptionCheck, MissingFileIsTheStartUpStop) {
    const auto d = CheckDescription(fs, CheckOptions{program, "", "", 15});
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(FormatDiagnostic(d[0]),
              "uninstall_data.ini: error: the file \"C:\\Mods\\Robes\\uninstall\\uninstall_data.ini\" was not found; "
              "start-up would stop with \"The uninstall_data.ini file was not found.\"");
}

TEST_F(DescriptionCheck, TheDocumentedExampleIsClean) {
    const auto d = Check({"#window_caption=Remove the Example Robes", "#game=2", "#default_format_width=450",
                          "#confirm_message_title=Remove Example Robes?", "#confirm_message_begin#",
                          "This removes \\b Example Robes\\b0 .", "Do you wish to continue?", "#confirm_message_end#",
                          "#qdelete_file_0=override\\appearance.2da", "#qdelete_file_format_width_0=400",
                          "#qdelete_file_begin_0#", "Delete the changed appearance.2da?", "#qdelete_file_end_0#",
                          "#file_list", "; installed files", "override\\ex_robe01.uti", "override\\ex_robe01.tga"});
    EXPECT_TRUE(d.empty()) << FormatDiagnostic(d.front());
    EXPECT_EQ(fs.MutationCount(), 0u);
}

TEST_F(DescriptionCheck, ReadsNoWorkingCopyAndWritesNothing) {
    Check({"#game=2", "#confirm_message_begin#", "x", "#confirm_message_end#", "#qrestore_2da=1",
           "#qrestore_2da_files=appearance.2da"});
    EXPECT_EQ(fs.MutationCount(), 0u);
    EXPECT_FALSE(fs.Exists(program + "\\uninstall\\uninstall_data20A.ini"));
}

TEST_F(DescriptionCheck, NumberedKeyMisspeltGetsItsNumberBack) {
    const auto d = Check({"#game=2", "#qdelete_fle_3=override\\a.uti"});
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(FormatDiagnostic(d[0]),
              "uninstall_data.ini:2: warning: #qdelete_fle_3= is no key, so the line is ignored; did you mean "
              "#qdelete_file_3=?");
}

TEST_F(DescriptionCheck, MisspeltEndMarkerIsBothTheStopAndTheHint) {
    const auto d = Check({"#game=2", "#confirm_message_begin#", "Remove?", "#confirm_mesage_end#"});
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(
        FormatDiagnostic(d[0]),
        "uninstall_data.ini:2: error: the block of #confirm_message_begin#: #confirm_message_end# is not in the "
        "file; start-up would stop with \"#confirm_message_begin# and #confirm_message_end# are improperly set.\"");
    EXPECT_EQ(FormatDiagnostic(d[1]),
              "uninstall_data.ini:4: warning: #confirm_mesage_end# is no key, so the line is ignored; did you mean "
              "#confirm_message_end#?");
}

TEST_F(DescriptionCheck, BlockTextAndListCommentsAreNotKeyMistakes) {
    const auto d = Check({"#game=2", "#confirm_message_begin#", "#1 mod of the year", "  #indented text",
                          "#confirm_message_end#", "#file_list", "#game=2", "; comment", "override\\a.uti"});
    EXPECT_TRUE(d.empty()) << FormatDiagnostic(d.front());
}

TEST_F(DescriptionCheck, OneReportForAMarkerPairSharedByTwoEntries) {
    const auto d = Check({"#game=2", "#qdelete_file_3=override\\a.uti", "#qdelete_file_3=override\\b.uti"});
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].line, 2);
    EXPECT_EQ(d[0].severity, Severity::Error);
}

TEST_F(DescriptionCheck, TheGameIsTheLastValueOrTheChoice) {
    EXPECT_TRUE(Check({"#game=3", "#game=2"}).empty());
    EXPECT_TRUE(Check({"#game_select=true"}).empty());
    const auto d = Check({"#game=2", "#game=0"});
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(FormatDiagnostic(d[0]),
              "uninstall_data.ini:2: error: #game= is 0 and #game_select= is not true; the removal accepts only 1 (K1) "
              "or 2 (K2), so the removal would stop with \"Error selecting game to uninstall from.\"");
}

TEST_F(DescriptionCheck, TwoDaNamesInAnyCaseAreFine) {
    EXPECT_TRUE(Check({"#game=2", "#qrestore_2da=true", "#qrestore_2da_files=Appearance.2DA,feat.2da"}).empty());
}

// Only a description that restores tables leaves a listed table to the restore (the gallery's
// table_in_file_list shows the error).
TEST_F(DescriptionCheck, ATableInTheFileListIsFineWhenNoTableIsRestored) {
    fs.AddFile(program + "\\backup\\appearance.2da", "2DA V2.0");
    EXPECT_TRUE(Check({"#game=2", "#qrestore_2da=false", "#qrestore_2da_files=appearance.2da", "#file_list",
                       "override\\appearance.2da"})
                    .empty());
}

TEST_F(DescriptionCheck, EmptyBlockOfOneEmptyLineIsNoMistakeForTheConfirmation) {
    EXPECT_TRUE(Check({"#game=2", "#confirm_message_begin#", "", "#confirm_message_end#"}).empty());
}

// Found by check_fuzzer: a line that LF alone runs on holds LFs, and no diagnostic may span lines.
TEST_F(DescriptionCheck, UnknownKeyOfALineWithLfAloneStopsAtTheLf) {
    const auto d = Check(std::string_view("#game=2\r\n#q\n#qrestore_2drue\r\n"));
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(FormatDiagnostic(d[0]),
              "uninstall_data.ini:2: warning: this line ends with LF alone, so start-up reads the next line as part "
              "of it; save the file with CR LF line ends");
    EXPECT_EQ(FormatDiagnostic(d[1]),
              "uninstall_data.ini:2: warning: #q is no key, so the line is ignored (comment lines begin with ;)");
}

TEST(EntryPaths, OrdinaryPathsHaveNoProblem) {
    EXPECT_TRUE(check::PathProblems("override\\a.uti").empty());
    EXPECT_TRUE(check::PathProblems("movies\\my intro.bik").empty());
    EXPECT_TRUE(check::PathProblems("override\\.hidden\\x.tga").empty());
    EXPECT_EQ(check::PathProblems("override\\..\\..\\x").size(), 1u);
    EXPECT_EQ(check::PathProblems("C:/x*").size(), 3u);  // absolute, wildcard, "/"
}

}  // namespace
}  // namespace zelvane
