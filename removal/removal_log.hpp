#pragma once
// The removal log: its header, its line endings and the display form of names written into it.

#include <string>
#include <string_view>

namespace zelvane {

inline constexpr std::string_view kLogCrLf = "\r\n";
inline constexpr std::string_view kBlankLine = "\\par\r\n";

// The three header lines: font table, colour table (shared with every prompt), text defaults.
std::string LogDocumentHeader();

// Escapes "{", "}" and bytes above 127 ("\'hh", lower-case hex) so that a name cannot break the
// document. Backslashes are left alone: names arrive with them already doubled.
std::string EscapeRtfText(std::string_view text);

// The display form of a path for the log and for prompt bodies: backslashes doubled, folder names
// proper-cased, RTF specials escaped.
std::string LogDisplay(std::string_view path);

// Appends the text followed by CRLF.
void AppendLine(std::string& log, std::string_view text);
// Appends count blank lines.
void AppendBlankLines(std::string& log, int count);

}  // namespace zelvane
