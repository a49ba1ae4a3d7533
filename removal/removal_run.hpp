#pragma once
// One removal run, as started by "Remove Mod".

#include <functional>
#include <string>

#include "description/uninstall_description.hpp"
#include "platform/seams/file_system.hpp"
#include "platform/seams/registry.hpp"
#include "platform/seams/user_interface.hpp"
#include "util/browse_folders.hpp"

namespace zelvane {

enum class RunOutcome {
    Declined,   // "&No" to the confirmation: nothing changed, the window stays open
    Completed,  // the log was saved (and opened)
    Stopped,    // a stop before the log header: the program closes
    Failed,     // an unexpected error: reported, the program closes
    Ignored,    // a run was already in progress: nothing was done, the running one goes on
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Stopped;
    std::string log;      // RemovalLog as it stood at the end
    std::string logPath;  // where it was saved, when Completed
    int failureCount = 0;
    int notFoundCount = 0;
    int deletedCount = 0;         // files deleted by the file list and the queued deletes
    int restoredCount = 0;        // .original files given their names back
    int tablesRestoredCount = 0;  // 2da tables put back from their backups
    std::string gameFolder;       // the folder the run worked on, once it was found
};

// What the 2da restore tells the player about a table before asking about it. Off by default: the
// prompts and the log are then the same as ever.
struct TableInsight {
    // Compare the table in use with its backup and show, in the prompt, what replacing it would
    // remove or change.
    bool show = false;
    // The mod's own files (the mod's own versions of its tables in its override folder): where a
    // table in use holds no later mod's change to what this mod changed, the prompt offers to take
    // out only this mod's changes (Merge). "" = no Merge.
    std::string modFolder;
};

struct RunContext {
    FileSystem& fs;
    const Registry& registry;
    UserInterface& ui;
    FolderBrowser& browser;
    std::string programFolder;  // no trailing backslash
    // Asked once the game folder is settled, before anything is changed: false stops the run there
    // (the front end has said why). Unset: every folder is taken.
    std::function<bool(const std::string& gameFolder)> acceptGameFolder = nullptr;
    TableInsight tableInsight = {};
};

// A run started while another is in progress does nothing and reports Ignored.
RunResult RunRemoval(UninstallDescription& description, RunContext& context);
// True while a run is in progress (its prompts and dialogs let the window process messages).
bool RunInProgress();

}  // namespace zelvane
