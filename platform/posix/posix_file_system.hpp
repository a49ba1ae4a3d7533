#pragma once
// The host file system behind the FileSystem seam, with Windows rules on top of POSIX:
// Windows paths map Wine-style onto the host ("Z:\home\me\game" is "/home/me/game", other drives
// through <prefix>/dosdevices/<letter>:), names resolve case-insensitively, listings come in name
// order, and a file whose owner write bit is clear is read-only even for root.

#include <string>

#include "platform/seams/file_system.hpp"

namespace zelvane {

class PosixFileSystem final : public FileSystem {
public:
    PosixFileSystem();  // the Wine prefix from $WINEPREFIX, else ~/.wine
    explicit PosixFileSystem(std::string winePrefix);

    FsStatus GetAttributes(std::string_view path, Attributes& out) const override;
    FsStatus SetAttributes(std::string_view path, const Attributes& attributes) override;
    FsStatus OpenForRead(std::string_view path) const override;
    FsStatus ReadAll(std::string_view path, std::string& bytes) const override;
    FsStatus WriteAll(std::string_view path, std::string_view bytes) override;
    FsStatus Delete(std::string_view path) override;
    FsStatus Rename(std::string_view from, std::string_view to) override;
    FsStatus Copy(std::string_view from, std::string_view to) override;
    FsStatus CreateFolder(std::string_view path) override;
    std::unique_ptr<Listing> List(std::string_view pattern) const override;
    std::string ShortPath(std::string_view path) const override;
    // Every link on the way followed on the host, mapped back to a drive letter where a drive of
    // the prefix holds it (else Z:). A path that does not exist is resolved as far as it exists
    // and the rest is appended as given; "" when links go round in a circle.
    std::string ResolvedPath(std::string_view path) const override;
    void SetRoots(std::vector<std::string> roots) override { roots_ = std::move(roots); }
    std::vector<std::string> Roots() const override { return roots_; }

    // The host path a Windows path resolves to, or "" when its folder does not exist.
    std::string HostPathOf(std::string_view path) const;

private:
    std::vector<std::string> roots_;
    std::string prefix_;
};

}  // namespace zelvane
