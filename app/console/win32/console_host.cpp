// zelvane-console on Windows: the terminal is the console window, typed paths are Windows paths
// made full, documents open with their associated program.

#include "app/console/console_host.hpp"

#include <windows.h>
#include <shellapi.h>

#include <CLI/CLI.hpp>
#include <vector>

namespace zelvane::console {
namespace {

constexpr DWORD kVirtualTerminalProcessing = 0x0004;  // ENABLE_VIRTUAL_TERMINAL_PROCESSING, Windows 10

bool IsConsole(DWORD which) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

// A text the user typed in UTF-8 (an answers file saved by Notepad) in the ANSI code page the
// core's paths are in; a text that is no UTF-8 is taken as ANSI already.
std::string AnsiOf(std::string_view typed) {
    bool ascii = true;
    for (const char c : typed) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii || typed.size() > 32767) return std::string(typed);
    const int length = static_cast<int>(typed.size());
    const int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, typed.data(), length, nullptr, 0);
    if (wide <= 0) return std::string(typed);
    std::vector<wchar_t> units(static_cast<std::size_t>(wide));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, typed.data(), length, units.data(), wide);
    const int bytes = WideCharToMultiByte(CP_ACP, 0, units.data(), wide, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string(typed);
    std::string ansi(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, units.data(), wide, ansi.data(), bytes, nullptr, nullptr);
    return ansi;
}

}  // namespace

SystemHelp HelpOfThisSystem() {
    SystemHelp help;
    help.gameFolder =
        "The game folder comes from --game-folder, else from the game's registry entry, as zelvane.exe\n"
        "takes it (HKEY_LOCAL_MACHINE\\Software\\BioWare\\SW\\KOTOR or ...\\LucasArts\\KotOR2, value Path).\n"
        "Without one the run asks for the folder, offering the one Steam or GOG registered for the game\n"
        "when it holds dialog.tlk.";
    help.gameFolderWinsOver = "the registry";
    return help;
}

void AddSystemOptions(CLI::App& /*app*/, ConsoleOptions& /*options*/) {}

bool StandardInputIsTerminal() { return IsConsole(STD_INPUT_HANDLE); }

bool StandardOutputShowsColours() {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode) == 0) return false;
    return (mode & kVirtualTerminalProcessing) != 0 || SetConsoleMode(out, mode | kVirtualTerminalProcessing) != 0;
}

std::string TypedPathToWindows(std::string_view typed) {
    const std::string path = AnsiOf(typed);
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

bool OpenWithViewer(const std::string& hostPath) {
    const HINSTANCE result = ShellExecuteA(nullptr, "open", hostPath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace zelvane::console
