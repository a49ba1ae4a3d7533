#include "tests/reliability/sweep_scenario.hpp"

#include <cctype>
#include <sstream>

namespace zelvane::testing {
namespace {

const std::string kCrLfText = "\r\n";

std::string Lines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) {
        text += line;
        text += kCrLfText;
    }
    return text;
}

std::string Fold(std::string_view text) {
    std::string folded;
    for (char c : text) folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

std::string Description(int game) {
    return Lines({"#game=" + std::to_string(game),
                  "#default_format_width=450",
                  "#confirm_message_title=Remove Example Robes?",
                  "#confirm_message_begin#",
                  "This removes \\b Example Robes\\b0 .",
                  "#confirm_message_end#",
                  "#explicit_instructions_title=One more thing",
                  "#explicit_instructions_begin#",
                  "Start a new game to see the old robes again.",
                  "#explicit_instructions_end#",
                  "#qdelete_file_0=override\\q1.uti",
                  "#qdelete_file_begin_0#",
                  "Delete \\b q1\\b0 ?",
                  "#qdelete_file_end_0#",
                  "#qdelete_file_1=override\\q2.uti",
                  "#qdelete_file_begin_1#",
                  "Delete q2?",
                  "#qdelete_file_end_1#",
                  "#qrestore_file_0=override\\r.tga",
                  "#qrestore_file_begin_0#",
                  "Restore r?",
                  "#qrestore_file_end_0#",
                  "#qrestore_file_1=override\\s.tga",
                  "#qrestore_file_format_width_1=400",
                  "#qrestore_file_begin_1#",
                  "Restore s?",
                  "#qrestore_file_end_1#",
                  "#qdelete_file_2=..\\outside.txt",
                  "#qdelete_file_begin_2#",
                  "Delete a file outside?",
                  "#qdelete_file_end_2#",
                  "#qrestore_2da=1",
                  "#qrestore_2da_files=appearance.2da,spells.2da,feat.2da",
                  "#file_list",
                  "; installed files",
                  "override\\a.tga",
                  "override\\b.uti",
                  "movies\\m.bik",
                  "override\\missing.tga",
                  "..\\outside.txt",
                  "override\\player.tga:stream"});
}

bool Under(const std::string& path, const std::string& folder) { return Fold(path).starts_with(Fold(folder) + "\\"); }

}  // namespace

void BuildScenario(MemoryFileSystem& fs, const SweepOptions& options) {
    const std::string& g = kSweepGame;
    const std::string& p = kSweepProgram;
    const std::string description = Description(options.game);
    fs.AddFile(kSweepIni, description);
    fs.AddFile(kSweepWorkingCopy, description);
    fs.AddFile(g + "\\dialog.tlk", "TLK V3.0 the game's talk table");
    fs.AddFile(g + "\\chitin.key", "the game's key file");
    fs.AddFile(g + "\\override\\a.tga", "mod file a");
    fs.AddFile(g + "\\override\\sub\\b.uti", "mod file b, moved by the player", Attributes{false, true});
    fs.AddFile(g + "\\movies\\m.bik", "mod movie");
    fs.AddFile(g + "\\movies\\intro.bik", "the game's intro movie");
    fs.AddFile(g + "\\override\\player.tga", "the player's own texture");
    fs.AddFile(g + "\\override\\q1.uti", "queued delete 1");
    fs.AddFile(g + "\\override\\r.tga", "mod replacement r");
    fs.AddFile(g + "\\override\\r.tga.original", "game file r");
    fs.AddFile(g + "\\override\\s.tga", "mod replacement s", Attributes{false, true});
    fs.AddFile(g + "\\override\\s.tga.original", "game file s", Attributes{false, true});
    fs.AddFile(g + "\\override\\appearance.2da", "current appearance table");
    if (options.game == 2) fs.AddFile(g + "\\override\\sub2\\spells.2da", "current spells table");
    fs.AddFile("C:\\Games\\outside.txt", "a file beside the game folder");
    fs.AddFile(p + "\\backup\\appearance.2da", "backup appearance table");
    fs.AddFile(p + "\\backup\\spells.2da", "backup spells table");
    if (options.programOnOwnVolume) fs.PutOnOwnVolume(p);
    if (options.earlierRun) {
        fs.AddFile(p + "\\Backup Uninstall\\appearance.2da", "displaced by an earlier run", Attributes{false, true});
        fs.AddFile(p + "\\Backup Uninstall\\original install backup.appearance.2da", "safety copy of an earlier run");
        fs.AddFile(kSweepResults, "{\\rtf1 earlier result}", Attributes{false, true});
    }
}

