#include "removal/search_view.hpp"

#include <memory>
#include <optional>
#include <utility>

#include "platform/paths/windows_path.hpp"
#include "platform/seams/forwarding_file_system.hpp"
#include "util/common.hpp"
#include "util/strings.hpp"

namespace zelvane {
namespace {

// A folder kept out of the searches: its name for a cheap first test, and where it really lies.
struct KeptOut {
    std::string loweredName;
    std::string resolved;
};

// Hands out the entries of another listing, without those that lead into a kept-out folder.
class FilteredListing final : public Listing {
public:
    FilteredListing(std::unique_ptr<Listing> inner, const FileSystem& fs, std::string folder,
                    std::vector<KeptOut> keptOut)
        : inner_(std::move(inner)), fs_(fs), folder_(std::move(folder)), keptOut_(std::move(keptOut)) {}

    std::optional<DirEntry> Next() override {
        while (auto entry = inner_->Next()) {
            if (!LeadsIntoKeptOut(*entry)) return entry;
        }
        return std::nullopt;
    }

private:
    // Folders are compared by name first, so that only a folder that may be one of them is
    // resolved; the search enters no folder links, so file links are the only other way in.
    bool LeadsIntoKeptOut(const DirEntry& entry) const {
        if (entry.name == "." || entry.name == "..") return false;
        const bool folder = entry.attributes.directory && !entry.attributes.link;
        if (!folder && !entry.attributes.link) return false;
        const std::string lowered = LowerCase(entry.name);
        std::optional<std::string> resolved;
        for (const KeptOut& k : keptOut_) {
            if (folder && lowered != k.loweredName) continue;
            if (!resolved) resolved = fs_.ResolvedPath(folder_ + entry.name);
            if (IsPathAtOrBelow(*resolved, k.resolved)) return true;
        }
        return false;
    }

    std::unique_ptr<Listing> inner_;
    const FileSystem& fs_;
    std::string folder_;  // ends with "\"
    std::vector<KeptOut> keptOut_;
};

// Forwards everything to another file system; only its listings leave the kept-out folders out.
class SearchView final : public ForwardingFileSystem {
public:
    SearchView(FileSystem& inner, std::vector<KeptOut> keptOut)
        : ForwardingFileSystem(inner), keptOut_(std::move(keptOut)) {}

    std::unique_ptr<Listing> List(std::string_view pattern) const override {
        auto listing = inner().List(pattern);
        if (!listing || keptOut_.empty()) return listing;
        const std::size_t cut = pattern.find_last_of("\\/");
        std::string folder = cut == std::string_view::npos ? std::string() : std::string(pattern.substr(0, cut + 1));
        return std::make_unique<FilteredListing>(std::move(listing), inner(), std::move(folder), keptOut_);
    }

private:
    std::vector<KeptOut> keptOut_;
};

}  // namespace

std::string FindInOverride(RunState& run, std::string_view fileName) {
    std::vector<KeptOut> keptOut;
    for (const std::string& folder : run.files.ownFolders.Folders()) {
        std::string resolved = run.fs().ResolvedPath(folder);
        while (resolved.ends_with('\\')) resolved.pop_back();
        keptOut.push_back({LowerCase(GetFileName(resolved)), std::move(resolved)});
    }
    SearchView view(run.fs(), std::move(keptOut));
    SearchState search;
    run.files.searchIndex.FindFile(view, AddBackslash(run.gameFolder) + "override\\*.*", fileName, true, search,
                                   [&run] { run.DoEvents(); });
    return search.result;
}

}  // namespace zelvane
