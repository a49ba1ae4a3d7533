// zelvane-console finds the game by itself in a fake home folder: a Wine prefix's system.reg in
// either registry view, Steam libraries (with and without the K2 native port's steamassets),
// Proton, Snap and Flatpak Steam, the launchers' prefixes; --find-games, --game-folder and
// --registry over the search.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

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

// A game as --find-games lists it: the folder and what became of it, the path a run is given, and
// where it was found (a prefix's key, "Path" or GOG's "path").
std::string Found(const std::string& folder, const std::string& runPath, const std::string& where,
                  const std::string& key = "", const std::string& value = "Path") {
    return folder + "\n   run path: " + runPath + "\n   found in: " + where +
           (key.empty() ? "" : " (HKEY_LOCAL_MACHINE\\Software\\" + key + " \"" + value + "\")") + "\n";
}

// The places of a home folder's search (~), in the order it looks, from `first` up to `end`, none there.
std::string NotThere(const std::string& home, std::size_t first, std::size_t end) {
    std::vector<std::string> places{"Wine prefix ~/.wine",
                                    "Steam installation ~/.steam/steam",
                                    "Steam installation ~/.local/share/Steam",
                                    "Steam installation ~/.var/app/com.valvesoftware.Steam/.local/share/Steam",
                                    "Steam installation ~/snap/steam/common/.local/share/Steam",
                                    "Lutris prefixes ~/Games/*",
                                    "Heroic prefixes ~/Games/Heroic/Prefixes/*",
                                    "Heroic prefixes ~/Games/Heroic/Prefixes/default/*",
                                    "Bottles prefixes ~/.local/share/bottles/bottles/*",
                                    "Bottles prefixes ~/.var/app/com.usebottles.bottles/data/bottles/bottles/*"};
    std::string lines;
    for (std::size_t i = first; i < end; ++i)
        lines += "  the " + places[i].replace(places[i].find('~'), 1, home) + ": not there\n";
    return lines;
}

