// The terminal rendering of prompt RTF: the input rendered as it stands and inside the prompt
// envelope, with colours and without. Any input renders, and the output is always UTF-8.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/console/rtf_terminal.hpp"
#include "fuzz/fuzz_support.hpp"
#include "prompts/rtf_envelope.hpp"

namespace {

// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no surrogates, at most U+10FFFF.
bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        std::uint32_t cp = 0;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            cp = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            cp = b & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size()) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if ((extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000)) return false;
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

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
    fuzz::Check(IsUtf8(RenderRtfForTerminal(envelope, RtfTerminalOptions{false})), "the envelope's rendering is not UTF-8");

    fuzz::Check(IsUtf8(Cp1252TextToUtf8(rtf)), "Cp1252TextToUtf8 is not UTF-8");
    for (int color = -1; color <= 17; ++color) {
        const int ansi = AnsiColorOf(color);
        fuzz::Check(ansi == 39 || (ansi >= 30 && ansi <= 37) || (ansi >= 90 && ansi <= 97), "no ANSI colour");
    }
    return 0;
}
