#include "tests/e2e/mod_install.hpp"

#include "app/console/rtf_terminal.hpp"

namespace zelvane::e2e {
namespace {

// The log a dry run printed ("" when it printed none).
std::string DryRunLog(const std::string& output) {
    const std::size_t at = output.find("== The removal log that would be saved as ");
    const std::size_t body = output.find(" ==\n", at);
    const std::size_t stop = output.find("\n== End of the removal log ==\n", body);
    if (at == std::string::npos || body == std::string::npos || stop == std::string::npos) return {};
    return output.substr(body + 4, stop - body - 4);
}

}  // namespace

std::string LogHeader(int gameNumber, const std::string& gameDisplay, const std::string& appDisplay) {
    return R"({\rtf1\ansi\ansicpg1252\deff0\deflang1033{\fonttbl{\f0\fnil\fcharset0 Times New Roman;}})" + kCrLf +
           R"({\colortbl ;\red0\green0\blue0;\red128\green0\blue0;\red0\green128\blue0;\red128\green128\blue0;\red0\green0\blue128;\red128\green0\blue128;\red0\green128\blue128;\red128\green128\blue128;\red192\green192\blue192;\red255\green0\blue0;\red0\green255\blue0;\red255\green255\blue0;\red0\green0\blue255;\red255\green0\blue255;\red0\green255\blue255;\red255\green255\blue255;})" +
           kCrLf + R"(\viewkind4\uc1\pard\cf1\f0\fs24 )" + "\\cf6\\b Game is K" + std::to_string(gameNumber) +
           "\\cf1\\b0\\par" + kCrLf + "\\cf6\\b Game Directory Is: " + gameDisplay + "\\cf1\\b0\\par" + kCrLf +
           "\\cf6\\b App Directory Is: " + appDisplay + "\\cf1\\b0\\par" + kCrLf + kPar + kPar;
}

std::string Totals(int errors, int notFound) {
    return kPar + kPar + "\\cf6\\b " + std::to_string(errors) + " errors.\\b0\\par" + kCrLf + "\\cf6\\b " +
           std::to_string(notFound) + " files not found.\\b0\\par" + kCrLf + kThreePars + "}";
}

ConsoleRun RunAfterDryRun(const Launch& launch, const std::vector<std::string>& folders, const std::string& logPath) {
    std::vector<Files> before;
    for (const std::string& folder : folders) before.push_back(StampedSnapshot(folder));
    Launch dryLaunch = launch;
    dryLaunch.arguments.push_back("--dry-run");
    const ConsoleRun dry = RunConsole(dryLaunch);
    for (std::size_t i = 0; i < folders.size(); ++i) {
        EXPECT_EQ(StampedSnapshot(folders[i]), before[i]) << "the dry run changed " << folders[i] << "\n" << dry.out;
    }
    EXPECT_NE(dry.out.find("== Dry run: nothing was changed on disk."), std::string::npos) << dry.out << dry.err;

    const bool logBefore = Exists(logPath);
    const ConsoleRun real = RunConsole(launch);
    EXPECT_EQ(dry.exitCode, real.exitCode) << dry.out << dry.err;
    if (!logBefore && Exists(logPath)) {
        const std::string saved = ReadFile(logPath);
        std::string printed = console::RenderRtfForTerminal(saved, console::RtfTerminalOptions{false});
        while (!printed.empty() && (printed.back() == '\n' || printed.back() == ' ')) printed.pop_back();
        EXPECT_EQ(DryRunLog(dry.out), printed) << dry.out;
        EXPECT_NE(dry.out.find(" (" + std::to_string(saved.size()) + " bytes) ==\n"), std::string::npos) << dry.out;
    } else if (!logBefore) {
        EXPECT_NE(dry.out.find("== No removal log would be saved =="), std::string::npos) << dry.out;
    }
    return real;
}

}  // namespace zelvane::e2e
