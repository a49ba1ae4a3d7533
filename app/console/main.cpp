// zelvane-console: the removal run of Zelvane for Linux players and automation.

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/console/answer_source.hpp"
#include "app/console/check_mode.hpp"
#include "app/console/console_options.hpp"
#include "app/console/dry_run_report.hpp"
#include "app/console/game_sources.hpp"
#include "app/console/host_path_form.hpp"
#include "app/console/terminal_text.hpp"
#include "app/console/terminal_ui.hpp"
#include "app/startup.hpp"
#include "app/usage_document.hpp"
#include "platform/overlay/overlay_file_system.hpp"
#include "platform/posix/host_paths.hpp"
#include "platform/posix/file_registry.hpp"
#include "platform/posix/instance_lock.hpp"
#include "platform/posix/posix_file_system.hpp"
#include "platform/seams/read_limits.hpp"
#include "removal/game_folder.hpp"
#include "removal/removal_run.hpp"
#include "resources/embedded_guide.hpp"
#include "util/browse_folders.hpp"
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

int ExitCodeOf(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::Completed:
        case RunOutcome::Declined:
        case RunOutcome::Ignored:
            return kExitCompleted;
        case RunOutcome::Stopped:
        case RunOutcome::Failed:
            return kExitStopped;
    }
    return kExitStopped;
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
    if (options.check) return RunCheck(options, hostProgramFolder, std::cout);
    const std::string programFolder = HostToWindowsPath(hostProgramFolder);

    std::optional<AnswerSource> answers;
    if (options.answersFile.empty()) {
        answers = AnswerSource::FromStandardInput();
    } else {
        answers = AnswerSource::FromFile(options.answersFile);
        if (!answers->Error().empty()) {
            std::cerr << "zelvane-console: " << answers->Error() << std::endl;
            return kExitBadUse;
        }
    }

    PosixFileSystem disk(winePrefix);
    OverlayFileSystem view(disk);
    FileSystem& fs = options.dryRun ? static_cast<FileSystem&>(view) : disk;
    const std::unique_ptr<Registry> registry = ChooseRegistry(options, winePrefix);
    if (const auto* file = dynamic_cast<const FileRegistry*>(registry.get()); file != nullptr && !file->Error().empty()) {
        std::cerr << "zelvane-console: " << file->Error() << std::endl;
        return kExitBadUse;
    }
    PosixInstanceCheck instance =
        options.dryRun ? PosixInstanceCheck::Probe(hostProgramFolder) : PosixInstanceCheck(hostProgramFolder);
    TerminalOptions terminal;
    terminal.colors = !options.noColor && isatty(STDOUT_FILENO) == 1;
    terminal.open = !options.noOpen;
    terminal.dryRun = options.dryRun;
    TerminalUi ui(terminal, *answers, disk, std::cout);
    // A dry run ends, whichever way, with what it would have done.
    const auto finish = [&](int status, const RunResult& result) {
        if (options.dryRun) PrintDryRun(view, ui, result, std::cout);
        return status;
    };
    if (options.dryRun) ui.SetBeforeExit([&] { PrintDryRun(view, ui, RunResult{}, std::cout); });

    if (!options.gameFolder.empty()) {
        const GameFolderCheck check = CheckGameFolder(fs, UserPathToWindows(options.gameFolder));
        if (check != GameFolderCheck::Valid) {
            ShowGameFolderStop(ui, check);
            return finish(kExitStopped, RunResult{});
        }
    }

    StartupContext startup{fs, ui, instance, programFolder, [&](const std::string& documentPath) {
                               std::string rtf;
                               if (fs.ReadAll(documentPath, rtf, kDocumentLimit) != FsStatus::Ok) return true;
                               ui.ShowDocument(rtf, "Uninstall_Info.rtf");
                               return true;
                           }};
    StartupOutcome outcome = RunStartup(startup);
    if (outcome.state == StartupState::Ended) return finish(kExitAnotherInstance, RunResult{});
    ui.ShowCaption(outcome.caption);
    std::cout << "Program folder: " << TerminalLine(programFolder) << "\n\n";
    // The window shows this notice whenever the document is missing, in the INI-error state too.
    if (!outcome.documentPresent) ui.ShowNotice(kNoDocumentNotice);

    if (options.usage) {
        const bool written = WriteUsageDocument(fs, ui, programFolder, EmbeddedUsageGuide());
        return finish(written ? kExitCompleted : kExitStopped, RunResult{});
    }
    if (outcome.state == StartupState::IniError) {
        ui.ShowNotice(kIniErrorNotice);
        return finish(kExitIniError, RunResult{});
    }

    FolderBrowser browser;
    RunContext context{fs, *registry, ui, browser, programFolder};
    const RunResult result = RunRemoval(outcome.description, context);
    std::cout << std::flush;
    return finish(ExitCodeOf(result.outcome), result);
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
