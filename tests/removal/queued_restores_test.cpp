// The queued restores: X deleted, X.original renamed back to X.

#include "tests/removal/run_fixture.hpp"

namespace zelvane::testing {
namespace {

const std::string kQ = R"(\cf1 QRestoreFile: )";

class QueuedRestores : public RemovalRunTest {
protected:
    void Queue(const std::string& file, const std::string& prompt, int width = 0) {
        d.QueuedRestores.push_back({file, prompt, width});
    }
};

TEST_F(QueuedRestores, YesPutsTheOriginalBack) {
    fs.AddFile(kOverride + "\\a.tga", "mod");
    fs.AddFile(kOverride + "\\a.tga.original", "game");
    Queue("override\\a.tga", "Restore" + CRLF + "a?");
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(result.restoredCount, 1);
    EXPECT_EQ(result.deletedCount, 0);  // the mod's file goes as part of the restore
    ASSERT_EQ(ui.prompts.size(), 2u);
    const PromptRequest& p = ui.prompts[1];
    EXPECT_EQ(p.msgText, "Restore\\par " + CRLF + "a?");
    EXPECT_EQ(d.QueuedRestores[0].prompt, p.msgText);
    EXPECT_EQ(p.msgTitle, "Confirm Restore");
    EXPECT_EQ(p.iconType, 2);
    EXPECT_EQ(p.buttonCount, 2);
    EXPECT_EQ(p.captions, (std::array<std::string, 4>{"&Yes", "&No", "", ""}));
    EXPECT_EQ(p.focusIndex, 1);
    EXPECT_FALSE(p.playSound);
    EXPECT_EQ(p.buttonWidth, 1300);
    EXPECT_EQ(p.buttonHeight, 380);
    EXPECT_EQ(p.formatWidth, 6000);
    EXPECT_EQ(d.QueuedRestores[0].width, 6000);
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + kQ + Deleted(R"(Override\\a.tga)") + R"(\par)" + CRLF + kQ +
                              R"(\cf3 Renamed \cf1 Override\\a.tga.original\cf3  to \cf1 Override\\a.tga\par)" + CRLF +
                              ExpectedTotals(0, 0));
    EXPECT_EQ(GameFiles(), (std::map<std::string, std::string>{{kGame + "\\dialog.tlk", "TLK V3.0 strings"},
                                                               {kOverride + "\\a.tga", "game"}}));
}

TEST_F(QueuedRestores, ReadOnlyModFileIsStillReplaced) {
    Attributes readOnly;
    readOnly.readOnly = true;
    fs.AddFile(kOverride + "\\a.tga", "mod", readOnly);
    fs.AddFile(kOverride + "\\a.tga.original", "game", readOnly);
    Queue("override\\a.tga", "Restore?", 5000);
    RunConfirmed({0});
    EXPECT_EQ(ui.prompts[1].formatWidth, 5000);
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + kQ + Deleted(R"(Override\\a.tga)") + R"(\par)" + CRLF + kQ +
                              R"(\cf3 Renamed \cf1 Override\\a.tga.original\cf3  to \cf1 Override\\a.tga\par)" + CRLF +
                              ExpectedTotals(0, 0));
    EXPECT_EQ(fs.Contents(kOverride + "\\a.tga"), "game");
    EXPECT_FALSE(fs.Exists(kOverride + "\\a.tga.original"));
}

TEST_F(QueuedRestores, LockedModFileFailsTwiceAndKeepsBothFiles) {
    fs.AddFile(kOverride + "\\a.tga", "mod");
    fs.AddFile(kOverride + "\\a.tga.original", "game");
    fs.FailOperation(FsOp::Delete, "a.tga", FsStatus::SharingViolation);
    Queue("override\\a.tga", "Restore?");
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + kQ +
                              R"(\cf10 Delete Failure - \cf1 Override\\a.tga\cf7  - Error: 70  Permission denied\par)" +
                              CRLF + kQ +
                              R"(\cf10 Failure Renaming \cf1 Override\\a.tga.original\cf10  to \cf1Override\\a.tga - )"
                              R"(\cf7 Error: 58  File already exists\par)" +
                              CRLF + ExpectedTotals(2, 0));
    EXPECT_EQ(result.failureCount, 2);
    EXPECT_EQ(result.restoredCount, 0);
    EXPECT_EQ(fs.Contents(kOverride + "\\a.tga"), "mod");
    EXPECT_EQ(fs.Contents(kOverride + "\\a.tga.original"), "game");
}

