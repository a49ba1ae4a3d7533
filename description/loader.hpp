#pragma once
// Reading uninstall_data.ini into UninstallDescription, with the 2da backup discovery.

#include <string>

#include "description/uninstall_description.hpp"
#include "platform/seams/file_system.hpp"
#include "util/program_error.hpp"

namespace zelvane {

enum class LoadOutcome { EndOfFile, Aborted, Failed };

struct LoadResult {
    LoadOutcome outcome = LoadOutcome::EndOfFile;
    std::string abortMessage;   // for Aborted: the text of the "Aborting" box
    ProgramError error{0, ""};  // for Failed
};

struct LoaderContext {
    const FileSystem& fs;
    std::string programFolder;    // no trailing backslash
    std::string workingCopyPath;  // uninstall\uninstall_data20A.ini, already written
    int twipsPerPixelX = 15;
};

// Reads description.DescriptionPath line by line. On every result the description holds what was read.
LoadResult LoadUninstallDescription(UninstallDescription& description, const LoaderContext& context);

// The built-in confirmation text used when the description gives none.
extern const char* const kBuiltInConfirmMessage;

}  // namespace zelvane
