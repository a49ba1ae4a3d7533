#include "description/loader.hpp"

#include <new>
#include <optional>
#include <string_view>
#include <vector>

#include "description/backup_discovery.hpp"
#include "description/block_source.hpp"
#include "description/limits.hpp"
#include "description/numbered_key.hpp"
#include "description/values.hpp"
#include "platform/seams/read_limits.hpp"
#include "util/strings.hpp"

namespace zelvane {
namespace {

// Long enough for every key, the numbered ones with two digits included.
constexpr std::size_t kKeyPrefixLength = 48;

std::string ImproperlySet(std::string_view beginMarker, std::string_view endMarker) {
    std::string text(beginMarker);
    text += " and ";
    text += endMarker;
    text += " are improperly set.";
    return text;
}

// The three parallel lists of one kind of q-entry.
struct QEntryLists {
    std::string_view entryStem;  // "#qdelete_file_"
    std::string_view widthStem;  // "#qdelete_file_format_width_"
    std::string_view beginStem;  // "#qdelete_file_begin_"
    std::string_view endStem;    // "#qdelete_file_end_"
    std::vector<std::string>& files;
    std::vector<std::string>& prompts;
    std::vector<std::int32_t>& widths;
};

class Loader {
public:
    Loader(UninstallDescription& description, const LoaderContext& context)
        : d_(description), context_(context), blocks_(context.fs, context.workingCopyPath) {}

    // The abort message, or nullopt when the end of the file was reached. Failures throw.
    std::optional<std::string> Run() {
        std::string bytes;
        const FsStatus status = context_.fs.ReadAll(d_.DescriptionPath, bytes, kDescriptionLimit);
        if (status != FsStatus::Ok) throw FileSystemError(status);
        std::vector<std::string> lines = SplitInputLines(bytes);
        bytes.clear();
        bytes.shrink_to_fit();
        for (const std::string& line : lines) {
            if (auto abort = ApplyLine(line)) return abort;
        }
        return std::nullopt;
    }

private:
    std::optional<std::string> ApplyLine(std::string_view line) {
        const std::string lower = LowerCase(line.substr(0, kKeyPrefixLength));
        auto value = [&](std::string_view key) { return line.substr(key.size()); };
        auto carries = [&](std::string_view key) { return std::string_view(lower).starts_with(key); };
        const int tpp = context_.twipsPerPixelX;

        if (constexpr std::string_view k = "#default_format_width="; carries(k)) {
            d_.DefaultFormatWidth = ToPixels(value(k), tpp);
        }
        if (constexpr std::string_view k = "#window_caption="; carries(k)) {
            d_.HasWindowCaption = true;
            d_.WindowCaption = std::string(value(k));
        }
        if (constexpr std::string_view k = "#game="; carries(k)) d_.Game = ToInteger(value(k));
        if (constexpr std::string_view k = "#game_select="; carries(k)) d_.GameSelect = ToFlag(value(k));
        if (carries("#confirm_message_begin#") && !confirmExtracted_) {
            // The block always comes from the markers' first occurrences, so a second begin
            // line would only extract the same text again.
            const auto text = blocks_.Block("#confirm_message_begin#", "#confirm_message_end#");
            if (!text) return ImproperlySet("#confirm_message_begin#", "#confirm_message_end#");
            d_.ConfirmMessage = std::string(*text);
            confirmExtracted_ = true;
        }
        if (constexpr std::string_view k = "#confirm_message_title="; carries(k)) d_.ConfirmTitle = std::string(value(k));
        if (constexpr std::string_view k = "#confirm_message_format_width="; carries(k)) {
            d_.ConfirmFormatWidth = ToPixels(value(k), tpp);
        }
        if (constexpr std::string_view k = "#confirm_message_beep="; carries(k)) d_.ConfirmBeep = ToBeep(value(k));
        if (carries("#explicit_instructions_begin#") && !explicitExtracted_) {
            const auto text = blocks_.Block("#explicit_instructions_begin#", "#explicit_instructions_end#");
            if (!text) return ImproperlySet("#explicit_instructions_begin#", "#explicit_instructions_end#");
            d_.ExplicitInstructions = std::string(*text);
            if (!d_.ExplicitInstructions.empty()) d_.HasExplicitInstructions = true;
            explicitExtracted_ = true;
        }
        if (constexpr std::string_view k = "#explicit_instructions_title="; carries(k)) {
            d_.ExplicitTitle = std::string(value(k));
        }
        if (constexpr std::string_view k = "#explicit_instructions_icon="; carries(k)) {
            d_.ExplicitIcon = ToNumber(value(k));
            if (d_.ExplicitIcon <= 0 || d_.ExplicitIcon > 4) d_.ExplicitIcon = 4;
        }
        if (constexpr std::string_view k = "#explicit_instructions_format_width="; carries(k)) {
            d_.ExplicitFormatWidth = ToPixels(value(k), tpp);
        }
        if (constexpr std::string_view k = "#explicit_instructions_beep="; carries(k)) d_.ExplicitBeep = ToBeep(value(k));

        QEntryLists deletes{"#qdelete_file_", "#qdelete_file_format_width_", "#qdelete_file_begin_",
                            "#qdelete_file_end_", d_.QDeleteFiles, d_.QDeletePrompts, d_.QDeleteWidths};
        if (auto abort = ApplyQEntry(line, lower, deletes)) return abort;
        QEntryLists restores{"#qrestore_file_", "#qrestore_file_format_width_", "#qrestore_file_begin_",
                             "#qrestore_file_end_", d_.QRestoreFiles, d_.QRestorePrompts, d_.QRestoreWidths};
        if (auto abort = ApplyQEntry(line, lower, restores)) return abort;

        if (constexpr std::string_view k = "#qrestore_2da="; carries(k)) {
            d_.Restore2da = ToFlag(value(k));
            // The backups and the description do not change while loading, so a repeated true
            // line would find the same; the first discovery stands.
            if (d_.Restore2da && !discoveryDone_) {
                if (auto abort = Discover2daBackups(d_, context_.fs, context_.programFolder)) return abort;
                discoveryDone_ = true;
            }
        }
        return std::nullopt;
    }

