#include "tests/e2e/e2e_support.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <ftw.h>
#include <linux/fs.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <utility>

extern char** environ;

namespace zelvane::e2e {
namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
    chmod(path, 0755);
    return remove(path);
}

void Walk(const std::string& root, const std::string& relative, std::map<std::string, std::string>& out) {
    const std::string folder = relative.empty() ? root : root + "/" + relative;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return;
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    for (const std::string& name : names) {
        const std::string rel = relative.empty() ? name : relative + "/" + name;
        struct stat st {};
        if (lstat((root + "/" + rel).c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            Walk(root, rel, out);
            continue;
        }
        // A link is read where it leads; a pipe or a device is never opened (it could block).
        struct stat target {};
        const bool regular = ::stat((root + "/" + rel).c_str(), &target) == 0 && S_ISREG(target.st_mode);
        out[rel] = regular ? ReadFile(root + "/" + rel) : std::string("<not a regular file>");
    }
}

std::string ProperCase(const std::string& piece) {
    std::string out = piece;
    bool wordStart = true;
    for (char& c : out) {
        if (c == ' ') {
            wordStart = true;
            continue;
        }
        if (wordStart && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (!wordStart && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        wordStart = false;
    }
    return out;
}

}  // namespace

TempFolder::TempFolder() {
    std::string pattern = "/tmp/zelvane-e2e-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    char resolved[PATH_MAX];
    path_ = realpath(pattern.c_str(), resolved) != nullptr ? std::string(resolved) : pattern;
}

TempFolder::~TempFolder() { nftw(path_.c_str(), &RemoveEntry, 16, FTW_DEPTH | FTW_PHYS); }

void MakeFolders(const std::string& path) {
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
    }
}

void WriteFile(const std::string& path, const std::string& bytes) {
    MakeFolders(path.substr(0, path.find_last_of('/')));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool Exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

std::string CrLfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + kCrLf;
    return text;
}

std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> out;
    Walk(folder, "", out);
    return out;
}

bool ContainsContent(const std::map<std::string, std::string>& files, const std::string& bytes) {
    for (const auto& [path, content] : files) {
        if (content == bytes) return true;
    }
    return false;
}

namespace {

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> out;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (name == "HOME" || name == "WINEPREFIX") continue;
        bool replaced = false;
        for (const std::string& x : extra) replaced = replaced || x.substr(0, x.find('=')) == name;
        if (!replaced) out.push_back(entry);
    }
    bool home = false;
    for (const std::string& x : extra) home = home || x.starts_with("HOME=");
    if (!home) out.push_back("HOME=/nonexistent/zelvane-e2e-home");
    out.insert(out.end(), extra.begin(), extra.end());
    return out;
}

// How the console is started: standard input from `inputFd` (or /dev/null when negative), or all
// three standard streams on the terminal `terminal`; output into the capture files.
struct Launch {
    std::vector<std::string> arguments;
    std::vector<std::string> environment;
    int inputFd = -1;
    std::string outPath;
    std::string errPath;
    std::string workingFolder;  // "" = the test's own
    std::string program;        // "" = the console that was built
    std::string terminal;       // the name of a pseudo-terminal's other end
    unsigned user = kSameUser;  // run as this user (the output files are opened before it changes)
};

