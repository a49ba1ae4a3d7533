#include "tests/support/scripted_ui.hpp"

#include <gtest/gtest.h>

namespace zelvane::testing {
namespace {

// The next scripted answer; a missing one fails the test and answers `none`.
template <typename T>
T Next(std::deque<T>& answers, const std::string& what, T none) {
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected " << what;
        return none;
    }
    T answer = answers.front();
    answers.pop_front();
    return answer;
}

}  // namespace

int ScriptedUi::MsgBoxEx(PromptRequest request) {
    prompts.push_back(std::move(request));
    if (whilePromptOpen) whilePromptOpen(prompts.back());
    return Next(promptAnswers, "prompt: " + prompts.back().msgTitle, -1);
}

void ScriptedUi::ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) {
    messages.push_back({std::string(text), std::string(title), style});
}

std::string ScriptedUi::BrowseFolderDialog(std::string_view startFolder, std::string_view title) {
    browseStarts.emplace_back(startFolder);
    browseTitles.emplace_back(title);
    return Next(browseAnswers, "folder dialog", std::string());
}

std::string ScriptedUi::OpenFileDialog(const OpenFileRequest& request) {
    openFileRequests.push_back(request);
    if (whileOpenFileDialogOpen) whileOpenFileDialogOpen(request);
    return Next(openFileAnswers, "open-file dialog", std::string());
}

int ScriptedUi::ShellOpen(std::string_view file, std::string_view, std::string_view, int) {
    shellOpened.emplace_back(file);
    return shellResult;
}

int ScriptedUi::TextWidthTwips(std::string_view text, std::string_view, int points, bool bold) {
    long width = static_cast<long>(text.size()) * 120 * points / 12;
    if (bold) width += width / 10;
    return static_cast<int>(width);
}

}  // namespace zelvane::testing
