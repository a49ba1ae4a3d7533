#pragma once
// Start-up: single instance, file checks, working copy, loading, caption and defaults.

#include <functional>
#include <string>

#include "description/uninstall_description.hpp"
#include "platform/seams/file_system.hpp"
#include "platform/seams/instance.hpp"
#include "platform/seams/user_interface.hpp"

namespace zelvane {

enum class StartupState { Normal, NormalWithoutDocument, IniError, Ended };

struct StartupOutcome {
    StartupState state = StartupState::Ended;
    UninstallDescription description;
    std::string caption;       // the window caption to show ("Zelvane" when nothing set it)
    std::string documentPath;  // program folder + uninstall\uninstall_info.rtf
    bool documentPresent = false;
};

struct StartupContext {
    FileSystem& fs;
    UserInterface& ui;
    InstanceCheck& instance;
    std::string programFolder;  // no trailing backslash
    // Creates the information display for the document; false when it could not be created,
    // which ends the program. Not called when the document is missing or in the INI-error state.
    std::function<bool(const std::string& documentPath)> showDocument;
};

StartupOutcome RunStartup(StartupContext& context);

inline constexpr const char* kIniErrorNotice = "INI Errors Encountered - Mod Removal Disabled until INI is fixed.";
inline constexpr const char* kNoDocumentNotice = "Uninstall_Info.rtf Was NOT FOUND";

}  // namespace zelvane
