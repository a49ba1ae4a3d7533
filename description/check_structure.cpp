// The errors that end start-up: the "Aborting" messages and the "Oops!" failures of the loader.

#include <optional>
#include <set>
#include <utility>

#include "description/check_model.hpp"
#include "description/numbered_key.hpp"
#include "description/values.hpp"
#include "util/program_error.hpp"
#include "util/strings.hpp"

namespace zelvane::check {
namespace {

constexpr std::string_view kStartupFails = "; start-up would fail";

std::string StopsWith(std::string_view message) {
    return "; start-up would stop with \"" + std::string(message) + "\"";
}

std::string ImproperlySet(const BlockUse& use) {
    return use.beginMarker + " and " + use.endMarker + " are improperly set.";
}

// The file in lower case, made on first need.
class LowerBytes {
public:
    explicit LowerBytes(const DescriptionText& text) : text_(text) {}
    const std::string& Get() {
        if (!lower_) lower_ = LowerCase(text_.bytes);
        return *lower_;
    }

private:
    const DescriptionText& text_;
    std::optional<std::string> lower_;
};

// Where a marker that the exact search misses is written otherwise, if anywhere: in other letter
// case, or with its number written with a leading zero.
std::string Misspelt(const DescriptionText& text, LowerBytes& lower, std::string_view marker) {
    auto at = [&](std::size_t found, std::size_t length, std::string_view rule) {
        return " (line " + std::to_string(text.LineOf(found)) + " writes it as " +
               Quoted(text.bytes.substr(found, length)) + "; " + std::string(rule) + ")";
    };
    if (const std::size_t found = lower.Get().find(marker); found != std::string::npos) {
        return at(found, marker.size(), "markers must be written in lower case");
    }
    // "#qdelete_file_end_3#" written "#qdelete_file_end_03#".
    if (marker.size() >= 3 && marker[marker.size() - 3] == '_') {
        std::string padded(marker);
        padded.insert(padded.size() - 2, "0");
        if (const std::size_t found = lower.Get().find(padded); found != std::string::npos) {
            return at(found, padded.size(), "numbers are written without leading zeros");
        }
    }
    return {};
}

std::string Owner(const BlockUse& use) { return "the block of " + use.what; }

void CheckBlockUse(const DescriptionText& text, LowerBytes& lower, const BlockUse& use, std::vector<Diagnostic>& out) {
    const BlockCut& cut = *use.cut;
    switch (cut.status) {
        case BlockCut::Status::Ok:
            return;
        case BlockCut::Status::Missing: {
            const bool beginMissing = cut.begin == std::string::npos;
            const bool endMissing = cut.end == std::string::npos;
            const std::string beginCase = beginMissing ? Misspelt(text, lower, use.beginMarker) : "";
            const std::string endCase = endMissing ? Misspelt(text, lower, use.endMarker) : "";
            std::string missing;
            if (beginMissing && endMissing && beginCase.empty() && endCase.empty()) {
                missing = use.beginMarker + " and " + use.endMarker + " are not in the file";
            } else {
                if (beginMissing) missing = use.beginMarker + " is not in the file" + beginCase;
                if (beginMissing && endMissing) missing += ", and ";
                if (endMissing) missing += use.endMarker + " is not in the file" + endCase;
            }
            Add(out, use.line, Severity::Error, Owner(use) + ": " + missing + StopsWith(ImproperlySet(use)));
            return;
        }
        case BlockCut::Status::Negative: {
            const int beginLine = text.LineOf(cut.begin);
            const int endLine = text.LineOf(cut.end);
            std::string where;
            if (cut.end < cut.begin) {
                where = "the end marker " + use.endMarker + " (line " + std::to_string(endLine) +
                        ") stands before the begin marker (line " + std::to_string(beginLine) + ")";
            } else if (endLine == beginLine) {
                where = "the end marker " + use.endMarker + " stands on the begin marker's line " +
                        std::to_string(beginLine);
            } else {
                where = "the end marker " + use.endMarker + " (line " + std::to_string(endLine) +
                        ") directly follows the begin marker; an empty text needs one empty line between them";
            }
            Add(out, use.line, Severity::Error, Owner(use) + ": " + where + std::string(kStartupFails));
            return;
        }
    }
}

// Converts a value as start-up does; the diagnostic when it cannot.
template <typename Convert>
void CheckValue(const Line& line, int number, std::string_view key, std::string_view expected, Convert convert,
                std::vector<Diagnostic>& out) {
    const std::string_view value = std::string_view(line.text).substr(key.size());
    try {
        convert(value);
    } catch (const ProgramError& error) {
        const std::string reason = error.Number() == 6 ? "is out of range" : "is not " + std::string(expected);
        Add(out, number, Severity::Error,
            std::string(key) + " value " + Quoted(value) + " " + reason + std::string(kStartupFails));
    }
}

}  // namespace

std::vector<Diagnostic> CheckStructure(const DescriptionText& text, int twipsPerPixelX) {
    std::vector<Diagnostic> out;
    const std::string_view flag = "true, false or a number";
    const std::string_view integer = "a whole number from -32768 to 32767";
    const std::string_view number = "a number";
    auto pixels = [twipsPerPixelX](std::string_view v) { ToPixels(v, twipsPerPixelX); };
    bool hasListLine = false;
    for (const Line& line : text.lines) hasListLine = hasListLine || StartsWithKey(line.text, "#qrestore_2da_files=");

    LowerBytes lowerBytes(text);
    std::set<std::string> reportedBlocks;
    std::size_t nextUse = 0;
    bool deleteEntries = false;
    bool restoreEntries = false;
    bool listReported = false;
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        const Line& line = text.lines[i];
        const std::string lower = LowerCase(std::string_view(line.text).substr(0, 48));
        auto carries = [&](std::string_view key) { return std::string_view(lower).starts_with(key); };

        // The uses of this line, in the loader's order: confirmation, instructions, q-delete, q-restore.
        while (nextUse < text.blockUses.size() && text.blockUses[nextUse].line == n) {
            const BlockUse& use = text.blockUses[nextUse++];
            if (use.what.starts_with("#qdelete_file_")) deleteEntries = true;
            if (use.what.starts_with("#qrestore_file_")) restoreEntries = true;
            // One report per pair of markers: the same number twice shares its block.
            if (reportedBlocks.insert(use.beginMarker).second) CheckBlockUse(text, lowerBytes, use, out);
        }

        for (std::string_view key : {"#default_format_width=", "#confirm_message_format_width=",
                                     "#explicit_instructions_format_width="}) {
            if (carries(key)) CheckValue(line, n, key, number, pixels, out);
        }
        if (carries("#game=")) CheckValue(line, n, "#game=", integer, ToInteger, out);
        if (carries("#game_select=")) CheckValue(line, n, "#game_select=", flag, ToFlag, out);
        if (carries("#explicit_instructions_icon=")) {
            CheckValue(line, n, "#explicit_instructions_icon=", number, ToNumber, out);
        }
        for (const auto& [stem, entries] : {std::pair<std::string_view, bool>{"#qdelete_file_format_width_", deleteEntries},
                                            std::pair<std::string_view, bool>{"#qrestore_file_format_width_", restoreEntries}}) {
            const auto key = FindNumberedKey(lower, stem);
            if (!key) continue;
            const std::string keyText = lower.substr(0, key->length);
            if (!entries) {
                const std::string entryKey = stem == "#qdelete_file_format_width_" ? "#qdelete_file_N=" : "#qrestore_file_N=";
                Add(out, n, Severity::Error,
                    keyText + " stands before any " + entryKey +
                        " line; a width line belongs after its entry line" + std::string(kStartupFails));
            } else {
                CheckValue(line, n, keyText, number, pixels, out);
            }
        }
        if (carries("#qrestore_2da=")) {
            const std::string_view value = std::string_view(line.text).substr(14);
            bool restore = false;
            try {
                restore = ToFlag(value);
            } catch (const ProgramError&) {
                CheckValue(line, n, "#qrestore_2da=", flag, ToFlag, out);
            }
            if (restore && !hasListLine && !listReported) {
                listReported = true;
                Add(out, n, Severity::Error,
                    "#qrestore_2da= is true but no #qrestore_2da_files= line is in the file" +
                        StopsWith("Restore 2da files is enabled but no 2da file list was found in the ini."));
            }
        }
    }
    return out;
}

}  // namespace zelvane::check
