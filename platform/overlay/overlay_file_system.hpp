#pragma once
// A copy-on-write view of another file system, for a dry run: every read goes to the disk below
// unless the view itself changed the entry, and every change (delete, rename, copy, write, new
// folder, new attributes) is held in memory and recorded in a plan with the outcome it had.
// Nothing below is ever changed. Outcomes are those the view can tell from what it sees:
// missing files and folders, read-only files, existing targets, names outside the roots, moves
// across volumes. The questions a run asks before it changes anything (whether a folder takes a
// new file, what kind of file a path names and how large it is) are answered by the disk below,
// so that a dry run refuses what the real run would. Refusals that only the change itself meets
// (a lock, a full disk) show when the real run makes it.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/paths/windows_path.hpp"
#include "platform/seams/file_system.hpp"

namespace zelvane {

enum class PlannedKind { Delete, Rename, Copy, Write, CreateFolder, SetAttributes };

struct PlannedChange {
    PlannedKind kind = PlannedKind::Delete;
    std::string path;    // the changed path (the source of a rename or copy)
    std::string target;  // the target of a rename or copy
    FsStatus outcome = FsStatus::Ok;
};

class OverlayFileSystem final : public FileSystem {
public:
    explicit OverlayFileSystem(FileSystem& below);

    FsStatus GetAttributes(std::string_view path, Attributes& out) const override;
    FsStatus SetAttributes(std::string_view path, const Attributes& attributes) override;
    FsStatus OpenForRead(std::string_view path) const override;
    FsStatus FileSize(std::string_view path, std::uint64_t& size) const override;
    FsStatus ReadAll(std::string_view path, std::string& bytes, std::size_t limit) const override;
    FsStatus ReadHead(std::string_view path, std::string& bytes, std::size_t count) const override;
    FsStatus WriteAll(std::string_view path, std::string_view bytes) override;
    FsStatus Delete(std::string_view path) override;
    FsStatus Rename(std::string_view from, std::string_view to) override;
    FsStatus Copy(std::string_view from, std::string_view to) override;
    FsStatus CreateFolder(std::string_view path) override;
    // As the disk answers for the folder, or, for a folder the view made, for the nearest folder
    // below that holds it (a new folder takes what its parent takes).
    FsStatus CanCreateFileIn(std::string_view folder) const override;
    std::unique_ptr<Listing> List(std::string_view pattern) const override;
    std::string ShortPath(std::string_view path) const override;
    std::string ResolvedPath(std::string_view path) const override;
    void SetRoots(std::vector<std::string> roots) override;
    std::vector<std::string> Roots() const override;
    bool SameVolume(std::string_view a, std::string_view b) const override;
    void ForgetCachedState() override;
    // FolderStamp stays the seam's "cannot tell": the stamps below do not change with the view.

    // Every change asked for, in order, with its outcome.
    const std::vector<PlannedChange>& Plan() const { return plan_; }

private:
    // What an entry of the view is.
    struct Entry {
        enum class Kind { Deleted, File, Folder } kind = Kind::File;
        std::string name;  // the stored name
        Attributes attributes;
        std::optional<std::string> bytes;    // a file's content when it was written here
        std::string source;                  // else the path below that holds its content (files and
                                             // moved folders); "" for a folder made here
        bool fresh = false;                  // made where nothing stood: listed after what was there
        std::uint64_t order = 0;             // when it was made
        std::vector<std::string> goneNames;  // a deleted entry: the names below it took out of the view
    };

    // Where a path stands in the view.
    struct Lookup {
        FsStatus status = FsStatus::Ok;  // Ok, FileNotFound, PathNotFound or a parse failure
        const Entry* entry = nullptr;    // the view's own entry, or
        std::string below;               // the path below that stands for it
    };
    Lookup Find(std::string_view path) const;
    Lookup FindBelow(std::string_view path, const WindowsPath& normal) const;
    // Whether the file below that stands for a deleted entry's path is one the view took out
    // (a host with names that differ only in letter case keeps their twins apart).
    bool Gone(const Entry& deleted, std::string_view below) const;
    Entry GoneEntry(std::string_view path, const Lookup& found) const;
    std::string StoredName(std::string_view below) const;
    FsStatus Stat(std::string_view path, Attributes& out) const;
    FsStatus CheckParent(std::string_view path) const;
    FsStatus CheckInsideRoots(std::string_view path) const;
    FsStatus Record(PlannedKind kind, std::string_view path, std::string_view target, FsStatus outcome);
    // A file's content, or the first `head` bytes of it, as the file system below reads it.
    FsStatus ContentOf(std::string_view path, std::string& bytes, std::size_t limit, bool head) const;
    // The path below that answers for a path of the view: the path itself, where it came from, or
    // for a folder the view made the nearest folder below that holds it.
    std::string AnchorBelow(std::string path) const;

    FileSystem& below_;
    std::map<std::string, Entry> entries_;  // by the case-folded normalised path
    std::vector<PlannedChange> plan_;
    std::uint64_t made_ = 0;
};

// "delete", "rename", ... and "done", "file not found", ... for printing a plan.
std::string_view PlannedKindName(PlannedKind kind);
std::string_view FsStatusName(FsStatus status);

}  // namespace zelvane
