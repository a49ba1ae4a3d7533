#include "app/console/console_run.hpp"

#include <iostream>
#include <memory>
#include <optional>

#include "app/console/answer_source.hpp"
#include "app/console/console_host.hpp"
#include "app/console/dry_run_report.hpp"
#include "app/console/terminal_text.hpp"
#include "app/console/terminal_ui.hpp"
#include "app/startup.hpp"
#include "app/usage_document.hpp"
#include "platform/overlay/overlay_file_system.hpp"
#include "removal/game_folder.hpp"
#include "removal/removal_run.hpp"
#include "resources/embedded_guide.hpp"
#include "util/browse_folders.hpp"

namespace zelvane::console {
namespace {

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

}  // namespace

int RunConsole(const ConsoleOptions& options, ConsoleSystem& system) {
    const std::string& programFolder = system.programFolder;
    std::optional<AnswerSource> answers;
    if (options.answersFile.empty()) {
        answers = AnswerSource::FromStandardInput();
    } else {
        answers = AnswerSource::FromFile(options.answersFile);
        if (!answers) {
            std::cerr << "zelvane-console: cannot read the answers file " << options.answersFile << std::endl;
            return kExitBadUse;
        }
    }

    OverlayFileSystem view(system.disk);
    FileSystem& fs = options.dryRun ? static_cast<FileSystem&>(view) : system.disk;
    if (!system.registryError.empty()) {
        std::cerr << "zelvane-console: " << system.registryError << std::endl;
        return kExitBadUse;
    }
    TerminalOptions terminal;
    terminal.colors = !options.noColor && StandardOutputShowsColours();
    terminal.open = !options.noOpen;
    terminal.dryRun = options.dryRun;
    TerminalUi ui(terminal, *answers, system.hostPathOf, std::cout);
    // A dry run ends, whichever way, with what it would have done.
    const auto finish = [&](int status, const RunResult& result) {
        if (options.dryRun) PrintDryRun(view, ui, result, std::cout);
        return status;
    };
    if (options.dryRun) ui.SetBeforeExit([&] { PrintDryRun(view, ui, RunResult{}, std::cout); });

    if (!options.gameFolder.empty()) {
        const GameFolderCheck check = CheckGameFolder(fs, TypedPathToWindows(options.gameFolder));
        if (check != GameFolderCheck::Valid) {
            ShowGameFolderStop(ui, check);
            return finish(kExitStopped, RunResult{});
        }
    }

    StartupContext startup{fs, ui, system.instance, programFolder, [&](const std::string& documentPath) {
                               std::string rtf;
                               if (fs.ReadAll(documentPath, rtf) != FsStatus::Ok) return true;
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
    RunContext context{fs, system.registry, ui, browser, programFolder};
    const RunResult result = RunRemoval(outcome.description, context);
    std::cout << std::flush;
    return finish(ExitCodeOf(result.outcome), result);
}

}  // namespace zelvane::console
