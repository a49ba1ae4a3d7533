#pragma once
// The host file system behind the FileSystem seam, with Windows rules on top of POSIX:
// Windows paths map Wine-style onto the host ("Z:\home\me\game" is "/home/me/game", other drives
// through <prefix>/dosdevices/<letter>:), names resolve case-insensitively, listings come in name
// order, and a file whose owner write bit is clear is read-only even for root. Names are code page
// 1252 on the Windows side and UTF-8 on the host, mapped as Wine maps them (host_names.hpp).
//
// Paths are walked relative to folders held open (host_walk.hpp), what was read of the folders is
// kept while it holds (folder_cache.hpp), and every change is made relative to the folder that
// holds its target, after proving that folder lies inside a root.
// A link as the last component: Delete and Rename act on the link itself; WriteAll, the target of
// Copy and SetAttributes follow it to where it leads and check that folder instead.
// Reads open files as host_read.hpp does: regular files only, never waiting, within a limit.
// WriteAll and Copy write a new file under a temporary name in the target's folder, with the
// ordinary mode of a new file, flush it and rename it into place: a file is never written into,
// so a hard link to it elsewhere keeps its bytes. Copy also flushes the folder.
// A read-only file (owner write bit clear) is not replaced by WriteAll or Copy, as on Windows, but
// Delete removes it when its folder allows; SetAttributes leaves the mode of a file that has other
// hard links alone.
// Listings give the directory, link and hidden flags from the folder's listing; their readOnly
// flag is not filled in (it would cost a stat per entry): GetAttributes tells it.

#include <string>
#include <vector>

#include "platform/posix/folder_cache.hpp"
#include "platform/posix/folder_stamp.hpp"
#include "platform/posix/host_walk.hpp"
#include "platform/posix/wine_drives.hpp"
#include "platform/seams/file_system.hpp"

namespace zelvane {

class PosixFileSystem final : public FileSystem {
public:
    PosixFileSystem();  // the Wine prefix from $WINEPREFIX, else ~/.wine
    explicit PosixFileSystem(std::string winePrefix);
    PosixFileSystem(const PosixFileSystem&) = delete;
    PosixFileSystem& operator=(const PosixFileSystem&) = delete;

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
    FsStatus CanCreateFileIn(std::string_view folder) const override;
    std::unique_ptr<Listing> List(std::string_view pattern) const override;
    std::string ShortPath(std::string_view path) const override;
    // Every link on the way followed on the host, mapped back to a drive letter where a drive of
    // the prefix holds it (else Z:). A path that does not exist is resolved as far as it exists
    // and the rest is appended as given; "" when links go round in a circle.
    std::string ResolvedPath(std::string_view path) const override;
    // Each root is opened once, here (a root that does not exist yet is tried again when needed).
    void SetRoots(std::vector<std::string> roots) override;
    std::vector<std::string> Roots() const override { return roots_; }
    bool SameVolume(std::string_view a, std::string_view b) const override;
    void ForgetCachedState() override {
        cache_.Forget();
        drives_.Forget();
        grains_.Forget();
    }
    // The folder's device, inode, mtime and ctime, read from the disk at each call; "" while a
    // change made now could keep those times (folder_stamp.hpp).
    std::string FolderStamp(std::string_view folder) const override;

    // The host path a Windows path names, each name as stored on the host and the links on the
    // way left as they are (for showing it); "" when its folder does not exist.
    std::string HostPathOf(std::string_view path) const { return walk_.Mapped(path); }

private:
    // Ok when a change in this folder is allowed: no roots, or the folder lies inside one.
    FsStatus Confine(const posix::HostFolder& folder) const;

    std::vector<std::string> roots_;
    mutable std::vector<posix::HostFolder> rootFolders_;  // opened roots, in the order of roots_
    posix::WineDrives drives_;
    mutable posix::FolderCache cache_;
    mutable posix::HostWalk walk_{drives_, cache_};
    mutable posix::TimeGrains grains_;
};

}  // namespace zelvane
