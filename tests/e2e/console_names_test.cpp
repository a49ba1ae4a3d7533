// Names on their way between the disk, the core and the terminal. Descriptions are code page 1252
// and names on disk UTF-8: the run finds the files by their 1252 names, saves a 1252 log with the
// folders proper-cased on the 1252 text, and shows UTF-8 on the terminal; a name 1252 cannot hold
// is handed over as its bytes; no control character of a name ever reaches the terminal.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/console/terminal_text.hpp"
#include "tests/e2e/e2e_support.hpp"

namespace zelvane::e2e {
namespace {

// UTF-8 names on disk, the same names in code page 1252, and as the log writes them (each letter
// above 127 as its 1252 byte in an RTF escape).
const std::string kSpieleUtf8 = "Sp\u00efele";
const std::string kUniUtf8 = "\u00dcn\u00ef";
const std::string kModeUtf8 = "M\u00f6d\u00e9";
const std::string kNaiveUtf8 = "na\u00efve.tga";
const std::string kUberUtf8 = "\u00fcber";
const std::string kRockUtf8 = "r\u00f6ck.uti";
const std::string kEteUtf8 = "\u00e9t\u00e9.tga";
const std::string kNihonUtf8 = "\u65e5\u672c.tga";  // no 1252 form
const std::string kNaive1252 = "na\xefve.tga";
const std::string kEte1252 = "\xe9t\xe9.tga";
const std::string kNaiveLog = "na\\'efve.tga";
const std::string kEteLog = "\\'e9t\\'e9.tga";

class ConsoleNamesTest : public ModInstallTest {
protected:
    ConsoleNamesTest() {
        game = temp.Path() + "/" + kSpieleUtf8 + "/" + kUniUtf8;
        mod = temp.Path() + "/" + kModeUtf8;
        logPath = mod + "/uninstall/removal_results.rtf";
    }
    // The temporary folder as the log shows it (ASCII only), and the two folders below it.
    std::string tempDisplay = DisplayFolder(WindowsForm(temp.Path()));
    std::string gameDisplay = tempDisplay + "Sp\\'efele\\\\\\'dcn\\'ef\\\\";
    std::string modDisplay = tempDisplay + "M\\'f6d\\'e9\\\\";
};

// K2: an accented entry in override and one in an accented subfolder of override, a queued
// restore of an accented file from its ".original", and two files whose names 1252 cannot hold
// beside an entry spelled the way such a name shows in 1252. Then K1, whose folder is typed.
TEST_F(ConsoleNamesTest, RunsFindAccentedNamesSaveA1252LogAndShowUtf8) {
    const std::string description = "#game=2\n#qrestore_file_0=override\\" + kEte1252 +
                                    "\n#qrestore_file_begin_0#\nRestaurer l'ic\xf4ne \\b " + kEte1252 +
                                    "\\b0 ?\n#qrestore_file_end_0#\n#file_list\noverride\\" + kNaive1252 +
                                    "\noverride\\r\xf6"
                                    "ck.uti\noverride\\??.tga\n";
    const Files nihon{{kNihonUtf8, "not the mod's"}, {"sub/" + kNihonUtf8, "not the mod's either"}};
    Files override = nihon;
    override.insert({{kNaiveUtf8, "naive texture"},
                     {kUberUtf8 + "/" + kRockUtf8, "rock item"},
                     {kEteUtf8, "mod icon"},
                     {kEteUtf8 + ".original", "game icon"}});
    Files after = nihon;
    after.insert({kEteUtf8, "game icon"});
    const std::string o = WindowsForm(game) + "\\override\\";
    // The confirmation, the entry found in a subfolder, the queued restore. The transcript is UTF-8.
    Run({.name = "K2",
         .description = description,
         .override = override,
         .answers = {"0", "0", "0"},
         .arguments = {"--game-folder", game},
         .registry = false,
         .overrideAfter = after,
         .shown = {"Program folder: " + WindowsForm(temp.Path()) + "\\" + kModeUtf8 + "\n",
                   "\n" + o + kUberUtf8 + "\\\n", "Restaurer l'ic\u00f4ne " + kEteUtf8 + "?", "Saved: " + logPath,
                   "Delete Successful - Override\\\u00dcber\\" + kRockUtf8},
         .dryShown = {"delete " + o + kNaiveUtf8 + ": done\n",
                      "delete " + o + kUberUtf8 + "\\" + kRockUtf8 + ": done\n",
                      "rename " + o + kEteUtf8 + ".original -> " + o + kEteUtf8 + ": done\n"}});
    // Folders proper-cased on the 1252 text: the subfolder with a small u-umlaut (0xFC) shows with a
    // capital one (0xDC).
    EXPECT_EQ(Log(), LogHeader(2, gameDisplay, modDisplay) + Deleted("Override\\\\" + kNaiveLog) + "\\cf1" + kPar +
                         Deleted("Override\\\\\\'dcber\\\\r\\'f6ck.uti") + "\\cf1" + kPar +
                         "\\cf10 File Not Found: \\cf1 Override\\\\??.tga\\cf1" + kPar + kThreePars +
                         "\\cf1 QRestoreFile: " + Deleted("Override\\\\" + kEteLog) + kPar +
                         "\\cf1 QRestoreFile: \\cf3 Renamed \\cf1 Override\\\\" + kEteLog +
                         ".original\\cf3  to \\cf1 Override\\\\" + kEteLog + kPar + Totals(0, 1));
    WriteTree(game + "/override", override);
    const ConsoleRun check = RunConsole({"--check", "--program-folder", mod, "--game-folder", game});
    ExpectInOrder(check.out,
                  {"uninstall_data.ini:2: note: #qrestore_file_0= path \"override\\" + kEteUtf8 +
                       "\" is in the game folder, and \"override\\" + kEteUtf8 + ".original\" is there to restore\n",
                   "uninstall_data.ini:8: note: file-list entry \"override\\" + kRockUtf8 +
                       "\" is only in a subfolder of override, at \"override\\" + kUberUtf8 + "\\" + kRockUtf8 +
                       "\"; for K2 the run asks before deleting it there\n"});
    EXPECT_EQ(check.out.find(kNihonUtf8), std::string::npos) << check.out;

    // A folder typed at the browse prompt, in UTF-8, is handed over in 1252.
    Run({.name = "K1",
         .description = "#game=1\n#file_list\noverride\\" + kNaive1252 + "\n",
         .override = {{kNaiveUtf8, "naive texture"}},
         .answers = {"0", "0", game},  // the confirmation, "Unable to locate Kotor folder via registry.", the folder
         .registry = false,
         .overrideAfter = Files{},
         .shown = {"Answer: " + WindowsForm(game) + "\n"},
         .log = {LogHeader(1, gameDisplay, modDisplay) + Deleted("Override\\\\" + kNaiveLog)}});
}

// No line of a transcript carries what a terminal would take as a command.
void ExpectNoControls(const std::string& transcript) {
    std::istringstream lines(transcript);
    for (std::string line; std::getline(lines, line);) EXPECT_EQ(console::HostTerminalLine(line), line);
}

// A folder named with ESC, BEL, a lone byte 0x9B or the C1 control U+009B (a one-character CSI)
// shows without them in Opening:, Log: and --find-games.
TEST_F(ConsoleNamesTest, ControlsOfANameNeverReachTheTerminal) {
    game = temp.Path() + "/game";
    mod = temp.Path() +
          "/mod\xc2\x9b"
          "2J";  // U+009B 2 J: a terminal would clear its screen
    logPath = mod + "/uninstall/removal_results.rtf";
    const std::string bin = temp.Path() + "/bin";
    WriteFile(bin + "/xdg-open", "#!/bin/sh\nexit 0\n");
    SetMode(bin + "/xdg-open", 0755);
    const std::string shown = temp.Path() + "/mod2J/uninstall/removal_results.rtf\n";
    ConsoleRun run = Run({.name = "a control in the program folder",
                          .description = "#game=2\n#file_list\noverride\\x.uti\n",
                          .override = {{"x.uti", "x"}},
                          .environment = {"PATH=" + bin + ":/usr/bin:/bin"},
                          .dryRunFirst = false,
                          .open = true,
                          .overrideAfter = Files{},
                          .shown = {"\nOpening: " + shown, "\nLog: " + shown}});
    EXPECT_TRUE(Exists(logPath));
    ExpectNoControls(run.out);

    const std::string home = temp.Path() + "/home";
    const std::string library = temp.Path() +
                                "/Library\x1b[2J\x07\x9b"
                                "X";
    WriteFile(home + "/.local/share/Steam/steamapps/libraryfolders.vdf",
              "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + library + "\"\n\t}\n}\n");
    WriteFile(library + "/steamapps/appmanifest_32370.acf",
              "\"AppState\"\n{\n\t\"appid\"\t\t\"32370\"\n\t\"installdir\"\t\t\"swkotor\"\n}\n");
    WriteFile(library + "/steamapps/common/swkotor/dialog.tlk", kTlk);
    run = RunConsole({"--find-games"}, {"HOME=" + home});
    const std::string library2 = temp.Path() + "/Library[2J\xef\xbf\xbdX";  // U+FFFD for the byte that is no UTF-8
    EXPECT_NE(run.out.find("K1 " + library2 + "/steamapps/common/swkotor (used by a run)\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("   found in: the Steam library " + library2 + " (app 32370)\n"), std::string::npos);
    ExpectNoControls(run.out);
}

}  // namespace
}  // namespace zelvane::e2e
