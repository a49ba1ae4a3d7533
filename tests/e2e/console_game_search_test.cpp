// End-to-end: zelvane-console finds the game by itself in a fake home folder: a Wine prefix's
// system.reg in either registry view, Steam libraries (with and without the K2 native port's
// steamassets), a Proton prefix; --find-games, --game-folder and --registry over the search.

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/e2e/dry_run_check.hpp"
#include "tests/e2e/e2e_support.hpp"

namespace zelvane::e2e {
namespace {

const std::string kRegHead = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";

std::string Key(const std::string& key, const std::string& path, const std::string& value = "Path") {
    return "[" + key + "] 1700000000\n#time=1d9a1b2c3d4e5f6\n\"" + value + "\"=\"" + path + "\"\n\n";
}

const std::string kWhatToPass =
    "Pass the game's folder with --game-folder DIR (the folder that holds dialog.tlk) or its Wine prefix with "
    "--wine-prefix DIR.\n";

// The places of a home folder's search that are not there: the Steam installations after the
// one given, or the launchers' folders of prefixes.
std::string NoLaunchers(const std::string& home, const std::string& afterSteam = "") {
    std::string lines;
    if (!afterSteam.empty()) {
        bool after = false;
        for (const char* root :
             {"/.steam/steam", "/.local/share/Steam", "/.var/app/com.valvesoftware.Steam/.local/share/Steam",
              "/snap/steam/common/.local/share/Steam"}) {
            if (after) lines += "  the Steam installation " + home + root + ": not there\n";
            after = after || afterSteam == root;
        }
        return lines;
    }
    for (const auto& [what, folder] :
         std::vector<std::pair<std::string, std::string>>{{"Lutris", "/Games"},
                                                          {"Heroic", "/Games/Heroic/Prefixes"},
                                                          {"Heroic", "/Games/Heroic/Prefixes/default"},
                                                          {"Bottles", "/.local/share/bottles/bottles"},
                                                          {"Bottles",
                                                           "/.var/app/com.usebottles.bottles/data/bottles/bottles"}}) {
        lines += "  the " + what + " prefixes " + home + folder + "/*: not there\n";
    }
    return lines;
}

// "Looked in:" and every place of an empty home folder.
std::string NothingIn(const std::string& home) {
    return "Looked in:\n  the Wine prefix " + home + "/.wine: not there\n  the Steam installation " + home +
           "/.steam/steam: not there\n" + NoLaunchers(home, "/.steam/steam") + NoLaunchers(home);
}

class GameSearchTest : public ::testing::Test {
protected:
    TempFolder temp;
    std::string home = temp.Path() + "/home";
    std::string mod = temp.Path() + "/mod";
    std::string answersFile = temp.Path() + "/answers.txt";
    std::string logPath = mod + "/uninstall/removal_results.rtf";

    GameSearchTest() { MakeFolders(home); }

