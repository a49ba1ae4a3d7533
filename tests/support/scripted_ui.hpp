#pragma once
// A user interface for tests: prompts are answered from a script and everything shown is recorded.

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

    // What was shown.
    std::vector<PromptRequest> prompts;
    std::vector<ShownMessage> messages;
    std::vector<std::string> browseTitles;
    std::vector<std::string> browseStarts;
    std::vector<OpenFileRequest> openFileRequests;
    std::vector<std::string> shellOpened;

    int MsgBoxEx(PromptRequest request) override;
    void ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) override;
    std::string BrowseFolderDialog(std::string_view startFolder, std::string_view title) override;
    std::string OpenFileDialog(const OpenFileRequest& request) override;
    int ShellOpen(std::string_view file, std::string_view parameters, std::string_view directory,
                  int showCommand) override;
    void DoEvents() override {}
    int TwipsPerPixelX() const override { return twipsPerPixel; }
    int TwipsPerPixelY() const override { return twipsPerPixel; }
    // A fixed-pitch measure: 120 twips per character at 12 points, scaled by size, +10% when bold.
    int TextWidthTwips(std::string_view text, std::string_view face, int points, bool bold) override;
};

}  // namespace zelvane::testing