pid_t StartConsoleAsUser(const Launch& launch, const std::string& program, std::vector<char*>& argv,
                         std::vector<char*>& envp) {
    // The output files are opened before the user changes: the capture folder is not theirs.
    const int in = launch.inputFd >= 0 ? launch.inputFd : open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int out = open(launch.outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int err = open(launch.errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const pid_t pid = fork();
    if (pid == 0) {
        if (dup2(in, STDIN_FILENO) < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0) _exit(126);
        if (!launch.workingFolder.empty() && chdir(launch.workingFolder.c_str()) != 0) _exit(126);
        if (setgroups(0, nullptr) != 0 || setgid(launch.user) != 0 || setuid(launch.user) != 0) _exit(126);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    if (launch.inputFd < 0) close(in);
    close(out);
    close(err);
    if (pid < 0) throw std::runtime_error("cannot start " + program);
    return pid;
}

pid_t StartConsole(const Launch& launch) {
    std::string program = launch.program.empty() ? std::string(ZELVANE_CONSOLE) : launch.program;
    std::vector<std::string> args{program};
    args.insert(args.end(), launch.arguments.begin(), launch.arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = MergedEnvironment(launch.environment);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    if (launch.user != kSameUser) return StartConsoleAsUser(launch, program, argv, envp);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!launch.terminal.empty()) {
        for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
            posix_spawn_file_actions_addopen(&actions, fd, launch.terminal.c_str(), O_RDWR | O_NOCTTY, 0);
        }
    } else {
        if (launch.inputFd >= 0) {
            posix_spawn_file_actions_adddup2(&actions, launch.inputFd, STDIN_FILENO);
        } else {
            posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        }
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, launch.outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, launch.errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
    }
    if (!launch.workingFolder.empty()) posix_spawn_file_actions_addchdir_np(&actions, launch.workingFolder.c_str());
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + program);
    return pid;
}

pid_t StartConsole(const std::vector<std::string>& arguments, const std::vector<std::string>& environment, int inputFd,
                   const std::string& outPath, const std::string& errPath) {
    Launch launch;
    launch.arguments = arguments;
    launch.environment = environment;
    launch.inputFd = inputFd;
    launch.outPath = outPath;
    launch.errPath = errPath;
    return StartConsole(launch);
}

ConsoleRun Finish(pid_t pid, const std::string& outPath, const std::string& errPath) {
    ConsoleRun run;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

}  // namespace

std::map<std::string, std::string> StampedSnapshot(const std::string& folder) {
    std::map<std::string, std::string> out;
    const std::function<void(const std::string&)> walk = [&](const std::string& relative) {
        const std::string path = relative.empty() ? folder : folder + "/" + relative;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) return;
        std::string stamp = " mode " + std::to_string(st.st_mode) + " mtime " + std::to_string(st.st_mtim.tv_sec) +
                            "." + std::to_string(st.st_mtim.tv_nsec);
        if (!S_ISDIR(st.st_mode)) {
            out[relative] = (S_ISREG(st.st_mode) ? ReadFile(path) : std::string("<link>")) + stamp;
            return;
        }
        out[relative] = "<folder>" + stamp;
        std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.c_str()), ::closedir);
        if (!dir) return;
        std::vector<std::string> names;
        while (const dirent* entry = ::readdir(dir.get())) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        dir.reset();
        for (const std::string& name : names) walk(relative.empty() ? name : relative + "/" + name);
    };
    walk("");
    return out;
}

ConsoleRun RunConsole(const std::vector<std::string>& arguments) { return RunConsoleWithEnvironment(arguments, {}); }

ConsoleRun RunConsoleWithEnvironment(const std::vector<std::string>& arguments,
                                     const std::vector<std::string>& environment) {
    TempFolder capture;
    const std::string outPath = capture.Path() + "/stdout";
    const std::string errPath = capture.Path() + "/stderr";
    return Finish(StartConsole(arguments, environment, -1, outPath, errPath), outPath, errPath);
}

ConsoleRun RunConsoleIn(const std::string& workingFolder, const std::vector<std::string>& arguments,
                        const std::string& program) {
    TempFolder capture;
    Launch launch;
    launch.arguments = arguments;
    launch.outPath = capture.Path() + "/stdout";
    launch.errPath = capture.Path() + "/stderr";
    launch.workingFolder = workingFolder;
    launch.program = program;
    return Finish(StartConsole(launch), launch.outPath, launch.errPath);
}

