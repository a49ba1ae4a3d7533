// zelvane-console on Linux: the terminal is the process's, typed paths are host paths (or Windows
// paths as under Wine), documents open with xdg-open.

#include "app/console/console_host.hpp"

#include <CLI/CLI.hpp>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "app/console/posix/host_path_form.hpp"
#include "platform/posix/host_read.hpp"
#include "platform/seams/read_limits.hpp"

namespace zelvane::console {
namespace {

bool ShellSafe(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("/._-+,:@%").find(c) != std::string_view::npos;
}

}  // namespace

SystemHelp HelpOfThisSystem() {
    SystemHelp help;
    help.paths =
        " Windows paths map onto this machine as under Wine: Z:\\home\\me is /home/me, and names\n"
        "are found whatever their letter case.";
    help.noViewer = "xdg-open missing or failing";
    help.pathForms = " (POSIX or Windows form)";
    help.gameFolder =
        "The game folder comes from --game-folder, else --registry, else it is looked for: the Wine\n"
        "prefix (--wine-prefix, $WINEPREFIX or ~/.wine) and its system.reg, then Steam's libraries\n"
        "(~/.steam/steam, ~/.local/share/Steam, the Flatpak and the Snap Steam) with the games' app\n"
        "manifests and the K2 native port's steamassets folder, then the games' Proton prefixes, then the\n"
        "prefixes of Lutris (~/Games/*), Heroic (~/Games/Heroic/Prefixes/* and default/*) and Bottles\n"
        "(~/.local/share/bottles/bottles/* and the Flatpak's). In a prefix the games' own registry keys\n"
        "count, and GOG's keys when their folder holds dialog.tlk. Nothing found: the run says where it\n"
        "looked and asks for the folder as on Windows (a typed folder may begin with ~). --find-games\n"
        "shows what is found and where it looked.";
    help.gameFolderWinsOver = "--registry and the search";
    help.printOnlyOptions = ", --find-games";
    help.exitStopped =
        "  2   the run stopped before changing anything (no game chosen, no usable game folder, a game\n"
        "      or program folder on read-only media) or ended on an unexpected error\n";
    help.optionFiles = "--answers or --registry file";
    help.seeAlso = " See zelvane-console(1).";
    return help;
}

void AddSystemOptions(CLI::App& app, ConsoleOptions& o) {
    app.add_option(
        "--registry", o.registryFile,
        "Registry values, one a line: HKEY_LOCAL_MACHINE\\Software\\LucasArts\\KotOR2|Path|Z:\\games\\kotor2 "
        "(a missing file or line: the value is absent); given, the games are not looked for");
    app.add_option("--wine-prefix", o.winePrefix,
                   "The Wine prefix that maps drive letters and whose system.reg is searched first "
                   "(default: $WINEPREFIX, else ~/.wine)");
    app.add_flag("--find-games", o.findGames,
                 "Print every game folder found, where it came from and every place looked in, and exit");
}

bool StandardInputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

bool StandardOutputShowsColours() { return isatty(STDOUT_FILENO) == 1; }

char HostSeparator() { return '/'; }

std::string CanonicalFolder(const std::string& folder) {
    char resolved[PATH_MAX];
    if (realpath(folder.c_str(), resolved) != nullptr) return std::string(resolved);
    return AbsoluteHostPath(folder);
}

std::string HostToWindows(std::string_view hostPath) { return HostToWindowsPath(hostPath); }

std::string TypedPathToWindows(std::string_view typed) { return UserPathToWindows(ExpandHome(typed)); }

std::string QuotedArgument(std::string_view text) {
    bool safe = !text.empty();
    for (const char c : text) safe = safe && ShellSafe(c);
    if (safe) return std::string(text);
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

bool OpenWithViewer(const std::string& hostPath) {
    std::string program = "xdg-open";
    std::vector<char*> argv{program.data(), const_cast<char*>(hostPath.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
    // xdg-open hands the file to the desktop's viewer and ends; where it finds none it fails, and
    // where it falls back to a viewer in this terminal, the terminal is that viewer's until it ends.
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

namespace {

class HostAnswerLines final : public AnswerLines {
public:
    explicit HostAnswerLines(const std::string& path) : reader_(path, static_cast<std::size_t>(-1), kAnswerLineLimit) {}
    std::optional<std::string> Next() override { return reader_.Next(); }
    FsStatus Status() const { return reader_.Status(); }

private:
    posix::HostLineReader reader_;
};

}  // namespace

OpenedAnswers OpenAnswersFile(const std::string& path) {
    auto lines = std::make_unique<HostAnswerLines>(path);
    const FsStatus status = lines->Status();
    if (status == FsStatus::Ok) return {std::move(lines), false};
    return {nullptr, status == FsStatus::NotRegularFile};
}

}  // namespace zelvane::console