TEST_F(QueuedRestores, NoAndClosingChangeNothing) {
    fs.AddFile(kOverride + "\\a.tga", "mod");
    fs.AddFile(kOverride + "\\a.tga.original", "game");
    fs.AddFile(kOverride + "\\b.tga", "mod");
    fs.AddFile(kOverride + "\\b.tga.original", "game");
    Queue("override\\a.tga", "A?");
    Queue("override\\b.tga", "B?");
    const auto before = fs.Snapshot();
    RunConfirmed({1, -1});
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + kQ +
                              R"(\cf5 User chose not to restore \cf1 Override\\a.tga\cf1\par)" + CRLF + kQ +
                              R"(\cf5 User chose not to restore \cf1 Override\\b.tga\cf1\par)" + CRLF +
                              ExpectedTotals(0, 0));
    std::map<std::string, std::string> after = fs.Snapshot();
    after.erase(kResultsPath);
    EXPECT_EQ(after, before);
}

TEST_F(QueuedRestores, MissingFilesArePromptFailures) {
    fs.AddFile(kOverride + "\\gone.tga.original", "game");  // the mod's file is missing: only that is reported
    fs.AddFile(kOverride + "\\b.tga", "mod");               // no .original
    Queue("override\\gone.tga", "A?");
    Queue("override\\b.tga", "B?");
    const auto before = fs.Snapshot();
    const RunResult result = RunConfirmed();
    EXPECT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(
        SavedLog(),
        ExpectedHeader(2) + kBanner +
            R"(\cf1\b QRestoreFile: \cf10 Prompt Failure \cf6 (File Not Found) \cf1 Override\\gone.tga\cf1\b0\par)" +
            CRLF +
            R"(\cf1\b QRestoreFile: \cf10 Prompt Failure \cf6 (.original File Not Found) \cf1 )"
            R"(Override\\b.tga.original\cf1\b0\par)" +
            CRLF + kFyi + ExpectedTotals(0, 0));
    EXPECT_EQ(result.failureCount, 0);
    std::map<std::string, std::string> after = fs.Snapshot();
    after.erase(kResultsPath);
    EXPECT_EQ(after, before);
}

TEST_F(QueuedRestores, OriginalThatVanishesBeforeTheRenameIsCounted) {
    fs.AddFile(kOverride + "\\a.tga", "mod");
    fs.AddFile(kOverride + "\\a.tga.original", "game");
    fs.FailOperation(FsOp::Rename, "a.tga.original", FsStatus::FileNotFound);
    Queue("override\\a.tga", "Restore?");
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + kQ + Deleted(R"(Override\\a.tga)") + R"(\par)" + CRLF + kQ +
                              R"(\cf10 Failure Renaming \cf1 Override\\a.tga.original\cf10  to \cf1Override\\a.tga - )"
                              R"(\cf7 Error: 53  File not found\par)" +
                              CRLF + ExpectedTotals(1, 0));
    EXPECT_EQ(result.failureCount, 1);
    EXPECT_EQ(fs.Contents(kOverride + "\\a.tga.original"), "game");
}

TEST_F(QueuedRestores, EntriesLeavingTheGameFolderAreRefused) {
    fs.AddFile("C:\\Games\\x.tga", "mine");
    fs.AddFile("C:\\Games\\x.tga.original", "mine too");
    Queue("..\\x.tga", "Restore?");
    Queue("override\\x.tga::$DATA", "Restore?");
    const RunResult result = RunConfirmed();
    EXPECT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + kQ +
                              R"(\cf10 Refused (outside the game folder): \cf1 ..\\x.tga\cf1\par)" + CRLF + kQ +
                              R"(\cf10 Refused (not a plain file name): \cf1 Override\\x.tga::$DATA\cf1\par)" + CRLF +
                              ExpectedTotals(2, 0));
    EXPECT_EQ(result.failureCount, 2);
    EXPECT_EQ(fs.Contents("C:\\Games\\x.tga"), "mine");
}

// "x.tga " is x.tga: the restore deletes x.tga and renames x.tga.original; a wildcard name is
// not there.
TEST_F(QueuedRestores, EntriesAreReadAsWindowsReadsThem) {
    fs.AddFile(kOverride + "\\x.tga", "mod");
    fs.AddFile(kOverride + "\\x.tga.original", "game");
    Queue("override\\x.tga ", "Restore?");
    Queue("override\\*.tga", "Restore all?");
    const RunResult result = RunConfirmed({0});
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + kQ + Deleted(R"(Override\\x.tga )") + R"(\par)" + CRLF + kQ +
                              R"(\cf3 Renamed \cf1 Override\\x.tga.original\cf3  to \cf1 Override\\x.tga\par)" + CRLF +
                              R"(\cf1\b QRestoreFile: \cf10 Prompt Failure \cf6 (File Not Found) \cf1 Override\\*.tga)"
                              R"(\cf1\b0\par)" +
                              CRLF + kFyi + ExpectedTotals(0, 0));
    EXPECT_EQ(result.failureCount, 0);
    EXPECT_EQ(fs.Contents(kOverride + "\\x.tga"), "game");
    EXPECT_FALSE(fs.Exists(kOverride + "\\x.tga.original"));
}

}  // namespace
}  // namespace zelvane::testing