    std::optional<std::string> ApplyQEntry(std::string_view line, std::string_view lower, QEntryLists& lists) {
        if (const auto key = FindNumberedKey(lower, lists.entryStem)) {
            lists.files.emplace_back(line.substr(key->length));
            lists.prompts.emplace_back();
            lists.widths.push_back(0);
            const std::string number = std::to_string(key->number);
            const std::string beginMarker = std::string(lists.beginStem) + number + "#";
            const std::string endMarker = std::string(lists.endStem) + number + "#";
            const auto text = blocks_.Block(beginMarker, endMarker);
            if (!text) return ImproperlySet(beginMarker, endMarker);
            heldBytes_ += text->size();
            if (heldBytes_ > kMaxHeldTextBytes) throw OutOfMemoryError();
            lists.prompts.back() = std::string(*text);
        }
        if (const auto key = FindNumberedKey(lower, lists.widthStem)) {
            // A width belongs to the entry appended last; before any entry there is none.
            if (lists.widths.empty()) throw SubscriptError();
            lists.widths.back() = ToPixels(line.substr(key->length), context_.twipsPerPixelX);
        }
        return std::nullopt;
    }

    UninstallDescription& d_;
    const LoaderContext& context_;
    BlockSource blocks_;
    bool confirmExtracted_ = false;
    bool explicitExtracted_ = false;
    bool discoveryDone_ = false;
    std::size_t heldBytes_ = 0;
};

LoadResult Failure(ProgramError error) {
    LoadResult result;
    result.outcome = LoadOutcome::Failed;
    result.error = std::move(error);
    return result;
}

}  // namespace

LoadResult LoadUninstallDescription(UninstallDescription& description, const LoaderContext& context) {
    try {
        Loader loader(description, context);
        if (auto abort = loader.Run()) {
            LoadResult result;
            result.outcome = LoadOutcome::Aborted;
            result.abortMessage = std::move(*abort);
            return result;
        }
        return LoadResult{};
    } catch (const ProgramError& error) {
        return Failure(error);
    } catch (const std::bad_alloc&) {
        return Failure(OutOfMemoryError());
    } catch (const std::exception&) {
        return Failure(ProgramError(51, "Internal error"));
    }
}

}  // namespace zelvane
