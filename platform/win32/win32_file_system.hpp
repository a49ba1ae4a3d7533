#pragma once
// The Windows file system behind the FileSystem seam: the ANSI kernel32 file functions.

#include "platform/seams/file_system.hpp"

namespace zelvane {

class Win32FileSystem final : public FileSystem {
public:
    FsStatus GetAttributes(std::string_view path, Attributes& out) const override;
    FsStatus SetAttributes(std::string_view path, const Attributes& attributes) override;
    FsStatus OpenForRead(std::string_view path) const override;
    // Reads take only files on a disk (GetFileType): a device name or a pipe is NotRegularFile.
    FsStatus FileSize(std::string_view path, std::uint64_t& size) const override;
    FsStatus ReadAll(std::string_view path, std::string& bytes, std::size_t limit) const override;
    FsStatus ReadHead(std::string_view path, std::string& bytes, std::size_t count) const override;
    // A new file under a temporary name beside the target, flushed and moved over it.
    FsStatus WriteAll(std::string_view path, std::string_view bytes) override;
    FsStatus Delete(std::string_view path) override;
    FsStatus Rename(std::string_view from, std::string_view to) override;
    FsStatus Copy(std::string_view from, std::string_view to) override;
    FsStatus CreateFolder(std::string_view path) override;
    // The folder opened for adding a file (its access list decides), on a volume that is not
    // read-only, inside the roots.
    FsStatus CanCreateFileIn(std::string_view folder) const override;
    std::unique_ptr<Listing> List(std::string_view pattern) const override;
    std::string ShortPath(std::string_view path) const override;
    // The final path of the deepest part that exists (links and junctions followed), with the rest
    // appended as given; "" when a link on the way leads nowhere or the path cannot be made full.
    std::string ResolvedPath(std::string_view path) const override;
    // Both folders exist and carry the same volume serial number (junctions and links followed).
    bool SameVolume(std::string_view a, std::string_view b) const override;
    // Each change is checked by handle when it is made (win32_confinement.hpp).
    void SetRoots(std::vector<std::string> roots) override { roots_ = std::move(roots); }
    std::vector<std::string> Roots() const override { return roots_; }

private:
    std::vector<std::string> roots_;
};

}  // namespace zelvane
