#pragma once
// The user interface of the console front end: prompts are printed (title, rendered body,
// numbered buttons) and answered from an AnswerSource; message boxes are printed; the documents
// are opened with the desktop's viewer, or only reported when opening is off. Every question and answer is
// written to the transcript. When the answers run out the program ends at once with status 3,
// before anything else is touched.

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "app/console/answer_source.hpp"
#include "app/console/console_options.hpp"
#include "platform/seams/user_interface.hpp"

namespace zelvane::console {

struct TerminalOptions {
    bool colors = false;  // ANSI colours in the transcript
    bool open = true;     // open documents with the desktop's viewer
    bool dryRun = false;  // nothing is saved: documents are neither opened nor reported as saved
};

// The button a typed answer names: a 0-based index, "close" (-1), an accelerator letter or the
// caption itself (case ignored). nullopt when it names none.
std::optional<int> ParsePromptAnswer(std::string_view answer, const PromptRequest& request);

// The number of buttons a prompt shows (values below 2 give one).
int VisibleButtonCount(const PromptRequest& request);

// The button that has the focus, which Enter answers at a terminal; nullopt when the focus is on
// no button the prompt shows.
std::optional<int> FocusButton(const PromptRequest& request);

// Whether the transcript is coloured: not with --no-color, not when NO_COLOR is set to anything
// but "", and only on a terminal.
bool UseColors(bool noColorOption, const char* noColorVariable, bool outputIsTerminal);

class TerminalUi final : public UserInterface {
public:
    // hostPathOf: the file a Windows path names, as the player finds it ("" when it is missing).
    using HostPathOf = std::function<std::string(std::string_view)>;
    TerminalUi(TerminalOptions options, AnswerSource& answers, HostPathOf hostPathOf, std::ostream& out);

    int MsgBoxEx(PromptRequest request) override;
    void ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) override;
    std::string BrowseFolderDialog(std::string_view startFolder, std::string_view title) override;
    std::string OpenFileDialog(const OpenFileRequest& request) override;
    int ShellOpen(std::string_view file, std::string_view parameters, std::string_view directory,
                  int showCommand) override;
    void DoEvents() override {}
    int TwipsPerPixelX() const override { return 15; }
    int TwipsPerPixelY() const override { return 15; }
    int TextWidthTwips(std::string_view text, std::string_view face, int points, bool bold) override;

    // Prints a rich-text document (the information document) rendered for the terminal.
    void ShowDocument(std::string_view rtf, std::string_view heading);
    // Runs just before the program ends for want of an answer.
    void SetBeforeExit(std::function<void()> beforeExit) { beforeExit_ = std::move(beforeExit); }
    // Prints a plain notice line.
    void ShowNotice(std::string_view text);
    // Prints the window caption as the heading of the transcript, on one line.
    void ShowCaption(std::string_view caption);
    // Prints a rich text (code page 1252) rendered for the terminal, without a heading.
    void ShowRichText(std::string_view rtf);
    // Whether the last document handed to ShellOpen was opened by a viewer (not with opening off,
    // in a dry run, or when no viewer took it: on Linux xdg-open missing or failing).
    bool OpenedLastDocument() const { return openedLast_; }

private:
    std::string NextAnswer(std::string_view what, std::string_view ask);
    [[noreturn]] void Exhausted(std::string_view what);
    std::string Heading(std::string_view kind, std::string_view title) const;

    TerminalOptions options_;
    AnswerSource& answers_;
    HostPathOf hostPathOf_;
    std::ostream& out_;
    std::function<void()> beforeExit_;
    bool openedLast_ = false;
};

}  // namespace zelvane::console
