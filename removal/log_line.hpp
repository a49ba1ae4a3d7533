#pragma once
// The lines of the removal log, built from runs of text in the colours of the shared colour table.
// Every phase writes its lines through this builder, so the colours have one meaning throughout.

#include <string>
#include <string_view>

#include "util/file_result.hpp"

namespace zelvane {

// The colours of the log by their role; the number is the entry in the colour table.
enum class Colour : int {
    Text = 1,      // black: names and plain text
    Warning = 2,   // maroon: the warning of a question
    Success = 3,   // green: a change that was made
    Neutral = 4,   // olive: an outcome that is neither a change nor a failure
    Decision = 5,  // navy: what the player decided; the names a question is about
    Heading = 6,   // purple: the header, the totals, the reason of a prompt failure
    Detail = 7,    // teal: the error behind a failure; the answers a question explains
    Failure = 10,  // red
};

// "\cfN": the colour's code with nothing after it.
std::string ColourCode(Colour colour);

class LogLine {
public:
    LogLine() = default;
    // A line of a phase that names itself: "\cf1 QDeleteFile: ".
    static LogLine Of(std::string_view phase);
    // The same in bold, as a prompt failure is written: "\cf1\b QDeleteFile: ".
    static LogLine BoldOf(std::string_view phase);
    // A bold line in the colour: "\cfN\b ".
    static LogLine BoldIn(Colour colour);

    // "\cfN " and the text: the text in that colour.
    LogLine& Then(Colour colour, std::string_view text);
    // "\cfN" alone: text that follows it is in that colour without a separating space.
    LogLine& Switch(Colour colour);
    // Text (or RTF control words) in the colour that was set before.
    LogLine& Add(std::string_view text);
    // A name between words in the colour: "\cfN " + label + "\cf1 " + name, then "\cfN " + after
    // unless it is empty.
    LogLine& Named(Colour colour, std::string_view label, std::string_view name, std::string_view after = {});
    // "verb from to to" with the verb and "to" in the colour, the names plain.
    LogLine& FromTo(Colour colour, std::string_view verb, std::string_view from, std::string_view to);
    // The error behind a failure: " - \cf7 Error: N  description".
    LogLine& Failed(const FileResult& result);

    // The line so far, without its end.
    const std::string& Text() const { return text_; }
    // The line and "\par".
    std::string End() const { return text_ + "\\par"; }
    // The line, the plain colour and "\par".
    std::string EndPlain() const;
    // The line, the plain colour, bold off and "\par" (a bold line's end).
    std::string EndBold() const;

private:
    std::string text_;
};

// "label" in the colour, then the name plain: "\cf10 File Not Found: \cf1 " + name + "\cf1\par".
std::string NamedLine(Colour colour, std::string_view label, std::string_view name);
// A phase's refusal to touch an entry: "\cf1 QDeleteFile: \cf10 " + why + ": \cf1 " + name + "\cf1\par".
std::string RefusedLine(std::string_view phase, std::string_view why, std::string_view name);
// A question that could not be asked: "\cf1\b QRestoreFile: \cf10 Prompt Failure \cf6 " + reason +
// " \cf1 " + name + "\cf1\b0\par".
std::string PromptFailureLine(std::string_view phase, std::string_view reason, std::string_view name);

// "Error: 53  File not found": a failed operation as the log shows it.
std::string ErrorText(const FileResult& result);
// The deletion of a file as the log shows it, without the line's end: "\cf3 Delete Successful -
// \cf1 " + name; when the file system refused the change "\cf10 Refused (outside the game and
// program folders): \cf1 " + name or "\cf10 Refused (one of this program's own files): \cf1 " +
// name; else "\cf10 Delete Failure - \cf1 " + name + "\cf7  - " + the error. The name is
// proper-cased.
LogLine DeletionText(const FileResult& result, std::string_view displayName);

}  // namespace zelvane
