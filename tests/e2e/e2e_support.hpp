#pragma once
// Helpers of the end-to-end tests: folders and trees, runs of the real zelvane-console, the pieces
// of the removal log, and scenarios: a removal as a table row, run after its dry run and checked.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zelvane::e2e {

inline const std::string kCrLf = "\r\n";
// A dialog.tlk as short as the console takes it for the game's own: what marks a game folder.
inline const std::string kTlk = std::string("TLK V3.0") + std::string("\x01\x00\x00\x00\x10\x00\x00\x00", 8);
std::string CrLf(const std::string& text);

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

using Files = std::map<std::string, std::string>;
void WriteFile(const std::string& path, const std::string& bytes);
void WriteTree(const std::string& root, const Files& files);
void MakeFolders(const std::string& path);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
void SetMode(const std::string& path, unsigned mode);
// The folder and everything below it, owner and group.
void GiveToUser(const std::string& path, unsigned user);
// Every file below the folder with its bytes (links read where they lead; "<not a regular file>"
// for a pipe, a device or a dangling link). `stamped` adds every folder and every entry's mode and
// modification time: what a run that changes nothing leaves alike.
Files Snapshot(const std::string& folder, bool stamped = false);

// The unprivileged user a player's run is made as, where the tests run as root.
inline constexpr unsigned kNobody = 65534;
inline constexpr unsigned kSameUser = static_cast<unsigned>(-1);

// Every run gets an empty home folder and no $WINEPREFIX unless the environment names them, so that
// no game installed on the machine is found.
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
// waiting for its answer), then `input` is written and the pipe closed. A console that still runs
// 30 seconds after its start is killed.
struct Feed {
    std::string waitFor;
    std::function<void()> between;
    std::string input;
};
ConsoleRun RunFed(const Launch& launch, const Feed& feed);

// On a pseudo-terminal, `input` typed ahead; `out` is what the terminal showed, with "\n" line ends.
ConsoleRun RunInTerminal(const Launch& launch, const std::string& input);

// "/tmp/x/game" as the console gives it to the core: "Z:\tmp\x\game".
std::string WindowsForm(const std::string& hostPath);
// A folder in the display form of the removal log: backslashes doubled, every folder name in
// proper case, a trailing "\\".
std::string DisplayFolder(const std::string& windowsFolder);

inline const std::string kPar = "\\par" + kCrLf;
inline const std::string kThreePars = kPar + kPar + kPar;
inline const std::string kBanner =
    kThreePars + R"(\cf3\b\fs32 All files in file list successfully removed.\cf1\b0\fs24\par)" + kCrLf + kThreePars;
inline const std::string kFyi =
    kPar + kPar +
    R"(\cf10\b\fs32 FYI:\fs28  \b0  \ul Prompt Failure\ulnone  means you were going to be )"
    R"(prompted to make a decision but you weren't for the reason specified.\cf1\fs24\par)" +
    kCrLf;
std::string LogHeader(int gameNumber, const std::string& gameDisplay, const std::string& appDisplay);
std::string Totals(int errors, int notFound);
inline std::string Deleted(const std::string& display) { return "\\cf3 Delete Successful - \\cf1 " + display; }

void ExpectInOrder(const std::string& text, const std::vector<std::string>& pieces);

// The run after its dry run: the same arguments with --dry-run first, which must leave every file
// and folder of the folders as it was (bytes, mode, modification time), end with the same status,
// show `dryShown` in order and print the very log the real run saves.
ConsoleRun RunAfterDryRun(const Launch& launch, const std::vector<std::string>& folders, const std::string& logPath,
                          const std::vector<std::string>& dryShown = {});

inline const std::string kGone = "<gone>";

// One removal as a table row: what the folders hold before, how the console is run, what must come
// of it. Paths of `links` and `after` are below the test's folder ("game/override/x.uti").
struct Scenario {
    std::string name;
    std::string description;  // uninstall/uninstall_data.ini, written with CR LF; "#game=1" makes a K1 game
    Files override = {};      // the game's override folder
    Files mod = {};           // more files of the mod's program folder
    std::vector<std::string> answers = {"0"};  // {}: no answers file, standard input at its end
    std::vector<std::string> arguments = {};   // after the usual ones
    std::vector<std::string> environment = {};
    std::vector<std::pair<std::string, std::string>> links = {};  // {target, link}
    bool dryRunFirst = true;
    bool registry = true;  // the game is found through the registry file
    bool open = false;     // without --no-open
    int status = 0;
    std::optional<Files> overrideAfter = {};  // the whole override folder after the run
    Files after = {};                         // single files after the run, kGone for none
    std::vector<std::string> shown = {};      // standard output and error, in order
    std::vector<std::string> dryShown = {};   // the dry run's output, in order
    std::vector<std::string> log = {};        // pieces of the saved log, in order
};

class ModInstallTest : public ::testing::Test {
protected:
    TempFolder temp;
    std::string game = temp.Path() + "/game";
    std::string mod = temp.Path() + "/mod";
    std::string registryFile = temp.Path() + "/registry.txt";
    std::string answersFile = temp.Path() + "/answers.txt";
    std::string logPath = mod + "/uninstall/removal_results.rtf";

    void Game(const std::string& relative, const std::string& bytes) { WriteFile(game + "/" + relative, bytes); }
    void Mod(const std::string& relative, const std::string& bytes) { WriteFile(mod + "/" + relative, bytes); }
    void Description(const std::string& text) { Mod("uninstall/uninstall_data.ini", CrLf(text)); }
    void Answers(const std::vector<std::string>& lines);
    // A game folder of K2 (or K1) with these files in override, found through the registry file.
    void GameFolder(const Files& override = {}, int gameNumber = 2);
    std::string Header(int gameNumber) const {
        return LogHeader(gameNumber, DisplayFolder(WindowsForm(game)), DisplayFolder(WindowsForm(mod)));
    }
    // --no-open (unless open), the program folder, the answers file (unless none), the registry file
    // (where there is one), then more.
    std::vector<std::string> Arguments(const std::vector<std::string>& more = {}, bool open = false,
                                       bool answers = true) const;
    std::string Log() const { return ReadFile(logPath); }
    // The game and mod folders made afresh, the scenario run and its outcome checked.
    ConsoleRun Run(const Scenario& scenario);
};

}  // namespace zelvane::e2e
