// End-to-end runs on folders and files whose names have accented letters. Descriptions are code
// page 1252 and names on disk UTF-8: the run finds the files by their 1252 names, saves a 1252 log
// with the folders proper-cased on the 1252 text, and shows UTF-8 on the terminal.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/e2e/dry_run_check.hpp"
#include "tests/e2e/e2e_support.hpp"
#include "tests/e2e/removal_log_text.hpp"

namespace zelvane::e2e {
namespace {

// UTF-8 names on disk ...
const std::string kSpieleUtf8 =
    "Sp\xc3\xaf"
    "ele";                                         // Spïele
const std::string kUniUtf8 = "\xc3\x9cn\xc3\xaf";  // Ünï
const std::string kModeUtf8 =
    "M\xc3\xb6"
    "d\xc3\xa9";  // Mödé
const std::string kNaiveUtf8 =
    "na\xc3\xaf"
    "ve.tga";  // naïve.tga
const std::string kUberUtf8 =
    "\xc3\xbc"
    "ber";  // über
const std::string kRockUtf8 =
    "r\xc3\xb6"
    "ck.uti";                                                   // röck.uti
const std::string kEteUtf8 = "\xc3\xa9t\xc3\xa9.tga";           // été.tga
const std::string kNihonUtf8 = "\xe6\x97\xa5\xe6\x9c\xac.tga";  // 日本.tga: no 1252 form
const std::string kDmitriyUtf8 = "\xd0\x94\xd0\xbc\xd0\xb8\xd1\x82\xd1\x80\xd0\xb8\xd0\xb9";  // Дмитрий
// ... and the same names in code page 1252.
const std::string kNaive1252 =
    "na\xef"
    "ve.tga";
const std::string kRock1252 =
    "r\xf6"
    "ck.uti";
const std::string kEte1252 = "\xe9t\xe9.tga";
// ... and as the log writes them: each letter above 127 as its 1252 byte in an RTF escape.
const std::string kNaiveLog = "na\\'efve.tga";
const std::string kRockLog = "r\\'f6ck.uti";
const std::string kEteLog = "\\'e9t\\'e9.tga";

class ConsoleNamesTest : public ::testing::Test {
protected:
    TempFolder temp;
    std::string game = temp.Path() + "/" + kSpieleUtf8 + "/" + kUniUtf8;
    std::string mod = temp.Path() + "/" + kModeUtf8;
    std::string answersFile = temp.Path() + "/answers.txt";
    std::string logPath = mod + "/uninstall/removal_results.rtf";
    // The temporary folder as the log shows it (ASCII only).
    std::string tempDisplay = DisplayFolder(WindowsForm(temp.Path()));

    void Game(const std::string& relative, const std::string& bytes) { WriteFile(game + "/" + relative, bytes); }
    void Description(const std::vector<std::string>& lines) {
        WriteFile(mod + "/uninstall/uninstall_data.ini", CrLfLines(lines));
    }
    void Answers(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) text += line + "\n";
        WriteFile(answersFile, text);
    }
    std::vector<std::string> Arguments() const {
        return {"--no-open", "--program-folder", mod, "--answers", answersFile, "--game-folder", game};
    }

