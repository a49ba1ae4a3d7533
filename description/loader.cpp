#include "description/loader.hpp"

#include <optional>
#include <string_view>
#include <vector>

#include "description/backup_discovery.hpp"
#include "description/limits.hpp"
#include "description/reader.hpp"
#include "description/values.hpp"
#include "platform/seams/read_limits.hpp"

namespace zelvane {
namespace {

std::string ImproperlySet(const BlockUse& block) {
    return block.beginMarker + " and " + block.endMarker + " are improperly set.";
}

std::string ReadWholeFile(const FileSystem& fs, const std::string& path) {
    std::string bytes;
    const FsStatus status = fs.ReadAll(path, bytes, kDescriptionLimit);
    if (status != FsStatus::Ok) throw FileSystemError(status);
    return bytes;
}

class Loader {
public:
    Loader(UninstallDescription& description, const LoaderContext& context) : d_(description), context_(context) {}

    // The abort message, or nullopt when the end of the file was reached. Failures throw.
    std::optional<std::string> Run() {
        text_ = ReadDescription(ReadWholeFile(context_.fs, d_.DescriptionPath));
        for (const DescriptionLine& line : text_.lines) {
            if (auto abort = Apply(line)) return abort;
        }
        return std::nullopt;
    }

private:
    std::optional<std::string> Apply(const DescriptionLine& line) {
        if (!line.key) return std::nullopt;
        const std::string_view key = line.key->stem;
        const std::string_view value = line.Value();
        const int tpp = context_.twipsPerPixelX;
        if (key == "#default_format_width=") {
            d_.DefaultFormatWidth = ToPixels(value, tpp);
        } else if (key == "#window_caption=") {
            d_.HasWindowCaption = true;
            d_.WindowCaption = std::string(value);
        } else if (key == "#game=") {
            d_.Game = ToInteger(value);
        } else if (key == "#game_select=") {
            d_.GameSelect = ToFlag(value);
        } else if (key == "#confirm_message_begin#" && line.block) {
            const auto text = BlockText(*line.block);
            if (!text) return ImproperlySet(*line.block);
            d_.ConfirmMessage = std::string(*text);
        } else if (key == "#confirm_message_title=") {
            d_.ConfirmTitle = std::string(value);
        } else if (key == "#confirm_message_format_width=") {
            d_.ConfirmFormatWidth = ToPixels(value, tpp);
        } else if (key == "#confirm_message_beep=") {
            d_.ConfirmBeep = ToBeep(value);
        } else if (key == "#explicit_instructions_begin#" && line.block) {
            const auto text = BlockText(*line.block);
            if (!text) return ImproperlySet(*line.block);
            d_.ExplicitInstructions = std::string(*text);
            if (!d_.ExplicitInstructions.empty()) d_.HasExplicitInstructions = true;
        } else if (key == "#explicit_instructions_title=") {
            d_.ExplicitTitle = std::string(value);
        } else if (key == "#explicit_instructions_icon=") {
            d_.ExplicitIcon = ToNumber(value);
            if (d_.ExplicitIcon <= 0 || d_.ExplicitIcon > 4) d_.ExplicitIcon = 4;
        } else if (key == "#explicit_instructions_format_width=") {
            d_.ExplicitFormatWidth = ToPixels(value, tpp);
        } else if (key == "#explicit_instructions_beep=") {
            d_.ExplicitBeep = ToBeep(value);
        } else if (key == "#qdelete_file_") {
            return AddEntry(line, d_.QueuedDeletes);
        } else if (key == "#qdelete_file_format_width_") {
            SetWidth(value, d_.QueuedDeletes);
        } else if (key == "#qrestore_file_") {
            return AddEntry(line, d_.QueuedRestores);
        } else if (key == "#qrestore_file_format_width_") {
            SetWidth(value, d_.QueuedRestores);
        } else if (key == "#qrestore_2da=") {
            d_.Restore2da = ToFlag(value);
            // The backups and the description do not change while loading, so a repeated true
            // line would find the same; the first discovery stands.
            if (d_.Restore2da && !discoveryDone_) {
                if (auto abort = Discover2daBackups(d_, context_.fs, context_.programFolder, text_)) return abort;
                discoveryDone_ = true;
            }
        }
        return std::nullopt;
    }

    // The entry is appended before its block is looked for, so an abort leaves it with no prompt.
    std::optional<std::string> AddEntry(const DescriptionLine& line, std::vector<QueuedEntry>& entries) {
        entries.push_back(QueuedEntry{std::string(line.Value()), {}, 0});
        const auto text = BlockText(*line.block);
        if (!text) return ImproperlySet(*line.block);
        heldBytes_ += text->size();
        if (heldBytes_ > kMaxHeldTextBytes) throw OutOfMemoryError();
        entries.back().prompt = std::string(*text);
        return std::nullopt;
    }

    // A width belongs to the entry appended last; before any entry there is none.
    void SetWidth(std::string_view value, std::vector<QueuedEntry>& entries) {
        if (entries.empty()) throw SubscriptError();
        entries.back().width = ToPixels(value, context_.twipsPerPixelX);
    }

    // The block's text as cut from the working copy, nullopt when a marker is missing; a block
    // whose end marker stands before its text is a failure. The working copy is read when the
    // first block is needed.
    std::optional<std::string_view> BlockText(const BlockUse& block) {
        if (!workingCopy_) {
            workingCopy_ = ReadWholeFile(context_.fs, context_.workingCopyPath);
            CutBlocks(text_, *workingCopy_);
        }
        switch (block.cut.status) {
            case BlockCut::Status::Ok: break;
            case BlockCut::Status::Missing: return std::nullopt;
            case BlockCut::Status::Negative: throw InvalidArgumentError();
        }
        return block.cut.Text(*workingCopy_);
    }

    UninstallDescription& d_;
    const LoaderContext& context_;
    DescriptionText text_;
    std::optional<std::string> workingCopy_;
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
    } catch (const std::exception& failure) {
        return Failure(FailureOf(failure));
    }
}

}  // namespace zelvane
