// zelvane-console.exe: the removal run of Zelvane in a Windows console, for mod authors who check
// a description (--check) and for automation.

#include <windows.h>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/console/check_mode.hpp"
#include "app/console/console_host.hpp"
#include "app/console/console_options.hpp"
#include "app/console/console_run.hpp"
#include "app/console/game_folder_registry.hpp"
#include "app/console/win32/ansi_text.hpp"
#include "platform/win32/win32_file_system.hpp"
#include "platform/win32/win32_instance_check.hpp"
#include "platform/win32/win32_registry.hpp"
#include "util/common.hpp"

namespace zelvane::console {
namespace {

// The terminal renderer writes UTF-8: the console shows it as such while the program runs, and
// the console's own code page is given back when it ends (also through std::exit).
class Utf8ConsoleOutput {
public:
    Utf8ConsoleOutput() : previous_(GetConsoleOutputCP()) {
        if (previous_ != 0) SetConsoleOutputCP(CP_UTF8);
    }
    ~Utf8ConsoleOutput() {
        if (previous_ != 0) SetConsoleOutputCP(previous_);
    }
    Utf8ConsoleOutput(const Utf8ConsoleOutput&) = delete;
    Utf8ConsoleOutput& operator=(const Utf8ConsoleOutput&) = delete;

private:
    UINT previous_;
};

// The executable's folder as a host path.
std::string ExecutableFolder() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD got = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (got == 0) return ".";
        if (got < buffer.size()) {
            const std::string path(buffer.data(), got);
            const std::size_t slash = path.find_last_of('\\');
            return slash == std::string::npos ? "." : Utf8Of(path.substr(0, slash));
        }
        buffer.resize(buffer.size() * 2);
    }
}

int Run(const ConsoleOptions& options) {
    Win32FileSystem disk;
    const ProgramFolderChoice choice =
        ChooseProgramFolder(options.programFolder.empty() ? options.modDir : options.programFolder, disk,
                            ExecutableFolder());
    if (!choice.folder) {
        std::cerr << "zelvane-console: " << choice.error << std::endl;
        return kExitBadUse;
    }
    // A Windows path is the host path itself; missing, it has none.
    const auto hostPathOf = [&disk](std::string_view path) {
        Attributes attributes;
        return disk.GetAttributes(path, attributes) == FsStatus::Ok ? Utf8Of(path) : std::string();
    };
    if (options.check) return RunCheck(options, disk, hostPathOf, *choice.folder, std::cout);

    std::unique_ptr<Registry> registry;
    if (options.gameFolder.empty()) {
        registry = std::make_unique<Win32Registry>();
    } else {
        registry = std::make_unique<GameFolderRegistry>(TypedPathToWindows(options.gameFolder));
    }
    // The console in a mod's folder stands for the zelvane.exe shipped there: the two never run
    // on the same folder at once.
    const std::string program = AddBackslash(HostToWindows(choice.folder->host)) + "zelvane.exe";
    ConsoleSystem system{disk,
                         *registry,
                         std::string(),
                         *choice.folder,
                         hostPathOf,
                         [&program](bool, std::ostream&) { return std::make_unique<Win32InstanceCheck>(program); },
                         [](std::string_view, const std::string&, std::ostream&) { return false; }};
    return RunConsole(options, system);
}

}  // namespace
}  // namespace zelvane::console

int main(int argc, char** argv) {
    static zelvane::console::Utf8ConsoleOutput utf8;
    const zelvane::console::ParsedCommandLine parsed = zelvane::console::ParseCommandLine(argc, argv);
    if (!parsed.options) return parsed.exitCode;
    try {
        return zelvane::console::Run(*parsed.options);
    } catch (const std::exception& failure) {
        return zelvane::console::ReportUncaught(failure, std::cerr);
    }
}
