#include "tests/support/scripted_ui.hpp"

#include <gtest/gtest.h>

namespace zelvane::testing {

int ScriptedUi::MsgBoxEx(PromptRequest request) {
    prompts.push_back(std::move(request));
    if (whilePromptOpen) whilePromptOpen(prompts.back());
    if (promptAnswers.empty()) {
        ADD_FAILURE() << "unexpected prompt: " << prompts.back().msgTitle;
        return -1;
    }
    int answer = promptAnswers.front();
    promptAnswers.pop_front();
    return answer;
}

void ScriptedUi::ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) {
    messages.push_back({std::string(text), std::string(title), style});
}

std::string ScriptedUi::BrowseFolderDialog(std::string_view startFolder, std::string_view title) {
    browseStarts.emplace_back(startFolder);
    browseTitles.emplace_back(title);
    if (browseAnswers.empty()) {
        ADD_FAILURE() << "unexpected folder dialog";
        return {};
    }
    std::string answer = browseAnswers.front();
    browseAnswers.pop_front();
    return answer;
}

std::string ScriptedUi::OpenFileDialog(const OpenFileRequest& request) {
    openFileRequests.push_back(request);
    if (whileOpenFileDialogOpen) whileOpenFileDialogOpen(request);
    if (openFileAnswers.empty()) {
        ADD_FAILURE() << "unexpected open-file dialog";
        return {};
    }
    std::string answer = openFileAnswers.front();
    openFileAnswers.pop_front();
    return answer;
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
