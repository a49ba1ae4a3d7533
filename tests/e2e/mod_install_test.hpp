#pragma once
// The base of the end-to-end tests that run the console on a game folder and a mod's program
// folder made in a fresh temporary folder, with the answers and the registry given as files.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/e2e_support.hpp"
#include "tests/e2e/removal_log_text.hpp"

namespace zelvane::e2e {

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
    std::string Header(int gameNumber) const {
        return LogHeader(gameNumber, DisplayFolder(WindowsForm(game)), DisplayFolder(WindowsForm(mod)));
    }
};

}  // namespace zelvane::e2e
