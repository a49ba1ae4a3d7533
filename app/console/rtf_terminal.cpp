#include "app/console/rtf_terminal.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include "app/console/terminal_text.hpp"
#include "util/text/utf8.hpp"

namespace zelvane::console {
namespace {

struct CharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int color = 0;
    bool operator==(const CharFormat&) const = default;
};

// What the terminal shows of a format: colours 0 and 1 look the same.
struct Look {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int ansi = 39;
    bool operator==(const Look&) const = default;
};

struct GroupState {
    CharFormat format;
    bool skip = false;  // inside a destination whose text is not shown
    int unicodeSkip = 1;
};

// Groups nested deeper than this are still parsed, but share the state of the deepest one kept.
constexpr std::size_t kMaxDepth = 256;

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsSkippedDestination(std::string_view word) {
    static constexpr std::array<std::string_view, 14> kDestinations = {"fonttbl",
                                                                       "colortbl",
                                                                       "stylesheet",
                                                                       "info",
                                                                       "pict",
                                                                       "object",
                                                                       "header",
                                                                       "footer",
                                                                       "headerl",
                                                                       "headerr",
                                                                       "footnote",
                                                                       "listtable",
                                                                       "listoverridetable",
                                                                       "generator"};
    for (std::string_view d : kDestinations) {
        if (word == d) return true;
    }
    return false;
}

class Renderer {
public:
    explicit Renderer(const RtfTerminalOptions& options) : options_(options) { stack_.push_back(GroupState{}); }

    std::string Run(std::string_view rtf) {
        text_ = rtf;
        pos_ = 0;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '{') {
                ++pos_;
                OpenGroup();
            } else if (c == '}') {
                ++pos_;
                CloseGroup();
            } else if (c == '\\') {
                ++pos_;
                ControlSequence();
            } else if (c == '\r' || c == '\n') {
                ++pos_;  // line ends in RTF source are not text
            } else {
                ++pos_;
                EmitByte(static_cast<unsigned char>(c));
            }
        }
        if (options_.colors && emitted_ != Look{}) out_ += "\x1b[0m";
        return std::move(out_);
    }

