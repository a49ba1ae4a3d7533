#include "app/console/check_tables.hpp"

#include <optional>
#include <string>

#include "description/loader.hpp"
#include "description/reader.hpp"
#include "platform/seams/read_limits.hpp"
#include "platform/paths/windows_path.hpp"
#include "removal/table_comparison.hpp"
#include "util/common.hpp"
#include "util/recurse.hpp"

namespace zelvane::console {
namespace {

struct Loaded {
    UninstallDescription description;
    int listLine = 0;  // the first "#qrestore_2da_files=" line
};

// The description as start-up reads it; nothing when start-up would not get to the end of it.
std::optional<Loaded> Load(const FileSystem& fs, const CheckOptions& options) {
    Loaded loaded;
    UninstallDescription& d = loaded.description;
    d.DescriptionPath = AddBackslash(options.programFolder) + "uninstall\\uninstall_data.ini";
    std::string bytes;
    if (fs.ReadAll(d.DescriptionPath, bytes, kDescriptionLimit) != FsStatus::Ok) return std::nullopt;
    const LoaderContext context{fs, options.programFolder, d.DescriptionPath, options.twipsPerPixelX};
    if (LoadUninstallDescription(d, context).outcome != LoadOutcome::EndOfFile) return std::nullopt;
    for (const DescriptionLine& line : ReadDescription(std::move(bytes)).lines) {
        if (line.Carries("#qrestore_2da_files=")) {
            loaded.listLine = line.number;
            break;
        }
    }
    return loaded;
}

// The table the run would offer to replace: the one in override, else for K2 (or a choice of
// game) the first of that name in override's subfolders, the program folder left out. "" = none.
std::string TableInUse(const FileSystem& fs, const CheckOptions& options, const UninstallDescription& d,
                       const std::string& name) {
    const std::string override = AddBackslash(options.gameFolder) + "override";
    if (const std::string direct = override + "\\" + name; FileExists(fs, direct)) return direct;
    if (!d.GameSelect && d.Game != 2) return "";
    SearchState state;
    RecurseFiles_FindFile(fs, override + "\\*.*", name, true, state);
    if (!state.found || !FileExists(fs, state.result)) return "";
    if (IsPathBelow(state.result, options.programFolder)) return "";
    return state.result;
}

class Notes {
public:
    Notes(std::vector<Diagnostic>& out, int line, std::string prefix)
        : out_(out), line_(line), prefix_(std::move(prefix)) {}
    void Add(const std::string& text) { out_.push_back(Diagnostic{line_, Severity::Note, prefix_ + text}); }
    void Add(const TableReport& report) {
        Add(report.summary);
        for (const std::string& detail : report.details) Add(detail);
    }

private:
    std::vector<Diagnostic>& out_;
    int line_;
    std::string prefix_;
};

void CompareOne(const FileSystem& fs, const CheckOptions& options, const Loaded& loaded, const std::string& backup,
                std::vector<Diagnostic>& out) {
    const std::string name = GetFileName(backup);
    const std::string current = TableInUse(fs, options, loaded.description, name);
    if (current.empty()) {
        Notes(out, loaded.listLine, "2da table " + name + ": ")
            .Add("none is in use in the game folder's override, so the run would offer to put the backup there");
        return;
    }
    Notes notes(out, loaded.listLine,
                "2da table \"" + current.substr(AddBackslash(options.gameFolder).size()) + "\": ");
    const TableComparison comparison = CompareTableWithBackup(fs, backup, current, options.modFolder);
    if (!comparison.compared) {
        notes.Add(
            "it and its backup cannot be compared, one of them does not read as a 2da table; the run asks "
            "without saying what replacing it would change");
        return;
    }
    notes.Add(comparison.difference);
    if (comparison.merge == MergeOffer::Offered) {
        notes.Add("a merge is possible. " + comparison.mergeReport.summary);
        for (const std::string& detail : comparison.mergeReport.details) notes.Add(detail);
    } else if (comparison.merge != MergeOffer::NotAsked) {
        notes.Add("Merge is not offered: " + WhyNoMerge(comparison, name));
        if (comparison.merge == MergeOffer::Conflicts) notes.Add(comparison.mergeReport);
    }
}

}  // namespace

std::vector<Diagnostic> CheckTableRestores(const FileSystem& fs, const CheckOptions& options) {
    std::vector<Diagnostic> out;
    if (options.gameFolder.empty() || !FolderExists(fs, options.gameFolder)) return out;
    const std::optional<Loaded> loaded = Load(fs, options);
    if (!loaded || !loaded->description.Restore2da) return out;
    for (const std::string& backup : loaded->description.Backup2daFiles) CompareOne(fs, options, *loaded, backup, out);
    return out;
}

}  // namespace zelvane::console
