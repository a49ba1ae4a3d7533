#pragma once
// Where the answers to prompts and dialogs come from: an answers file (one answer a line, in the
// order the run asks) or standard input (typed by the player when it is a terminal).

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelvane::console {

// The lines of an answers file, read one at a time as the run asks for the next answer
// (console_host.hpp opens it on each system); nullopt at its end, or after a line too long.
class AnswerLines {
public:
    virtual ~AnswerLines() = default;
    virtual std::optional<std::string> Next() = 0;
};

class AnswerSource {
public:
    // Standard input; interactive when it is a terminal.
    static AnswerSource FromStandardInput();
    // The lines of a file, read one at a time as the run asks for the next answer (a line longer
    // than kAnswerLineLimit ends the answers). Blank lines and lines that begin with "#" are not
    // answers. When the file cannot be read, Error() says why and there are no answers: a pipe
    // or a device is refused rather than waited on.
    static AnswerSource FromFile(const std::string& path);
    // Given lines, for tests.
    static AnswerSource FromLines(const std::vector<std::string>& lines);

    // The next answer, trimmed of blanks and CR; nullopt when none is left. When interactive,
    // `ask` is written to standard output first.
    std::optional<std::string> Next(std::string_view ask);

    // Empty unless the answers file could not be read: why, for the player.
    const std::string& Error() const { return error_; }
    bool Interactive() const { return interactive_; }
    bool FromAnswersFile() const { return fromLines_; }
    std::size_t Used() const { return used_; }

private:
    // The next answer of the file or of the given lines.
    std::optional<std::string> NextLine();

    bool fromLines_ = false;
    std::shared_ptr<AnswerLines> file_;  // the answers file, when one is read
    std::string error_;
    bool interactive_ = false;
    std::vector<std::string> lines_;
    std::size_t next_ = 0;
    std::size_t used_ = 0;
};

std::string Trim(std::string_view text);

}  // namespace zelvane::console