class GameSearchTest : public ModInstallTest {
protected:
    std::string home = temp.Path() + "/home";
    GameSearchTest() { MakeFolders(home); }
    // A mod for the game whose file list holds override\x.uti, and the answer Yes to the confirmation.
    void MakeMod(int gameNumber) {
        Description("#game=" + std::to_string(gameNumber) + "\n#file_list\noverride\\x.uti\n");
        Answers({"0"});
    }
    static void MakeGame(const std::string& folder) {
        WriteTree(folder, {{"dialog.tlk", kTlk}, {"override/x.uti", "mod file"}});
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
    std::string FindGames() {
        const ConsoleRun run = RunConsole({"--find-games"}, {"HOME=" + home});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return run.out;
    }
    // A run for the mod, after its dry run, removes the file from the folder (given on the drive Z:
    // unless `runPath` names it), which the log names by the path the run gave.
    void ExpectRemovedFrom(const std::string& folder, const std::vector<std::string>& extra = {},
                           const std::string& environment = "", std::string runPath = "") {
        std::vector<std::string> env{"HOME=" + home};
        if (!environment.empty()) env.push_back(environment);
        const ConsoleRun run = RunAfterDryRun(Launch{Arguments(extra), env}, {folder, mod}, logPath);
        ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
        if (runPath.empty()) runPath = WindowsForm(folder);
        ExpectInOrder(Log(), {"\\cf6\\b Game Directory Is: " + DisplayFolder(runPath) + "\\cf1\\b0\\par"});
        EXPECT_FALSE(Exists(folder + "/override/x.uti"));
    }
};

TEST_F(GameSearchTest, WinePrefixesInEitherRegistryViewAndSteamLibrariesOfEveryLayout) {
    // $WINEPREFIX, the redirected view; \x4f is "O" and \\ one backslash.
    const std::string wine = temp.Path() + "/wine";
    MakePrefix(wine, Key("Software\\\\Wow6432Node\\\\BioWare\\\\SW\\\\KOTOR", "C:\\\\Games\\\\Star Wars K\\x4fTOR"));
    MakeGame(wine + "/drive_c/Games/Star Wars KOTOR");
    MakeMod(1);
    ExpectRemovedFrom(wine + "/drive_c/Games/Star Wars KOTOR", {}, "WINEPREFIX=" + wine, "C:\\Games\\Star Wars KOTOR");

    // --wine-prefix, the plain view; the folder found whatever its letter case.
    const std::string other = temp.Path() + "/other prefix";
    MakePrefix(other, Key("Software\\\\LucasArts\\\\KotOR2", "c:\\\\games\\\\kotor2"));
    MakeGame(other + "/drive_c/Games/KotOR2");
    MakeMod(2);
    ExpectRemovedFrom(other + "/drive_c/Games/KotOR2", {"--wine-prefix", other}, "", "c:\\games\\kotor2");

    // The K2 native port in a second Steam library, by its steamassets.
    const std::string steam = home + "/.local/share/Steam";
    const std::string library = temp.Path() + "/SteamLibrary";
    WriteFile(steam + "/steamapps/libraryfolders.vdf",
              "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + steam +
                  "\"\n\t}\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + library +
                  "\"\n\t\t\"apps\"\n\t\t{\n\t\t\t\"208580\"\t\t\"1\"\n\t\t}\n\t}\n}\n");
    Manifest(library, "208580", "Knights of the Old Republic II");
    MakeGame(library + "/steamapps/common/Knights of the Old Republic II/steamassets");
    ExpectRemovedFrom(library + "/steamapps/common/Knights of the Old Republic II/steamassets");

    // Without steamassets: its steamapps/common folder, in the old library list's layout.
    std::remove((steam + "/steamapps/libraryfolders.vdf").c_str());
    const std::string old = temp.Path() + "/Old Library";
    WriteFile(home + "/.steam/steam/steamapps/libraryfolders.vdf",
              "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1700000000\"\n\t\"1\"\t\t\"" + old + "\"\n}\n");
    Manifest(old, "208580", "Knights of the Old Republic II");
    MakeGame(old + "/steamapps/common/Knights of the Old Republic II");
    ExpectRemovedFrom(old + "/steamapps/common/Knights of the Old Republic II");

    // A Proton prefix of Flatpak Steam, read as a Wine prefix; the run's own prefix (~/.wine)
    // does not map its C: drive, so the folder is given on drive Z:.
    const std::string proton =
        home + "/.var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/compatdata/32370/pfx";
    MakePrefix(proton, Key("Software\\\\BioWare\\\\SW\\\\KOTOR",
                           "C:\\\\Program Files (x86)\\\\Steam\\\\steamapps\\\\common\\\\swkotor"));
    MakeGame(proton + "/drive_c/Program Files (x86)/Steam/steamapps/common/swkotor");
    MakeMod(1);
    ExpectRemovedFrom(proton + "/drive_c/Program Files (x86)/Steam/steamapps/common/swkotor");
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
    const std::string port = steam + "/steamapps/common/Knights of the Old Republic II/steamassets";
    MakeGame(port);
    const std::string proton = steam + "/steamapps/compatdata/208580/pfx";
    MakePrefix(proton, Key("Software\\\\Wow6432Node\\\\LucasArts\\\\KotOR2", "Z:\\\\nowhere"));
    const std::string wine = "the Wine prefix " + prefix;
    EXPECT_EQ(FindGames(),
              Found("K1 " + prefix + "/drive_c/KotOR (used by a run)", "C:\\KotOR", wine,
                    "Wow6432Node\\BioWare\\SW\\KOTOR") +
                  Found("K2 D:\\No Drive (not found)", "D:\\No Drive", wine, "Wow6432Node\\LucasArts\\KotOR2") +
                  Found("K2 " + prefix + "/drive_c/Missing (missing)", "C:\\Missing", wine, "LucasArts\\KotOR2") +
                  Found("K1 " + steam + "/steamapps/common/swkotor", WindowsForm(steam + "/steamapps/common/swkotor"),
                        "the Steam library " + steam + " (app 32370)") +
                  Found("K2 " + port + " (used by a run)", WindowsForm(port),
                        "the Steam library " + steam + " (app 208580, the native port's steamassets)") +
                  Found("K2 /nowhere (missing)", "Z:\\nowhere", "the Proton prefix " + proton,
                        "Wow6432Node\\LucasArts\\KotOR2") +
                  "Looked in:\n  " + wine + ": K1\n" + NotThere(home, 1, 2) + "  the Steam library " + steam +
                  ": K1 and K2\n" + NotThere(home, 3, 5) + "  the Proton prefix " + proton +
                  ": only folders that are missing\n" + NotThere(home, 5, 10));
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
    const std::string k2 = lutris + "/drive_c/GOG Games/KotOR2";
    MakeGame(k2);
    MakeFolders(lutris + "/drive_c/GOG Games/Empty");
    MakeFolders(home + "/Games/screenshots/drive_c");
    WriteFile(home + "/Games/registry copy/system.reg", kRegHead + Key("Software\\\\BioWare\\\\SW\\\\KOTOR", "Z:\\\\"));
    // Heroic's default folder and a Flatpak bottle.
    const std::string heroic = home + "/Games/Heroic/Prefixes/default/Star Wars KotOR";
    MakePrefix(heroic, Key("Software\\\\GOG.com\\\\Games\\\\1207666283", "C:\\\\GOG Games\\\\KotOR", "path"));
    MakeGame(heroic + "/drive_c/GOG Games/KotOR");
    const std::string bottle = home + "/.var/app/com.usebottles.bottles/data/bottles/bottles/KotOR";
    MakePrefix(bottle, Key("Software\\\\BioWare\\\\SW\\\\KOTOR", "C:\\\\KotOR"));
    MakeFolders(home + "/.local/share/bottles/bottles");

    EXPECT_EQ(FindGames(),
              Found("K1 " + snap + "/steamapps/common/swkotor (used by a run)",
                    WindowsForm(snap + "/steamapps/common/swkotor"), "the Steam library " + snap + " (app 32370)") +
                  Found("K2 " + k2 + " (used by a run)", WindowsForm(k2), "the Lutris prefix " + lutris,
                        "Wow6432Node\\GOG.com\\Games\\1421404581", "path") +
                  Found("K1 " + heroic + "/drive_c/GOG Games/KotOR", WindowsForm(heroic + "/drive_c/GOG Games/KotOR"),
                        "the Heroic prefix " + heroic, "GOG.com\\Games\\1207666283", "path") +
                  Found("K1 " + bottle + "/drive_c/KotOR (missing)", WindowsForm(bottle + "/drive_c/KotOR"),
                        "the Bottles prefix " + bottle, "BioWare\\SW\\KOTOR") +
                  "Looked in:\n" + NotThere(home, 0, 4) + "  the Steam library " + snap + ": K1\n  the Lutris prefix " +
                  lutris + ": K2\n  the Heroic prefixes " + home + "/Games/Heroic/Prefixes/*: no prefix\n" +
                  "  the Heroic prefix " + heroic + ": K1\n  the Bottles prefixes " + home +
                  "/.local/share/bottles/bottles/*: no prefix\n  the Bottles prefix " + bottle +
                  ": only folders that are missing\n");
    MakeMod(2);  // a run for K2 takes the Lutris prefix's GOG folder
    ExpectRemovedFrom(k2);
}

TEST_F(GameSearchTest, NothingFoundTellsWhereItLookedAndWhatToPass) {
    const std::string nothing = "Looked in:\n" + NotThere(home, 0, 10);
    EXPECT_EQ(FindGames(), "No game folder found.\n" + nothing + kWhatToPass);

    // A run is told the same before it asks for the folder; a typed folder may begin with ~.
    MakeMod(2);
    Answers({"0", "0", "~/game"});  // the confirmation, the "Error" notice, the folder
    MakeGame(home + "/game");
    const ConsoleRun run = RunConsole(Arguments(), {"HOME=" + home});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    ExpectInOrder(run.out, {"No K2 game folder found.\n" + nothing + kWhatToPass + "\n",
                            "Unable to locate Kotor folder via registry.\n\nPlease browse for the folder",
                            "Browse for folder: Find Kotor main folder"});
    EXPECT_FALSE(Exists(home + "/game/override/x.uti"));
}

// --game-folder and --registry settle the folder over the search; a --game-folder that is no
// game folder stops the run (2) before anything is changed.
TEST_F(GameSearchTest, TheGameFolderOptionAndARegistryFileWinOverTheSearch) {
    const std::string prefix = home + "/.wine";
    MakePrefix(prefix, Key("Software\\\\BioWare\\\\SW\\\\KOTOR", "C:\\\\KotOR"));
    MakeGame(prefix + "/drive_c/KotOR");
    const std::string chosen = temp.Path() + "/chosen";
    WriteFile(chosen + "/override/x.uti", "mod file");
    MakeMod(1);
    for (const auto& [argument, told] :
         {std::pair{chosen, std::string("Invalid game folder - shutting down.")},
          std::pair{WindowsForm(chosen),
                    std::string("Invalid dialog.tlk file.\n\nIf "
                                "you've made a testing folder copy the real dialog.tlk to it.")}}) {
        if (argument != chosen) WriteFile(chosen + "/dialog.tlk", "TLK V2.0 another table");
        const ConsoleRun run = RunConsole(Arguments({"--game-folder", argument}), {"HOME=" + home});
        EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
        ExpectInOrder(run.out, {"Message: Aborting\n", told});
        EXPECT_TRUE(Exists(chosen + "/override/x.uti"));
        EXPECT_FALSE(Exists(logPath));
    }

    std::remove((chosen + "/dialog.tlk").c_str());
    WriteFile(chosen + "/DIALOG.TLK", kTlk);  // any letter case
    ExpectRemovedFrom(chosen, {"--game-folder", chosen});
    const std::string listed = temp.Path() + "/from registry file";
    MakeGame(listed);
    WriteFile(registryFile, "HKEY_LOCAL_MACHINE\\Software\\BioWare\\SW\\KOTOR|Path|" + WindowsForm(listed) + "\n");
    ExpectRemovedFrom(listed);  // the registry file, once there is one
    EXPECT_TRUE(Exists(prefix + "/drive_c/KotOR/override/x.uti"));
}

}  // namespace
}  // namespace zelvane::e2e
