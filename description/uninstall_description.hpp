#pragma once
// The in-memory record of uninstall_data.ini. Widths are twips; 0 or less means "not given".

#include <cstdint>
#include <string>
#include <vector>

namespace zelvane {

// A queued delete or restore: the file, relative to the game folder, the prompt text the player is
// asked with, and the prompt's width.
struct QueuedEntry {
    std::string path;
    std::string prompt;
    std::int32_t width = 0;

    friend bool operator==(const QueuedEntry&, const QueuedEntry&) = default;
};

struct UninstallDescription {
    std::string DescriptionPath;
    std::int32_t DefaultFormatWidth = 0;
    std::string WindowCaption;
    bool HasWindowCaption = false;
    std::int16_t Game = 0;
    bool GameSelect = false;
    std::string ConfirmMessage;
    std::string ConfirmTitle;
    std::int32_t ConfirmFormatWidth = 0;
    bool ConfirmBeep = false;
    std::string ExplicitInstructions;
    bool HasExplicitInstructions = false;
    std::string ExplicitTitle;
    std::int32_t ExplicitIcon = 1;
    std::int32_t ExplicitFormatWidth = 0;
    bool ExplicitBeep = false;
    std::vector<QueuedEntry> QueuedDeletes;  // in file order
    std::vector<QueuedEntry> QueuedRestores;
    bool Restore2da = false;
    std::vector<std::string> Backup2daFiles;  // full paths, in listing order
    bool Backup2daAvailable = false;
    std::string Missing2daReport;
};

}  // namespace zelvane