std::set<std::string> AgreedDeletions(const SweepOptions& options) {
    const std::string& g = kSweepGame;
    std::set<std::string> agreed = {Fold(g + "\\override\\a.tga"),  Fold(g + "\\movies\\m.bik"),
                                    Fold(g + "\\override\\q1.uti"), Fold(g + "\\override\\r.tga"),
                                    Fold(g + "\\override\\s.tga"),  Fold(kSweepResults)};
    if (options.game == 2) agreed.insert(Fold(g + "\\override\\sub\\b.uti"));
    agreed.insert(Fold(kSweepProgram + "\\Backup Uninstall\\appearance.2da"));
    agreed.insert(Fold(kSweepProgram + "\\Backup Uninstall\\original install backup.appearance.2da"));
    return agreed;
}

SweepRun RunSweep(const SweepOptions& options, const std::function<void(MemoryFileSystem&)>& setUp,
                  std::optional<ReadFault> readFault) {
    MemoryFileSystem memory;
    BuildScenario(memory, options);
    SweepRun run;
    run.before = memory.Snapshot();
    RecordingFileSystem fs(memory);

    UninstallDescription d;
    d.DescriptionPath = kSweepIni;
    const LoadResult loaded = LoadUninstallDescription(d, LoaderContext{fs, kSweepProgram, kSweepWorkingCopy, 15});
    EXPECT_EQ(loaded.outcome, LoadOutcome::EndOfFile) << loaded.abortMessage;

    if (setUp) setUp(memory);
    fs.reads.clear();
    if (readFault) fs.FailRead(readFault->index, readFault->status);
    SweepRegistry registry(kSweepGame);
    YesToAllUi ui;
    FolderBrowser browser;
    RunContext context{fs, registry, ui, browser, kSweepProgram};
    run.result = RunRemoval(d, context);
    memory.ClearFaults();
    run.after = memory.Snapshot();
    run.mutations = fs.mutations;
    run.reads = fs.reads;
    run.messages = ui.messages;
    run.prompts = ui.prompts.size();
    return run;
}

std::string CheckNothingLost(const SweepRun& run, const SweepOptions& options) {
    const std::set<std::string> agreed = AgreedDeletions(options);
    std::multiset<std::string> kept;  // contents now in the game folder, backup and Backup Uninstall
    for (const auto& [path, bytes] : run.after) {
        if (Under(path, kSweepGame) || Under(path, kSweepProgram + "\\backup") ||
            Under(path, kSweepProgram + "\\Backup Uninstall")) {
            kept.insert(bytes);
        }
    }
    std::ostringstream lost;
    for (const auto& [path, bytes] : run.before) {
        if (agreed.contains(Fold(path))) continue;
        auto same = run.after.find(path);
        if (same != run.after.end() && same->second == bytes) continue;
        if (!kept.contains(bytes)) lost << "lost " << path << " (\"" << bytes << "\"); ";
    }
    return lost.str();
}

std::string CheckLogWellFormed(const std::string& log) {
    if (!log.starts_with("{\\rtf1")) return "the log does not begin with {\\rtf1";
    if (!log.ends_with("}")) return "the log does not end with }";
    int depth = 0;
    for (std::size_t i = 0; i < log.size(); ++i) {
        const char c = log[i];
        if (c == '\\') {
            ++i;  // \{ \} \\ and the first letter of a control word
            continue;
        }
        if (c == '{') ++depth;
        if (c == '}' && --depth < 0) return "a } closes more than was opened at offset " + std::to_string(i);
        if (c == '}' && depth == 0 && i + 1 != log.size()) {
            return "the document closes before its end, at offset " + std::to_string(i);
        }
    }
    if (depth != 0) return "unbalanced braces, depth " + std::to_string(depth) + " at the end";
    return "";
}

int CountedFailureLines(const std::string& log) {
    int count = 0;
    std::size_t start = 0;
    while (start < log.size()) {
        std::size_t end = log.find(kCrLfText, start);
        if (end == std::string::npos) end = log.size();
        const std::string_view line(log.data() + start, end - start);
        for (std::string_view word :
             {"Delete Failure - ", "Failure Renaming ", "Failure Moving ", "Refused (", "Backup not restored"}) {
            if (line.find(word) != std::string_view::npos) ++count;
        }
        start = end + kCrLfText.size();
    }
    return count;
}

std::string CheckFailureCount(const RunResult& result) {
    const std::string marker = " errors.\\b0\\par";
    const std::size_t at = result.log.rfind(marker);
    if (at == std::string::npos) return "the log prints no errors total";
    const std::size_t digits = result.log.rfind(' ', at - 1);
    const int printed = std::stoi(result.log.substr(digits + 1, at - digits - 1));
    const int lines = CountedFailureLines(result.log);
    if (printed != result.failureCount || printed != lines) {
        return "the log prints " + std::to_string(printed) + " errors, the run counted " +
               std::to_string(result.failureCount) + ", the log shows " + std::to_string(lines) + " failure lines";
    }
    return "";
}

bool LogShowsFailure(const std::string& log) {
    for (std::string_view word : {"Delete Failure - ", "Failure Renaming ", "Failure Moving ", "Failure FileCopy ",
                                  "Failure Copying ", "Backup not restored"}) {
        if (log.find(word) != std::string::npos) return true;
    }
    return false;
}

}  // namespace zelvane::testing
