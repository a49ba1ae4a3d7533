#include "removal/log_line.hpp"

#include "util/display_paths.hpp"

namespace zelvane {

std::string ColourCode(Colour colour) { return "\\cf" + std::to_string(static_cast<int>(colour)); }

LogLine LogLine::Of(std::string_view phase) {
    LogLine line;
    line.Then(Colour::Text, phase).Add(": ");
    return line;
}

LogLine LogLine::BoldOf(std::string_view phase) {
    LogLine line = BoldIn(Colour::Text);
    line.Add(phase).Add(": ");
    return line;
}

LogLine LogLine::BoldIn(Colour colour) {
    LogLine line;
    line.Switch(colour).Add("\\b ");
    return line;
}

LogLine& LogLine::Then(Colour colour, std::string_view text) {
    Switch(colour);
    text_ += ' ';
    text_ += text;
    return *this;
}

LogLine& LogLine::Switch(Colour colour) {
    text_ += ColourCode(colour);
    return *this;
}

LogLine& LogLine::Add(std::string_view text) {
    text_ += text;
    return *this;
}

LogLine& LogLine::Named(Colour colour, std::string_view label, std::string_view name, std::string_view after) {
    Then(colour, label).Then(Colour::Text, name);
    return after.empty() ? *this : Then(colour, after);
}

LogLine& LogLine::Failed(const FileResult& result) { return Add(" - ").Then(Colour::Detail, ErrorText(result)); }

LogLine& LogLine::FromTo(Colour colour, std::string_view verb, std::string_view from, std::string_view to) {
    return Then(colour, verb).Add(" ").Then(Colour::Text, from).Then(colour, " to ").Then(Colour::Text, to);
}

std::string LogLine::EndPlain() const { return text_ + ColourCode(Colour::Text) + "\\par"; }

std::string LogLine::EndBold() const { return text_ + ColourCode(Colour::Text) + "\\b0\\par"; }

std::string NamedLine(Colour colour, std::string_view label, std::string_view name) {
    return LogLine().Named(colour, label, name).EndPlain();
}

std::string RefusedLine(std::string_view phase, std::string_view why, std::string_view name) {
    return LogLine::Of(phase).Then(Colour::Failure, why).Add(": ").Then(Colour::Text, name).EndPlain();
}

std::string PromptFailureLine(std::string_view phase, std::string_view reason, std::string_view name) {
    return LogLine::BoldOf(phase)
        .Then(Colour::Failure, "Prompt Failure ")
        .Then(Colour::Heading, reason)
        .Add(" ")
        .Then(Colour::Text, name)
        .EndBold();
}

std::string ErrorText(const FileResult& result) {
    const ProgramError error = result.Error();
    return "Error: " + std::to_string(error.Number()) + "  " + error.Description();
}

LogLine DeletionText(const FileResult& result, std::string_view displayName) {
    const std::string name = ProperCasePath(displayName);
    LogLine line;
    switch (result.status) {
        case FsStatus::Ok: return line.Named(Colour::Success, "Delete Successful - ", name);
        case FsStatus::OutsideRoots:
            return line.Named(Colour::Failure, "Refused (outside the game and program folders): ", name);
        case FsStatus::ProgramOwnFile:
            return line.Named(Colour::Failure, "Refused (one of this program's own files): ", name);
        default: break;
    }
    // The error follows in its own colour, after " - " in that colour too.
    return line.Named(Colour::Failure, "Delete Failure - ", name).Then(Colour::Detail, " - ").Add(ErrorText(result));
}

}  // namespace zelvane
