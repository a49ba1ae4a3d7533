#include "description/backup_discovery.hpp"

#include <algorithm>
#include <vector>

#include "description/limits.hpp"
#include "platform/seams/read_limits.hpp"
#include "util/common.hpp"
#include "util/program_error.hpp"
#include "util/strings.hpp"

namespace zelvane {
namespace {

// The characters a report line adds to a name.
constexpr std::size_t kReportLineOverhead = 42;

struct ListScan {
    bool found = false;
    std::vector<std::string> names;
};

ListScan ScanListLines(const DescriptionText& text) {
    ListScan scan;
    std::size_t held = 0;
    for (const DescriptionLine& line : text.lines) {
        if (!line.Carries("#qrestore_2da_files=")) continue;
        scan.found = true;
        const std::string_view list = line.Value();
        if (list.empty()) continue;
        // Measured before splitting: a list of millions of names would exhaust memory in the split.
        const std::size_t names = static_cast<std::size_t>(std::count(list.begin(), list.end(), ',')) + 1;
        held += names * (sizeof(std::string) + kReportLineOverhead) + list.size();
        if (held > kMaxHeldTextBytes) throw OutOfMemoryError();
        // No trimming: " feat.2da" keeps its space, and ",," is an empty name.
        for (std::string& name : SplitText(list, ",")) scan.names.push_back(std::move(name));
    }
    return scan;
}

bool IsNormalFile(const DirEntry& entry) {
    if (entry.name == "." || entry.name == "..") return false;
    return !entry.attributes.directory && !entry.attributes.hidden && !entry.attributes.system;
}

}  // namespace

std::string Missing2daLine(std::string_view name) {
    std::string line = "\\cf10 2da backup not available \\cf1 ";
    line += name;
    line += "\\par";
    line += kCrLf;
    return line;
}

std::optional<std::string> Discover2daBackups(UninstallDescription& description, const FileSystem& fs,
                                              std::string_view programFolder, const DescriptionText& text) {
    description.Backup2daFiles.clear();

    ListScan scan = ScanListLines(text);
    if (!scan.found) return std::string(kNo2daListMessage);

    const std::string folder = AddBackslash(programFolder) + "backup";
    if (!FolderExists(fs, folder)) return std::nullopt;

    std::vector<std::string> pending = std::move(scan.names);
    std::vector<std::string> pendingLower;
    pendingLower.reserve(pending.size());
    for (const std::string& name : pending) pendingLower.push_back(LowerCase(name));

    if (auto listing = fs.List(folder + "\\*.2da")) {
        while (auto entry = listing->Next()) {
            if (!IsNormalFile(*entry)) continue;
            description.Backup2daFiles.push_back(folder + "\\" + entry->name);
            const std::string lowerName = LowerCase(entry->name);
            const auto match = std::find(pendingLower.begin(), pendingLower.end(), lowerName);
            if (match != pendingLower.end()) {
                const auto index = match - pendingLower.begin();
                pendingLower.erase(match);
                pending.erase(pending.begin() + index);
            }
        }
    }
    description.Backup2daAvailable = !description.Backup2daFiles.empty();

    description.Missing2daReport.clear();
    for (const std::string& name : pending) description.Missing2daReport += Missing2daLine(name);
    return std::nullopt;
}

}  // namespace zelvane
