#include "app/console/terminal_ui.hpp"

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "app/console/console_host.hpp"
#include "app/console/rtf_terminal.hpp"
#include "app/console/terminal_text.hpp"
#include "prompts/accelerators.hpp"

namespace zelvane::console {
namespace {

constexpr const char* kRule = "------------------------------------------------------------";

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool AllDigits(std::string_view text) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// A plain text of the core (CR LF line ends, code page 1252) as terminal lines. Control
// characters other than line ends and tabs are dropped: a title or caption from a description
// must not send the terminal an escape sequence.
std::string PlainText(std::string_view text) {
    std::string lf;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r') {
            lf.push_back('\n');
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c >= 0x20 ? c != 0x7F : (c == '\n' || c == '\t')) {
            lf.push_back(text[i]);
        }
    }
    return TerminalUtf8(lf);
}

std::string WithoutTrailingLineEnds(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

std::vector<std::string> VisibleCaptions(const PromptRequest& request) {
    std::vector<std::string> captions;
    const int count = VisibleButtonCount(request);
    captions.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        captions.push_back(i < 4 ? request.captions[static_cast<std::size_t>(i)] : std::string());
    }
    return captions;
}

}  // namespace

int VisibleButtonCount(const PromptRequest& request) { return request.buttonCount < 2 ? 1 : request.buttonCount; }

std::optional<int> FocusButton(const PromptRequest& request) {
    if (request.focusIndex < 0 || request.focusIndex >= VisibleButtonCount(request)) return std::nullopt;
    return request.focusIndex;
}

bool UseColors(bool noColorOption, const char* noColorVariable, bool outputIsTerminal) {
    const bool noColorSet = noColorVariable != nullptr && *noColorVariable != '\0';
    return !noColorOption && !noColorSet && outputIsTerminal;
}

std::optional<int> ParsePromptAnswer(std::string_view answer, const PromptRequest& request) {
    const std::string a = LowerAscii(Trim(answer));
    if (a.empty()) return std::nullopt;
    if (a == "close" || a == "-1") return -1;
    const std::vector<std::string> captions = VisibleCaptions(request);
    if (AllDigits(a)) {
        const int index = std::atoi(a.c_str());
        if (index < static_cast<int>(captions.size())) return index;
        return std::nullopt;
    }
    if (a.size() == 1) {
        const int index = FindAcceleratorButton(captions, a[0]);
        if (index >= 0) return index;
    }
    for (std::size_t i = 0; i < captions.size(); ++i) {
        if (!captions[i].empty() && LowerAscii(StripAccelerator(captions[i])) == a) return static_cast<int>(i);
    }
    return std::nullopt;
}

TerminalUi::TerminalUi(TerminalOptions options, AnswerSource& answers, HostPathOf hostPathOf, std::ostream& out)
    : options_(options), answers_(answers), hostPathOf_(std::move(hostPathOf)), out_(out) {}

std::string TerminalUi::Heading(std::string_view kind, std::string_view title) const {
    std::string text = std::string(kind) + PlainText(title);
    if (options_.colors) return "\x1b[1m" + text + "\x1b[0m";
    return text;
}

void TerminalUi::Exhausted(std::string_view what) {
    out_ << std::flush;
    std::cerr << "zelvane-console: no answer left for " << what << "; stopping here, nothing more is changed."
              << std::endl;
    std::cout.flush();
    if (beforeExit_) beforeExit_();
    std::exit(kExitAnswersExhausted);
}

std::string TerminalUi::NextAnswer(std::string_view what, std::string_view ask) {
    out_ << std::flush;
    std::optional<std::string> answer = answers_.Next(ask);
    if (!answer) Exhausted(what);
    return *answer;
}

int TerminalUi::MsgBoxEx(PromptRequest request) {
    const std::string title = request.msgTitle.empty() ? std::string("Zelvane") : request.msgTitle;
    out_ << kRule << "\n" << Heading("Prompt: ", title) << "\n" << kRule << "\n";
    const std::string body = RenderRtfForTerminal(request.msgText, RtfTerminalOptions{options_.colors});
    out_ << WithoutTrailingLineEnds(body) << "\n\n";

    const std::vector<std::string> captions = VisibleCaptions(request);
    for (std::size_t i = 0; i < captions.size(); ++i) {
        out_ << "  [" << i << "] " << PlainText(StripAccelerator(captions[i]));
        const char letter = AcceleratorLetter(captions[i]);
        if (letter != '\0' && FindAcceleratorButton(captions, letter) == static_cast<int>(i)) {
            out_ << "  (" << static_cast<char>(letter >= 'a' && letter <= 'z' ? letter - 'a' + 'A' : letter) << ")";
        }
        if (static_cast<int>(i) == request.focusIndex) out_ << "  <- focus";
        out_ << "\n";
    }

    const std::string what = "the prompt \"" + PlainText(title) + "\"";
    // At a terminal Enter presses the focused button, as it does in the window.
    const std::optional<int> focus = FocusButton(request);
    const std::string ask = focus ? "Answer (number, letter or close; Enter for " +
                                        PlainText(StripAccelerator(captions[static_cast<std::size_t>(*focus)])) + "): "
                                  : std::string("Answer (number, letter or close): ");
    for (;;) {
        const std::string answer = NextAnswer(what, ask);
        std::optional<int> chosen = ParsePromptAnswer(answer, request);
        if (!chosen && answer.empty() && answers_.Interactive()) chosen = focus;
        if (chosen) {
            out_ << "Answer: ";
            if (*chosen < 0) {
                out_ << "close (-1)";
            } else {
                out_ << *chosen << " (" << PlainText(StripAccelerator(captions[static_cast<std::size_t>(*chosen)]))
                     << ")";
            }
            out_ << "\n\n" << std::flush;
            return *chosen;
        }
        if (!answers_.Interactive()) {
            out_ << std::flush;
            std::cerr << "zelvane-console: the answer \"" << HostTerminalLine(answer) << "\" names no button of "
                      << what << "; stopping here, nothing more is changed." << std::endl;
            if (beforeExit_) beforeExit_();
            std::exit(kExitAnswersExhausted);
        }
        out_ << "Please type a button number, its letter or close.\n";
    }
}

