// Paths of the description that lead out of the game folder, by name or through links, or that
// name no plain file, in every phase that touches files: refused with one log line that says
// which, counted as a failure, never touched.

#include <vector>

#include "removal/entry_safety.hpp"
#include "tests/removal/run_fixture.hpp"

namespace zelvane::testing {
namespace {

const std::string kRefused = R"(\cf10 Refused (outside the game folder): \cf1 )";
const std::string kNotPlain = R"(\cf10 Refused (not a plain file name): \cf1 )";
const std::string kSaves = "D:\\Saves";

struct Kind {
    std::string entry;  // as the description lists it
    std::string shown;  // as the log shows it
    const std::string& refusal = kRefused;
};

// One entry of every kind that leads out, or names something else than the file it seems to.
const std::vector<Kind> kKinds = {
    {"..\\precious.sav", R"(..\\precious.sav)"},
    {"override\\..\\..\\precious.sav", R"(Override\\..\\..\\precious.sav)"},
    {"C:\\Windows\\win.ini", R"(C:\\Windows\\win.ini)"},
    {"D:save.sav", R"(D:save.sav)"},
    {"override\\x.tga:stream", R"(Override\\x.tga:stream)", kNotPlain},
    {"override\\CON", R"(Override\\CON)", kNotPlain},
    {"com1.txt", R"(com1.txt)", kNotPlain},
    {"override\\{Linked}\\save.sav", R"(Override\\\{linked\}\\save.sav)"},  // folder link
    {"override\\evil.tga", R"(Override\\evil.tga)"},                        // file link
    {"override\\first.tga", R"(Override\\first.tga)"},                      // chain of links
    {"override\\gone.tga", R"(Override\\gone.tga)"},                        // dangling link
    {"override\\k2\\dialog.tlk", R"(Override\\K2\\dialog.tlk)"},            // a folder beside the game's
    {"override\\caf\xE9\\save.sav", R"(Override\\Caf\'e9\\save.sav)"},      // folder link, code page name
};

class PathSafety : public RemovalRunTest {
protected:
    PathSafety() {
        fs.AddFile("C:\\Games\\precious.sav", "mine");
        fs.AddFile("C:\\Windows\\win.ini", "system");
        fs.AddFile(kSaves + "\\save.sav", "hours of play");
        fs.AddFile("C:\\Games\\Kotor2\\dialog.tlk", "the other game");
        fs.AddFile(kOverride + "\\x.tga", "the mod's x");
        fs.AddLink(kOverride + "\\{Linked}", kSaves);
        fs.AddLink(kOverride + "\\caf\xE9", kSaves);
        fs.AddLink(kOverride + "\\evil.tga", kSaves + "\\save.sav");
        fs.AddLink(kOverride + "\\first.tga", "C:\\Games\\hop.tga");
        fs.AddLink("C:\\Games\\hop.tga", kSaves + "\\save.sav");
        fs.AddLink(kOverride + "\\gone.tga", kSaves + "\\gone.sav");
        fs.AddLink(kOverride + "\\k2", "C:\\Games\\Kotor2");
    }
    // Every refusal line, with what comes before and after each.
    static std::string Refusals(const std::string& before, const std::string& after = R"(\cf1\par)") {
        std::string lines;
        for (const Kind& kind : kKinds) lines += before + kind.refusal + kind.shown + after + CRLF;
        return lines;
    }
    void CheckNothingTouched(const std::map<std::string, std::string>& before) {
        EXPECT_EQ(GameFiles(), before);
        EXPECT_EQ(fs.Contents(kSaves + "\\save.sav"), "hours of play");
        EXPECT_FALSE(fs.Exists(kSaves + "\\gone.sav"));
        EXPECT_EQ(ui.prompts.size(), 1u) << "only the confirmation was asked";
    }
    const int kCount = static_cast<int>(kKinds.size());
};

TEST_F(PathSafety, FileListEntriesOfEveryKindAreRefused) {
    std::vector<std::string> entries;
    std::string text = "#game=2" + CRLF + "#file_list" + CRLF;
    for (const Kind& kind : kKinds) text += kind.entry + CRLF;
    fs.AddFile(kIniPath, text);
    const auto before = GameFiles();
    const RunResult result = RunConfirmed();
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + Refusals("") + kNoBanner + ExpectedTotals(kCount, 0));
    EXPECT_EQ(result.failureCount, kCount);
    CheckNothingTouched(before);
}

TEST_F(PathSafety, QueuedDeletesOfEveryKindAreRefusedWithoutAPrompt) {
    for (const Kind& kind : kKinds) {
        d.QueuedDeletes.push_back({kind.entry, "Delete?", 0});
    }
    const auto before = GameFiles();
    const RunResult result = RunConfirmed();
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + Refusals(R"(\cf1 QDeleteFile: )") + ExpectedTotals(kCount, 0));
    EXPECT_EQ(result.failureCount, kCount);
    CheckNothingTouched(before);
}

