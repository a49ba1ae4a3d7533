#include "tests/e2e/e2e_support.hpp"

#include <fcntl.h>
#include <ftw.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

#include "app/console/rtf_terminal.hpp"

extern char** environ;

namespace zelvane::e2e {
namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
    chmod(path, 0755);
    return remove(path);
}

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    return names;
}

void Walk(const std::string& root, const std::string& relative, bool stamped, Files& out) {
    const std::string path = relative.empty() ? root : root + "/" + relative;
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return;
    const std::string stamp = " mode " + std::to_string(st.st_mode) + " mtime " + std::to_string(st.st_mtim.tv_sec) +
                              "." + std::to_string(st.st_mtim.tv_nsec);
    if (S_ISDIR(st.st_mode)) {
        if (stamped) out[relative] = "<folder>" + stamp;
        for (const std::string& name : NamesIn(path))
            Walk(root, relative.empty() ? name : relative + "/" + name, stamped, out);
    } else if (stamped) {
        out[relative] = (S_ISREG(st.st_mode) ? ReadFile(path) : std::string("<link>")) + stamp;
    } else {
        struct stat target {};
        const bool regular = ::stat(path.c_str(), &target) == 0 && S_ISREG(target.st_mode);
        out[relative] = regular ? ReadFile(path) : std::string("<not a regular file>");
    }
}

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> out;
    bool home = false;
    for (const std::string& x : extra) home = home || x.starts_with("HOME=");
    if (!home) out.push_back("HOME=/nonexistent/zelvane-e2e-home");
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        bool replaced = name == "HOME" || name == "WINEPREFIX";
        for (const std::string& x : extra) replaced = replaced || x.substr(0, x.find('=')) == name;
        if (!replaced) out.push_back(entry);
    }
    out.insert(out.end(), extra.begin(), extra.end());
    return out;
}