ConsoleRun RunConsoleInTerminal(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                                const std::string& input) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) throw std::runtime_error("no pseudo-terminal");
    Launch launch;
    launch.arguments = arguments;
    launch.environment = environment;
    launch.terminal = ptsname(master);
    const pid_t pid = StartConsole(launch);

    // Typed ahead, then the end of input (Ctrl-D at the start of a line); the terminal keeps the
    // lines until the console reads them.
    const std::string typed = input + "\x04";
    std::size_t done = 0;
    while (done < typed.size()) {
        const ssize_t n = write(master, typed.data() + done, typed.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    // Everything the terminal shows, until the console's end closes its side.
    ConsoleRun run;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n > 0) {
            run.out.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    close(master);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::string lines;
    for (std::size_t i = 0; i < run.out.size(); ++i) {
        if (run.out[i] != '\r' || i + 1 >= run.out.size() || run.out[i + 1] != '\n') lines += run.out[i];
    }
    run.out = lines;
    return run;
}

ConsoleRun RunConsoleAsUser(unsigned user, const std::vector<std::string>& arguments) {
    TempFolder capture;
    const std::string outPath = capture.Path() + "/stdout";
    const std::string errPath = capture.Path() + "/stderr";
    Launch launch;
    launch.arguments = arguments;
    launch.outPath = outPath;
    launch.errPath = errPath;
    launch.user = user;
    return Finish(StartConsole(launch), outPath, errPath);
}

ConsoleRun RunConsoleKilledAt(const std::vector<std::string>& arguments, const std::string& waitFor,
                              const std::vector<std::string>& environment) {
    TempFolder capture;
    const std::string outPath = capture.Path() + "/stdout";
    const std::string errPath = capture.Path() + "/stderr";
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = StartConsole(arguments, environment, fds[0], outPath, errPath);
    close(fds[0]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    const auto shown = [&] { return !waitFor.empty() && ReadFile(outPath).find(waitFor) != std::string::npos; };
    while (!shown() && std::chrono::steady_clock::now() < deadline) {
        siginfo_t info{};
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    ConsoleRun run = Finish(pid, outPath, errPath);
    close(fds[1]);
    return run;
}

ConsoleRun RunConsoleFeeding(const std::vector<std::string>& arguments, const std::string& waitFor,
                             const std::function<void()>& between, const std::string& input) {
    return RunConsoleFeedingSteps(arguments, {FeedStep{waitFor, between, input}});
}

ConsoleRun RunConsoleFeedingSteps(const std::vector<std::string>& arguments, const std::vector<FeedStep>& steps) {
    TempFolder capture;
    const std::string outPath = capture.Path() + "/stdout";
    const std::string errPath = capture.Path() + "/stderr";
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = StartConsole(arguments, {}, fds[0], outPath, errPath);
    close(fds[0]);

    // The console may have ended already; a write into the closed pipe must not end the test.
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previous);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::size_t seen = 0;
    for (const FeedStep& step : steps) {
        for (;;) {
            const std::size_t at = ReadFile(outPath).find(step.waitFor, seen);
            if (at != std::string::npos) {
                seen = at + step.waitFor.size();
                break;
            }
            siginfo_t info{};
            if (std::chrono::steady_clock::now() >= deadline ||
                (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
                 info.si_pid == pid)) {
                break;  // ended early, or never showed the text
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (step.between) step.between();
        std::size_t done = 0;
        while (done < step.input.size()) {
            const ssize_t n = write(fds[1], step.input.data() + done, step.input.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
    }
    close(fds[1]);
    sigaction(SIGPIPE, &previous, nullptr);
    return Finish(pid, outPath, errPath);
}

ImmutableFile::ImmutableFile(std::string path) : path_(std::move(path)) {
    const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return;
    int flags = 0;
    if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags |= FS_IMMUTABLE_FL;
        applied_ = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(fd);
}

ImmutableFile::~ImmutableFile() {
    if (!applied_) return;
    const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return;
    int flags = 0;
    if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags &= ~FS_IMMUTABLE_FL;
        ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    close(fd);
}

void GiveToUser(const std::string& path, unsigned user) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return;
    if (lchown(path.c_str(), user, user) != 0) throw std::runtime_error("cannot give " + path);
    if (!S_ISDIR(st.st_mode)) return;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(path.c_str()), closedir);
    if (!dir) return;
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    for (const std::string& name : names) GiveToUser(path + "/" + name, user);
}

void SetMode(const std::string& path, unsigned mode) {
    if (chmod(path.c_str(), static_cast<mode_t>(mode)) != 0) throw std::runtime_error("cannot chmod " + path);
}

std::string WindowsForm(const std::string& hostPath) {
    std::string out = "Z:";
    for (char c : hostPath) out.push_back(c == '/' ? '\\' : c);
    return out;
}

std::string DisplayFolder(const std::string& windowsFolder) {
    std::string out;
    std::size_t start = 0;
    while (start < windowsFolder.size()) {
        std::size_t end = windowsFolder.find('\\', start);
        if (end == std::string::npos) end = windowsFolder.size();
        out += ProperCase(windowsFolder.substr(start, end - start)) + "\\\\";
        start = end + 1;
    }
    return out;
}

}  // namespace zelvane::e2e
