#pragma once
// A removal run over an in-memory game and program folder, with scripted answers, and the literal
// texts of the log and of the questions that the tests compare against.

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/memory/memory_file_system.hpp"
#include "platform/seams/registry.hpp"
#include "removal/removal_log.hpp"
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
inline const std::string kSaves = "D:\\Saves";  // the player's, outside the game and program folders
// The 2da restore's files.
inline const std::string kBackup = kProgram + "\\backup\\appearance.2da";
inline const std::string kBu = kProgram + "\\Backup Uninstall";
inline const std::string kSafety = kBu + "\\original install backup.appearance.2da";
inline const std::string kInOverride = kOverride + "\\appearance.2da";
inline const std::string kInSub = kOverride + "\\sub\\appearance.2da";
inline const std::string kQ = R"(\cf1 QRestore2da: )";
using Files = std::map<std::string, std::string>;

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
        return it == values_.end() ? std::nullopt : std::optional(it->second);
    }
    mutable std::vector<std::string> queries;

private:
    std::map<std::pair<std::string, std::string>, RegistryValue> values_;
};

// A K2 game found through the registry, an empty file list, scripted answers.
struct World {
    World() {
        d.DescriptionPath = kIniPath;
        d.DefaultFormatWidth = 6000;
        d.ConfirmMessage = "Remove the mod?";
        d.ConfirmTitle = "Remove Mod";
        d.ConfirmFormatWidth = 5000;
        d.Game = 2;
        fs.AddFile(kGame + "\\dialog.tlk", "TLK V3.0 strings");
        fs.AddFolder(kOverride);
        registry.SetString(kK1Key, kGame);
        registry.SetString(kK2Key, kGame);
        SetFileList({});
    }

    void SetFileList(std::initializer_list<std::string> entries) {
        std::string text = "#game=2" + CRLF + "#file_list" + CRLF;
        for (const std::string& e : entries) text += e + CRLF;
        fs.AddFile(kIniPath, text);
    }

    // appearance.2da backed up by the mod's installer, to be restored.
    void WithBackup() {
        d.Restore2da = true;
        d.Backup2daAvailable = true;
        d.Backup2daFiles = {kBackup};
        fs.AddFile(kBackup, "backup table");
    }

    // Confirms (unless `confirm` is false), then answers the prompts in order.
    RunResult RunConfirmed(const std::vector<int>& answers = {}, bool confirm = true) {
        if (confirm) ui.promptAnswers.push_back(0);
        for (int a : answers) ui.promptAnswers.push_back(a);
        RunContext context{fs, registry, ui, browser, programFolder};
        context.tableInsight = tableInsight;
        RunResult result = RunRemoval(d, context);
        EXPECT_TRUE(ui.promptAnswers.empty() && ui.openFileAnswers.empty()) << "answers left over";
        return result;
    }

    // Every message box shown: its title, style and text.
    std::vector<std::string> Messages() const {
        std::vector<std::string> shown;
        for (const ShownMessage& m : ui.messages) {
            char style[16];
            std::snprintf(style, sizeof style, "%#x", m.style);
            shown.push_back(m.title + " " + style + ": " + m.text);
        }
        return shown;
    }

    std::string SavedLog() const {
        return fs.Contents(programFolder + "\\uninstall\\removal_results.rtf").value_or("<no log saved>");
    }

    ::testing::AssertionResult Logged(const std::string& line) const {
        const std::string log = SavedLog();
        if (log.find(line) != std::string::npos) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "no line\n  " << line << "\nin\n" << log;
    }

    // Every file now on disk except dialog.tlk, the description and the saved log.
    Files GameFiles() const {
        Files files = fs.Snapshot();
        for (const std::string& path : {kGame + "\\dialog.tlk", kIniPath, kResultsPath}) files.erase(path);
        return files;
    }

    std::string programFolder = kProgram;
    TableInsight tableInsight;
    MemoryFileSystem fs;
    FakeRegistry registry;
    ScriptedUi ui;
    FolderBrowser browser;
    UninstallDescription d;
};

class RemovalRunTest : public ::testing::Test, public World {};

// A prompt's title and how it looks besides its text, in one line to compare.
inline std::string Shape(const PromptRequest& p) {
    std::string s = p.msgTitle + ": icon " + std::to_string(p.iconType) + " [";
    for (const std::string& caption : p.captions) s += caption + "|";
    return s + "] " + std::to_string(p.buttonCount) + " focus " + std::to_string(p.focusIndex) +
           (p.playSound ? " sound" : "") + (p.onTop ? " top" : "") + " font " + std::to_string(p.fontSize) +
           " buttons " + std::to_string(p.buttonWidth) + "x" + std::to_string(p.buttonHeight) + " width " +
           std::to_string(p.formatWidth);
}
inline std::string YesNo(const std::string& title, int width = -1) {
    return title + ": icon 2 [&Yes|&No|||] 2 focus 1 top font 12 buttons 1300x380 width " + std::to_string(width);
}

// The paragraphs of a prompt's text, as it is shown.
inline std::string Paras(std::initializer_list<std::string> paragraphs) {
    std::string text;
    for (const std::string& p : paragraphs) text += (&p == paragraphs.begin() ? "" : "\\par " + CRLF) + p;
    return text;
}

// --- the literal texts of the log ---

