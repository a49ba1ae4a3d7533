// The 2da restore when the front end asks what a restore would undo: the comparison in the
// question, and Merge, which takes only this mod's changes out of the table in use.

#include "tables/table_bytes.hpp"
#include "tests/removal/run_fixture.hpp"
#include "tests/tables/table_maker.hpp"

namespace zelvane::testing {
namespace {

const std::string kModFiles = "C:\\Mods\\Files";
const std::string kModsOwn = kModFiles + "\\override\\appearance.2da";
const std::string kNoMerge = R"(\cf6\b Merge is not offered:\b0\cf1  )";

std::string Bytes(const Table& table) { return WriteTable(table).value(); }

// The table before the mod; the mod's own version (a cell changed and a row added); in use (the
// mod's version, and a row a later mod added); in use without the mod's changes.
const std::string kBackupTable =
    Bytes(MakeTable({"label", "race"}, {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR"}}));
const std::string kOwnTable = Bytes(
    MakeTable({"label", "race"}, {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR_NEW"}, {"2", "Robe", "P_ROBE"}}));
const Table kInUse = MakeTable({"label", "race"}, {{"0", "Bastila", "P_BAS"},
                                                   {"1", "Carth", "P_CAR_NEW"},
                                                   {"2", "Robe", "P_ROBE"},
                                                   {"3", "Later", "P_LATER"}});
const std::string kInUseTable = Bytes(kInUse);
const std::string kMergedTable =
    Bytes(MakeTable({"label", "race"},
                    {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR"}, {"2", "", ""}, {"3", "Later", "P_LATER"}}));

const std::string kReplaceHeading = R"(\cf6\b What replacing it with the backup would remove or change:\b0\cf1)";
const std::string kDifference = Paras(
    {"", "", kReplaceHeading, "The table in use differs from the backup: 2 rows added and 1 cell changed in 1 row.",
     "row 2 (label 2) added: 'Robe'", "row 3 (label 3) added: 'Later'",
     "row 1 (label 1): race 'P_CAR' -> 'P_CAR_NEW'"});
const std::vector<std::string> kMergeLines = {
    "Merging takes out this mod's changes: 1 row emptied and 1 cell set back in 1 row.",
    "Row 2 is emptied, not removed: later mods added rows after it, whose numbers must stay.",
    "row 2 (label 2) emptied: 'Robe'", "row 1 (label 1): race 'P_CAR_NEW' -> 'P_CAR'"};

const std::string kMergeSection =
    Paras({"", "", R"(\cf6\b What Merge would do instead (every change of later mods is kept):\b0\cf1)", kMergeLines[0],
           kMergeLines[1], kMergeLines[2], kMergeLines[3]});

std::string MergeLog(const std::string& shown) {
    std::string log = CopiedAside(shown) + kQ + R"(\cf3 Merged \cf1 )" + shown +
                      R"(\cf3 : this mod's changes taken out, later mods' changes kept\par)" + CRLF;
    for (const std::string& line : kMergeLines) log += kQ + R"(\cf4 )" + line + R"(\cf1\par)" + CRLF;
    return log;
}

const std::string kSafetyAndBackupGone = kSafetyCopied + kQ + Deleted(R"(Backup\\appearance.2da)") + R"(\par)" + CRLF;
using Changes = std::vector<std::pair<FsOp, std::string>>;

// K1, the comparison asked for; with WithTables() Merge is offered.
struct InsightWorld : World {
    InsightWorld() {
        WithBackup();
        d.Game = 1;
        tableInsight.show = true;
        fs.AddFile(kBackup, kBackupTable);
        fs.OnMutation([this](std::uint64_t, FsOp op, std::string_view path) {
            if (path.find("\\uninstall\\") == std::string_view::npos) changes.emplace_back(op, std::string(path));
        });
    }
    void WithTables(const std::string& own, const std::string& inUse, const std::string& at = kInOverride) {
        tableInsight.modFolder = kModFiles;
        fs.AddFile(kModsOwn, own);
        fs.AddFile(at, inUse);
    }
    const PromptRequest& Question() { return ui.prompts.at(1); }
    Changes changes;  // every change outside the run's own log, in order: what it was and where
};

class TableInsightRun : public ::testing::Test, public InsightWorld {};

// A backslash, a brace or a byte above 127 in a cell shows as itself; no table, no comparison.
TEST_F(TableInsightRun, TheQuestionSaysWhatReplacingWouldUndoInPlainText) {
    Table escaped = MakeTable({"label", "race"}, {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR"}});
    escaped.rows.push_back(TableRow{"2", {"C:\\x{y}\xe9", "z"}});
    const std::pair<std::string, std::string> cases[] = {
        {Bytes(escaped), Paras({"", "", kReplaceHeading, "The table in use differs from the backup: 1 row added.",
                                R"(row 2 (label 2) added: 'C:\\x\{y\}\'e9')"})},
        {"not a table", ""}};
    for (const auto& [bytes, comparison] : cases) {
        fs.AddFile(kInOverride, bytes);
        ui = {};
        RunConfirmed({1});
        EXPECT_EQ(Question().msgText, kReplaceText + comparison);
    }
}

// The table in use is copied aside before the merged table takes its place; the backup's safety copy
// is made before the backup leaves the backup folder.
TEST_F(TableInsightRun, GoldenMergeTakesOutThisModsChangesAndKeepsLaterOnes) {
    WithTables(kOwnTable, kInUseTable);
    const RunResult result = RunConfirmed({2});
    EXPECT_EQ(Question().msgText, kReplaceText + kDifference + kMergeSection);
    EXPECT_EQ(Shape(Question()),
              kTitle + ": icon 2 [&Yes|&No|&Merge||] 3 focus 1 top font 12 buttons 1300x380 width -1");
    EXPECT_EQ(SavedLog(), LogAfterBanner(MergeLog(R"(Override\\appearance.2da)") + kSafetyAndBackupGone, 1));
    EXPECT_EQ(result.tablesRestoredCount, 1);
    EXPECT_EQ(GameFiles(), (Files{{kInOverride, kMergedTable},
                                  {kModsOwn, kOwnTable},
                                  {kBu + "\\appearance.2da", kInUseTable},
                                  {kSafety, kBackupTable}}));
    EXPECT_EQ(changes, (Changes{{FsOp::CreateFolder, kBu},
                                {FsOp::Copy, kInOverride},
                                {FsOp::WriteAll, kInOverride},
                                {FsOp::Copy, kBackup},
                                {FsOp::SetAttributes, kBackup},
                                {FsOp::Delete, kBackup}}));
}

// K2; the mod's own table may lie in a subfolder of the mod's override, as the game's may.
TEST_F(TableInsightRun, TheFoundFileQuestionGetsMergeAsItsFourthButton) {
    d.Game = 2;
    tableInsight.modFolder = kModFiles;
    fs.AddFile(kModFiles + "\\override\\sub\\appearance.2da", kOwnTable);
    fs.AddFile(kInSub, kInUseTable);
    RunConfirmed({3});
    EXPECT_EQ(Question().msgText, FoundText(kInSubShown) + kDifference + kMergeSection);
    EXPECT_EQ(Shape(Question()),
              kTitle + ": icon 2 [&Yes|&No|&Cancel|&Merge|] 4 focus 2 top font 12 buttons 1300x380 width 7500");
    EXPECT_TRUE(Logged(MergeLog(R"(Override\\Sub\\appearance.2da)")));
    EXPECT_EQ(fs.Contents(kInSub), kMergedTable);
}

TEST_F(TableInsightRun, ATableWithNoneOfThisModsChangesIsNotWritten) {
    WithTables(kOwnTable, kBackupTable);
    EXPECT_EQ(RunConfirmed({2}).tablesRestoredCount, 0);
    EXPECT_TRUE(Logged(kQ +
                       R"(\cf4 Nothing to merge: \cf1 Override\\appearance.2da\cf4  holds none of this )"
                       R"(mod's changes and was left as it is\par)" +
                       CRLF + kSafetyAndBackupGone));
    EXPECT_EQ(changes, (Changes{{FsOp::CreateFolder, kBu},
                                {FsOp::Copy, kBackup},
                                {FsOp::SetAttributes, kBackup},
                                {FsOp::Delete, kBackup}}));
}

TEST_F(TableInsightRun, WhyNoMergeIsOffered) {
    Table conflicting = kInUse;  // a later mod changed the cell this mod changed
    conflicting.rows[1].cells[1] = "P_CAR_LATER";
    Table quoted = MakeTable({"label", "race"}, {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "say \"hi\""}});
    Table textInUse = kInUse;  // the backup's value cannot be written back into a text table
    textInUse.format = TableFormat::Text;
    const struct {
        std::string own, inUse, backup, ending;
    } cases[] = {
        {"", kInUseTable, kBackupTable,
         "this mod's own appearance.2da is not in the override folder of the mod's files."},
        {kOwnTable, Bytes(conflicting), kBackupTable,
         Paras({"later mods changed what this mod changed.", "No merge: 1 conflict with later mods.",
                "row 1 (label 1), race: backup 'P_CAR', this mod 'P_CAR_NEW', in use 'P_CAR_LATER'"})},
        {"2DA V2.b broken", kInUseTable, kBackupTable, "this mod's own appearance.2da does not read as a 2da table."},
        {kOwnTable, Bytes(textInUse), Bytes(quoted), "the merged table cannot be written as a 2da table."},
    };
    for (const auto& c : cases) {
        InsightWorld w;
        w.fs.AddFile(kBackup, c.backup);
        w.WithTables(c.own, c.inUse);
        if (c.own.empty()) {  // not where the mod installs it
            w.fs.AddFile(kModFiles + "\\appearance.2da", kOwnTable);
            w.fs.Delete(kModsOwn);
        }
        w.RunConfirmed({1});
        EXPECT_TRUE(w.Question().msgText.ends_with(kNoMerge + c.ending)) << w.Question().msgText;
        EXPECT_EQ(Shape(w.Question()), YesNo(kTitle));
    }
}

TEST_F(TableInsightRun, AMergeThatFailsKeepsEveryTable) {
    const std::string kNotMerged = R"(\cf10 Table not merged: \cf1 Override\\appearance.2da\cf10  ()";
    const struct {
        std::function<void(InsightWorld&)> setup;
        std::string line, inUse;  // the table in use after the run
    } cases[] = {
        // What was compared is what is merged: a table changed while the question was open is left.
        {[](InsightWorld& w) {
             w.ui.whilePromptOpen = [&w](const PromptRequest& p) {
                 if (p.msgTitle == kTitle) w.fs.AddFile(kInOverride, kOwnTable);
             };
         },
         kNotMerged + R"(the table in use or its backup changed while you were asked, so nothing was changed)\cf1\par)",
         kOwnTable},
        {[](InsightWorld& w) { w.fs.FailOperation(FsOp::CanCreateFileIn, "override", FsStatus::AccessDenied); },
         kNotMerged + R"(Override\\ cannot take the merged table: Path/File access error, so nothing was changed))",
         kInUseTable},
        {[](InsightWorld& w) { w.fs.FailOperation(FsOp::WriteAll, "override\\appearance.2da", FsStatus::DiskFull); },
         R"(\cf10 Failure Merging \cf1 Override\\appearance.2da - \cf7 Error: 61  Disk full\par)", kInUseTable},
        {[](InsightWorld& w) { w.fs.FailOperation(FsOp::Copy, "backup\\appearance.2da", FsStatus::DiskFull); },
         R"(\cf10 Failure Copying \cf1 Backup\\appearance.2da\cf10  to \cf1 Backup Uninstall\\)"
         R"(original install backup.appearance.2da - \cf7 Error: 61  Disk full\par)" +
             CRLF + kQ +
             R"(\cf10 Backup kept: \cf1 Backup\\appearance.2da\cf10  (no safety copy could be made, )"
             R"(so the backup stays in the backup folder)\cf1\par)",
         kMergedTable},
    };
    for (const auto& c : cases) {
        InsightWorld w;
        w.WithTables(kOwnTable, kInUseTable);
        c.setup(w);
        EXPECT_EQ(w.RunConfirmed({2}).failureCount, 1);
        EXPECT_TRUE(w.Logged(kQ + c.line));
        EXPECT_EQ(w.fs.Contents(kInOverride), c.inUse);
        EXPECT_EQ(w.fs.Contents(kBackup), kBackupTable);
    }
}

}  // namespace
}  // namespace zelvane::testing
