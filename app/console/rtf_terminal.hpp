#pragma once
// Renders the rich text of prompts, notices and documents for a terminal: paragraphs become line
// ends, bold, italics, underline and the 16 prompt colours become ANSI attributes (or nothing when
// colours are off), \'hh letters are code page 1252 and come out as UTF-8 (as TerminalCharacterOf
// shows them). Tables, pictures and other destinations are skipped. Any input renders; malformed
// RTF is never an error.

#include <string>
#include <string_view>

namespace zelvane::console {

struct RtfTerminalOptions {
    bool colors = true;
};

std::string RenderRtfForTerminal(std::string_view rtf, const RtfTerminalOptions& options);

// The ANSI foreground code for colour N of the prompt colour table; 39 (the terminal's default
// foreground) for colour 1, 0 and numbers outside the table.
int AnsiColorOf(int colorIndex);

}  // namespace zelvane::console