inline std::string Blank(int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += "\\par" + CRLF;
    return s;
}

inline std::string ExpectedHeader(int game) {
    return LogDocumentHeader() + R"(\cf6\b Game is K)" + std::to_string(game) + R"(\cf1\b0\par)" + CRLF +
           R"(\cf6\b Game Directory Is: C:\\Games\\Kotor\\\cf1\b0\par)" + CRLF +
           R"(\cf6\b App Directory Is: C:\\Mods\\Tool\\\cf1\b0\par)" + CRLF + Blank(2);
}

inline const std::string kBanner =
    Blank(3) + R"(\cf3\b\fs32 All files in file list successfully removed.\cf1\b0\fs24\par)" + CRLF + Blank(3);

inline const std::string kFyi =
    Blank(2) +
    R"(\cf10\b\fs32 FYI:\fs28  \b0  \ul Prompt Failure\ulnone  means you were going to )"
    R"(be prompted to make a decision but you weren't for the reason specified.\cf1\fs24\par)" +
    CRLF;

inline std::string ExpectedTotals(int errors, int notFound) {
    return Blank(2) + R"(\cf6\b )" + std::to_string(errors) + R"( errors.\b0\par)" + CRLF + R"(\cf6\b )" +
           std::to_string(notFound) + R"( files not found.\b0\par)" + CRLF + Blank(3) + "}";
}

// The whole log of a run whose file list deleted everything, with these lines of the later phases.
inline std::string LogAfterBanner(const std::string& phases, int game = 2) {
    return ExpectedHeader(game) + kBanner + phases + ExpectedTotals(0, 0);
}

// The message of a run that failed on an unexpected error.
inline std::string Oops(int code, const std::string& error) {
    return "Oops! 0x30: Error: " + std::to_string(code) + CRLF + error + CRLF + CRLF + "LOCATION:" + CRLF +
           "cmdRemoveMod_Click";
}

inline std::string Deleted(const std::string& name) { return R"(\cf3 Delete Successful - \cf1 )" + name; }

// --- the 2da restore's questions about appearance.2da, as the player is shown them ---

inline const std::string kTitle = "Confirm appearance.2da replacement";

inline const std::string kNote =
    R"(\cf10\ul\b NOTE:\b0\ulnone\cf1  The \cf5 appearance.2da\cf1  in the override will be )"
    R"(backed up in a folder named \cf5 Backup Uninstall\cf1\ located in the folder this )"
    R"(program is being run from.)";
inline const std::string kReplaceText = Paras(
    {R"(2da replacement is enabled. Would you like to replace the \cf5 appearance.2da\cf1  in the override with )"
     R"(the backup copy generated when you installed this mod?)",
     "", kNote, "",
     R"(\cf10\ul\b NOTE ALSO:\b0\ulnone\cf2  If you have installed \i any\i0  mods that have altered the \cf5 )"
     R"(appearance.2da \cf2 since you installed this one then replacing it is probably a bad idea and \b UNLESS\b0)"
     R"(  you \b REALLY\b0\ know what you are doing then you are advised \b NOT\b0  to replace it.)"});
inline const std::string kAnywayText =
    Paras({R"(2da replacement is enabled.)", R"(However, no \cf5 appearance.2da\cf1  was found in the override.)", "",
           R"(Restore the backup \cf5 appearance.2da\cf1  anyway?)"});

// As shown: measuring the prompt turned its two bare line ends into paragraph marks.
inline std::string FoundText(const std::string& doubled) {
    return Paras(
        {R"(2da replacement is enabled. Would you like to replace the \cf5 appearance.2da\cf1  located at \cf5 )",
         doubled + R"(\cf1 with the backup copy generated when you installed this mod?)", "",
         R"(Selecting \cf7\b yes\b0\cf1  will replace the file.)",
         R"(Selecting \cf7\b no\b0\cf1  will allow you to locate the replace target yourself.)",
         R"(Selecting \cf7\b cancel\b0\cf1  will abort and allow you to do it manually.)", "", kNote, "",
         R"(\cf10\ul\b NOTE ALSO:\b0\ulnone\cf2  If you have installed any mods that have altered the \cf5 )"
         R"(appearance.2da\cf2  since you installed this one then replacing it is probably a bad idea and )"
         R"(\b UNLESS\b0  you \b REALLY\b0\ know what you are doing then you are advised \b NOT\b0  to replace it.)"});
}
inline std::string CopiedAside(const std::string& current, const std::string& file = "appearance.2da") {
    return kQ + R"(\cf3 FileCopy \cf1 )" + current + R"(\cf3  to \cf1 Backup Uninstall\\)" + file + R"(\par)" + CRLF;
}
inline const std::string kSafetyCopied = kQ +
                                         R"(\cf3 FileCopy \cf1 Backup\\appearance.2da\cf3  to \cf1 Backup Uninstall\\)"
                                         R"(original install backup.appearance.2da\par)" +
                                         CRLF;
inline std::string NotRestored(const std::string& reason) {
    return kQ + R"(\cf10 Backup not restored: \cf1 Backup\\appearance.2da\cf10  ()" + reason + R"()\cf1\par)";
}
inline const std::string kInSubShown = R"(C:\\Games\\Kotor\\override\\sub\\appearance.2da)";

}  // namespace zelvane::testing
