// Locating the game folder: registry, browsing, the dialog.tlk check.

#include "tests/removal/run_fixture.hpp"

namespace zelvane::testing {
namespace {

const std::string kBrowsed = "D:\\Test\\Kotor2";

class GameFolder : public RemovalRunTest {
protected:
    GameFolder() {
        registry.Remove(kK2Key);
        fs.AddFolder(kBrowsed + "\\override");
    }
    void CheckRegistryPrompt() {
        ASSERT_GE(ui.prompts.size(), 2u);
        const PromptRequest& p = ui.prompts[1];
        EXPECT_EQ(p.msgText, R"(Unable to locate Kotor folder via registry.\par )" + CRLF + R"(\par )" + CRLF +
                                 "Please browse for the folder");
        EXPECT_EQ(p.msgTitle, "Error");
        EXPECT_EQ(p.iconType, 4);
        EXPECT_EQ(p.buttonCount, 1);
        EXPECT_EQ(p.captions, (std::array<std::string, 4>{"&Ok", "", "", ""}));
        EXPECT_EQ(p.focusIndex, 0);
        EXPECT_FALSE(p.playSound);
        EXPECT_EQ(p.buttonWidth, 1300);
        EXPECT_EQ(p.buttonHeight, 380);
        EXPECT_EQ(p.formatWidth, -1);
        EXPECT_TRUE(p.onTop);
        ASSERT_EQ(ui.browseTitles.size(), 1u);
        EXPECT_EQ(ui.browseTitles[0], "Find Kotor main folder");
        EXPECT_EQ(ui.browseStarts[0], "");
    }
    void ExpectStop(const std::string& text, std::uint32_t style, const RunResult& result) {
        EXPECT_EQ(result.outcome, RunOutcome::Stopped);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, text);
        EXPECT_EQ(ui.messages[0].title, "Aborting");
        EXPECT_EQ(ui.messages[0].style, style);
        EXPECT_FALSE(fs.Exists(kResultsPath));
    }
    const std::string kInvalidFolder = "Invalid game folder - shutting down.";
    const std::string kInvalidTlk =
        "Invalid dialog.tlk file." + CRLF + CRLF + "If you've made a testing folder copy the real dialog.tlk to it.";
};

TEST_F(GameFolder, RegistryFolderIsUsedWithoutTheTlkCheck) {
    registry.SetString(kK2Key, "C:\\Games\\Empty\\");
    fs.AddFolder("C:\\Games\\Empty");
    fs.AddFile("C:\\Games\\Empty\\x.tga", "mod");
    SetFileList({"x.tga", "y.tga"});
    const RunResult result = RunConfirmed();
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(ui.prompts.size(), 1u);
    EXPECT_TRUE(ui.browseTitles.empty());
    // The trailing backslash of the entry is kept and no double separator arises.
    EXPECT_EQ(SavedLog(), ExpectedHeader(2, R"(C:\\Games\\Empty\\)") + Deleted("x.tga") + R"(\cf1\par)" + CRLF +
                              R"(\cf10 File Not Found: \cf1 y.tga\cf1\par)" + CRLF + kNoBanner + ExpectedTotals(0, 1));
}

TEST_F(GameFolder, RegistryNamingAMissingFolderLeadsToBrowsing) {
    registry.SetString(kK2Key, "C:\\Nowhere");
    fs.AddFile(kBrowsed + "\\dialog.tlk", "TLK V3.0");
    ui.browseAnswers = {kBrowsed};
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    CheckRegistryPrompt();
    EXPECT_EQ(SavedLog(), ExpectedHeader(2, R"(D:\\Test\\Kotor2\\)") + kBanner + ExpectedTotals(0, 0));
    EXPECT_EQ(browser.LastBrowsedFolder(), kBrowsed);
}

// Steam's and GOG's entries of the game only place the folder dialog: the player confirms.
class RegisteredStartFolder : public GameFolder {
protected:
    const std::string kSteamK2 = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Steam App 208580";
    const std::string kGogK2 = "Software\\GOG.com\\Games\\1421404581";
    const std::string kSteamFolder = "E:\\Steam\\steamapps\\common\\Knights of the Old Republic II";
    const std::string kGogFolder = "E:\\GOG Games\\Star Wars KotOR2";
    RegisteredStartFolder() {
        for (const std::string& folder : {kSteamFolder, kGogFolder}) fs.AddFolder(folder);
    }
    // The start folder of one run in which the player cancels the dialog.
    std::string StartFolder() {
        ui.browseAnswers = {""};
        RunConfirmed({0});
        CheckPromptsBeforeTheDialog();
        return ui.browseStarts.empty() ? "(no dialog)" : ui.browseStarts[0];
    }
    void CheckPromptsBeforeTheDialog() {
        ASSERT_EQ(ui.prompts.size(), 2u);
        EXPECT_EQ(ui.prompts[1].msgTitle, "Error");
        EXPECT_EQ(ui.browseTitles, std::vector<std::string>{"Find Kotor main folder"});
    }
};

TEST_F(RegisteredStartFolder, TheFirstRegisteredFolderWithADialogTlkIsTheStart) {
    fs.AddFile(kGogFolder + "\\dialog.tlk", "TLK V3.0");
    registry.SetString(kSteamK2, kSteamFolder, "InstallLocation");  // no dialog.tlk there
    registry.SetString(kGogK2, kGogFolder, "path");
    EXPECT_EQ(StartFolder(), kGogFolder);

    fs.AddFile(kSteamFolder + "\\DIALOG.TLK", "TLK V3.0");
    ui = {};
    EXPECT_EQ(StartFolder(), kSteamFolder);
}

TEST_F(RegisteredStartFolder, TheWow6432NodeViewOfTheKeysIsRead) {
    fs.AddFile(kSteamFolder + "\\dialog.tlk", "TLK V3.0");
    registry.SetString("Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Steam App 208580",
                       kSteamFolder, "InstallLocation");
    EXPECT_EQ(StartFolder(), kSteamFolder);
    ui = {};
    registry.Remove("Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Steam App 208580",
                    "InstallLocation");
    registry.SetString("Software\\Wow6432Node\\GOG.com\\Games\\1421404581", kSteamFolder, "path");
    EXPECT_EQ(StartFolder(), kSteamFolder);
}

TEST_F(RegisteredStartFolder, OnlyTheChosenGamesEntriesCount) {
    fs.AddFile(kSteamFolder + "\\dialog.tlk", "TLK V3.0");
    fs.AddFile(kGogFolder + "\\dialog.tlk", "TLK V3.0");
    registry.SetString("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Steam App 32370", kSteamFolder,
                       "InstallLocation");
    registry.SetString("Software\\GOG.com\\Games\\1207666283", kGogFolder, "path");
    registry.SetString(kSteamK2, kSteamFolder, "Path");  // another value of the right key
    EXPECT_EQ(StartFolder(), "");
}

TEST_F(RegisteredStartFolder, AFolderWhoseDialogTlkIsNoNormalFileIsNoStart) {
    Attributes hidden;
    hidden.hidden = true;
    fs.AddFile(kGogFolder + "\\dialog.tlk", "TLK V3.0", hidden);
    fs.AddFolder(kSteamFolder + "\\dialog.tlk");
    registry.SetString(kSteamK2, kSteamFolder, "InstallLocation");
    registry.SetString(kGogK2, kGogFolder, "path");
    EXPECT_EQ(StartFolder(), "");
}

TEST_F(RegisteredStartFolder, ThePlayerConfirmsTheStartFolderAndItIsCheckedAsAnyBrowsedFolder) {
    fs.AddFile(kGogFolder + "\\dialog.tlk", "TLK V3.0");
    registry.SetString(kGogK2, kGogFolder, "path");
    ui.browseAnswers = {kGogFolder};
    EXPECT_EQ(RunConfirmed({0}).outcome, RunOutcome::Completed);
    CheckPromptsBeforeTheDialog();
    EXPECT_EQ(ui.browseStarts, std::vector<std::string>{kGogFolder});
    EXPECT_EQ(SavedLog(), ExpectedHeader(2, R"(E:\\Gog Games\\Star Wars Kotor2\\)") + kBanner + ExpectedTotals(0, 0));

    // A registered folder whose dialog.tlk carries another header is still a start, and then stops.
    fs.AddFile(kGogFolder + "\\dialog.tlk", "TLK V2.0");
    fs.Delete(kResultsPath);
    ui = {};
    ui.browseAnswers = {kGogFolder};
    ExpectStop(kInvalidTlk, 0x1030u, RunConfirmed({0}));
}

TEST_F(GameFolder, ShortRegistryFolderIsShownInItsLongForm) {
    fs.AddFolder("C:\\Program Files\\LucasArts\\SWKotOR2");
    fs.AddFile("C:\\Program Files\\LucasArts\\SWKotOR2\\dialog.tlk", "TLK V3.0");
    fs.SetShortName("C:\\Program Files", "PROGRA~1");
    registry.SetString(kK2Key, "C:\\PROGRA~1\\LucasArts\\SWKotOR2");
    RunConfirmed();
    EXPECT_EQ(SavedLog(),
              ExpectedHeader(2, R"(C:\\Program Files\\Lucasarts\\Swkotor2\\)") + kBanner + ExpectedTotals(0, 0));
}

TEST_F(GameFolder, CancelledBrowseStops) {
    ui.browseAnswers = {""};
    const RunResult result = RunConfirmed({0});
    CheckRegistryPrompt();
    ExpectStop(kInvalidFolder, 0x1040u, result);
}

TEST_F(GameFolder, BrowsedFolderThatDoesNotExistStops) {
    ui.browseAnswers = {"D:\\Gone"};
    ExpectStop(kInvalidFolder, 0x1040u, RunConfirmed({-1}));
}

TEST_F(GameFolder, MissingTlkStops) {
    ui.browseAnswers = {kBrowsed};
    ExpectStop(kInvalidFolder, 0x1040u, RunConfirmed({0}));
}

TEST_F(GameFolder, HiddenTlkStops) {
    Attributes hidden;
    hidden.hidden = true;
    fs.AddFile(kBrowsed + "\\dialog.tlk", "TLK V3.0", hidden);
    ui.browseAnswers = {kBrowsed};
    ExpectStop(kInvalidFolder, 0x1040u, RunConfirmed({0}));
}

TEST_F(GameFolder, SystemTlkStops) {
    Attributes system;
    system.system = true;
    fs.AddFile(kBrowsed + "\\dialog.tlk", "TLK V3.0", system);
    ui.browseAnswers = {kBrowsed};
    ExpectStop(kInvalidFolder, 0x1040u, RunConfirmed({0}));
}

TEST_F(GameFolder, FolderNamedDialogTlkStops) {
    fs.AddFolder(kBrowsed + "\\dialog.tlk");
    ui.browseAnswers = {kBrowsed};
    ExpectStop(kInvalidFolder, 0x1040u, RunConfirmed({0}));
}

TEST_F(GameFolder, ShortTlkIsInvalid) {
    fs.AddFile(kBrowsed + "\\dialog.tlk", "TLK V3.");
    ui.browseAnswers = {kBrowsed};
    ExpectStop(kInvalidTlk, 0x1030u, RunConfirmed({0}));
}

TEST_F(GameFolder, OtherHeaderIsInvalid) {
    fs.AddFile(kBrowsed + "\\dialog.tlk", "TLK V4.0 and more");
    ui.browseAnswers = {kBrowsed};
    ExpectStop(kInvalidTlk, 0x1030u, RunConfirmed({0}));
}

TEST_F(GameFolder, LowerCaseHeaderIsInvalid) {
    fs.AddFile(kBrowsed + "\\dialog.tlk", "tlk v3.0");
    ui.browseAnswers = {kBrowsed};
    ExpectStop(kInvalidTlk, 0x1030u, RunConfirmed({0}));
}

TEST_F(GameFolder, UpperCaseTlkNameWithTheHeaderPasses) {
    fs.AddFile(kBrowsed + "\\DIALOG.TLK", std::string("TLK V3.0") + std::string(3, '\0'));
    // Only its header is read, however large it is.
    fs.FailOperation(FsOp::ReadAll, "dialog.tlk", FsStatus::TooLarge);
    fs.AddFile(kBrowsed + "\\override\\x.tga", "mod");
    SetFileList({"override\\x.tga"});
    ui.browseAnswers = {kBrowsed};
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_FALSE(fs.Exists(kBrowsed + "\\override\\x.tga"));
    EXPECT_EQ(SavedLog(), ExpectedHeader(2, R"(D:\\Test\\Kotor2\\)") + Deleted(R"(Override\\x.tga)") + R"(\cf1\par)" +
                              CRLF + kBanner + ExpectedTotals(0, 0));
}

TEST_F(GameFolder, TlkThatCannotBeReadIsAnUnexpectedError) {
    fs.AddFile(kBrowsed + "\\dialog.tlk", "TLK V3.0");
    fs.FailOperation(FsOp::ReadHead, "dialog.tlk", FsStatus::IoError);
    ui.browseAnswers = {kBrowsed};
    const RunResult result = RunConfirmed({0});
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Oops!");
    EXPECT_NE(ui.messages[0].text.find("cmdRemoveMod_Click"), std::string::npos);
}

}  // namespace
}  // namespace zelvane::testing
