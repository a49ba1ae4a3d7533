#pragma once
// One whole removal run over the in-memory file system, as the removal fuzz target, the fault
// sweep and the in-memory benchmark make it, and what holds after any run: nothing the player
// owns is lost, and a log's failure lines add up to the errors total it prints.

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/seams/registry.hpp"
#include "platform/seams/user_interface.hpp"
#include "removal/removal_run.hpp"
#include "util/browse_folders.hpp"

namespace zelvane::whole_run {

// Every game's "Path" value names this folder.
class GameRegistry final : public Registry {
public:
    explicit GameRegistry(std::string folder) : game(std::move(folder)) {}
    std::optional<RegistryValue> Query(std::uint32_t, std::string_view, std::string_view) const override {
        return RegistryValue{kRegSz, game + '\0'};
    }
    std::string game;
};

// Answers the first button of every prompt, cancels every dialog and keeps what it was to show;
// text is 6 twips per character and point wide, +10% when bold.
class QuietUi : public UserInterface {
public:
    struct Shown {
        std::string title, text;
    };
    std::vector<Shown> messages;
    int twipsPerPixel = 15;

    bool Showed(std::string_view title, std::string_view fragment) const {
        return std::any_of(messages.begin(), messages.end(), [&](const Shown& m) {
            return (title.empty() || m.title == title) && m.text.find(fragment) != std::string::npos;
        });
    }
    int MsgBoxEx(PromptRequest) override { return 0; }
    void ShowMessage(std::string_view text, std::string_view title, std::uint32_t) override {
        messages.push_back({std::string(title), std::string(text)});
    }
    std::string BrowseFolderDialog(std::string_view, std::string_view) override { return {}; }
    std::string OpenFileDialog(const OpenFileRequest&) override { return {}; }
    int ShellOpen(std::string_view, std::string_view, std::string_view, int) override { return 42; }
    void DoEvents() override {}
    int TwipsPerPixelX() const override { return twipsPerPixel; }
    int TwipsPerPixelY() const override { return twipsPerPixel; }
    int TextWidthTwips(std::string_view text, std::string_view, int points, bool bold) override {
        const long long width = static_cast<long long>(text.size()) * 6 * std::max(points, 1) * (bold ? 11 : 10) / 10;
        return static_cast<int>(std::min<long long>(width, 0x7FFFFFFF));
    }
};

inline RunResult Run(FileSystem& fs, UninstallDescription& d, UserInterface& ui, const std::string& game,
                     const std::string& program) {
    GameRegistry registry(game);
    FolderBrowser browser;
    RunContext context{fs, registry, ui, browser, program};
    return RunRemoval(d, context);
}

using Files = std::map<std::string, std::string>;  // path -> bytes, as MemoryFileSystem::Snapshot

// The files of `before` that must be kept and whose bytes are nowhere in `after` ("" when none):
// a file the run moves aside or replaces survives as long as its bytes do.
template <class MustKeep>
std::string Lost(const Files& before, const Files& after, MustKeep mustKeep) {
    std::set<std::string> contents;
    for (const auto& [path, bytes] : after) contents.insert(bytes);
    std::string lost;
    for (const auto& [path, bytes] : before) {
        if (mustKeep(path) && !contents.contains(bytes)) lost += "lost " + path + "; ";
    }
    return lost;
}

inline int Occurrences(std::string_view log, std::string_view word) {
    int count = 0;
    for (std::size_t at = log.find(word); at != std::string::npos; at = log.find(word, at + 1)) ++count;
    return count;
}

// What is wrong with the log of a run ("" when nothing): the errors counted must be its failure
// lines; a completed run's log is one balanced {\rtf1 ...} group that prints that total.
inline std::string CheckLog(const RunResult& result) {
    const std::string& log = result.log;
    int failureLines = 0;
    for (const char* failure : {"\\cf10 Delete Failure - ", "\\cf10 Failure Renaming ", "\\cf10 Failure Moving ",
                                "\\cf10 Refused (", "\\cf10 Backup not restored: "}) {
        failureLines += Occurrences(log, failure);
    }
    std::string broke;
    if (result.failureCount != failureLines) broke += "the errors counted are not the failure lines; ";
    if (result.outcome != RunOutcome::Completed) return broke;
    const std::string total = "\\cf6\\b " + std::to_string(result.failureCount) + " errors.\\b0\\par";
    if (log.find(total) == std::string::npos) broke += "the log does not print the errors total; ";
    int depth = 0;
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i] == '\\') {
            ++i;  // \{ \} \\ and the first letter of a control word
        } else if (log[i] == '{') {
            ++depth;
        } else if (log[i] == '}' && (--depth < 0 || (depth == 0 && i + 1 != log.size()))) {
            return broke + "a } closes the log before its end; ";
        }
    }
    if (!log.starts_with("{\\rtf1") || depth != 0) broke += "the log is no balanced {\\rtf1 ...} group; ";
    return broke;
}

}  // namespace zelvane::whole_run
