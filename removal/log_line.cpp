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

LogLine& LogLine::FromTo(Colour colour, std::string_view verb, std::string_view from, std::string_view to) {
    return Then(colour, verb).Add(" ").Then(Colour::Text, from).Then(colour, " to ").Then(Colour::Text, to);
}

std::string LogLine::EndPlain() const { return text_ + ColourCode(Colour::Text) + "\\par"; }

std::string LogLine::EndBold() const { return text_ + ColourCode(Colour::Text) + "\\b0\\par"; }

std::string NamedLine(Colour colour, std::string_view label, std::string_view name) {
    return LogLine().Then(colour, label).Then(Colour::Text, name).EndPlain();
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
        case FsStatus::Ok: return line.Then(Colour::Success, "Delete Successful - ").Then(Colour::Text, name);
        case FsStatus::OutsideRoots:
            return line.Then(Colour::Failure, "Refused (outside the game and program folders): ").Then(Colour::Text, name);
        case FsStatus::ProgramOwnFile:
            return line.Then(Colour::Failure, "Refused (one of this program's own files): ").Then(Colour::Text, name);
        default: break;
    }
    return line.Then(Colour::Failure, "Delete Failure - ")
        .Then(Colour::Text, name)
        .Then(Colour::Detail, " - ")
        .Add(ErrorText(result));
}

}  // namespace zelvane
