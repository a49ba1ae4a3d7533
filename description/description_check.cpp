#include "description/description_check.hpp"

#include <algorithm>
#include <optional>

#include "description/check_parts.hpp"
#include "description/loader.hpp"
#include "description/values.hpp"
#include "platform/seams/read_limits.hpp"
#include "util/common.hpp"
#include "util/program_error.hpp"

namespace zelvane {
namespace {

using check::Add;

void Append(std::vector<Diagnostic>& out, std::vector<Diagnostic> more) {
    out.insert(out.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

bool HasErrors(const std::vector<Diagnostic>& diagnostics) {
    return std::any_of(diagnostics.begin(), diagnostics.end(),
                       [](const Diagnostic& d) { return d.severity == Severity::Error; });
}

// The game as the removal would take it: from the loader when it read the whole file, else from
// the last line of each key. Nothing when a game value does not convert (that error is reported).
std::optional<check::GameChoice> GameOf(const DescriptionText& text, const UninstallDescription& loaded,
                                        bool loadedAll) {
    if (loadedAll) return check::GameChoice{loaded.Game, loaded.GameSelect};
    check::GameChoice choice;
    for (const DescriptionLine& line : text.lines) {
        try {
            if (line.Carries("#game=")) choice.game = ToInteger(line.Value());
            if (line.Carries("#game_select=")) choice.select = ToFlag(line.Value());
        } catch (const ProgramError&) {
            return std::nullopt;
        }
    }
    return choice;
}

void CheckGameChoice(const DescriptionText& text, check::GameChoice choice, std::vector<Diagnostic>& out) {
    if (choice.select || choice.game == 1 || choice.game == 2) return;
    int line = 0;
    for (const DescriptionLine& l : text.lines) {
        if (l.Carries("#game=")) line = l.number;
    }
    const std::string stop = "the removal would stop with \"Error selecting game to uninstall from.\"";
    if (line == 0) {
        Add(out, 0, Severity::Error,
            "there is no #game= line and #game_select= is not true; " + stop + " (write #game=1 or #game=2)");
    } else {
        Add(out, line, Severity::Error,
            "#game= is " + std::to_string(choice.game) +
                " and #game_select= is not true; the removal accepts only 1 "
                "(K1) or 2 (K2), so " +
                stop);
    }
}

}  // namespace

std::vector<Diagnostic> CheckDescription(const FileSystem& fs, const CheckOptions& options) {
    std::vector<Diagnostic> out;
    UninstallDescription loaded;
    loaded.DescriptionPath = AddBackslash(options.programFolder) + "uninstall\\uninstall_data.ini";
    std::string bytes;
    if (const std::string refused = ReadRefusal(fs, loaded.DescriptionPath, kDescriptionLimit); !refused.empty()) {
        Add(out, 0, Severity::Error,
            "the file " + check::Quoted(loaded.DescriptionPath) + " " + refused +
                "; start-up would stop with \"The uninstall_data.ini file " + refused + ".\"");
        return out;
    }
    if (!FileExists(fs, loaded.DescriptionPath) ||
        fs.ReadAll(loaded.DescriptionPath, bytes, kDescriptionLimit) != FsStatus::Ok) {
        Add(out, 0, Severity::Error,
            "the file " + check::Quoted(loaded.DescriptionPath) +
                " was not found; start-up would stop with \"The uninstall_data.ini file was not found.\"");
        return out;
    }
    const DescriptionText text = ReadDescription(std::move(bytes));

    // Start-up's own loader over the file itself: its blocks are cut from these same bytes, so no
    // working copy is needed, and the loader only ever reads.
    const LoaderContext context{fs, options.programFolder, loaded.DescriptionPath, options.twipsPerPixelX};
    const LoadResult load = LoadUninstallDescription(loaded, context);

    Append(out, check::CheckStructure(text, options.twipsPerPixelX));
    if (load.outcome != LoadOutcome::EndOfFile && !HasErrors(out)) {
        // Whatever stopped the loader is an error even where the check has no finer word for it.
        Add(out, 0, Severity::Error,
            load.outcome == LoadOutcome::Aborted
                ? "start-up would stop with \"" + load.abortMessage + "\""
                : "start-up would fail with error " + std::to_string(load.error.Number()) + " \"" +
                      load.error.Description() + "\"");
    }
    const std::optional<check::GameChoice> game = GameOf(text, loaded, load.outcome == LoadOutcome::EndOfFile);
    if (game) CheckGameChoice(text, *game, out);

    Append(out, check::CheckEncoding(text));
    if (!check::IsUtf16(text)) {
        Append(out, check::CheckKeyLines(text));
        Append(out, check::CheckBlockTexts(text));
        Append(out, check::CheckEntries(text));
        std::vector<std::string> backups;
        for (const std::string& backup : loaded.Backup2daFiles) backups.push_back(GetFileName(backup));
        Append(out, check::CheckTablesInFileList(text, backups));
    }
    if (!options.modFolder.empty()) Append(out, check::CheckModFolder(fs, text, options.modFolder));
    if (!options.gameFolder.empty())
        Append(out, check::CheckGameFolder(fs, text, options.gameFolder, game.value_or(check::GameChoice{})));

    std::stable_sort(out.begin(), out.end(), [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
    return out;
}

std::string FormatDiagnostic(const Diagnostic& diagnostic, std::string_view file) {
    std::string text = std::string(file) + ":";
    if (diagnostic.line > 0) text += std::to_string(diagnostic.line) + ":";
    switch (diagnostic.severity) {
        case Severity::Error: text += " error: "; break;
        case Severity::Warning: text += " warning: "; break;
        case Severity::Note: text += " note: "; break;
    }
    return text + diagnostic.text;
}

std::string CheckSummary(const std::vector<Diagnostic>& diagnostics) {
    auto count = [&](Severity severity, std::string_view word) {
        const auto n = std::count_if(diagnostics.begin(), diagnostics.end(),
                                     [severity](const Diagnostic& d) { return d.severity == severity; });
        return std::to_string(n) + " " + std::string(word) + (n == 1 ? "" : "s");
    };
    return count(Severity::Error, "error") + ", " + count(Severity::Warning, "warning") + ", " +
           count(Severity::Note, "note");
}

int CheckStatus(const std::vector<Diagnostic>& diagnostics) {
    if (HasErrors(diagnostics)) return 1;
    const bool warnings = std::any_of(diagnostics.begin(), diagnostics.end(),
                                      [](const Diagnostic& d) { return d.severity == Severity::Warning; });
    return warnings ? 2 : 0;
}

}  // namespace zelvane
