// File-list entries that name a table the 2da restore puts back.

#include "description/check_parts.hpp"
#include "description/table_handover.hpp"
#include "description/values.hpp"
#include "util/program_error.hpp"
#include "util/strings.hpp"

namespace zelvane::check {
namespace {

bool RestoresTables(const DescriptionText& text) {
    const std::optional<std::string> value = LastValue(text, "#qrestore_2da=");
    if (!value) return false;
    try {
        return ToFlag(*value);
    } catch (const ProgramError&) {
        return false;  // reported as a value that does not convert
    }
}

}  // namespace

std::vector<Diagnostic> CheckTablesInFileList(const DescriptionText& text, const std::vector<std::string>& backups) {
    std::vector<Diagnostic> out;
    if (!RestoresTables(text)) return out;
    // The tables the restore will offer once the mod is installed: those the 2da list names (their
    // backups are made when the mod is installed), and those already in the backup folder.
    std::vector<std::string> tables = backups;
    for (const std::string& name : Listed2daNames(text)) {
        const std::size_t first = name.find_first_not_of(" \t");
        if (first != std::string::npos) tables.push_back(name.substr(first, name.find_last_not_of(" \t") + 1 - first));
    }
    for (const int n : text.entryLines) {
        const std::string& entry = text.Line(n).text;
        if (text.InsideBlock(n) || !IsLeftToTableRestore(entry, tables)) continue;
        Add(out, n, Severity::Error,
            "file-list entry " + Quoted(entry) +
                " names a table that #qrestore_2da= puts back from its backup; deleting it here would lose the table "
                "before the restore could keep it, so the run leaves it to the 2da restore: take it out of the file list");
    }
    return out;
}

}  // namespace zelvane::check
