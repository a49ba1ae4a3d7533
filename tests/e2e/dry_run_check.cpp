#include "tests/e2e/dry_run_check.hpp"

#include <gtest/gtest.h>

#include <map>

#include "app/console/rtf_terminal.hpp"

namespace zelvane::e2e {

std::string DryRunLog(const std::string& output) {
    const std::string start = "== The removal log that would be saved as ";
    const std::string end = "\n== End of the removal log ==\n";
    const std::size_t at = output.find(start);
    if (at == std::string::npos) return {};
    const std::size_t body = output.find(" ==\n", at);
    const std::size_t stop = output.find(end, body);
    if (body == std::string::npos || stop == std::string::npos) return {};
    return output.substr(body + 4, stop - body - 4);
}

std::string LogAsPrinted(const std::string& savedLog) {
    std::string text = console::RenderRtfForTerminal(savedLog, console::RtfTerminalOptions{false});
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

ConsoleRun RunAfterDryRun(const std::vector<std::string>& arguments, const std::vector<std::string>& folders,
                          const std::string& logPath, const std::vector<std::string>& environment) {
    std::vector<std::map<std::string, std::string>> before;
    for (const std::string& folder : folders) before.push_back(StampedSnapshot(folder));

    std::vector<std::string> dryArguments = arguments;
    dryArguments.push_back("--dry-run");
    const ConsoleRun dry = RunConsoleWithEnvironment(dryArguments, environment);
    for (std::size_t i = 0; i < folders.size(); ++i) {
        EXPECT_EQ(StampedSnapshot(folders[i]), before[i]) << "the dry run changed " << folders[i] << "\n" << dry.out;
    }
    EXPECT_NE(dry.out.find("== Dry run: nothing was changed on disk."), std::string::npos) << dry.out << dry.err;

    const bool logBefore = Exists(logPath);
    const ConsoleRun real = RunConsoleWithEnvironment(arguments, environment);
    EXPECT_EQ(dry.exitCode, real.exitCode) << dry.out << dry.err;
    if (!logBefore && Exists(logPath)) {
        const std::string saved = ReadFile(logPath);
        EXPECT_EQ(DryRunLog(dry.out), LogAsPrinted(saved)) << dry.out;
        EXPECT_NE(dry.out.find(" (" + std::to_string(saved.size()) + " bytes) ==\n"), std::string::npos) << dry.out;
    } else if (!logBefore) {
        EXPECT_NE(dry.out.find("== No removal log would be saved =="), std::string::npos) << dry.out;
    }
    return real;
}

}  // namespace zelvane::e2e
