// End-to-end runs of zelvane-console on synthetic game and mod folders: the saved removal log is
// compared byte for byte, and the files on disk afterwards.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/e2e/dry_run_check.hpp"
#include "tests/e2e/e2e_support.hpp"
#include "tests/e2e/mod_install_test.hpp"

namespace zelvane::e2e {
namespace {

class ConsoleRunTest : public ModInstallTest {
protected:
    ConsoleRun Run(bool withRegistry = true) {
        std::vector<std::string> args{"--no-open", "--program-folder", mod, "--answers", answersFile};
        if (withRegistry) {
            args.push_back("--registry");
            args.push_back(registryFile);
        }
        return RunAfterDryRun(args, {game, mod}, logPath);
    }
    // A K2 mod with everything: a file list with a file the player moved into a subfolder, two
    // queued deletes (one whose file is gone), a queued restore and a 2da restore.
    void MakeFullK2Mod() {
        Description({"#game=2", "#qdelete_file_0=override\\k2_notes.txt", "#qdelete_file_begin_0#",
                     "Delete the \\cf5 notes\\cf1 ?", "#qdelete_file_end_0#", "#qdelete_file_1=override\\absent.txt",
                     "#qdelete_file_begin_1#", "Delete absent.txt?", "#qdelete_file_end_1#",
                     "#qrestore_file_0=override\\k2_icon.tga", "#qrestore_file_begin_0#", "Restore the icon?",
                     "#qrestore_file_end_0#", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da", "#file_list",
                     "; added files", "override\\k2_item.uti", "override\\k2_moved.tga"});
        Mod("uninstall/uninstall_info.rtf", "{\\rtf1\\ansi Info about \\b the mod\\b0 .\\par}");
        Mod("backup/appearance.2da", "2DA V2.0 original");
        Game("dialog.tlk", kTlk);
        Game("override/k2_item.uti", "item");
        Game("override/Sub Folder/k2_moved.tga", "moved texture");
        Game("override/k2_notes.txt", "notes");
        Game("override/k2_icon.tga", "mod icon");
        Game("override/k2_icon.tga.original", "game icon");
        Game("override/appearance.2da", "2DA V2.0 modded");
        Game("override/keep.uti", "another mod's file");
        Registry(2);
    }
};

TEST_F(ConsoleRunTest, NoToTheConfirmationTouchesNothingAndSavesNoLog) {
    MakeFullK2Mod();
    Answers({"1"});
    const auto gameBefore = Snapshot(game);
    const auto modBefore = Snapshot(mod);
    const ConsoleRun run = Run();
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Prompt: Confirm Remove Mod"), std::string::npos);
    EXPECT_NE(run.out.find("Answer: 1 (No)"), std::string::npos);
    EXPECT_EQ(Snapshot(game), gameBefore);
    EXPECT_EQ(Snapshot(mod), modBefore);
    EXPECT_FALSE(Exists(logPath));
}

TEST_F(ConsoleRunTest, K1RunDeletesListedFilesSearchesNoSubfolderAndRestoresA2daAnyway) {
    Description({"#game=1", "#qrestore_2da=1", "#qrestore_2da_files=appearance.2da", "#file_list",
                 "override\\k1_item.uti", "override\\k1_moved.tga", "Movies\\k1_intro.bik"});
    Mod("backup/appearance.2da", "2DA V2.0 original");
    Game("dialog.tlk", kTlk);
    Game("override/k1_item.uti", "item");
    Game("override/sub/k1_moved.tga", "moved");
    Game("Movies/k1_intro.bik", "movie");
    Registry(1);
    // Closing the confirmation without a button goes on as "Yes" does; then "Yes" to the restore.
    Answers({"close", "0"});

    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Prompt: Confirm appearance.2da replacement"), std::string::npos);
    EXPECT_NE(run.out.find("However, no appearance.2da was found in the override."), std::string::npos);
    EXPECT_EQ(run.out.find("Confirm Delete in Subfolder"), std::string::npos);

    const std::string expected =
        Header(1) + Deleted("Override\\\\k1_item.uti") + "\\cf1\\par" + kCrLf +
        "\\cf10 File Not Found: \\cf1 Override\\\\k1_moved.tga\\cf1\\par" + kCrLf + Deleted("Movies\\\\k1_intro.bik") +
        "\\cf1\\par" + kCrLf + kThreePars +
        "\\cf1 QRestore2da: \\cf3 FileCopy \\cf1 Backup\\\\appearance.2da\\cf3  to \\cf1 Backup Uninstall\\\\original "
        "install backup.appearance.2da\\par" +
        kCrLf +
        "\\cf1 QRestore2da: \\cf3 Renamed \\cf1 Backup\\\\appearance.2da\\cf3  to \\cf1 Override\\\\appearance.2da\\par" +
        kCrLf + Totals(0, 1);
    EXPECT_EQ(ReadFile(logPath), expected);

    const std::map<std::string, std::string> gameAfter{{"dialog.tlk", kTlk},
                                                       {"override/appearance.2da", "2DA V2.0 original"},
                                                       {"override/sub/k1_moved.tga", "moved"}};
    EXPECT_EQ(Snapshot(game), gameAfter);
    const auto modAfter = Snapshot(mod);
    EXPECT_EQ(modAfter.count("backup/appearance.2da"), 0u);
    ASSERT_EQ(modAfter.count("Backup Uninstall/original install backup.appearance.2da"), 1u);
    EXPECT_EQ(modAfter.at("Backup Uninstall/original install backup.appearance.2da"), "2DA V2.0 original");
    EXPECT_NE(run.out.find("Saved: " + logPath), std::string::npos);
}

TEST_F(ConsoleRunTest, K2RunWithSubfolderQueuedDeleteQueuedRestoreAnd2daRestore) {
    MakeFullK2Mod();
    // Confirmation, subfolder, queued delete, queued restore, 2da replacement.
    Answers({"0", "0", "0", "0", "0"});

    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;

    // The prompts came in the order of the run, with their own titles and captions.
    const std::vector<std::string> titles{"Prompt: Confirm Remove Mod", "Prompt: Confirm Delete in Subfolder",
                                          "Prompt: Confirm Delete", "Prompt: Confirm Restore",
                                          "Prompt: Confirm appearance.2da replacement"};
    std::size_t at = 0;
    for (const std::string& title : titles) {
        const std::size_t found = run.out.find(title, at);
        ASSERT_NE(found, std::string::npos) << title << "\n" << run.out;
        at = found + title.size();
    }
    EXPECT_NE(run.out.find("  [0] Yes  (Y)\n  [1] No  (N)  <- focus\n"), std::string::npos);
    EXPECT_NE(run.out.find("Info about the mod."), std::string::npos);  // the information document

    const std::string expected =
        Header(2) + Deleted("Override\\\\k2_item.uti") + "\\cf1\\par" + kCrLf +
        Deleted("Override\\\\Sub Folder\\\\k2_moved.tga") + "\\cf1\\par" + kCrLf + kBanner +
        "\\cf1 QDeleteFile: " + Deleted("Override\\\\k2_notes.txt") + "\\par" + kCrLf +
        "\\cf1\\b QDeleteFile: \\cf10 Prompt Failure \\cf6 (File Not Found): \\cf1 Override\\\\absent.txt\\cf1\\b0\\par" +
        kCrLf + "\\cf1 QRestoreFile: " + Deleted("Override\\\\k2_icon.tga") + "\\par" + kCrLf +
        "\\cf1 QRestoreFile: \\cf3 Renamed \\cf1 Override\\\\k2_icon.tga.original\\cf3  to \\cf1 "
        "Override\\\\k2_icon.tga\\par" +
        kCrLf +
        "\\cf1 QRestore2da: \\cf3 FileCopy \\cf1 Override\\\\appearance.2da\\cf3  to \\cf1 Backup "
        "Uninstall\\\\appearance.2da\\par" +
        kCrLf + "\\cf1 QRestore2da: " + Deleted("Override\\\\appearance.2da") + "\\par" + kCrLf +
        "\\cf1 QRestore2da: \\cf3 FileCopy \\cf1 Backup\\\\appearance.2da\\cf3  to \\cf1 Backup Uninstall\\\\original "
        "install backup.appearance.2da\\par" +
        kCrLf +
        "\\cf1 QRestore2da: \\cf3 Renamed \\cf1 Backup\\\\appearance.2da\\cf3  to \\cf1 Override\\\\appearance.2da\\par" +
        kCrLf + kFyi + Totals(0, 0);
    EXPECT_EQ(ReadFile(logPath), expected);

    const std::map<std::string, std::string> gameAfter{{"dialog.tlk", kTlk},
                                                       {"override/appearance.2da", "2DA V2.0 original"},
                                                       {"override/k2_icon.tga", "game icon"},
                                                       {"override/keep.uti", "another mod's file"}};
    EXPECT_EQ(Snapshot(game), gameAfter);
    const auto modAfter = Snapshot(mod);
    EXPECT_EQ(modAfter.count("backup/appearance.2da"), 0u);
    EXPECT_EQ(modAfter.at("Backup Uninstall/appearance.2da"), "2DA V2.0 modded");
    EXPECT_EQ(modAfter.at("Backup Uninstall/original install backup.appearance.2da"), "2DA V2.0 original");
    EXPECT_EQ(modAfter.count("uninstall/uninstall_data20A.ini"), 0u);
}

TEST_F(ConsoleRunTest, WithoutARegistryEntryTheBrowsedFolderIsUsed) {
    Description({"#game=2", "#file_list", "override\\browsed.uti"});
    Game("DIALOG.TLK", kTlk);
    Game("override/browsed.uti", "x");
    Answers({"0", "0", game});  // confirmation, the "Error" notice, the folder

    const ConsoleRun run = RunConsole({"--no-open", "--program-folder", mod, "--answers", answersFile});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Prompt: Error"), std::string::npos);
    EXPECT_NE(run.out.find("Unable to locate Kotor folder via registry.\n\nPlease browse for the folder"),
              std::string::npos);
    EXPECT_NE(run.out.find("Browse for folder: Find Kotor main folder"), std::string::npos);
    EXPECT_NE(run.out.find("Answer: " + WindowsForm(game)), std::string::npos);
    EXPECT_EQ(ReadFile(logPath),
              Header(2) + Deleted("Override\\\\browsed.uti") + "\\cf1\\par" + kCrLf + kBanner + Totals(0, 0));
    EXPECT_FALSE(Exists(game + "/override/browsed.uti"));
}

TEST_F(ConsoleRunTest, ABrowsedFolderWithABadDialogTlkStopsBeforeAnythingIsRemoved) {
    Description({"#game=2", "#file_list", "override\\browsed.uti"});
    Game("dialog.tlk", "TLK V2.0 not the talk table of this game");
    Game("override/browsed.uti", "x");
    // The folder in its Windows form this time.
    Answers({"0", "0", WindowsForm(game)});
    const auto before = Snapshot(game);

    const ConsoleRun run = RunConsole({"--no-open", "--program-folder", mod, "--answers", answersFile});
    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
    EXPECT_NE(run.out.find("Message: Aborting\n"), std::string::npos);
    EXPECT_NE(run.out.find(
                  "Invalid dialog.tlk file.\n\nIf you've made a testing folder copy the real dialog.tlk to it."),
              std::string::npos);
    EXPECT_EQ(Snapshot(game), before);
    EXPECT_FALSE(Exists(logPath));
}

TEST_F(ConsoleRunTest, ACancelledBrowseStopsTheRun) {
    Description({"#game=2", "#file_list", "override\\browsed.uti"});
    Game("dialog.tlk", kTlk);
    Game("override/browsed.uti", "x");
    Answers({"0", "0", "cancel"});
    const ConsoleRun run = RunConsole({"--no-open", "--program-folder", mod, "--answers", answersFile});
    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
    EXPECT_NE(run.out.find("Invalid game folder - shutting down."), std::string::npos);
    EXPECT_TRUE(Exists(game + "/override/browsed.uti"));
    EXPECT_FALSE(Exists(logPath));
}

TEST_F(ConsoleRunTest, AMissingDescriptionIsAnIniError) {
    Mod("uninstall/uninstall_info.rtf", "{\\rtf1 info\\par}");
    Game("dialog.tlk", kTlk);
    Registry(2);
    Answers({});
    const ConsoleRun run = Run();
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    EXPECT_NE(run.out.find("The uninstall_data.ini file was not found.\nCannot continue without it."),
              std::string::npos);
    EXPECT_NE(run.out.find("INI Errors Encountered - Mod Removal Disabled until INI is fixed."), std::string::npos);
    EXPECT_EQ(run.out.find("Prompt:"), std::string::npos);
    EXPECT_FALSE(Exists(logPath));
}

TEST_F(ConsoleRunTest, AValueThatIsNoNumberIsAnIniError) {
    Description({"#game=two", "#file_list", "override\\x.uti"});
    Game("override/x.uti", "x");
    Registry(2);
    Answers({"0"});
    const ConsoleRun run = Run();
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    EXPECT_NE(run.out.find("Message: Oops!"), std::string::npos);
    EXPECT_NE(run.out.find("INI Errors Encountered - Mod Removal Disabled until INI is fixed."), std::string::npos);
    EXPECT_TRUE(Exists(game + "/override/x.uti"));
}

TEST_F(ConsoleRunTest, RunningOutOfAnswersStopsAtOnceAndLeavesTheRestUntouched) {
    MakeFullK2Mod();
    Answers({"0", "0"});  // confirmation and subfolder; none for the queued delete
    const ConsoleRun run = Run();
    EXPECT_EQ(run.exitCode, 3) << run.out << run.err;
    EXPECT_NE(run.err.find("no answer left for the prompt \"Confirm Delete\""), std::string::npos) << run.err;

    // The file list was done before the question; nothing after it was touched.
    const std::map<std::string, std::string> gameAfter{{"dialog.tlk", kTlk},
                                                       {"override/appearance.2da", "2DA V2.0 modded"},
                                                       {"override/k2_icon.tga", "mod icon"},
                                                       {"override/k2_icon.tga.original", "game icon"},
                                                       {"override/k2_notes.txt", "notes"},
                                                       {"override/keep.uti", "another mod's file"}};
    EXPECT_EQ(Snapshot(game), gameAfter);
    EXPECT_EQ(ReadFile(mod + "/backup/appearance.2da"), "2DA V2.0 original");
    EXPECT_FALSE(Exists(mod + "/Backup Uninstall"));
    EXPECT_FALSE(Exists(logPath));
}

TEST_F(ConsoleRunTest, EndOfStandardInputCountsAsNoAnswerLeft) {
    MakeFullK2Mod();
    const auto before = Snapshot(game);
    const ConsoleRun run = RunConsole({"--no-open", "--program-folder", mod, "--registry", registryFile});
    EXPECT_EQ(run.exitCode, 3) << run.out << run.err;
    EXPECT_NE(run.err.find("no answer left for the prompt \"Confirm Remove Mod\""), std::string::npos);
    EXPECT_EQ(Snapshot(game), before);
}

TEST_F(ConsoleRunTest, AnAnswerThatNamesNoButtonStopsTheRun) {
    MakeFullK2Mod();
    Answers({"7"});
    const auto before = Snapshot(game);
    const ConsoleRun run = Run();
    EXPECT_EQ(run.exitCode, 3) << run.out << run.err;
    EXPECT_NE(run.err.find("\"7\" names no button"), std::string::npos);
    EXPECT_EQ(Snapshot(game), before);
}

TEST_F(ConsoleRunTest, AcceleratorLettersAnswerPrompts) {
    MakeFullK2Mod();
    // Yes to the confirmation and the subfolder, no to the queued delete and the restore, and
    // No to the 2da replacement.
    Answers({"y", "Y", "n", "No", "n"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::string log = ReadFile(logPath);
    EXPECT_NE(log.find("\\cf1 QDeleteFile: \\cf5 User chose not to delete Override\\\\k2_notes.txt\\par" + kCrLf),
              std::string::npos);
    EXPECT_NE(log.find("\\cf1 QRestoreFile: \\cf5 User chose not to restore \\cf1 Override\\\\k2_icon.tga\\cf1\\par" +
                       kCrLf),
              std::string::npos);
    EXPECT_NE(log.find("\\cf1 QRestore2da: \\cf5 User declined \\cf1 appearance.2da\\cf5  replacement.\\par" + kCrLf),
              std::string::npos);
    EXPECT_EQ(ReadFile(game + "/override/k2_notes.txt"), "notes");
    EXPECT_EQ(ReadFile(game + "/override/appearance.2da"), "2DA V2.0 modded");
}

// A bad command line has a status of its own, apart from answers that ran out (3).
TEST(ConsoleArguments, ABadCommandLineOrAnUnusableFileNamedByAnOptionExitsWith64) {
    EXPECT_EQ(RunConsole({"--no-such-option"}).exitCode, 64);
    EXPECT_EQ(RunConsole({"--program-folder"}).exitCode, 64);
    TempFolder temp;
    EXPECT_EQ(RunConsole({"--program-folder", temp.Path(), "--answers", temp.Path() + "/missing.txt"}).exitCode, 64);
    EXPECT_EQ(RunConsole({"--program-folder", temp.Path(), "--registry", temp.Path()}).exitCode, 64);
}

TEST(ConsoleArguments, VersionIsTheProjects) {
    const ConsoleRun run = RunConsole({"--version"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, std::string("zelvane-console ") + ZELVANE_PROJECT_VERSION + "\n");
}

TEST(ConsoleArguments, HelpDescribesTheOptionsAndTheExitStatus) {
    const ConsoleRun run = RunConsole({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* word :
         {"--program-folder", "--registry", "--answers", "--no-open", "--no-color", "--usage", "Exit status", "close",
          "the Flatpak and the Snap Steam", "Lutris (~/Games/*)", "Heroic (~/Games/Heroic/Prefixes/* and default/*)",
          "GOG's keys", "a typed folder may begin with ~",
          "In a run: the 2da questions offer Merge, which takes only this mod's changes out of the "
          "table in use and keeps those of later mods, where no later mod changed what this mod "
          "changed. With --check: reports entries the mod does not contain and mod files no entry "
          "removes, and whether a merge is possible"}) {
        EXPECT_NE(run.out.find(word), std::string::npos) << word;
    }
    for (const char* line :
         {"  3   the answers ran out (answers file exhausted, standard input closed) or named no button\n",
          "  4   another run holds this program folder\n",
          "  5   the run completed, but its log counts errors (a dry run: the log it would have saved)\n",
          "  64  bad command line: an unknown option, a missing value, a MODDIR, --program-folder or\n"
          "      --mod-folder that does not exist, an unusable --answers or --registry file\n",
          "Before the 2da restore puts a table back from its backup, its question shows what replacing the\n"
          "table in use would remove or change. With --mod-folder it also offers Merge (answered by its\n"
          "number or M): only this mod's own changes are taken out of the table in use, every change of\n"
          "later mods is kept; where a later mod changed what this mod changed, the conflicts are listed\n"
          "instead.\n"}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line;
    }
}

class ConsoleUsageTest : public ConsoleRunTest {
protected:
    std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = text.find(kCrLf, start);
            if (end == std::string::npos) {
                lines.push_back(text.substr(start));
                break;
            }
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }
};

TEST_F(ConsoleUsageTest, UsageWritesTheGuideWithTheVersionAsItsEleventhLine) {
    Description({"#game=2"});
    Answers({});
    const ConsoleRun run = RunConsole({"--no-open", "--usage", "--program-folder", mod, "--answers", answersFile});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::string path = mod + "/uninstall/Zelvane Usage.rtf";
    const std::vector<std::string> lines = Lines(ReadFile(path));
    ASSERT_GE(lines.size(), 11u);
    EXPECT_EQ(lines[10], "\\pard\\qc\\cf2\\b\\fs24 This was made with version: \\cf1 1.0.151\\cf0\\par");
    EXPECT_EQ(lines[0].rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(run.out.find("Saved: " + path), std::string::npos);
    EXPECT_EQ(run.out.find("Prompt:"), std::string::npos);  // no removal run

    // Twice gives the same document.
    const std::string first = ReadFile(path);
    ASSERT_EQ(RunConsole({"--no-open", "--usage", "--program-folder", mod, "--answers", answersFile}).exitCode, 0);
    EXPECT_EQ(ReadFile(path), first);
}

TEST_F(ConsoleUsageTest, UsageWorksInTheIniErrorStateAndCreatesTheUninstallFolder) {
    MakeFolders(mod);
    Answers({});
    const ConsoleRun run = RunConsole({"--no-open", "--usage", "--program-folder", mod, "--answers", answersFile});
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("The uninstall_data.ini file was not found."), std::string::npos);
    EXPECT_TRUE(Exists(mod + "/uninstall/Zelvane Usage.rtf"));
}

}  // namespace
}  // namespace zelvane::e2e

namespace zelvane::e2e {
namespace {

TEST_F(ConsoleRunTest, TheCaptionLineIsCleanedAsEveryTextOfTheDescriptionIs) {
    Description({"#game=2", "#window_caption=My \x1b[2J\x1b]0;owned\x07Mod \xe9t\xe9\t2", "#file_list"});
    Game("dialog.tlk", kTlk);
    Registry(2);
    Answers({"1"});
    const ConsoleRun run = Run();
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n') + 1), "== My [2J]0;ownedMod \xc3\xa9t\xc3\xa9 2 ==\n");
}

TEST_F(ConsoleRunTest, TheMissingDocumentNoticeShowsInTheIniErrorStateToo) {
    Description({"#game=two", "#file_list", "override\\x.uti"});
    Game("override/x.uti", "x");
    Registry(2);
    Answers({"0"});
    ConsoleRun run = Run();
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    const std::size_t notice = run.out.find("Uninstall_Info.rtf Was NOT FOUND\n");
    ASSERT_NE(notice, std::string::npos) << run.out;
    EXPECT_LT(notice, run.out.find("INI Errors Encountered - Mod Removal Disabled until INI is fixed."));

    Mod("uninstall/uninstall_info.rtf", "{\\rtf1 info\\par}");
    run = Run();
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    EXPECT_EQ(run.out.find("Uninstall_Info.rtf Was NOT FOUND"), std::string::npos) << run.out;
}

TEST_F(ConsoleRunTest, ADryRunPrintsEveryChangeInOrderWithItsOutcomeAndSavesNothing) {
    MakeFullK2Mod();
    Game("override/k2_item.uti", "item");
    SetMode(game + "/override/k2_notes.txt", 0444);
    Answers({"0", "0", "0", "0", "0"});
    const auto gameBefore = StampedSnapshot(game);
    const auto modBefore = StampedSnapshot(mod);

    const ConsoleRun run = RunConsole(
        {"--no-open", "--program-folder", mod, "--answers", answersFile, "--registry", registryFile, "--dry-run"});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(StampedSnapshot(game), gameBefore);
    EXPECT_EQ(StampedSnapshot(mod), modBefore);
    const std::string g = WindowsForm(game);
    const std::string m = WindowsForm(mod);
    const std::vector<std::string> steps{
        "== Dry run: nothing was changed on disk. The run would have made these changes ==\n",
        "1. copy " + m + "\\uninstall\\uninstall_data.ini -> " + m + "\\uninstall\\uninstall_data20A.ini: done\n",
        ". delete " + m + "\\uninstall\\uninstall_data20A.ini: done\n",
        ". delete " + g + "\\override\\k2_item.uti: done\n",
        ". delete " + g + "\\override\\Sub Folder\\k2_moved.tga: done\n",
        ". delete " + g + "\\override\\k2_icon.tga: done\n",
        ". rename " + g + "\\override\\k2_icon.tga.original -> " + g + "\\override\\k2_icon.tga: done\n",
        ". create folder " + m + "\\Backup Uninstall: done\n",
        ". write " + m + "\\uninstall\\removal_results.rtf.saving: done\n",
        ". rename " + m + "\\uninstall\\removal_results.rtf.saving -> " + m +
            "\\uninstall\\removal_results.rtf: done\n",
        "== The removal log that would be saved as " + m + "\\uninstall\\removal_results.rtf (",
        "== End of the removal log ==\n"};
    std::size_t at = 0;
    for (const std::string& step : steps) {
        const std::size_t found = run.out.find(step, at);
        ASSERT_NE(found, std::string::npos) << step << "\n" << run.out.substr(at);
        at = found + step.size();
    }
    EXPECT_NE(run.out.find("Not saved (dry run): " + logPath + "\n"), std::string::npos);
}

}  // namespace
}  // namespace zelvane::e2e
