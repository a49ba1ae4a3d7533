// The measuring of a prompt body: AutoDetermineWidth on the text as given and on its prompt
// envelope, and StripRtfCodes, DetermineFonts and FontNumeric on the same text.
// The first input byte picks the font size and the limit, the second the screen's twips per pixel.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.hpp"
#include "tests/support/whole_run.hpp"
#include "prompts/rtf_envelope.hpp"
#include "prompts/sizing.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zelvane;
    fuzz::InputReader input(data, size);
    const std::uint8_t sizeByte = input.Byte();
    const std::uint8_t screenByte = input.Byte();
    const std::string_view body = input.Rest();

    // Mostly ordinary sizes; the top values reach the extremes a description cannot give but a
    // caller could.
    int fontSize = sizeByte % 48;
    if (sizeByte >= 0xF0) fontSize = sizeByte == 0xFF ? 0x7FFFFFFF : -static_cast<int>(sizeByte);
    const int limit = static_cast<int>(sizeByte % 128) - 8;

    whole_run::QuietUi ui;
    ui.twipsPerPixel = screenByte % 32;

    const std::string stripped = StripRtfCodes(body);
    fuzz::Check(stripped.size() <= body.size(), "StripRtfCodes made text");

    std::vector<std::string> fonts{"stale"};
    DetermineFonts(body, fonts);
    for (const std::string& font : fonts) {
        fuzz::Check(font.size() <= 31, "a font name longer than any face");
    }

    const int n = FontNumeric(body, limit);
    fuzz::Check(n == -1 || (n >= 0 && n <= 9 && n <= limit), "FontNumeric outside 0-9 and the limit");

    std::string text(body);
    const int width = AutoDetermineWidth(text, fontSize, "Times New Roman", ui);
    fuzz::Check(width >= 50, "a prompt narrower than its margin");
    if (body.substr(0, 6) == "{\\rtf1") fuzz::Check(text == body, "a whole document was rewritten");

    // The body the prompt finally shows: the rewritten fragment in its envelope.
    std::string document = BuildPromptRtf(text, fontSize);
    fuzz::Check(AutoDetermineWidth(document, fontSize, "Arial", ui) >= 50, "an envelope narrower than its margin");
    return 0;
}
