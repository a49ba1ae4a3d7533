#include "app/console/console_run.hpp"

#include <cstdlib>
#include <iostream>
#include <optional>

#include "app/console/answer_source.hpp"
#include "app/console/check_mode.hpp"
#include "app/console/console_host.hpp"
#include "app/console/dry_run_report.hpp"
#include "app/console/run_summary.hpp"
#include "app/console/terminal_text.hpp"
#include "app/console/terminal_ui.hpp"
#include "app/startup.hpp"
#include "app/usage_document.hpp"
#include "platform/overlay/overlay_file_system.hpp"
#include "platform/seams/read_limits.hpp"
#include "removal/game_folder.hpp"
#include "removal/removal_run.hpp"
#include "resources/embedded_guide.hpp"
#include "util/browse_folders.hpp"
#include "util/common.hpp"

namespace zelvane::console {
namespace {

// The errors a completed run counts are those its log's totals print.
int ExitCodeOf(const RunResult& result) {
    switch (result.outcome) {
        case RunOutcome::Completed: return result.failureCount > 0 ? kExitErrorsCounted : kExitCompleted;
        case RunOutcome::Declined:
        case RunOutcome::Ignored: return kExitCompleted;
        case RunOutcome::Stopped:
        case RunOutcome::Failed: return kExitStopped;
    }
    return kExitStopped;
}

// The game folder a run will use when it is settled before the first prompt: --game-folder, or
// the registry's folder of the one game the description names. "" when the player chooses.
std::string KnownGameFolder(const ConsoleOptions& options, const UninstallDescription& description,
                            const Registry& registry) {
    if (!options.gameFolder.empty()) return TypedPathToWindows(options.gameFolder);
    const std::optional<Game> game = GameOfNumber(description.Game);
    if (description.GameSelect || !game) return {};
    return RegistryGameFolder(registry, *game);
}

}  // namespace

int RunConsole(const ConsoleOptions& options, ConsoleSystem& system) {
    const std::string& hostProgramFolder = system.programFolder.host;
    const std::string programFolder = HostToWindows(hostProgramFolder);

    std::optional<AnswerSource> answers;
    if (options.answersFile.empty()) {
        answers = AnswerSource::FromStandardInput();
    } else {
        answers = AnswerSource::FromFile(options.answersFile);
        if (!answers->Error().empty()) {
            std::cerr << "zelvane-console: " << HostTerminalLine(answers->Error()) << std::endl;
            return kExitBadUse;
        }
    }

    OverlayFileSystem view(system.disk);
    FileSystem& fs = options.dryRun ? static_cast<FileSystem&>(view) : system.disk;
    if (!system.registryError.empty()) {
        std::cerr << "zelvane-console: " << HostTerminalLine(system.registryError) << std::endl;
        return kExitBadUse;
    }
    const std::string modFolder = options.modFolder.empty() ? std::string() : TypedPathToWindows(options.modFolder);
    if (!modFolder.empty() && !FolderExists(system.disk, modFolder)) {
        std::cerr << "zelvane-console: the mod folder \"" << HostTerminalLine(options.modFolder)
                  << "\" does not exist; name the folder of the mod's files, the one that holds its override folder"
                  << std::endl;
        return kExitBadUse;
    }
    const std::unique_ptr<InstanceCheck> instance = system.holdProgramFolder(options.dryRun, std::cerr);
    TerminalOptions terminal;
    terminal.colors = UseColors(options.noColor, std::getenv("NO_COLOR"), StandardOutputShowsColours());
    terminal.open = !options.noOpen;
    terminal.dryRun = options.dryRun;
    TerminalUi ui(terminal, *answers, system.hostPathOf, std::cout);
    // A dry run ends, whichever way, with what it would have done.
    const auto finish = [&](int status, const RunResult& result) {
        if (options.dryRun) PrintDryRun(view, ui, result, std::cout);
        return status;
    };
    if (options.dryRun) ui.SetBeforeExit([&] { PrintDryRun(view, ui, RunResult{}, std::cout); });

    if (system.stopForFolder("program folder", hostProgramFolder, std::cerr)) return finish(kExitStopped, RunResult{});
    if (!options.gameFolder.empty()) {
        const GameFolderCheck check = CheckGameFolder(fs, TypedPathToWindows(options.gameFolder));
        if (check != GameFolderCheck::Valid) {
            ShowGameFolderStop(ui, check);
            return finish(kExitStopped, RunResult{});
        }
    }

    StartupContext startup{fs, ui, *instance, programFolder, [&](const std::string& documentPath) {
                               std::string rtf;
                               if (fs.ReadAll(documentPath, rtf, kDocumentLimit) != FsStatus::Ok) return true;
                               ui.ShowDocument(rtf, "Uninstall_Info.rtf");
                               return true;
                           }};
    StartupOutcome outcome = RunStartup(startup);
    if (outcome.state == StartupState::Ended) {
        if (instance->AnotherInstanceRunning()) {
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
        PrintFirstCheckError(system.disk, system.hostPathOf, system.programFolder, std::cout);
        return finish(kExitIniError, RunResult{});
    }

    // A game folder known before the first prompt is looked at then; one the player chooses, as
    // soon as it is settled.
    const auto stopForGame = [&](const std::string& gameFolder) {
        std::cout << std::flush;
        return system.stopForFolder("game folder", system.hostPathOf(gameFolder), std::cerr);
    };
    if (const std::string known = KnownGameFolder(options, outcome.description, system.registry);
        !known.empty() && stopForGame(known)) {
        return finish(kExitStopped, RunResult{});
    }
    FolderBrowser browser;
    RunContext context{fs, system.registry, ui, browser, programFolder};
    context.acceptGameFolder = [&](const std::string& gameFolder) { return !stopForGame(gameFolder); };
    // The player decides at the 2da questions with what a restore would undo in front of them.
    context.tableInsight.show = true;
    context.tableInsight.modFolder = modFolder;
    const RunResult result = RunRemoval(outcome.description, context);
    if (!options.dryRun) ReportCompletedRun(result, ui, system.hostPathOf, std::cout);
    std::cout << std::flush;
    return finish(ExitCodeOf(result), result);
}

int ReportUncaught(const std::exception& failure, std::ostream& err) {
    if (const auto* own = dynamic_cast<const ProgramError*>(&failure)) {
        err << "zelvane-console: error " << own->Number() << ": " << own->Description() << std::endl;
    } else {
        err << "zelvane-console: " << failure.what() << std::endl;
    }
    return kExitStopped;
}

}  // namespace zelvane::console
