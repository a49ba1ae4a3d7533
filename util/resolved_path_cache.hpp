#pragma once
// Forwards every call to another file system and remembers where paths resolve (every link on the
// way followed), so that a run that checks many paths against one folder resolves that folder
// once. What the run changes through it is forgotten as it changes: a deleted, written or copied
// path (and whatever lay below it), everything after a rename or a new folder, and everything
// when control goes to the player.

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/seams/file_system.hpp"

namespace zelvane {

class ResolvedPathCache final : public FileSystem {
public:
    explicit ResolvedPathCache(FileSystem& inner) : inner_(inner) {}

    FsStatus GetAttributes(std::string_view path, Attributes& out) const override {
        return inner_.GetAttributes(path, out);
    }
    FsStatus SetAttributes(std::string_view path, const Attributes& attributes) override {
        return inner_.SetAttributes(path, attributes);
    }
    FsStatus OpenForRead(std::string_view path) const override { return inner_.OpenForRead(path); }
    FsStatus ReadAll(std::string_view path, std::string& bytes) const override { return inner_.ReadAll(path, bytes); }
    FsStatus WriteAll(std::string_view path, std::string_view bytes) override;
    FsStatus Delete(std::string_view path) override;
    FsStatus Rename(std::string_view from, std::string_view to) override;
    FsStatus Copy(std::string_view from, std::string_view to) override;
    FsStatus CreateFolder(std::string_view path) override;
    std::unique_ptr<Listing> List(std::string_view pattern) const override { return inner_.List(pattern); }
    std::string ShortPath(std::string_view path) const override { return inner_.ShortPath(path); }
    std::string ResolvedPath(std::string_view path) const override;
    void SetRoots(std::vector<std::string> roots) override { inner_.SetRoots(std::move(roots)); }
    std::vector<std::string> Roots() const override { return inner_.Roots(); }
    bool SameVolume(std::string_view a, std::string_view b) const override { return inner_.SameVolume(a, b); }
    void ForgetCachedState() override;
    std::string FolderStamp(std::string_view folder) const override { return inner_.FolderStamp(folder); }

    std::size_t Remembered() const { return known_.size(); }

private:
    // Forgets the path and every path below it, whatever their letter case.
    void Forget(std::string_view path);

    FileSystem& inner_;
    // Lower-cased path -> (path as asked, where it resolves), for each spelling asked.
    mutable std::map<std::string, std::vector<std::pair<std::string, std::string>>, std::less<>> known_;
};

}  // namespace zelvane
