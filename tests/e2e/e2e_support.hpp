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

// Every file below the folder, relative path ("override/sub/x.tga") to its bytes (links read where
// they lead; "<not a regular file>" for a pipe, a device or a dangling link, which are not opened).
std::map<std::string, std::string> Snapshot(const std::string& folder);
// Whether one of the files of a snapshot holds exactly these bytes, wherever it lies.
bool ContainsContent(const std::map<std::string, std::string>& files, const std::string& bytes);

// Every file and folder below the folder, relative path to its bytes (folders: "<folder>"),
// mode and modification time to the nanosecond: what a run that changes nothing leaves alike.
std::map<std::string, std::string> StampedSnapshot(const std::string& folder);

struct ConsoleRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs zelvane-console with the arguments; standard input is /dev/null. Every run gets an empty
// home folder and no $WINEPREFIX unless the environment given names them, so that no game
// installed on the machine is found.
ConsoleRun RunConsole(const std::vector<std::string>& arguments);

// The unprivileged user a player's run is made as, where the tests run as root.
inline constexpr unsigned kNobody = 65534;
inline constexpr unsigned kSameUser = static_cast<unsigned>(-1);

// Runs zelvane-console as another user (its group of the same number), as RunConsole does. The
// folders it works in must be theirs (GiveToUser) or open to them.
ConsoleRun RunConsoleAsUser(unsigned user, const std::vector<std::string>& arguments);

// Runs zelvane-console with standard input from a pipe that gets nothing, and kills it (SIGKILL)
// once its transcript shows `waitFor` (never, when it is empty), or when it still runs after 30
// seconds: a run that would wait for ever ends as killed.
ConsoleRun RunConsoleKilledAt(const std::vector<std::string>& arguments, const std::string& waitFor,
                              const std::vector<std::string>& environment = {});

// Runs zelvane-console with these environment entries ("NAME=value") put over the test's own.
ConsoleRun RunConsoleWithEnvironment(const std::vector<std::string>& arguments,
                                     const std::vector<std::string>& environment);

// Runs zelvane-console (the executable `program`, or the one that was built when empty) in the
// working folder, with standard input from /dev/null.
ConsoleRun RunConsoleIn(const std::string& workingFolder, const std::vector<std::string>& arguments,
                        const std::string& program = "");

// Runs zelvane-console on a pseudo-terminal, as a player at a terminal does: standard input,
// output and error are the terminal, `input` is typed ahead and followed by the end of input.
// `out` holds what the terminal showed, typed input echoed, with "\n" line ends; `err` is empty.
ConsoleRun RunConsoleInTerminal(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                                const std::string& input);

// Runs zelvane-console with standard input from a pipe: once its transcript shows `waitFor`,
// `between` runs (with the console waiting for its answer), then `input` is written and the pipe
// closed. Gives up waiting after 30 seconds.
ConsoleRun RunConsoleFeeding(const std::vector<std::string>& arguments, const std::string& waitFor,
                             const std::function<void()>& between, const std::string& input);

// One step of feeding a running console: once its transcript shows `waitFor` (after where the step
// before found its text), `between` runs and `input` is written.
struct FeedStep {
    std::string waitFor;
    std::function<void()> between;
    std::string input;
};

// Runs zelvane-console with standard input from a pipe fed step by step; the pipe is closed after
// the last step. Gives up waiting after 30 seconds in all.
ConsoleRun RunConsoleFeedingSteps(const std::vector<std::string>& arguments, const std::vector<FeedStep>& steps);

// Marks a file immutable (chattr +i) while the object lives: not even root can delete or
// rename it. Applied() is false where the file system or the privileges do not allow it.
class ImmutableFile {
public:
    explicit ImmutableFile(std::string path);
    ~ImmutableFile();
    ImmutableFile(const ImmutableFile&) = delete;
    ImmutableFile& operator=(const ImmutableFile&) = delete;
    bool Applied() const { return applied_; }

private:
    std::string path_;
    bool applied_ = false;
};

// Gives the folder and everything below it to the user (owner and group).
void GiveToUser(const std::string& path, unsigned user);

// chmod; 0444 makes a file read-only the way the console reads it.
void SetMode(const std::string& path, unsigned mode);

// "/tmp/x/game" as the console gives it to the core: "Z:\tmp\x\game".
std::string WindowsForm(const std::string& hostPath);

// A folder in the display form of the removal log: backslashes doubled, every folder name in
// proper case, a trailing "\\".
std::string DisplayFolder(const std::string& windowsFolder);

}  // namespace zelvane::e2e
