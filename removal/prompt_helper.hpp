#pragma once
// Asking the rich prompts of a removal run: always on top, 12-point Times New Roman, the width
// measured just before the call.

#include <array>
#include <string>
#include <string_view>

#include "removal/run_state.hpp"

namespace zelvane {

struct PromptSpec {
    std::string title;
    int iconType = 2;
    int buttonCount = 2;
    std::array<std::string, 4> captions{"&Yes", "&No", "", ""};
    int focusIndex = 1;
    bool playSound = false;
    int buttonWidth = 1300;
    int buttonHeight = 380;
    int formatWidth = -1;
};

// A "&Yes" / "&No" question with the focus on "&No".
PromptSpec YesNoPrompt(std::string title, int formatWidth = -1);

// Measures the text (in a copy, whose line ends the measuring may rewrite) and asks with it.
// Returns the answer.
int AskPrompt(RunState& run, std::string_view text, const PromptSpec& spec);

// Measures and asks with a text the description owns; the measuring rewrites its line ends in place.
int AskWithOwnText(RunState& run, std::string& text, const PromptSpec& spec);

}  // namespace zelvane
