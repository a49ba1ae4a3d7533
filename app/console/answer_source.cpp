#include "app/console/answer_source.hpp"

#include <fstream>
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

std::optional<AnswerSource> AnswerSource::FromFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    if (in.bad()) return std::nullopt;
    return FromLines(std::move(lines));
}

AnswerSource AnswerSource::FromLines(std::vector<std::string> lines) {
    AnswerSource source;
    source.fromLines_ = true;
    for (const std::string& raw : lines) {
        std::string line = Trim(raw);
        if (line.empty() || line.front() == '#') continue;
        source.lines_.push_back(std::move(line));
    }
    return source;
}

std::optional<std::string> AnswerSource::Next(std::string_view ask) {
    if (fromLines_) {
        if (next_ >= lines_.size()) return std::nullopt;
        ++used_;
        return lines_[next_++];
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
