#include "platform/posix/file_registry.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <utility>

#include "platform/pattern_match.hpp"
#include "platform/posix/host_names.hpp"
#include "platform/posix/host_read.hpp"
#include "platform/posix/text_lines.hpp"
#include "util/text/utf8.hpp"

namespace zelvane {
namespace {

struct RootName {
    std::string_view name;
    std::uint32_t value;
};

constexpr std::array<RootName, 9> kRoots = {{
    {"HKEY_CLASSES_ROOT", 0x80000000u},
    {"HKCR", 0x80000000u},
    {"HKEY_CURRENT_USER", 0x80000001u},
    {"HKCU", 0x80000001u},
    {"HKEY_LOCAL_MACHINE", kHkeyLocalMachine},
    {"HKLM", kHkeyLocalMachine},
    {"HKEY_USERS", 0x80000003u},
    {"HKU", 0x80000003u},
    {"HKEY_CURRENT_CONFIG", 0x80000005u},
}};

std::optional<std::uint32_t> RootValue(std::string_view name) {
    for (const auto& root : kRoots) {
        if (NamesEqual(root.name, name)) return root.value;
    }
    return std::nullopt;
}

// Key paths compare without leading or trailing backslashes.
std::string_view TrimKey(std::string_view key) {
    while (!key.empty() && key.front() == '\\') key.remove_prefix(1);
    while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
    return key;
}

// Data in UTF-8 (the file is a text of this host) in code page 1252, name by name between the
// backslashes: a name 1252 cannot hold keeps its bytes, as a host name handed over does.
std::string DataIn1252(std::string_view data) {
    if (!IsNonAsciiUtf8(data)) return std::string(data);  // ASCII, or 1252 already
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = std::min(data.find('\\', start), data.size());
        out += posix::WindowsNameOf(data.substr(start, end - start));
        if (end == data.size()) return out;
        out += '\\';
        start = end + 1;
    }
}

std::optional<FileRegistry::Entry> ParseLine(std::string_view line) {
    const std::size_t keyEnd = line.find('|');
    if (keyEnd == std::string_view::npos) return std::nullopt;
    const std::size_t nameEnd = line.find('|', keyEnd + 1);
    if (nameEnd == std::string_view::npos) return std::nullopt;
    const std::string_view fullKey = line.substr(0, keyEnd);
    const std::size_t rootEnd = fullKey.find('\\');
    const auto root = RootValue(fullKey.substr(0, rootEnd));
    if (!root) return std::nullopt;

    FileRegistry::Entry entry;
    entry.root = *root;
    entry.key = std::string(TrimKey(rootEnd == std::string_view::npos ? "" : fullKey.substr(rootEnd)));
    entry.valueName = std::string(line.substr(keyEnd + 1, nameEnd - keyEnd - 1));
    std::string_view data = line.substr(nameEnd + 1);
    // An optional last field names the type; data may itself hold '|'.
    if (const std::size_t typeStart = data.rfind('|'); typeStart != std::string_view::npos) {
        const std::string_view type = data.substr(typeStart + 1);
        if (type == "REG_EXPAND_SZ" || type == "REG_SZ") {
            entry.value.type = type == "REG_EXPAND_SZ" ? kRegExpandSz : kRegSz;
            data = data.substr(0, typeStart);
        }
    }
    entry.value.data = DataIn1252(data) + '\0';
    return entry;
}

}  // namespace

std::vector<FileRegistry::Entry> FileRegistry::Parse(std::string_view text) {
    std::vector<Entry> entries;
    for (const std::string_view line : posix::TextLines(text)) {
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (auto entry = ParseLine(line)) entries.push_back(std::move(*entry));
    }
    return entries;
}

FileRegistry::FileRegistry(const std::string& filePath) {
    if (filePath.empty()) return;
    std::string text;
    switch (posix::ReadHostFile(filePath, kMaxFileSize, text)) {
        case FsStatus::Ok: entries_ = Parse(text); return;
        case FsStatus::NotRegularFile: error_ = "the registry file " + filePath + " is not a regular file"; return;
        case FsStatus::AccessDenied: {
            struct stat st {};
            if (::stat(filePath.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
                error_ = "the registry file " + filePath + " is not a regular file";
            }
            return;
        }
        case FsStatus::TooLarge: error_ = "the registry file " + filePath + " is larger than 1 MiB"; return;
        default: return;  // a file that cannot be read gives a registry without values
    }
}

std::optional<RegistryValue> FileRegistry::Query(std::uint32_t root, std::string_view keyPath,
                                                 std::string_view valueName) const {
    const std::string_view key = TrimKey(keyPath);
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (it->root == root && NamesEqual(it->key, key) && NamesEqual(it->valueName, valueName)) return it->value;
    }
    return std::nullopt;
}

}  // namespace zelvane
