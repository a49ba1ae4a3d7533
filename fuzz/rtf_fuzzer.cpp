// Prompt RTF after a byte for font size and limit and one for the screen's twips per pixel: measured
// (the body and its prompt envelope) and rendered for the terminal, always as UTF-8.

#include <vector>

#include "app/console/rtf_terminal.hpp"
#include "app/console/terminal_text.hpp"
#include "fuzz/fuzz_support.hpp"
#include "prompts/rtf_envelope.hpp"
#include "prompts/sizing.hpp"
#include "tests/support/whole_run.hpp"
#include "util/text/utf8.hpp"

using namespace zelvane;
using namespace zelvane::console;

// Control characters other than line ends and tabs would drive the terminal (ESC starts a
// command sequence, and so does the C1 character U+009B); none may reach it from a document.
static bool HasNoControls(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if ((b < 0x20 && b != '\n' && b != '\t') || b == 0x7F) return false;
        if (b == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0) return false;
    }
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::InputReader input(data, size);
    const std::uint8_t sizeByte = input.Byte(), screenByte = input.Byte();
    const std::string_view body = input.Rest();
    // Mostly ordinary sizes; the top values reach extremes a description cannot give.
    int fontSize = sizeByte % 48;
    if (sizeByte >= 0xF0) fontSize = sizeByte == 0xFF ? 0x7FFFFFFF : -static_cast<int>(sizeByte);
    const int limit = static_cast<int>(sizeByte % 128) - 8;
    whole_run::QuietUi ui;
    ui.twipsPerPixel = screenByte % 32;

    fuzz::Check(StripRtfCodes(body).size() <= body.size(), "StripRtfCodes made text");
    std::vector<std::string> fonts{"stale"};
    DetermineFonts(body, fonts);
    for (const std::string& font : fonts) fuzz::Check(font.size() <= 31, "a font name longer than any face");
    const int n = FontNumeric(body, limit);
    fuzz::Check(n == -1 || (n >= 0 && n <= 9 && n <= limit), "FontNumeric outside 0-9 and the limit");
    std::string text(body);
    fuzz::Check(AutoDetermineWidth(text, fontSize, "Times New Roman", ui) >= 50, "a prompt narrower than its margin");
    if (body.starts_with("{\\rtf1")) fuzz::Check(text == body, "a whole document was rewritten");
    // The body the prompt finally shows: the rewritten fragment in its envelope.
    std::string document = BuildPromptRtf(text, fontSize);
    fuzz::Check(AutoDetermineWidth(document, fontSize, "Arial", ui) >= 50, "an envelope narrower than its margin");

    const std::string plain = RenderRtfForTerminal(body, RtfTerminalOptions{false});
    fuzz::Check(IsUtf8(plain) && HasNoControls(plain), "the rendering is not UTF-8 or drives the terminal");
    fuzz::Check(IsUtf8(RenderRtfForTerminal(body, RtfTerminalOptions{true})), "the coloured rendering is not UTF-8");
    fuzz::Check(IsUtf8(RenderRtfForTerminal(BuildPromptRtf(body, 12), RtfTerminalOptions{false})),
                "the envelope's rendering is not UTF-8");
    fuzz::Check(IsUtf8(TerminalUtf8(body)), "TerminalUtf8 is not UTF-8");
    return 0;
}
