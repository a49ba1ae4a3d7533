#pragma once
// The command line of zelvane-console.

#include <optional>
#include <string>
#include <vector>

namespace zelvane::console {

// The exit statuses of a run (--check has its own: app/console/check_mode.hpp).
inline constexpr int kExitCompleted = 0;         // completed without a counted error, or declined
inline constexpr int kExitIniError = 1;          // the description has errors: removal disabled
inline constexpr int kExitStopped = 2;           // stopped before changing anything, or an unexpected error
inline constexpr int kExitAnswersExhausted = 3;  // the answers ran out (or named no button)
inline constexpr int kExitAnotherInstance = 4;   // another run holds the program folder
inline constexpr int kExitErrorsCounted = 5;     // completed (a dry run too), and its log counts errors
inline constexpr int kExitBadUse = 64;           // bad command line, or an unusable file named by an option

struct ConsoleOptions {
    std::string programFolder;  // host path; empty = MODDIR, the current folder or the executable's
    std::string modDir;         // the MODDIR argument, the same as --program-folder
    std::string registryFile;   // empty = no registry values
    std::string answersFile;    // empty = standard input
    bool noOpen = false;
    bool noColor = false;
    bool usage = false;
    std::string gameFolder;  // settles the game folder (checked as a browsed folder is); with --check, compared
    std::string winePrefix;  // empty = $WINEPREFIX, else ~/.wine
    bool findGames = false;  // print the game folders found and exit
    bool dryRun = false;     // changes held in memory, the plan and the log printed
    // The mod's files as it installs them (host path): in a run, its own versions of the 2da tables
    // for Merge; with --check, compared with the description. Empty = neither.
    std::string modFolder;

    // --check: the description is checked instead of run (app/console/check_mode.cpp).
    bool check = false;
};

struct ParsedCommandLine {
    std::optional<ConsoleOptions> options;  // set when the program is to run
    int exitCode = 0;                       // otherwise: exit with this status (after --help: 0)
};

// Parses argv; prints help and errors itself.
ParsedCommandLine ParseCommandLine(int argc, char** argv);

}  // namespace zelvane::console
