#pragma once
// A full removal over an in-memory game and program folder, with "&Yes" to every prompt, and the
// checks that every run must pass whatever went wrong on the way: nothing the player owns is lost,
// the run ends in one of its known ways, and a saved log is well-formed RTF whose failure lines
// add up to the total it prints.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "description/loader.hpp"
#include "platform/memory/memory_file_system.hpp"
#include "platform/seams/registry.hpp"
#include "removal/removal_run.hpp"
#include "tests/reliability/recording_file_system.hpp"
#include "tests/support/scripted_ui.hpp"
#include "util/browse_folders.hpp"

namespace zelvane::testing {

inline const std::string kSweepProgram = "C:\\Mods\\Tool";
inline const std::string kSweepGame = "C:\\Games\\Kotor";
inline const std::string kSweepIni = kSweepProgram + "\\uninstall\\uninstall_data.ini";
inline const std::string kSweepWorkingCopy = kSweepProgram + "\\uninstall\\uninstall_data20A.ini";
inline const std::string kSweepResults = kSweepProgram + "\\uninstall\\removal_results.rtf";

// The registry of a machine with both games installed in the same folder.
class SweepRegistry : public Registry {
public:
    explicit SweepRegistry(std::string gameFolder) : gameFolder_(std::move(gameFolder)) {}
    std::optional<RegistryValue> Query(std::uint32_t root, std::string_view,
                                       std::string_view valueName) const override {
        if (root != kHkeyLocalMachine || valueName != "Path") return std::nullopt;
        return RegistryValue{kRegSz, gameFolder_ + std::string(1, '\0')};
    }

private:
    std::string gameFolder_;
};

// Answers the first button of every prompt and cancels every folder and open-file dialog.
class YesToAllUi : public ScriptedUi {
public:
    int MsgBoxEx(PromptRequest request) override {
        prompts.push_back(std::move(request));
        return 0;
    }
    std::string OpenFileDialog(const OpenFileRequest& request) override {
        openFileRequests.push_back(request);
        return "";
    }
    // Asked only when the game folder of the registry does not pass its check.
    std::string BrowseFolderDialog(std::string_view startFolder, std::string_view title) override {
        browseStarts.emplace_back(startFolder);
        browseTitles.emplace_back(title);
        return "";
    }
};

struct SweepOptions {
    int game = 2;
    bool earlierRun = true;           // Backup Uninstall and a read-only removal_results.rtf from an earlier run
    bool programOnOwnVolume = false;  // the program folder on another volume than the game
};

// What one run left behind.
struct SweepRun {
    RunResult result;
    std::map<std::string, std::string> before;
    std::map<std::string, std::string> after;
    std::vector<MutationRecord> mutations;
    std::vector<MutationRecord> reads;  // the reading calls of the run (loading the description not counted)
    std::vector<ShownMessage> messages;
    std::size_t prompts = 0;
};

// Builds the folders of the scenario into fs.
void BuildScenario(MemoryFileSystem& fs, const SweepOptions& options);

// Paths (folded to lower case) whose loss the player agreed to: the file list, the queued deletes,
// the mod's files of the queued restores, and the program's own copies of an earlier run.
std::set<std::string> AgreedDeletions(const SweepOptions& options);

struct ReadFault {
    std::size_t index = 0;  // which reading call of the run fails, 0-based
    FsStatus status = FsStatus::IoError;
};

// Loads the description and runs the removal; setUp runs after the scenario is built and before
// the run (it injects the faults); readFault fails one reading call of the run.
SweepRun RunSweep(const SweepOptions& options, const std::function<void(MemoryFileSystem&)>& setUp,
                  std::optional<ReadFault> readFault = std::nullopt);

// The invariant checks. Each returns an empty string when the check holds, else what broke.
std::string CheckNothingLost(const SweepRun& run, const SweepOptions& options);
std::string CheckLogWellFormed(const std::string& log);
std::string CheckFailureCount(const RunResult& result);
// The number of failure lines of a log that the run counts.
int CountedFailureLines(const std::string& log);
// Whether the log shows any failure at all, copy failures included.
bool LogShowsFailure(const std::string& log);

}  // namespace zelvane::testing
