#pragma once
// A file system that passes every call on to another one and counts the calls by kind, so that
// the benchmark and the tests can tell how many seam calls a run makes per listed file.

#include <array>
#include <cstddef>
#include <cstdint>
#include <numeric>

#include "platform/seams/file_system.hpp"

namespace zelvane::bench {

enum class SeamCall : std::size_t {
    GetAttributes, SetAttributes, OpenForRead, ReadAll, WriteAll, Delete, Rename, Copy, CreateFolder, List,
    ShortPath, ResolvedPath, SameVolume, FolderStamp, Count
};

class CountingFileSystem final : public FileSystem {
public:
    explicit CountingFileSystem(FileSystem& inner) : inner_(inner) {}

    std::uint64_t Calls(SeamCall call) const { return calls_[static_cast<std::size_t>(call)]; }
    std::uint64_t TotalCalls() const { return std::accumulate(calls_.begin(), calls_.end(), std::uint64_t{0}); }
    void Reset() { calls_.fill(0); }

    FsStatus GetAttributes(std::string_view path, Attributes& out) const override {
        return Count(SeamCall::GetAttributes), inner_.GetAttributes(path, out);
    }
    FsStatus SetAttributes(std::string_view path, const Attributes& attributes) override {
        return Count(SeamCall::SetAttributes), inner_.SetAttributes(path, attributes);
    }
    FsStatus OpenForRead(std::string_view path) const override {
        return Count(SeamCall::OpenForRead), inner_.OpenForRead(path);
    }
    FsStatus ReadAll(std::string_view path, std::string& bytes) const override {
        return Count(SeamCall::ReadAll), inner_.ReadAll(path, bytes);
    }
    FsStatus WriteAll(std::string_view path, std::string_view bytes) override {
        return Count(SeamCall::WriteAll), inner_.WriteAll(path, bytes);
    }
    FsStatus Delete(std::string_view path) override { return Count(SeamCall::Delete), inner_.Delete(path); }
    FsStatus Rename(std::string_view from, std::string_view to) override {
        return Count(SeamCall::Rename), inner_.Rename(from, to);
    }
    FsStatus Copy(std::string_view from, std::string_view to) override {
        return Count(SeamCall::Copy), inner_.Copy(from, to);
    }
    FsStatus CreateFolder(std::string_view path) override {
        return Count(SeamCall::CreateFolder), inner_.CreateFolder(path);
    }
    std::unique_ptr<Listing> List(std::string_view pattern) const override {
        return Count(SeamCall::List), inner_.List(pattern);
    }
    std::string ShortPath(std::string_view path) const override {
        return Count(SeamCall::ShortPath), inner_.ShortPath(path);
    }
    std::string ResolvedPath(std::string_view path) const override {
        return Count(SeamCall::ResolvedPath), inner_.ResolvedPath(path);
    }
    void SetRoots(std::vector<std::string> roots) override { inner_.SetRoots(std::move(roots)); }
    std::vector<std::string> Roots() const override { return inner_.Roots(); }
    bool SameVolume(std::string_view a, std::string_view b) const override {
        return Count(SeamCall::SameVolume), inner_.SameVolume(a, b);
    }
    void ForgetCachedState() override { inner_.ForgetCachedState(); }
    std::string FolderStamp(std::string_view folder) const override {
        return Count(SeamCall::FolderStamp), inner_.FolderStamp(folder);
    }

private:
    void Count(SeamCall call) const { ++calls_[static_cast<std::size_t>(call)]; }
    FileSystem& inner_;
    mutable std::array<std::uint64_t, static_cast<std::size_t>(SeamCall::Count)> calls_{};
};

}  // namespace zelvane::bench
