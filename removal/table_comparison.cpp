#include "removal/table_comparison.hpp"

#include <optional>

#include "platform/seams/read_limits.hpp"
#include "removal/removal_log.hpp"
#include "tables/table_bytes.hpp"
#include "tables/table_diff.hpp"
#include "tables/table_merge.hpp"
#include "util/common.hpp"
#include "util/display_paths.hpp"
#include "util/recurse.hpp"

namespace zelvane {
namespace {

const std::string kParagraph = "\\par " + std::string(kLogCrLf);

std::optional<Table> ReadTableFile(const FileSystem& fs, const std::string& path, std::string& bytes) {
    if (fs.ReadAll(path, bytes, kTableLimit) != FsStatus::Ok) return std::nullopt;
    return ReadTable(bytes);
}

void LookAtMerge(const FileSystem& fs, const Table& backup, const Table& current, const std::string& modFolder,
                 std::string_view name, TableComparison& out) {
    out.modTable = FindModTable(fs, modFolder, name);
    if (out.modTable.empty()) {
        out.merge = MergeOffer::ModTableMissing;
        return;
    }
    std::string bytes;
    const std::optional<Table> mine = ReadTableFile(fs, out.modTable, bytes);
    if (!mine) {
        out.merge = MergeOffer::ModTableUnreadable;
        return;
    }
    MergeResult merged = MergeOutMod(backup, *mine, current);
    out.mergeReport = DescribeMerge(merged);
    if (!merged.merged) {
        out.merge = MergeOffer::Conflicts;
        return;
    }
    out.mergeChanges = merged.changed;
    if (merged.changed) {
        std::optional<std::string> written = WriteTable(*merged.merged);
        if (!written) {
            out.merge = MergeOffer::NotWritable;
            return;
        }
        out.mergedBytes = std::move(*written);
    }
    out.merge = MergeOffer::Offered;
}

void AddHeading(std::string& text, std::string_view heading, std::string_view rest = {}) {
    text += kParagraph + "\\cf6\\b " + std::string(heading) + "\\b0\\cf1" + std::string(rest);
}

void AddReport(std::string& text, const TableReport& report) {
    text += kParagraph + RtfPlainText(report.summary);
    for (const std::string& line : report.details) text += kParagraph + RtfPlainText(line);
}

}  // namespace

std::string FindModTable(const FileSystem& fs, std::string_view modFolder, std::string_view name) {
    const std::string override = AddBackslash(modFolder) + "override";
    if (const std::string direct = override + "\\" + std::string(name); FileExists(fs, direct)) return direct;
    SearchState state;
    RecurseFiles_FindFile(fs, override + "\\*.*", name, true, state);
    return state.found && FileExists(fs, state.result) ? state.result : std::string();
}

TableComparison CompareTableWithBackup(const FileSystem& fs, const std::string& backup, const std::string& current,
                                       const std::string& modFolder) {
    TableComparison out;
    const std::optional<Table> base = ReadTableFile(fs, backup, out.backupBytes);
    const std::optional<Table> inUse = base ? ReadTableFile(fs, current, out.currentBytes) : std::nullopt;
    if (!base || !inUse) return TableComparison{};
    out.compared = true;
    out.difference = DescribeDiff(CompareTables(*base, *inUse));
    if (!modFolder.empty()) LookAtMerge(fs, *base, *inUse, modFolder, GetFileName(backup), out);
    return out;
}

std::string WhyNoMerge(const TableComparison& comparison, std::string_view name) {
    switch (comparison.merge) {
        case MergeOffer::NotAsked:
        case MergeOffer::Offered: return {};
        case MergeOffer::ModTableMissing:
            return "this mod's own " + std::string(name) + " is not in the override folder of the mod's files";
        case MergeOffer::ModTableUnreadable:
            return "this mod's own " + std::string(name) + " does not read as a 2da table";
        case MergeOffer::Conflicts: return "later mods changed what this mod changed";
        case MergeOffer::NotWritable: return "the merged table cannot be written as a 2da table";
    }
    return {};
}

std::string ComparisonPromptText(const TableComparison& comparison, std::string_view name) {
    if (!comparison.compared) return {};
    std::string text = kParagraph;
    AddHeading(text, "What replacing it with the backup would remove or change:");
    AddReport(text, comparison.difference);
    if (comparison.merge == MergeOffer::Offered) {
        text += kParagraph;
        AddHeading(text, "What Merge would do instead (every change of later mods is kept):");
        AddReport(text, comparison.mergeReport);
    } else if (comparison.merge != MergeOffer::NotAsked) {
        text += kParagraph;
        AddHeading(text, "Merge is not offered:", "  " + RtfPlainText(WhyNoMerge(comparison, name)) + ".");
        if (comparison.merge == MergeOffer::Conflicts) AddReport(text, comparison.mergeReport);
    }
    return text;
}

std::string RtfPlainText(std::string_view text) { return EscapeRtfText(DoubleSlash(text)); }

}  // namespace zelvane
