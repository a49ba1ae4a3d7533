// zelvane-console on disks and files a player may have, run for real on folders made here: links
// that lead outside, letter-case twins, a full volume, and names.
// Each run that changes something is first made as a dry run, which must refuse the same and change
// nothing. Descriptions are code page 1252 and names on disk UTF-8: the run finds the files by their
// 1252 names, saves a 1252 log with the folders proper-cased on the 1252 text, and shows UTF-8 on
// the terminal; a name 1252 cannot hold is handed over as its bytes; no control character of a
// name ever reaches the terminal.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/statvfs.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/console/terminal_text.hpp"
#include "tests/e2e/e2e_support.hpp"

namespace zelvane::e2e {
namespace {

class ConsoleHostileDisks : public ModInstallTest {};

// Links a mod archive or a player put into the game and program folders lead outside: the real
// console never writes, deletes or renames a file through them, in any phase, and says so.
TEST_F(ConsoleHostileDisks, NothingOutsideIsChangedThroughALink) {
    const std::string outside = temp.Path() + "/outside";
    WriteTree(outside, {{"save.sav", "hours of play"}, {"precious.txt", "notes"}, {"profile", "start-up file"}});
    const Files before = Snapshot(outside);
    const std::vector<std::pair<std::string, std::string>> links = {
        {"../../outside", "game/override/Linked"},
        {outside + "/precious.txt", "game/override/evil.tga"},
        {"..", "game/override/loop"}};  // the search must not go round in it
    Scenario workingCopy{.name = "a linked working copy",
                         .description = "#game=2\n#file_list\n",
                         .override = {{"k2_item.uti", "item"}, {"evil.tga.original", "game file"}},
                         .links = links,
                         .dryRunFirst = false,
                         .status = 1,  // the INI-error state
                         .shown = {"uninstall_data20A.ini was not written: the uninstall folder or that file leads "
                                   "outside the program folder through a link."}};
    workingCopy.links.push_back({outside + "/profile", "mod/uninstall/uninstall_data20A.ini"});
    Run(workingCopy);
    EXPECT_EQ(Snapshot(outside), before);

    // The confirmation, and No to restoring the 2da anyway: the search does not enter the folder
    // link, so no appearance.2da is found. Nothing else may be asked.
    const std::string refused = "\\cf10 Refused (outside the game folder): \\cf1 Override\\\\";
    const ConsoleRun run = Run(
        {.name = "links in the game folder",
         .description = "#game=2\n#qdelete_file_0=override\\evil.tga\n#qdelete_file_begin_0#\nDelete it?\n"
                        "#qdelete_file_end_0#\n#qrestore_file_0=override\\linked\\save.sav\n#qrestore_file_begin_0#\n"
                        "Restore it?\n#qrestore_file_end_0#\n#qrestore_file_1=override\\evil.tga\n"
                        "#qrestore_file_begin_1#\nRestore it?\n#qrestore_file_end_1#\n#qrestore_2da=1\n"
                        "#qrestore_2da_files=appearance.2da\n#file_list\noverride\\linked\\save.sav\n"
                        "override\\evil.tga\noverride\\k2_item.uti\noverride\\moved.tga\n",
         .override = workingCopy.override,
         .mod = {{"backup/appearance.2da", "2DA V2.0 original"}},
         .answers = {"0", "1"},
         .links = links,
         .status = 5,  // refusals are counted errors
         .after = {{"game/override/evil.tga.original", "game file"},
                   {"game/override/k2_item.uti", kGone},
                   {"mod/backup/appearance.2da", "2DA V2.0 original"}},
         .log = {refused + "Linked\\\\save.sav\\cf1\\par", refused + "evil.tga\\cf1\\par",
                 "\\cf1 QDeleteFile: " + refused + "evil.tga\\cf1\\par",
                 "\\cf1 QRestoreFile: " + refused + "Linked\\\\save.sav\\cf1\\par",
                 "\\cf1 QRestoreFile: " + refused + "evil.tga\\cf1\\par", Totals(5, 1)}});
    EXPECT_EQ(run.out.find("Prompt: Confirm Delete"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Prompt: Confirm Restore"), std::string::npos) << run.out;
    EXPECT_EQ(Snapshot(outside), before);
}

// backup/Appearance.2da and backup/appearance.2da: the second replacement keeps what the first put
// into Backup Uninstall and names its own copies freely, so every table stays somewhere. This one
// runs without its dry run, whose overlay does not yet keep such twins apart.
TEST_F(ConsoleHostileDisks, TwoBackupsDifferingOnlyInCaseLoseNoTable) {
    Run({.name = "twins",
         .description = "#game=2\n#qrestore_2da=1\n#qrestore_2da_files=appearance.2da\n#file_list\n",
         .override = {{"appearance.2da", "2DA V2.0 in use"}},
         .mod = {{"backup/Appearance.2da", "2DA V2.0 first backup"},
                 {"backup/appearance.2da", "2DA V2.0 second backup"}},
         .answers = {"0", "0", "0"},
         .dryRunFirst = false,
         .overrideAfter = Files{{"appearance.2da", "2DA V2.0 second backup"}},
         .log = {"\\cf1 QRestore2da: \\cf4 Kept \\cf1 Backup Uninstall\\\\appearance.2da\\cf4  (put there earlier in "
                 "this run); the new copy is named \\cf1 Backup Uninstall\\\\appearance (2).2da" +
                 kPar}});
    EXPECT_EQ(Log().find("Delete Successful - \\cf1 Backup Uninstall"), std::string::npos) << Log();
    // The first pass displaced the table in use, the second the first backup; both safety copies.
    EXPECT_EQ(Snapshot(mod + "/Backup Uninstall"),
              (Files{{"Appearance.2da", "2DA V2.0 in use"},
                     {"appearance (2).2da", "2DA V2.0 first backup"},
                     {"original install backup.Appearance.2da", "2DA V2.0 first backup"},
                     {"original install backup.appearance (2).2da", "2DA V2.0 second backup"}}));
}

// A log that cannot be saved on a full volume keeps the earlier log whole and leaves no temporary
// file; the player is told, as for every failed save.
TEST_F(ConsoleHostileDisks, AFullVolumeKeepsTheEarlierLog) {
    const std::string volume = temp.Path() + "/volume";
    MakeFolders(volume);
    if (::mount("tmpfs", volume.c_str(), "tmpfs", 0, "size=1m") != 0) {
        GTEST_SKIP() << "\n*** NO TMPFS COULD BE MOUNTED: a full volume is NOT tested here ***\n";
    }
    const std::unique_ptr<const char, void (*)(const char*)> unmount(volume.c_str(),
                                                                     [](const char* p) { ::umount2(p, MNT_DETACH); });
    mod = volume + "/mod";
    logPath = mod + "/uninstall/removal_results.rtf";
    GameFolder();
    // A long file list of missing files: its log is about twice the size of the description. The
    // volume is filled so that the working copy of the description fits, but the log does not.
    std::string lines = "#game=2\n#file_list\n";
    for (int i = 0; i < 400; ++i) lines += "override\\not_here_" + std::to_string(1000 + i) + ".uti\n";
    Description(lines);
    Mod("uninstall/removal_results.rtf", "{\\rtf1 the earlier log}");
    Answers({"0"});
    struct statvfs vfs {};
    ASSERT_EQ(::statvfs(mod.c_str(), &vfs), 0);
    const unsigned long long keep = 5;  // pages: the description takes 3, the log 6
    ASSERT_GT(vfs.f_bavail, keep);
    WriteFile(volume + "/filler", std::string((vfs.f_bavail - keep) * vfs.f_frsize, 'x'));
    const ConsoleRun run = RunConsole(Arguments());
    EXPECT_NE(run.exitCode, 0) << run.out;
    ExpectInOrder(run.out, {"Message: Oops!", "Disk full", "cmdRemoveMod_Click"});  // at the save, not at start-up
    EXPECT_EQ(Log(), "{\\rtf1 the earlier log}");
    EXPECT_FALSE(Exists(mod + "/uninstall/removal_results.rtf.saving"));
}

// Names on disk in UTF-8, the same in code page 1252, and as the log writes them (each letter
// above 127 as its 1252 byte in an RTF escape).
const std::string kNaive = "na\u00efve.tga";
const std::string kUber = "\u00fcber";
const std::string kRock = "r\u00f6ck.uti";
const std::string kEte = "\u00e9t\u00e9.tga";
const std::string kNihon = "\u65e5\u672c.tga";  // no 1252 form
const std::string kNaive1252 = "na\xefve.tga";
const std::string kEte1252 = "\xe9t\xe9.tga";
const std::string kNaiveLog = "na\\'efve.tga";
const std::string kEteLog = "\\'e9t\\'e9.tga";

// K2: an accented entry in override and one in an accented subfolder of override, a queued
// restore of an accented file from its ".original", and two files whose names 1252 cannot hold
// beside an entry spelled the way such a name shows in 1252. Then K1, whose folder is typed.
TEST_F(ConsoleHostileDisks, RunsFindAccentedNamesSaveA1252LogAndShowUtf8) {
    game = temp.Path() + "/Sp\u00efele/\u00dcn\u00ef";
    mod = temp.Path() + "/M\u00f6d\u00e9";
    logPath = mod + "/uninstall/removal_results.rtf";
    // The temporary folder as the log shows it (ASCII only), and the two folders below it.
    const std::string tempDisplay = DisplayFolder(WindowsForm(temp.Path()));
    const std::string gameDisplay = tempDisplay + "Sp\\'efele\\\\\\'dcn\\'ef\\\\";
    const std::string modDisplay = tempDisplay + "M\\'f6d\\'e9\\\\";
    const std::string description = "#game=2\n#qrestore_file_0=override\\" + kEte1252 +
                                    "\n#qrestore_file_begin_0#\nRestaurer l'ic\xf4ne \\b " + kEte1252 +
                                    "\\b0 ?\n#qrestore_file_end_0#\n#file_list\noverride\\" + kNaive1252 +
                                    "\noverride\\r\xf6"
                                    "ck.uti\noverride\\??.tga\n";
    const Files nihon{{kNihon, "not the mod's"}, {"sub/" + kNihon, "not the mod's either"}};
    Files override = nihon;
    override.insert({{kNaive, "naive texture"},
                     {kUber + "/" + kRock, "rock item"},
                     {kEte, "mod icon"},
                     {kEte + ".original", "game icon"}});
    Files after = nihon;
    after.insert({kEte, "game icon"});
    const std::string o = WindowsForm(game) + "\\override\\";
    // The confirmation, the entry found in a subfolder, the queued restore. The transcript is UTF-8.
    Run({.name = "K2",
         .description = description,
         .override = override,
         .answers = {"0", "0", "0"},
         .arguments = {"--game-folder", game},
         .registry = false,
         .overrideAfter = after,
         .shown = {"Program folder: " + WindowsForm(mod) + "\n", "\n" + o + kUber + "\\\n",
                   "Restaurer l'ic\u00f4ne " + kEte + "?", "Saved: " + logPath,
                   "Delete Successful - Override\\\u00dcber\\" + kRock},
         .dryShown = {"delete " + o + kNaive + ": done\n", "delete " + o + kUber + "\\" + kRock + ": done\n",
                      "rename " + o + kEte + ".original -> " + o + kEte + ": done\n"}});
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
                  {"uninstall_data.ini:2: note: #qrestore_file_0= path \"override\\" + kEte +
                       "\" is in the game folder, and \"override\\" + kEte + ".original\" is there to restore\n",
                   "uninstall_data.ini:8: note: file-list entry \"override\\" + kRock +
                       "\" is only in a subfolder of override, at \"override\\" + kUber + "\\" + kRock +
                       "\"; for K2 the run asks before deleting it there\n"});
    EXPECT_EQ(check.out.find(kNihon), std::string::npos) << check.out;

    // A folder typed at the browse prompt, in UTF-8, is handed over in 1252.
    Run({.name = "K1",
         .description = "#game=1\n#file_list\noverride\\" + kNaive1252 + "\n",
         .override = {{kNaive, "naive texture"}},
         .answers = {"0", "0", game},  // the confirmation, "Unable to locate Kotor folder via registry.", the folder
         .registry = false,
         .overrideAfter = Files{},
         .shown = {"Answer: " + WindowsForm(game) + "\n"},
         .log = {LogHeader(1, gameDisplay, modDisplay) + Deleted("Override\\\\" + kNaiveLog)}});
}

// A folder named with the C1 control U+009B (a one-character CSI) shows without it in Opening: and
// Log:.
TEST_F(ConsoleHostileDisks, ControlsOfANameNeverReachTheTerminal) {
    mod = temp.Path() + "/mod\u009b2J";  // a terminal would clear its screen
    logPath = mod + "/uninstall/removal_results.rtf";
    const std::string bin = temp.Path() + "/bin";
    WriteFile(bin + "/xdg-open", "#!/bin/sh\nexit 0\n");
    SetMode(bin + "/xdg-open", 0755);
    const std::string shown = temp.Path() + "/mod2J/uninstall/removal_results.rtf\n";
    const ConsoleRun run = Run({.name = "a control in the program folder",
                                .description = "#game=2\n#file_list\noverride\\x.uti\n",
                                .override = {{"x.uti", "x"}},
                                .environment = {"PATH=" + bin + ":/usr/bin:/bin"},
                                .dryRunFirst = false,
                                .open = true,
                                .overrideAfter = Files{},
                                .shown = {"\nOpening: " + shown, "\nLog: " + shown}});
    std::istringstream lines(run.out);  // no line carries what a terminal would take as a command
    for (std::string line; std::getline(lines, line);) EXPECT_EQ(console::HostTerminalLine(line), line);
}

}  // namespace
}  // namespace zelvane::e2e
