// zelvane-console: the removal run of Zelvane for Linux players and automation.

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/console/check_mode.hpp"
#include "app/console/console_options.hpp"
#include "app/console/console_run.hpp"
#include "app/console/posix/host_path_form.hpp"
#include "app/console/posix/game_sources.hpp"
#include "platform/posix/file_registry.hpp"
#include "platform/posix/host_paths.hpp"
#include "platform/posix/instance_lock.hpp"
#include "platform/posix/posix_file_system.hpp"
#include "util/program_error.hpp"

namespace zelvane::console {
namespace {

std::string ExecutableFolder() {
    std::vector<char> buffer(4096);
    const ssize_t got = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (got <= 0) return AbsoluteHostPath(".");
    return HostFolderOf(std::string(buffer.data(), static_cast<std::size_t>(got)));
}

std::string CanonicalFolder(const std::string& folder) {
    char resolved[PATH_MAX];
    if (realpath(folder.c_str(), resolved) != nullptr) return std::string(resolved);
    return AbsoluteHostPath(folder);
}

int Run(const ConsoleOptions& options) {
    const std::string winePrefix =
        options.winePrefix.empty() ? posix::DefaultWinePrefix() : CanonicalFolder(options.winePrefix);
    if (options.findGames) {
        PrintFoundGames(winePrefix, std::cout);
        return kExitCompleted;
    }
    const std::string hostProgramFolder =
        options.programFolder.empty() ? ExecutableFolder() : CanonicalFolder(options.programFolder);
    PosixFileSystem disk(winePrefix);
    if (options.check) return RunCheck(options, disk, HostToWindowsPath(hostProgramFolder), std::cout);

    const std::unique_ptr<Registry> registry = ChooseRegistry(options, winePrefix, std::cout);
    const auto* file = dynamic_cast<const FileRegistry*>(registry.get());
    PosixInstanceCheck instance =
        options.dryRun ? PosixInstanceCheck::Probe(hostProgramFolder) : PosixInstanceCheck(hostProgramFolder);
    ConsoleSystem system{disk, *registry, file != nullptr ? file->Error() : std::string(), instance,
                         HostToWindowsPath(hostProgramFolder),
                         [&disk](std::string_view path) { return disk.HostPathOf(path); }};
    return RunConsole(options, system);
}

}  // namespace
}  // namespace zelvane::console

int main(int argc, char** argv) {
    const zelvane::console::ParsedCommandLine parsed = zelvane::console::ParseCommandLine(argc, argv);
    if (!parsed.options) return parsed.exitCode;
    try {
        return zelvane::console::Run(*parsed.options);
    } catch (const zelvane::ProgramError& error) {
        std::cerr << "zelvane-console: error " << error.Number() << ": " << error.Description() << std::endl;
    } catch (const std::exception& error) {
        std::cerr << "zelvane-console: " << error.what() << std::endl;
    }
    return zelvane::console::kExitStopped;
}
