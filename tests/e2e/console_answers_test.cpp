// End-to-end runs of zelvane-console, one per prompt answer and phase outcome: the game choice,
// the subfolder prompt, missing, read-only and undeletable files, queued deletes and restores,
// every branch of the 2da restore with its open-file dialog, the stale start, the explicit
// instructions, opening the log, and the exit statuses. The saved log is compared byte for byte
// and the files on disk afterwards.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/e2e/dry_run_check.hpp"
#include "tests/e2e/e2e_support.hpp"
#include "tests/e2e/mod_install_test.hpp"

namespace zelvane::e2e {
namespace {

// One log line: the text and CR LF.
std::string L(const std::string& text) { return text + kCrLf; }

std::string Q2da(const std::string& text) { return L("\\cf1 QRestore2da: " + text); }

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

class ConsoleAnswersTest : public ModInstallTest {
protected:
    std::vector<std::string> Arguments() const {
        return {"--no-open", "--program-folder", mod, "--answers", answersFile, "--registry", registryFile};
    }
    // Each run is made after its dry run, which must agree with it; where the disk itself refuses
    // a change (an immutable file) only the real run can tell, and the comparison is left out.
    bool compareDryRun = true;
    ConsoleRun Run() {
        if (!compareDryRun) return RunConsole(Arguments());
        return RunAfterDryRun(Arguments(), {game, mod}, logPath);
    }
    // A K2 mod whose only work is the 2da restore of appearance.2da.
    void Make2daMod(int gameNumber) {
        Description({"#game=" + std::to_string(gameNumber), "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da",
                     "#file_list"});
        Mod("backup/appearance.2da", "2DA V2.0 original");
        Game("dialog.tlk", kTlk);
        Registry(gameNumber);
    }
};

// The prompts of a run appear in the transcript in this order.
void ExpectInOrder(const std::string& transcript, const std::vector<std::string>& pieces) {
    std::size_t at = 0;
    for (const std::string& piece : pieces) {
        const std::size_t found = transcript.find(piece, at);
        ASSERT_NE(found, std::string::npos) << "missing, or out of order: " << piece << "\n" << transcript;
        at = found + piece.size();
    }
}

// ---- game choice ----------------------------------------------------------------------------

class GameChoiceTest : public ConsoleAnswersTest {
protected:
    void MakeSelectableMod(const std::string& gameLine) {
        std::vector<std::string> lines{"#game_select=1", "#file_list", "override\\chosen.uti", "override\\moved.tga"};
        if (!gameLine.empty()) lines.insert(lines.begin(), gameLine);
        Description(lines);
        Game("dialog.tlk", kTlk);
        Game("override/chosen.uti", "item");
        Game("override/sub/moved.tga", "moved");
    }
};

TEST_F(GameChoiceTest, KotorOneRunsTheRemovalAsK1WithoutSubfolderSearch) {
    MakeSelectableMod("#game=2");
    Registry(1);
    Answers({"0", "0"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    ExpectInOrder(run.out, {"Prompt: Choose Game\n",
                            "This mod was installable for K1 or K2.\n\nChoose the game to uninstall from...",
                            "  [0] Kotor 1\n  [1] Kotor 2 TSL\n  [2] Abort  (A)  <- focus\n", "Answer: 0 (Kotor 1)"});
    EXPECT_EQ(run.out.find("Confirm Delete in Subfolder"), std::string::npos);
    EXPECT_EQ(ReadFile(logPath), Header(1) + L(Deleted(R"(Override\\chosen.uti)") + "\\cf1\\par") +
                                     L(R"(\cf10 File Not Found: \cf1 Override\\moved.tga\cf1\par)") + kThreePars +
                                     Totals(0, 1));
    EXPECT_EQ(Snapshot(game),
              (std::map<std::string, std::string>{{"dialog.tlk", kTlk}, {"override/sub/moved.tga", "moved"}}));
}

TEST_F(GameChoiceTest, KotorTwoRunsTheRemovalAsK2) {
    MakeSelectableMod("#game=1");
    Registry(2);
    Answers({"0", "1", "0"});  // confirmation, "Kotor 2 TSL", the subfolder
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Answer: 1 (Kotor 2 TSL)"), std::string::npos);
    EXPECT_EQ(ReadFile(logPath), Header(2) + L(Deleted(R"(Override\\chosen.uti)") + "\\cf1\\par") +
                                     L(Deleted(R"(Override\\Sub\\moved.tga)") + "\\cf1\\par") + kBanner + Totals(0, 0));
    EXPECT_EQ(Snapshot(game), (std::map<std::string, std::string>{{"dialog.tlk", kTlk}}));
}

TEST_F(GameChoiceTest, AbortStopsTheProgramBeforeAnythingIsTouched) {
    MakeSelectableMod("#game=2");
    Registry(2);
    Answers({"0", "a"});
    const auto before = Snapshot(game);
    const ConsoleRun run = Run();
    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
    EXPECT_NE(run.out.find("Message: Aborting\n" + std::string(60, '-') + "\nUninstall Aborted\n"), std::string::npos)
        << run.out;
    EXPECT_EQ(Snapshot(game), before);
    EXPECT_FALSE(Exists(logPath));
}

TEST_F(GameChoiceTest, ClosingTheChoiceKeepsTheDescriptionsGame) {
    MakeSelectableMod("#game=2");
    Registry(2);
    Answers({"0", "close", "1"});  // confirmation, the choice closed, No to the subfolder
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Answer: close (-1)"), std::string::npos);
    EXPECT_EQ(ReadFile(logPath),
              Header(2) + L(Deleted(R"(Override\\chosen.uti)") + "\\cf1\\par") +
                  L(R"(\cf5 Not deleted in subfolder per user request: Override\\moved.tga\cf1\par)") + kBanner +
                  Totals(0, 0));
    EXPECT_EQ(ReadFile(game + "/override/sub/moved.tga"), "moved");
}

TEST_F(GameChoiceTest, ClosingTheChoiceWithoutAGameInTheDescriptionStops) {
    MakeSelectableMod("");
    Registry(2);
    Answers({"0", "close"});
    const auto before = Snapshot(game);
    const ConsoleRun run = Run();
    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
    EXPECT_NE(run.out.find("Message: Aborting\n" + std::string(60, '-') +
                           "\nError selecting game to uninstall from.\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(Snapshot(game), before);
    EXPECT_FALSE(Exists(logPath));
}

TEST_F(ConsoleAnswersTest, ADescriptionWithoutAGameStopsAfterTheConfirmation) {
    Description({"#file_list", "override\\x.uti"});
    Game("dialog.tlk", kTlk);
    Game("override/x.uti", "x");
    Registry(2);
    Answers({"0"});
    const ConsoleRun run = Run();
    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
    EXPECT_NE(run.out.find("Error selecting game to uninstall from."), std::string::npos);
    EXPECT_EQ(run.out.find("Choose Game"), std::string::npos);
    EXPECT_TRUE(Exists(game + "/override/x.uti"));
    EXPECT_FALSE(Exists(logPath));
}

// ---- file list ------------------------------------------------------------------------------

TEST_F(ConsoleAnswersTest, SubfolderPromptAnsweredNoClosedAndYes) {
    Description({"#game=2", "#file_list", "override\\a.tga", "override\\b.tga", "override\\c.tga", "override\\d.tga",
                 "override\\gone.tga", "Movies\\gone.bik", "override\\direct.uti"});
    Game("dialog.tlk", kTlk);
    Game("override/s1/a.tga", "a");
    Game("override/s2/b.tga", "b");
    Game("override/s3/c.tga", "c");
    Game("override/s4/d.tga", "d");
    Game("override/direct.uti", "direct");
    Game("Movies/sub/gone.bik", "not searched: outside override");
    Registry(2);
    // No to a.tga, the prompt closed for b.tga, Yes to c.tga; d.tga is then refused unasked,
    // because both answers have been given.
    Answers({"0", "1", "close", "0"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(Count(run.out, "Prompt: Confirm Delete in Subfolder\n"), 3u) << run.out;
    ExpectInOrder(run.out, {"The file \noverride\\a.tga\nwas found in a subfolder\n" + WindowsForm(game) +
                            "\\override\\s1\\\n\n"
                            "Would you like to proceed with deletion?\n\n\n"
                            "Selecting yes will not limit searches to this folder\n"
                            "If more than one copy of this file exists in the override\n"
                            "it will delete the first occurance it finds.\n\n"
                            "  [0] Yes  (Y)\n  [1] No  (N)  <- focus\n"});

    EXPECT_EQ(ReadFile(logPath), Header(2) +
                                     L(R"(\cf5 Not deleted in subfolder per user request: Override\\a.tga\cf1\par)") +
                                     L(Deleted(R"(Override\\S3\\c.tga)") + "\\cf1\\par") +
                                     L(R"(\cf5 Not deleted in subfolder per user request: Override\\d.tga\cf1\par)") +
                                     L(R"(\cf10 File Not Found: \cf1 Override\\gone.tga\cf1\par)") +
                                     L(R"(\cf10 File Not Found: \cf1 Movies\\gone.bik\cf1\par)") +
                                     L(Deleted(R"(Override\\direct.uti)") + "\\cf1\\par") + kThreePars + Totals(0, 2));
    EXPECT_EQ(Snapshot(game),
              (std::map<std::string, std::string>{{"dialog.tlk", kTlk},
                                                  {"Movies/sub/gone.bik", "not searched: outside override"},
                                                  {"override/s1/a.tga", "a"},
                                                  {"override/s2/b.tga", "b"},
                                                  {"override/s4/d.tga", "d"}}));
}

TEST_F(ConsoleAnswersTest, YesToTheSubfolderPromptDeletesLaterSubfolderFilesUnasked) {
    Description({"#game=2", "#file_list", "override\\a.tga", "override\\b.tga"});
    Game("dialog.tlk", kTlk);
    Game("override/s1/a.tga", "a");
    Game("override/s2/deeper/b.tga", "b");
    Registry(2);
    Answers({"0", "y"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(Count(run.out, "Prompt: Confirm Delete in Subfolder"), 1u);
    EXPECT_EQ(ReadFile(logPath), Header(2) + L(Deleted(R"(Override\\S1\\a.tga)") + "\\cf1\\par") +
                                     L(Deleted(R"(Override\\S2\\Deeper\\b.tga)") + "\\cf1\\par") + kBanner +
                                     Totals(0, 0));
    EXPECT_EQ(Snapshot(game), (std::map<std::string, std::string>{{"dialog.tlk", kTlk}}));
}

TEST_F(ConsoleAnswersTest, AReadOnlyGameFileIsDeleted) {
    Description({"#game=1", "#file_list", "override\\ro.uti"});
    Game("dialog.tlk", kTlk);
    Game("override/ro.uti", "read-only");
    SetMode(game + "/override/ro.uti", 0444);
    Registry(1);
    Answers({"0"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(ReadFile(logPath), Header(1) + L(Deleted(R"(Override\\ro.uti)") + "\\cf1\\par") + kBanner + Totals(0, 0));
    EXPECT_FALSE(Exists(game + "/override/ro.uti"));
}

TEST_F(ConsoleAnswersTest, AFileThatCannotBeDeletedIsAFailureAndTheRunGoesOn) {
    Description({"#game=1", "#file_list", "override\\locked.uti", "override\\free.uti"});
    Game("dialog.tlk", kTlk);
    Game("override/locked.uti", "locked");
    Game("override/free.uti", "free");
    Registry(1);
    ImmutableFile locked(game + "/override/locked.uti");
    compareDryRun = false;
    if (!locked.Applied()) GTEST_SKIP() << "immutable files are not available here";
    Answers({"0"});
    const ConsoleRun run = Run();
    // The run completed and saved its log, which counts an error: a status of its own.
    ASSERT_EQ(run.exitCode, 5) << run.out << run.err;
    EXPECT_EQ(
        ReadFile(logPath),
        Header(1) +
            L(R"(\cf10 Delete Failure - \cf1 Override\\locked.uti\cf7  - Error: 75  Path/File access error\cf1\par)") +
            L(Deleted(R"(Override\\free.uti)") + "\\cf1\\par") + kThreePars + Totals(1, 0));
    EXPECT_EQ(ReadFile(game + "/override/locked.uti"), "locked");
    EXPECT_FALSE(Exists(game + "/override/free.uti"));
}

TEST_F(ConsoleAnswersTest, NothingToDoStillSavesALogWithTheBanner) {
    Description({"#game=2"});
    Game("dialog.tlk", kTlk);
    Registry(2);
    Answers({"0"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(Count(run.out, "Prompt: "), 1u);  // the confirmation only; the log is not asked about
    EXPECT_EQ(ReadFile(logPath), Header(2) + kBanner + Totals(0, 0));
    EXPECT_NE(run.out.find("Saved: " + logPath + "\n"), std::string::npos);
}

// ---- queued deletes and restores --------------------------------------------------------------

TEST_F(ConsoleAnswersTest, QueuedDeletesClosedAcceptedTwiceAndWithAnEmptyPrompt) {
    Description({"#game=2", "#qdelete_file_0=override\\q.txt", "#qdelete_file_begin_0#", "Delete q?",
                 "#qdelete_file_end_0#", "#qdelete_file_1=override\\r.txt", "#qdelete_file_begin_1#", "Delete r?",
                 "#qdelete_file_end_1#", "#qdelete_file_2=override\\r.txt", "#qdelete_file_begin_2#", "Delete r again?",
                 "#qdelete_file_end_2#", "#qdelete_file_3=override\\s.txt", "#qdelete_file_begin_3#", "",
                 "#qdelete_file_end_3#"});
    Game("dialog.tlk", kTlk);
    Game("override/q.txt", "q");
    Game("override/r.txt", "r");
    Game("override/s.txt", "s");
    Registry(2);
    Answers({"0", "close", "0", "n"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(Count(run.out, "Prompt: Confirm Delete\n"), 3u) << run.out;
    EXPECT_EQ(run.out.find("Delete r again?"), std::string::npos);
    EXPECT_EQ(
        ReadFile(logPath),
        Header(2) + kBanner + L(R"(\cf1 QDeleteFile: \cf5 User chose not to delete Override\\q.txt\par)") +
            L("\\cf1 QDeleteFile: " + Deleted(R"(Override\\r.txt)") + "\\par") +
            L(R"(\cf1\b QDeleteFile: \cf10 Prompt Failure \cf6 (File Not Found): \cf1 Override\\r.txt\cf1\b0\par)") +
            L(R"(\cf1 QDeleteFile: \cf5 User chose not to delete Override\\s.txt\par)") + kFyi + Totals(0, 0));
    EXPECT_EQ(Snapshot(game), (std::map<std::string, std::string>{{"dialog.tlk", kTlk},
                                                                  {"override/q.txt", "q"},
                                                                  {"override/s.txt", "s"}}));
}

TEST_F(ConsoleAnswersTest, QueuedRestoresMissingFileMissingOriginalClosedAndReadOnly) {
    Description({"#game=2", "#qrestore_file_0=override\\gone.tga", "#qrestore_file_begin_0#", "Restore gone?",
                 "#qrestore_file_end_0#", "#qrestore_file_1=override\\noorig.tga", "#qrestore_file_begin_1#",
                 "Restore noorig?", "#qrestore_file_end_1#", "#qrestore_file_2=override\\closed.tga",
                 "#qrestore_file_begin_2#", "Restore closed?", "#qrestore_file_end_2#",
                 "#qrestore_file_3=override\\ro.tga", "#qrestore_file_begin_3#", "Restore ro?",
                 "#qrestore_file_end_3#"});
    Game("dialog.tlk", kTlk);
    Game("override/gone.tga.original", "game gone");
    Game("override/noorig.tga", "mod noorig");
    Game("override/closed.tga", "mod closed");
    Game("override/closed.tga.original", "game closed");
    Game("override/ro.tga", "mod ro");
    Game("override/ro.tga.original", "game ro");
    SetMode(game + "/override/ro.tga", 0444);
    SetMode(game + "/override/ro.tga.original", 0444);
    Registry(2);
    Answers({"0", "close", "0"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(Count(run.out, "Prompt: Confirm Restore\n"), 2u) << run.out;
    ExpectInOrder(run.out, {"Restore closed?", "Answer: close (-1)", "Restore ro?", "Answer: 0 (Yes)"});
    EXPECT_EQ(
        ReadFile(logPath),
        Header(2) + kBanner +
            L(R"(\cf1\b QRestoreFile: \cf10 Prompt Failure \cf6 (File Not Found) \cf1 Override\\gone.tga\cf1\b0\par)") +
            L(R"(\cf1\b QRestoreFile: \cf10 Prompt Failure \cf6 (.original File Not Found) \cf1 Override\\noorig.tga.original\cf1\b0\par)") +
            L(R"(\cf1 QRestoreFile: \cf5 User chose not to restore \cf1 Override\\closed.tga\cf1\par)") +
            L("\\cf1 QRestoreFile: " + Deleted(R"(Override\\ro.tga)") + "\\par") +
            L(R"(\cf1 QRestoreFile: \cf3 Renamed \cf1 Override\\ro.tga.original\cf3  to \cf1 Override\\ro.tga\par)") +
            kFyi + Totals(0, 0));
    EXPECT_EQ(Snapshot(game), (std::map<std::string, std::string>{{"dialog.tlk", kTlk},
                                                                  {"override/gone.tga.original", "game gone"},
                                                                  {"override/noorig.tga", "mod noorig"},
                                                                  {"override/closed.tga", "mod closed"},
                                                                  {"override/closed.tga.original", "game closed"},
                                                                  {"override/ro.tga", "game ro"}}));
}

TEST_F(ConsoleAnswersTest, AQueuedRestoreOfAnUndeletableFileFailsTwiceAndKeepsBothFiles) {
    Description({"#game=2", "#qrestore_file_0=override\\locked.tga", "#qrestore_file_begin_0#", "Restore?",
                 "#qrestore_file_end_0#"});
    Game("dialog.tlk", kTlk);
    Game("override/locked.tga", "mod");
    Game("override/locked.tga.original", "game");
    Registry(2);
    ImmutableFile locked(game + "/override/locked.tga");
    compareDryRun = false;
    if (!locked.Applied()) GTEST_SKIP() << "immutable files are not available here";
    Answers({"0", "0"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 5) << run.out << run.err;  // the log counts errors
    EXPECT_EQ(
        ReadFile(logPath),
        Header(2) + kBanner +
            L(R"(\cf1 QRestoreFile: \cf10 Delete Failure - \cf1 Override\\locked.tga\cf7  - Error: 75  Path/File access error\par)") +
            L(R"(\cf1 QRestoreFile: \cf10 Failure Renaming \cf1 Override\\locked.tga.original\cf10  to \cf1Override\\locked.tga - \cf7 Error: 58  File already exists\par)") +
            Totals(2, 0));
    EXPECT_EQ(ReadFile(game + "/override/locked.tga"), "mod");
    EXPECT_EQ(ReadFile(game + "/override/locked.tga.original"), "game");
}

// ---- 2da restore ------------------------------------------------------------------------------

TEST_F(ConsoleAnswersTest, K1RestoreAnywayDeclinedAndClosedChangeNothing) {
    Make2daMod(1);
    Answers({"0", "1"});
    ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    ExpectInOrder(run.out, {"Prompt: Confirm appearance.2da replacement\n",
                            "2da replacement is enabled.\nHowever, no appearance.2da was found in the override.\n\n"
                            "Restore the backup appearance.2da anyway?\n\n  [0] Yes  (Y)\n  [1] No  (N)  <- focus\n"});
    EXPECT_EQ(ReadFile(logPath),
              Header(1) + kBanner +
                  Q2da(R"(\cf4 No 2das found in override. \cf1 appearance.2da\cf4  not restored.\par)") + Totals(0, 0));

    // A second run, the prompt closed this time: no line, and the earlier log is replaced.
    Answers({"0", "close"});
    run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(ReadFile(logPath), Header(1) + kBanner + Totals(0, 0));
    EXPECT_EQ(Snapshot(game), (std::map<std::string, std::string>{{"dialog.tlk", kTlk}}));
    EXPECT_EQ(ReadFile(mod + "/backup/appearance.2da"), "2DA V2.0 original");
    EXPECT_FALSE(Exists(mod + "/Backup Uninstall"));
}

TEST_F(ConsoleAnswersTest, ReplaceInOverrideClosedChangesNothing) {
    Make2daMod(2);
    Game("override/appearance.2da", "2DA V2.0 modded");
    Answers({"0", "close"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("2da replacement is enabled. Would you like to replace the appearance.2da in the override "
                           "with the backup copy generated when you installed this mod?"),
              std::string::npos);
    EXPECT_EQ(ReadFile(logPath), Header(2) + kBanner + Totals(0, 0));
    EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), "2DA V2.0 modded");
    EXPECT_EQ(ReadFile(mod + "/backup/appearance.2da"), "2DA V2.0 original");
}

TEST_F(ConsoleAnswersTest, K2TableInASubfolderReplacedOverTheCopiesOfAnEarlierRun) {
    Make2daMod(2);
    Game("override/sub/appearance.2da", "2DA V2.0 modded");
    // Read-only copies left by an earlier run.
    Mod("Backup Uninstall/appearance.2da", "earlier displaced");
    Mod("Backup Uninstall/original install backup.appearance.2da", "earlier safety copy");
    SetMode(mod + "/Backup Uninstall/appearance.2da", 0444);
    SetMode(mod + "/Backup Uninstall/original install backup.appearance.2da", 0444);
    Answers({"0", "0"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    ExpectInOrder(run.out,
                  {"Prompt: Confirm appearance.2da replacement\n",
                   "2da replacement is enabled. Would you like to replace the appearance.2da located at \n" +
                       WindowsForm(game) +
                       "\\override\\sub\\appearance.2dawith the backup copy generated when you "
                       "installed this mod?\n\n",
                   "Selecting yes will replace the file.\nSelecting no will allow you to locate the replace target "
                   "yourself.\nSelecting cancel will abort and allow you to do it manually.\n",
                   "NOTE: The appearance.2da in the override will be backed up in a folder named Backup Uninstall "
                   "located in the folder this program is being run from.",
                   "NOTE ALSO: If you have installed any mods that have altered the appearance.2da since you installed "
                   "this one then replacing it is probably a bad idea and UNLESS you REALLY know what you are doing "
                   "then you are advised NOT to replace it.",
                   "  [0] Yes  (Y)\n  [1] No  (N)\n  [2] Cancel  (C)  <- focus\n", "Answer: 0 (Yes)"});
    EXPECT_EQ(
        ReadFile(logPath),
        Header(2) + kBanner + Q2da(Deleted(R"(Backup Uninstall\\appearance.2da)") + "\\par") +
            Q2da(
                R"(\cf3 FileCopy \cf1 Override\\Sub\\appearance.2da\cf3  to \cf1 Backup Uninstall\\appearance.2da\par)") +
            Q2da(Deleted(R"(Override\\Sub\\appearance.2da)") + "\\par") +
            Q2da(Deleted(R"(Backup Uninstall\\original install backup.appearance.2da)") + "\\par") +
            Q2da(
                R"(\cf3 FileCopy \cf1 Backup\\appearance.2da\cf3  to \cf1 Backup Uninstall\\original install backup.appearance.2da\par)") +
            Q2da(R"(\cf3 Renamed \cf1 Backup\\appearance.2da\cf3  to \cf1 Override\\Sub\\appearance.2da\par)") +
            Totals(0, 0));
    EXPECT_EQ(Snapshot(game),
              (std::map<std::string, std::string>{{"dialog.tlk", kTlk},
                                                  {"override/sub/appearance.2da", "2DA V2.0 original"}}));
    EXPECT_EQ(Snapshot(mod + "/Backup Uninstall"),
              (std::map<std::string, std::string>{{"appearance.2da", "2DA V2.0 modded"},
                                                  {"original install backup.appearance.2da", "2DA V2.0 original"}}));
    EXPECT_FALSE(Exists(mod + "/backup/appearance.2da"));
}

TEST_F(ConsoleAnswersTest, K2FoundFileCancelledThenClosedChangesNothing) {
    Make2daMod(2);
    Game("override/sub/appearance.2da", "2DA V2.0 modded");
    Answers({"0", "c"});
    ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(ReadFile(logPath),
              Header(2) + kBanner + Q2da(R"(appearance.2da\cf4  replacement aborted.\par)") + Totals(0, 0));

    Answers({"0", "close"});
    run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(ReadFile(logPath), Header(2) + kBanner + Totals(0, 0));
    EXPECT_EQ(ReadFile(game + "/override/sub/appearance.2da"), "2DA V2.0 modded");
    EXPECT_EQ(ReadFile(mod + "/backup/appearance.2da"), "2DA V2.0 original");
    EXPECT_FALSE(Exists(mod + "/Backup Uninstall"));
}

TEST_F(ConsoleAnswersTest, K2LocateLoopCancelledWrongFileThenTheTableInOtherCase) {
    Make2daMod(2);
    Game("override/sub/appearance.2da", "found first");
    Game("override/real/APPEARANCE.2DA", "2DA V2.0 modded");
    Game("override/real/feat.2da", "another table");
    // No to the found file; the dialog cancelled, No to "abort?"; a file of another name, No; then
    // the table in other letter case.
    Answers({"0", "1", "cancel", "1", game + "/override/real/feat.2da", "n",
             WindowsForm(game) + "\\override\\real\\APPEARANCE.2DA"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::string dialog = "Open file: Locate appearance.2da\n" + std::string(60, '-') +
                               "\nFolder: " + WindowsForm(game) +
                               "\\override\\\nFile name: appearance.2da\nFiles of type: 2da Files (*.2da)\n";
    EXPECT_EQ(Count(run.out, dialog), 3u) << run.out;
    EXPECT_EQ(Count(run.out,
                    "Prompt: Hmm\n" + std::string(60, '-') +
                        "\nInvalid file - Would you like to abort this appearance.2da replacement operation?\n\n"
                        "  [0] Yes  (Y)\n  [1] No  (N)  <- focus\n"),
              2u);
    EXPECT_EQ(
        ReadFile(logPath),
        Header(2) + kBanner +
            Q2da(
                R"(\cf3 FileCopy \cf1 Override\\Real\\APPEARANCE.2DA\cf3  to \cf1 Backup Uninstall\\APPEARANCE.2DA\par)") +
            Q2da(Deleted(R"(Override\\Real\\APPEARANCE.2DA)") + "\\par") +
            Q2da(
                R"(\cf3 FileCopy \cf1 Backup\\appearance.2da\cf3  to \cf1 Backup Uninstall\\original install backup.appearance.2da\par)") +
            Q2da(R"(\cf3 Renamed \cf1 Backup\\appearance.2da\cf3  to \cf1 Override\\Real\\APPEARANCE.2DA\par)") +
            Totals(0, 0));
    EXPECT_EQ(Snapshot(game), (std::map<std::string, std::string>{{"dialog.tlk", kTlk},
                                                                  {"override/real/APPEARANCE.2DA", "2DA V2.0 original"},
                                                                  {"override/real/feat.2da", "another table"},
                                                                  {"override/sub/appearance.2da", "found first"}}));
    EXPECT_EQ(ReadFile(mod + "/Backup Uninstall/APPEARANCE.2DA"), "2DA V2.0 modded");
}

TEST_F(ConsoleAnswersTest, K2LocateLoopAbortedAndClosed) {
    Description({"#game=2", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da,feat.2da", "#file_list"});
    Mod("backup/appearance.2da", "2DA V2.0 original");
    Game("dialog.tlk", kTlk);
    Game("override/sub/appearance.2da", "2DA V2.0 modded");
    Registry(2);
    // The backup itself chosen in the dialog is no replace target: "abort?" Yes.
    Answers({"0", "1", mod + "/backup/appearance.2da", "0"});
    ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Prompt: Hmm"), std::string::npos);
    const std::string missing = L(R"(\cf10 2da backup not available \cf1 feat.2da\par)") + kPar;
    EXPECT_EQ(ReadFile(logPath), Header(2) + kBanner + missing +
                                     Q2da(R"(\cf5 User aborted 2da replacement for \cf1 appearance.2da\par)") +
                                     Totals(0, 0));

    // Closing "abort?" leaves the loop without a line.
    Answers({"0", "1", "cancel", "close"});
    run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(Count(run.out, "Open file: Locate appearance.2da"), 1u);
    EXPECT_EQ(ReadFile(logPath), Header(2) + kBanner + missing + Totals(0, 0));
    EXPECT_EQ(ReadFile(game + "/override/sub/appearance.2da"), "2DA V2.0 modded");
    EXPECT_EQ(ReadFile(mod + "/backup/appearance.2da"), "2DA V2.0 original");
    EXPECT_FALSE(Exists(mod + "/Backup Uninstall"));
}

TEST_F(ConsoleAnswersTest, K2TableMissingEverywhereIsRestoredIntoOverrideAnyway) {
    Make2daMod(2);
    MakeFolders(game + "/override/sub");
    Answers({"0", "0"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("However, no appearance.2da was found in the override."), std::string::npos);
    EXPECT_EQ(
        ReadFile(logPath),
        Header(2) + kBanner +
            Q2da(
                R"(\cf3 FileCopy \cf1 Backup\\appearance.2da\cf3  to \cf1 Backup Uninstall\\original install backup.appearance.2da\par)") +
            Q2da(R"(\cf3 Renamed \cf1 Backup\\appearance.2da\cf3  to \cf1 Override\\appearance.2da\par)") +
            Totals(0, 0));
    EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), "2DA V2.0 original");
    EXPECT_EQ(ReadFile(mod + "/Backup Uninstall/original install backup.appearance.2da"), "2DA V2.0 original");
}

TEST_F(ConsoleAnswersTest, No2daBackupIsAPromptFailureWithoutAPrompt) {
    Description({"#game=2", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da", "#file_list"});
    Game("dialog.tlk", kTlk);
    Game("override/appearance.2da", "2DA V2.0 modded");
    Registry(2);
    Answers({"0"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(Count(run.out, "Prompt: "), 1u);
    EXPECT_EQ(ReadFile(logPath),
              Header(2) + kBanner +
                  L(R"(\cf1\b QRestore2da: \cf10 Prompt Failure \cf6 (No 2da backups found to restore.)\cf1\b0\par)") +
                  kFyi + Totals(0, 0));
    EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), "2DA V2.0 modded");
}

TEST_F(ConsoleAnswersTest, ABackupThatAppearsAfterStartUpShutsDownBeforeAnythingIsRemoved) {
    Description({"#game=2", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da", "#file_list", "override\\x.uti"});
    Game("dialog.tlk", kTlk);
    Game("override/x.uti", "x");
    Registry(2);
    const auto before = Snapshot(game);
    std::vector<std::string> args{"--no-open", "--program-folder", mod, "--registry", registryFile};
    const ConsoleRun run = RunConsoleFeeding(
        args, "Prompt: Confirm Remove Mod", [&] { Mod("backup/appearance.2da", "late backup"); }, "0\n0\n");
    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
    ExpectInOrder(run.out, {"Prompt: Shutting Down\n",
                            "This program appears to have been started before the Quarrow was run OR some files were "
                            "manually moved in this apps folder.\n\nWhatever the case, the internal variables are not "
                            "up to date.\n\nThis program must be closed and restarted before it can remove the mod.\n\n"
                            "  [0] OK  (O)  <- focus\n"});
    EXPECT_EQ(Snapshot(game), before);
    EXPECT_FALSE(Exists(logPath));
}

// ---- completion -------------------------------------------------------------------------------

TEST_F(ConsoleAnswersTest, ExplicitInstructionsClosedStillCompleteTheRun) {
    Description({"#game=2", "#explicit_instructions_begin#", "Now \\b delete\\b0  the save games.",
                 "#explicit_instructions_end#", "#file_list", "override\\x.uti"});
    Game("dialog.tlk", kTlk);
    Game("override/x.uti", "x");
    Registry(2);
    Answers({"0", "close"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    ExpectInOrder(run.out, {"Prompt: VERY IMPORTANT!!!\n", "Now delete the save games.", "  [0] Ok  (O)  <- focus\n",
                            "Answer: close (-1)", "Saved: " + logPath});
    EXPECT_EQ(ReadFile(logPath), Header(2) + L(Deleted(R"(Override\\x.uti)") + "\\cf1\\par") + kBanner + Totals(0, 0));
}

TEST_F(ConsoleAnswersTest, TheSavedLogIsOpenedWithXdgOpen) {
    Description({"#game=2"});
    Game("dialog.tlk", kTlk);
    Registry(2);
    Answers({"0"});
    const std::string bin = temp.Path() + "/bin";
    const std::string opened = temp.Path() + "/opened.txt";
    WriteFile(bin + "/xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > \"" + opened + ".part\" && mv \"" + opened +
                                     ".part\" \"" + opened + "\"\n");
    SetMode(bin + "/xdg-open", 0755);
    const ConsoleRun run =
        RunConsoleWithEnvironment({"--program-folder", mod, "--answers", answersFile, "--registry", registryFile},
                                  {"PATH=" + bin + ":/usr/bin:/bin"});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Opening: " + logPath + "\n"), std::string::npos) << run.out;
    EXPECT_EQ(ReadFile(opened), logPath);  // the console waits for xdg-open
    EXPECT_EQ(ReadFile(logPath), Header(2) + kBanner + Totals(0, 0));
}

TEST_F(ConsoleAnswersTest, NoViewerForTheLogIsReportedAndTheRunStillCompletes) {
    Description({"#game=2"});
    Game("dialog.tlk", kTlk);
    Registry(2);
    Answers({"0"});
    const std::string empty = temp.Path() + "/no-programs";
    MakeFolders(empty);
    const ConsoleRun run =
        RunConsoleWithEnvironment({"--program-folder", mod, "--answers", answersFile, "--registry", registryFile},
                                  {"PATH=" + empty});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Message: Error running " + WindowsForm(mod) + "\\uninstall\\removal_results.rtf\n" +
                           std::string(60, '-') +
                           "\nPublic Function ShellExecuteFile - Mod Tarrel\n"
                           "There is no application associated with the given filename extension.\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(ReadFile(logPath), Header(2) + kBanner + Totals(0, 0));
}

}  // namespace
}  // namespace zelvane::e2e
