// The 2da restore when the front end asks what a restore would undo: the comparison in the
// question, and Merge, which takes only this mod's changes out of the table in use.

#include <utility>
#include <vector>

#include "tables/table_bytes.hpp"
#include "tests/removal/restore_2da_texts.hpp"
#include "tests/removal/run_fixture.hpp"
#include "tests/tables/table_maker.hpp"

namespace zelvane::testing {
namespace {

const std::string kBackup = kProgram + "\\backup\\appearance.2da";
const std::string kBu = kProgram + "\\Backup Uninstall";
const std::string kInOverride = kOverride + "\\appearance.2da";
const std::string kInSub = kOverride + "\\sub\\appearance.2da";
const std::string kModFiles = "C:\\Mods\\Files";
const std::string kModsOwn = kModFiles + "\\override\\appearance.2da";
const std::string kQ = R"(\cf1 QRestore2da: )";
const std::string kPar = R"(\par )" + CRLF;

std::string Bytes(const Table& table) { return WriteTable(table).value(); }

// The table before the mod.
Table BackupTable() { return MakeTable({"label", "race"}, {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR"}}); }

// The mod's own version: a cell changed and a row added.
Table ModsOwnTable() {
    return MakeTable({"label", "race"},
                     {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR_NEW"}, {"2", "Robe", "P_ROBE"}});
}

// In use: the mod's version, and a row a later mod added after the mod's.
Table InUseTable() {
    Table table = ModsOwnTable();
    table.rows.push_back(TableRow{"3", {"Later", "P_LATER"}});
    return table;
}

// What replacing InUseTable() by the backup would undo.
const std::string kDifference = kPar + kPar +
                                R"(\cf6\b What replacing it with the backup would remove or change:\b0\cf1)" + kPar +
                                "The table in use differs from the backup: 2 rows added and 1 cell changed in 1 row." +
                                kPar + "row 2 (label 2) added: 'Robe'" + kPar + "row 3 (label 3) added: 'Later'" +
                                kPar + "row 1 (label 1): race 'P_CAR' -> 'P_CAR_NEW'";

const std::string kMergeSummary = "Merging takes out this mod's changes: 1 row emptied and 1 cell set back in 1 row.";
const std::vector<std::string> kMergeDetails = {
    "Row 2 is emptied, not removed: later mods added rows after it, whose numbers must stay.",
    "row 2 (label 2) emptied: 'Robe'", "row 1 (label 1): race 'P_CAR_NEW' -> 'P_CAR'"};

std::string MergeSection() {
    std::string text = kPar + kPar +
                       R"(\cf6\b What Merge would do instead (every change of later mods is kept):\b0\cf1)" + kPar +
                       kMergeSummary;
    for (const std::string& line : kMergeDetails) text += kPar + line;
    return text;
}

// InUseTable() without the mod's changes: its row emptied, its cell set back.
Table MergedTable() {
    return MakeTable({"label", "race"},
                     {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR"}, {"2", "", ""}, {"3", "Later", "P_LATER"}});
}

std::string MergeLog(const std::string& shown) {
    std::string log = kQ + R"(\cf3 FileCopy \cf1 )" + shown + R"(\cf3  to \cf1 Backup Uninstall\\appearance.2da\par)" +
                      CRLF + kQ + R"(\cf3 Merged \cf1 )" + shown +
                      R"(\cf3 : this mod's changes taken out, later mods' changes kept\par)" + CRLF + kQ + R"(\cf4 )" +
                      kMergeSummary + R"(\cf1\par)" + CRLF;
    for (const std::string& line : kMergeDetails) log += kQ + R"(\cf4 )" + line + R"(\cf1\par)" + CRLF;
    return log;
}

const std::string kSafetyCopied = kQ +
                                  R"(\cf3 FileCopy \cf1 Backup\\appearance.2da\cf3  to \cf1 Backup Uninstall\\)"
                                  R"(original install backup.appearance.2da\par)" +
                                  CRLF;
const std::string kBackupDeleted = kQ + R"(\cf3 Delete Successful - \cf1 Backup\\appearance.2da\par)" + CRLF;

class TableInsightRun : public RemovalRunTest {
protected:
    TableInsightRun() {
        d.Restore2da = true;
        d.Backup2daAvailable = true;
        d.Backup2daFiles = {kBackup};
        d.Game = 1;
        tableInsight.show = true;
        fs.AddFile(kBackup, Bytes(BackupTable()));
        fs.OnMutation([this](std::uint64_t, FsOp op, std::string_view path) {
            if (path.find("\\uninstall\\") == std::string_view::npos) changes.emplace_back(op, std::string(path));
        });
    }
    void WithModFiles(const Table& own, const std::string& path = kModsOwn) {
        tableInsight.modFolder = kModFiles;
        fs.AddFile(path, Bytes(own));
    }
    const PromptRequest& Question() {
        EXPECT_EQ(ui.prompts.size(), 2u);
        return ui.prompts.at(1);
    }
    std::string Log(const std::string& phase, int errors = 0) {
        return ExpectedHeader(d.Game) + kBanner + phase + ExpectedTotals(errors, 0);
    }
    std::map<std::string, std::string> Files(std::map<std::string, std::string> expected) {
        expected.emplace(kGame + "\\dialog.tlk", "TLK V3.0 strings");
        if (!tableInsight.modFolder.empty()) expected.emplace(kModsOwn, Bytes(ModsOwnTable()));
        return expected;
    }

    // Every change the run made outside its own log, in order: what it was and where.
    std::vector<std::pair<FsOp, std::string>> changes;
};

TEST_F(TableInsightRun, TheQuestionSaysWhatReplacingWouldUndo) {
    fs.AddFile(kInOverride, Bytes(InUseTable()));
    RunConfirmed({1});
    const PromptRequest& p = Question();
    EXPECT_EQ(p.msgText, kReplaceText + kDifference);
    EXPECT_EQ(p.buttonCount, 2);
    EXPECT_EQ(p.captions, (std::array<std::string, 4>{"&Yes", "&No", "", ""}));
    EXPECT_EQ(p.focusIndex, 1);
}

// Values of the tables are text, never RTF: a backslash, a brace or a byte above 127 in a cell
// shows as itself.
TEST_F(TableInsightRun, ValuesInTheQuestionAreEscaped) {
    Table inUse = BackupTable();
    inUse.rows.push_back(TableRow{"2", {"C:\\x{y}\xe9", "z"}});
    fs.AddFile(kInOverride, Bytes(inUse));
    RunConfirmed({1});
    EXPECT_TRUE(Question().msgText.ends_with(R"(row 2 (label 2) added: 'C:\\x\{y\}\'e9')")) << Question().msgText;
}

TEST_F(TableInsightRun, ATableThatDoesNotReadAsATableKeepsTheQuestionAsItWas) {
    WithModFiles(ModsOwnTable());
    fs.AddFile(kInOverride, "not a table");
    RunConfirmed({1});
    const PromptRequest& p = Question();
    EXPECT_EQ(p.msgText, kReplaceText);
    EXPECT_EQ(p.buttonCount, 2);
    EXPECT_EQ(p.captions, (std::array<std::string, 4>{"&Yes", "&No", "", ""}));
}

// Merge: the table in use is copied aside before the merged table takes its place; the backup's
// safety copy is made before the backup leaves the backup folder. Nothing is kept nowhere.
TEST_F(TableInsightRun, MergeTakesOutThisModsChangesAndKeepsLaterOnes) {
    WithModFiles(ModsOwnTable());
    fs.AddFile(kInOverride, Bytes(InUseTable()));
    const RunResult result = RunConfirmed({2});
    const PromptRequest& p = Question();
    EXPECT_EQ(p.msgText, kReplaceText + kDifference + MergeSection());
    EXPECT_EQ(p.buttonCount, 3);
    EXPECT_EQ(p.captions, (std::array<std::string, 4>{"&Yes", "&No", "&Merge", ""}));
    EXPECT_EQ(p.focusIndex, 1);

    EXPECT_EQ(SavedLog(), Log(MergeLog(R"(Override\\appearance.2da)") + kSafetyCopied + kBackupDeleted));
    EXPECT_EQ(result.failureCount, 0);
    EXPECT_EQ(result.tablesRestoredCount, 1);
    EXPECT_EQ(GameFiles(), Files({{kInOverride, Bytes(MergedTable())},
                                  {kBu + "\\appearance.2da", Bytes(InUseTable())},
                                  {kBu + "\\original install backup.appearance.2da", Bytes(BackupTable())}}));
    EXPECT_EQ(changes, (std::vector<std::pair<FsOp, std::string>>{{FsOp::CreateFolder, kBu},
                                                                  {FsOp::Copy, kInOverride},
                                                                  {FsOp::WriteAll, kInOverride},
                                                                  {FsOp::Copy, kBackup},
                                                                  {FsOp::SetAttributes, kBackup},
                                                                  {FsOp::Delete, kBackup}}));
}

// K2: the found-file question keeps its three answers and their numbers; Merge is the fourth.
// The mod's own table may lie in a subfolder of the mod's override, as the game's may.
TEST_F(TableInsightRun, TheFoundFileQuestionGetsMergeAsItsFourthButton) {
    d.Game = 2;
    WithModFiles(ModsOwnTable(), kModFiles + "\\override\\sub\\appearance.2da");
    fs.AddFile(kInSub, Bytes(InUseTable()));
    RunConfirmed({3});
    const PromptRequest& p = Question();
    EXPECT_EQ(p.msgText,
              FoundText(R"(C:\\Games\\Kotor\\override\\sub\\appearance.2da)") + kDifference + MergeSection());
    EXPECT_EQ(p.buttonCount, 4);
    EXPECT_EQ(p.captions, (std::array<std::string, 4>{"&Yes", "&No", "&Cancel", "&Merge"}));
    EXPECT_EQ(p.focusIndex, 2);
    EXPECT_EQ(p.formatWidth, 7500);
    EXPECT_EQ(SavedLog(), Log(MergeLog(R"(Override\\Sub\\appearance.2da)") + kSafetyCopied + kBackupDeleted));
    EXPECT_EQ(fs.Contents(kInSub), Bytes(MergedTable()));
}

TEST_F(TableInsightRun, ATableOnlyThisModChangedMergesBackToTheBackup) {
    WithModFiles(ModsOwnTable());
    fs.AddFile(kInOverride, Bytes(ModsOwnTable()));
    RunConfirmed({2});
    EXPECT_EQ(fs.Contents(kInOverride), Bytes(BackupTable()));
    EXPECT_FALSE(fs.Exists(kBackup));
}

// A later mod changed the cell this mod changed: no Merge, and the question says why.
TEST_F(TableInsightRun, ConflictsAreListedAndNoMergeIsOffered) {
    WithModFiles(ModsOwnTable());
    Table inUse = InUseTable();
    inUse.rows[1].cells[1] = "P_CAR_LATER";
    fs.AddFile(kInOverride, Bytes(inUse));
    RunConfirmed({1});
    const PromptRequest& p = Question();
    EXPECT_EQ(p.buttonCount, 2);
    EXPECT_EQ(p.captions, (std::array<std::string, 4>{"&Yes", "&No", "", ""}));
    const std::string conflicts = kPar + kPar +
                                  R"(\cf6\b Merge is not offered:\b0\cf1  later mods changed what this mod changed.)" +
                                  kPar + "No merge: 1 conflict with later mods." + kPar +
                                  "row 1 (label 1), race: backup 'P_CAR', this mod 'P_CAR_NEW', in use 'P_CAR_LATER'";
    EXPECT_TRUE(p.msgText.ends_with(conflicts)) << p.msgText;
}

TEST_F(TableInsightRun, WithoutTheModsOwnTableNoMergeIsOffered) {
    tableInsight.modFolder = kModFiles;
    fs.AddFile(kModFiles + "\\appearance.2da", Bytes(ModsOwnTable()));  // not where the mod installs it
    fs.AddFile(kInOverride, Bytes(InUseTable()));
    RunConfirmed({1});
    EXPECT_EQ(Question().msgText, kReplaceText + kDifference + kPar + kPar +
                                      R"(\cf6\b Merge is not offered:\b0\cf1  this mod's own appearance.2da is not in )"
                                      R"(the override folder of the mod's files.)");
    EXPECT_EQ(Question().buttonCount, 2);
}

TEST_F(TableInsightRun, AModsOwnTableThatDoesNotReadOffersNoMerge) {
    tableInsight.modFolder = kModFiles;
    fs.AddFile(kModsOwn, "2DA V2.b broken");
    fs.AddFile(kInOverride, Bytes(InUseTable()));
    RunConfirmed({1});
    EXPECT_TRUE(Question().msgText.ends_with(
        R"(\cf6\b Merge is not offered:\b0\cf1  this mod's own appearance.2da does not read as a 2da table.)"));
    EXPECT_EQ(Question().buttonCount, 2);
}

// The table in use is a text table, and the backup's value that a merge would give back to it
// cannot be written in that form.
TEST_F(TableInsightRun, AMergedTableThatCannotBeWrittenInItsFormOffersNoMerge) {
    Table backup = BackupTable();
    backup.rows[1].cells[1] = "say \"hi\"";
    fs.AddFile(kBackup, Bytes(backup));
    WithModFiles(ModsOwnTable());
    Table inUse = InUseTable();
    inUse.format = TableFormat::Text;
    fs.AddFile(kInOverride, Bytes(inUse));
    RunConfirmed({1});
    EXPECT_TRUE(Question().msgText.ends_with(
        R"(\cf6\b Merge is not offered:\b0\cf1  the merged table cannot be written as a 2da table.)"))
        << Question().msgText;
    EXPECT_EQ(Question().buttonCount, 2);
}

// The mod's changes are already out of the table in use: it is not written at all. The backup
// has done its job all the same and leaves the backup folder, its copy kept.
TEST_F(TableInsightRun, ATableWithNoneOfThisModsChangesIsNotWritten) {
    WithModFiles(ModsOwnTable());
    fs.AddFile(kInOverride, Bytes(BackupTable()));
    const RunResult result = RunConfirmed({2});
    EXPECT_EQ(SavedLog(), Log(kQ +
                              R"(\cf4 Nothing to merge: \cf1 Override\\appearance.2da\cf4  holds none of this )"
                              R"(mod's changes and was left as it is\par)" +
                              CRLF + kSafetyCopied + kBackupDeleted));
    EXPECT_EQ(result.tablesRestoredCount, 0);
    EXPECT_EQ(changes, (std::vector<std::pair<FsOp, std::string>>{{FsOp::CreateFolder, kBu},
                                                                  {FsOp::Copy, kBackup},
                                                                  {FsOp::SetAttributes, kBackup},
                                                                  {FsOp::Delete, kBackup}}));
}

TEST_F(TableInsightRun, AReadOnlyTableInUseIsMerged) {
    WithModFiles(ModsOwnTable());
    Attributes readOnly;
    readOnly.readOnly = true;
    fs.AddFile(kInOverride, Bytes(InUseTable()), readOnly);
    const RunResult result = RunConfirmed({2});
    EXPECT_EQ(result.failureCount, 0);
    EXPECT_EQ(fs.Contents(kInOverride), Bytes(MergedTable()));
}

// What was compared is what is merged: a table changed while the question was open is left alone.
TEST_F(TableInsightRun, ATableChangedWhileAskedIsNotMerged) {
    WithModFiles(ModsOwnTable());
    fs.AddFile(kInOverride, Bytes(InUseTable()));
    ui.whilePromptOpen = [this](const PromptRequest& p) {
        if (p.msgTitle == kTitle) fs.AddFile(kInOverride, Bytes(ModsOwnTable()));
    };
    const RunResult result = RunConfirmed({2});
    EXPECT_EQ(SavedLog(), Log(kQ +
                                  R"(\cf10 Table not merged: \cf1 Override\\appearance.2da\cf10  (the table in use )"
                                  R"(or its backup changed while you were asked, so nothing was changed)\cf1\par)" +
                                  CRLF,
                              1));
    EXPECT_EQ(result.failureCount, 1);
    EXPECT_EQ(fs.Contents(kInOverride), Bytes(ModsOwnTable()));
    EXPECT_TRUE(fs.Exists(kBackup));
}

TEST_F(TableInsightRun, AMergeIsProvedPossibleBeforeAnythingChanges) {
    WithModFiles(ModsOwnTable());
    fs.AddFile(kInOverride, Bytes(InUseTable()));
    fs.FailOperation(FsOp::CanCreateFileIn, "override", FsStatus::AccessDenied);
    const RunResult result = RunConfirmed({2});
    EXPECT_EQ(SavedLog(), Log(kQ +
                                  R"(\cf10 Table not merged: \cf1 Override\\appearance.2da\cf10  (Override\\ cannot )"
                                  R"(take the merged table: Path/File access error, so nothing was changed)\cf1\par)" +
                                  CRLF,
                              1));
    EXPECT_EQ(result.failureCount, 1);
    EXPECT_TRUE(changes.empty());
}

TEST_F(TableInsightRun, AMergeThatCannotBeWrittenLeavesTheTableInUseAndTheBackup) {
    WithModFiles(ModsOwnTable());
    fs.AddFile(kInOverride, Bytes(InUseTable()));
    fs.FailOperation(FsOp::WriteAll, "override\\appearance.2da", FsStatus::DiskFull);
    const RunResult result = RunConfirmed({2});
    EXPECT_EQ(SavedLog(),
              Log(kQ +
                      R"(\cf3 FileCopy \cf1 Override\\appearance.2da\cf3  to \cf1 Backup Uninstall\\)"
                      R"(appearance.2da\par)" +
                      CRLF + kQ +
                      R"(\cf10 Failure Merging \cf1 Override\\appearance.2da - \cf7 Error: 61  Disk full\par)" + CRLF,
                  1));
    EXPECT_EQ(result.failureCount, 1);
    EXPECT_EQ(result.tablesRestoredCount, 0);
    EXPECT_EQ(GameFiles(), Files({{kInOverride, Bytes(InUseTable())},
                                  {kBackup, Bytes(BackupTable())},
                                  {kBu + "\\appearance.2da", Bytes(InUseTable())}}));
}

TEST_F(TableInsightRun, WithoutASafetyCopyTheBackupStaysAfterAMerge) {
    WithModFiles(ModsOwnTable());
    fs.AddFile(kInOverride, Bytes(InUseTable()));
    fs.FailOperation(FsOp::Copy, "backup\\appearance.2da", FsStatus::DiskFull);
    const RunResult result = RunConfirmed({2});
    EXPECT_EQ(SavedLog(),
              Log(MergeLog(R"(Override\\appearance.2da)") + kQ +
                      R"(\cf10 Failure Copying \cf1 Backup\\appearance.2da\cf10  to \cf1 Backup Uninstall\\)"
                      R"(original install backup.appearance.2da - \cf7 Error: 61  Disk full\par)" +
                      CRLF + kQ +
                      R"(\cf10 Backup kept: \cf1 Backup\\appearance.2da\cf10  (no safety copy could be made, )"
                      R"(so the backup stays in the backup folder)\cf1\par)" +
                      CRLF,
                  1));
    EXPECT_EQ(result.failureCount, 1);
    EXPECT_EQ(fs.Contents(kBackup), Bytes(BackupTable()));
    EXPECT_EQ(fs.Contents(kInOverride), Bytes(MergedTable()));
}

}  // namespace
}  // namespace zelvane::testing