// Starts the console with standard input, output and error on these descriptors, or all three on
// the terminal of that name.
pid_t Start(const Launch& launch, int in, int out, int err, const std::string& terminal = "") {
    const std::string program = launch.program.empty() ? std::string(ZELVANE_CONSOLE) : launch.program;
    std::vector<std::string> args{program};
    args.insert(args.end(), launch.arguments.begin(), launch.arguments.end());
    std::vector<std::string> env = MergedEnvironment(launch.environment);
    std::vector<char*> argv;
    std::vector<char*> envp;
    for (std::string& a : args) argv.push_back(a.data());
    for (std::string& e : env) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        if (!terminal.empty()) in = out = err = open(terminal.c_str(), O_RDWR | O_NOCTTY);
        if (in < 0 || dup2(in, STDIN_FILENO) < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0) {
            _exit(126);
        }
        if (!launch.workingFolder.empty() && chdir(launch.workingFolder.c_str()) != 0) _exit(126);
        if (launch.user != kSameUser &&
            (setgroups(0, nullptr) != 0 || setgid(launch.user) != 0 || setuid(launch.user) != 0)) {
            _exit(126);
        }
        signal(SIGPIPE, SIG_DFL);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    if (pid < 0) throw std::runtime_error("cannot start " + program);
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool Ended(pid_t pid) {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid;
}

void WriteAll(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

// A run's standard output and error, captured in files opened before the console starts, so that
// a run as another user can write them.
class Capture {
public:
    pid_t Start(const Launch& launch, int in) {
        const int out = open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const int err = open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const pid_t pid = e2e::Start(launch, in, out, err);
        close(out);
        close(err);
        return pid;
    }
    std::string Out() const { return ReadFile(outPath_); }
    ConsoleRun Finish(pid_t pid) const { return ConsoleRun{Wait(pid), ReadFile(outPath_), ReadFile(errPath_)}; }

private:
    TempFolder folder_;
    std::string outPath_ = folder_.Path() + "/stdout";
    std::string errPath_ = folder_.Path() + "/stderr";
};

}  // namespace

std::string CrLf(const std::string& text) {
    std::string out;
    for (const char c : text) out += c == '\n' ? kCrLf : std::string(1, c);
    return out;
}

TempFolder::TempFolder() {
    std::string pattern = "/tmp/zelvane-e2e-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    char resolved[PATH_MAX];
    path_ = realpath(pattern.c_str(), resolved) != nullptr ? std::string(resolved) : pattern;
}

TempFolder::~TempFolder() { nftw(path_.c_str(), &RemoveEntry, 16, FTW_DEPTH | FTW_PHYS); }

void MakeFolders(const std::string& path) {
    std::error_code ignored;
    std::filesystem::create_directories(path, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    MakeFolders(path.substr(0, path.find_last_of('/')));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
}

void WriteTree(const std::string& root, const Files& files) {
    for (const auto& [path, bytes] : files) WriteFile(root + "/" + path, bytes);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool Exists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

void SetMode(const std::string& path, unsigned mode) {
    std::filesystem::permissions(path, static_cast<std::filesystem::perms>(mode));
}

void GiveToUser(const std::string& path, unsigned user) {
    if (lchown(path.c_str(), user, user) != 0) throw std::runtime_error("cannot give " + path);
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
    for (const std::string& name : NamesIn(path)) GiveToUser(path + "/" + name, user);
}

Files Snapshot(const std::string& folder, bool stamped) {
    Files out;
    Walk(folder, "", stamped, out);
    return out;
}

ConsoleRun RunConsole(const Launch& launch) {
    Capture capture;
    const int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
    const pid_t pid = capture.Start(launch, in);
    close(in);
    return capture.Finish(pid);
}

ConsoleRun RunFed(const Launch& launch, const Feed& feed) {
    Capture capture;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = capture.Start(launch, fds[0]);
    close(fds[0]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    bool shown = false;
    while (!(shown = !feed.waitFor.empty() && capture.Out().find(feed.waitFor) != std::string::npos) && !Ended(pid)) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (shown) feed.between();
    signal(SIGPIPE, SIG_IGN);  // the console may have ended already
    WriteAll(fds[1], feed.input);
    close(fds[1]);
    return capture.Finish(pid);
}

ConsoleRun RunInTerminal(const Launch& launch, const std::string& input) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) throw std::runtime_error("no pseudo-terminal");
    const pid_t pid = Start(launch, -1, -1, -1, ptsname(master));
    // Typed ahead, then the end of input (Ctrl-D at the start of a line); the terminal keeps the
    // lines until the console reads them. Then everything it shows, until the console's end.
    WriteAll(master, input + "\x04");
    ConsoleRun run;
    char buffer[4096];
    for (ssize_t n = 0; (n = read(master, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR);) {
        if (n > 0) run.out.append(buffer, static_cast<std::size_t>(n));
    }
    close(master);
    run.exitCode = Wait(pid);
    for (std::size_t at = 0; (at = run.out.find("\r\n", at)) != std::string::npos;) run.out.erase(at, 1);
    return run;
}

std::string WindowsForm(const std::string& hostPath) {
    std::string out = "Z:";
    for (char c : hostPath) out.push_back(c == '/' ? '\\' : c);
    return out;
}

std::string DisplayFolder(const std::string& windowsFolder) {
    std::string out;
    bool wordStart = true;
    for (const char c : windowsFolder) {
        if (c == '\\') {
            out += "\\\\";
            wordStart = true;
            continue;
        }
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        out.push_back(!letter ? c : wordStart ? static_cast<char>(toupper(c)) : static_cast<char>(tolower(c)));
        wordStart = c == ' ';
    }
    return out + "\\\\";
}

std::string LogHeader(int gameNumber, const std::string& gameDisplay, const std::string& appDisplay) {
    return R"({\rtf1\ansi\ansicpg1252\deff0\deflang1033{\fonttbl{\f0\fnil\fcharset0 Times New Roman;}})" + kCrLf +
           R"({\colortbl ;\red0\green0\blue0;\red128\green0\blue0;\red0\green128\blue0;\red128\green128\blue0;\red0\green0\blue128;\red128\green0\blue128;\red0\green128\blue128;\red128\green128\blue128;\red192\green192\blue192;\red255\green0\blue0;\red0\green255\blue0;\red255\green255\blue0;\red0\green0\blue255;\red255\green0\blue255;\red0\green255\blue255;\red255\green255\blue255;})" +
           kCrLf + R"(\viewkind4\uc1\pard\cf1\f0\fs24 )" + "\\cf6\\b Game is K" + std::to_string(gameNumber) +
           "\\cf1\\b0\\par" + kCrLf + "\\cf6\\b Game Directory Is: " + gameDisplay + "\\cf1\\b0\\par" + kCrLf +
           "\\cf6\\b App Directory Is: " + appDisplay + "\\cf1\\b0\\par" + kCrLf + kPar + kPar;
}

std::string Totals(int errors, int notFound) {
    return kPar + kPar + "\\cf6\\b " + std::to_string(errors) + " errors.\\b0\\par" + kCrLf + "\\cf6\\b " +
           std::to_string(notFound) + " files not found.\\b0\\par" + kCrLf + kThreePars + "}";
}

void ExpectInOrder(const std::string& text, const std::vector<std::string>& pieces) {
    std::size_t at = 0;
    for (const std::string& piece : pieces) {
        const std::size_t found = text.find(piece, at);
        ASSERT_NE(found, std::string::npos) << "missing, or out of order: " << piece << "\n" << text.substr(at);
        at = found + piece.size();
    }
}

ConsoleRun RunAfterDryRun(const Launch& launch, const std::vector<std::string>& folders, const std::string& logPath,
                          const std::vector<std::string>& dryShown) {
    std::vector<Files> before;
    for (const std::string& folder : folders) before.push_back(Snapshot(folder, true));
    Launch dryLaunch = launch;
    dryLaunch.arguments.push_back("--dry-run");
    const ConsoleRun dry = RunConsole(dryLaunch);
    for (std::size_t i = 0; i < folders.size(); ++i) {
        EXPECT_EQ(Snapshot(folders[i], true), before[i]) << "the dry run changed " << folders[i] << "\n" << dry.out;
    }
    EXPECT_NE(dry.out.find("== Dry run: nothing was changed on disk."), std::string::npos) << dry.out << dry.err;
    ExpectInOrder(dry.out, dryShown);
    const bool logBefore = Exists(logPath);
    const ConsoleRun real = RunConsole(launch);
    EXPECT_EQ(dry.exitCode, real.exitCode) << dry.out << dry.err;
    if (!logBefore && Exists(logPath)) {
        const std::string saved = ReadFile(logPath);
        std::string printed = console::RenderRtfForTerminal(saved, console::RtfTerminalOptions{false});
        while (!printed.empty() && (printed.back() == '\n' || printed.back() == ' ')) printed.pop_back();
        const std::size_t body = dry.out.find(" ==\n", dry.out.find("== The removal log that would be saved as "));
        const std::size_t stop = dry.out.find("\n== End of the removal log ==\n", body);
        EXPECT_EQ(stop == std::string::npos ? "" : dry.out.substr(body + 4, stop - body - 4), printed) << dry.out;
        EXPECT_NE(dry.out.find(" (" + std::to_string(saved.size()) + " bytes) ==\n"), std::string::npos) << dry.out;
    } else if (!logBefore) {
        EXPECT_NE(dry.out.find("== No removal log would be saved =="), std::string::npos) << dry.out;
    }
    return real;
}

void ModInstallTest::Answers(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    WriteFile(answersFile, text);
}

void ModInstallTest::GameFolder(const Files& override, int gameNumber) {
    Game("dialog.tlk", kTlk);
    for (const auto& [path, bytes] : override) Game("override/" + path, bytes);
    const std::string key = gameNumber == 1 ? R"(HKEY_LOCAL_MACHINE\Software\BioWare\SW\KOTOR)"
                                            : R"(HKEY_LOCAL_MACHINE\Software\LucasArts\KotOR2)";
    WriteFile(registryFile, key + "|Path|" + WindowsForm(game) + "\n");
}

std::vector<std::string> ModInstallTest::Arguments(const std::vector<std::string>& more, bool open,
                                                   bool answers) const {
    std::vector<std::string> arguments;
    if (!open) arguments.push_back("--no-open");
    arguments.insert(arguments.end(), {"--program-folder", mod});
    if (answers) arguments.insert(arguments.end(), {"--answers", answersFile});
    if (Exists(registryFile)) arguments.insert(arguments.end(), {"--registry", registryFile});
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

ConsoleRun ModInstallTest::Run(const Scenario& s) {
    SCOPED_TRACE(s.name);
    std::filesystem::remove_all(game);
    std::filesystem::remove_all(mod);
    Description(s.description);
    WriteTree(mod, s.mod);
    GameFolder(s.override, s.description.find("#game=1") == std::string::npos ? 2 : 1);
    if (!s.registry) std::filesystem::remove(registryFile);
    for (const auto& [target, link] : s.links) {
        MakeFolders(temp.Path() + "/" + link.substr(0, link.rfind('/')));
        EXPECT_EQ(::symlink(target.c_str(), (temp.Path() + "/" + link).c_str()), 0) << link;
    }
    Answers(s.answers);
    const Launch launch{Arguments(s.arguments, s.open, !s.answers.empty()), s.environment};
    const ConsoleRun run =
        s.dryRunFirst ? RunAfterDryRun(launch, {game, mod}, logPath, s.dryShown) : RunConsole(launch);
    EXPECT_EQ(run.exitCode, s.status) << run.out << run.err;
    ExpectInOrder(run.out + run.err, s.shown);
    ExpectInOrder(s.log.empty() ? "" : Log(), s.log);
    EXPECT_EQ(Snapshot(game + "/override"), s.overrideAfter.value_or(Snapshot(game + "/override")));
    for (const auto& [path, bytes] : s.after) {
        const std::string full = temp.Path() + "/" + path;
        EXPECT_EQ(Exists(full) ? ReadFile(full) : kGone, bytes) << path;
    }
    return run;
}

}  // namespace zelvane::e2e