TEST_F(PathSafety, QueuedRestoresOfEveryKindAreRefusedWithoutAPrompt) {
    // With the .original beside each linked name, a restore would otherwise go ahead.
    for (const char* name : {"\\evil.tga", "\\first.tga", "\\gone.tga"})
        fs.AddFile(kOverride + name + ".original", "game");
    fs.AddFile(kSaves + "\\save.sav.original", "old save");
    for (const Kind& kind : kKinds) {
        d.QueuedRestores.push_back({kind.entry, "Restore?", 0});
    }
    const auto before = GameFiles();
    const RunResult result = RunConfirmed();
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + Refusals(R"(\cf1 QRestoreFile: )") + ExpectedTotals(kCount, 0));
    EXPECT_EQ(result.failureCount, kCount);
    CheckNothingTouched(before);
}

TEST_F(PathSafety, AQueuedRestoreWhoseOriginalLeadsOutIsRefused) {
    // Restoring would delete the mod's file and move the player's save into the game.
    fs.AddFile(kOverride + "\\mod.tga", "mod");
    fs.AddLink(kOverride + "\\mod.tga.original", kSaves + "\\save.sav");
    d.QueuedRestores = {{"override\\mod.tga", "Restore?", 0}};
    const auto before = GameFiles();
    const RunResult result = RunConfirmed();
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + kBanner + R"(\cf1 QRestoreFile: )" + kRefused +
                              R"(Override\\mod.tga\cf1\par)" + CRLF + ExpectedTotals(1, 0));
    EXPECT_EQ(result.failureCount, 1);
    CheckNothingTouched(before);
}

// The subfolder search does not follow folder links: what lies behind one is not the game's.
TEST_F(PathSafety, TheSubfolderSearchDoesNotEnterFolderLinks) {
    SetFileList({"override\\save.sav"});
    const auto before = GameFiles();
    const RunResult result = RunConfirmed();
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + R"(\cf10 File Not Found: \cf1 Override\\save.sav\cf1\par)" + CRLF +
                              kNoBanner + ExpectedTotals(0, 1));
    EXPECT_EQ(result.failureCount, 0);
    EXPECT_EQ(result.notFoundCount, 1);
    EXPECT_EQ(ui.prompts.size(), 1u);
    CheckNothingTouched(before);
}

// A folder link back up the tree would make the search go round for ever.
TEST_F(PathSafety, AFolderLinkRoundInACircleEndsTheSearch) {
    fs.AddLink(kOverride + "\\loop", kOverride);
    fs.AddLink(kOverride + "\\up", kGame);
    SetFileList({"override\\nowhere.tga"});
    const RunResult result = RunConfirmed();
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(result.notFoundCount, 1);
}

TEST_F(PathSafety, LinksThatStayInsideTheGameFolderAreFollowed) {
    fs.AddFile(kGame + "\\textures\\a.tga", "a");
    fs.AddLink(kOverride + "\\textures", kGame + "\\textures");
    SetFileList({"override\\textures\\a.tga"});
    const RunResult result = RunConfirmed();
    EXPECT_EQ(SavedLog(), ExpectedHeader(2) + Deleted(R"(Override\\Textures\\a.tga)") + R"(\cf1\par)" + CRLF + kBanner +
                              ExpectedTotals(0, 0));
    EXPECT_EQ(result.failureCount, 0);
    EXPECT_FALSE(fs.Exists(kGame + "\\textures\\a.tga"));
}

