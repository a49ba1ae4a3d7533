// The 2da restore when the front end asks what a restore would undo: the comparison in the
// question, and Merge, which takes only this mod's changes out of the table in use.

#include <utility>
#include <vector>

#include "tables/table_bytes.hpp"
#include "tests/removal/run_fixture.hpp"
#include "tests/tables/table_maker.hpp"

namespace zelvane::testing {
namespace {

const std::string kModFiles = "C:\\Mods\\Files";
const std::string kModsOwn = kModFiles + "\\override\\appearance.2da";
const std::string kPar = R"(\par )" + CRLF;
const std::string kNoMerge = R"(\cf6\b Merge is not offered:\b0\cf1  )";

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

// InUseTable() without the mod's changes: its row emptied, its cell set back.
Table MergedTable() {
    return MakeTable({"label", "race"},
                     {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR"}, {"2", "", ""}, {"3", "Later", "P_LATER"}});
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
using Changes = std::vector<std::pair<FsOp, std::string>>;

class TableInsightRun : public RemovalRunTest {
protected:
    TableInsightRun() {
        WithBackup();
        d.Game = 1;
        tableInsight.show = true;
        fs.AddFile(kBackup, Bytes(BackupTable()));
        fs.OnMutation([this](std::uint64_t, FsOp op, std::string_view path) {
            if (path.find("\\uninstall\\") == std::string_view::npos) changes.emplace_back(op, std::string(path));
        });
    }
    // The mod's own table, and the table in use.
    void WithTables(const std::string& own, const std::string& inUse, const std::string& at = kInOverride) {
        tableInsight.modFolder = kModFiles;
        fs.AddFile(kModsOwn, own);
        fs.AddFile(at, inUse);
    }
    const PromptRequest& Question() {
        EXPECT_EQ(ui.prompts.size(), 2u);
        return ui.prompts.at(1);
    }
    std::string Log(const std::string& phase, int errors = 0) {
        return ExpectedHeader(d.Game) + kBanner + phase + ExpectedTotals(errors, 0);
    }

    // Every change the run made outside its own log, in order: what it was and where.
    Changes changes;
};

TEST_F(TableInsightRun, TheQuestionSaysWhatReplacingWouldUndoInPlainText) {
    fs.AddFile(kInOverride, Bytes(InUseTable()));
    RunConfirmed({1});
    EXPECT_EQ(Question().msgText, kReplaceText + kDifference);
    EXPECT_EQ(Shape(Question()), kYesNoShape);

    // A backslash, a brace or a byte above 127 in a cell shows as itself; no table, no comparison.
    Table inUse = BackupTable();
    inUse.rows.push_back(TableRow{"2", {"C:\\x{y}\xe9", "z"}});
    for (const std::string& bytes : {Bytes(inUse), std::string("not a table")}) {
        fs.AddFile(kInOverride, bytes);
        ui = {};
        RunConfirmed({1});
        EXPECT_EQ(Question().msgText, bytes == "not a table"
                                          ? kReplaceText
                                          : kReplaceText + kPar + kPar +
                                                R"(\cf6\b What replacing it with the backup would remove or change:)"
                                                R"(\b0\cf1)" +
                                                kPar + "The table in use differs from the backup: 1 row added." + kPar +
                                                R"(row 2 (label 2) added: 'C:\\x\{y\}\'e9')");
    }
}

// Merge: the table in use is copied aside before the merged table takes its place; the backup's
// safety copy is made before the backup leaves the backup folder. Nothing is kept nowhere.
TEST_F(TableInsightRun, GoldenMergeTakesOutThisModsChangesAndKeepsLaterOnes) {
    WithTables(Bytes(ModsOwnTable()), Bytes(InUseTable()));
    const RunResult result = RunConfirmed({2});
    EXPECT_EQ(Question().msgText, kReplaceText + kDifference + MergeSection());
    EXPECT_EQ(Shape(Question()), "icon 2 [&Yes|&No|&Merge||] 3 focus 1 top font 12 buttons 1300x380 width -1");
    EXPECT_EQ(SavedLog(), Log(MergeLog(R"(Override\\appearance.2da)") + kSafetyCopied + kBackupDeleted));
    EXPECT_EQ(result.failureCount, 0);
    EXPECT_EQ(result.tablesRestoredCount, 1);
    EXPECT_EQ(GameFiles(), Files({{kInOverride, Bytes(MergedTable())},
                                  {kModsOwn, Bytes(ModsOwnTable())},
                                  {kBu + "\\appearance.2da", Bytes(InUseTable())},
                                  {kSafety, Bytes(BackupTable())}}));
    EXPECT_EQ(changes, (Changes{{FsOp::CreateFolder, kBu},
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
    tableInsight.modFolder = kModFiles;
    fs.AddFile(kModFiles + "\\override\\sub\\appearance.2da", Bytes(ModsOwnTable()));
    fs.AddFile(kInSub, Bytes(InUseTable()));
    RunConfirmed({3});
    EXPECT_EQ(Question().msgText, FoundText(kInSubShown) + kDifference + MergeSection());
    EXPECT_EQ(Shape(Question()), "icon 2 [&Yes|&No|&Cancel|&Merge|] 4 focus 2 top font 12 buttons 1300x380 width 7500");
    EXPECT_TRUE(Logged(MergeLog(R"(Override\\Sub\\appearance.2da)")));
    EXPECT_EQ(fs.Contents(kInSub), Bytes(MergedTable()));
}

TEST_F(TableInsightRun, ATableOnlyThisModChangedMergesBackToTheBackup) {
    WithTables(Bytes(ModsOwnTable()), Bytes(ModsOwnTable()), kInOverride);
    fs.SetAttributes(kInOverride, Attributes{.readOnly = true});  // read-only is no obstacle
    EXPECT_EQ(RunConfirmed({2}).failureCount, 0);
    EXPECT_EQ(fs.Contents(kInOverride), Bytes(BackupTable()));
    EXPECT_FALSE(fs.Exists(kBackup));
}

TEST_F(TableInsightRun, WhyNoMergeIsOffered) {
    Table conflicting = InUseTable();  // a later mod changed the cell this mod changed
    conflicting.rows[1].cells[1] = "P_CAR_LATER";
    Table quoted = BackupTable();  // its value cannot be written back into a text table
    quoted.rows[1].cells[1] = "say \"hi\"";
    Table textInUse = InUseTable();
    textInUse.format = TableFormat::Text;
    const struct {
        std::string own, inUse, backup, ending;
    } cases[] = {
        {"", Bytes(InUseTable()), Bytes(BackupTable()),
         kNoMerge + "this mod's own appearance.2da is not in the override folder of the mod's files."},
        {Bytes(ModsOwnTable()), Bytes(conflicting), Bytes(BackupTable()),
         kNoMerge + "later mods changed what this mod changed." + kPar + "No merge: 1 conflict with later mods." +
             kPar + "row 1 (label 1), race: backup 'P_CAR', this mod 'P_CAR_NEW', in use 'P_CAR_LATER'"},
        {"2DA V2.b broken", Bytes(InUseTable()), Bytes(BackupTable()),
         kNoMerge + "this mod's own appearance.2da does not read as a 2da table."},
        {Bytes(ModsOwnTable()), Bytes(textInUse), Bytes(quoted),
         kNoMerge + "the merged table cannot be written as a 2da table."},
    };
    for (const auto& c : cases) {
        fs.AddFile(kBackup, c.backup);
        WithTables(c.own, c.inUse);
        if (c.own.empty()) {  // not where the mod installs it
            fs.AddFile(kModFiles + "\\appearance.2da", Bytes(ModsOwnTable()));
            fs.Delete(kModsOwn);
        }
        ui = {};
        RunConfirmed({1});
        EXPECT_TRUE(Question().msgText.ends_with(c.ending)) << Question().msgText;
        EXPECT_EQ(Shape(Question()), kYesNoShape);
    }
}

// The mod's changes are already out of the table in use: it is not written at all. The backup
// has done its job all the same and leaves the backup folder, its copy kept.
TEST_F(TableInsightRun, ATableWithNoneOfThisModsChangesIsNotWritten) {
    WithTables(Bytes(ModsOwnTable()), Bytes(BackupTable()));
    EXPECT_EQ(RunConfirmed({2}).tablesRestoredCount, 0);
    EXPECT_TRUE(Logged(kQ +
                       R"(\cf4 Nothing to merge: \cf1 Override\\appearance.2da\cf4  holds none of this )"
                       R"(mod's changes and was left as it is\par)" +
                       CRLF + kSafetyCopied + kBackupDeleted));
    EXPECT_EQ(changes, (Changes{{FsOp::CreateFolder, kBu},
                                {FsOp::Copy, kBackup},
                                {FsOp::SetAttributes, kBackup},
                                {FsOp::Delete, kBackup}}));
}

// A merge that cannot be made as asked leaves the table in use, and keeps the backup until a
// safety copy of it exists.
struct Unmerged {
    std::string name;
    std::function<void(MemoryFileSystem&, ScriptedUi&)> setup;
    std::string line;
    Table inUse;  // after the run
};

class MergeFailure : public TableInsightRun, public ::testing::WithParamInterface<Unmerged> {};

TEST_P(MergeFailure, EveryTableIsKept) {
    WithTables(Bytes(ModsOwnTable()), Bytes(InUseTable()));
    GetParam().setup(fs, ui);
    const RunResult result = RunConfirmed({2});
    EXPECT_TRUE(Logged(kQ + GetParam().line));
    EXPECT_EQ(result.failureCount, 1);
    EXPECT_EQ(fs.Contents(kInOverride), Bytes(GetParam().inUse));
    EXPECT_EQ(fs.Contents(kBackup), Bytes(BackupTable()));
}

INSTANTIATE_TEST_SUITE_P(
    Merge, MergeFailure,
    ::testing::Values(
        // What was compared is what is merged: a table changed while the question was open is left.
        Unmerged{"ChangedWhileAsked",
                 [](MemoryFileSystem& disk, ScriptedUi& ui) {
                     ui.whilePromptOpen = [&disk](const PromptRequest& p) {
                         if (p.msgTitle == kTitle) disk.AddFile(kInOverride, Bytes(ModsOwnTable()));
                     };
                 },
                 R"(\cf10 Table not merged: \cf1 Override\\appearance.2da\cf10  (the table in use or its backup )"
                 R"(changed while you were asked, so nothing was changed)\cf1\par)",
                 ModsOwnTable()},
        Unmerged{"TargetTakesNoFile",
                 [](MemoryFileSystem& disk, ScriptedUi&) {
                     disk.FailOperation(FsOp::CanCreateFileIn, "override", FsStatus::AccessDenied);
                 },
                 R"(\cf10 Table not merged: \cf1 Override\\appearance.2da\cf10  (Override\\ cannot take the )"
                 R"(merged table: Path/File access error, so nothing was changed)\cf1\par)",
                 InUseTable()},
        Unmerged{"WriteFails",
                 [](MemoryFileSystem& disk, ScriptedUi&) {
                     disk.FailOperation(FsOp::WriteAll, "override\\appearance.2da", FsStatus::DiskFull);
                 },
                 R"(\cf10 Failure Merging \cf1 Override\\appearance.2da - \cf7 Error: 61  Disk full\par)",
                 InUseTable()},
        Unmerged{"NoSafetyCopy",
                 [](MemoryFileSystem& disk, ScriptedUi&) {
                     disk.FailOperation(FsOp::Copy, "backup\\appearance.2da", FsStatus::DiskFull);
                 },
                 R"(\cf10 Failure Copying \cf1 Backup\\appearance.2da\cf10  to \cf1 Backup Uninstall\\)"
                 R"(original install backup.appearance.2da - \cf7 Error: 61  Disk full\par)" +
                     CRLF + kQ +
                     R"(\cf10 Backup kept: \cf1 Backup\\appearance.2da\cf10  (no safety copy could be made, )"
                     R"(so the backup stays in the backup folder)\cf1\par)",
                 MergedTable()}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace zelvane::testing
