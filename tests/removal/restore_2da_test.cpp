// The 2da restore: finding the table in use, and the sequence that moves it aside and the backup in.

#include "platform/seams/read_limits.hpp"
#include "tests/removal/run_fixture.hpp"

namespace zelvane::testing {
namespace {

const std::string kInvalidText =
    R"(Invalid file - Would you like to abort this \cf5 appearance.2da\cf1  replacement operation?)";
const std::string kFoundShape =
    kTitle + ": icon 2 [&Yes|&No|&Cancel||] 3 focus 2 top font 12 buttons 1300x380 width 7500";
const std::string kFound = FoundText(kInSubShown);
const std::string kAborted = kQ + R"(\cf5 User aborted 2da replacement for \cf1 appearance.2da\par)";

std::string DeletedLine(const std::string& name) { return kQ + Deleted(name) + R"(\par)" + CRLF; }
std::string Moved(const std::string& target) {
    return kQ + R"(\cf3 Renamed \cf1 Backup\\appearance.2da\cf3  to \cf1 )" + target + R"(\par)" + CRLF;
}

class Restore2da : public RemovalRunTest {
protected:
    Restore2da() { WithBackup(); }
};

TEST_F(Restore2da, TheQuestionsAndTheirAnswers) {
    const std::string other = kOverride + "\\yours\\APPEARANCE.2DA";   // found after sub
    const std::string named = kOverride + "\\backup\\appearance.2da";  // not the program's own folder
    const std::string w2da = kOverride + "\\w.2da", earlier = kBu + "\\appearance.2da";
    const std::string none = kQ + R"(\cf4 No 2das found in override. \cf1 appearance.2da\cf4  not restored.)";
    const std::string otherMoved = CopiedAside(R"(Override\\Yours\\APPEARANCE.2DA)", "APPEARANCE.2DA") +
                                   DeletedLine(R"(Override\\Yours\\APPEARANCE.2DA)") + kSafetyCopied +
                                   Moved(R"(Override\\Yours\\APPEARANCE.2DA)");
    const Files now = {{kInOverride, "now"}}, sub = {{kInSub, "now"}};
    const struct {
        int game;
        Files present;                    // besides the backup
        std::vector<int> answers;         // after the confirmation
        std::deque<std::string> located;  // the open-file dialog's answers
        std::string question, line;       // the first question; the restore's line in the log, "" = none
        std::string target;               // where the backup went, "" = nothing changed
    } cases[] = {
        {2, now, {0}, {}, kReplaceText, "", kInOverride},
        {2, now, {1}, {}, kReplaceText, kQ + R"(\cf5 User declined \cf1 appearance.2da\cf5 )", ""},
        {2, now, {-1}, {}, kReplaceText, "", ""},
        {1, {{kInSub, "K1 looks not here"}}, {0}, {}, kAnywayText, "", kInOverride},
        {1, {}, {1}, {}, kAnywayText, none, ""},
        {2, sub, {0}, {}, kFound, Moved(R"(Override\\Sub\\appearance.2da)"), kInSub},
        {2, sub, {2}, {}, kFound, kQ + R"(appearance.2da\cf4  replacement aborted.\par)", ""},
        {2, sub, {-1}, {}, kFound, "", ""},
        {2, {{kInSub, "first"}, {other, "now"}}, {1}, {other}, kFound, otherMoved, other},
        {2, {{kInSub, "now"}, {w2da, "w"}}, {1, 1, 0}, {w2da, ""}, kFound, kAborted, ""},
        {2, sub, {1, -1}, {""}, kFound, "", ""},
        // The backup itself and what is in Backup Uninstall are no table in use.
        {2, {{kInSub, "now"}, {earlier, "earlier"}}, {1, 1, 0}, {kBackup, earlier}, kFound, kAborted, ""},
        {2, {}, {0}, {}, kAnywayText, kSafetyCopied + Moved(R"(Override\\appearance.2da)"), kInOverride},
        {2, {{named, "now"}}, {0}, {}, FoundText(R"(C:\\Games\\Kotor\\override\\backup\\appearance.2da)"), "", named},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        World w;
        w.WithBackup();
        w.d.Game = c.game;
        for (const auto& [path, bytes] : c.present) w.fs.AddFile(path, bytes);
        w.ui.openFileAnswers = c.located;
        Files expected = w.GameFiles();
        const RunResult result = w.RunConfirmed(c.answers);
        EXPECT_EQ(w.ui.prompts.at(1).msgText, c.question);
        EXPECT_EQ(Shape(w.ui.prompts[1]),
                  c.question.find("located at") != std::string::npos ? kFoundShape : YesNo(kTitle));
        for (std::size_t i = 2; i < w.ui.prompts.size(); ++i) {
            EXPECT_EQ(w.ui.prompts[i].msgText, kInvalidText);
            EXPECT_EQ(Shape(w.ui.prompts[i]), YesNo("Hmm"));
        }
        EXPECT_TRUE(w.Logged(c.line));  // "" is in every log: then the restore logged nothing, unless it moved
        EXPECT_TRUE(!c.line.empty() || !c.target.empty() || w.SavedLog().find(kQ) == std::string::npos);
        EXPECT_EQ(result.deletedCount + result.failureCount, 0);  // the table in use goes as part of the restore
        EXPECT_EQ(result.tablesRestoredCount, c.target.empty() ? 0 : 1);
        if (!c.target.empty()) {
            expected.erase(kBackup);
            if (c.present.contains(c.target)) {
                expected[kBu + "\\" + c.target.substr(c.target.rfind('\\') + 1)] = c.present.at(c.target);
            }
            expected[c.target] = expected[kSafety] = "backup table";
        }
        EXPECT_EQ(w.GameFiles(), expected);
    }
}

// The earlier copies in Backup Uninstall are replaced.
TEST_F(Restore2da, GoldenSecondRunReplacesTheEarlierCopies) {
    fs.AddFile(kInOverride, "current table");
    fs.AddFile(kBu + "\\appearance.2da", "earlier displaced", Attributes{.readOnly = true});
    fs.AddFile(kSafety, "earlier safety");
    RunConfirmed({0});
    EXPECT_EQ(SavedLog(),
              LogAfterBanner(DeletedLine(R"(Backup Uninstall\\appearance.2da)") +
                             CopiedAside(R"(Override\\appearance.2da)") + DeletedLine(R"(Override\\appearance.2da)") +
                             DeletedLine(R"(Backup Uninstall\\original install backup.appearance.2da)") +
                             kSafetyCopied + Moved(R"(Override\\appearance.2da)")));
    EXPECT_EQ(GameFiles(), (Files{{kInOverride, "backup table"},
                                  {kBu + "\\appearance.2da", "current table"},
                                  {kSafety, "backup table"}}));
}

// Each step that fails keeps every table; what cannot be done is found out before any change (no
// `after`: the log alone is written). A table in use that cannot be deleted counts twice.
TEST_F(Restore2da, EachStepThatFailsKeepsEveryTable) {
    const Files restored = {{kInOverride, "backup table"},
                            {kBu + "\\appearance.2da", "current table"},
                            {kSafety, "backup table"}};
    const std::string across = kQ +
                               R"(\cf3 Moved \cf1 Backup\\appearance.2da\cf3  to \cf1 Override\\appearance.2da)"
                               R"(\cf3  (another volume: copied, compared, then deleted from the backup folder)\par)";
    const auto Unchanged = [](const std::string& reason) { return NotRestored(reason + ", so nothing was changed"); };
    const struct {
        std::function<void(MemoryFileSystem&)> setup;
        std::string line;
        Files after = {};  // the tables
        int failures = 1;
    } cases[] = {
        {[](auto& f) { f.FailOperation(FsOp::Delete, "override\\appearance.2da", FsStatus::SharingViolation); },
         kQ + R"(\cf10 Delete Failure - \cf1 Override\\appearance.2da\cf7  - Error: 70  Permission denied\par)" + CRLF +
             kSafetyCopied + kQ +
             R"(\cf10 Failure Renaming \cf1 Backup\\appearance.2da\cf10  to \cf1 Override\\appearance.2da - )"
             R"(\cf7 Error: 58  File already exists\par)",
         {{kInOverride, "current table"},
          {kBackup, "backup table"},
          {kBu + "\\appearance.2da", "current table"},
          {kSafety, "backup table"}},
         2},
        {[](auto& f) { f.FailOperation(FsOp::Copy, "override\\appearance.2da", FsStatus::IoError); },
         kQ +
             R"(\cf10 Failure FileCopy \cf1 Override\\appearance.2da\cf10  to \cf1 Backup Uninstall\\)"
             R"(appearance.2da - \cf7 Error: 57  Device I/O error\par)" +
             CRLF + NotRestored("the current file could not be copied aside and was left in place"),
         {{kInOverride, "current table"}, {kBackup, "backup table"}}},
        {[](auto& f) { f.FailOperation(FsOp::Copy, "backup\\appearance.2da", FsStatus::DiskFull); },
         kQ +
             R"(\cf10 Failure Copying \cf1 Backup\\appearance.2da\cf10  to \cf1 Backup Uninstall\\)"
             R"(original install backup.appearance.2da - \cf7 Error: 61  Disk full\par)" +
             CRLF + NotRestored("no safety copy could be made, so the backup stays in the backup folder"),
         {{kBackup, "backup table"}, {kBu + "\\appearance.2da", "current table"}}},
        {[](auto& f) { f.PutOnOwnVolume(kProgram); }, across, restored, 0},
        {[](auto& f) { f.FailOperation(FsOp::Rename, "backup\\appearance.2da", FsStatus::NotSameDevice); }, across,
         restored, 0},
        {[](auto& f) {
             f.PutOnOwnVolume(kProgram);
             f.FailOperation(FsOp::ReadAll, "override\\appearance.2da", FsStatus::IoError);
         },
         kQ + R"(\cf10 Failure Moving \cf1 Backup\\appearance.2da\cf10  to \cf1 Override\\appearance.2da - )"
              R"(\cf7 Error: 57  Device I/O error\par)",
         {{kBackup, "backup table"}, {kBu + "\\appearance.2da", "current table"}, {kSafety, "backup table"}}},
        {[](auto& f) { f.ReplaceWithLink(kBackup, kInOverride); }, Unchanged("the backup is a link")},
        {[](auto& f) {
             f.AddFile("D:\\Elsewhere\\appearance.2da", "someone's table");
             f.ReplaceWithLink(kProgram + "\\backup", "D:\\Elsewhere");
         },
         Unchanged("the backup leads outside the program folder")},
        {[](auto& f) { f.AddSpecialFile(kBackup); }, Unchanged("the backup is not a regular file")},
        {[](auto& f) { f.AddSparseFile(kBackup, "2DA V2.0", kTableLimit + 1); },
         Unchanged("the backup is larger than 64 MiB")},
        {[](auto& f) { f.Lock(kBackup); }, Unchanged("the backup cannot be read")},
        {[](auto& f) {
             f.AddFolder(kBu);
             f.FailOperation(FsOp::CanCreateFileIn, "Backup Uninstall", FsStatus::AccessDenied);
         },
         Unchanged("Backup Uninstall cannot take a new file: Path/File access error")},
        {[](auto& f) { f.FailOperation(FsOp::CanCreateFileIn, kProgram, FsStatus::WriteProtected); },
         Unchanged("Backup Uninstall cannot be made: Disk is write-protected")},
        {[](auto& f) { f.FailOperation(FsOp::CanCreateFileIn, "\\backup", FsStatus::AccessDenied); },
         Unchanged("the backup cannot leave the backup folder: Path/File access error")},
        {[](auto& f) { f.FailOperation(FsOp::CanCreateFileIn, "override", FsStatus::AccessDenied); },
         Unchanged(R"(Override\\ cannot take the backup: Path/File access error)")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        World w;
        w.WithBackup();
        w.fs.AddFile(kInOverride, "current table");
        c.setup(w.fs);
        const Files before = w.GameFiles();
        const RunResult result = w.RunConfirmed({0});
        EXPECT_TRUE(w.Logged(c.line));
        EXPECT_EQ(result.failureCount, c.failures);
        EXPECT_EQ(w.GameFiles(), c.after.empty() ? before : c.after);
        EXPECT_EQ(w.fs.MutationCount() == 2u, c.after.empty());  // the log alone: written, renamed into place
    }
}

TEST_F(Restore2da, BackupUninstallThatCannotBeCreatedIsAnUnexpectedError) {
    fs.AddFile(kInOverride, "current table");
    fs.FailOperation(FsOp::CreateFolder, "Backup Uninstall", FsStatus::WriteProtected);
    EXPECT_EQ(RunConfirmed({0}).outcome, RunOutcome::Failed);
    EXPECT_EQ(Messages(), std::vector{Oops(71, "Disk is write-protected")});
    EXPECT_FALSE(fs.Exists(kResultsPath));
    EXPECT_EQ(fs.Contents(kInOverride), "current table");
}

TEST_F(Restore2da, AMissingBackupReportComesFirstAndNamesAreEscaped) {
    d.Missing2daReport = R"(\cf10 2da backup not available \cf1 spells.2da\cf1\par)" + CRLF;
    const std::string backup = kProgram + "\\backup\\sp{e}lls.2da";
    fs.AddFile(backup, "b");
    d.Backup2daFiles = {backup};
    RunConfirmed({1});
    EXPECT_EQ(ui.prompts.at(1).msgTitle, "Confirm sp{e}lls.2da replacement");
    EXPECT_NE(ui.prompts[1].msgText.find(R"(no \cf5 sp\{e\}lls.2da\cf1  was found)"), std::string::npos);
    EXPECT_EQ(SavedLog(),
              LogAfterBanner(R"(\cf10 2da backup not available \cf1 spells.2da\cf1\par)" + CRLF + R"(\par)" + CRLF +
                             kQ + R"(\cf4 No 2das found in override. \cf1 sp\{e\}lls.2da\cf4  not restored.\par)" +
                             CRLF));
    EXPECT_EQ(d.Missing2daReport, "");
}

// Two backups of one name (on a case-sensitive disk): the second's copies take free names.
TEST_F(Restore2da, ASecondBackupOfTheSameNameGetsFreeNamesInBackupUninstall) {
    fs.AddFile(kProgram + "\\backup\\again\\appearance.2da", "second backup");
    fs.AddFile(kInOverride, "current table");
    fs.AddFile(kBu + "\\appearance (2).2da", "left by someone");  // taken: the next free name is (3)
    d.Backup2daFiles = {kBackup, kProgram + "\\backup\\again\\appearance.2da"};
    EXPECT_EQ(RunConfirmed({0, 0}).failureCount, 0);
    EXPECT_EQ(GameFiles(), (Files{{kInOverride, "second backup"},
                                  {kBu + "\\appearance.2da", "current table"},
                                  {kBu + "\\appearance (2).2da", "left by someone"},
                                  {kBu + "\\appearance (3).2da", "backup table"},
                                  {kSafety, "backup table"},
                                  {kBu + "\\original install backup.appearance (2).2da", "second backup"}}));
}

// A program folder unpacked into override (K2) holds no table in use.
TEST_F(Restore2da, AProgramFolderInOverrideIsLeftOutOfTheSearchAndTheDialog) {
    programFolder = kOverride + "\\ModTool";
    const std::string tool = programFolder + "\\backup\\appearance.2da";
    fs.AddFile(tool, "backup table");  // listed before anything else in override
    fs.AddFile(programFolder + "\\appearance.2da", "the mod's own copy");
    d.Backup2daFiles = {tool};
    RunConfirmed({1});
    EXPECT_EQ(ui.prompts.at(1).msgText, kAnywayText);

    fs.AddFile(kInSub, "current table");
    ui = {};
    ui.openFileAnswers = {programFolder + "\\appearance.2da", tool};
    RunConfirmed({1, 1, 0});
    EXPECT_EQ(ui.prompts.at(1).msgText, kFound);

    ui = {};
    RunConfirmed({0});
    EXPECT_TRUE(Logged(kQ + R"(\cf3 Renamed \cf1 Override\\Modtool\\Backup\\appearance.2da\cf3  to \cf1 )"
                            R"(Override\\Sub\\appearance.2da\par)"));
    EXPECT_EQ(fs.Contents(kInSub), "backup table");
    EXPECT_EQ(fs.Contents(programFolder + "\\Backup Uninstall\\appearance.2da"), "current table");
    EXPECT_EQ(fs.Contents(programFolder + "\\appearance.2da"), "the mod's own copy");

    fs.AddFile(tool, "backup table");
    fs.AddLink(kInOverride, tool);
    fs.Delete(kInSub);
    EXPECT_EQ(RunConfirmed({0}).failureCount, 1);
    EXPECT_TRUE(Logged(kQ + R"(\cf10 Backup not restored: \cf1 Override\\Modtool\\Backup\\appearance.2da)"
                            R"(\cf10  (the file in use leads into the program's own folders, so nothing was )"
                            R"(changed)\cf1\par)"));
    EXPECT_EQ(fs.Contents(tool), "backup table");
}

}  // namespace
}  // namespace zelvane::testing
