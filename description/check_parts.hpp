#pragma once
// The parts of the check of a description, and what they share. Each part reads the description
// as the reader cut it; not used elsewhere.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "description/description_check.hpp"
#include "description/reader.hpp"

namespace zelvane::check {

// A text quoted for a diagnostic: "..." with control characters shown as \t, \r, \n, \xNN.
std::string Quoted(std::string_view text);

void Add(std::vector<Diagnostic>& out, int line, Severity severity, std::string text);

// Whether the file is UTF-16 text (a byte-order mark or NUL bytes): the line lints then say nothing useful.
bool IsUtf16(const DescriptionText& text);

// Whether the line is a q-entry line ("#qdelete_file_N=" or "#qrestore_file_N=").
bool IsQueuedEntry(const DescriptionLine& line);

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
