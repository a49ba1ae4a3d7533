// The queued deletes: the author's prompt per present file.

#include "tests/removal/run_fixture.hpp"

namespace zelvane::testing {
namespace {

const std::string kPromptFailureMissing = R"(\cf1\b QDeleteFile: \cf10 Prompt Failure \cf6 (File Not Found): \cf1 )";

class QueuedDeletes : public RemovalRunTest {
protected:
    void Queue(const std::string& file, const std::string& prompt, int width = 0) {
        d.QueuedDeletes.push_back({file, prompt, width});
    }
};

TEST_F(QueuedDeletes, YesDeletesWithTheAuthorsPrompt) {
    fs.AddFile(kOverride + "\\q.tga", "q");
    Queue("override\\q.tga", "Delete \\b q\\b0 ?" + CRLF + "Really?", 4321);
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(result.deletedCount, 1);
    ASSERT_EQ(ui.prompts.size(), 2u);
    const PromptRequest& p = ui.prompts[1];
    EXPECT_EQ(p.msgText, "Delete \\b q\\b0 ?\\par " + CRLF + "Really?");
    EXPECT_EQ(d.QueuedDeletes[0].prompt, p.msgText);  // rewritten in the description itself
    EXPECT_EQ(p.msgTitle, "Confirm Delete");
    EXPECT_EQ(p.iconType, 2);
    EXPECT_EQ(p.buttonCount, 2);
    EXPECT_EQ(p.captions, (std::array<std::string, 4>{"&Yes", "&No", "", ""}));
    EXPECT_EQ(p.focusIndex, 1);
    EXPECT_FALSE(p.playSound);
    EXPECT_EQ(p.buttonWidth, 1300);
    EXPECT_EQ(p.buttonHeight, 380);
    EXPECT_EQ(p.formatWidth, 4321);
    EXPECT_TRUE(p.onTop);
    EXPECT_EQ(p.fontSize, 12);
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner +
                              R"(\cf1 QDeleteFile: \cf3 Delete Successful - \cf1 Override\\q.tga\par)" + CRLF +
                              ExpectedTotals(0, 0));
    EXPECT_FALSE(fs.Exists(kOverride + "\\q.tga"));
}

TEST_F(QueuedDeletes, NoAndClosingKeepTheFile) {
    fs.AddFile(kOverride + "\\q.tga", "q");
    fs.AddFile(kGame + "\\Movies\\m.bik", "m");
    Queue("override\\q.tga", "Delete q?");
    Queue("Movies\\m.bik", "");
    RunConfirmed({1, -1});
    ASSERT_EQ(ui.prompts.size(), 3u);
    EXPECT_EQ(ui.prompts[1].formatWidth, 6000);  // no width: the default
    EXPECT_EQ(d.QueuedDeletes[0].width, 6000);   // in the description itself
    EXPECT_EQ(d.QueuedDeletes[1].width, 6000);
    EXPECT_EQ(ui.prompts[2].msgText, "");  // an empty prompt block is still shown
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner +
                              R"(\cf1 QDeleteFile: \cf5 User chose not to delete Override\\q.tga\par)" + CRLF +
                              R"(\cf1 QDeleteFile: \cf5 User chose not to delete Movies\\m.bik\par)" + CRLF +
                              ExpectedTotals(0, 0));
    EXPECT_TRUE(fs.Exists(kOverride + "\\q.tga"));
    EXPECT_TRUE(fs.Exists(kGame + "\\Movies\\m.bik"));
}

TEST_F(QueuedDeletes, MissingFileIsAPromptFailureWithoutAPrompt) {
    Queue("override\\gone.tga", "Delete?");
    const RunResult result = RunConfirmed();
    EXPECT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + kPromptFailureMissing + R"(Override\\gone.tga\cf1\b0\par)" +
                              CRLF + kFyi + ExpectedTotals(0, 0));
    EXPECT_EQ(result.failureCount, 0);
    EXPECT_EQ(result.notFoundCount, 0);
}

