#pragma once
// Where the answers to prompts and dialogs come from: an answers file (one answer a line, in the
// order the run asks) or standard input (typed by the player when it is a terminal).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelvane::console {

class AnswerSource {
public:
    // Standard input; interactive when it is a terminal.
    static AnswerSource FromStandardInput();
    // The lines of a file; nullopt when it cannot be read. Blank lines and lines that begin with
    // "#" are not answers.
    static std::optional<AnswerSource> FromFile(const std::string& path);
    // Given lines, for tests.
    static AnswerSource FromLines(std::vector<std::string> lines);

    // The next answer, trimmed of blanks and CR; nullopt when none is left. When interactive,
    // `ask` is written to standard output first.
    std::optional<std::string> Next(std::string_view ask);

    bool Interactive() const { return interactive_; }
    bool FromAnswersFile() const { return fromLines_; }
    std::size_t Used() const { return used_; }

private:
    bool fromLines_ = false;
    bool interactive_ = false;
    std::vector<std::string> lines_;
    std::size_t next_ = 0;
    std::size_t used_ = 0;
};

std::string Trim(std::string_view text);

}  // namespace zelvane::console
