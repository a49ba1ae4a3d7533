// The file-list phase: direct hits, the subfolder search of K2 and its prompt, missing files,
// which lines are entries, refused entries.

#include "tests/removal/run_fixture.hpp"

namespace zelvane::testing {
namespace {

std::string SubfolderText(const std::string& entry, const std::string& folder) {
    return R"(The file \par )" + CRLF + R"(\cf5 )" + entry + R"(\cf1\par )" + CRLF +
           R"(was found in a subfolder\par )" + CRLF + R"(\cf5 )" + folder + R"(\cf1\par )" + CRLF + R"(\par )" + CRLF +
           R"(Would you like to proceed with deletion?\par )" + CRLF + R"(\par )" + CRLF + R"(\par )" + CRLF +
           R"(\cf10 Selecting yes will \ul not\ulnone  limit searches to this folder\par )" + CRLF +
           R"(If more than one copy of this file exists in the override\par )" + CRLF +
           R"(it will delete the \i first\i0  occurance it finds.\cf1 )";
}

std::string DeletedLine(const std::string& name) { return Deleted(name) + R"(\cf1\par)" + CRLF; }
std::string NotFoundLine(const std::string& name) {
    return R"(\cf10 File Not Found: \cf1 )" + name + R"(\cf1\par)" + CRLF;
}
std::string DeclinedLine(const std::string& name) {
    return R"(\cf5 Not deleted in subfolder per user request: )" + name + R"(\cf1\par)" + CRLF;
}

using FileList = RemovalRunTest;

TEST_F(FileList, DirectHitsAreDeletedAndTheBannerFollows) {
    fs.AddFile(kOverride + "\\a.tga", "a");
    Attributes readOnly;
    readOnly.readOnly = true;
    fs.AddFile(kOverride + "\\B.TGA", "b", readOnly);
    fs.AddFile(kGame + "\\Movies\\intro.bik", "m");
    fs.AddFile(kOverride + "\\keep.tga", "k");
    SetFileList({"override\\a.tga", "Override\\b.tga", "movies\\intro.bik"});
    const RunResult result = RunConfirmed();
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + DeletedLine(R"(Override\\a.tga)") + DeletedLine(R"(Override\\b.tga)") +
                              DeletedLine(R"(Movies\\intro.bik)") + kBanner + ExpectedTotals(0, 0));
    EXPECT_EQ(GameFiles(), (std::map<std::string, std::string>{{kGame + "\\dialog.tlk", "TLK V3.0 strings"},
                                                               {kOverride + "\\keep.tga", "k"}}));
    EXPECT_EQ(result.failureCount, 0);
    EXPECT_EQ(result.deletedCount, 3);
}

TEST_F(FileList, MissingEntrySuppressesTheBanner) {
    fs.AddFile(kOverride + "\\a.tga", "a");
    SetFileList({"override\\a.tga", "movies\\gone.bik"});
    const RunResult result = RunConfirmed();
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + DeletedLine(R"(Override\\a.tga)") + NotFoundLine(R"(Movies\\gone.bik)") +
                              kNoBanner + ExpectedTotals(0, 1));
    EXPECT_EQ(result.notFoundCount, 1);
}

TEST_F(FileList, FailedDeletionSuppressesTheBannerAndCounts) {
    fs.AddFile(kOverride + "\\a.tga", "a");
    fs.FailOperation(FsOp::Delete, "a.tga", FsStatus::SharingViolation);
    SetFileList({"override\\a.tga"});
    const RunResult result = RunConfirmed();
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) +
                              R"(\cf10 Delete Failure - \cf1 Override\\a.tga\cf7  - Error: 70  )"
                              "Permission denied"
                              R"(\cf1\par)" +
                              CRLF + kNoBanner + ExpectedTotals(1, 0));
    EXPECT_TRUE(fs.Exists(kOverride + "\\a.tga"));
    EXPECT_EQ(result.failureCount, 1);
    EXPECT_EQ(result.deletedCount, 0);
}

TEST_F(FileList, K2FileInASubfolderIsDeletedAfterYes) {
    fs.AddFile(kOverride + "\\sub\\x.tga", "x");
    SetFileList({"override\\x.tga"});
    RunConfirmed({0});
    ASSERT_EQ(ui.prompts.size(), 2u);
    const PromptRequest& p = ui.prompts[1];
    EXPECT_EQ(p.msgText, SubfolderText(R"(override\\x.tga)", R"(C:\\Games\\Kotor\\override\\sub\\)"));
    EXPECT_EQ(p.msgTitle, "Confirm Delete in Subfolder");
    EXPECT_EQ(p.iconType, 2);
    EXPECT_EQ(p.buttonCount, 2);
    EXPECT_EQ(p.captions, (std::array<std::string, 4>{"&Yes", "&No", "", ""}));
    EXPECT_EQ(p.focusIndex, 1);
    EXPECT_FALSE(p.playSound);
    EXPECT_EQ(p.buttonWidth, 1300);
    EXPECT_EQ(p.buttonHeight, 380);
    EXPECT_EQ(p.formatWidth, -1);
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + DeletedLine(R"(Override\\Sub\\x.tga)") + kBanner + ExpectedTotals(0, 0));
    EXPECT_FALSE(fs.Exists(kOverride + "\\sub\\x.tga"));
}