    // A mod for the game whose file list holds override\x.uti, and the answer Yes to the confirmation.
    void MakeMod(int game) {
        WriteFile(mod + "/uninstall/uninstall_data.ini",
                  "#game=" + std::to_string(game) + "\r\n#file_list\r\noverride\\x.uti\r\n");
        WriteFile(answersFile, "0\n");
    }
    static void MakeGame(const std::string& folder) {
        WriteFile(folder + "/dialog.tlk", kTlk);
        WriteFile(folder + "/override/x.uti", "mod file");
    }
    // A prefix whose drive C: is its drive_c folder, as Wine makes it.
    static void MakePrefix(const std::string& prefix, const std::string& systemReg) {
        MakeFolders(prefix + "/drive_c");
        MakeFolders(prefix + "/dosdevices");
        ASSERT_EQ(symlink("../drive_c", (prefix + "/dosdevices/c:").c_str()), 0);
        WriteFile(prefix + "/system.reg", kRegHead + systemReg);
    }
    static void Manifest(const std::string& library, const std::string& appId, const std::string& installDir) {
        WriteFile(library + "/steamapps/appmanifest_" + appId + ".acf",
                  "\"AppState\"\n{\n\t\"appid\"\t\t\"" + appId + "\"\n\t\"name\"\t\t\"game\"\n\t\"installdir\"\t\t\"" +
                      installDir + "\"\n}\n");
    }
    std::vector<std::string> Arguments(const std::vector<std::string>& extra = {}) const {
        std::vector<std::string> args{"--no-open", "--program-folder", mod, "--answers", answersFile};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }
    std::string GameDirectoryLine(const std::string& runPath) const {
        return "\\cf6\\b Game Directory Is: " + DisplayFolder(runPath) + "\\cf1\\b0\\par";
    }
    void ExpectRemovedFrom(const ConsoleRun& run, const std::string& folder, const std::string& runPath) {
        ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
        EXPECT_EQ(run.out.find("Unable to locate Kotor folder via registry."), std::string::npos) << run.out;
        EXPECT_NE(ReadFile(logPath).find(GameDirectoryLine(runPath)), std::string::npos) << ReadFile(logPath);
        EXPECT_NE(ReadFile(logPath).find("\\cf3 Delete Successful - \\cf1 Override\\\\x.uti"), std::string::npos);
        EXPECT_FALSE(Exists(folder + "/override/x.uti"));
    }
};

TEST_F(GameSearchTest, AWinePrefixFromTheEnvironmentAnswersInTheRedirectedViewWithEscapes) {
    const std::string prefix = temp.Path() + "/wine";
    // \x4f is "O" and \\ one backslash: the folder is C:\Games\Star Wars KOTOR.
    MakePrefix(prefix, Key("Software\\\\Wow6432Node\\\\BioWare\\\\SW\\\\KOTOR", "C:\\\\Games\\\\Star Wars K\\x4fTOR"));
    const std::string folder = prefix + "/drive_c/Games/Star Wars KOTOR";
    MakeGame(folder);
    MakeMod(1);
    const ConsoleRun run =
        RunAfterDryRun(Arguments(), {folder, mod}, logPath, {"HOME=" + home, "WINEPREFIX=" + prefix});
    ExpectRemovedFrom(run, folder, "C:\\Games\\Star Wars KOTOR");
}

TEST_F(GameSearchTest, AWinePrefixGivenOnTheCommandLineAnswersInThePlainView) {
    const std::string prefix = temp.Path() + "/other prefix";
    MakePrefix(prefix, Key("Software\\\\LucasArts\\\\KotOR2", "c:\\\\games\\\\kotor2"));
    const std::string folder = prefix + "/drive_c/Games/KotOR2";  // found whatever its letter case
    MakeGame(folder);
    MakeMod(2);
    const ConsoleRun run = RunConsoleWithEnvironment(Arguments({"--wine-prefix", prefix}), {"HOME=" + home});
    ExpectRemovedFrom(run, folder, "c:\\games\\kotor2");
}

TEST_F(GameSearchTest, TheK2NativePortIsFoundInASecondSteamLibraryByItsSteamassets) {
    const std::string steam = home + "/.local/share/Steam";
    const std::string library = temp.Path() + "/SteamLibrary";
    WriteFile(steam + "/steamapps/libraryfolders.vdf",
              "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + steam +
                  "\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + library +
                  "\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"208580\"\t\t\"1\"\n\t\t}\n\t}\n}\n");
    Manifest(library, "208580", "Knights of the Old Republic II");
    const std::string folder = library + "/steamapps/common/Knights of the Old Republic II/steamassets";
    MakeGame(folder);
    MakeMod(2);
    const ConsoleRun run = RunAfterDryRun(Arguments(), {folder, mod}, logPath, {"HOME=" + home});
    ExpectRemovedFrom(run, folder, WindowsForm(folder));
}

TEST_F(GameSearchTest, AGameWithoutSteamassetsIsItsSteamappsCommonFolderInTheOldLibraryLayout) {
    const std::string steam = home + "/.steam/steam";
    const std::string library = temp.Path() + "/Old Library";
    WriteFile(steam + "/steamapps/libraryfolders.vdf",
              "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1700000000\"\n\t\"1\"\t\t\"" + library +
                  "\"\n}\n");
    Manifest(library, "208580", "Knights of the Old Republic II");
    const std::string folder = library + "/steamapps/common/Knights of the Old Republic II";
    MakeGame(folder);
    MakeMod(2);
    const ConsoleRun run = RunConsoleWithEnvironment(Arguments(), {"HOME=" + home});
    ExpectRemovedFrom(run, folder, WindowsForm(folder));
}

TEST_F(GameSearchTest, AProtonPrefixIsReadAsAWinePrefixAndItsDriveMappedOntoTheHost) {
    const std::string library = home + "/.var/app/com.valvesoftware.Steam/.local/share/Steam";
    const std::string prefix = library + "/steamapps/compatdata/32370/pfx";
    MakePrefix(prefix, Key("Software\\\\BioWare\\\\SW\\\\KOTOR",
                           "C:\\\\Program Files (x86)\\\\Steam\\\\steamapps\\\\common\\\\swkotor"));
    const std::string folder = prefix + "/drive_c/Program Files (x86)/Steam/steamapps/common/swkotor";
    MakeGame(folder);
    MakeMod(1);
    // The run's own prefix (~/.wine) does not map this C: drive: the folder is given on drive Z:.
    const ConsoleRun run = RunConsoleWithEnvironment(Arguments(), {"HOME=" + home});
    ExpectRemovedFrom(run, folder, WindowsForm(folder));
}

TEST_F(GameSearchTest, FindGamesPrintsEveryFolderWhereItCameFromAndWhichOneARunTakes) {
    const std::string prefix = home + "/.wine";
    MakePrefix(prefix, Key("Software\\\\Wow6432Node\\\\BioWare\\\\SW\\\\KOTOR", "C:\\\\KotOR") +
                           Key("Software\\\\LucasArts\\\\KotOR2", "C:\\\\Missing") +
                           Key("Software\\\\Wow6432Node\\\\LucasArts\\\\KotOR2", "D:\\\\No Drive"));
    MakeGame(prefix + "/drive_c/KotOR");
    const std::string steam = home + "/.local/share/Steam";
    Manifest(steam, "32370", "swkotor");
    Manifest(steam, "208580", "Knights of the Old Republic II");
    MakeGame(steam + "/steamapps/common/swkotor");
    MakeGame(steam + "/steamapps/common/Knights of the Old Republic II/steamassets");
    const std::string proton = steam + "/steamapps/compatdata/208580/pfx";
    MakePrefix(proton, Key("Software\\\\Wow6432Node\\\\LucasArts\\\\KotOR2", "Z:\\\\nowhere"));

    const ConsoleRun run = RunConsoleWithEnvironment({"--find-games"}, {"HOME=" + home});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string expected = "K1 " + prefix +
                                 "/drive_c/KotOR (used by a run)\n"
                                 "   run path: C:\\KotOR\n"
                                 "   found in: the Wine prefix " +
                                 prefix +
                                 " (HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\BioWare\\SW\\KOTOR \"Path\")\n"
                                 "K2 D:\\No Drive (not found)\n"
                                 "   run path: D:\\No Drive\n"
                                 "   found in: the Wine prefix " +
                                 prefix +
                                 " (HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\LucasArts\\KotOR2 \"Path\")\n"
                                 "K2 " +
                                 prefix +
                                 "/drive_c/Missing (missing)\n"
                                 "   run path: C:\\Missing\n"
                                 "   found in: the Wine prefix " +
                                 prefix +
                                 " (HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2 \"Path\")\n"
                                 "K1 " +
                                 steam +
                                 "/steamapps/common/swkotor\n"
                                 "   run path: " +
                                 WindowsForm(steam + "/steamapps/common/swkotor") +
                                 "\n"
                                 "   found in: the Steam library " +
                                 steam +
                                 " (app 32370)\n"
                                 "K2 " +
                                 steam +
                                 "/steamapps/common/Knights of the Old Republic II/steamassets (used by a run)\n"
                                 "   run path: " +
                                 WindowsForm(steam + "/steamapps/common/Knights of the Old Republic II/steamassets") +
                                 "\n"
                                 "   found in: the Steam library " +
                                 steam +
                                 " (app 208580, the native port's steamassets)\n"
                                 "K2 /nowhere (missing)\n"
                                 "   run path: Z:\\nowhere\n"
                                 "   found in: the Proton prefix " +
                                 proton +
                                 " (HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\LucasArts\\KotOR2 \"Path\")\n"
                                 "Looked in:\n"
                                 "  the Wine prefix " +
                                 prefix +
                                 ": K1\n"
                                 "  the Steam installation " +
                                 home +
                                 "/.steam/steam: not there\n"
                                 "  the Steam library " +
                                 steam + ": K1 and K2\n" + NoLaunchers(home, "/.local/share/Steam") +
                                 "  the Proton prefix " + proton + ": only folders that are missing\n" +
                                 NoLaunchers(home);
    EXPECT_EQ(run.out, expected);
}

TEST_F(GameSearchTest, NothingFoundTellsWhereItLookedAndWhatToPass) {
    const std::string empty = temp.Path() + "/empty";
    EXPECT_EQ(RunConsoleWithEnvironment({"--find-games"}, {"HOME=" + empty}).out,
              "No game folder found.\n" + NothingIn(empty) + kWhatToPass);

    // A run is told the same before it asks for the folder; a folder answer may begin with ~.
    MakeMod(2);
    WriteFile(answersFile, "0\n0\n~/game\n");  // the confirmation, the "Error" notice, the folder
    MakeGame(empty + "/game");
    const ConsoleRun run = RunConsoleWithEnvironment(Arguments(), {"HOME=" + empty});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const std::string told = "No K2 game folder found.\n" + NothingIn(empty) + kWhatToPass + "\n";
    const std::size_t at = run.out.find(told);
    ASSERT_NE(at, std::string::npos) << run.out;
    EXPECT_LT(at, run.out.find("Unable to locate Kotor folder via registry."));
    EXPECT_NE(ReadFile(logPath).find(GameDirectoryLine(WindowsForm(empty + "/game"))), std::string::npos);
    EXPECT_FALSE(Exists(empty + "/game/override/x.uti"));
}

TEST_F(GameSearchTest, SnapSteamAndTheLaunchersPrefixesWithGogsKeysAreSearched) {
    // Snap's Steam holds K1.
    const std::string snap = home + "/snap/steam/common/.local/share/Steam";
    Manifest(snap, "32370", "swkotor");
    MakeGame(snap + "/steamapps/common/swkotor");
    // A Lutris prefix holds K2 by GOG's key in the 32-bit view, and names a K1 folder without
    // dialog.tlk, which does not count; folders of ~/Games that are no prefix (no drive_c, or no
    // system.reg) are passed over.
    const std::string lutris = home + "/Games/kotor-two";
    MakePrefix(lutris,
               Key("Software\\\\Wow6432Node\\\\GOG.com\\\\Games\\\\1421404581", "C:\\\\GOG Games\\\\KotOR2", "path") +
                   Key("Software\\\\GOG.com\\\\Games\\\\1207666283", "C:\\\\GOG Games\\\\Empty", "path"));
    MakeGame(lutris + "/drive_c/GOG Games/KotOR2");
    MakeFolders(lutris + "/drive_c/GOG Games/Empty");
    MakeFolders(home + "/Games/screenshots/drive_c");
    WriteFile(home + "/Games/registry copy/system.reg", kRegHead + Key("Software\\\\BioWare\\\\SW\\\\KOTOR", "Z:\\\\"));
    // Heroic's default folder and a Flatpak bottle.
    const std::string heroic = home + "/Games/Heroic/Prefixes/default/Star Wars KotOR";
    MakePrefix(heroic, Key("Software\\\\GOG.com\\\\Games\\\\1207666283", "C:\\\\GOG Games\\\\KotOR", "path"));
    MakeGame(heroic + "/drive_c/GOG Games/KotOR");
    const std::string bottles = home + "/.var/app/com.usebottles.bottles/data/bottles/bottles";
    MakePrefix(bottles + "/KotOR", Key("Software\\\\BioWare\\\\SW\\\\KOTOR", "C:\\\\KotOR"));
    MakeFolders(home + "/.local/share/bottles/bottles");

    const ConsoleRun run = RunConsoleWithEnvironment({"--find-games"}, {"HOME=" + home});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string k2 = lutris + "/drive_c/GOG Games/KotOR2";
    EXPECT_EQ(run.out, "K1 " + snap +
                           "/steamapps/common/swkotor (used by a run)\n"
                           "   run path: " +
                           WindowsForm(snap + "/steamapps/common/swkotor") +
                           "\n"
                           "   found in: the Steam library " +
                           snap +
                           " (app 32370)\n"
                           "K2 " +
                           k2 +
                           " (used by a run)\n"
                           "   run path: " +
                           WindowsForm(k2) +
                           "\n"
                           "   found in: the Lutris prefix " +
                           lutris +
                           " (HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\GOG.com\\Games\\1421404581 \"path\")\n"
                           "K1 " +
                           heroic +
                           "/drive_c/GOG Games/KotOR\n"
                           "   run path: " +
                           WindowsForm(heroic + "/drive_c/GOG Games/KotOR") +
                           "\n"
                           "   found in: the Heroic prefix " +
                           heroic +
                           " (HKEY_LOCAL_MACHINE\\Software\\GOG.com\\Games\\1207666283 \"path\")\n"
                           "K1 " +
                           bottles +
                           "/KotOR/drive_c/KotOR (missing)\n"
                           "   run path: " +
                           WindowsForm(bottles + "/KotOR/drive_c/KotOR") +
                           "\n"
                           "   found in: the Bottles prefix " +
                           bottles +
                           "/KotOR (HKEY_LOCAL_MACHINE\\Software\\BioWare\\SW\\KOTOR \"Path\")\n"
                           "Looked in:\n"
                           "  the Wine prefix " +
                           home +
                           "/.wine: not there\n"
                           "  the Steam installation " +
                           home +
                           "/.steam/steam: not there\n"
                           "  the Steam installation " +
                           home +
                           "/.local/share/Steam: not there\n"
                           "  the Steam installation " +
                           home +
                           "/.var/app/com.valvesoftware.Steam/.local/share/Steam: not there\n"
                           "  the Steam library " +
                           snap +
                           ": K1\n"
                           "  the Lutris prefix " +
                           lutris +
                           ": K2\n"
                           "  the Heroic prefixes " +
                           home +
                           "/Games/Heroic/Prefixes/*: no prefix\n"
                           "  the Heroic prefix " +
                           heroic +
                           ": K1\n"
                           "  the Bottles prefixes " +
                           home +
                           "/.local/share/bottles/bottles/*: no prefix\n"
                           "  the Bottles prefix " +
                           bottles + "/KotOR: only folders that are missing\n");

    // A run for K2 takes the Lutris prefix's GOG folder.
    MakeMod(2);
    const ConsoleRun removal = RunConsoleWithEnvironment(Arguments(), {"HOME=" + home});
    ExpectRemovedFrom(removal, k2, WindowsForm(k2));
}

TEST_F(GameSearchTest, TheGameFolderOptionSettlesItAfterTheChecksOfABrowsedFolder) {
    const std::string prefix = home + "/.wine";
    MakePrefix(prefix, Key("Software\\\\BioWare\\\\SW\\\\KOTOR", "C:\\\\KotOR"));
    MakeGame(prefix + "/drive_c/KotOR");
    const std::string folder = temp.Path() + "/chosen";
    MakeGame(folder);
    WriteFile(folder + "/DIALOG.TLK", kTlk);
    ASSERT_EQ(unlink((folder + "/dialog.tlk").c_str()), 0);  // any letter case
    MakeMod(1);
    const ConsoleRun run =
        RunAfterDryRun(Arguments({"--game-folder", folder}), {folder, mod}, logPath, {"HOME=" + home});
    ExpectRemovedFrom(run, folder, WindowsForm(folder));
    EXPECT_TRUE(Exists(prefix + "/drive_c/KotOR/override/x.uti"));
}

TEST_F(GameSearchTest, AGameFolderOptionThatIsNoGameFolderStopsBeforeAnythingIsChanged) {
    const std::string folder = temp.Path() + "/chosen";
    WriteFile(folder + "/override/x.uti", "mod file");
    MakeMod(1);
    const auto modBefore = Snapshot(mod);

    ConsoleRun run = RunConsoleWithEnvironment(Arguments({"--game-folder", folder}), {"HOME=" + home});
    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
    EXPECT_NE(run.out.find("Message: Aborting\n"), std::string::npos);
    EXPECT_NE(run.out.find("Invalid game folder - shutting down."), std::string::npos);

    WriteFile(folder + "/dialog.tlk", "TLK V2.0 another table");
    run = RunConsoleWithEnvironment(Arguments({"--game-folder", WindowsForm(folder)}), {"HOME=" + home});
    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
    EXPECT_NE(run.out.find(
                  "Invalid dialog.tlk file.\n\nIf you've made a testing folder copy the real dialog.tlk to it."),
              std::string::npos);

    run = RunConsoleWithEnvironment(Arguments({"--game-folder", temp.Path() + "/none"}), {"HOME=" + home});
    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
    EXPECT_TRUE(Exists(folder + "/override/x.uti"));
    EXPECT_EQ(Snapshot(mod), modBefore);
    EXPECT_FALSE(Exists(logPath));
}

TEST_F(GameSearchTest, ARegistryFileWinsOverTheSearch) {
    const std::string prefix = home + "/.wine";
    MakePrefix(prefix, Key("Software\\\\BioWare\\\\SW\\\\KOTOR", "C:\\\\KotOR"));
    MakeGame(prefix + "/drive_c/KotOR");
    const std::string folder = temp.Path() + "/from registry file";
    MakeGame(folder);
    WriteFile(temp.Path() + "/registry.txt",
              "HKEY_LOCAL_MACHINE\\Software\\BioWare\\SW\\KOTOR|Path|" + WindowsForm(folder) + "\n");
    MakeMod(1);
    const ConsoleRun run =
        RunConsoleWithEnvironment(Arguments({"--registry", temp.Path() + "/registry.txt"}), {"HOME=" + home});
    ExpectRemovedFrom(run, folder, WindowsForm(folder));
    EXPECT_TRUE(Exists(prefix + "/drive_c/KotOR/override/x.uti"));
}

}  // namespace
}  // namespace zelvane::e2e
