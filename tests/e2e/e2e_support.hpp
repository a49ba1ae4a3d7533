#pragma once
// Helpers of the end-to-end tests: a fresh folder per test, files written and read as bytes, the
// listing of a folder tree, and a run of the real zelvane-console with its output captured.

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace zelvane::e2e {

inline const std::string kCrLf = "\r\n";

// A dialog.tlk as short as the console takes it for the game's own: what marks a game folder.
inline const std::string kTlk = std::string("TLK V3.0") + std::string("\x01\x00\x00\x00\x10\x00\x00\x00", 8);

// Lines joined with CR LF, as mod authors' tools write them.
std::string CrLfLines(const std::vector<std::string>& lines);

// A fresh folder below /tmp, removed with everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Writes the bytes, creating the folders on the way.
void WriteFile(const std::string& path, const std::string& bytes);
void MakeFolders(const std::string& path);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
// chmod; 0444 makes a file read-only the way the console reads it.
void SetMode(const std::string& path, unsigned mode);
// Gives the folder and everything below it to the user (owner and group).
void GiveToUser(const std::string& path, unsigned user);

using Files = std::map<std::string, std::string>;
// Every file below the folder, relative path ("override/sub/x.tga") to its bytes (links read where
// they lead; "<not a regular file>" for a pipe, a device or a dangling link, which are not opened).
Files Snapshot(const std::string& folder);
// Whether one of the files holds exactly these bytes, wherever it lies.
bool ContainsContent(const Files& files, const std::string& bytes);
// Every file and folder below the folder with its bytes (folders: "<folder>"), mode and
// modification time to the nanosecond: what a run that changes nothing leaves alike.
Files StampedSnapshot(const std::string& folder);

// The unprivileged user a player's run is made as, where the tests run as root.
inline constexpr unsigned kNobody = 65534;
inline constexpr unsigned kSameUser = static_cast<unsigned>(-1);

// How zelvane-console is started. Every run gets an empty home folder and no $WINEPREFIX unless
// the environment names them, so that no game installed on the machine is found.
struct Launch {
    std::vector<std::string> arguments;
    std::vector<std::string> environment = {};  // "NAME=value", put over the test's own
    std::string workingFolder = {};             // "" = the test's own
    std::string program = {};                   // "" = the zelvane-console that was built
    unsigned user = kSameUser;                  // another user runs it with the group of the same number
};

struct ConsoleRun {
    int exitCode = -1;  // 128 + the signal for a run that was killed
    std::string out;
    std::string err;
};

// Standard input is /dev/null.
ConsoleRun RunConsole(const Launch& launch);
inline ConsoleRun RunConsole(std::vector<std::string> arguments, std::vector<std::string> environment = {}) {
    return RunConsole(Launch{std::move(arguments), std::move(environment)});
}

// Standard input is a pipe. Once the transcript shows `waitFor`, `between` runs (with the console
// waiting for its answer), then `input` is written and the pipe closed; with `kill` the console is
// killed (SIGKILL) instead. A console that still runs 30 seconds after its start is killed: a run
// that would wait for ever ends as killed.
struct Feed {
    std::string waitFor = {};
    std::function<void()> between = {};
    std::string input = {};
    bool kill = false;
};
ConsoleRun RunFed(const Launch& launch, const Feed& feed);

// On a pseudo-terminal, as a player at a terminal runs it: standard input, output and error are
// the terminal, `input` is typed ahead and followed by the end of input. `out` holds what the
// terminal showed, typed input echoed, with "\n" line ends.
ConsoleRun RunInTerminal(const Launch& launch, const std::string& input);

// "/tmp/x/game" as the console gives it to the core: "Z:\tmp\x\game".
std::string WindowsForm(const std::string& hostPath);
// A folder in the display form of the removal log: backslashes doubled, every folder name in
// proper case, a trailing "\\".
std::string DisplayFolder(const std::string& windowsFolder);

}  // namespace zelvane::e2e
