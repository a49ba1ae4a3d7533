// The errors that end start-up: the "Aborting" messages and the "Oops!" failures of the loader.

#include <algorithm>
#include <optional>
#include <set>

#include "description/check_parts.hpp"
#include "description/values.hpp"
#include "util/program_error.hpp"
#include "util/strings.hpp"

namespace zelvane::check {
namespace {

constexpr std::string_view kStartupFails = "; start-up would fail";

std::string StopsWith(std::string_view message) {
    return "; start-up would stop with \"" + std::string(message) + "\"";
}

std::string ImproperlySet(const BlockUse& block) {
    return block.beginMarker + " and " + block.endMarker + " are improperly set.";
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

void CheckBlock(const DescriptionText& text, LowerBytes& lower, const DescriptionLine& line,
                std::vector<Diagnostic>& out) {
    const BlockUse& block = *line.block;
    const BlockCut& cut = block.cut;
    const std::string owner = "the block of " + line.key->Text() + ": ";
    switch (cut.status) {
        case BlockCut::Status::Ok: return;
        case BlockCut::Status::Missing: {
            const bool beginMissing = cut.begin == std::string::npos;
            const bool endMissing = cut.end == std::string::npos;
            const std::string beginCase = beginMissing ? Misspelt(text, lower, block.beginMarker) : "";
            const std::string endCase = endMissing ? Misspelt(text, lower, block.endMarker) : "";
            std::string missing;
            if (beginMissing && endMissing && beginCase.empty() && endCase.empty()) {
                missing = block.beginMarker + " and " + block.endMarker + " are not in the file";
            } else {
                if (beginMissing) missing = block.beginMarker + " is not in the file" + beginCase;
                if (beginMissing && endMissing) missing += ", and ";
                if (endMissing) missing += block.endMarker + " is not in the file" + endCase;
            }
            Add(out, line.number, Severity::Error, owner + missing + StopsWith(ImproperlySet(block)));
            return;
        }
        case BlockCut::Status::Negative: {
            const int beginLine = text.LineOf(cut.begin);
            const int endLine = text.LineOf(cut.end);
            std::string where;
            if (cut.end < cut.begin) {
                where = "the end marker " + block.endMarker + " (line " + std::to_string(endLine) +
                        ") stands before the begin marker (line " + std::to_string(beginLine) + ")";
            } else if (endLine == beginLine) {
                where = "the end marker " + block.endMarker + " stands on the begin marker's line " +
                        std::to_string(beginLine);
            } else {
                where = "the end marker " + block.endMarker + " (line " + std::to_string(endLine) +
                        ") directly follows the begin marker; an empty text needs one empty line between them";
            }
            Add(out, line.number, Severity::Error, owner + where + std::string(kStartupFails));
            return;
        }
    }
}

// Converts a value as start-up does; the diagnostic when it cannot.
template <typename Convert>
void CheckValue(const DescriptionLine& line, std::string_view expected, Convert convert, std::vector<Diagnostic>& out) {
    try {
        convert(line.Value());
    } catch (const ProgramError& error) {
        const std::string reason = error.Number() == 6 ? "is out of range" : "is not " + std::string(expected);
        Add(out, line.number, Severity::Error,
            line.key->Text() + " value " + Quoted(line.Value()) + " " + reason + std::string(kStartupFails));
    }
}

}  // namespace

std::vector<Diagnostic> CheckStructure(const DescriptionText& text, int twipsPerPixelX) {
    std::vector<Diagnostic> out;
    const std::string_view flag = "true, false or a number";
    const std::string_view integer = "a whole number from -32768 to 32767";
    const std::string_view number = "a number";
    auto pixels = [twipsPerPixelX](std::string_view v) { ToPixels(v, twipsPerPixelX); };
    const bool hasListLine = std::any_of(text.lines.begin(), text.lines.end(), [](const DescriptionLine& line) {
        return line.Carries("#qrestore_2da_files=");
    });

    LowerBytes lowerBytes(text);
    std::set<std::string> reportedBlocks;
    bool deleteEntries = false;
    bool restoreEntries = false;
    bool listReported = false;
    for (const DescriptionLine& line : text.lines) {
        if (!line.key) continue;
        const std::string_view key = line.key->stem;
        // One report per pair of markers: the same number twice shares its block.
        if (line.block && reportedBlocks.insert(line.block->beginMarker).second) {
            CheckBlock(text, lowerBytes, line, out);
        }
        if (key == "#qdelete_file_") deleteEntries = true;
        if (key == "#qrestore_file_") restoreEntries = true;

        if (key == "#default_format_width=" || key == "#confirm_message_format_width=" ||
            key == "#explicit_instructions_format_width=") {
            CheckValue(line, number, pixels, out);
        }
        if (key == "#game=") CheckValue(line, integer, ToInteger, out);
        if (key == "#game_select=") CheckValue(line, flag, ToFlag, out);
        if (key == "#explicit_instructions_icon=") CheckValue(line, number, ToNumber, out);
        if (key == "#qdelete_file_format_width_" || key == "#qrestore_file_format_width_") {
            const bool deletes = key == "#qdelete_file_format_width_";
            if (deletes ? deleteEntries : restoreEntries) {
                CheckValue(line, number, pixels, out);
            } else {
                Add(out, line.number, Severity::Error,
                    line.key->Text() + " stands before any " + (deletes ? "#qdelete_file_N=" : "#qrestore_file_N=") +
                        " line; a width line belongs after its entry line" + std::string(kStartupFails));
            }
        }
        if (key == "#qrestore_2da=") {
            bool restore = false;
            try {
                restore = ToFlag(line.Value());
            } catch (const ProgramError&) {
                CheckValue(line, flag, ToFlag, out);
            }
            if (restore && !hasListLine && !listReported) {
                listReported = true;
                Add(out, line.number, Severity::Error,
                    "#qrestore_2da= is true but no #qrestore_2da_files= line is in the file" +
                        StopsWith("Restore 2da files is enabled but no 2da file list was found in the ini."));
            }
        }
    }
    return out;
}

}  // namespace zelvane::check
