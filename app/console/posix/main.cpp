// zelvane-console: the removal run of Zelvane for Linux players and automation.

#include <unistd.h>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/console/check_mode.hpp"
#include "app/console/console_host.hpp"
#include "app/console/console_options.hpp"
#include "app/console/console_run.hpp"
#include "app/console/posix/game_sources.hpp"
#include "app/console/posix/host_path_form.hpp"
#include "app/console/posix/read_only_stop.hpp"
#include "app/console/terminal_text.hpp"
#include "platform/posix/file_registry.hpp"
#include "platform/posix/descriptor.hpp"
#include "platform/posix/instance_lock.hpp"
#include "platform/posix/posix_file_system.hpp"
#include "platform/posix/wine_drives.hpp"

namespace zelvane::console {
namespace {

std::string ExecutableFolder() {
    std::vector<char> buffer(4096);
    const ssize_t got = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (got <= 0) return AbsoluteHostPath(".");
    return HostFolderOf(std::string(buffer.data(), static_cast<std::size_t>(got)));
}

// A flock on the program folder itself; a run goes on unlocked, told so, where none can be taken.
std::unique_ptr<InstanceCheck> LockProgramFolder(const std::string& hostProgramFolder, bool dryRun, std::ostream& err) {
    auto lock = std::make_unique<PosixInstanceCheck>(hostProgramFolder, dryRun ? PosixInstanceCheck::Mode::Probe
                                                                               : PosixInstanceCheck::Mode::Run);
    if (!lock->Unavailable().empty()) {
        err << "zelvane-console: the program folder " << HostTerminalLine(hostProgramFolder) << " cannot be locked ("
            << lock->Unavailable() << "); make sure no other run uses it." << std::endl;
    }
    return lock;
}

int Run(const ConsoleOptions& options) {
    const std::string winePrefix =
        options.winePrefix.empty() ? posix::DefaultWinePrefix() : CanonicalFolder(options.winePrefix);
    if (options.findGames) {
        PrintFoundGames(winePrefix, std::cout);
        return kExitCompleted;
    }
    const ProgramFolderChoice choice =
        ChooseProgramFolder(options.programFolder.empty() ? options.modDir : options.programFolder,
                            PosixFileSystem(winePrefix), ExecutableFolder());
    if (!choice.folder) {
        std::cerr << "zelvane-console: " << choice.error << std::endl;
        return kExitBadUse;
    }
    PosixFileSystem disk(winePrefix);
    const auto hostPathOf = [&disk](std::string_view path) { return disk.HostPathOf(path); };
    if (options.check) return RunCheck(options, disk, hostPathOf, *choice.folder, std::cout);

    const std::unique_ptr<Registry> registry = ChooseRegistry(options, winePrefix, std::cout);
    const auto* file = dynamic_cast<const FileRegistry*>(registry.get());
    ConsoleSystem system{disk,
                         *registry,
                         file != nullptr ? file->Error() : std::string(),
                         *choice.folder,
                         hostPathOf,
                         [&](bool dryRun, std::ostream& err) {
                             return LockProgramFolder(choice.folder->host, dryRun, err);
                         },
                         StopForReadOnlyMedia};
    return RunConsole(options, system);
}

}  // namespace
}  // namespace zelvane::console

int main(int argc, char** argv) {
    const zelvane::console::ParsedCommandLine parsed = zelvane::console::ParseCommandLine(argc, argv);
    if (!parsed.options) return parsed.exitCode;
    // A run over a large tree holds many of its folders open at once.
    zelvane::posix::RaiseOpenFileLimit();
    try {
        return zelvane::console::Run(*parsed.options);
    } catch (const std::exception& failure) {
        return zelvane::console::ReportUncaught(failure, std::cerr);
    }
}