TEST_F(FileList, YesConfirmsEveryLaterSubfolderDeletion) {
    fs.AddFile(kOverride + "\\sub\\x.tga", "x");
    fs.AddFile(kOverride + "\\other\\deep\\y.tga", "y");
    SetFileList({"override\\x.tga", "override\\y.tga"});
    RunConfirmed({0});
    EXPECT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + DeletedLine(R"(Override\\Sub\\x.tga)") +
                              DeletedLine(R"(Override\\Other\\Deep\\y.tga)") + kBanner + ExpectedTotals(0, 0));
}

TEST_F(FileList, NoRefusesOnlyTheFileAskedAbout) {
    fs.AddFile(kOverride + "\\sub\\x.tga", "x");
    fs.AddFile(kOverride + "\\sub\\y.tga", "y");
    SetFileList({"override\\x.tga", "override\\y.tga"});
    RunConfirmed({1, 0});
    EXPECT_EQ(ui.prompts.size(), 3u);
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + DeclinedLine(R"(Override\\x.tga)") +
                              DeletedLine(R"(Override\\Sub\\y.tga)") + kBanner + ExpectedTotals(0, 0));
    EXPECT_TRUE(fs.Exists(kOverride + "\\sub\\x.tga"));
    EXPECT_FALSE(fs.Exists(kOverride + "\\sub\\y.tga"));
}

TEST_F(FileList, AfterNoThenYesLaterSubfolderFilesAreRefusedWithoutAPrompt) {
    fs.AddFile(kOverride + "\\sub\\a.tga", "a");
    fs.AddFile(kOverride + "\\sub\\b.tga", "b");
    fs.AddFile(kOverride + "\\sub\\c.tga", "c");
    SetFileList({"override\\a.tga", "override\\b.tga", "override\\c.tga"});
    RunConfirmed({1, 0});
    EXPECT_EQ(ui.prompts.size(), 3u);
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + DeclinedLine(R"(Override\\a.tga)") +
                              DeletedLine(R"(Override\\Sub\\b.tga)") + DeclinedLine(R"(Override\\c.tga)") + kBanner +
                              ExpectedTotals(0, 0));
    EXPECT_TRUE(fs.Exists(kOverride + "\\sub\\c.tga"));
}

TEST_F(FileList, ClosedSubfolderPromptSkipsTheFileWithoutALine) {
    fs.AddFile(kOverride + "\\sub\\x.tga", "x");
    fs.AddFile(kOverride + "\\sub\\y.tga", "y");
    SetFileList({"override\\x.tga", "override\\y.tga"});
    RunConfirmed({-1, 1});
    EXPECT_EQ(ui.prompts.size(), 3u);  // a closed prompt confirms nothing: the next file is asked about
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + DeclinedLine(R"(Override\\y.tga)") + kBanner + ExpectedTotals(0, 0));
    EXPECT_TRUE(fs.Exists(kOverride + "\\sub\\x.tga"));
}

TEST_F(FileList, K1DoesNotSearchSubfolders) {
    d.Game = 1;
    fs.AddFile(kOverride + "\\sub\\x.tga", "x");
    SetFileList({"override\\x.tga"});
    RunConfirmed();
    EXPECT_EQ(SavedLog(), ExpectedHeader(1) + NotFoundLine(R"(Override\\x.tga)") + kNoBanner + ExpectedTotals(0, 1));
    EXPECT_TRUE(fs.Exists(kOverride + "\\sub\\x.tga"));
}

TEST_F(FileList, EntriesOutsideOverrideAreNotSearched) {
    fs.AddFile(kOverride + "\\sub\\intro.bik", "m");
    SetFileList({"movies\\intro.bik"});
    RunConfirmed();
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + NotFoundLine(R"(Movies\\intro.bik)") + kNoBanner + ExpectedTotals(0, 1));
}

TEST_F(FileList, NotFoundInTheSubfoldersEither) {
    fs.AddFile(kOverride + "\\sub\\other.tga", "o");
    SetFileList({"override\\x.tga"});
    RunConfirmed();
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + NotFoundLine(R"(Override\\x.tga)") + kNoBanner + ExpectedTotals(0, 1));
}

