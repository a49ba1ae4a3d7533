#pragma once
// The base of every file system that wraps another one: each call goes on to the inner file
// system unchanged, so that a wrapper overrides only the calls it changes and cannot lose one by
// forgetting to pass it on. A call added to FileSystem is forwarded here too.

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/seams/file_system.hpp"

namespace zelvane {

class ForwardingFileSystem : public FileSystem {
public:
    explicit ForwardingFileSystem(FileSystem& inner) : inner_(inner) {}

    FsStatus GetAttributes(std::string_view path, Attributes& out) const override {
        return inner_.GetAttributes(path, out);
    }
    FsStatus SetAttributes(std::string_view path, const Attributes& attributes) override {
        return inner_.SetAttributes(path, attributes);
    }
    FsStatus OpenForRead(std::string_view path) const override { return inner_.OpenForRead(path); }
    FsStatus FileSize(std::string_view path, std::uint64_t& size) const override { return inner_.FileSize(path, size); }
    FsStatus ReadAll(std::string_view path, std::string& bytes, std::size_t limit) const override {
        return inner_.ReadAll(path, bytes, limit);
    }
    FsStatus ReadHead(std::string_view path, std::string& bytes, std::size_t count) const override {
        return inner_.ReadHead(path, bytes, count);
    }
    FsStatus WriteAll(std::string_view path, std::string_view bytes) override { return inner_.WriteAll(path, bytes); }
    FsStatus Delete(std::string_view path) override { return inner_.Delete(path); }
    FsStatus Rename(std::string_view from, std::string_view to) override { return inner_.Rename(from, to); }
    FsStatus Copy(std::string_view from, std::string_view to) override { return inner_.Copy(from, to); }
    FsStatus CreateFolder(std::string_view path) override { return inner_.CreateFolder(path); }
    FsStatus CanCreateFileIn(std::string_view folder) const override { return inner_.CanCreateFileIn(folder); }
    std::unique_ptr<Listing> List(std::string_view pattern) const override { return inner_.List(pattern); }
    std::string ShortPath(std::string_view path) const override { return inner_.ShortPath(path); }
    std::string ResolvedPath(std::string_view path) const override { return inner_.ResolvedPath(path); }
    void SetRoots(std::vector<std::string> roots) override { inner_.SetRoots(std::move(roots)); }
    std::vector<std::string> Roots() const override { return inner_.Roots(); }
    bool SameVolume(std::string_view a, std::string_view b) const override { return inner_.SameVolume(a, b); }
    void ForgetCachedState() override { inner_.ForgetCachedState(); }
    std::string FolderStamp(std::string_view folder) const override { return inner_.FolderStamp(folder); }

protected:
    // The wrapped file system, for the overrides (also from const ones: wrapping does not make
    // the inner file system read-only).
    FileSystem& inner() const { return inner_; }

private:
    FileSystem& inner_;
};

}  // namespace zelvane