TEST_F(PathSafety, AGameFolderThatIsItselfALinkKeepsItsFilesInside) {
    fs.AddLink("C:\\Links\\Kotor", kGame);
    registry.SetString(kK2Key, "C:\\Links\\Kotor");
    SetFileList({"override\\x.tga"});
    const RunResult result = RunConfirmed();
    EXPECT_EQ(result.failureCount, 0);
    EXPECT_FALSE(fs.Exists(kOverride + "\\x.tga"));
    EXPECT_EQ(SavedLog().find(kRefused), std::string::npos);
}

// --- the 2da restore ---

const std::string kBackup = kProgram + "\\backup\\appearance.2da";
const std::string kTables = "E:\\Tables";
const std::string k2da = R"(\cf1 QRestore2da: )";

class PathSafety2da : public PathSafety {
protected:
    PathSafety2da() {
        d.Restore2da = true;
        d.Backup2daAvailable = true;
        d.Backup2daFiles = {kBackup};
        fs.AddFile(kBackup, "backup table");
        fs.AddFile(kTables + "\\appearance.2da", "the player's own table");
    }
    void CheckRefused(const RunResult& result, const std::string& shown,
                      const std::map<std::string, std::string>& before) {
        EXPECT_EQ(SavedLog(), ExpectedHeader(d.Game) + kBanner + k2da + kRefused + shown + R"(\cf1\par)" + CRLF +
                                  ExpectedTotals(1, 0));
        EXPECT_EQ(result.failureCount, 1);
        EXPECT_EQ(GameFiles(), before);
        EXPECT_EQ(fs.Contents(kTables + "\\appearance.2da"), "the player's own table");
    }
};

TEST_F(PathSafety2da, ATableInOverrideThatLinksOutIsRefusedWithoutAPrompt) {
    fs.AddLink(kOverride + "\\appearance.2da", kTables + "\\appearance.2da");
    const auto before = GameFiles();
    CheckRefused(RunConfirmed(), R"(Override\\appearance.2da)", before);
    EXPECT_EQ(ui.prompts.size(), 1u);
}

TEST_F(PathSafety2da, AnOverrideThatLinksOutReceivesNoBackup) {
    // K1 puts the backup into override even without a current table there.
    d.Game = 1;
    fs.AddFolder("E:\\Empty");
    ASSERT_EQ(fs.Rename(kOverride, kGame + "\\override.real"), FsStatus::Ok);
    fs.AddLink(kOverride, "E:\\Empty");
    const auto before = GameFiles();
    CheckRefused(RunConfirmed(), R"(Override\\appearance.2da)", before);
    EXPECT_FALSE(fs.Exists("E:\\Empty\\appearance.2da"));
    EXPECT_EQ(ui.prompts.size(), 1u);
}

TEST_F(PathSafety2da, AK2SearchDoesNotFindATableBehindAFolderLink) {
    fs.AddLink(kOverride + "\\tables", kTables);
    const auto before = GameFiles();
    RunConfirmed({1});  // nothing found: "restore anyway?" answered No
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(ui.prompts[1].msgTitle, "Confirm appearance.2da replacement");
    EXPECT_EQ(GameFiles(), before);
    EXPECT_EQ(fs.Contents(kTables + "\\appearance.2da"), "the player's own table");
}

TEST_F(PathSafety2da, ALocatedTableThatLinksOutIsRefused) {
    fs.AddFile(kOverride + "\\sub\\appearance.2da", "first found");
    fs.AddLink(kOverride + "\\chosen\\appearance.2da", kTables + "\\appearance.2da");
    ui.openFileAnswers = {kOverride + "\\chosen\\appearance.2da"};
    const auto before = GameFiles();
    CheckRefused(RunConfirmed({1}), R"(Override\\Chosen\\appearance.2da)", before);  // "No": locate it
}

}  // namespace
}  // namespace zelvane::testing