TEST_F(FileList, OnlyEntriesAfterTheFileListLineCount) {
    fs.AddFile(kGame + "\\before.tga", "b");
    fs.AddFile(kGame + "\\after.tga", "a");
    fs.AddFile(kIniPath,
               "before.tga\r\n#confirm_title=x\r\n#FILE_LIST\r\n; a comment\r\n after.tga\r\n\r\n"
               "#qdelete_file_1=after.tga\r\nafter.tga\r\n\tTab.tga\r\nnot a file\r\n");
    RunConfirmed();
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + DeletedLine("after.tga") + NotFoundLine("\tTab.tga") +
                              NotFoundLine("not a file") + kNoBanner + ExpectedTotals(0, 2));
    EXPECT_TRUE(fs.Exists(kGame + "\\before.tga"));
}

TEST_F(FileList, LineEndsAreThoseOfTextInput) {
    fs.AddFile(kGame + "\\a.tga", "a");
    fs.AddFile(kGame + "\\b.tga", "b");
    fs.AddFile(kIniPath, "#file_list\ra.tga\rb.tga");
    RunConfirmed();
    EXPECT_EQ(SavedLog(),
              ExpectedHeader(2) + DeletedLine("a.tga") + DeletedLine("b.tga") + kBanner + ExpectedTotals(0, 0));
}

TEST_F(FileList, NoFileListLineMeansNoEntries) {
    fs.AddFile(kGame + "\\a.tga", "a");
    fs.AddFile(kIniPath, "#game=2\r\na.tga\r\n");
    RunConfirmed();
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + ExpectedTotals(0, 0));
    EXPECT_TRUE(fs.Exists(kGame + "\\a.tga"));
}

TEST_F(FileList, FileThatVanishesAfterTheTestIsAFailureLine) {
    fs.AddFile(kOverride + "\\a.tga", "a");
    fs.FailOperation(FsOp::SetAttributes, "a.tga", FsStatus::FileNotFound);
    SetFileList({"override\\a.tga"});
    const RunResult result = RunConfirmed();
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) +
                              R"(\cf10 Delete Failure - \cf1 Override\\a.tga\cf7  - Error: 53  )"
                              "File not found"
                              R"(\cf1\par)" +
                              CRLF + kNoBanner + ExpectedTotals(1, 0));
}

TEST_F(FileList, EntriesLeavingTheGameFolderAreRefused) {
    fs.AddFile("C:\\Games\\precious.sav", "mine");
    fs.AddFile("C:\\Windows\\win.ini", "system");
    fs.AddFile(kOverride + "\\x.tga", "x");
    fs.AddFile(kOverride + "\\y.tga", "y");
    SetFileList({"..\\precious.sav", "override\\..\\..\\precious.sav", "C:\\Windows\\win.ini", "\\Windows\\win.ini",
                 "override\\x.tga:stream", "override\\CON.tga", "override\\y.tga.", "override\\x.tga"});
    const RunResult result = RunConfirmed();
    const std::string refused = R"(\cf10 Refused (outside the game folder): \cf1 )";
    const std::string notPlain = R"(\cf10 Refused (not a plain file name): \cf1 )";
    // "\Windows\win.ini" joined to the game folder only doubles a separator: it names a file of
    // the game folder, which is not there. "y.tga." is y.tga, as Windows reads it.
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + refused + R"(..\\precious.sav\cf1\par)" + CRLF + refused +
                              R"(Override\\..\\..\\precious.sav\cf1\par)" + CRLF + refused +
                              R"(C:\\Windows\\win.ini\cf1\par)" + CRLF + NotFoundLine(R"(\\Windows\\win.ini)") +
                              notPlain + R"(Override\\x.tga:stream\cf1\par)" + CRLF + notPlain +
                              R"(Override\\CON.tga\cf1\par)" + CRLF + DeletedLine(R"(Override\\y.tga.)") +
                              DeletedLine(R"(Override\\x.tga)") + kNoBanner + ExpectedTotals(5, 1));
    EXPECT_EQ(result.failureCount, 5);
    EXPECT_TRUE(fs.Exists("C:\\Games\\precious.sav"));
    EXPECT_TRUE(fs.Exists("C:\\Windows\\win.ini"));
    EXPECT_FALSE(fs.Exists(kOverride + "\\y.tga"));
}

