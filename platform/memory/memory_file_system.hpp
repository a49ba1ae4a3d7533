#pragma once
// An in-memory file system for tests: Windows paths, case-insensitive names, listing in creation
// order, attributes, locked files, read-only media and injected faults at any operation.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/seams/file_system.hpp"
#include "platform/seams/fs_op.hpp"

namespace zelvane {

class MemoryFileSystem final : public FileSystem {
public:
    MemoryFileSystem();
    ~MemoryFileSystem() override;

    // --- building a tree (parents are created as needed) ---
    void AddFile(std::string_view path, std::string_view bytes, Attributes attributes = {});
    void AddFolder(std::string_view path, Attributes attributes = {});
    // A file of `size` bytes that holds `head` and then zeros, as a sparse host file does; the
    // zeros take no memory. Contents() and Snapshot() show them as a note after the bytes.
    void AddSparseFile(std::string_view path, std::string_view head, std::uint64_t size);
    // An entry that is no regular file (a pipe, a socket or a device, as a host may hold): listed
    // as a file, refused by every read with NotRegularFile.
    void AddSpecialFile(std::string_view path);
    void Lock(std::string_view path, bool locked = true);                         // as if another program held it open
    void SetReadOnlyMedium(std::string_view rootOrFolder, bool readOnly = true);  // every change below fails
    void SetShortName(std::string_view path, std::string_view shortName);         // an 8.3 alias of the last component
    // A symbolic link: the entry at linkPath is an alias of the file or folder at targetPath,
    // which need not exist. It is listed in its folder with the target's attributes, and every
    // operation follows it, as Windows does for everything but removing the link itself (a link
    // cannot be removed here). Links to links are followed in turn; a circle names no file.
    void AddLink(std::string_view linkPath, std::string_view targetPath);
    // The folder (created as needed) and everything below it lie on a volume of their own, as a
    // drive or a mounted file system would: a rename into or out of it answers NotSameDevice.
    void PutOnOwnVolume(std::string_view folder);
    // Listings in name order, as NTFS and the host file system list, instead of creation order.
    void ListInNameOrder(bool nameOrder = true);
    // Takes the entry at path away (a folder with everything in it; a link itself, not what it
    // leads to) and puts a link to targetPath in its place, as a player or another program may do
    // at any moment.
    void ReplaceWithLink(std::string_view path, std::string_view targetPath);

    // --- faults ---
    // Fails every call of op whose (first) path contains pathSubstring (case-insensitive; "" = any).
    void FailOperation(FsOp op, std::string_view pathSubstring, FsStatus status);
    // Fails the n-th (0-based) call counted over all mutating operations (SetAttributes, WriteAll,
    // Delete, Rename, Copy, CreateFolder), once.
    void FailMutation(std::uint64_t index, FsStatus status);
    void ClearFaults();
    // Called before every mutating operation (SetAttributes, WriteAll, Delete, Rename, Copy,
    // CreateFolder) with its 0-based index, its kind and its (first) path, before anything of it
    // is looked at: the moment to change the tree under the program's feet.
    using MutationHook = std::function<void(std::uint64_t index, FsOp op, std::string_view path)>;
    void OnMutation(MutationHook hook);

    // --- inspection ---
    bool Exists(std::string_view path) const;
    std::optional<std::string> Contents(std::string_view path) const;
    std::optional<Attributes> AttributesOf(std::string_view path) const;
    // Every file as full path (stored case) -> bytes.
    std::map<std::string, std::string> Snapshot() const;
    std::uint64_t MutationCount() const;
    std::uint64_t OpenListings() const;  // listings not yet destroyed
    std::uint64_t EntriesRead() const;   // directory entries handed out by listings
    std::uint64_t CallCount(FsOp op) const;

    // --- FileSystem ---
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
    // An existing folder inside the roots, not on a read-only medium (injected faults aside).
    FsStatus CanCreateFileIn(std::string_view folder) const override;
    std::unique_ptr<Listing> List(std::string_view pattern) const override;
    std::string ShortPath(std::string_view path) const override;
    // The path with every link on the way replaced by its target; "" for links in a circle.
    std::string ResolvedPath(std::string_view path) const override;
    // Every change is checked when it is made: the path, with every link followed as ResolvedPath
    // follows it (a link as last component included), must lie below one of the roots, each with
    // its own links followed. Else OutsideRoots, and nothing changes.
    void SetRoots(std::vector<std::string> roots) override;
    std::vector<std::string> Roots() const override;
    std::uint64_t Refusals() const;  // changes answered with OutsideRoots so far
    // Both paths (or the folders that would hold them) exist and lie on one volume: each drive
    // letter is a volume, and so is each folder put on a volume of its own; links are followed.
    bool SameVolume(std::string_view a, std::string_view b) const override;
    // The folder's serial number and the count of changes to its entries.
    std::string FolderStamp(std::string_view folder) const override;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace zelvane