private:
    GroupState& Top() { return stack_.back(); }

    void OpenGroup() {
        if (stack_.size() < kMaxDepth) {
            stack_.push_back(stack_.back());
        } else {
            ++overflow_;
        }
        pendingDestination_ = true;
    }

    void CloseGroup() {
        pendingDestination_ = false;
        if (overflow_ > 0) {
            --overflow_;
        } else if (stack_.size() > 1) {
            stack_.pop_back();
        }  // an unmatched "}" is ignored
    }

    void ControlSequence() {
        if (pos_ >= text_.size()) return;
        const char c = text_[pos_];
        if (IsLetter(c)) {
            ControlWord();
            return;
        }
        ++pos_;
        const bool first = pendingDestination_;
        pendingDestination_ = false;
        switch (c) {
            case '\\':
            case '{':
            case '}': EmitByte(static_cast<unsigned char>(c)); break;
            case '\'': {
                const int hi = pos_ < text_.size() ? HexValue(text_[pos_]) : -1;
                const int lo = pos_ + 1 < text_.size() ? HexValue(text_[pos_ + 1]) : -1;
                if (hi >= 0 && lo >= 0) {
                    pos_ += 2;
                    EmitByte(static_cast<unsigned char>(hi * 16 + lo));
                }
                break;
            }
            case '*':
                if (first) Top().skip = true;
                break;
            case '~':
            case ' ': EmitText(" "); break;
            case '_': EmitText("-"); break;
            case '\r':
            case '\n': EmitText("\n"); break;
            default: break;  // \- \| \: and unknown symbols show nothing
        }
    }

    void ControlWord() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && IsLetter(text_[pos_]) && pos_ - start < 32) ++pos_;
        const std::string_view word = text_.substr(start, pos_ - start);
        while (pos_ < text_.size() && IsLetter(text_[pos_])) ++pos_;  // an over-long word is cut

        bool hasNumber = false;
        bool negative = false;
        long long number = 0;
        if (pos_ < text_.size() && text_[pos_] == '-' && pos_ + 1 < text_.size() && IsDigit(text_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        while (pos_ < text_.size() && IsDigit(text_[pos_])) {
            hasNumber = true;
            if (number < 1000000000) number = number * 10 + (text_[pos_] - '0');
            ++pos_;
        }
        if (negative) number = -number;
        if (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;  // the delimiting space belongs to the word

        const bool first = pendingDestination_;
        pendingDestination_ = false;
        Apply(word, hasNumber, static_cast<int>(number), first);
    }

    void Apply(std::string_view word, bool hasNumber, int number, bool firstInGroup) {
        GroupState& g = Top();
        if (firstInGroup && IsSkippedDestination(word)) {
            g.skip = true;
            return;
        }
        const bool on = !hasNumber || number != 0;
        if (word == "par" || word == "line" || word == "sect" || word == "page") {
            EmitText("\n");
        } else if (word == "tab") {
            EmitText("\t");
        } else if (word == "b") {
            g.format.bold = on;
        } else if (word == "i") {
            g.format.italic = on;
        } else if (word == "ul") {
            g.format.underline = on;
        } else if (word == "ulnone") {
            g.format.underline = false;
        } else if (word == "cf") {
            g.format.color = hasNumber ? number : 0;
        } else if (word == "plain") {
            g.format = CharFormat{};
        } else if (word == "uc") {
            g.unicodeSkip = hasNumber && number >= 0 && number < 10 ? number : 1;
        } else if (word == "u" && hasNumber) {
            const long cp = number < 0 ? number + 65536L : number;
            if (!g.skip && !IsTerminalControl(static_cast<char32_t>(cp))) {
                std::string text;
                AppendUtf8(text, static_cast<char32_t>(cp));
                EmitText(text);
            }
            SkipFallback(g.unicodeSkip);
        } else if (word == "emdash") {
            EmitCodePoint(0x2014);
        } else if (word == "endash") {
            EmitCodePoint(0x2013);
        } else if (word == "bullet") {
            EmitCodePoint(0x2022);
        } else if (word == "lquote") {
            EmitCodePoint(0x2018);
        } else if (word == "rquote") {
            EmitCodePoint(0x2019);
        } else if (word == "ldblquote") {
            EmitCodePoint(0x201C);
        } else if (word == "rdblquote") {
            EmitCodePoint(0x201D);
        }
        // \fs, \f, \pard, \qc and every other word change nothing that a terminal shows.
    }

    // After \uN the next characters (count set by \ucN) stand in for readers without Unicode.
    void SkipFallback(int count) {
        for (int i = 0; i < count && pos_ < text_.size(); ++i) {
            const char c = text_[pos_];
            if (c == '{' || c == '}') return;
            if (c == '\\') {
                if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
                    pos_ = std::min(text_.size(), pos_ + 4);
                } else {
                    return;  // a control word ends the fallback
                }
            } else {
                ++pos_;
            }
        }
    }

    void EmitCodePoint(char32_t cp) {
        std::string text;
        AppendUtf8(text, cp);
        EmitText(text);
    }

    void EmitByte(unsigned char byte) {
        const char32_t cp = TerminalCharacterOf(byte);
        if (IsTerminalControl(cp)) return;  // control bytes are not text
        std::string text;
        AppendUtf8(text, cp);
        EmitText(text);
    }

    void EmitText(std::string_view text) {
        if (Top().skip) return;
        if (options_.colors) {
            const CharFormat& f = Top().format;
            const Look want = text == "\n" ? Look{} : Look{f.bold, f.italic, f.underline, AnsiColorOf(f.color)};
            if (!(want == emitted_)) {
                out_ += Sgr(want);
                emitted_ = want;
            }
        }
        out_ += text;
    }

    static std::string Sgr(const Look& look) {
        std::string s = "\x1b[0";
        if (look.bold) s += ";1";
        if (look.italic) s += ";3";
        if (look.underline) s += ";4";
        if (look.ansi != 39) s += ";" + std::to_string(look.ansi);
        s += "m";
        return s;
    }

    RtfTerminalOptions options_;
    std::string_view text_;
    std::size_t pos_ = 0;
    std::vector<GroupState> stack_;
    std::size_t overflow_ = 0;
    bool pendingDestination_ = false;
    Look emitted_;
    std::string out_;
};

}  // namespace

int AnsiColorOf(int colorIndex) {
    // black (the terminal's own foreground), maroon, green, olive, navy, purple, teal, grey,
    // silver, red, lime, yellow, blue, fuchsia, aqua, white
    static constexpr std::array<int, 16> kAnsi = {39, 31, 32, 33, 34, 35, 36, 90, 37, 91, 92, 93, 94, 95, 96, 97};
    if (colorIndex < 1 || colorIndex > 16) return 39;
    return kAnsi[static_cast<std::size_t>(colorIndex - 1)];
}

std::string RenderRtfForTerminal(std::string_view rtf, const RtfTerminalOptions& options) {
    return Renderer(options).Run(rtf);
}

}  // namespace zelvane::console
