// zelvane-console: the removal run of Zelvane for Linux players and automation.

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/console/answer_source.hpp"
#include "app/console/console_options.hpp"
#include "app/console/host_path_form.hpp"
#include "app/console/terminal_ui.hpp"
#include "app/startup.hpp"
#include "app/usage_document.hpp"
#include "platform/posix/file_registry.hpp"
#include "platform/posix/instance_lock.hpp"
#include "platform/posix/posix_file_system.hpp"
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
    const std::string hostProgramFolder =
        options.programFolder.empty() ? ExecutableFolder() : CanonicalFolder(options.programFolder);
    const std::string programFolder = HostToWindowsPath(hostProgramFolder);

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

    PosixFileSystem fs;
    FileRegistry registry(options.registryFile);
    if (!registry.Error().empty()) {
        std::cerr << "zelvane-console: " << registry.Error() << std::endl;
        return kExitBadUse;
    }
    PosixInstanceCheck instance(hostProgramFolder);
    TerminalOptions terminal;
    terminal.colors = !options.noColor && isatty(STDOUT_FILENO) == 1;
    terminal.open = !options.noOpen;
    TerminalUi ui(terminal, *answers, fs, std::cout);

    StartupContext startup{fs, ui, instance, programFolder, [&](const std::string& documentPath) {
                               std::string rtf;
                               if (fs.ReadAll(documentPath, rtf) != FsStatus::Ok) return true;
                               ui.ShowDocument(rtf, "Uninstall_Info.rtf");
                               return true;
                           }};
    StartupOutcome outcome = RunStartup(startup);
    if (outcome.state == StartupState::Ended) return kExitAnotherInstance;
    std::cout << "== " << outcome.caption << " ==\n";
    std::cout << "Program folder: " << programFolder << "\n\n";
    if (outcome.state == StartupState::NormalWithoutDocument) ui.ShowNotice(kNoDocumentNotice);

    if (options.usage) {
        if (!WriteUsageDocument(fs, ui, programFolder, EmbeddedUsageGuide())) return kExitStopped;
        return kExitCompleted;
    }
    if (outcome.state == StartupState::IniError) {
        ui.ShowNotice(kIniErrorNotice);
        return kExitIniError;
    }

    FolderBrowser browser;
    RunContext context{fs, registry, ui, browser, programFolder};
    const RunResult result = RunRemoval(outcome.description, context);
    std::cout << std::flush;
    return ExitCodeOf(result.outcome);
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
