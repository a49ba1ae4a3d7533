#include "description/table_handover.hpp"

#include <algorithm>

#include "util/common.hpp"
#include "util/entry_name.hpp"
#include "util/strings.hpp"

namespace zelvane {

std::vector<std::string> TablesTheRestoreOffers(const UninstallDescription& description) {
    std::vector<std::string> names;
    if (!description.Restore2da) return names;
    for (const std::string& backup : description.Backup2daFiles) names.push_back(GetFileName(backup));
    return names;
}

bool IsLeftToTableRestore(std::string_view entry, const std::vector<std::string>& tableNames) {
    if (tableNames.empty()) return false;
    const EntryName name = ResolveEntry(entry);
    if (name.kind != EntryKind::File || !StartsWithKey(name.relative, "override\\")) return false;
    const std::string file = LowerCase(GetFileName(name.relative));
    return std::any_of(tableNames.begin(), tableNames.end(),
                       [&](const std::string& table) { return LowerCase(table) == file; });
}

}  // namespace zelvane
