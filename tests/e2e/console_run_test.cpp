// What only the console does around a removal: its command line and exit statuses, reading the
// answers, the program folder it works on, the dry run's plan, the usage guide, opening or showing
// the saved log, at a terminal or not, and Merge offered before a 2da table is put back. --check on
// the bundled example, the blank template and the tables (binary tables made by the tables writer)
// names the description by the path it was given, and changes nothing on disk.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tables/table_bytes.hpp"
#include "tests/e2e/e2e_support.hpp"
#include "tests/tables/table_maker.hpp"

namespace zelvane::e2e {
namespace {

constexpr std::size_t kNone = std::string::npos;

TEST(ConsoleArguments, VersionHelpAndBadCommandLines) {
    EXPECT_EQ(RunConsole({"--version"}).out, std::string("zelvane-console ") + ZELVANE_PROJECT_VERSION + "\n");
    const ConsoleRun help = RunConsole({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* text :
         {"  3   the answers ran out (answers file exhausted, standard input closed) or named no button\n",
          "  4   another run holds this program folder\n",
          "  5   the run completed, but its log counts errors (a dry run: the log it would have saved)\n",
          "  64  bad command line: an unknown option, a missing value, a MODDIR, --program-folder or\n"
          "      --mod-folder that does not exist, an unusable --answers or --registry file\n"}) {
        EXPECT_NE(help.out.find(text), kNone) << text;
    }

    TempFolder temp;
    const std::string t = temp.Path();
    ASSERT_EQ(mkfifo((t + "/answers.fifo").c_str(), 0600), 0);
    const struct {
        std::vector<std::string> arguments;
        std::string err;  // "" = any
    } kBad[] = {
        {{"--no-such-option"}, ""},
        {{"--program-folder"}, ""},
        {{"--program-folder", t, "--answers", t + "/missing.txt"}, ""},
        {{"--program-folder", t, "--registry", t}, ""},
        {{"--program-folder", t, "--answers", t + "/answers.fifo"},
         "zelvane-console: the answers file " + t + "/answers.fifo is not a regular file\n"},
        // A name is shown without the terminal's controls it may carry.
        {{"--check", "My\x1b]0;x\x07Mod"},
         "zelvane-console: the folder \"My]0;xMod\" does not exist; name the mod's folder, the one that holds "
         "uninstall/\n"},
        {{"--program-folder", t, "--mod-folder", t + "/missing"},
         "zelvane-console: the mod folder \"" + t +
             "/missing\" does not exist; name the folder of the mod's files, the one that holds its override folder\n"},
    };
    for (const auto& bad : kBad) {
        const ConsoleRun run = RunConsole({.arguments = bad.arguments, .workingFolder = t});
        EXPECT_EQ(run.exitCode, 64) << bad.arguments.front() << run.err;
        EXPECT_TRUE(bad.err.empty() || run.err == bad.err) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

// A K2 mod with everything: a file list with a file the player moved into a subfolder, two queued
// deletes (one whose file is gone), a queued restore and a 2da restore; a caption with controls and
// letters of code page 1252.
const Scenario kFullK2Mod{
    .name = "a full K2 mod",
    .description =
        "#game=2\n#window_caption=My \x1b[2J\x1b]0;owned\x07Mod \xe9t\xe9\t2\n"
        "#qdelete_file_0=override\\k2_notes.txt\n#qdelete_file_begin_0#\nDelete the \\cf5 notes\\cf1 ?\n"
        "#qdelete_file_end_0#\n#qdelete_file_1=override\\absent.txt\n#qdelete_file_begin_1#\n"
        "Delete absent.txt?\n#qdelete_file_end_1#\n#qrestore_file_0=override\\k2_icon.tga\n"
        "#qrestore_file_begin_0#\nRestore the icon?\n#qrestore_file_end_0#\n#qrestore_2da=1\n"
        "#qrestore_2da_files=appearance.2da\n#file_list\n; added files\noverride\\k2_item.uti\n"
        "override\\k2_moved.tga\n",
    .override = {{"k2_item.uti", "item"},
                 {"Sub Folder/k2_moved.tga", "moved texture"},
                 {"k2_notes.txt", "notes"},
                 {"k2_icon.tga", "mod icon"},
                 {"k2_icon.tga.original", "game icon"},
                 {"appearance.2da", "2DA V2.0 modded"},
                 {"keep.uti", "another mod's file"}},
    .mod = {{"uninstall/uninstall_info.rtf", "{\\rtf1\\ansi Info about \\b the mod\\b0 .\\par}"},
            {"backup/appearance.2da", "2DA V2.0 original"}},
};

class ConsoleRunTest : public ModInstallTest {};

TEST_F(ConsoleRunTest, AFullK2RunAnsweredEveryWaySavesItsLog) {
    Scenario full = kFullK2Mod;
    // Confirmation, subfolder, queued delete, queued restore, 2da replacement: by number, by letter,
    // by caption in any case; comments and blank lines are no answers.
    full.answers = {"# the confirmation", "0", "", "y", "YES", "  0  ", "y"};
    full.overrideAfter = Files{{"appearance.2da", "2DA V2.0 original"},
                               {"k2_icon.tga", "game icon"},
                               {"keep.uti", "another mod's file"}};
    full.after = {{"mod/uninstall/uninstall_data20A.ini", kGone}};
    full.shown = {"Info about the mod.",
                  "== My [2J]0;ownedMod \xc3\xa9t\xc3\xa9 2 ==\n",
                  "Prompt: Confirm Remove Mod",
                  "  [0] Yes  (Y)\n  [1] No  (N)  <- focus\n",
                  "Prompt: Confirm Delete in Subfolder",
                  "Prompt: Confirm Delete",
                  "Prompt: Confirm Restore",
                  "Prompt: Confirm appearance.2da replacement",
                  "Saved: " + logPath + "\n"};
    // The dry run prints every change in order with its outcome, and saves nothing.
    const std::string g = WindowsForm(game) + "\\override\\";
    const std::string u = WindowsForm(mod) + "\\uninstall\\";
    full.dryShown = {"Not saved (dry run): " + logPath + "\n",
                     "== Dry run: nothing was changed on disk. The run would have made these changes ==\n",
                     "1. copy " + u + "uninstall_data.ini -> " + u + "uninstall_data20A.ini: done\n",
                     ". delete " + u + "uninstall_data20A.ini: done\n",
                     ". delete " + g + "k2_item.uti: done\n",
                     ". delete " + g + "Sub Folder\\k2_moved.tga: done\n",
                     ". delete " + g + "k2_icon.tga: done\n",
                     ". rename " + g + "k2_icon.tga.original -> " + g + "k2_icon.tga: done\n",
                     ". create folder " + WindowsForm(mod) + "\\Backup Uninstall: done\n",
                     ". write " + u + "removal_results.rtf.saving: done\n",
                     ". rename " + u + "removal_results.rtf.saving -> " + u + "removal_results.rtf: done\n",
                     "== The removal log that would be saved as " + u + "removal_results.rtf (",
                     "== End of the removal log ==\n"};
    Run(full);
    const std::string q = "\\cf1 QRestore2da: \\cf3 ";
    EXPECT_EQ(Log(), Header(2) + Deleted("Override\\\\k2_item.uti") + "\\cf1\\par" + kCrLf +
                         Deleted("Override\\\\Sub Folder\\\\k2_moved.tga") + "\\cf1\\par" + kCrLf + kBanner +
                         "\\cf1 QDeleteFile: " + Deleted("Override\\\\k2_notes.txt") + kPar +
                         "\\cf1\\b QDeleteFile: \\cf10 Prompt Failure \\cf6 (File Not Found): \\cf1 "
                         "Override\\\\absent.txt\\cf1\\b0" +
                         kPar + "\\cf1 QRestoreFile: " + Deleted("Override\\\\k2_icon.tga") + kPar +
                         "\\cf1 QRestoreFile: \\cf3 Renamed \\cf1 Override\\\\k2_icon.tga.original\\cf3  to \\cf1 "
                         "Override\\\\k2_icon.tga" +
                         kPar + q + "FileCopy \\cf1 Override\\\\appearance.2da\\cf3  to \\cf1 Backup " +
                         "Uninstall\\\\appearance.2da" + kPar +
                         "\\cf1 QRestore2da: " + Deleted("Override\\\\appearance.2da") + kPar + q +
                         "FileCopy \\cf1 Backup\\\\appearance.2da\\cf3  to \\cf1 Backup Uninstall\\\\original install "
                         "backup.appearance.2da" +
                         kPar + q + "Renamed \\cf1 Backup\\\\appearance.2da\\cf3  to \\cf1 Override\\\\appearance.2da" +
                         kPar + kFyi + Totals(0, 0));
}

// Answers that run out or name no button stop the run at once (3), and leave everything after
// them untouched; No to the confirmation ends the run (0) without a log. The open-file dialog of
// the 2da restore shows its folder, name and type, and takes a path typed in any letter case.
TEST_F(ConsoleRunTest, AnswersStopTheRunOrChooseWhatItDoes) {
    const Files& untouched = kFullK2Mod.override;
    Files itemsGone = untouched;
    itemsGone.erase("k2_item.uti");
    itemsGone.erase("Sub Folder/k2_moved.tga");
    const Files nothingElse{{"mod/backup/appearance.2da", "2DA V2.0 original"},
                            {"mod/Backup Uninstall", kGone},
                            {"mod/uninstall/removal_results.rtf", kGone}};
    const std::string typed = WindowsForm(game) + "\\override\\real\\APPEARANCE.2DA";
    const std::vector<std::pair<std::vector<std::string>, std::string>> kStops = {
        {{"1"}, "Answer: 1 (No)"},
        {{}, "zelvane-console: no answer left for the prompt \"Confirm Remove Mod\""},
        {{"7\x1b[2J\x07"},
         "zelvane-console: the answer \"7[2J\" names no button of the prompt \"Confirm Remove Mod\"; stopping "
         "here, nothing more is changed.\n"},
        {{"0", "0"}, "no answer left for the prompt \"Confirm Delete\""},  // none for the queued delete
    };
    for (const auto& [answers, shown] : kStops) {
        Scenario stopped = kFullK2Mod;
        stopped.name = answers.empty() ? "no answers" : answers.back();
        stopped.answers = answers;
        stopped.dryRunFirst = false;
        stopped.status = answers == std::vector<std::string>{"1"} ? 0 : 3;
        stopped.overrideAfter = answers.size() == 2 ? itemsGone : untouched;
        stopped.after = nothingElse;
        stopped.shown = {shown};
        Run(stopped);
    }
    Run({.name = "the open-file dialog",
         .description = "#game=2\n#qrestore_2da=1\n#qrestore_2da_files=appearance.2da\n#file_list\n",
         .override = {{"sub/appearance.2da", "found first"}, {"real/APPEARANCE.2DA", "2DA V2.0 modded"}},
         .mod = {{"backup/appearance.2da", "2DA V2.0 original"}},
         .answers = {"0", "n", typed},  // No to the table found, then the table in other letter case
         .overrideAfter = Files{{"sub/appearance.2da", "found first"}, {"real/APPEARANCE.2DA", "2DA V2.0 original"}},
         .after = {{"mod/Backup Uninstall/APPEARANCE.2DA", "2DA V2.0 modded"}},
         .shown = {"Answer: 1 (No)\n",
                   "Open file: Locate appearance.2da\n" + std::string(60, '-') + "\nFolder: " + WindowsForm(game) +
                       "\\override\\\nFile name: appearance.2da\nFiles of type: 2da Files (*.2da)\n",
                   "Answer: " + typed + "\n"}});
}

// After a run, the log is opened with xdg-open (the console waits for it); where none opens it,
// the player is told and the log itself is shown, rendered, never as RTF. A short summary ends
// the transcript.
TEST_F(ConsoleRunTest, TheSavedLogIsOpenedOrShownAndASummaryFollows) {
    const std::string bin = temp.Path() + "/bin";
    const std::string opened = temp.Path() + "/opened.txt";
    WriteFile(bin + "/xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > \"" + opened + "\"\nexit ${XDG_STATUS:-0}\n");
    SetMode(bin + "/xdg-open", 0755);
    const std::string summary = "Game folder: " + game +
                                "\nDeleted: 3 files; not found: 0; restored: 1 (.original) and 1 table; errors: 0\n"
                                "Log: " +
                                logPath + "\n";
    const std::string rule(60, '-');
    const std::string shown = rule + "\nRemoval log\n" + rule + "\nGame is K2\n";
    const std::string notOpened =
        "\nPublic Function ShellExecuteFile - Mod Tarrel\n"
        "There is no application associated with the given filename extension.\n";
    const std::string path = "PATH=" + bin + ":/usr/bin:/bin";
    const struct {
        std::vector<std::string> environment;
        std::vector<std::string> expected;
        bool open;
    } kCases[] = {
        {{}, {shown, "0 files not found.\n\n" + summary}, false},
        {{path}, {"Opening: " + logPath + "\n\n" + summary}, true},
        {{path, "XDG_STATUS=3"}, {notOpened, shown, summary}, true},
        {{"PATH=" + temp.Path() + "/nothing"},
         {"Message: Error running " + WindowsForm(logPath) + "\n" + rule + notOpened, shown, summary},
         true},
    };
    for (const auto& c : kCases) {
        std::filesystem::remove(opened);
        Scenario yes = kFullK2Mod;
        yes.name = c.expected.front();
        yes.answers = {"0", "0", "0", "0", "0"};
        yes.environment = c.environment;
        yes.dryRunFirst = false;
        yes.open = c.open;
        yes.shown = c.expected;
        const ConsoleRun run = Run(yes);
        EXPECT_TRUE(run.out.ends_with(summary)) << run.out;
        EXPECT_EQ(run.out.find("\nRemoval log\n") != kNone, c.expected.size() != 1) << run.out;
        EXPECT_EQ(run.out.find("\\cf"), kNone);
        EXPECT_EQ(Exists(opened) ? ReadFile(opened) : kGone, c.open && c.environment.front() == path ? logPath : kGone);
    }
}

TEST_F(ConsoleRunTest, StartUpErrorsEndWithOneAndNameTheChecksFirstError) {
    Description("#game=2\n#game_select=yes\n#confirm_message_begin#\n#file_list\n");
    ConsoleRun run = RunConsole({.arguments = {"--no-open", "mod"}, .workingFolder = temp.Path()});
    EXPECT_EQ(run.exitCode, 1);
    ExpectInOrder(run.out, {"Uninstall_Info.rtf Was NOT FOUND\n",
                            "INI Errors Encountered - Mod Removal Disabled until INI is fixed.\n"
                            "mod/uninstall/uninstall_data.ini:2: error: #game_select= value \"yes\" is not true, "
                            "false or a number; start-up would fail\n"
                            "Run \"zelvane-console --check mod\" to see every problem.\n"});

    std::filesystem::remove(mod + "/uninstall/uninstall_data.ini");
    run = RunConsole({"--no-open", "--program-folder", mod});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("The uninstall_data.ini file was not found.\nCannot continue without it."), kNone);
    EXPECT_EQ(run.out.find("Prompt:"), kNone);

    // --usage writes the guide there all the same.
    const std::string path = mod + "/uninstall/Zelvane Usage.rtf";
    run = RunConsole({"--no-open", "--usage", "--program-folder", mod});
    EXPECT_NE(run.out.find("Saved: " + path), kNone) << run.out << run.err;
    EXPECT_NE(ReadFile(path).find("This was made with version: \\cf1 1.0.151"), kNone);
}

// Which mod the console works on: the folder named on the command line, else the folder the
// player stands in when it holds uninstall/, else the executable's own folder. --check names the
// description by the path the player gave, with the names as they lie on disk.
TEST_F(ConsoleRunTest, TheProgramFolderIsTheOneNamedStoodInOrOfTheExecutable) {
    Mod("Uninstall/UNINSTALL_DATA.ini", CrLf("#game=2\n#file_list\nrobe.uti\n"));
    const std::string warning =
        "/UNINSTALL_DATA.ini:3: warning: file-list entry \"robe.uti\" has no folder: the run "
        "looks for it in the game's main folder, not in override\n0 errors, 1 warning, 0 notes\n";
    EXPECT_EQ(RunConsole({.arguments = {"--check"}, .workingFolder = mod}).out, "Uninstall" + warning);
    EXPECT_EQ(RunConsole({.arguments = {"--check", "mod/"}, .workingFolder = temp.Path()}).out,
              "mod/Uninstall" + warning);
    const std::string program = mod + "/zelvane-console";
    std::filesystem::copy_file(ZELVANE_CONSOLE, program);
    MakeFolders(temp.Path() + "/elsewhere");
    const ConsoleRun beside =
        RunConsole({.arguments = {"--check"}, .workingFolder = temp.Path() + "/elsewhere", .program = program});
    EXPECT_EQ(beside.out, mod + "/Uninstall" + warning);
    EXPECT_EQ(beside.exitCode, 2);
}

TEST_F(ConsoleRunTest, AtATerminalEnterAnswersTheFocusedButtonAndNoColorTurnsTheColoursOff) {
    Description(
        "#game=2\n#qdelete_file_0=override\\notes.txt\n#qdelete_file_begin_0#\n"
        "Delete the notes?\n#qdelete_file_end_0#\n");
    GameFolder({{"notes.txt", "notes"}});
    const Launch launch{{"--no-open", "--program-folder", mod, "--registry", registryFile}, {"NO_COLOR=1"}};
    // Yes to the confirmation by its letter, then Enter at "Confirm Delete", whose focus is No.
    const ConsoleRun run = RunInTerminal(launch, "y\n\n");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("Answer (number, letter or close; Enter for No): Answer: 1 (No)\n"), kNone) << run.out;
    EXPECT_EQ(run.out.find("\x1b["), kNone) << run.out;

    Description("#game=2\n#game_select=yes\n");  // start-up ends at once, with a red notice
    const ConsoleRun coloured = RunInTerminal({launch.arguments, {"NO_COLOR="}}, "");
    EXPECT_NE(coloured.out.find("\x1b["), kNone) << coloured.out;
    EXPECT_NE(coloured.out.find("INI Errors Encountered - Mod Removal Disabled until INI is fixed."), kNone);
}

using zelvane::testing::MakeTable;

std::string Bytes(const Table& table) { return WriteTable(table).value(); }

// The table before the mod, the mod's own version (a cell changed, a row added), and the table
// in use after a later mod added a row of its own.
const Table kBackup = MakeTable({"label", "race"}, {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR"}});
const Table kModsOwn =
    MakeTable({"label", "race"}, {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR_NEW"}, {"2", "Robe", "P_ROBE"}});
const Table kWithALaterRow = MakeTable({"label", "race"}, {{"0", "Bastila", "P_BAS"},
                                                           {"1", "Carth", "P_CAR_NEW"},
                                                           {"2", "Robe", "P_ROBE"},
                                                           {"3", "Later", "P_LATER"}});
const Table kMerged =
    MakeTable({"label", "race"},
              {{"0", "Bastila", "P_BAS"}, {"1", "Carth", "P_CAR"}, {"2", "", ""}, {"3", "Later", "P_LATER"}});

// --mod-folder gives the 2da question its third button, which M answers: the merge takes only
// this mod's changes out, the backup leaves the backup folder and its safety copy is kept. --check
// with a game folder makes the same comparison, as notes on the list line.
TEST_F(ConsoleRunTest, MergeIsOfferedWithTheModsFilesAndTheCheckSaysWhatPuttingBackWouldUndo) {
    const std::string files = temp.Path() + "/files";
    WriteFile(files + "/override/appearance.2da", Bytes(kModsOwn));
    Run({.name = "merge",
         .description = "#game=1\n#qrestore_2da=1\n#qrestore_2da_files=appearance.2da\n#file_list\n",
         .override = {{"appearance.2da", Bytes(kWithALaterRow)}},
         .mod = {{"backup/appearance.2da", Bytes(kBackup)}},
         .answers = {"0", "M"},
         .arguments = {"--mod-folder", files},
         .overrideAfter = Files{{"appearance.2da", Bytes(kMerged)}},
         .after = {{"mod/backup/appearance.2da", kGone},
                   {"mod/Backup Uninstall/original install backup.appearance.2da", Bytes(kBackup)}},
         .shown = {"  [0] Yes  (Y)\n  [1] No  (N)  <- focus\n  [2] Merge  (M)\nAnswer: 2 (Merge)"}});

    const std::string note = "mod/uninstall/uninstall_data.ini:3: note: 2da table \"override\\appearance.2da\": ";
    const std::string conflicting = Bytes(MakeTable({"label", "race"}, {{"0", "Bastila", "P_BAS"},
                                                                        {"1", "Carth", "P_CAR_LATER"},
                                                                        {"2", "Robe", "P_ROBE"},
                                                                        {"3", "Later", "P_LATER"}}));
    const struct {
        std::string tables;
        Files override;
        std::string expected;
    } kChecks[] = {
        {"appearance.2da",
         {{"appearance.2da", Bytes(kWithALaterRow)}},
         note + "The table in use differs from the backup: 2 rows added and 1 cell changed in 1 row.\n" + note +
             "row 2 (label 2) added: 'Robe'\n" + note + "row 3 (label 3) added: 'Later'\n" + note +
             "row 1 (label 1): race 'P_CAR' -> 'P_CAR_NEW'\n" + note +
             "a merge is possible. Merging takes out this mod's changes: 1 row emptied and 1 cell set back in 1 "
             "row.\n" +
             note + "Row 2 is emptied, not removed: later mods added rows after it, whose numbers must stay.\n" + note +
             "row 2 (label 2) emptied: 'Robe'\n" + note +
             "row 1 (label 1): race 'P_CAR_NEW' -> 'P_CAR'\n0 errors, 0 warnings, 8 notes\n"},
        // A later mod changed the cell this mod changed: the conflict is listed and no merge offered.
        {"appearance.2da",
         {{"appearance.2da", conflicting}},
         note + "Merge is not offered: later mods changed what this mod changed\n" + note +
             "No merge: 1 conflict with later mods.\n" + note +
             "row 1 (label 1), race: backup 'P_CAR', this mod 'P_CAR_NEW', in use 'P_CAR_LATER'\n"},
        // A table not in use, or that does not read, says so.
        {"appearance.2da,feat.2da",
         {{"feat.2da", "2DA V2.b not a table the readers take"}},
         "mod/uninstall/uninstall_data.ini:3: note: 2da table appearance.2da: none is in use in the game folder's "
         "override, so the run would offer to put the backup there\n"
         "mod/uninstall/uninstall_data.ini:3: note: 2da table \"override\\feat.2da\": it and its backup cannot "
         "be compared, one of them does not read as a 2da table; the run asks without saying what replacing it "
         "would change\n0 errors, 0 warnings, 2 notes\n"},
    };
    Mod("backup/appearance.2da", Bytes(kBackup));
    for (const auto& c : kChecks) {
        std::filesystem::remove_all(game);
        if (c.tables.ends_with("feat.2da")) Mod("backup/feat.2da", Bytes(kBackup));
        GameFolder(c.override, 1);
        Description("#game=1\n#qrestore_2da=1\n#qrestore_2da_files=" + c.tables + "\n#file_list\n");
        const ConsoleRun run =
            RunConsole({.arguments = {"--check", "--game-folder", game, "mod", "--mod-folder", files},
                        .workingFolder = temp.Path()});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(run.out.find(c.expected), std::string::npos) << run.out;
    }
}

TEST(ConsoleCheck, TheBundledExampleAndTheTemplatePassAndAMissingDescriptionIsAnError) {
    TempFolder temp;
    std::filesystem::copy(ZELVANE_EXAMPLES, temp.Path(), std::filesystem::copy_options::recursive);
    const Files before = Snapshot(temp.Path());
    const std::string mod = temp.Path() + "/mod";
    EXPECT_EQ(RunConsole({"--check", "--program-folder", mod}).out, "0 errors, 0 warnings, 0 notes\n");
    const ConsoleRun withGame =
        RunConsole({"--check", "--program-folder", mod, "--game-folder", temp.Path() + "/game"});
    const std::string at = mod + "/uninstall/uninstall_data.ini:";
    EXPECT_EQ(withGame.out,
              at + "11: note: #qdelete_file_0= path \"override\\ex_robe_notes.txt\" is in the game folder\n" + at +
                  "17: note: #qrestore_file_0= path \"override\\ex_robe_icon.tga\" is in the game folder, and "
                  "\"override\\ex_robe_icon.tga.original\" is there to restore\n" +
                  at +
                  "23: note: 2da table \"override\\appearance.2da\": The table in use differs from the backup: 1 row "
                  "added.\n" +
                  at + "23: note: 2da table \"override\\appearance.2da\": row 2 (label 2) added: 'Ex_Robe'\n" + at +
                  "31: note: file-list entry \"override\\ex_robe01.uti\" is in the game folder\n" + at +
                  "32: note: file-list entry \"override\\ex_robe01.tga\" is only in a subfolder of override, at "
                  "\"override\\robes\\ex_robe01.tga\"; for K2 the run asks before deleting it there\n"
                  "0 errors, 0 warnings, 6 notes\n");
    EXPECT_EQ(withGame.exitCode, 0);
    EXPECT_EQ(Snapshot(temp.Path()), before);

    const std::string blank = temp.Path() + "/blank";
    WriteFile(blank + "/uninstall/uninstall_data.ini", ReadFile(ZELVANE_EXAMPLES "/uninstall_data.template.ini"));
    EXPECT_EQ(RunConsole({"--check", blank}).out, "0 errors, 0 warnings, 0 notes\n");
    std::filesystem::remove(blank + "/uninstall/uninstall_data.ini");
    const ConsoleRun missing = RunConsole({"--check", "--program-folder", blank});
    EXPECT_EQ(missing.out, blank + "/uninstall/uninstall_data.ini: error: the file \"" + WindowsForm(blank) +
                               "\\uninstall\\uninstall_data.ini\" was not found; start-up would stop with \"The "
                               "uninstall_data.ini file was not found.\"\n1 error, 0 warnings, 0 notes\n");
    EXPECT_EQ(missing.exitCode, 1);
}

}  // namespace
}  // namespace zelvane::e2e
