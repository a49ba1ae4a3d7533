#include "platform/posix/steam_library.hpp"

#include <cctype>
#include <climits>
#include <cstdlib>

#include "platform/pattern_match.hpp"
#include "platform/posix/host_read.hpp"
#include "platform/seams/read_limits.hpp"

namespace zelvane {
namespace {

// Steam's own file, or "" when it cannot be read, is no regular file or is larger than Steam's
// files ever are.
std::string ReadText(const std::string& path) {
    std::string text;
    if (posix::ReadHostFile(path, kSteamFileLimit, text) != FsStatus::Ok) return {};
    return text;
}

// Blocks nested deeper than this end the text (the parser goes one call deeper per block);
// Steam's own files nest four deep.
constexpr int kMaxDepth = 64;

std::string Canonical(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

class VdfReader {
public:
    explicit VdfReader(std::string_view text) : text_(text) {}

    // The nodes of one level; depth 0 is the top. A block nested too deep ends the whole text.
    std::vector<VdfNode> Nodes(int depth) {
        std::vector<VdfNode> nodes;
        const bool nested = depth > 0;
        for (;;) {
            Token key = Next();
            if (key.kind == Token::End) return nodes;
            if (key.kind == Token::Close) {
                if (nested) return nodes;
                continue;
            }
            if (key.kind == Token::Open) continue;  // a block without a key: malformed, skipped
            VdfNode node;
            node.key = key.text;
            Token value = Next();
            while (value.kind == Token::Condition) value = Next();
            if (value.kind == Token::Open) {
                if (depth + 1 > kMaxDepth) {
                    at_ = text_.size();
                    return nodes;
                }
                node.block = true;
                node.children = Nodes(depth + 1);
            } else if (value.kind == Token::Text) {
                node.value = value.text;
            } else {
                nodes.push_back(std::move(node));
                return nodes;
            }
            nodes.push_back(std::move(node));
        }
    }

private:
    struct Token {
        enum Kind { Text, Open, Close, Condition, End } kind = End;
        std::string text;
    };

    Token Next() {
        for (;;) {
            while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
            if (text_.substr(at_, 2) == "//") {
                while (at_ < text_.size() && text_[at_] != '\n') ++at_;
                continue;
            }
            break;
        }
        Token t;
        if (at_ >= text_.size()) return t;
        const char c = text_[at_];
        if (c == '{' || c == '}') {
            ++at_;
            t.kind = c == '{' ? Token::Open : Token::Close;
            return t;
        }
        t.kind = Token::Text;
        if (c == '"') {
            ++at_;
            while (at_ < text_.size() && text_[at_] != '"') {
                char ch = text_[at_++];
                if (ch == '\\' && at_ < text_.size()) {
                    const char e = text_[at_++];
                    ch = e == 'n' ? '\n' : e == 't' ? '\t' : e;
                }
                t.text += ch;
            }
            ++at_;
            return t;
        }
        while (at_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[at_])) && text_[at_] != '{' &&
               text_[at_] != '}' && text_[at_] != '"') {
            t.text += text_[at_++];
        }
        if (t.text.starts_with('[')) t.kind = Token::Condition;
        return t;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

}  // namespace

const VdfNode* VdfNode::Child(std::string_view name) const {
    for (const VdfNode& child : children) {
        if (NamesEqual(child.key, name)) return &child;
    }
    return nullptr;
}

std::vector<VdfNode> ParseVdf(std::string_view text) { return VdfReader(text).Nodes(0); }

std::vector<std::string> SteamLibraries(const std::string& steamRoot) {
    std::vector<std::string> libraries;
    std::vector<std::string> seen;
    auto add = [&](const std::string& folder) {
        const std::string canonical = Canonical(folder);
        if (canonical.empty()) return;
        for (const std::string& s : seen) {
            if (s == canonical) return;
        }
        seen.push_back(canonical);
        libraries.push_back(folder);
    };
    add(steamRoot);
    for (const VdfNode& top : ParseVdf(ReadText(steamRoot + "/steamapps/libraryfolders.vdf"))) {
        if (!NamesEqual(top.key, "libraryfolders")) continue;
        for (const VdfNode& entry : top.children) {
            if (entry.block) {
                if (const VdfNode* path = entry.Child("path"); path != nullptr && !path->block) add(path->value);
            } else if (AllDigits(entry.key)) {
                add(entry.value);
            }
        }
    }
    return libraries;
}

std::string SteamAppFolder(const std::string& library, const std::string& appId) {
    for (const VdfNode& top : ParseVdf(ReadText(library + "/steamapps/appmanifest_" + appId + ".acf"))) {
        if (!NamesEqual(top.key, "AppState")) continue;
        const VdfNode* dir = top.Child("installdir");
        if (dir == nullptr || dir->block || dir->value.empty() || dir->value.find('/') != std::string::npos ||
            dir->value == "." || dir->value == "..") {
            return {};
        }
        return library + "/steamapps/common/" + dir->value;
    }
    return {};
}

}  // namespace zelvane
