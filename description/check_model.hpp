#pragma once
// The description as the check sees it: its lines with their byte offsets (cut as start-up cuts
// them), the file list, the q-entries and the text blocks, each block cut exactly as the loader
// cuts it. Shared by the parts of the check; not used elsewhere.

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

#include "description/description_check.hpp"

namespace zelvane::check {

struct Line {
    std::size_t offset = 0;  // of its first byte in the file
    std::string text;        // without its line end
};

// A block cut from the whole file: the first occurrence of each marker, the CR LF after the begin
// marker and the one before the end marker left out.
struct BlockCut {
    enum class Status { Ok, Missing, Negative };
    Status status = Status::Ok;
    std::size_t begin = std::string::npos;  // 0-based offsets of the markers, npos = not found
    std::size_t end = std::string::npos;
    std::string text;
};

// A line that asks for a block: a begin-marker line, or a q-entry line.
struct BlockUse {
    int line = 0;
    std::string what;         // "#confirm_message_begin#", "#qdelete_file_3="
    std::string beginMarker;
    std::string endMarker;
    // Shared by every use of the same markers: a block cited by many entries is cut once.
    std::shared_ptr<const BlockCut> cut;
};

enum class QKind { Delete, Restore };

struct QEntry {
    QKind kind = QKind::Delete;
    int number = 0;
    int line = 0;
    std::string key;   // "#qdelete_file_3="
    std::string path;  // the value
    std::size_t use = 0;  // index into DescriptionText::blockUses
};

struct DescriptionText {
    std::string bytes;
    std::vector<Line> lines;
    int fileListLine = 0;          // the first "#file_list" line, 0 = none
    std::vector<int> entryLines;   // file-list entries
    std::vector<QEntry> qEntries;  // in file order
    std::vector<BlockUse> blockUses;
    std::vector<std::pair<int, int>> blockLines;  // marker lines of every block that was cut, once each

    const std::string& Text(int line) const { return lines[static_cast<std::size_t>(line - 1)].text; }
    int LineOf(std::size_t offset) const;  // 1-based line holding the byte
    // Whether the line lies strictly between the markers of a block that was cut.
    bool InsideBlock(int line) const;
};

DescriptionText ReadDescriptionText(std::string bytes);

BlockCut CutBlock(std::string_view bytes, std::string_view beginMarker, std::string_view endMarker);

// The lower-cased key the line carries as the loader tests it, or nullopt.
std::optional<std::string> KeyOf(std::string_view line);

// A text quoted for a diagnostic: "..." with control characters shown as \t, \r, \n, \xNN.
std::string Quoted(std::string_view text);

void Add(std::vector<Diagnostic>& out, int line, Severity severity, std::string text);

// Whether the file is UTF-16 text (a byte-order mark or NUL bytes): the line lints then say nothing useful.
bool IsUtf16(const DescriptionText& text);

// The parts of the check.
std::vector<Diagnostic> CheckStructure(const DescriptionText& text, int twipsPerPixelX);
std::vector<Diagnostic> CheckEncoding(const DescriptionText& text);
std::vector<Diagnostic> CheckKeyLines(const DescriptionText& text);
std::vector<Diagnostic> CheckEntries(const DescriptionText& text);
std::vector<Diagnostic> CheckBlockTexts(const DescriptionText& text);
// backups: the file names of the 2da backups found beside the program.
std::vector<Diagnostic> CheckTablesInFileList(const DescriptionText& text, const std::vector<std::string>& backups);
std::vector<Diagnostic> CheckModFolder(const FileSystem& fs, const DescriptionText& text, const std::string& modFolder);

struct GameChoice {
    int game = 0;
    bool select = false;
};
std::vector<Diagnostic> CheckGameFolder(const FileSystem& fs, const DescriptionText& text,
                                        const std::string& gameFolder, GameChoice choice);

// Problems of a path from the description that the run would refuse or mishandle; each text
// follows the name of the entry ("file-list entry \"x\"").
std::vector<std::string> PathProblems(std::string_view path);

// The names of the "#qrestore_2da_files=" lines, split as the 2da backup discovery splits them.
std::vector<std::string> Listed2daNames(const DescriptionText& text);

// The value of the last line that carries the key, if any.
std::optional<std::string> LastValue(const DescriptionText& text, std::string_view key);

}  // namespace zelvane::check
