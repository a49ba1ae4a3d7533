#pragma once
// What zelvane-console needs of the system it runs on, defined once for each: posix/console_host.cpp
// (Linux, the Windows paths of the core mapped onto the host as under Wine) and
// win32/console_host.cpp (Windows). A host path is a path as the player names it on this system,
// in UTF-8; the core's paths are Windows paths in code page 1252.

#include <memory>
#include <string>
#include <string_view>

#include "app/console/answer_source.hpp"
#include "app/console/console_options.hpp"

namespace CLI {
class App;
}

namespace zelvane::console {

// The parts of --help that differ between systems.
struct SystemHelp {
    std::string_view paths;               // how Windows paths are read here, after the first sentences
    std::string_view noViewer;            // when no viewer opens the log
    std::string_view pathForms;           // the forms a typed path may take, after "a folder"
    std::string_view gameFolder;          // the paragraph on where the game folder comes from
    std::string_view gameFolderWinsOver;  // what --game-folder wins over
    std::string_view printOnlyOptions;    // options besides --usage that print and exit with 0
    std::string_view exitStopped;         // the lines of exit status 2
    std::string_view optionFiles;         // the options naming files that can be unusable
    std::string_view seeAlso;             // the closing words
};
SystemHelp HelpOfThisSystem();

// Adds the options only this system has.
void AddSystemOptions(CLI::App& app, ConsoleOptions& options);

// Standard input is a terminal (a console window on Windows): answers are asked for.
bool StandardInputIsTerminal();
// Standard output is a terminal that shows ANSI colours.
bool StandardOutputShowsColours();

// The separator of host paths.
char HostSeparator();
// A folder the user named, made absolute with its links followed, as a host path.
std::string CanonicalFolder(const std::string& folder);
// The core's Windows path of a host path.
std::string HostToWindows(std::string_view hostPath);
// The core's Windows path of a path the user typed, as an option or at a dialog.
std::string TypedPathToWindows(std::string_view typed);
// A text as one argument of a command the player can type here, quoted when it needs to be.
std::string QuotedArgument(std::string_view text);

// The answers file, opened to be read a line at a time (at most kAnswerLineLimit bytes a line).
// Only a regular file is read: a pipe or a device is refused (notRegular), never waited on; no
// lines and notRegular clear: it cannot be read at all.
struct OpenedAnswers {
    std::unique_ptr<AnswerLines> lines;
    bool notRegular = false;
};
OpenedAnswers OpenAnswersFile(const std::string& path);

// Opens a saved document with the desktop's viewer for it; false when no viewer took it.
bool OpenWithViewer(const std::string& hostPath);

}  // namespace zelvane::console
