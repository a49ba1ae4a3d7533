#include "app/console/answer_source.hpp"

#include <iostream>

#include "app/console/console_host.hpp"

namespace zelvane::console {

std::string Trim(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return std::string(text.substr(begin, end - begin));
}

AnswerSource AnswerSource::FromStandardInput() {
    AnswerSource source;
    source.interactive_ = StandardInputIsTerminal();
    return source;
}

AnswerSource AnswerSource::FromFile(const std::string& path) {
    AnswerSource source;
    source.fromLines_ = true;
    OpenedAnswers opened = OpenAnswersFile(path);
    if (opened.lines) {
        source.file_ = std::move(opened.lines);
    } else if (opened.notRegular) {
        source.error_ = "the answers file " + path + " is not a regular file";
    } else {
        source.error_ = "cannot read the answers file " + path;
    }
    return source;
}

AnswerSource AnswerSource::FromLines(const std::vector<std::string>& lines) {
    AnswerSource source;
    source.fromLines_ = true;
    for (const std::string& raw : lines) {
        std::string line = Trim(raw);
        if (line.empty() || line.front() == '#') continue;
        source.lines_.push_back(std::move(line));
    }
    return source;
}

std::optional<std::string> AnswerSource::NextLine() {
    if (!file_) {
        if (next_ >= lines_.size()) return std::nullopt;
        return lines_[next_++];
    }
    while (const std::optional<std::string> raw = file_->Next()) {
        std::string line = Trim(*raw);
        if (!line.empty() && line.front() != '#') return line;
    }
    return std::nullopt;
}

std::optional<std::string> AnswerSource::Next(std::string_view ask) {
    if (fromLines_) {
        std::optional<std::string> line = NextLine();
        if (line) ++used_;
        return line;
    }
    if (interactive_) {
        std::cout << ask << std::flush;
    }
    std::string line;
    if (!std::getline(std::cin, line)) return std::nullopt;
    ++used_;
    return Trim(line);
}

}  // namespace zelvane::console
