#pragma once
// Accelerator letters of button captions ("&Yes": Alt+Y presses it, the Y drawn underlined).

#include <string>
#include <string_view>
#include <vector>

namespace zelvane {

// The index of the first caption that begins with "&" followed by the letter (case ignored);
// -1 when none does or when the letter is not one of A to Z.
int FindAcceleratorButton(const std::vector<std::string>& captions, char letter);

// The caption as shown: each "&" that marks a letter is dropped, "&&" shows one "&".
std::string StripAccelerator(std::string_view caption);
// The first letter marked with "&" anywhere in the caption, as written; '\0' when there is none.
char AcceleratorLetter(std::string_view caption);

}  // namespace zelvane