TEST_F(QueuedDeletes, SameFileTwiceIsDeletedOnceThenMissing) {
    fs.AddFile(kOverride + "\\q.tga", "q");
    Queue("override\\q.tga", "First?");
    Queue("override\\Q.TGA", "Second?");
    RunConfirmed({0});
    EXPECT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(SavedLog(),
              ExpectedHeader(2) + kBanner + R"(\cf1 QDeleteFile: \cf3 Delete Successful - \cf1 Override\\q.tga\par)" +
                  CRLF + kPromptFailureMissing + R"(Override\\Q.TGA\cf1\b0\par)" + CRLF + kFyi + ExpectedTotals(0, 0));
}

TEST_F(QueuedDeletes, FileAlreadyRemovedByTheFileListIsAPromptFailure) {
    fs.AddFile(kOverride + "\\q.tga", "q");
    SetFileList({"override\\q.tga"});
    Queue("override\\q.tga", "Delete?");
    RunConfirmed();
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + Deleted(R"(Override\\q.tga)") + R"(\cf1\par)" + CRLF + kBanner +
                              kPromptFailureMissing + R"(Override\\q.tga\cf1\b0\par)" + CRLF + kFyi +
                              ExpectedTotals(0, 0));
}

TEST_F(QueuedDeletes, FailedDeletionIsCounted) {
    fs.AddFile(kOverride + "\\q.tga", "q");
    fs.SetReadOnlyMedium(kOverride);
    Queue("override\\q.tga", "Delete?");
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner +
                              R"(\cf1 QDeleteFile: \cf10 Delete Failure - \cf1 Override\\q.tga\cf7  - Error: 71  )"
                              "Disk is write-protected"
                              R"(\par)" +
                              CRLF + ExpectedTotals(1, 0));
    EXPECT_EQ(result.failureCount, 1);
    EXPECT_EQ(result.deletedCount, 0);
    EXPECT_TRUE(fs.Exists(kOverride + "\\q.tga"));
}

TEST_F(QueuedDeletes, EntriesLeavingTheGameFolderAreRefusedWithoutAPrompt) {
    fs.AddFile("C:\\Games\\save.sav", "mine");
    Queue("..\\save.sav", "Delete your save?");
    Queue("NUL", "Delete?");
    const RunResult result = RunConfirmed();
    EXPECT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(SavedLog(),
              ExpectedHeader(2) + kBanner +
                  R"(\cf1 QDeleteFile: \cf10 Refused (outside the game folder): \cf1 ..\\save.sav\cf1\par)" + CRLF +
                  R"(\cf1 QDeleteFile: \cf10 Refused (not a plain file name): \cf1 NUL\cf1\par)" + CRLF +
                  ExpectedTotals(2, 0));
    EXPECT_EQ(result.failureCount, 2);
    EXPECT_TRUE(fs.Exists("C:\\Games\\save.sav"));
}

// A trailing dot or space names the file Windows would delete; a wildcard name is not there.
TEST_F(QueuedDeletes, EntriesAreReadAsWindowsReadsThem) {
    fs.AddFile(kOverride + "\\a.uti", "a");
    fs.AddFile(kOverride + "\\b.uti", "b");
    Queue("override\\a.uti ", "Delete a?");
    Queue("override\\*.uti", "Delete all?");
    Queue("override\\b.uti.", "Delete b?");
    const RunResult result = RunConfirmed({0, 0});
    ASSERT_EQ(ui.prompts.size(), 3u);
    EXPECT_EQ(ui.prompts[1].msgText, "Delete a?");
    EXPECT_EQ(ui.prompts[2].msgText, "Delete b?");
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + R"(\cf1 QDeleteFile: )" + Deleted(R"(Override\\a.uti )") +
                              R"(\par)" + CRLF +
                              R"(\cf1\b QDeleteFile: \cf10 Prompt Failure \cf6 (File Not Found): \cf1 Override\\*.uti)"
                              R"(\cf1\b0\par)" +
                              CRLF + R"(\cf1 QDeleteFile: )" + Deleted(R"(Override\\b.uti.)") + R"(\par)" + CRLF +
                              kFyi + ExpectedTotals(0, 0));
    EXPECT_EQ(result.failureCount, 0);
    EXPECT_FALSE(fs.Exists(kOverride + "\\a.uti"));
    EXPECT_FALSE(fs.Exists(kOverride + "\\b.uti"));
}

}  // namespace
}  // namespace zelvane::testing
