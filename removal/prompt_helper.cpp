#include "removal/prompt_helper.hpp"

#include <utility>

#include "prompts/sizing.hpp"

namespace zelvane {
namespace {

constexpr int kPromptFontSize = 12;
constexpr std::string_view kPromptFont = "Times New Roman";

int Ask(RunState& run, const std::string& text, int width, const PromptSpec& spec) {
    PromptRequest request;
    request.msgText = text;
    request.msgTitle = spec.title;
    request.iconType = spec.iconType;
    request.buttonCount = spec.buttonCount;
    request.onTop = true;
    request.fontSize = kPromptFontSize;
    // Captions beyond the button count are passed empty.
    for (int i = 0; i < 4; ++i) request.captions[i] = i < spec.buttonCount || i == 0 ? spec.captions[i] : "";
    request.focusIndex = spec.focusIndex;
    request.playSound = spec.playSound;
    request.buttonWidth = spec.buttonWidth;
    request.buttonHeight = spec.buttonHeight;
    request.autoWidth = width;
    request.formatWidth = spec.formatWidth;
    const int answer = run.ui().MsgBoxEx(std::move(request));
    run.PlayerHadControl();
    return answer;
}

}  // namespace

PromptSpec YesNoPrompt(std::string title, int formatWidth) {
    PromptSpec spec;
    spec.title = std::move(title);
    spec.formatWidth = formatWidth;
    return spec;
}

int AskPrompt(RunState& run, std::string_view text, const PromptSpec& spec) {
    std::string measured(text);
    const int width = AutoDetermineWidth(measured, kPromptFontSize, kPromptFont, run.ui());
    return Ask(run, measured, width, spec);
}

int AskWithOwnText(RunState& run, std::string& text, const PromptSpec& spec) {
    const int width = AutoDetermineWidth(text, kPromptFontSize, kPromptFont, run.ui());
    return Ask(run, text, width, spec);
}

}  // namespace zelvane