void TerminalUi::ShowMessage(std::string_view text, std::string_view title, std::uint32_t /*style*/) {
    out_ << kRule << "\n"
         << Heading("Message: ", title) << "\n"
         << kRule << "\n"
         << WithoutTrailingLineEnds(PlainText(text)) << "\n\n"
         << std::flush;
}

std::string TerminalUi::BrowseFolderDialog(std::string_view startFolder, std::string_view title) {
    out_ << kRule << "\n" << Heading("Browse for folder: ", title) << "\n" << kRule << "\n";
    if (!startFolder.empty()) out_ << "Start folder: " << PlainText(startFolder) << "\n";
    const std::string answer = NextAnswer("the folder dialog \"" + PlainText(title) + "\"", "Folder (or cancel): ");
    if (answer.empty() || LowerAscii(answer) == "cancel") {
        out_ << "Answer: cancel\n\n" << std::flush;
        return {};
    }
    const std::string folder = TypedPathToWindows(answer);
    out_ << "Answer: " << TerminalLine(folder) << "\n\n" << std::flush;
    return folder;
}

std::string TerminalUi::OpenFileDialog(const OpenFileRequest& request) {
    out_ << kRule << "\n" << Heading("Open file: ", request.title) << "\n" << kRule << "\n";
    out_ << "Folder: " << PlainText(request.initialFolder) << "\n";
    if (!request.fileName.empty()) out_ << "File name: " << PlainText(request.fileName) << "\n";
    const std::size_t nul = request.filter.find('\0');
    const std::string filter = request.filter.substr(0, nul);
    if (!filter.empty()) out_ << "Files of type: " << PlainText(filter) << "\n";
    const std::string answer =
        NextAnswer("the open-file dialog \"" + PlainText(request.title) + "\"", "File (or cancel): ");
    if (answer.empty() || LowerAscii(answer) == "cancel") {
        out_ << "Answer: cancel\n\n" << std::flush;
        return {};
    }
    const std::string file = TypedPathToWindows(answer);
    out_ << "Answer: " << TerminalLine(file) << "\n\n" << std::flush;
    return file;
}

int TerminalUi::ShellOpen(std::string_view file, std::string_view /*parameters*/, std::string_view /*directory*/,
                          int /*showCommand*/) {
    openedLast_ = false;
    const std::string host = hostPathOf_(file);
    if (host.empty()) return 2;  // "The specified file was not found."
    if (options_.dryRun) {
        out_ << "Not saved (dry run): " << HostTerminalLine(host) << "\n" << std::flush;
        return 42;
    }
    if (!options_.open) {
        out_ << "Saved: " << HostTerminalLine(host) << "\n" << std::flush;
        return 42;
    }
    out_ << "Opening: " << HostTerminalLine(host) << "\n" << std::flush;
    if (!OpenWithViewer(host)) return 31;  // no viewer: as with no association
    openedLast_ = true;
    return 42;
}

int TerminalUi::TextWidthTwips(std::string_view text, std::string_view /*face*/, int points, bool bold) {
    // About half an em per character; an em is the size in points, 20 twips each.
    double width = static_cast<double>(text.size()) * points * 20.0 * 0.5;
    if (bold) width *= 1.1;
    return static_cast<int>(std::lround(width));
}

void TerminalUi::ShowDocument(std::string_view rtf, std::string_view heading) {
    out_ << kRule << "\n"
         << Heading("", heading) << "\n"
         << kRule << "\n"
         << WithoutTrailingLineEnds(RenderRtfForTerminal(rtf, RtfTerminalOptions{options_.colors})) << "\n\n"
         << std::flush;
}

void TerminalUi::ShowCaption(std::string_view caption) {
    std::string line(caption);
    for (char& c : line) {
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    }
    out_ << Heading("== ", line + " ==") << "\n";
}

void TerminalUi::ShowRichText(std::string_view rtf) {
    out_ << WithoutTrailingLineEnds(RenderRtfForTerminal(rtf, RtfTerminalOptions{options_.colors})) << "\n"
         << std::flush;
}

void TerminalUi::ShowNotice(std::string_view text) {
    if (options_.colors) {
        out_ << "\x1b[1;91m" << PlainText(text) << "\x1b[0m\n" << std::flush;
    } else {
        out_ << PlainText(text) << "\n" << std::flush;
    }
}

}  // namespace zelvane::console
