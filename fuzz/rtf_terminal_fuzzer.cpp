// The terminal rendering of prompt RTF: the input rendered as it stands and inside the prompt
// envelope, with colours and without. Any input renders, and the output is always UTF-8.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/console/rtf_terminal.hpp"
#include "app/console/terminal_text.hpp"
#include "fuzz/fuzz_support.hpp"
#include "prompts/rtf_envelope.hpp"
#include "util/text/utf8.hpp"

namespace {

// Control characters other than line ends and tabs would drive the terminal (ESC starts a
// command sequence, and so does the C1 character U+009B); none may reach it from a document.
bool HasNoControls(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if ((b < 0x20 && b != '\n' && b != '\t') || b == 0x7F) return false;
        if (b == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zelvane;
    using namespace zelvane::console;
    const std::string_view rtf(reinterpret_cast<const char*>(data), size);

    const std::string plain = RenderRtfForTerminal(rtf, RtfTerminalOptions{false});
    fuzz::Check(IsUtf8(plain), "the rendering is not UTF-8");
    fuzz::Check(HasNoControls(plain), "a control character reaches the terminal");

    const std::string colored = RenderRtfForTerminal(rtf, RtfTerminalOptions{true});
    fuzz::Check(IsUtf8(colored), "the coloured rendering is not UTF-8");

    const std::string envelope = BuildPromptRtf(rtf, 12);
    fuzz::Check(IsUtf8(RenderRtfForTerminal(envelope, RtfTerminalOptions{false})),
                "the envelope's rendering is not UTF-8");

    fuzz::Check(IsUtf8(TerminalUtf8(rtf)), "TerminalUtf8 is not UTF-8");
    for (int color = -1; color <= 17; ++color) {
        const int ansi = AnsiColorOf(color);
        fuzz::Check(ansi == 39 || (ansi >= 30 && ansi <= 37) || (ansi >= 90 && ansi <= 97), "no ANSI colour");
    }
    return 0;
}
