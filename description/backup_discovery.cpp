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

constexpr std::string_view kListKey = "#qrestore_2da_files=";
// The characters a report line adds to a name.
constexpr std::size_t kReportLineOverhead = 42;

struct ListScan {
    bool found = false;
    std::vector<std::string> names;
};

ListScan ScanListLines(const FileSystem& fs, const std::string& descriptionPath) {
    std::string bytes;
    const FsStatus status = fs.ReadAll(descriptionPath, bytes, kDescriptionLimit);
    if (status != FsStatus::Ok) throw FileSystemError(status);

    ListScan scan;
    std::size_t held = 0;
    for (const std::string& line : SplitInputLines(bytes)) {
        if (!StartsWithKey(line, kListKey)) continue;
        scan.found = true;
        const std::string_view text = std::string_view(line).substr(kListKey.size());
        if (text.empty()) continue;
        // Measured before splitting: a list of millions of names would exhaust memory in the split.
        const std::size_t names = static_cast<std::size_t>(std::count(text.begin(), text.end(), ',')) + 1;
        held += names * (sizeof(std::string) + kReportLineOverhead) + text.size();
        if (held > kMaxHeldTextBytes) throw OutOfMemoryError();
        // No trimming: " feat.2da" keeps its space, and ",," is an empty name.
        for (std::string& name : SplitText(text, ",")) scan.names.push_back(std::move(name));
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
                                              std::string_view programFolder) {
    description.Backup2daFiles.clear();

    ListScan scan = ScanListLines(fs, description.DescriptionPath);
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
