#pragma once
// The command line of zelvane-console.

#include <optional>
#include <string>
#include <vector>

namespace zelvane::console {

inline constexpr int kExitCompleted = 0;
inline constexpr int kExitIniError = 1;
inline constexpr int kExitStopped = 2;
inline constexpr int kExitBadUse = 3;  // bad arguments, or answers exhausted
inline constexpr int kExitAnotherInstance = 4;
inline constexpr int kExitBadCommandLine = 64;  // a MODDIR that does not exist

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

    // --check: the description is checked instead of run (app/console/check_mode.cpp).
    bool check = false;
    std::string modFolder;   // host path; empty = no comparison with the mod's files
};

struct ParsedCommandLine {
    std::optional<ConsoleOptions> options;  // set when the program is to run
    int exitCode = 0;                       // otherwise: exit with this status (after --help: 0)
};

// Parses argv; prints help and errors itself.
ParsedCommandLine ParseCommandLine(int argc, char** argv);

}  // namespace zelvane::console
