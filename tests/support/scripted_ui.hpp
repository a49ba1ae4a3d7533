#pragma once
// A user interface for tests: prompts are answered from a script and everything shown is recorded.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/seams/user_interface.hpp"

namespace zelvane::testing {

struct ShownMessage {
    std::string text;
    std::string title;
    std::uint32_t style = 0;
};

class ScriptedUi : public UserInterface {
public:
    // Answers, consumed in order by the call of their kind. A missing answer fails the test
    // (ADD_FAILURE) and answers -1 / "".
    std::deque<int> promptAnswers;
    std::deque<std::string> browseAnswers;
    std::deque<std::string> openFileAnswers;
    int shellResult = 42;  // success
    int twipsPerPixel = 15;
    // Runs while a prompt or the open-file dialog is open, before its answer is given: what the
    // player (or another program) does in the meantime.
    std::function<void(const PromptRequest&)> whilePromptOpen;
    std::function<void(const OpenFileRequest&)> whileOpenFileDialogOpen;
    std::function<void()> onDoEvents;  // whenever the run lets the window process messages

    // What was shown.
    std::vector<PromptRequest> prompts;
    std::vector<ShownMessage> messages;
    std::vector<std::string> browseStarts;
    std::vector<OpenFileRequest> openFileRequests;
    std::vector<std::string> shellOpened;

    int MsgBoxEx(PromptRequest request) override {
        prompts.push_back(std::move(request));
        if (whilePromptOpen) whilePromptOpen(prompts.back());
        return Next(promptAnswers, "prompt: " + prompts.back().msgTitle, -1);
    }
    void ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) override {
        messages.push_back({std::string(text), std::string(title), style});
    }
    std::string BrowseFolderDialog(std::string_view startFolder, std::string_view) override {
        browseStarts.emplace_back(startFolder);
        return Next(browseAnswers, "folder dialog", std::string());
    }
    std::string OpenFileDialog(const OpenFileRequest& request) override {
        openFileRequests.push_back(request);
        if (whileOpenFileDialogOpen) whileOpenFileDialogOpen(request);
        return Next(openFileAnswers, "open-file dialog", std::string());
    }
    int ShellOpen(std::string_view file, std::string_view, std::string_view, int) override {
        shellOpened.emplace_back(file);
        return shellResult;
    }
    void DoEvents() override {
        if (onDoEvents) onDoEvents();
    }
    int TwipsPerPixelX() const override { return twipsPerPixel; }
    int TwipsPerPixelY() const override { return twipsPerPixel; }
    // A fixed-pitch measure: 120 twips per character at 12 points, scaled by size, +10% when bold.
    int TextWidthTwips(std::string_view text, std::string_view, int points, bool bold) override {
        const long width = static_cast<long>(text.size()) * 120 * points / 12;
        return static_cast<int>(bold ? width + width / 10 : width);
    }

private:
    template <typename T>
    static T Next(std::deque<T>& answers, const std::string& what, T none) {
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected " << what;
            return none;
        }
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace zelvane::testing
