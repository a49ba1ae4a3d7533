// Names from the disk and from the answers on their way to the real console's terminal: a folder
// named with ESC, BEL, a lone byte 0x9B or the C1 control U+009B (a one-character CSI) shows
// without them in Saved:, Opening:, --find-games and the echo of an answer.

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/e2e_support.hpp"
#include "tests/e2e/mod_install_test.hpp"

namespace zelvane::e2e {
namespace {

const std::string kReplacement = "\xef\xbf\xbd";  // U+FFFD, for a byte that is no UTF-8

// What in a transcript a terminal would take as a command: "" when nothing. Line ends are text.
std::string FirstControl(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c < 0x20 && c != '\n') || c == 0x7F) return "byte " + std::to_string(c) + " at " + std::to_string(i);
        if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            return "U+00" + std::to_string(static_cast<unsigned char>(text[i + 1])) + " at " + std::to_string(i);
        }
        if (c >= 0x80) {  // the bytes of one UTF-8 character, a lone 0x80-0x9F among them not
            const int length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
            if (length == 0 || i + length > text.size())
                return "a lone byte " + std::to_string(c) + " at " + std::to_string(i);
            for (int k = 1; k < length; ++k) {
                if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                    return "a broken character at " + std::to_string(i);
            }
            i += length - 1;
        }
    }
    return "";
}

class ConsoleTerminalNamesTest : public ModInstallTest {
protected:
    ConsoleTerminalNamesTest() {
        mod = temp.Path() +
              "/mod\xc2\x9b"
              "2J";  // U+009B 2 J: a terminal would clear its screen
        logPath = mod + "/uninstall/removal_results.rtf";
        Description({"#game=2", "#file_list", "override\\x.uti"});
        Game("dialog.tlk", kTlk);
        Game("override/x.uti", "x");
        Registry(2);
        Answers({"0"});
    }
    std::string shownLog = temp.Path() + "/mod2J/uninstall/removal_results.rtf";
};

TEST_F(ConsoleTerminalNamesTest, SavedShowsTheLogsPathWithoutItsControl) {
    const ConsoleRun run =
        RunConsole({"--no-open", "--program-folder", mod, "--answers", answersFile, "--registry", registryFile});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_TRUE(Exists(logPath));
    EXPECT_NE(run.out.find("\nSaved: " + shownLog + "\n"), std::string::npos) << run.out;
    EXPECT_EQ(FirstControl(run.out), "");
}

TEST_F(ConsoleTerminalNamesTest, OpeningShowsTheLogsPathWithoutItsControl) {
    const std::string bin = temp.Path() + "/bin";
    WriteFile(bin + "/xdg-open", "#!/bin/sh\nexit 0\n");
    SetMode(bin + "/xdg-open", 0755);
    const ConsoleRun run =
        RunConsoleWithEnvironment({"--program-folder", mod, "--answers", answersFile, "--registry", registryFile},
                                  {"PATH=" + bin + ":/usr/bin:/bin"});
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("\nOpening: " + shownLog + "\n"), std::string::npos) << run.out;
    EXPECT_EQ(FirstControl(run.out), "");
}

TEST_F(ConsoleTerminalNamesTest, AnAnswerThatNamesNoButtonIsEchoedWithoutItsControls) {
    Answers({"7\x1b[2J\x07"});
    const ConsoleRun run =
        RunConsole({"--no-open", "--program-folder", mod, "--answers", answersFile, "--registry", registryFile});
    EXPECT_EQ(run.exitCode, 3) << run.out << run.err;
    EXPECT_NE(run.err.find("the answer \"7[2J\" names no button"), std::string::npos) << run.err;
    EXPECT_EQ(FirstControl(run.err), "");
    EXPECT_TRUE(Exists(game + "/override/x.uti"));
}

TEST_F(ConsoleTerminalNamesTest, FindGamesShowsAFolderWithoutItsControls) {
    const std::string home = temp.Path() + "/home";
    const std::string steam = home + "/.local/share/Steam";
    const std::string library = temp.Path() +
                                "/Library\x1b[2J\x07\x9b"
                                "X";
    WriteFile(steam + "/steamapps/libraryfolders.vdf",
              "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + library + "\"\n\t}\n}\n");
    WriteFile(library + "/steamapps/appmanifest_32370.acf",
              "\"AppState\"\n{\n\t\"appid\"\t\t\"32370\"\n\t\"installdir\"\t\t\"swkotor\"\n}\n");
    WriteFile(library + "/steamapps/common/swkotor/dialog.tlk", kTlk);
    const ConsoleRun run = RunConsoleWithEnvironment({"--find-games"}, {"HOME=" + home});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string shown = temp.Path() + "/Library[2J" + kReplacement + "X";
    EXPECT_NE(run.out.find("K1 " + shown + "/steamapps/common/swkotor (used by a run)\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("   found in: the Steam library " + shown + " (app 32370)\n"), std::string::npos) << run.out;
    EXPECT_EQ(FirstControl(run.out), "");
}

}  // namespace
}  // namespace zelvane::e2e
