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
#include "app/console/program_folder.hpp"
#include "app/console/run_summary.hpp"
#include "app/console/read_only_stop.hpp"
#include "app/console/terminal_text.hpp"
#include "app/console/terminal_ui.hpp"
#include "app/startup.hpp"
#include "app/usage_document.hpp"
#include "platform/overlay/overlay_file_system.hpp"
#include "platform/posix/host_paths.hpp"
#include "platform/posix/file_registry.hpp"
#include "platform/posix/instance_lock.hpp"
#include "platform/posix/posix_file_system.hpp"
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

// The errors a completed run counts are those its log's totals print.
int ExitCodeOf(const RunResult& result) {
    switch (result.outcome) {
        case RunOutcome::Completed:
            return result.failureCount > 0 ? kExitErrorsCounted : kExitCompleted;
        case RunOutcome::Declined:
        case RunOutcome::Ignored:
            return kExitCompleted;
        case RunOutcome::Stopped:
        case RunOutcome::Failed:
            return kExitStopped;
    }
    return kExitStopped;
}

// The game folder a run will use when it is settled before the first prompt: --game-folder, or
// the registry's folder of the one game the description names. "" when the player chooses.
std::string KnownGameFolder(const ConsoleOptions& options, const UninstallDescription& description,
                            const Registry& registry) {
    if (!options.gameFolder.empty()) return UserPathToWindows(options.gameFolder);
    if (description.GameSelect || (description.Game != 1 && description.Game != 2)) return {};
    return RegistryGameFolder(registry, description.Game);
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
                            PosixFileSystem(winePrefix), ExecutableFolder(), CanonicalFolder);
    if (!choice.folder) {
        std::cerr << "zelvane-console: " << choice.error << std::endl;
        return kExitBadUse;
    }
    const std::string hostProgramFolder = choice.folder->host;
    if (options.check) return RunCheck(options, *choice.folder, std::cout);
    const std::string programFolder = HostToWindowsPath(hostProgramFolder);

    std::optional<AnswerSource> answers;
    if (options.answersFile.empty()) {
        answers = AnswerSource::FromStandardInput();
    } else {
        answers = AnswerSource::FromFile(options.answersFile);
        if (!answers) {
            std::cerr << "zelvane-console: cannot read the answers file " << HostTerminalLine(options.answersFile)
                      << std::endl;
            return kExitBadUse;
        }
    }

    PosixFileSystem disk(winePrefix);
    OverlayFileSystem view(disk);
    FileSystem& fs = options.dryRun ? static_cast<FileSystem&>(view) : disk;
    const std::unique_ptr<Registry> registry = ChooseRegistry(options, winePrefix);
    if (const auto* file = dynamic_cast<const FileRegistry*>(registry.get()); file != nullptr && !file->Error().empty()) {
        std::cerr << "zelvane-console: " << HostTerminalLine(file->Error()) << std::endl;
        return kExitBadUse;
    }
    PosixInstanceCheck instance(hostProgramFolder,
                                options.dryRun ? PosixInstanceCheck::Mode::Probe : PosixInstanceCheck::Mode::Run);
    if (!instance.Unavailable().empty()) {
        std::cerr << "zelvane-console: the program folder " << HostTerminalLine(hostProgramFolder)
                  << " cannot be locked (" << instance.Unavailable() << "); make sure no other run uses it."
                  << std::endl;
    }
    TerminalOptions terminal;
    terminal.colors = UseColors(options.noColor, std::getenv("NO_COLOR"), isatty(STDOUT_FILENO) == 1);
    terminal.open = !options.noOpen;
    terminal.dryRun = options.dryRun;
    TerminalUi ui(terminal, *answers, disk, std::cout);
    // A dry run ends, whichever way, with what it would have done.
    const auto finish = [&](int status, const RunResult& result) {
        if (options.dryRun) PrintDryRun(view, ui, result, std::cout);
        return status;
    };
    if (options.dryRun) ui.SetBeforeExit([&] { PrintDryRun(view, ui, RunResult{}, std::cout); });

    if (StopForReadOnlyMedia("program folder", hostProgramFolder, std::cerr)) return finish(kExitStopped, RunResult{});
    if (!options.gameFolder.empty()) {
        const GameFolderCheck check = CheckGameFolder(fs, UserPathToWindows(options.gameFolder));
        if (check != GameFolderCheck::Valid) {
            ShowGameFolderStop(ui, check);
            return finish(kExitStopped, RunResult{});
        }
    }

    StartupContext startup{fs, ui, instance, programFolder, [&](const std::string& documentPath) {
                               std::string rtf;
                               if (fs.ReadAll(documentPath, rtf) != FsStatus::Ok) return true;
                               ui.ShowDocument(rtf, "Uninstall_Info.rtf");
                               return true;
                           }};
    StartupOutcome outcome = RunStartup(startup);
    if (outcome.state == StartupState::Ended) {
        if (instance.AnotherInstanceRunning()) {
            std::cerr << "zelvane-console: another run is using the program folder "
                      << HostTerminalLine(hostProgramFolder) << "; wait for it to finish, then start again."
                      << std::endl;
        }
        return finish(kExitAnotherInstance, RunResult{});
    }
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
        PrintFirstCheckError(*choice.folder, std::cout);
        return finish(kExitIniError, RunResult{});
    }

    // A game folder known before the first prompt is looked at then; one the player chooses, as
    // soon as it is settled.
    const auto readOnlyGame = [&](const std::string& gameFolder) {
        std::cout << std::flush;
        return StopForReadOnlyMedia("game folder", disk.HostPathOf(gameFolder), std::cerr);
    };
    if (const std::string known = KnownGameFolder(options, outcome.description, *registry);
        !known.empty() && readOnlyGame(known)) {
        return finish(kExitStopped, RunResult{});
    }
    FolderBrowser browser;
    RunContext context{fs, *registry, ui, browser, programFolder};
    context.acceptGameFolder = [&](const std::string& gameFolder) { return !readOnlyGame(gameFolder); };
    const RunResult result = RunRemoval(outcome.description, context);
    if (!options.dryRun) ReportCompletedRun(result, ui, disk, std::cout);
    std::cout << std::flush;
    return finish(ExitCodeOf(result), result);
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
