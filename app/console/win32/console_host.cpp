// zelvane-console on Windows: the terminal is the console window, typed paths are Windows paths
// made full, documents open with their associated program. Host paths are the Windows paths in
// UTF-8, as the terminal shows them; the core gets them in the ANSI code page.

#include "app/console/console_host.hpp"

#include <windows.h>
#include <shellapi.h>

#include <CLI/CLI.hpp>
#include <fstream>
#include <vector>

#include "app/console/win32/ansi_text.hpp"
#include "platform/seams/read_limits.hpp"

namespace zelvane::console {
namespace {

constexpr DWORD kVirtualTerminalProcessing = 0x0004;  // ENABLE_VIRTUAL_TERMINAL_PROCESSING, Windows 10

// The full form of an ANSI path; the path itself when it has none.
std::string FullPath(const std::string& path) {
    if (path.empty()) return path;
    DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    std::string full;
    while (size > 0) {
        std::vector<char> buffer(size);
        const DWORD got = GetFullPathNameA(path.c_str(), size, buffer.data(), nullptr);
        if (got == 0) break;
        if (got < size) {
            full.assign(buffer.data(), got);
            break;
        }
        size = got;
    }
    if (full.empty()) return path;
    // "C:\Games\Kotor\" is the folder "C:\Games\Kotor"; a drive's root keeps its backslash.
    while (full.size() > 3 && full.back() == '\\') full.pop_back();
    return full;
}

}  // namespace

SystemHelp HelpOfThisSystem() {
    SystemHelp help;
    help.noViewer = "no program opens .rtf documents";
    help.gameFolder =
        "The game folder comes from --game-folder, else from the game's registry entry, as zelvane.exe\n"
        "takes it (HKEY_LOCAL_MACHINE\\Software\\BioWare\\SW\\KOTOR or ...\\LucasArts\\KotOR2, value Path).\n"
        "Without one the run asks for the folder, offering the one Steam or GOG registered for the game\n"
        "when it holds dialog.tlk.";
    help.gameFolderWinsOver = "the registry";
    help.exitStopped =
        "  2   the run stopped before changing anything (no game chosen, no usable game folder) or ended\n"
        "      on an unexpected error\n";
    help.optionFiles = "--answers file";
    return help;
}

void AddSystemOptions(CLI::App& /*app*/, ConsoleOptions& /*options*/) {}

bool StandardInputIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

bool StandardOutputShowsColours() {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode) == 0) return false;
    return (mode & kVirtualTerminalProcessing) != 0 || SetConsoleMode(out, mode | kVirtualTerminalProcessing) != 0;
}

char HostSeparator() { return '\\'; }

std::string CanonicalFolder(const std::string& folder) { return Utf8Of(FullPath(AnsiOf(folder))); }

std::string HostToWindows(std::string_view hostPath) { return AnsiOf(hostPath); }

std::string TypedPathToWindows(std::string_view typed) { return FullPath(AnsiOf(typed)); }

std::string QuotedArgument(std::string_view text) {
    if (!text.empty() && text.find_first_of(" \t&|<>^()\"%") == std::string_view::npos) return std::string(text);
    // A trailing backslash would escape the closing quote.
    std::string inner(text);
    if (!inner.empty() && inner.back() == '\\') inner += '\\';
    return "\"" + inner + "\"";
}

bool OpenWithViewer(const std::string& hostPath) {
    const HINSTANCE result = ShellExecuteA(nullptr, "open", AnsiOf(hostPath).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

namespace {

class FileAnswerLines final : public AnswerLines {
public:
    explicit FileAnswerLines(const std::string& path) : in_(path, std::ios::binary) {}
    bool IsOpen() const { return in_.is_open(); }

    // A line without its "\n" and one "\r" before it; nullopt at the end, or at a line too long.
    std::optional<std::string> Next() override {
        std::string line;
        char c = 0;
        bool any = false;
        while (in_.get(c)) {
            any = true;
            if (c == '\n') break;
            if (line.size() == kAnswerLineLimit) return std::nullopt;
            line.push_back(c);
        }
        if (!any) return std::nullopt;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line;
    }

private:
    std::ifstream in_;
};

// A file on a disk (not a pipe, a console or a device), looked at before it is read.
bool IsRegularFile(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool disk = GetFileType(file) == FILE_TYPE_DISK;
    CloseHandle(file);
    return disk;
}

}  // namespace

OpenedAnswers OpenAnswersFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return {};
    if (!IsRegularFile(path)) return {nullptr, true};
    auto lines = std::make_unique<FileAnswerLines>(path);
    if (!lines->IsOpen()) return {};
    return {std::move(lines), false};
}

}  // namespace zelvane::console
