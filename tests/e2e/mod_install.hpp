#pragma once
// The base of the end-to-end tests that run the console on a game folder and a mod's program
// folder made in a fresh temporary folder, with the answers and the registry given as files; the
// pieces of the removal log as the console saves it; and a run checked against its dry run.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/e2e_support.hpp"

namespace zelvane::e2e {

inline const std::string kPar = "\\par" + kCrLf;
inline const std::string kThreePars = kPar + kPar + kPar;
inline const std::string kBanner =
    kThreePars + R"(\cf3\b\fs32 All files in file list successfully removed.\cf1\b0\fs24\par)" + kCrLf + kThreePars;
inline const std::string kFyi =
    kPar + kPar +
    R"(\cf10\b\fs32 FYI:\fs28  \b0  \ul Prompt Failure\ulnone  means you were going to be )"
    R"(prompted to make a decision but you weren't for the reason specified.\cf1\fs24\par)" +
    kCrLf;

// The head of the log up to the first entry: the game and the two folders as the log shows them.
std::string LogHeader(int gameNumber, const std::string& gameDisplay, const std::string& appDisplay);
// The counts and the end of the log.
std::string Totals(int errors, int notFound);
inline std::string Deleted(const std::string& display) { return "\\cf3 Delete Successful - \\cf1 " + display; }

// The run after its dry run: the same arguments with --dry-run first, which must leave every file
// and folder of the folders as it was (bytes, mode, modification time), end with the same status
// and print the very log the real run saves. The comparison's failures go to the running test.
ConsoleRun RunAfterDryRun(const Launch& launch, const std::vector<std::string>& folders, const std::string& logPath);

class ModInstallTest : public ::testing::Test {
protected:
    TempFolder temp;
    std::string game = temp.Path() + "/game";
    std::string mod = temp.Path() + "/mod";
    std::string registryFile = temp.Path() + "/registry.txt";
    std::string answersFile = temp.Path() + "/answers.txt";
    std::string logPath = mod + "/uninstall/removal_results.rtf";

    void Game(const std::string& relative, const std::string& bytes) { WriteFile(game + "/" + relative, bytes); }
    void Mod(const std::string& relative, const std::string& bytes) { WriteFile(mod + "/" + relative, bytes); }
    void Description(const std::vector<std::string>& lines) { Mod("uninstall/uninstall_data.ini", CrLfLines(lines)); }
    // The answers to the prompts, one a line.
    void Answers(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) text += line + "\n";
        WriteFile(answersFile, text);
    }
    // A registry file that names the game folder as K1's or K2's.
    void Registry(int gameNumber) {
        const std::string key = gameNumber == 1 ? R"(HKEY_LOCAL_MACHINE\Software\BioWare\SW\KOTOR)"
                                                : R"(HKEY_LOCAL_MACHINE\Software\LucasArts\KotOR2)";
        WriteFile(registryFile, key + "|Path|" + WindowsForm(game) + "\n");
    }
    // A K2 game folder, found through the registry file.
    void K2Game() {
        Game("dialog.tlk", kTlk);
        Registry(2);
    }
    std::string Header(int gameNumber) const {
        return LogHeader(gameNumber, DisplayFolder(WindowsForm(game)), DisplayFolder(WindowsForm(mod)));
    }
    std::vector<std::string> Arguments(const std::vector<std::string>& more = {}) const {
        std::vector<std::string> arguments{"--no-open", "--program-folder", mod,         "--answers",
                                           answersFile, "--registry",       registryFile};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    }
    ConsoleRun RunBothWays() { return RunAfterDryRun(Launch{Arguments()}, {game, mod}, logPath); }
    std::string Log() const { return ReadFile(logPath); }
};

}  // namespace zelvane::e2e
