#pragma once
// One reading of uninstall_data.ini: its lines as start-up cuts them, with their numbers and byte
// offsets, the key each line carries, the text block a line asks for, and the entries of the file
// list. The loader builds UninstallDescription from it, the check of a description its findings.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelvane {

// A key at the very start of a line, matched on the line's first characters in lower case. No key
// begins another, so a line carries one key at most.
struct LineKey {
    std::string_view stem;   // the key in lower case; of a numbered key the part before N ("#qdelete_file_")
    int number = -1;         // N of a numbered key, 0 to 99; -1 for the others
    std::size_t length = 0;  // characters of the key on the line; the value follows

    std::string Text() const;  // as a line writes it, in lower case: "#game=", "#qdelete_file_3="
};

std::optional<LineKey> KeyOf(std::string_view line);

// A text block cut from a whole file: what lies between the first occurrence of the begin marker
// and the first occurrence of the end marker, less the CR LF after the begin marker and the one
// before the end marker.
struct BlockCut {
    enum class Status {
        Ok,
        Missing,   // a marker is not in the file
        Negative,  // the end marker stands before, on or directly after the begin marker's line
    };
    Status status = Status::Missing;
    std::size_t begin = std::string::npos;  // offsets of the markers, npos = not found
    std::size_t end = std::string::npos;
    std::size_t start = 0;  // offset and length of the text
    std::size_t length = 0;

    std::string_view Text(std::string_view bytes) const { return bytes.substr(start, length); }
};

BlockCut CutBlock(std::string_view bytes, std::string_view beginMarker, std::string_view endMarker);

// The block a line asks for.
struct BlockUse {
    std::string beginMarker;
    std::string endMarker;
    BlockCut cut;
};

struct DescriptionLine {
    int number = 0;          // 1-based
    std::size_t offset = 0;  // of its first byte in the file
    std::string text;        // without its line end
    std::optional<LineKey> key;
    // Every q-entry line asks for its block, and the first begin-marker line of the confirmation
    // and of the instructions for theirs (a later one would only cut the same text again).
    std::optional<BlockUse> block;

    bool Carries(std::string_view stem) const { return key && key->stem == stem; }
    std::string_view Value() const;  // everything after the key
};

struct DescriptionText {
    std::string bytes;
    std::vector<DescriptionLine> lines;           // line n is lines[n - 1]
    int fileListLine = 0;                         // the first "#file_list" line, 0 = none
    std::vector<int> entryLines;                  // the file list's entries
    std::vector<std::pair<int, int>> blockLines;  // the marker lines of every block cut, once each

    const DescriptionLine& Line(int n) const { return lines[static_cast<std::size_t>(n - 1)]; }
    int LineOf(std::size_t offset) const;  // the line that holds the byte
    bool InsideBlock(int n) const;         // strictly between the marker lines of a block
};

// The lines' blocks are cut from the bytes themselves.
DescriptionText ReadDescription(std::string bytes);

// Cuts the block of every line that asks for one from bytes, each pair of markers once.
void CutBlocks(DescriptionText& text, std::string_view bytes);

// A line of the file list names a file unless it is empty or begins with ";", "#" or a space.
bool IsFileListEntry(std::string_view line);

}  // namespace zelvane
