#pragma once
// A removal run over an in-memory game and program folder, with scripted answers, and the
// literal texts of the log that every test compares against.

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/memory/memory_file_system.hpp"
#include "platform/seams/registry.hpp"
#include "removal/removal_run.hpp"
#include "tests/support/scripted_ui.hpp"
#include "util/browse_folders.hpp"

namespace zelvane::testing {

inline const std::string CRLF = "\r\n";
inline const std::string kProgram = "C:\\Mods\\Tool";
inline const std::string kGame = "C:\\Games\\Kotor";
inline const std::string kOverride = "C:\\Games\\Kotor\\override";
inline const std::string kIniPath = "C:\\Mods\\Tool\\uninstall\\uninstall_data.ini";
inline const std::string kResultsPath = "C:\\Mods\\Tool\\uninstall\\removal_results.rtf";
inline const std::string kK1Key = "Software\\BioWare\\SW\\KOTOR";
inline const std::string kK2Key = "Software\\LucasArts\\KotOR2";

class FakeRegistry : public Registry {
public:
    void SetString(const std::string& key, const std::string& value, const std::string& valueName = "Path") {
        values_[{key, valueName}] = RegistryValue{kRegSz, value + std::string(1, '\0')};
    }
    void Remove(const std::string& key, const std::string& valueName = "Path") { values_.erase({key, valueName}); }
    std::optional<RegistryValue> Query(std::uint32_t root, std::string_view keyPath,
                                       std::string_view valueName) const override {
        queries.emplace_back(keyPath);
        if (root != kHkeyLocalMachine) return std::nullopt;
        auto it = values_.find({std::string(keyPath), std::string(valueName)});
        if (it == values_.end()) return std::nullopt;
        return it->second;
    }
    mutable std::vector<std::string> queries;

private:
    std::map<std::pair<std::string, std::string>, RegistryValue> values_;
};

class RemovalRunTest : public ::testing::Test {
protected:
    RemovalRunTest() {
        d.DescriptionPath = kIniPath;
        d.DefaultFormatWidth = 6000;
        d.ConfirmMessage = "Remove the mod?";
        d.ConfirmTitle = "Remove Mod";
        d.ConfirmFormatWidth = 5000;
        d.Game = 2;
        fs.AddFolder(kProgram + "\\uninstall");
        fs.AddFile(kGame + "\\dialog.tlk", "TLK V3.0 strings");
        fs.AddFolder(kOverride);
        registry.SetString(kK1Key, kGame);
        registry.SetString(kK2Key, kGame);
        SetFileList({});
    }

    // The description file: "#file_list" followed by the entries.
    void SetFileList(std::initializer_list<std::string> entries) {
        std::string text = "#game=2" + CRLF + "#file_list" + CRLF;
        for (const std::string& e : entries) text += e + CRLF;
        fs.AddFile(kIniPath, text);
    }

    RunResult Run(std::initializer_list<int> answers = {}) {
        for (int a : answers) ui.promptAnswers.push_back(a);
        RunContext context{fs, registry, ui, browser, programFolder};
        context.acceptGameFolder = acceptGameFolder;
        context.tableInsight = tableInsight;
        RunResult result = RunRemoval(d, context);
        EXPECT_TRUE(ui.promptAnswers.empty()) << "prompt answers left over";
        return result;
    }

    // Confirms, then answers the prompts of the phases.
    RunResult RunConfirmed(std::initializer_list<int> answers = {}) {
        ui.promptAnswers.push_back(0);
        return Run(answers);
    }

    std::string SavedLog() const { return fs.Contents(kResultsPath).value_or("<no log saved>"); }

    // Every file now on disk except the description and the saved log.
    std::map<std::string, std::string> GameFiles() const {
        std::map<std::string, std::string> files = fs.Snapshot();
        files.erase(kIniPath);
        files.erase(kResultsPath);
        return files;
    }

    std::string programFolder = kProgram;
    std::function<bool(const std::string&)> acceptGameFolder;
    TableInsight tableInsight;
    MemoryFileSystem fs;
    FakeRegistry registry;
    ScriptedUi ui;
    FolderBrowser browser;
    UninstallDescription d;
};

// --- the literal texts of the log ---

inline std::string Blank(int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += "\\par" + CRLF;
    return s;
}

inline std::string ExpectedHeader(int game, const std::string& gameDir = R"(C:\\Games\\Kotor\\)",
                                  const std::string& appDir = R"(C:\\Mods\\Tool\\)") {
    return R"({\rtf1\ansi\ansicpg1252\deff0\deflang1033{\fonttbl{\f0\fnil\fcharset0 Times New Roman;}})" + CRLF +
           R"({\colortbl ;\red0\green0\blue0;\red128\green0\blue0;\red0\green128\blue0;\red128\green128\blue0;)"
           R"(\red0\green0\blue128;\red128\green0\blue128;\red0\green128\blue128;\red128\green128\blue128;)"
           R"(\red192\green192\blue192;\red255\green0\blue0;\red0\green255\blue0;\red255\green255\blue0;)"
           R"(\red0\green0\blue255;\red255\green0\blue255;\red0\green255\blue255;\red255\green255\blue255;})" +
           CRLF + R"(\viewkind4\uc1\pard\cf1\f0\fs24 )" + R"(\cf6\b Game is K)" + std::to_string(game) +
           R"(\cf1\b0\par)" + CRLF + R"(\cf6\b Game Directory Is: )" + gameDir + R"(\cf1\b0\par)" + CRLF +
           R"(\cf6\b App Directory Is: )" + appDir + R"(\cf1\b0\par)" + CRLF + Blank(2);
}

inline const std::string kBanner =
    Blank(3) + R"(\cf3\b\fs32 All files in file list successfully removed.\cf1\b0\fs24\par)" + CRLF + Blank(3);
inline const std::string kNoBanner = Blank(3);

inline const std::string kFyi =
    Blank(2) +
    R"(\cf10\b\fs32 FYI:\fs28  \b0  \ul Prompt Failure\ulnone  means you were going to )"
    R"(be prompted to make a decision but you weren't for the reason specified.\cf1\fs24\par)" +
    CRLF;

inline std::string ExpectedTotals(int errors, int notFound) {
    return Blank(2) + R"(\cf6\b )" + std::to_string(errors) + R"( errors.\b0\par)" + CRLF + R"(\cf6\b )" +
           std::to_string(notFound) + R"( files not found.\b0\par)" + CRLF + Blank(3) + "}";
}

inline std::string Deleted(const std::string& name) { return R"(\cf3 Delete Successful - \cf1 )" + name; }

}  // namespace zelvane::testing