// Trailing dots and spaces name the file Windows would delete; wildcards, other characters no
// name carries and prose lines name no file and end as "File Not Found", also for K2, where a
// name without wildcards is looked for in the subfolders.
TEST_F(FileList, EntriesAreReadAsWindowsReadsThem) {
    fs.AddFile(kOverride + "\\a.uti", "a");
    fs.AddFile(kOverride + "\\b.uti", "b");
    fs.AddFile(kOverride + "\\sub\\c.uti", "c");
    fs.AddFile(kOverride + "\\any.uti", "kept");
    SetFileList({"override\\a.uti ", "override\\b.uti.", "override\\*.uti", "override\\?ny.uti",
                 "This mod adds three robes.", "\\cf1 Thanks for playing!", "override\\c.uti .", "Enjoy it|"});
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + DeletedLine(R"(Override\\a.uti )") + DeletedLine(R"(Override\\b.uti.)") +
                              NotFoundLine(R"(Override\\*.uti)") + NotFoundLine(R"(Override\\?ny.uti)") +
                              NotFoundLine("This mod adds three robes.") +
                              NotFoundLine(R"(\\cf1 Thanks for playing!)") + DeletedLine(R"(Override\\Sub\\c.uti)") +
                              NotFoundLine("Enjoy it|") + kNoBanner + ExpectedTotals(0, 5));
    EXPECT_EQ(result.failureCount, 0);
    EXPECT_EQ(result.notFoundCount, 5);
    EXPECT_EQ(GameFiles(), (std::map<std::string, std::string>{{kGame + "\\dialog.tlk", "TLK V3.0 strings"},
                                                               {kOverride + "\\any.uti", "kept"}}));
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(ui.prompts[1].msgText, SubfolderText(R"(override\\c.uti .)", R"(C:\\Games\\Kotor\\override\\sub\\)"));
}

// A table that the 2da restore is about to offer to put back is not deleted by the file list, so
// that "No" to the replacement keeps it, with what other mods changed in it. Only tables in
// override, and only with a backup to restore, are left.
TEST_F(FileList, ATableTheRestoreOffersIsLeftToIt) {
    d.Restore2da = true;
    d.Backup2daAvailable = true;
    d.Backup2daFiles = {kProgram + "\\backup\\Appearance.2da"};
    fs.AddFile(kProgram + "\\backup\\Appearance.2da", "backup table");
    fs.AddFile(kOverride + "\\appearance.2da", "table changed by another mod");
    fs.AddFile(kOverride + "\\spells.2da", "no backup");
    fs.AddFile(kGame + "\\appearance.2da", "not in override");
    SetFileList({"override\\APPEARANCE.2da", "override\\spells.2da", "appearance.2da"});
    const RunResult result = RunConfirmed({1});  // No to the replacement
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + R"(\cf4 Left to the 2da restore: \cf1 Override\\APPEARANCE.2da\cf1\par)" +
                              CRLF + DeletedLine(R"(Override\\spells.2da)") + DeletedLine("appearance.2da") + kBanner +
                              R"(\cf1 QRestore2da: \cf5 User declined \cf1 Appearance.2da\cf5  replacement.\par)" +
                              CRLF + ExpectedTotals(0, 0));
    EXPECT_EQ(fs.Contents(kOverride + "\\appearance.2da"), "table changed by another mod");
    EXPECT_EQ(result.notFoundCount, 0);
}

TEST_F(FileList, WithoutTheRestoreATableInTheListIsDeleted) {
    d.Backup2daFiles = {kProgram + "\\backup\\appearance.2da"};  // found, but the description restores no table
    fs.AddFile(kOverride + "\\appearance.2da", "table");
    SetFileList({"override\\appearance.2da"});
    RunConfirmed();
    EXPECT_EQ(SavedLog(),
              ExpectedHeader(2) + DeletedLine(R"(Override\\appearance.2da)") + kBanner + ExpectedTotals(0, 0));
}

TEST_F(FileList, NamesAreEscapedForRtf) {
    fs.AddFile(kOverride + "\\{new}\\caf\xE9.tga", "x");
    fs.AddFile(kOverride + "\\br{ace}.tga", "b");
    SetFileList({"override\\caf\xE9.tga", "override\\br{ace}.tga",
                 "override\\m\xFC"
                 "de.tga"});
    RunConfirmed({0});
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(ui.prompts[1].msgText,
              SubfolderText(R"(override\\caf\'e9.tga)", R"(C:\\Games\\Kotor\\override\\\{new\}\\)"));
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + DeletedLine(R"(Override\\\{new\}\\caf\'e9.tga)") +
                              DeletedLine(R"(Override\\br\{ace\}.tga)") + NotFoundLine(R"(Override\\m\'fcde.tga)") +
                              kNoBanner + ExpectedTotals(0, 1));
}

}  // namespace
}  // namespace zelvane::testing