    // K2: an accented entry in override and one in an accented subfolder of override, a queued
    // restore of an accented file from its ".original", and two files whose names 1252 cannot
    // hold beside an entry spelled the way such a name shows in 1252.
    void MakeK2Mod() {
        Description({"#game=2", "#qrestore_file_0=override\\" + kEte1252, "#qrestore_file_begin_0#",
                     "Restaurer l'ic\xf4ne \\b " + kEte1252 + "\\b0 ?", "#qrestore_file_end_0#", "#file_list",
                     "override\\" + kNaive1252, "override\\" + kRock1252, "override\\??.tga"});
        Game("dialog.tlk", kTlk);
        Game("override/" + kNaiveUtf8, "naive texture");
        Game("override/" + kUberUtf8 + "/" + kRockUtf8, "rock item");
        Game("override/" + kEteUtf8, "mod icon");
        Game("override/" + kEteUtf8 + ".original", "game icon");
        Game("override/" + kNihonUtf8, "not the mod's");
        Game("override/sub/" + kNihonUtf8, "not the mod's either");
    }
};

TEST_F(ConsoleNamesTest, K2RunFindsAccentedNamesAndSavesA1252Log) {
    MakeK2Mod();
    // Confirmation, the entry found in a subfolder, the queued restore.
    Answers({"0", "0", "0"});

    const ConsoleRun run = RunAfterDryRun(Arguments(), {game, mod}, logPath);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;

    // Folders proper-cased on the 1252 text: the subfolder with a small u-umlaut (0xFC) shows with a
    // capital one (0xDC).
    const std::string gameDisplay = tempDisplay + "Sp\\'efele\\\\\\'dcn\\'ef\\\\";
    const std::string appDisplay = tempDisplay + "M\\'f6d\\'e9\\\\";
    const std::string expected =
        LogHeader(2, gameDisplay, appDisplay) + "\\cf3 Delete Successful - \\cf1 Override\\\\" + kNaiveLog +
        "\\cf1\\par" + kCrLf + "\\cf3 Delete Successful - \\cf1 Override\\\\\\'dcber\\\\" + kRockLog + "\\cf1\\par" +
        kCrLf + "\\cf10 File Not Found: \\cf1 Override\\\\??.tga\\cf1\\par" + kCrLf + kThreePars +
        "\\cf1 QRestoreFile: \\cf3 Delete Successful - \\cf1 Override\\\\" + kEteLog + "\\par" + kCrLf +
        "\\cf1 QRestoreFile: \\cf3 Renamed \\cf1 Override\\\\" + kEteLog + ".original\\cf3  to \\cf1 Override\\\\" +
        kEteLog + "\\par" + kCrLf + Totals(0, 1);
    EXPECT_EQ(ReadFile(logPath), expected);

    const std::map<std::string, std::string> gameAfter{{"dialog.tlk", kTlk},
                                                       {"override/" + kEteUtf8, "game icon"},
                                                       {"override/" + kNihonUtf8, "not the mod's"},
                                                       {"override/sub/" + kNihonUtf8, "not the mod's either"}};
    EXPECT_EQ(Snapshot(game), gameAfter);

    // The transcript is UTF-8: the program folder, the prompt from the description, the log's path.
    EXPECT_NE(run.out.find("Program folder: " + WindowsForm(temp.Path()) + "\\" + kModeUtf8 + "\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\n" + WindowsForm(game) + "\\override\\" + kUberUtf8 + "\\\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Restaurer l'ic\xc3\xb4ne " + kEteUtf8 + "?"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Saved: " + logPath), std::string::npos) << run.out;
}

TEST_F(ConsoleNamesTest, AFolderTypedAtTheBrowsePromptIsHandedOverIn1252) {
    Description({"#game=1", "#file_list", "override\\" + kNaive1252});
    Game("dialog.tlk", kTlk);
    Game("override/" + kNaiveUtf8, "naive texture");
    // Confirmation, "Unable to locate Kotor folder via registry.", then the folder, typed in UTF-8.
    Answers({"0", "0", game});

    std::vector<std::string> arguments{"--no-open", "--program-folder", mod, "--answers", answersFile};
    const ConsoleRun run = RunAfterDryRun(arguments, {game, mod}, logPath);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Answer: " + WindowsForm(temp.Path()) + "\\" + kSpieleUtf8 + "\\" + kUniUtf8 + "\n"),
              std::string::npos)
        << run.out;
    const std::string gameDisplay = tempDisplay + "Sp\\'efele\\\\\\'dcn\\'ef\\\\";
    const std::string expected = LogHeader(1, gameDisplay, tempDisplay + "M\\'f6d\\'e9\\\\") +
                                 "\\cf3 Delete Successful - \\cf1 Override\\\\" + kNaiveLog + "\\cf1\\par" + kCrLf +
                                 kBanner + Totals(0, 0);
    EXPECT_EQ(ReadFile(logPath), expected);
    EXPECT_FALSE(Exists(game + "/override/" + kNaiveUtf8));
}

TEST_F(ConsoleNamesTest, TheDryRunShowsItsPlanInUtf8AndChangesNothing) {
    MakeK2Mod();
    Answers({"0", "0", "0"});
    const auto before = StampedSnapshot(temp.Path());
    std::vector<std::string> arguments = Arguments();
    arguments.push_back("--dry-run");
    const ConsoleRun run = RunConsole(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(StampedSnapshot(temp.Path()), before);
    const std::string override = WindowsForm(game) + "\\override\\";
    for (const std::string& line :
         {"delete " + override + kNaiveUtf8 + ": done\n",
          "delete " + override + kUberUtf8 + "\\" + kRockUtf8 + ": done\n",
          "rename " + override + kEteUtf8 + ".original -> " + override + kEteUtf8 + ": done\n"}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
    }
    EXPECT_NE(run.out.find("Delete Successful - Override\\\xc3\x9c"
                           "ber\\" +
                           kRockUtf8),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find(kNihonUtf8), std::string::npos) << run.out;
}

TEST_F(ConsoleNamesTest, TheCheckReadsAccentedNamesInTheGameFolderAndPrintsUtf8) {
    MakeK2Mod();
    const auto before = StampedSnapshot(temp.Path());
    const ConsoleRun run = RunConsole({"--check", "--program-folder", mod, "--game-folder", game});
    EXPECT_EQ(StampedSnapshot(temp.Path()), before);
    for (const std::string& line :
         {"uninstall_data.ini:2: note: #qrestore_file_0= path \"override\\" + kEteUtf8 +
              "\" is in the game folder, and \"override\\" + kEteUtf8 + ".original\" is there to restore\n",
          "uninstall_data.ini:7: note: file-list entry \"override\\" + kNaiveUtf8 + "\" is in the game folder\n",
          "uninstall_data.ini:8: note: file-list entry \"override\\" + kRockUtf8 +
              "\" is only in a subfolder of override, at \"override\\" + kUberUtf8 + "\\" + kRockUtf8 +
              "\"; for K2 the run asks before deleting it there\n"}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
    }
    EXPECT_EQ(run.out.find(kNihonUtf8), std::string::npos) << run.out;
}

TEST_F(ConsoleNamesTest, AGameInAnAccentedSteamLibraryIsFoundAndRunIn1252) {
    const std::string home = temp.Path() + "/home";
    const std::string steam = home + "/.local/share/Steam";
    const std::string library = temp.Path() + "/Biblioth\xc3\xa8que";  // Bibliothèque
    WriteFile(steam + "/steamapps/libraryfolders.vdf",
              "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + library + "\"\n\t}\n}\n");
    WriteFile(library + "/steamapps/appmanifest_32370.acf",
              "\"AppState\"\n{\n\t\"appid\"\t\t\"32370\"\n\t\"installdir\"\t\t\"swkotor\"\n}\n");
    const std::string folder = library + "/steamapps/common/swkotor";
    WriteFile(folder + "/dialog.tlk", kTlk);
    WriteFile(folder + "/override/" + kNaiveUtf8, "naive texture");
    Description({"#game=1", "#file_list", "override\\" + kNaive1252});
    Answers({"0"});

    const ConsoleRun found = RunConsoleWithEnvironment({"--find-games"}, {"HOME=" + home});
    EXPECT_NE(found.out.find("K1 " + folder + " (used by a run)\n   run path: " + WindowsForm(folder) + "\n"),
              std::string::npos)
        << found.out;

    const ConsoleRun run = RunAfterDryRun({"--no-open", "--program-folder", mod, "--answers", answersFile},
                                          {library, mod}, logPath, {"HOME=" + home});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_FALSE(Exists(folder + "/override/" + kNaiveUtf8));
    const std::string gameDisplay = tempDisplay + "Biblioth\\'e8que\\\\Steamapps\\\\Common\\\\Swkotor\\\\";
    const std::string header = LogHeader(1, gameDisplay, tempDisplay + "M\\'f6d\\'e9\\\\");
    EXPECT_EQ(ReadFile(logPath).substr(0, header.size()), header);
}

// A folder of the player's whose name 1252 cannot hold (a Cyrillic user name) is handed over as its
// UTF-8 bytes: the run works there; the log shows those bytes read as 1252 and proper-cased.
TEST(ConsoleUnmappableNames, AProgramAndGameFolderBelowAFolder1252CannotHoldStillRun) {
    TempFolder temp;
    const std::string home = temp.Path() + "/" + kDmitriyUtf8;
    const std::string game = home + "/" + kSpieleUtf8;
    const std::string mod = home + "/" + kModeUtf8;
    const std::string answers = temp.Path() + "/answers.txt";
    const std::string logPath = mod + "/uninstall/removal_results.rtf";
    WriteFile(mod + "/uninstall/uninstall_data.ini",
              CrLfLines({"#game=1", "#file_list", "override\\" + kNaive1252, "override\\??.tga"}));
    WriteFile(game + "/dialog.tlk", kTlk);
    WriteFile(game + "/override/" + kNaiveUtf8, "naive texture");
    WriteFile(game + "/override/" + kNihonUtf8, "not the mod's");
    WriteFile(answers, "0\n");

    const ConsoleRun run =
        RunAfterDryRun({"--no-open", "--program-folder", mod, "--game-folder", game, "--answers", answers}, {home},
                       logPath);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;

    const std::string tempDisplay = DisplayFolder(WindowsForm(temp.Path()));
    // Its bytes read as 1252: proper-casing makes each later 0xD0 and 0xD1 (capitals in 1252) small.
    const std::string dmitriy = "\\'d0\\'94\\'f0\\'bc\\'f0\\'b8\\'f1\\'82\\'f1\\'80\\'f0\\'b8\\'f0\\'b9\\\\";
    const std::string expected =
        LogHeader(1, tempDisplay + dmitriy + "Sp\\'efele\\\\", tempDisplay + dmitriy + "M\\'f6d\\'e9\\\\") +
        "\\cf3 Delete Successful - \\cf1 Override\\\\" + kNaiveLog + "\\cf1\\par" + kCrLf +
        "\\cf10 File Not Found: \\cf1 Override\\\\??.tga\\cf1\\par" + kCrLf;
    const std::string log = ReadFile(logPath);
    EXPECT_EQ(log.substr(0, expected.size()), expected);
    EXPECT_FALSE(Exists(game + "/override/" + kNaiveUtf8));
    EXPECT_EQ(ReadFile(game + "/override/" + kNihonUtf8), "not the mod's");
}

}  // namespace
}  // namespace zelvane::e2e
